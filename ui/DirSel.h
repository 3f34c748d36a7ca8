#pragma once
// The directory selection dialog: a computer node, the drives under it and
// every folder of every drive, read in full before the dialog shows. Whoever
// shows it sets SelectedDir first (the folder to pre-select) and reads it
// back after it closed with mrOk.

#include <string>

#include "ui/Window.h"

namespace quillet {
class FolderTree;
}

namespace quillet::ui {

class TDirSelect : public Form {
 public:
  enum ControlId : int {
    IdTree = 100,
    IdOk = IDOK,
    IdCancel = IDCANCEL,
  };

  explicit TDirSelect(HWND owner = nullptr);
  ~TDirSelect() override;

  // The chosen directory, ending in "\".
  std::string SelectedDir;

  // The controls (owned by the window, destroyed with it).
  Window Tree, Ok, Cancel;

  // Replaces the tree's nodes by the model's, in its order, and selects its
  // Selected() node. FormShow calls it after scanning every drive.
  void LoadTree(const FolderTree& folders);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FormCreate();
  void FormShow();
  void TreeChange();
  void TreeClick();
  LRESULT TreeNotify(const NMHDR& hdr);

  Font font_;
  ui::ImageList ImageList;
};

}  // namespace quillet::ui
