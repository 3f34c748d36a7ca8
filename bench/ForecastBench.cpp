// The forecast of where the batch stops against building the plan it
// forecasts for, on the host: a folder of 20,000 files of which the mask
// matches 10,000, a pattern that makes every rename go through (so every
// line is played). Twice: with the folder's listing kept from the run before
// (as while typing on), and with the folder listed afresh.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/HostFolder.h"
#include "bench/RatioReporter.h"
#include "core/RenameForecast.h"
#include "core/RenamePlan.h"

namespace {

constexpr int Matching = 10000;
const char* const Mask = "IMG_*.JPG";
const char* const Pattern = "photo_*.jpg";

const quillet::bench::HostFolder& Folder() {
  static const quillet::bench::HostFolder folder(Matching, {"IMG_%06d.JPG", "doc_%06d.txt"});
  return folder;
}

void PlanBuild(benchmark::State& state) {
  quillet::RenamePlan plan;
  for (auto _ : state) {
    quillet::RefreshList(Folder().Dir(), Mask, Pattern, plan);
    benchmark::DoNotOptimize(plan.Count());
  }
  if (plan.Count() != Matching) state.SkipWithError("files missing from the plan");
}

void Forecast(benchmark::State& state, bool fresh) {
  quillet::RenamePlan plan;
  quillet::RefreshList(Folder().Dir(), Mask, Pattern, plan);
  quillet::RenameForecast forecast;
  bool failed = false;
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      Folder().Touch();
      state.ResumeTiming();
    }
    forecast.Start(plan);
    while (!forecast.Advance(1 << 20)) {
    }
    failed |= forecast.Stop().has_value();
  }
  if (failed) state.SkipWithError("the forecast says the batch fails; it should not");
}

void ForecastListingKept(benchmark::State& state) { Forecast(state, false); }
void ForecastListedAfresh(benchmark::State& state) { Forecast(state, true); }

BENCHMARK(PlanBuild)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(ForecastListingKept)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(ForecastListedAfresh)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return quillet::bench::RunWithRatios(argc, argv, "PlanBuild"); }
