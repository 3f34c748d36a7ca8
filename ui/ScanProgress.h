#pragma once
// The folder scan's progress window: the drive being read and the number of
// folders read so far, under the hourglass, with a cancel button that cancels
// the directory dialog. The dialog reads every drive before it shows, so this
// window is the only sign of life meanwhile; it shows only when the scan runs
// long.

#include <cstddef>
#include <span>
#include <string_view>

#include "ui/Progress.h"
#include "ui/Window.h"

namespace quillet::ui {

class TScanProgress : public FormOf<TScanProgress> {
 public:
  Window Drive, Folders, Cancel;

  static std::span<const Control<TScanProgress>> Controls();

  // The scan's report after each folder: shows the window once the scan has
  // run long, and says false once the user has cancelled.
  bool Report(std::string_view drive, std::size_t folders);

 protected:
  FormDesign Design() const override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  // Reading a folder takes only a few times as long as a look at the message
  // queue under Wine: look every 30 ms instead, which a cancel never notices.
  ProgressPacer pacer_{30};
};

}  // namespace quillet::ui
