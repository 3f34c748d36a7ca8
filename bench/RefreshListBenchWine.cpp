// RefreshList over a folder of matching files against a bare FindFirst /
// FindNext loop over the same folder, under Wine, at two sizes; and that
// loop against one over the ANSI calls themselves, which is what the
// platform's search adds (it reads the wide names to tell which ANSI names
// address their files).
//
// Wine fills a folder in time growing with the square of its size, so
// scripts/bench makes the folders on the host and names them in the
// environment: BENCH_FOLDER_<count> holds <count> files IMG_<number>.JPG and
// nothing else. Without it the folder is made here.

#include <string>

#include "bench/WinBench.h"
#include "core/RenamePlan.h"
#include "platform/Search.h"

namespace {

using quillet::bench::MinMs;

const char* const Mask = "IMG_*.JPG";

void Measure(int files, int reps) {
  const quillet::bench::FilesFolder folder("BENCH_FOLDER_" + std::to_string(files), files);
  const std::string& dir = folder.Dir();
  std::size_t listed = 0, planned = 0, ansi = 0;
  double raw = MinMs(reps, [&] {
    WIN32_FIND_DATAA data;
    ansi = 0;
    HANDLE h = FindFirstFileA((dir + Mask).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do ++ansi;
    while (FindNextFileA(h, &data));
    FindClose(h);
  });
  double bare = MinMs(reps, [&] {
    quillet::platform::SearchRecord rec;
    listed = 0;
    for (int err = quillet::platform::FindFirst(dir + Mask, quillet::platform::FilesOnly, rec);
         err == 0; err = quillet::platform::FindNext(rec))
      ++listed;
    quillet::platform::FindClose(rec);
  });
  quillet::RenamePlan plan;
  double refresh = MinMs(reps, [&] {
    quillet::RefreshList(dir, Mask, "photo_*.jpg", plan);
    planned = plan.Count();
  });
  if (listed != std::size_t(files) || planned != listed || ansi != listed) {
    std::printf("RefreshList/%d: %zu files listed, %zu planned, %zu by the ANSI calls in \"%s\"\n",
                files, listed, planned, ansi, dir.c_str());
    return;
  }
  quillet::bench::Report(("Search/" + std::to_string(files)).c_str(), bare, raw);
  quillet::bench::Report(("RefreshList/" + std::to_string(files)).c_str(), refresh, bare);
}

}  // namespace

int main() {
  Measure(10000, 7);
  Measure(100000, 3);
}
