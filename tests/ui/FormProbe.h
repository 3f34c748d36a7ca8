#pragma once
// What the main window keeps to itself, read by the tests and benchmarks
// that need to know where the forecast stands: the program has no such
// door, TForm1 only names this probe its friend.

#include <cstddef>
#include <optional>
#include <utility>

#include "ui/Unit1.h"

namespace quillet::ui {

struct TForm1Probe {
  // The line the batch would stop at and why, once the forecast for the
  // current list is done; nothing while it runs or when nothing would fail.
  static const std::optional<ForecastStop>& StopLine(const TForm1& form) { return form.stop_; }
  static bool ForecastDone(const TForm1& form) { return form.forecast_.Done(); }
  // The marks are drawn: the forecast is done, or waits only for the disk's
  // answers about what the entries are.
  static bool MarksShown(const TForm1& form) { return form.forecast_.Done() || form.forecast_.Waiting(); }
  // What a click on Rename does first; false when the wait was stopped.
  static bool FinishNow(TForm1& form) { return form.schedule_.FinishNow(); }
  // How many names or lines the forecast takes between two looks at the
  // queue.
  static void SetForecastPiece(TForm1& form, std::size_t piece) { form.forecastPiece_ = piece; }
  // Lists a plan made by hand, as a rebuild lists the one it makes: the
  // list draws the plan's lines.
  static void List(TForm1& form, RenamePlan plan) {
    form.plan_ = std::move(plan);
    form.preview_.Forget();
    form.FillListBox();
  }
};

}  // namespace quillet::ui
