#pragma once
// When the main window rebuilds its list and runs its forecast. Every change
// of the texts asks for a rebuild. It is done at once, unless more typing
// waits in the queue: then it waits for the typing and is done once, for the
// texts as they then stand, before any message that is not typing into the
// edits (a click, a paint, a key for another control) and at the latest once
// the queue is empty. The forecast runs after the rebuild, in pieces between
// which a waiting keystroke goes first; once one did, the forecast goes on
// when the queue is empty. Rename has both finished at once.

#include <functional>
#include <utility>

#include "ui/Window.h"

namespace quillet::ui {

class PreviewSchedule {
 public:
  struct Work {
    // Makes the list anew for the texts as they stand; a forecast starts over.
    std::function<void()> Rebuild;
    // Takes the forecast one piece further; true once it is done.
    std::function<bool()> Forecast;
    // Whether the forecast waits for answers from another thread: it is
    // taken up again a while later, not at once.
    std::function<bool()> Waiting;
  };

  explicit PreviewSchedule(Work work) : work_(std::move(work)) {}
  ~PreviewSchedule();
  PreviewSchedule(const PreviewSchedule&) = delete;
  PreviewSchedule& operator=(const PreviewSchedule&) = delete;

  // The edits typed into; the schedule takes its turns from here on.
  void Attach(Window mask, Window pattern);

  // The texts the list is made from changed.
  void TextsChanged();
  // The rebuild that waits, and the whole forecast, now; where it waits
  // for answers, the progress form shows after a while. False when its
  // button stopped the wait.
  bool FinishNow();
  // The window is hidden: nothing more is done until the texts change.
  void Stop();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  static LRESULT CALLBACK OnMessageTaken(int code, WPARAM w, LPARAM l);
  void Turn();
  void Rebuild();
  void RunForecast(bool typingFirst);
  void ForecastDone();
  void WaitForTyping(bool wait);
  bool IsTyping(const MSG& msg) const;

  Work work_;
  Window mask_, pattern_;
  // Message-only: its posted message and its timer are the schedule's turns.
  OwnedWindow turns_;
  bool rebuildWaits_ = false;
  bool forecasting_ = false;
  HHOOK watch_ = nullptr;
};

}  // namespace quillet::ui
