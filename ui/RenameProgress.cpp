#include "ui/RenameProgress.h"

namespace quillet::ui {

bool ReportEntry(TProgressForm& form, std::size_t index, std::size_t count, const std::string& oldName) {
  // The name shown is the one being renamed, and the count counts it; the
  // bar shows the files done before it.
  return form.Tick([&] {
    return ProgressReport{std::to_string(index + 1) + " / " + std::to_string(count), oldName, index, count};
  });
}

BatchEnd RenameWithProgress(const RenamePlan& plan) {
  TProgressForm form(Renaming);
  const OwnedWindow window = form.Create();
  return RenameFiles(plan, [&form](std::size_t index, std::size_t count, const std::string& name) {
    return ReportEntry(form, index, count, name);
  });
}

}  // namespace quillet::ui
