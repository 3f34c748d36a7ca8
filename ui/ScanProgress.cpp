#include "ui/ScanProgress.h"

#include <string>

#include "ui/Messages.h"

namespace quillet::ui {

bool ReportScan(TProgressForm& form, std::string_view drive, std::size_t folders) {
  return form.Tick([&] {
    return ProgressReport{std::string(drive) + " を読み込んでいます", Grouped(folders) + " ディレクトリ"};
  });
}

}  // namespace quillet::ui
