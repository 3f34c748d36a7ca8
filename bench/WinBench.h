#pragma once
// A tiny timing harness for the benchmarks that run as plain Win32 console
// programs under Wine: the fastest of a few runs, a temp folder full of empty
// files, and one line per measurement as a ratio against a baseline.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace quillet::bench {

// The wall clock in milliseconds.
inline double NowMs() {
  LARGE_INTEGER freq, t;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

// Milliseconds of the fastest of reps runs of f. The minimum, not the mean:
// a shared machine only ever adds time.
template <class F>
double MinMs(int reps, F&& f) {
  double best = 1e300;
  for (int i = 0; i < reps; ++i) {
    const double start = NowMs();
    f();
    best = std::min(best, NowMs() - start);
  }
  return best;
}

// This process's CPU time so far, user and kernel, in milliseconds. Under
// Wine most of a file call is the process's own system time, which a busy
// machine does not stretch as it stretches the wall clock.
inline double CpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  const auto ms = [](FILETIME t) {
    return double(ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Wall and CPU time of runs of something, added up or the best of them.
struct Times {
  double wall = 0, cpu = 0;

  // Times one run of f.
  template <class F>
  static Times Of(F&& f) {
    const double cpu = CpuMs();
    Times t;
    t.wall = MinMs(1, f);
    t.cpu = CpuMs() - cpu;
    return t;
  }
  Times& operator+=(const Times& t) {
    wall += t.wall;
    cpu += t.cpu;
    return *this;
  }
  // The best of both, each on its own: the one run a busy moment spared.
  void KeepBest(const Times& t, bool first) {
    wall = first ? t.wall : std::min(wall, t.wall);
    cpu = first ? t.cpu : std::min(cpu, t.cpu);
  }
};

// A fresh folder under the temp directory holding count empty files named
// prefix + number + ext; removed with everything in it on destruction. Wine
// takes time growing with the square of a folder's size to fill it: beyond
// some ten thousand files, make the folder outside Wine (see scripts/bench).
class TempFiles {
 public:
  explicit TempFiles(int count, const char* prefix = "f", const char* ext = ".txt") {
    char tmp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof tmp, tmp);
    if (n == 0 || n > MAX_PATH) return;
    for (unsigned i = GetTickCount() ^ GetCurrentProcessId(); dir_.empty(); ++i) {
      std::string d = std::string(tmp) + "qbench" + std::to_string(i);
      if (CreateDirectoryA(d.c_str(), nullptr)) dir_ = d + "\\";
      else if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
    for (int i = 0; i < count; ++i) Touch(prefix + std::to_string(i) + ext);
  }
  TempFiles(const TempFiles&) = delete;
  TempFiles& operator=(const TempFiles&) = delete;
  ~TempFiles() {
    if (dir_.empty()) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileA((dir_ + fd.cFileName).c_str());
      while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
  }

  // Ends with "\"; empty when the folder could not be made.
  const std::string& Dir() const { return dir_; }

  bool Touch(const std::string& name) const {
    HANDLE h = CreateFileA((dir_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }

 private:
  std::string dir_;
};

// The folder of count files IMG_<number>.JPG that scripts/bench made on the
// host and named in the environment variable `variable`; without it, one made
// here when count is at most makeUpTo, since Wine fills a folder in time
// growing with the square of its size. Dir() ends with "\", or is empty.
class FilesFolder {
 public:
  FilesFolder(const std::string& variable, int count, int makeUpTo = 1 << 30) {
    if (const char* given = std::getenv(variable.c_str())) {
      dir_ = given;
      if (!dir_.empty() && dir_.back() != '\\') dir_ += '\\';
    } else if (count <= makeUpTo) {
      made_ = std::make_unique<TempFiles>(count, "IMG_", ".JPG");
      dir_ = made_->Dir();
    }
  }
  const std::string& Dir() const { return dir_; }

 private:
  std::unique_ptr<TempFiles> made_;
  std::string dir_;
};

// The baseline of the preview's benchmarks: the bare FindFirstFileA /
// FindNextFileA loop over path; the number of entries it found.
inline int BareSearch(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(path.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n;
  while (FindNextFileA(h, &data));
  FindClose(h);
  return n;
}

inline void Report(const char* name, double ms, double baselineMs) {
  std::printf("%s: %.3f ms, baseline %.3f ms, ratio %.2f\n", name, ms, baselineMs,
              baselineMs > 0 ? ms / baselineMs : 0.0);
  std::fflush(stdout);
}

// Both ratios: the wall clock's, and the CPU time's, which a busy machine
// stretches less.
inline void Report(const std::string& name, const Times& t, const Times& baseline) {
  Report(name.c_str(), t.wall, baseline.wall);
  Report(("  CPU time, " + name).c_str(), t.cpu, baseline.cpu);
}

}  // namespace quillet::bench
