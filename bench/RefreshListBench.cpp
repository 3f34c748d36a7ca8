// RefreshList over a folder of matching files against a bare FindFirst /
// FindNext loop over the same folder, at two sizes: the ratio says what the
// plan adds to the search, and should not grow with the folder.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/HostFolder.h"
#include "bench/RatioReporter.h"
#include "core/RenamePlan.h"
#include "platform/Search.h"

namespace {

const char* const Mask = "IMG_*.JPG";

// A temp folder of n files that the mask matches, made once per size.
const quillet::bench::HostFolder& FolderOf(int n) {
  static std::map<int, std::unique_ptr<quillet::bench::HostFolder>> made;
  auto& f = made[n];
  if (!f) f = std::make_unique<quillet::bench::HostFolder>(n, std::initializer_list<const char*>{"IMG_%06d.JPG"});
  return *f;
}

void BareSearch(benchmark::State& state) {
  const std::string path = FolderOf(int(state.range(0))).Dir() + Mask;
  for (auto _ : state) {
    quillet::platform::SearchRecord rec;
    std::size_t n = 0;
    for (int err = quillet::platform::FindFirst(path, quillet::platform::FilesOnly, rec); err == 0;
         err = quillet::platform::FindNext(rec))
      ++n;
    quillet::platform::FindClose(rec);
    benchmark::DoNotOptimize(n);
  }
}

void RefreshList(benchmark::State& state) {
  const std::string dir = FolderOf(int(state.range(0))).Dir();
  quillet::RenamePlan plan;
  for (auto _ : state) {
    quillet::RefreshList(dir, Mask, "photo_*.jpg", plan);
    benchmark::DoNotOptimize(plan.Count());
  }
  if (plan.Count() != std::size_t(state.range(0))) state.SkipWithError("files missing from the plan");
}

// Most of a search is system time, which a busy machine stretches: the ratio
// takes the median CPU time of five runs.
BENCHMARK(BareSearch)->Arg(10000)->Arg(100000)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshList)->Arg(10000)->Arg(100000)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::RunWithRatios(argc, argv, "BareSearch"); }
