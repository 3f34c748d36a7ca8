// RefreshList over a folder of matching files against a bare FindFirst /
// FindNext loop over the same folder, under Wine, at two sizes.

#include <string>

#include "bench/WinBench.h"
#include "core/RenamePlan.h"
#include "platform/Search.h"

namespace {

using quillet::bench::MinMs;

void Measure(int files, int reps) {
  quillet::bench::TempFiles folder(files, "IMG_", ".JPG");
  if (folder.Dir().empty()) return;
  const std::string path = folder.Dir() + "IMG_*.JPG";
  std::size_t listed = 0, planned = 0;
  double bare = MinMs(reps, [&] {
    quillet::platform::SearchRecord rec;
    listed = 0;
    for (int err = quillet::platform::FindFirst(path, quillet::platform::FilesOnly, rec); err == 0;
         err = quillet::platform::FindNext(rec))
      ++listed;
    quillet::platform::FindClose(rec);
  });
  quillet::RenamePlan plan;
  double refresh = MinMs(reps, [&] {
    quillet::RefreshList(folder.Dir(), "IMG_*.JPG", "photo_*.jpg", plan);
    planned = plan.Count();
  });
  if (listed != std::size_t(files) || planned != listed) {
    std::printf("files missing: %d made, %zu listed, %zu planned\n", files, listed, planned);
    return;
  }
  quillet::bench::Report(("RefreshList/" + std::to_string(files)).c_str(), refresh, bare);
}

}  // namespace

int main() {
  Measure(10000, 7);
  Measure(100000, 3);
}
