#include "ui/ScanProgress.h"

#include <string>

namespace quillet::ui {

bool ReportScan(TProgressForm& form, std::string_view drive, std::size_t folders) {
  return form.Tick([&] {
    return ProgressReport{std::string(drive) + " を読み込んでいます", std::to_string(folders) + " フォルダ"};
  });
}

}  // namespace quillet::ui
