#pragma once
// Real files for the tests: a fresh folder under the system's temp directory,
// removed with everything in it afterwards. Paths are the program's texts: the
// folder ends in "\" (on the host: "/tmp/qplan-XXXXXX\").

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/host/UnixPath.h"
#endif

#include <gtest/gtest.h>

namespace quillet::test {

#ifdef _WIN32

inline bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Open handles of this process. Wine's GetProcessHandleCount always says 0,
// but its system handle table, which names each handle's process, is exact.
inline int OpenHandles() {
  if (!RunningOnWine()) {
    DWORD n = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &n) ? int(n) : -1;
  }
  struct HandleEntry {
    ULONG pid;
    BYTE type, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  const ULONG SystemHandleInformation = 16;
  std::vector<char> buf(1 << 16);
  ULONG len = 0;
  while (query(SystemHandleInformation, buf.data(), ULONG(buf.size()), &len) != 0) {
    if (buf.size() > (1u << 26)) return -1;
    buf.resize(buf.size() * 2);
  }
  ULONG count = *reinterpret_cast<ULONG*>(buf.data());
  auto entries = reinterpret_cast<HandleEntry*>(buf.data() + sizeof(ULONG_PTR));
  return int(std::count_if(entries, entries + count,
                           [](const HandleEntry& e) { return e.pid == GetCurrentProcessId(); }));
}

class TempDir {
 public:
  TempDir() {
    char tmp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof tmp, tmp);
    for (unsigned i = GetTickCount() ^ GetCurrentProcessId(); n && path_.empty(); ++i) {
      std::string d = std::string(tmp) + "qplan" + std::to_string(i);
      if (CreateDirectoryA(d.c_str(), nullptr)) path_ = d + "\\";
    }
    if (path_.empty()) ADD_FAILURE() << "no temp folder";
  }
  ~TempDir() { Remove(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }

  void File(const std::string& name, const std::string& content = "") const {
    HANDLE h = CreateFileA((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(h);
  }
  void Dir(const std::string& name) const {
    ASSERT_TRUE(CreateDirectoryA((path_ + name).c_str(), nullptr)) << name;
  }
  void Attributes(const std::string& name, DWORD attr) const {
    ASSERT_TRUE(SetFileAttributesA((path_ + name).c_str(), attr)) << name;
  }
  void WriteTime(const std::string& name, SYSTEMTIME local) const {
    FILETIME lt, ft;
    SystemTimeToFileTime(&local, &lt);
    LocalFileTimeToFileTime(&lt, &ft);
    HANDLE h = CreateFileA((path_ + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
  }

  // Every file below sub (not directories) with its content.
  std::map<std::string, std::string> Contents(const std::string& sub = "") const {
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path_ + sub + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      std::string& content = out[fd.cFileName];
      HANDLE f = CreateFileA((path_ + sub + fd.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, 0, nullptr);
      char buf[256];
      DWORD got = 0;
      while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) content.append(buf, got);
      CloseHandle(f);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
  }

 private:
  static void Remove(const std::string& dir) {
    if (dir.empty()) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = fd.cFileName, path = dir + name;
        if (name == "." || name == "..") continue;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(path + "\\");
        else DeleteFileA(path.c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }

  std::string path_;
};

#else  // the host stand-in

inline bool RunningOnWine() { return false; }

inline int OpenHandles() {
  DIR* d = opendir("/proc/self/fd");
  if (!d) return -1;
  int n = 0;
  while (readdir(d)) ++n;
  closedir(d);
  return n;
}

class TempDir {
 public:
  TempDir() {
    char templ[] = "/tmp/qplan-XXXXXX";
    if (mkdtemp(templ)) {
      unix_ = templ;
      path_ = unix_ + "\\";
    } else {
      ADD_FAILURE() << "no temp folder";
    }
  }
  ~TempDir() {
    std::error_code ec;
    if (!unix_.empty()) std::filesystem::remove_all(unix_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }

  void File(const std::string& name, const std::string& content = "") const {
    int fd = open(Unix(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
    close(fd);
  }
  void Dir(const std::string& name) const { ASSERT_EQ(mkdir(Unix(name).c_str(), 0755), 0) << name; }
  void Mode(const std::string& name, mode_t mode) const {
    ASSERT_EQ(chmod(Unix(name).c_str(), mode), 0) << name;
  }
  void WriteTime(const std::string& name, std::tm local) const {
    local.tm_isdst = -1;
    timespec times[2] = {{0, UTIME_OMIT}, {mktime(&local), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Unix(name).c_str(), times, 0), 0) << name;
  }

  std::map<std::string, std::string> Contents(const std::string& sub = "") const {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(Unix(sub))) {
      if (e.is_directory()) continue;
      std::string& content = out[e.path().filename().string()];
      int fd = open(e.path().c_str(), O_RDONLY);
      char buf[256];
      for (ssize_t got; (got = read(fd, buf, sizeof buf)) > 0;) content.append(buf, size_t(got));
      close(fd);
    }
    return out;
  }

 private:
  std::string Unix(const std::string& name) const {
    return unix_ + "/" + platform::host::ToUnixPath(name);
  }

  std::string unix_, path_;
};

#endif

}  // namespace quillet::test
