#pragma once
// For the host benchmarks (Google Benchmark): after the usual table, each
// measured function's median CPU time as a ratio of the baseline function's
// at the same argument. Run the baseline first.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillet::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::string baseline) : baseline_(std::move(baseline)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.aggregate_name != "median") continue;
      const std::string& arg = r.run_name.args;
      const double ms = r.GetAdjustedCPUTime();
      if (r.run_name.function_name == baseline_) baselineMs_[arg] = ms;
      else if (baselineMs_.count(arg))
        std::printf("%s/%s: %.3f ms CPU, baseline %.3f ms, ratio %.2f\n",
                    r.run_name.function_name.c_str(), arg.c_str(), ms, baselineMs_[arg],
                    ms / baselineMs_[arg]);
    }
  }

 private:
  std::string baseline_;
  std::map<std::string, double> baselineMs_;
};

// main() of a benchmark program whose functions compare with baseline.
inline int RunWithRatios(int argc, char** argv, const char* baseline) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(baseline);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace quillet::bench
