#pragma once
// The main window: the directory, the mask and the pattern, and the live
// preview of the rename plan. It renames nothing itself; whoever shows it
// reads Plan() after it closed with mrOk.

#include <string>
#include <string_view>

#include "core/RenamePlan.h"
#include "ui/Window.h"

namespace quillet::ui {

class TForm1 : public Form {
 public:
  // Control IDs, in tab order where they take the focus. Rename is not
  // IDOK and Cancel not IDCANCEL on purpose: the keys are routed by the
  // form, and Enter must not confirm this window.
  enum ControlId : int {
    IdListBox = 100,
    IdLabel1,
    IdMask,
    IdLabel2,
    IdPattern,
    IdRename,
    IdCancel,
    IdDirectory,
    IdVer,
  };

  explicit TForm1(HWND owner = nullptr);
  ~TForm1() override;

  // Directory and mask as one path, such as C:\Photos\*.jpg. Set before
  // ShowModal; FormShow expands it and splits it into Directory and Mask.
  std::string PathMask;

  // The controls (owned by the window, destroyed with it).
  Window ListBox, Label1, Mask, Label2, Pattern, Rename, Cancel, Directory, Ver;

  // Setting the pattern text raises PatternChange, as typing does.
  void SetPattern(std::string_view text) const { Pattern.SetText(text); }

  // The plan behind the list: preview lines, OldNames and NewNames, and the
  // directory its entries live in.
  const RenamePlan& Plan() const { return plan_; }

  // Rebuilds the plan from the Directory, Mask and Pattern texts, refills
  // the list and sets Rename by the rename flag.
  void RefreshList();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void CreateControls();
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void MaskChange();
  void PatternChange();
  void VerClick();
  void FillListBox();

  RenamePlan plan_;
  Font font_, verFont_;
  Anchors anchors_;
};

}  // namespace quillet::ui
