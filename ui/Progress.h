#pragma once
// Long work on the window thread, reported in a small form of its own: the
// batch of renames and the directory dialog's folder scan use the same form
// with their own texts. The form shows only once the work has run for a
// while, so short work shows nothing; from then on it gets its messages
// between the work's steps, so it paints and its button answers, and its
// texts are renewed now and then.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "ui/Window.h"

namespace quillet::ui {

// Decides, at each step of the work, whether the form is due to show, its
// texts due to be renewed and its messages due to be handled.
class ProgressPacer {
 public:
  static constexpr DWORD ShowAfterMs = 500;
  // Texts renewed faster than this are not read, only repainted.
  static constexpr DWORD UpdateEveryMs = 100;

  // Milliseconds from any fixed start, as GetTickCount counts them.
  using Clock = std::function<DWORD()>;

  // The clock starts at the first step. pumpEveryMs: how long the form's
  // messages may wait; 0 handles them at every step, so that a click takes
  // effect before the next one.
  explicit ProgressPacer(DWORD pumpEveryMs, Clock clock = GetTickCount)
      : pumpEveryMs_(pumpEveryMs), clock_(std::move(clock)) {}

  // Between two steps of the work: shows the form when it is due, calls
  // update() to set its texts when they are due, handles its messages, and
  // returns false once the form has been closed or its button pressed. Costs
  // a look at the clock when nothing is due.
  template <class Update>
  bool Tick(Form& form, Update&& update) {
    const DWORD now = clock_();
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
  Clock clock_;
  DWORD start_ = 0, updated_ = 0, pumped_ = 0;
  bool started_ = false, shown_ = false;
};

// What tells the form's two uses apart.
struct ProgressUse {
  const char* Caption;
  const char* Button;
  // How long the button's click may wait; see ProgressPacer.
  DWORD PumpEveryMs;
  // Whether the work knows how much of it there is: then the bar fills up,
  // otherwise a marquee runs along it while the work goes on.
  bool Bounded;
};

// What the form says at one step: two lines, and how far the work is when
// it is bounded.
struct ProgressReport {
  std::string Status, Current;
  std::size_t Done = 0, Total = 0;
};

// The progress form: a line of status, the name or count in hand (shortened
// in the middle when it is too long, where names usually differ), the bar,
// and a button that stops the work.
class TProgressForm : public FormOf<TProgressForm> {
 public:
  Window Status, Current, Bar, Stop;

  static std::span<const Control<TProgressForm>> Controls();

  explicit TProgressForm(const ProgressUse& use, ProgressPacer::Clock clock = GetTickCount)
      : use_(use), pacer_(use.PumpEveryMs, std::move(clock)) {}

  // Between two steps of the work: shows the window once the work has run
  // long, sets what report() returns when the texts are due, and says false
  // once the user has stopped the work.
  template <class Report>
  bool Tick(Report&& report) {
    return pacer_.Tick(*this, [&] { SetReport(report()); });
  }

 protected:
  FormDesign Design() const override;
  void FormCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void SetReport(const ProgressReport& report);

  ProgressUse use_;
  ProgressPacer pacer_;
};

}  // namespace quillet::ui
