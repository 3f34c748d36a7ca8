#pragma once
// The About box: product name and version, and two link labels (mail and
// web page) that underline themselves under the mouse, on a white panel.

#include <span>

#include "ui/Window.h"

namespace quillet::ui {

class TAboutBox : public FormOf<TAboutBox> {
 public:
  TAboutBox();

  Window Panel1, ProgramIcon, ProductName, Copyright, Comments, Label3, Label4, Label5, OKButton;

  static std::span<const Control<TAboutBox>> Controls();

 protected:
  FormDesign Design() const override;
  void FormCreate() override;
  void FormDestroy() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Panel1MouseMove();
  void CopyrightMouseMove();
  void CommentsMouseMove();
  void CopyrightClick();
  void CommentsClick();
  static void SetUnderline(Window label, bool on, Font& owned);

  Tooltips tips_;
  Font copyrightFont_, commentsFont_;
};

}  // namespace quillet::ui
