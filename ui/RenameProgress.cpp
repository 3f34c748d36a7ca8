#include "ui/RenameProgress.h"

namespace quillet::ui {

// Esc and the close box stop the batch as the button does.
std::span<const Control<TRenameProgress>> TRenameProgress::Controls() {
  using F = TRenameProgress;
  static const Control<F> controls[] = {
      {.Field = &F::Count, .ClassName = "STATIC", .Rect = Rc(12, 12, 276, 12), .Style = ProgressLabelStyle},
      {.Field = &F::Current, .ClassName = "STATIC", .Rect = Rc(12, 30, 276, 12), .Style = ProgressLabelStyle},
      {.Field = &F::Stop, .ClassName = "BUTTON", .Text = "中止", .Rect = Rc(113, 54, 75, 25),
       .Style = WS_TABSTOP | BS_PUSHBUTTON, .Role = brCancel, .ModalResult = mrCancel},
  };
  return controls;
}

FormDesign TRenameProgress::Design() const { return ProgressDesign("リネーム中", {300, 88}); }

bool TRenameProgress::BeforeEntry(std::size_t index, std::size_t count, const std::string& oldName) {
  return pacer_.Step(*this, [&] {
    Count.SetText(std::to_string(index) + " / " + std::to_string(count));
    Current.SetText(oldName);
  });
}

LRESULT TRenameProgress::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETCURSOR && SetBusyCursor(w, l, Stop)) return TRUE;
  return Form::OnMessage(msg, w, l);
}

BatchEnd RenameWithProgress(const RenamePlan& plan) {
  TRenameProgress progress;
  const OwnedWindow window = progress.Create();
  return RenameFiles(plan, [&progress](std::size_t index, std::size_t count, const std::string& name) {
    return progress.BeforeEntry(index, count, name);
  });
}

}  // namespace quillet::ui
