#include "ui/AbBox.h"

#include "platform/Shell.h"
#include "resources/Version.h"
#include "resources/resource.h"

namespace quillet::ui {

namespace {

// The tooltip's rect tool over ProgramIcon, on Panel1.
constexpr UINT kIconToolId = 1;

// The link targets are kept here, not read back from the labels.
constexpr const char* kMailTarget = "mailto:quillet@tarnwick.example";
constexpr const char* kWebTarget = "https://tarnwick.example/quillet/";

constexpr const char* kProductText = QUILLET_NAME " Ver." QUILLET_ABOUT_VERSION_STR;
constexpr const char* kCreditText = "Copyright (C) 2026 Tarnwick  quillet@tarnwick.example";
constexpr const char* kIconTip = "看板娘。";

constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
// Labels that react to the mouse must see it; plain labels let it through
// to the panel.
constexpr DWORD kLinkStyle = kLabelStyle | SS_NOTIFY;

// The panel: white, with a lowered outer bevel, and it passes its children's
// notifications on to the form, which handles them.
constexpr const char* kPanelClass = "QuilletPanel";
constexpr COLORREF kPanelColor = RGB(255, 255, 255);

HICON AboutIcon() {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ABOUT),
                                       IMAGE_ICON, Scale(32), Scale(32), LR_SHARED));
}

void DrawBevel(HWND panel, HDC dc) {
  RECT r;
  GetClientRect(panel, &r);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  const auto dc = reinterpret_cast<HDC>(w);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      SetDCBrushColor(dc, kPanelColor);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      DrawBevel(hwnd, BeginPaint(hwnd, &ps));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (l & PRF_ERASEBKGND) SendMessageA(hwnd, WM_ERASEBKGND, w, 0);
      DrawBevel(hwnd, dc);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(dc, kPanelColor);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetDCBrushColor(dc, kPanelColor);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageA(GetParent(hwnd), msg, w, l);
  }
  return DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

TAboutBox::TAboutBox() {
  WNDCLASSEXA panel{};
  panel.lpfnWndProc = PanelProc;
  panel.lpszClassName = kPanelClass;
  RegisterWindowClass(panel);
}

// The panel's children sit in its client coordinates. Over the panel and
// its plain labels no link is underlined (so too over the form itself; see
// OnMessage).
std::span<const Control<TAboutBox>> TAboutBox::Controls() {
  using F = TAboutBox;
  static const Control<F> controls[] = {
      {.Field = &F::Panel1, .ClassName = kPanelClass, .Rect = Rc(8, 8, 345, 161),
       .Style = WS_CLIPCHILDREN, .ExStyle = WS_EX_CONTROLPARENT, .MouseMove = &F::Panel1MouseMove},
      // Disabled, so the mouse over it counts as over the panel.
      {.Field = &F::ProgramIcon, .ClassName = "STATIC", .Rect = Rc(16, 16, 33, 33),
       .Style = SS_ICON | SS_REALSIZECONTROL | WS_DISABLED, .Parent = &F::Panel1},
      {.Field = &F::ProductName, .ClassName = "STATIC", .Text = kProductText, .Rect = Rc(56, 24, 275, 27),
       .Style = kLabelStyle, .Parent = &F::Panel1,
       .Font = {.Face = "Arial Black", .Height = 19, .Charset = DEFAULT_CHARSET, .Italic = true,
                .Weight = FW_BLACK},
       .MouseMove = &F::Panel1MouseMove},
      {.Field = &F::Copyright, .ClassName = "STATIC", .Text = kCreditText, .Rect = Rc(24, 60, 300, 12),
       .Style = kLinkStyle, .Parent = &F::Panel1, .Notify = STN_CLICKED, .Handler = &F::CopyrightClick,
       .MouseMove = &F::CopyrightMouseMove},
      {.Field = &F::Comments, .ClassName = "STATIC", .Text = kWebTarget, .Rect = Rc(24, 80, 213, 12),
       .Style = kLinkStyle, .Parent = &F::Panel1, .Notify = STN_CLICKED, .Handler = &F::CommentsClick,
       .MouseMove = &F::CommentsMouseMove},
      {.Field = &F::Label3, .ClassName = "STATIC", .Text = "ファイル名をマスクとパターンで一括リネームします。",
       .Rect = Rc(24, 104, 300, 12), .Style = kLabelStyle, .Parent = &F::Panel1, .MouseMove = &F::Panel1MouseMove},
      {.Field = &F::Label4, .ClassName = "STATIC", .Text = "ワイルドカード「*」「?」が使えます。",
       .Rect = Rc(24, 120, 300, 12), .Style = kLabelStyle, .Parent = &F::Panel1, .MouseMove = &F::Panel1MouseMove},
      {.Field = &F::Label5, .ClassName = "STATIC", .Text = "設定ファイルやレジストリは使いません。",
       .Rect = Rc(24, 136, 300, 12), .Style = kLabelStyle, .Parent = &F::Panel1, .MouseMove = &F::Panel1MouseMove},
      // Enter gives OK; no button has the cancel role, so Esc does nothing.
      {.Field = &F::OKButton, .ClassName = "BUTTON", .Text = "OK", .Rect = Rc(143, 180, 75, 25),
       .Style = WS_TABSTOP, .Role = brDefault, .ModalResult = mrOk},
  };
  return controls;
}

FormDesign TAboutBox::Design() const {
  return {.Caption = "バージョン情報",
          .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
          .ExStyle = WS_EX_DLGMODALFRAME,
          .Client = {361, 211},
          .Position = poScreenCenter,
          .BigIcon = IDI_ABOUT};
}

LRESULT TAboutBox::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_MOUSEMOVE:
      Panel1MouseMove();
      break;
    case WM_SETCURSOR: {
      const HWND over = reinterpret_cast<HWND>(w);
      if (over != Copyright && over != Comments) break;
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
      return TRUE;
    }
  }
  return Form::OnMessage(msg, w, l);
}

void TAboutBox::FormCreate() {
  ProgramIcon.Send(STM_SETICON, reinterpret_cast<WPARAM>(AboutIcon()));
  // The icon resizes the control to the icon's size; the design stretches it.
  const RECT icon = Scale(Rc(16, 16, 33, 33));
  ProgramIcon.SetBounds(icon, false);
  // A disabled control gets no mouse messages, so its tooltip is a rect
  // tool on the panel underneath.
  tips_.Create(Handle());
  tips_.AddRectTool(Panel1, kIconToolId, icon, kIconTip);
}

void TAboutBox::FormDestroy() {
  // The labels go with the window right after, never to paint again.
  copyrightFont_.Reset();
  commentsFont_.Reset();
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

void TAboutBox::CopyrightClick() { platform::ShellOpen(Handle(), kMailTarget); }

void TAboutBox::CommentsClick() { platform::ShellOpen(Handle(), kWebTarget); }

}  // namespace quillet::ui
