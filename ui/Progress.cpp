#include "ui/Progress.h"

#include "resources/resource.h"

namespace quillet::ui {

namespace {

// Labels of one line: a text too long for one is cut with an ellipsis rather
// than wrapped. The name in hand comes cut in its middle already.
constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;
// The bar's range, finer than its pixels whatever the number of files.
constexpr int kBarSteps = 1000;
// Work of unknown length shows a marquee: blocks that run along the bar
// while the work goes on, and never a bar that fills and then falls back as
// if the work had started over. They step on at each report.
constexpr UINT kMarqueeMs = ProgressPacer::UpdateEveryMs;

}  // namespace

// Esc and the close box stop the work as the button does.
std::span<const Control<TProgressForm>> TProgressForm::Controls() {
  using F = TProgressForm;
  static const Control<F> controls[] = {
      {.Field = &F::Status, .ClassName = "STATIC", .Rect = Rc(12, 12, 276, 12), .Style = kLabelStyle},
      {.Field = &F::Current, .ClassName = "STATIC", .Rect = Rc(12, 30, 276, 12), .Style = kLabelStyle},
      {.Field = &F::Bar, .ClassName = PROGRESS_CLASSA, .Rect = Rc(12, 50, 276, 14), .Style = PBS_SMOOTH},
      {.Field = &F::Stop, .ClassName = "BUTTON", .Rect = Rc(113, 74, 75, 25),
       .Style = WS_TABSTOP | BS_PUSHBUTTON, .Role = brCancel, .ModalResult = mrCancel},
  };
  return controls;
}

// A small dialog-style window in the middle of the screen, with the
// program's icon for its taskbar button: the main window has gone by the
// time the batch runs, so the form has no owner.
FormDesign TProgressForm::Design() const {
  return {.Caption = use_.Caption,
          .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
          .ExStyle = WS_EX_DLGMODALFRAME,
          .Client = {300, 108},
          .Position = poScreenCenter,
          .BigIcon = IDI_MAIN,
          .SmallIcon = IDI_MAIN};
}

void TProgressForm::FormCreate() {
  Stop.SetText(use_.Button);
  if (use_.Bounded) {
    Bar.Send(PBM_SETRANGE32, 0, kBarSteps);
    return;
  }
  SetWindowLongA(Bar, GWL_STYLE, (GetWindowLongA(Bar, GWL_STYLE) | PBS_MARQUEE) & ~PBS_SMOOTH);
  Bar.Send(PBM_SETMARQUEE, TRUE, kMarqueeMs);
}

void TProgressForm::SetReport(const ProgressReport& report) {
  Status.SetText(report.Status);
  Current.SetText(MiddleEllipsis(report.Current, Current.Font(), Current.ClientRect().right));
  if (use_.Bounded) {
    if (report.Total > 0) Bar.Send(PBM_SETPOS, static_cast<WPARAM>(report.Done * kBarSteps / report.Total));
    return;
  }
  // The marquee steps on a timer of the bar's own, which Wine never hands to
  // a look for the form's messages (it matches a timer's window exactly).
  MSG msg;
  if (PeekMessageA(&msg, Bar, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
}

// The hourglass over the client area and the arrow over the button, which
// still answers; the frame's own cursors are left to the default handling.
LRESULT TProgressForm::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT) {
    const auto cursor = reinterpret_cast<HWND>(w) == Stop.Handle() ? IDC_ARROW : IDC_WAIT;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(cursor)));
    return TRUE;
  }
  return Form::OnMessage(msg, w, l);
}

}  // namespace quillet::ui
