#include "ui/Messages.h"

#include "platform/FileSystem.h"

namespace quillet::ui {

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
  return MessageBoxA(owner, text.c_str(), "Quillet", type);
}

std::string FailureMessage(const RenamePlan& plan, const BatchEnd& end) {
  std::string why = FaultText(end.Fault, end.Party);
  if (end.Fault == RenameFault::SystemRefused && end.Error != 0)
    if (std::string words = platform::ErrorText(end.Error); !words.empty()) why = std::move(words);
  return "\"" + plan.OldNames[end.At] + "\"" + "のリネームに失敗しました。\n" + why;
}

}  // namespace quillet::ui
