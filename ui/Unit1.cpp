#include "ui/Unit1.h"

#include <algorithm>

#include "core/PathUtil.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "ui/AbBox.h"
#include "ui/Messages.h"

namespace quillet::ui {

namespace {

constexpr int kItemHeight = 12;

// Owner-drawn to mark where the batch would stop; the list keeps its
// strings, so reading it back gives the preview lines unchanged.
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;

// "&" in a directory name is shown as it is, not as an accelerator.
constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
// Drawn by the form, shortened in the middle where it would run under Ver.
constexpr DWORD kDirectoryStyle = SS_OWNERDRAW | SS_NOPREFIX;
constexpr DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;

constexpr unsigned kBottomLeft = akLeft | akBottom;
constexpr unsigned kBottomRight = akRight | akBottom;

// Room beyond the widest text of a line: the stop line's text starts after
// its mark.
constexpr int kLineMargin = 12;
// Between two controls that the window's minimum size keeps apart.
constexpr int kControlGap = 8;
// The list keeps room for this many lines at the window's minimum size.
constexpr int kMinListLines = 3;

}  // namespace

// Table order is the tab order: ListBox, Mask, Pattern, Rename, Cancel, Ver;
// the labels take no focus. Esc presses Cancel; there is no default button,
// so Enter confirms nothing.
std::span<const Control<TForm1>> TForm1::Controls() {
  using F = TForm1;
  static const Control<F> controls[] = {
      {.Field = &F::ListBox, .ClassName = "LISTBOX", .Rect = Rc(0, 0, 640, 289),
       .Style = kListStyle, .ExStyle = WS_EX_CLIENTEDGE, .Anchors = akLeft | akTop | akRight | akBottom,
       .Notify = LBN_SELCHANGE, .Handler = &F::ShowSelectedReason},
      {.Field = &F::Label1, .ClassName = "STATIC", .Text = "ファイル名", .Rect = Rc(8, 296, 53, 12),
       .Style = kLabelStyle, .Anchors = kBottomLeft},
      {.Field = &F::Mask, .ClassName = "EDIT", .Rect = Rc(64, 292, 161, 20), .Style = kEditStyle,
       .ExStyle = WS_EX_CLIENTEDGE, .Anchors = kBottomLeft, .Notify = EN_CHANGE, .Handler = &F::MaskChange},
      {.Field = &F::Label2, .ClassName = "STATIC", .Text = "→", .Rect = Rc(232, 296, 12, 12),
       .Style = kLabelStyle, .Anchors = kBottomLeft},
      {.Field = &F::Pattern, .ClassName = "EDIT", .Rect = Rc(248, 292, 161, 20), .Style = kEditStyle,
       .ExStyle = WS_EX_CLIENTEDGE, .Anchors = kBottomLeft, .Notify = EN_CHANGE, .Handler = &F::PatternChange},
      {.Field = &F::Rename, .ClassName = "BUTTON", .Text = "リネーム", .Rect = Rc(488, 292, 65, 21),
       .Style = kButtonStyle, .Anchors = kBottomRight, .Handler = &F::RenameClick},
      {.Field = &F::Cancel, .ClassName = "BUTTON", .Text = "キャンセル", .Rect = Rc(560, 292, 73, 21),
       .Style = kButtonStyle, .Anchors = kBottomRight, .Role = brCancel, .ModalResult = mrCancel},
      {.Field = &F::Directory, .ClassName = "STATIC", .Text = "Dir", .Rect = Rc(8, 314, 15, 12),
       .Style = kDirectoryStyle, .Anchors = kBottomLeft},
      {.Field = &F::Ver, .ClassName = "BUTTON", .Text = "バージョン情報...", .Rect = Rc(488, 313, 145, 16),
       .Style = kButtonStyle, .Font = {.Face = UiFace, .Height = 11}, .Anchors = kBottomRight,
       .Handler = &F::VerClick},
  };
  return controls;
}

FormDesign TForm1::Design() const {
  return {.Caption = "Quillet by Tarnwick",
          .Style = WS_OVERLAPPEDWINDOW,
          .Client = {640, 329},
          .Position = poDesigned,
          .Origin = {268, 259},
          .BigIcon = IDI_MAIN,
          .SmallIcon = IDI_MAIN};
}

void TForm1::FormCreate() {
  // A line holds the font's whole cell, so a taller font keeps the tails of
  // g, j, p, q, y, and its underscore, which a face the system stands in may
  // draw below the cell; and one row more: the focus rectangle is drawn on
  // a line's last row, and there it would hide the underscores ("IMG 0013");
  // above that row, the rows of the lines under captured pieces.
  const int ink = std::max(CellHeight(ListBox.Font()), UnderscoreOf(ListBox.Font()).Bottom());
  ListBox.Send(LB_SETITEMHEIGHT, 0, std::max(Scale(kItemHeight), ink + UnderlineRows() + 1));
  tips_.Create(Handle());
  // Not hooked into the list box: filling it with thousands of lines must
  // not pass each through the tooltip (see RelayToTips).
  tips_.AddRelayedRectTool(ListBox, StopTipId, RECT{}, "");
  KeepMinimumRoom();
  // The same reason, shown at the marked line while it is selected.
  tips_.AddTrackedTool(ListBox, SelectedTipId);
  tips_.AddRelayedRectTool(ListBox, LineTipId, RECT{}, "");
  schedule_.Attach(Handle(), Mask, Pattern);
}

// The list box paints itself, then the form draws on it why it is empty.
LRESULT CALLBACK TForm1::ListProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR form) {
  const LRESULT result = DefSubclassProc(hwnd, msg, w, l);
  if (msg == WM_PAINT) reinterpret_cast<const TForm1*>(form)->DrawEmptyReason();
  return result;
}

