#pragma once
// Long work on the window thread, reported in a small form of its own. The
// form shows only once the work has run for a while, so short work shows
// nothing; from then on it gets its messages between the work's steps, so it
// paints and its button answers, and its texts are renewed now and then.

#include <windows.h>

#include "ui/Window.h"

namespace quillet::ui {

class ProgressPacer {
 public:
  static constexpr DWORD ShowAfterMs = 500;
  // Texts renewed faster than this are not read, only repainted.
  static constexpr DWORD UpdateEveryMs = 100;

  // The clock starts at the first step. pumpEveryMs: how long the form's
  // messages may wait; 0 handles them at every step, so that a click takes
  // effect before the next one.
  explicit ProgressPacer(DWORD pumpEveryMs) : pumpEveryMs_(pumpEveryMs) {}

  // Between two steps of the work: shows the form when it is due, calls
  // update() to set its texts when they are due, handles its messages, and
  // returns false once the form has been closed or its button pressed. Costs
  // a look at the clock when nothing is due.
  template <class Update>
  bool Step(Form& form, Update&& update) {
    const DWORD now = GetTickCount();
    if (!started_) {
      started_ = true;
      start_ = now;
    }
    if (!shown_) {
      if (now - start_ < ShowAfterMs) return true;
      shown_ = true;
      updated_ = pumped_ = now;
      update();
      form.ShowModeless();
      return form.PumpMessages();
    }
    if (now - updated_ >= UpdateEveryMs) {
      updated_ = now;
      update();
    }
    if (now - pumped_ >= pumpEveryMs_) {
      pumped_ = now;
      return form.PumpMessages();
    }
    return form.GetModalResult() == mrNone && form.Handle();
  }

 private:
  DWORD pumpEveryMs_;
  DWORD start_ = 0, updated_ = 0, pumped_ = 0;
  bool started_ = false, shown_ = false;
};

// What both progress forms are made with: a small dialog-style window in the
// middle of the screen, with the program's icon for its taskbar button.
FormDesign ProgressDesign(const char* caption, SIZE client);

// Their labels: a long name is cut with an ellipsis rather than wrapped.
inline constexpr DWORD ProgressLabelStyle = SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;

// WM_SETCURSOR of a progress form: the hourglass over its client area, the
// arrow over its button, which still answers. True when it set the cursor;
// the frame's own cursors are left to the default handling.
bool SetBusyCursor(WPARAM w, LPARAM l, Window button);

}  // namespace quillet::ui
