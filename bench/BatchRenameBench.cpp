// The batch loop against a bare loop of the platform's rename over the same
// names in the same folder, on the host: what RenameFiles adds to the rename
// calls themselves. Each iteration renames every file there and back.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/RatioReporter.h"
#include "core/BatchRename.h"
#include "platform/FileSystem.h"

namespace {

// A temp folder of n files and the plans that rename them there and back.
struct Folder {
  // In memory where there is some: a busy disk takes longer to make and
  // remove the files than the benchmark takes to run.
  explicit Folder(int n) {
    char shm[] = "/dev/shm/qbatch-XXXXXX", tmp[] = "/tmp/qbatch-XXXXXX";
    const char* made = mkdtemp(shm);
    if (!made) made = mkdtemp(tmp);
    if (!made) return;
    unix = made;
    forth.EntryDir = back.EntryDir = unix + "\\";
    for (int i = 0; i < n; ++i) {
      char name[32], renamed[32];
      std::snprintf(name, sizeof name, "IMG_%06d.JPG", i);
      std::snprintf(renamed, sizeof renamed, "photo_%06d.jpg", i);
      const int fd = open((unix + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      if (fd >= 0) close(fd);
      forth.OldNames.push_back(name);
      forth.NewNames.push_back(renamed);
    }
    forth.Addressable.assign(forth.OldNames.size(), true);
    back.OldNames = forth.NewNames;
    back.NewNames = forth.OldNames;
    back.Addressable = forth.Addressable;
  }
  ~Folder() {
    std::error_code ec;
    if (!unix.empty()) std::filesystem::remove_all(unix, ec);
  }
  std::string unix;
  quillet::RenamePlan forth, back;
};

bool BareLoop(const quillet::RenamePlan& plan) {
  for (std::size_t i = 0; i < plan.Count(); ++i)
    if (quillet::platform::RenameFile(plan.EntryDir + plan.OldNames[i],
                                      plan.EntryDir + plan.NewNames[i]) != 0)
      return false;
  return true;
}

void Bare(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  for (auto _ : state)
    if (!BareLoop(folder.forth) || !BareLoop(folder.back)) state.SkipWithError("a rename failed");
}

void Batch(benchmark::State& state) {
  Folder folder(static_cast<int>(state.range(0)));
  for (auto _ : state)
    if (quillet::RenameFiles(folder.forth, nullptr).How != quillet::BatchEnd::Done ||
        quillet::RenameFiles(folder.back, nullptr).How != quillet::BatchEnd::Done)
      state.SkipWithError("a rename failed");
}

// Renames are system time, which a busy machine stretches: the ratio takes
// the median CPU time of three runs.
BENCHMARK(Bare)->Arg(1000)->Arg(10000)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Batch)->Arg(1000)->Arg(10000)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::RunWithRatios(argc, argv, "Bare"); }