// In the grey of the lines not reached (the system's own is too light to
// read), drawn, not an item, which a screen reader or another program
// would take for a file; below the first line's place, where the focused
// list draws its dotted frame.
void TForm1::DrawEmptyReason() const {
  const std::string& reason = model_.EmptyReason();
  if (reason.empty() || ListBox.Send(LB_GETCOUNT) != 0) return;
  const FontDC dc(ListBox, ListBox.Font());
  SetBkMode(dc.Get(), TRANSPARENT);
  SetTextColor(dc.Get(), NotReachedColor());
  RECT r = ListBox.ClientRect();
  InflateRect(&r, -Scale(kLineMargin / 2), 0);
  r.top += static_cast<int>(ListBox.Send(LB_GETITEMHEIGHT)) + Scale(kLineMargin / 2);
  DrawTextA(dc.Get(), reason.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
}

// The tool of an ordinary line follows the mouse from line to line, saying
// what the mask captured of that line; the marked line has a tool of its
// own, which follows it as the list scrolls.
void TForm1::HoverLine(POINT at) {
  const int height = std::max(1, static_cast<int>(ListBox.Send(LB_GETITEMHEIGHT)));
  const std::size_t line = static_cast<std::size_t>(ListBox.Send(LB_GETTOPINDEX)) + std::max(at.y, 0L) / height;
  if (line == hoveredLine_) return;
  hoveredLine_ = line;
  const std::string tip = model_.Look(line) == LineLook::Stop ? std::string() : model_.Tip(line);
  RECT r{};
  if (!tip.empty()) ListBox.Send(LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
  tips_.SetToolText(ListBox, LineTipId, tip.c_str());
  tips_.SetToolRect(ListBox, LineTipId, r);
}

// The smallest client area at which no control covers another: the
// controls of the bottom row that follow the right edge stop short of those
// that stay at the left, and the list keeps a few lines. The directory gives
// way, shortened in the middle.
void TForm1::KeepMinimumRoom() {
  const RECT client = Handle().ClientRect();
  int leftEnd = 0, rightStart = client.right;
  for (const Control<TForm1>& row : Controls()) {
    const Window control = this->*row.Field;
    if (control == Directory || (row.Anchors & (akTop | akBottom)) != akBottom) continue;
    const RECT r = control.Bounds();
    if (row.Anchors & akRight) rightStart = std::min<int>(rightStart, r.left);
    else leftEnd = std::max<int>(leftEnd, r.right);
  }
  const RECT list = ListBox.Bounds(), inside = ListBox.ClientRect();
  const int frame = (list.bottom - list.top) - inside.bottom + GetSystemMetrics(SM_CYHSCROLL);
  const int lines = kMinListLines * static_cast<int>(ListBox.Send(LB_GETITEMHEIGHT));
  minClient_ = {client.right - (rightStart - leftEnd) + Scale(kControlGap),
                client.bottom - (list.bottom - list.top) + frame + lines};
}

// The directory's label is as wide as its text, up to where Ver begins.
void TForm1::FitDirectory() const {
  if (!Directory) return;  // a size before the controls are made
  AutoSize(Directory);
  const RECT label = Directory.Bounds();
  const int room = Ver.Bounds().left - Scale(kControlGap) - label.left;
  if (label.right - label.left > room)
    SetWindowPos(Directory, nullptr, 0, 0, std::max(room, 0), label.bottom - label.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Directory, nullptr, TRUE);
}

void TForm1::DrawDirectory(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const HGDIOBJ oldFont = SelectObject(dc, Directory.Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const std::string shown = MiddleEllipsis(Directory.Text(), Directory.Font(), item.rcItem.right - item.rcItem.left);
  TextOutA(dc, item.rcItem.left, item.rcItem.top, shown.c_str(), static_cast<int>(shown.size()));
  SelectObject(dc, oldFont);
}

// How wide the widest line is drawn in the list's font: the advance of each
// character, measured once and kept, summed over the line. A call to the
// system per line would cost every keystroke a call per file.
int TForm1::WidestLine() {
  std::optional<FontDC> dc;
  const auto measure = [&](const char* text, int size) {
    if (!dc) dc.emplace(ListBox, ListBox.Font());
    SIZE extent{};
    GetTextExtentPoint32A(dc->Get(), text, size, &extent);
    return static_cast<int>(extent.cx);
  };
  if (advances_.empty()) advances_.assign(0x10000, -1);
  int widest = 0;
  for (const std::string& line : model_.Plan().Lines) {
    const platform::CharSteps steps(line);
    int width = 0;
    for (std::size_t i = 0, next = 0; i < line.size(); i = next) {
      next = steps.Next(i);
      // A character's bytes as one number; a lone lead byte at the end is its own.
      const auto* p = reinterpret_cast<const unsigned char*>(line.data() + i);
      const unsigned c = next - i == 2 ? p[0] << 8 | p[1] : p[0];
      if (advances_[c] < 0) advances_[c] = measure(line.data() + i, static_cast<int>(next - i));
      width += advances_[c];
    }
    widest = std::max(widest, width);
  }
  return widest;
}

void TForm1::ShowSelectedReason() { ShowReason(GetActiveWindow() == Handle()); }

// Selecting the marked line, by key or by click, tells why as hovering does;
// any other selection, a scroll that hides the line, or leaving the window
// takes the reason away.
void TForm1::ShowReason(bool active) {
  RECT r{};
  const std::optional<ForecastStop>& stop = model_.Stop();
  const bool on = stop && active && ListBox.Send(LB_GETCURSEL) == static_cast<LRESULT>(stop->Index) &&
                  ListBox.Send(LB_GETITEMRECT, stop->Index, reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
                  r.top >= 0 && r.bottom <= ListBox.ClientRect().bottom;
  if (!on && !reasonShown_) return;
  reasonShown_ = on;
  // Below the line, unless it would run out of the list over the edits; then
  // above it.
  POINT at{r.left + Scale(16), r.bottom + Scale(2)};
  const int height = tips_.BubbleSize(ListBox, SelectedTipId).cy;
  if (at.y + height > ListBox.ClientRect().bottom) at.y = r.top - Scale(2) - height;
  ClientToScreen(ListBox, &at);
  tips_.Track(ListBox, SelectedTipId, on, at);
}

// However the box about the red line was answered, its reason shows; the
// pointer may rest over the list where the box's button was, and the
// tooltips of the lines under it keep still until it moves on.
void TForm1::PinReason() {
  POINT at{};
  GetCursorPos(&at);
  reasonPinnedAt_ = at;
  // A move the tooltip was told of as the box went is taken back, so that
  // it shows no line's tooltip in place of the reason.
  tips_.Relay(MSG{.hwnd = ListBox, .message = WM_MOUSEMOVE, .lParam = MAKELPARAM(-1, -1)});
  ShowSelectedReason();
}

void TForm1::FormDestroy() {
  RemoveWindowSubclass(ListBox, ListProc, 0);
  schedule_.Stop();
  model_.Take({});
}

void TForm1::FormShow() {
  // A path that cannot be expanded (longer than the file functions take)
  // names no directory for sure: split as given, it lists and renames
  // nothing, and never stands for the root of the current drive.
  const std::string full = FullPath(PathMask);
  const bool expanded = !full.empty();
  if (expanded) PathMask = full;
  // Only a real change raises MaskChange, as typing would.
  std::string mask(FileNamePart(PathMask));
  if (Mask.Text() != mask) Mask.SetText(mask);
  const std::string_view dir = DirectoryPart(PathMask);
  Directory.SetText(expanded || !dir.empty() ? std::string(dir) + "\\" : std::string());
  FitDirectory();
  schedule_.ListFrom(expanded ? Directory : Window());
  schedule_.TextsChanged();
}

void TForm1::MaskChange() { schedule_.TextsChanged(); }

void TForm1::PatternChange() { schedule_.TextsChanged(); }

LRESULT TForm1::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SHOWWINDOW:
      // Hidden once closed: whatever runs next on this thread (the batch
      // with its progress window) must not give the forecast its turns.
      if (!w) {
        schedule_.Stop();
        ShowSelectedReason();
      }
      break;
    case WM_ACTIVATE:
      // The reason of the selected line stays with the window.
      ShowReason(LOWORD(w) != WA_INACTIVE);
      break;
    case WM_SETCURSOR:
      // The list asks this at every move and click of the mouse over it.
      if (reinterpret_cast<HWND>(w) == ListBox.Handle()) RelayToTips(HIWORD(l));
      break;
    case WM_SIZE:
      // The base has moved the controls by their anchors already.
      FitDirectory();
      break;
    case WM_GETMINMAXINFO:
      if (KeepMinimumSize(*reinterpret_cast<MINMAXINFO*>(l))) return 0;
      break;
    case WM_MEASUREITEM:
      // Asked once, as the list is made and before it has its font;
      // FormCreate sets the height the font needs.
      if (reinterpret_cast<MEASUREITEMSTRUCT*>(l)->CtlType != ODT_LISTBOX) break;
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = Scale(kItemHeight);
      return TRUE;
    case WM_DRAWITEM:
      if (DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l))) return TRUE;
      break;
    case PreviewSchedule::ChangedMessage:
      PreviewChanged(w);
      return 0;
  }
  return Form::OnMessage(msg, w, l);
}

