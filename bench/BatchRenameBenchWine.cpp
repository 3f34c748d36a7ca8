// The batch as the program runs it (with its progress window, which shows
// after half a second) against a bare MoveFileA loop over the same names in
// the same folder, under Wine, at three folder sizes: Wine reads the whole
// folder for every new name, so both grow with the folder, and the ratio says
// what the batch adds.
//
// scripts/bench makes the folders on the host and names them in the
// environment: BENCH_RENAME_<count> holds <count> files IMG_<number>.JPG and
// nothing else, and is left as it was found. Without it the folder is made
// here, which Wine does in time growing with the square of its size.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/WinBench.h"
#include "core/RenamePlan.h"
#include "ui/RenameProgress.h"

namespace {

using quillet::BatchEnd;
using quillet::RenamePlan;

bool BareLoop(const RenamePlan& plan) {
  for (std::size_t i = 0; i < plan.Count(); ++i) {
    const std::string from = plan.EntryDir + plan.OldNames[i];
    const std::string to = plan.EntryDir + plan.NewNames[i];
    if (!MoveFileA(from.c_str(), to.c_str())) return false;
  }
  return true;
}

bool Batch(const RenamePlan& plan) {
  const BatchEnd end = quillet::ui::RenameWithProgress(plan, plan.Count());
  return end.How == BatchEnd::Done && end.At == plan.Count();
}

// Each round renames every file there and back, the batch one way and the
// bare loop the other, turn about from round to round; the times add up. At
// 10,000 files one round takes a minute under Wine, and one is all there is.
// (On tmpfs each pass over a folder runs some 10% slower than the one before
// it, whichever side renames: scripts/bench puts these folders on disk.)
bool Measure(int files, int rounds) {
  const quillet::bench::FilesFolder folder("BENCH_RENAME_" + std::to_string(files), files);
  const std::string& dir = folder.Dir();
  RenamePlan forth;
  quillet::RefreshList(dir, "IMG_*.JPG", "photo_*.jpg", forth);
  if (forth.Count() != static_cast<std::size_t>(files)) {
    std::printf("batch/%d: %zu files in \"%s\"\n", files, forth.Count(), dir.c_str());
    return false;
  }
  RenamePlan back = forth;
  back.OldNames.swap(back.NewNames);

  using quillet::bench::Times;
  Times batch, bare;
  bool ok = true;
  const auto time = [&ok](auto run) { return Times::Of([&] { ok = run() && ok; }); };
  for (int round = 0; round < rounds && ok; ++round) {
    if (round % 2 == 0) {
      batch += time([&] { return Batch(forth); });
      bare += time([&] { return BareLoop(back); });
    } else {
      bare += time([&] { return BareLoop(forth); });
      batch += time([&] { return Batch(back); });
    }
  }
  if (!ok) {
    std::printf("batch/%d: a rename failed in \"%s\"\n", files, dir.c_str());
    return false;
  }
  quillet::bench::Report("batch/" + std::to_string(files) + " against bare MoveFileA", batch, bare);
  std::printf("  %.0f renames a second by the batch, %.0f bare\n",
              rounds * files * 1000.0 / batch.wall, rounds * files * 1000.0 / bare.wall);
  return true;
}

}  // namespace

int main() {
  bool ok = Measure(1000, 4);
  ok = Measure(3000, 2) && ok;
  ok = Measure(10000, 1) && ok;
  std::printf("goal: ratio at most 1.05 in CPU time at each size\n");
  return ok ? 0 : 1;
}
