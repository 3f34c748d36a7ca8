#pragma once
// The main window's preview model and schedule, reached by the tests and
// benchmarks that need to know where the forecast stands: the program has
// no such door, TForm1 and its schedule only name this probe their friend.

#include <cstddef>
#include <optional>
#include <utility>

#include "ui/Unit1.h"

namespace quillet::ui {

struct TForm1Probe {
  // The line the batch would stop at and why, once the forecast for the
  // current list is done; nothing while it runs or when nothing would fail.
  static const std::optional<ForecastStop>& StopLine(const TForm1& form) { return form.model_.Stop(); }
  static bool ForecastDone(const TForm1& form) { return form.model_.ForecastDone(); }
  // The marks are drawn: the forecast is done, or waits only for the disk's
  // answers about what the entries are.
  static bool MarksShown(const TForm1& form) { return form.model_.ForecastDone() || form.model_.ForecastWaiting(); }
  // What a click on Rename does first; false when the wait was stopped.
  static bool FinishNow(TForm1& form) { return form.schedule_.FinishNow(); }
  // How many names or lines the forecast takes between two looks at the
  // queue.
  static void SetForecastPiece(TForm1& form, std::size_t piece) { form.schedule_.piece_ = piece; }
  // Lists a plan made by hand: the model takes it, and the form is told as
  // the schedule tells it of a rebuild.
  static void List(TForm1& form, RenamePlan plan) {
    form.model_.Take(std::move(plan));
    form.Handle().Send(PreviewSchedule::ChangedMessage, PreviewSchedule::Rebuilt);
  }
};

}  // namespace quillet::ui
