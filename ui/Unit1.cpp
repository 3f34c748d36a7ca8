#include "ui/Unit1.h"

#include "core/PathUtil.h"
#include "resources/resource.h"
#include "ui/AbBox.h"

namespace quillet::ui {

namespace {

// Design metrics: client 640 x 329 at 268, 259 on the screen.
constexpr int ClientWidth = 640, ClientHeight = 329;
constexpr int DesignLeft = 268, DesignTop = 259;
constexpr int ItemHeight = 12;

constexpr DWORD LabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD EditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD ButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;

void SetWindowIcon(Window w, int id) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  auto load = [&](int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
  };
  w.Send(WM_SETICON, ICON_BIG, load(32));
  w.Send(WM_SETICON, ICON_SMALL, load(16));
}

}  // namespace

TForm1::TForm1(HWND owner) {
  CreateForm({owner, "Quillet by Tarnwick", WS_OVERLAPPEDWINDOW, 0, ClientWidth, ClientHeight});
  if (Window self = Handle()) {
    SetWindowPos(self, nullptr, DesignLeft, DesignTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowIcon(self, IDI_MAIN);
  }
}

TForm1::~TForm1() { DestroyForm(); }

LRESULT TForm1::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      FormCreate();
      return 0;
    case WM_SHOWWINDOW:
      if (w && l == 0) FormShow();
      break;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_SIZE:
      anchors_.Apply();
      return 0;
    case WM_COMMAND: {
      const int code = HIWORD(w);
      switch (LOWORD(w)) {
        case IdMask:
          if (code == EN_CHANGE) MaskChange();
          return 0;
        case IdPattern:
          if (code == EN_CHANGE) PatternChange();
          return 0;
        case IdRename:
          if (code == BN_CLICKED) SetModalResult(mrOk);
          return 0;
        case IdCancel:
          if (code == BN_CLICKED) SetModalResult(mrCancel);
          return 0;
        case IdVer:
          if (code == BN_CLICKED) VerClick();
          return 0;
      }
      break;
    }
  }
  return Form::OnMessage(msg, w, l);
}

void TForm1::CreateControls() {
  font_ = MakeFont(UiFace, 12);
  verFont_ = MakeFont(UiFace, 11);
  Window self = Handle();
  // Creation order is the tab order: ListBox, Mask, Pattern, Rename,
  // Cancel, Ver; the labels take no focus.
  ListBox = CreateControl(self, {"LISTBOX", "", IdListBox, Rc(0, 0, 640, 289),
                                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                 WS_EX_CLIENTEDGE}, font_);
  ListBox.Send(LB_SETITEMHEIGHT, 0, ItemHeight);
  Label1 = CreateControl(self, {"STATIC", "ファイル名", IdLabel1, Rc(8, 296, 53, 12), LabelStyle}, font_);
  Mask = CreateControl(self, {"EDIT", "", IdMask, Rc(64, 292, 161, 20), EditStyle, WS_EX_CLIENTEDGE}, font_);
  Label2 = CreateControl(self, {"STATIC", "→", IdLabel2, Rc(232, 296, 12, 12), LabelStyle}, font_);
  Pattern = CreateControl(self, {"EDIT", "", IdPattern, Rc(248, 292, 161, 20), EditStyle, WS_EX_CLIENTEDGE}, font_);
  Rename = CreateControl(self, {"BUTTON", "リネーム", IdRename, Rc(488, 292, 65, 21), ButtonStyle}, font_);
  Cancel = CreateControl(self, {"BUTTON", "キャンセル", IdCancel, Rc(560, 292, 73, 21), ButtonStyle}, font_);
  // "&" in a directory name is shown as it is, not as an accelerator.
  Directory = CreateControl(self, {"STATIC", "Dir", IdDirectory, Rc(8, 314, 15, 12), LabelStyle}, font_);
  Ver = CreateControl(self, {"BUTTON", "バージョン情報...", IdVer, Rc(488, 313, 145, 16), ButtonStyle}, verFont_);

  anchors_.Capture(self, {{IdListBox, akLeft | akTop | akRight | akBottom},
                          {IdLabel1, akLeft | akBottom},
                          {IdMask, akLeft | akBottom},
                          {IdLabel2, akLeft | akBottom},
                          {IdPattern, akLeft | akBottom},
                          {IdRename, akRight | akBottom},
                          {IdCancel, akRight | akBottom},
                          {IdDirectory, akLeft | akBottom},
                          {IdVer, akRight | akBottom}});
  // Esc presses Cancel; there is no default button, so Enter confirms nothing.
  SetCancelButton(IdCancel);
}

void TForm1::FormCreate() { plan_.Clear(); }

void TForm1::FormDestroy() { plan_.Clear(); }

void TForm1::FormShow() {
  PathMask = FullPath(PathMask);
  // Only a real change raises MaskChange, as typing would.
  std::string mask(FileNamePart(PathMask));
  if (Mask.Text() != mask) Mask.SetText(mask);
  Directory.SetText(std::string(DirectoryPart(PathMask)) + "\\");
  AutoSize(Directory);
  RefreshList();
}

void TForm1::MaskChange() {
  RefreshList();
  Rename.Enable(!Mask.Text().empty() && !Pattern.Text().empty());
}

void TForm1::PatternChange() {
  RefreshList();
  Rename.Enable(!Mask.Text().empty() && !Pattern.Text().empty());
}

void TForm1::VerClick() {
  TAboutBox box(Handle());
  box.ShowModal();
}

void TForm1::RefreshList() {
  const bool renameFlag = quillet::RefreshList(Directory.Text(), Mask.Text(), Pattern.Text(), plan_);
  FillListBox();
  Rename.Enable(renameFlag);
}

void TForm1::FillListBox() {
  // One repaint for the whole list, however many lines: tens of thousands
  // of files must not cost a redraw each.
  ListBox.Send(WM_SETREDRAW, FALSE);
  ListBox.Send(LB_RESETCONTENT);
  std::size_t bytes = 0;
  for (const std::string& line : plan_.Lines) bytes += line.size() + 1;
  ListBox.Send(LB_INITSTORAGE, plan_.Lines.size(), static_cast<LPARAM>(bytes));
  for (const std::string& line : plan_.Lines)
    ListBox.Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  ListBox.Send(LB_SETTOPINDEX, 0);
  ListBox.Send(WM_SETREDRAW, TRUE);
  InvalidateRect(ListBox, nullptr, TRUE);
}

}  // namespace quillet::ui