// False before FormCreate has measured the room.
bool TForm1::KeepMinimumSize(MINMAXINFO& info) const {
  if (minClient_.cx <= 0) return false;
  RECT r{0, 0, minClient_.cx, minClient_.cy};
  AdjustWindowRectEx(&r, GetWindowLongA(Handle(), GWL_STYLE), FALSE, GetWindowLongA(Handle(), GWL_EXSTYLE));
  info.ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
  return true;
}

bool TForm1::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == Directory.Handle()) {
    DrawDirectory(item);
    return true;
  }
  if (item.hwndItem != ListBox.Handle()) return false;
  preview_.Draw(item);
  PlaceStopTip();
  return true;
}

// The tooltips over the lines are told of the mouse by hand (see
// FormCreate), as the mouse message itself would tell them.
void TForm1::RelayToTips(UINT mouseMsg) {
  POINT at{};
  GetCursorPos(&at);
  const bool still = reasonPinnedAt_ && at.x == reasonPinnedAt_->x && at.y == reasonPinnedAt_->y;
  if (still && mouseMsg == WM_MOUSEMOVE) return;
  reasonPinnedAt_.reset();
  ScreenToClient(ListBox, &at);
  if (mouseMsg == WM_MOUSEMOVE) HoverLine(at);
  MSG msg{};
  msg.hwnd = ListBox;
  msg.message = mouseMsg;
  msg.lParam = MAKELPARAM(at.x, at.y);
  tips_.Relay(msg);
}

