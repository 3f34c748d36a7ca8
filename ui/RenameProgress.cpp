#include "ui/RenameProgress.h"

#include "ui/Messages.h"

namespace quillet::ui {

bool ReportEntry(TProgressForm& form, std::size_t index, std::size_t count, const std::string& oldName) {
  // The name shown is the one being renamed, and the count counts it; the
  // bar shows the files done before it.
  return form.Tick([&] {
    return ProgressReport{Grouped(index + 1) + " / " + Grouped(count), oldName, index, count};
  });
}

BatchEnd RenameWithProgress(const RenamePlan& plan, std::size_t lines) {
  TProgressForm form(Renaming);
  const OwnedWindow window = form.Create();
  return RenameFiles(plan, [&form, lines](std::size_t index, std::size_t, const std::string& name) {
    return index < lines && ReportEntry(form, index, lines, name);
  });
}

}  // namespace quillet::ui
