#pragma once
// The directory selection dialog: a computer node, the drives under it and
// every folder of every drive, read in full before the dialog shows. Whoever
// shows it sets SelectedDir first (the folder to pre-select) and reads it
// back after it closed with mrOk.

#include <span>
#include <string>

#include "ui/Window.h"

namespace quillet {
class FolderTree;
}

namespace quillet::ui {

class TDirSelect : public FormOf<TDirSelect> {
 public:
  // The chosen directory, ending in "\".
  std::string SelectedDir;

  // The controls (owned by the window, destroyed with it).
  Window Tree, Ok, Cancel;

  static std::span<const Control<TDirSelect>> Controls();

  // Replaces the tree's nodes by the model's, in its order, and selects its
  // Selected() node. FormShow calls it after scanning every drive.
  void LoadTree(const FolderTree& folders);

 protected:
  FormDesign Design() const override;
  void FormCreate() override;
  void FormShow() override;
  void FormDestroy() override;

 private:
  void TreeChange();
  void TreeClick();

  ui::ImageList ImageList;
  bool loading_ = false;  // LoadTree is filling the tree
};

}  // namespace quillet::ui
