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
//
// A mask Wine's search would list too few names for (IMG_*?.JPG) lists the
// whole folder and keeps what the mask matches: its RefreshList against the
// ordinary mask's, which lists the same names, both in such a folder and in
// BENCH_FOLDER_MIXED, where the mask matches half of 20,000 files.

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/WinBench.h"
#include "core/RenamePlan.h"
#include "platform/Search.h"

namespace {

using quillet::bench::MinMs;

const char* const Mask = "IMG_*.JPG";
const char* const WholeListingMask = "IMG_*?.JPG";

// RefreshList of the mask that lists the whole folder against the ordinary
// one's; both must plan the same files.
void MeasureWholeListing(const std::string& name, const std::string& dir, int reps) {
  quillet::RenamePlan plan;
  std::size_t planned = 0, whole = 0;
  const double ordinary = MinMs(reps, [&] {
    quillet::RefreshList(dir, Mask, "photo_*.jpg", plan);
    planned = plan.Count();
  });
  const double listed = MinMs(reps, [&] {
    quillet::RefreshList(dir, WholeListingMask, "photo_*?.jpg", plan);
    whole = plan.Count();
  });
  if (whole != planned || planned == 0) {
    std::printf("%s: %zu files planned by %s, %zu by %s\n", name.c_str(), planned, Mask, whole, WholeListingMask);
    return;
  }
  quillet::bench::Report(name.c_str(), listed, ordinary);
}

// The folder of BENCH_FOLDER_MIXED, or one made like it here.
void MeasureMixed(int reps) {
  std::unique_ptr<quillet::bench::TempFiles> made;
  std::string dir;
  if (const char* given = std::getenv("BENCH_FOLDER_MIXED")) {
    dir = given;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
  } else {
    made = std::make_unique<quillet::bench::TempFiles>(10000, "IMG_", ".JPG");
    for (int i = 0; i < 10000; ++i) made->Touch("doc_" + std::to_string(i) + ".txt");
    dir = made->Dir();
  }
  MeasureWholeListing("RefreshList, whole listing/mixed", dir, reps);
}

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
  MeasureWholeListing("RefreshList, whole listing/" + std::to_string(files), dir, reps);
}

}  // namespace

int main() {
  Measure(10000, 7);
  Measure(100000, 3);
  MeasureMixed(7);
}
