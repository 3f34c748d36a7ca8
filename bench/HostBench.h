#pragma once
// What the host benchmarks share: a temp folder of empty files, made once and
// removed with everything in it when the program ends, and a reporter that
// prints each result as a ratio of a baseline measured in the same run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace quillet::bench {

class HostFolder {
 public:
  // count files for each printf form, such as "IMG_%06d.JPG".
  HostFolder(int count, std::initializer_list<const char*> forms) {
    char templ[] = "/tmp/qbench-XXXXXX";
    if (!mkdtemp(templ)) return;
    unix_ = templ;
    for (int i = 0; i < count; ++i) {
      for (const char* form : forms) {
        char name[64];
        std::snprintf(name, sizeof name, form, i);
        Make(name);
      }
    }
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  ~HostFolder() {
    std::error_code ec;
    if (!unix_.empty()) std::filesystem::remove_all(unix_, ec);
  }

  // As the program writes a directory: ending in "\"; empty when the folder
  // could not be made.
  std::string Dir() const { return unix_.empty() ? std::string() : unix_ + "\\"; }

  // A file that comes and goes: the folder's change stamp moves.
  void Touch() const {
    Make("zz_touch.tmp");
    unlink((unix_ + "/zz_touch.tmp").c_str());
  }

 private:
  void Make(const char* name) const {
    int fd = open((unix_ + "/" + name).c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd >= 0) close(fd);
  }

  std::string unix_;
};

// Prints each median CPU time as a ratio of the median of the baseline
// function with the same arguments: most of what is measured is system time,
// which a busy machine stretches.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::string baseline) : baselineName_(std::move(baseline)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.aggregate_name != "median") continue;
      const std::string& args = r.run_name.args;
      const std::string name = r.run_name.function_name + (args.empty() ? "" : "/" + args);
      const double ms = r.GetAdjustedCPUTime();
      if (r.run_name.function_name == baselineName_) baseline_[args] = ms;
      else if (baseline_.count(args))
        std::printf("%s: %.3f ms CPU, baseline %.3f ms, ratio %.2f\n", name.c_str(), ms,
                    baseline_[args], ms / baseline_[args]);
    }
  }

 private:
  std::string baselineName_;
  std::map<std::string, double> baseline_;
};

}  // namespace quillet::bench
