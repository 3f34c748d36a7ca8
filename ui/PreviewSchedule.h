#pragma once
// When the main window rebuilds its list and runs its forecast. Every change
// of the texts asks for a rebuild. It is done at once, unless more typing
// waits in the queue: then it waits for the typing and is done once, for the
// texts as they then stand, before any message that is not typing into the
// edits (a click, a paint, a key for another control) and at the latest once
// the queue is empty. The forecast runs after the rebuild, in pieces between
// which a waiting keystroke goes first; once one did, the forecast goes on
// when the queue is empty. Rename has both finished at once.

#include <cstddef>

#include "core/PreviewModel.h"
#include "ui/Window.h"

namespace quillet::ui {

// The schedule drives the preview's model and tells the form, which reads
// the model: the model never calls back.
class PreviewSchedule {
 public:
  // Sent to the form after the model changed, the change in wParam.
  static constexpr UINT ChangedMessage = WM_APP + 1;
  enum Change : WPARAM {
    Rebuilt,  // a new plan: the list is to be filled anew
    Marked,   // the stop is known, or played before the disk's answers
              // about the entries came: the marks are to be drawn
  };

  explicit PreviewSchedule(PreviewModel& model) : model_(model) {}
  ~PreviewSchedule();
  PreviewSchedule(const PreviewSchedule&) = delete;
  PreviewSchedule& operator=(const PreviewSchedule&) = delete;

  // The form to tell and the edits typed into; the schedule takes its turns
  // from here on.
  void Attach(Window form, Window mask, Window pattern);
  // The label whose text names the directory to list; none where no
  // directory is known for sure: the list then stays empty.
  void ListFrom(Window directory) { directory_ = directory; }

  // The texts the list is made from changed.
  void TextsChanged();
  // The rebuild that waits, and the whole forecast, now; where it waits
  // for answers, the progress form shows after a while. False when its
  // button stopped the wait.
  bool FinishNow();
  // The window is hidden: nothing more is done, the forecast neither, until
  // the texts change.
  void Stop();

 private:
  // Tests set how much the forecast does between two looks at the queue.
  friend struct TForm1Probe;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  static LRESULT CALLBACK OnMessageTaken(int code, WPARAM w, LPARAM l);
  void Turn();
  void Rebuild();
  void RunForecast(bool typingFirst);
  bool WaitWithProgress();
  void ShowMarks();
  void WaitForTyping(bool wait);
  bool IsTyping(const MSG& msg) const;

  PreviewModel& model_;
  Window form_, directory_, mask_, pattern_;
  // How many names or lines the forecast takes between two looks at the queue.
  std::size_t piece_ = 2048;
  // Message-only: its posted message and its timer are the schedule's turns.
  OwnedWindow turns_;
  bool rebuildWaits_ = false;
  // The marks of the stop played before the disk's answers came are shown.
  bool guessShown_ = false;
  HHOOK watch_ = nullptr;
};

}  // namespace quillet::ui
