#include "ui/PreviewSchedule.h"

#include <tuple>
#include <utility>

#include "ui/Messages.h"
#include "ui/Progress.h"

namespace quillet::ui {
namespace {

constexpr const char* kTurnsClass = "QuilletSchedule";
// Comes before input, paints and timers: the turn right after a rebuild.
constexpr UINT kTurnMessage = WM_APP;
// Comes once the queue is empty.
constexpr UINT_PTR kTurnTimer = 1;
// How often a forecast that waits for answers looks whether they are in.
constexpr UINT kWaitingMs = 50;

// The wait for the forecast's answers as the progress form shows it: the bar
// fills up as the entries are looked at.
constexpr ProgressUse Checking{.Caption = "確認中", .Button = "中止", .PumpEveryMs = 0, .Bounded = true};

// The schedule whose rebuild waits for typing, served by the thread's
// message hook: a hook is given no context of its own.
thread_local PreviewSchedule* waiting = nullptr;

// Whether keystrokes wait in the thread's queue, from the keyboard or posted.
bool TypingWaits() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE | PM_NOYIELD) != 0;
}

// The report with how many entries the disk has told of so far; while the
// directory is still being listed there is no count to give.
ProgressReport Checked(ProgressReport report, std::pair<std::size_t, std::size_t> asked) {
  std::tie(report.Done, report.Total) = asked;
  if (report.Total > 0) report.Current = Grouped(report.Done) + " / " + Grouped(report.Total);
  return report;
}

}  // namespace

PreviewSchedule::~PreviewSchedule() { WaitForTyping(false); }

void PreviewSchedule::Attach(Window form, Window mask, Window pattern) {
  form_ = form;
  mask_ = mask;
  pattern_ = pattern;
  WNDCLASSEXA turns{};
  turns.lpfnWndProc = Proc;
  turns.lpszClassName = kTurnsClass;
  RegisterWindowClass(turns);
  turns_.Reset(CreateWindowExA(0, kTurnsClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), this));
}

// Every keystroke would rebuild the whole plan, though only the last list is
// ever read. A lone keystroke, or a change made from code, finds no more
// waiting.
void PreviewSchedule::TextsChanged() {
  if (!TypingWaits()) {
    Rebuild();
    return;
  }
  WaitForTyping(true);
  SetTimer(turns_, kTurnTimer, USER_TIMER_MINIMUM, nullptr);
}

bool PreviewSchedule::FinishNow() {
  if (rebuildWaits_) Rebuild();
  if (model_.ForecastDone()) return true;
  if (!model_.Advance(piece_) && !WaitWithProgress()) return false;
  ShowMarks();
  return true;
}

// Each piece of the forecast, and each look whether the answers it waits
// for are in, gives the progress form its turn: it shows once the work has
// run half a second, as the batch's does.
bool PreviewSchedule::WaitWithProgress() {
  TProgressForm form(Checking);
  const OwnedWindow window = form.Create();
  ProgressReport report;
  report.Status = "ファイルがリンクでないか確認しています…";
  model_.HurryForecast();
  do {
    if (!form.Tick([&] { return Checked(report, model_.FactsAsked()); })) {
      // Stopped: the forecast goes on in the window's turns.
      SetTimer(turns_, kTurnTimer, kWaitingMs, nullptr);
      return false;
    }
    if (model_.ForecastWaiting()) Sleep(kWaitingMs / 5);
  } while (!model_.Advance(piece_));
  return true;
}

void PreviewSchedule::Stop() {
  WaitForTyping(false);
  model_.CancelForecast();
  KillTimer(turns_, kTurnTimer);
}

void PreviewSchedule::Rebuild() {
  WaitForTyping(false);
  KillTimer(turns_, kTurnTimer);
  if (directory_) model_.Rebuild(directory_.Text(), mask_.Text(), pattern_.Text());
  else model_.Take({});
  guessShown_ = false;
  form_.Send(ChangedMessage, Rebuilt);
  Window(turns_).Post(kTurnMessage);
}

LRESULT CALLBACK PreviewSchedule::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
  auto* self = reinterpret_cast<PreviewSchedule*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || (msg != kTurnMessage && msg != WM_TIMER)) return DefWindowProcA(hwnd, msg, w, l);
  try {
    self->Turn();
  } catch (...) {
    // Nothing of ours may unwind through the system's frames.
  }
  return 0;
}

// A turn comes in whichever loop runs (the form's own, a message box's, a
// caller's).
void PreviewSchedule::Turn() {
  if (rebuildWaits_) Rebuild();
  else RunForecast(true);
}

void PreviewSchedule::RunForecast(bool typingFirst) {
  KillTimer(turns_, kTurnTimer);
  if (model_.ForecastDone()) return;
  while (!model_.Advance(piece_)) {
    if (model_.ForecastWaiting()) {
      // The stop played so far is marked once; the answers are looked for
      // a while later.
      if (!guessShown_) form_.Send(ChangedMessage, Marked);
      guessShown_ = true;
      SetTimer(turns_, kTurnTimer, kWaitingMs, nullptr);
      return;
    }
    // The key goes first. If it changes the texts, the forecast starts over;
    // if not, the timer takes it up again where it stopped.
    if (typingFirst && TypingWaits()) {
      SetTimer(turns_, kTurnTimer, USER_TIMER_MINIMUM, nullptr);
      return;
    }
  }
  ShowMarks();
}

void PreviewSchedule::ShowMarks() {
  KillTimer(turns_, kTurnTimer);
  form_.Send(ChangedMessage, Marked);
}

// While the rebuild waits, a hook sees every message as it leaves the
// thread's queue, whichever loop takes it.
void PreviewSchedule::WaitForTyping(bool wait) {
  rebuildWaits_ = wait;
  if (wait && !watch_) {
    // One schedule waits at a time: another form's typing ends here.
    if (waiting) waiting->Rebuild();
    watch_ = SetWindowsHookExA(WH_GETMESSAGE, OnMessageTaken, nullptr, GetCurrentThreadId());
    if (watch_) waiting = this;
  } else if (!wait && watch_) {
    UnhookWindowsHookEx(watch_);
    watch_ = nullptr;
    waiting = nullptr;
  }
}

// Only more typing into the edits may overtake a rebuild that waits: a click,
// a paint or anything else sees the list of the texts as they stand, and so
// does whoever reads the plan once the window closed.
LRESULT CALLBACK PreviewSchedule::OnMessageTaken(int code, WPARAM w, LPARAM l) {
  const LRESULT next = CallNextHookEx(nullptr, code, w, l);
  try {
    const bool taken = code == HC_ACTION && w == PM_REMOVE;
    if (taken && waiting && !waiting->IsTyping(*reinterpret_cast<const MSG*>(l))) waiting->Rebuild();
  } catch (...) {
    // As in Proc.
  }
  return next;
}

bool PreviewSchedule::IsTyping(const MSG& msg) const {
  return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && (msg.hwnd == mask_ || msg.hwnd == pattern_);
}

}  // namespace quillet::ui
