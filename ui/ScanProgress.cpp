#include "ui/ScanProgress.h"

#include <string>

namespace quillet::ui {

// Esc and the close box cancel as the button does.
std::span<const Control<TScanProgress>> TScanProgress::Controls() {
  using F = TScanProgress;
  static const Control<F> controls[] = {
      {.Field = &F::Drive, .ClassName = "STATIC", .Rect = Rc(12, 12, 236, 12), .Style = ProgressLabelStyle},
      {.Field = &F::Folders, .ClassName = "STATIC", .Rect = Rc(12, 30, 236, 12), .Style = ProgressLabelStyle},
      {.Field = &F::Cancel, .ClassName = "BUTTON", .Text = "キャンセル", .Rect = Rc(88, 54, 84, 25),
       .Style = WS_TABSTOP | BS_PUSHBUTTON, .Role = brCancel, .ModalResult = mrCancel},
  };
  return controls;
}

FormDesign TScanProgress::Design() const { return ProgressDesign("フォルダの読み込み", {260, 88}); }

bool TScanProgress::Report(std::string_view drive, std::size_t folders) {
  return pacer_.Step(*this, [&] {
    Drive.SetText(std::string(drive) + " を読み込んでいます");
    Folders.SetText(std::to_string(folders) + " フォルダ");
  });
}

LRESULT TScanProgress::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETCURSOR && SetBusyCursor(w, l, Cancel)) return TRUE;
  return Form::OnMessage(msg, w, l);
}

}  // namespace quillet::ui
