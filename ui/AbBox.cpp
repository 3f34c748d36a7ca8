#include "ui/AbBox.h"

#include "platform/Shell.h"
#include "resources/Version.h"
#include "resources/resource.h"

namespace quillet::ui {

namespace {

// The link targets are kept here, not read back from the labels.
constexpr const char* MailTarget = "mailto:quillet@tarnwick.example";
constexpr const char* WebTarget = "https://tarnwick.example/quillet/";

constexpr const char* ProductText = QUILLET_NAME " Ver." QUILLET_ABOUT_VERSION_STR;
constexpr const char* CreditText = "Copyright (C) 2026 Tarnwick  quillet@tarnwick.example";
constexpr const char* IconTip = "看板娘。";

constexpr DWORD LabelStyle = SS_LEFT | SS_NOPREFIX;
// Labels that react to the mouse must see it; plain labels let it through
// to the panel.
constexpr DWORD LinkStyle = LabelStyle | SS_NOTIFY;

}  // namespace

TAboutBox::TAboutBox(HWND owner) {
  CreateForm({owner, "バージョン情報", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 361, 211});
  if (Window self = Handle()) {
    CenterOnScreen(self);
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ABOUT),
                                               IMAGE_ICON, 32, 32, LR_SHARED));
    self.Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
}

TAboutBox::~TAboutBox() { DestroyForm(); }

LRESULT TAboutBox::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_SETCURSOR: {
      HWND over = reinterpret_cast<HWND>(w);
      if (over == Copyright || over == Comments) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
      }
      break;
    }
    case WM_COMMAND: {
      const int code = HIWORD(w);
      switch (LOWORD(w)) {
        case IdOKButton:
          if (code == BN_CLICKED) SetModalResult(mrOk);
          return 0;
        case IdCopyright:
          if (code == STN_CLICKED) CopyrightClick();
          return 0;
        case IdComments:
          if (code == STN_CLICKED) CommentsClick();
          return 0;
      }
      break;
    }
  }
  return Form::OnMessage(msg, w, l);
}

bool TAboutBox::PreTranslate(MSG& msg) {
  if (msg.message == WM_MOUSEMOVE) {
    const HWND h = msg.hwnd;
    if (h == Copyright) CopyrightMouseMove();
    else if (h == Comments) CommentsMouseMove();
    else if (h == Handle() || h == Panel1 || h == ProductName || h == Label3 || h == Label4 || h == Label5)
      Panel1MouseMove();
  }
  // Still dispatched: the tooltip watches the same mouse moves.
  return Form::PreTranslate(msg);
}

void TAboutBox::CreateControls() {
  font_ = MakeFont(UiFace, 12);
  productFont_ = MakeFont("Arial Black", 19, DEFAULT_CHARSET, true, FW_BLACK);
  Window self = Handle();

  Panel1 = CreatePanel(self, IdPanel1, Rc(8, 8, 345, 161), RGB(255, 255, 255), true);
  // Disabled, so the mouse over it counts as over the panel.
  ProgramIcon = CreateControl(Panel1, {"STATIC", "", IdProgramIcon, Rc(16, 16, 33, 33),
                                       SS_ICON | SS_REALSIZECONTROL | WS_DISABLED}, nullptr);
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ABOUT),
                                             IMAGE_ICON, 32, 32, LR_SHARED));
  ProgramIcon.Send(STM_SETICON, reinterpret_cast<WPARAM>(icon));
  SetWindowPos(ProgramIcon, nullptr, 16, 16, 33, 33, SWP_NOZORDER | SWP_NOACTIVATE);

  ProductName = CreateControl(Panel1, {"STATIC", ProductText, IdProductName, Rc(56, 24, 275, 27), LabelStyle},
                              productFont_);
  Copyright = CreateControl(Panel1, {"STATIC", CreditText, IdCopyright, Rc(24, 60, 300, 12), LinkStyle}, font_);
  Comments = CreateControl(Panel1, {"STATIC", WebTarget, IdComments, Rc(24, 80, 213, 12), LinkStyle}, font_);
  Label3 = CreateControl(Panel1, {"STATIC", "ファイル名をマスクとパターンで一括リネームします。", IdLabel3,
                                  Rc(24, 104, 300, 12), LabelStyle}, font_);
  Label4 = CreateControl(Panel1, {"STATIC", "ワイルドカード「*」「?」が使えます。", IdLabel4,
                                  Rc(24, 120, 300, 12), LabelStyle}, font_);
  Label5 = CreateControl(Panel1, {"STATIC", "設定ファイルやレジストリは使いません。", IdLabel5,
                                  Rc(24, 136, 300, 12), LabelStyle}, font_);
  OKButton = CreateControl(self, {"BUTTON", "OK", IdOKButton, Rc(143, 180, 75, 25),
                                  WS_TABSTOP | BS_DEFPUSHBUTTON}, font_);

  // A disabled control gets no mouse messages, so its tooltip is a rect
  // tool on the panel underneath.
  Tips.Create(self);
  Tips.AddRectTool(Panel1, IdIconTool, Rc(16, 16, 33, 33), IconTip);

  // Enter gives OK; no button has the cancel role, so Esc does nothing.
  SetDefaultButton(IdOKButton);
}

void TAboutBox::SetUnderline(Window label, bool on, Font& owned) {
  if (IsUnderlined(label.Font()) == on) return;
  // Derived from the label's current font, so bold or italic stay.
  Font next = WithUnderline(label.Font(), on);
  if (!next) return;
  label.SetFont(next, true);
  owned = std::move(next);  // the previous one is no longer selected anywhere
}

void TAboutBox::Panel1MouseMove() {
  SetUnderline(Copyright, false, copyrightFont_);
  SetUnderline(Comments, false, commentsFont_);
}

void TAboutBox::CopyrightMouseMove() {
  SetUnderline(Copyright, true, copyrightFont_);
  SetUnderline(Comments, false, commentsFont_);
}

void TAboutBox::CommentsMouseMove() {
  SetUnderline(Copyright, false, copyrightFont_);
  SetUnderline(Comments, true, commentsFont_);
}

void TAboutBox::CopyrightClick() { platform::ShellOpen(Handle(), MailTarget); }

void TAboutBox::CommentsClick() { platform::ShellOpen(Handle(), WebTarget); }

}  // namespace quillet::ui
