#pragma once
// The batch's use of the progress form: how many of how many files are
// renamed, the name in hand and a stop button. The main window has closed by
// the time the batch runs, so the form is a window of its own.

#include <cstddef>
#include <string>

#include "core/BatchRename.h"
#include "ui/Progress.h"

namespace quillet::ui {

// A click stops the batch before the very next entry.
inline constexpr ProgressUse Renaming{
    .Caption = "リネーム中", .Button = "中止", .PumpEveryMs = 0, .Bounded = true};

// The batch's question before each entry: shows the form once the batch has
// run long, and says false once the user has stopped it.
bool ReportEntry(TProgressForm& form, std::size_t index, std::size_t count, const std::string& oldName);

// The batch over the first lines of plan as the program runs it, with the
// progress form: it is called off before line `lines`, or sooner by the
// user (Cancelled), or ends Done.
BatchEnd RenameWithProgress(const RenamePlan& plan, std::size_t lines);

}  // namespace quillet::ui