// Closes with mrOk, as the button's modal result would, but only for the
// texts as they finally stand (a click queued behind typing that emptied
// Pattern must not confirm), only when some file would be renamed, and only
// once the user has agreed to a batch that the forecast says will stop half
// way. A click that reaches the window while a box it owns is up (the box
// disables it) was not the user's: the answer to that box decides.
void TForm1::RenameClick() {
  if (!Handle().IsEnabled()) return;
  if (!schedule_.FinishNow() || !Rename.IsEnabled()) return;
  const std::optional<ForecastStop>& stop = model_.Stop();
  if (model_.Plan().Count() == 0 || (stop && stop->Renamed == 0)) return TellNothingToRename();
  if (stop && !AgreesToStop()) return;
  SetModalResult(mrOk);
}

// The red line in view and selected, behind the box that speaks of it.
void TForm1::SelectStopLine() const {
  ListBox.Focus();
  ListBox.Send(LB_SETCURSEL, model_.Stop()->Index);
}

// No is the default. Typing that reached the edits while the box was up
// (from another program) made another plan: a yes was not about that one,
// and nothing runs.
bool TForm1::AgreesToStop() {
  SelectStopLine();
  const std::size_t asked = model_.Rebuilds();
  const bool yes = ShowMessageBox(Handle(), StopQuestion(model_.Plan(), *model_.Stop()),
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  schedule_.FinishNow();
  if (yes && model_.Rebuilds() == asked) return true;
  PinReason();
  return false;
}

// Nothing would be renamed: no batch to offer, only why. The window stays,
// the red line selected where there is one.
void TForm1::TellNothingToRename() {
  const std::optional<ForecastStop>& stop = model_.Stop();
  if (stop) SelectStopLine();
  const std::string text = stop ? NothingBeforeStop(model_.Plan(), *stop) : model_.EmptyReason();
  ShowMessageBox(Handle(), text, MB_OK | (stop ? MB_ICONWARNING : MB_ICONINFORMATION));
  PinReason();
}

void TForm1::VerClick() {
  TAboutBox box;
  const OwnedWindow window = box.Create(Handle());
  box.ShowModal();
}

void TForm1::PreviewChanged(WPARAM change) {
  if (change == PreviewSchedule::Rebuilt) {
    hoveredLine_ = model_.Plan().Count();
    FillListBox();
    Rename.Enable(model_.Renamable());
  }
  ShowStopLine();
}

void TForm1::FillListBox() {
  // Watched for its paint only while it is empty: under Wine a list box that
  // is subclassed takes twenty times as long to fill.
  const std::vector<std::string>& lines = model_.Plan().Lines;
  if (lines.empty()) SetWindowSubclass(ListBox, ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  else RemoveWindowSubclass(ListBox, ListProc, 0);
  // One repaint for the whole list, however many lines: tens of thousands
  // of files must not cost a redraw each.
  ListBox.Send(WM_SETREDRAW, FALSE);
  ListBox.Send(LB_RESETCONTENT);
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size() + 1;
  ListBox.Send(LB_INITSTORAGE, lines.size(), static_cast<LPARAM>(bytes));
  for (const std::string& line : lines) ListBox.Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  ListBox.Send(LB_SETHORIZONTALEXTENT, lines.empty() ? 0 : WidestLine() + Scale(kLineMargin));
  ListBox.Send(LB_SETTOPINDEX, 0);
  ListBox.Send(WM_SETREDRAW, TRUE);
  InvalidateRect(ListBox, nullptr, TRUE);
}

void TForm1::ShowStopLine() {
  const std::string reason = model_.Stop() ? model_.Tip(model_.Stop()->Index) : "";
  tips_.SetToolText(ListBox, StopTipId, reason.c_str());
  tips_.SetToolText(ListBox, SelectedTipId, reason.c_str());
  PlaceStopTip();
  ShowSelectedReason();
  InvalidateRect(ListBox, nullptr, TRUE);
}

// The tool follows the marked line as the list scrolls; every scroll draws
// new lines, and each drawing calls this.
void TForm1::PlaceStopTip() {
  RECT r{};
  if (model_.Stop()) ListBox.Send(LB_GETITEMRECT, model_.Stop()->Index, reinterpret_cast<LPARAM>(&r));
  if (EqualRect(&r, &stopTipRect_)) return;
  stopTipRect_ = r;
  tips_.SetToolRect(ListBox, StopTipId, r);
  if (reasonShown_) ShowSelectedReason();
}


}  // namespace quillet::ui
