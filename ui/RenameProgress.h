#pragma once
// The batch's progress window: how many of how many files are renamed, the
// name in hand and a stop button. The main window has closed by the time the
// batch runs, so this is a window of its own, shown only when the batch runs
// long, while the batch handles its messages between entries.

#include <cstddef>
#include <span>
#include <string>

#include "core/BatchRename.h"
#include "ui/Progress.h"
#include "ui/Window.h"

namespace quillet::ui {

class TRenameProgress : public FormOf<TRenameProgress> {
 public:
  Window Count, Current, Stop;

  static std::span<const Control<TRenameProgress>> Controls();

  // The batch's question before each entry: shows the window once the batch
  // has run long, and says false once the user has stopped it.
  bool BeforeEntry(std::size_t index, std::size_t count, const std::string& oldName);

 protected:
  FormDesign Design() const override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  // A click stops the batch before the very next entry.
  ProgressPacer pacer_{0};
};

// The batch over plan as the program runs it, with the progress window.
BatchEnd RenameWithProgress(const RenamePlan& plan);

}  // namespace quillet::ui
