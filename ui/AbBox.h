#pragma once
// The About box: product name and version, and two link labels (mail and
// web page) that underline themselves under the mouse.

#include "ui/Window.h"

namespace quillet::ui {

class TAboutBox : public Form {
 public:
  enum ControlId : int {
    IdPanel1 = 200,
    IdProgramIcon,
    IdProductName,
    IdCopyright,
    IdComments,
    IdLabel3,
    IdLabel4,
    IdLabel5,
    IdOKButton,
    IdIconTool = 1,  // the tooltip's rect tool over ProgramIcon, on Panel1
  };

  explicit TAboutBox(HWND owner);
  ~TAboutBox() override;

  Window Panel1, ProgramIcon, ProductName, Copyright, Comments, Label3, Label4, Label5, OKButton;
  Tooltips Tips;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool PreTranslate(MSG& msg) override;

 private:
  void CreateControls();
  void Panel1MouseMove();
  void CopyrightMouseMove();
  void CommentsMouseMove();
  void CopyrightClick();
  void CommentsClick();
  static void SetUnderline(Window label, bool on, Font& owned);

  Font font_, productFont_, copyrightFont_, commentsFont_;
};

}  // namespace quillet::ui
