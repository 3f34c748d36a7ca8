// RefreshList over a folder of matching files against a bare FindFirst /
// FindNext loop over the same folder, at two sizes: the ratio says what the
// plan adds to the search, and should not grow with the folder.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/RatioReporter.h"
#include "core/RenamePlan.h"
#include "platform/Search.h"

namespace {

const char* const Mask = "IMG_*.JPG";

// A temp folder of n files that the mask matches, made once per size.
class Folder {
 public:
  explicit Folder(int n) {
    char templ[] = "/tmp/qbench-XXXXXX";
    if (!mkdtemp(templ)) return;
    unix_ = templ;
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%06d.JPG", i);
      int fd = open((unix_ + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      if (fd >= 0) close(fd);
    }
  }
  ~Folder() {
    std::error_code ec;
    if (!unix_.empty()) std::filesystem::remove_all(unix_, ec);
  }
  std::string Dir() const { return unix_.empty() ? std::string() : unix_ + "\\"; }

  static const Folder& Of(int n) {
    static std::map<int, std::unique_ptr<Folder>> made;
    auto& f = made[n];
    if (!f) f = std::make_unique<Folder>(n);
    return *f;
  }

 private:
  std::string unix_;
};

void BareSearch(benchmark::State& state) {
  const std::string path = Folder::Of(int(state.range(0))).Dir() + Mask;
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
  const std::string dir = Folder::Of(int(state.range(0))).Dir();
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
