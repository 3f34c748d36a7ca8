#include "ui/Window.h"

#include <algorithm>
#include <vector>

#include "platform/Text.h"

namespace quillet::ui {

namespace {

constexpr const char* kFormClass = "QuilletForm";
// The widest a tooltip's line grows, at 96 DPI: room for a phrase with two
// names, each shortened to the width the messages give a name.
constexpr int kTipWidth = 640;
// The least room between a label and the control after it, at 96 DPI.
constexpr int kLabelGap = 2;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

LOGFONTA LogFontOf(HFONT font) {
  LOGFONTA lf{};
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GetObjectA(font, sizeof lf, &lf);
  return lf;
}

// The system's DPI, the same for every window of a process that declares
// itself aware of it.
int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

bool IsPushButton(HWND hwnd) {
  return (SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Window

bool Window::SetText(std::string_view text) const {
  return SetWindowTextA(hwnd_, std::string(text).c_str()) != 0;
}

std::string Window::Text() const {
  int n = GetWindowTextLengthA(hwnd_);
  if (n <= 0) return {};
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  n = GetWindowTextA(hwnd_, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(n, 0)));
  return s;
}

RECT Window::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// ---------------------------------------------------------------------------
// Fonts

Font MakeFont(const FontDesign& design) {
  LOGFONTA lf{};
  lf.lfHeight = -design.Height;
  lf.lfWeight = design.Weight;
  lf.lfItalic = design.Italic;
  lf.lfCharSet = design.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, design.Face ? design.Face : UiFace, LF_FACESIZE);
  return Font(CreateFontIndirectA(&lf));
}

Font WithUnderline(HFONT font, bool underline) {
  LOGFONTA lf = LogFontOf(font);
  lf.lfUnderline = underline;
  return Font(CreateFontIndirectA(&lf));
}

Font WithStrikeOut(HFONT font) {
  LOGFONTA lf = LogFontOf(font);
  lf.lfStrikeOut = TRUE;
  return Font(CreateFontIndirectA(&lf));
}

bool IsUnderlined(HFONT font) { return LogFontOf(font).lfUnderline != 0; }

// ---------------------------------------------------------------------------
// Display scale

int Scale(int designPixels) { return MulDiv(designPixels, SystemDpi(), USER_DEFAULT_SCREEN_DPI); }

// Edges, not sizes, are scaled: controls that touch in the design still
// touch, and none overlaps its neighbour by a pixel of rounding.
RECT Scale(const RECT& d) { return {Scale(d.left), Scale(d.top), Scale(d.right), Scale(d.bottom)}; }

SIZE Scale(SIZE d) { return {Scale(d.cx), Scale(d.cy)}; }

POINT Scale(POINT d) { return {Scale(d.x), Scale(d.y)}; }

FontDesign Scale(FontDesign d) {
  d.Height = Scale(d.Height);
  return d;
}

// ---------------------------------------------------------------------------
// Layout

void Anchors::Add(Window parent, Window control, unsigned edges) {
  if (!parent_) {
    parent_ = parent;
    const RECT c = parent.ClientRect();
    designClient_ = {c.right, c.bottom};
  }
  entries_.push_back({control, edges, control.Bounds()});
}

void Anchors::Apply() const {
  RECT c = parent_.ClientRect();
  // A minimised window reports an empty client area: keep the layout.
  if (c.right == 0 && c.bottom == 0) return;
  const int dx = c.right - designClient_.cx, dy = c.bottom - designClient_.cy;
  // A moved control is painted anew where it lands: the pixels it had at its
  // old place may not be painted yet in the middle of a frame drag, and
  // copying them over would leave it half drawn.
  constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
  HDWP dwp = BeginDeferWindowPos(static_cast<int>(entries_.size()));
  for (const Entry& e : entries_) {
    const Window ctl = e.control;
    // Sizes that do not stretch are taken as they are now: a label may have
    // sized itself to its text since the table was captured.
    RECT now = ctl.Bounds();
    int w = now.right - now.left, h = now.bottom - now.top;
    int x = e.design.left, y = e.design.top;
    const unsigned a = e.edges;
    if ((a & akLeft) && (a & akRight)) w = e.design.right - e.design.left + dx;
    else if (a & akRight) x = e.design.left + dx;
    if ((a & akTop) && (a & akBottom)) h = e.design.bottom - e.design.top + dy;
    else if (a & akBottom) y = e.design.top + dy;
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (dwp) dwp = DeferWindowPos(dwp, ctl, nullptr, x, y, w, h, flags);
    else SetWindowPos(ctl, nullptr, x, y, w, h, flags);
  }
  if (dwp) EndDeferWindowPos(dwp);
}

static void CenterIn(Window w, const RECT& area) {
  RECT r = w.Bounds();
  int x = area.left + (area.right - area.left - (r.right - r.left)) / 2;
  int y = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
  SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnScreen(Window w) {
  CenterIn(w, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void CenterOnDesktop(Window w) {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  CenterIn(w, RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

void KeepInWorkArea(Window w) {
  const RECT r = w.Bounds();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& area = monitor.rcWork;
  const int x = std::max(std::min(r.left, area.right - (r.right - r.left)), area.left);
  const int y = std::max(std::min(r.top, area.bottom - (r.bottom - r.top)), area.top);
  if (x != r.left || y != r.top) SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AutoSize(Window label) {
  std::string text = label.Text();
  FontDC dc(label, label.Font());
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  if (text.empty()) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.Get(), &tm);
    size.cy = tm.tmHeight;
  }
  SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FitLabelToText(Window control) {
  char cls[16] = {};
  GetClassNameA(control, cls, sizeof cls);
  const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
  if (lstrcmpiA(cls, "Static") != 0 || (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)) return;
  const std::string text = control.Text();
  FontDC dc(control, control.Font());
  SIZE extent{};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.Get(), &tm);
  int height = tm.tmHeight;
  // The underline is drawn this far below the baseline, and may lie below
  // the cell.
  OUTLINETEXTMETRICA otm{};
  otm.otmSize = sizeof otm;
  if (GetOutlineTextMetricsA(dc.Get(), sizeof otm, &otm))
    height = std::max<int>(height, tm.tmAscent - otm.otmsUnderscorePosition +
                                       std::max<int>(1, otm.otmsUnderscoreSize));
  const RECT r = control.ClientRect();
  if (extent.cx <= r.right && height <= r.bottom) return;
  SetWindowPos(control, nullptr, 0, 0, std::max<int>(r.right, extent.cx), std::max<int>(r.bottom, height),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

RECT AfterGrownLabel(Window previous, const RECT& previousDesign, RECT rect) {
  const RECT now = previous.Bounds();
  const bool grown = now.right > previousDesign.right;
  const bool beside = previousDesign.top < rect.bottom && rect.top < previousDesign.bottom &&
                      previousDesign.right <= rect.left;
  const int room = rect.left - now.right - Scale(kLabelGap);
  if (grown && beside && room < 0) rect.left = std::min(rect.left - room, rect.right);
  return rect;
}

std::string MiddleEllipsis(std::string_view text, HFONT font, int width) {
  const std::string whole(text);
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  std::string result = whole;
  if (TextWidth(dc, whole) > width) {
    // Where each character starts, so that no double-byte character is split.
    const platform::CharSteps steps(whole);
    std::vector<std::size_t> starts{0};
    while (starts.back() < whole.size()) starts.push_back(steps.Next(starts.back()));
    const std::size_t chars = starts.size() - 1;
    // The most characters kept that still fit, half before the ellipsis and
    // half after it.
    const auto cut = [&](std::size_t kept) {
      const std::size_t head = (kept + 1) / 2, tail = kept - head;
      return whole.substr(0, starts[head]) + "…" + whole.substr(starts[chars - tail]);
    };
    std::size_t low = 0, high = chars - 1;
    while (low < high) {
      const std::size_t mid = (low + high + 1) / 2;
      if (TextWidth(dc, cut(mid)) <= width) low = mid;
      else high = mid - 1;
    }
    result = cut(low);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return result;
}

int CellHeight(HFONT font) {
  FontDC dc(nullptr, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.Get(), &tm);
  return tm.tmHeight;
}

UnderscoreInk UnderscoreOf(HFONT font) {
  FontDC screen(nullptr, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(screen.Get(), &tm);
  GLYPHMETRICS glyph{};
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  if (GetGlyphOutlineA(screen.Get(), '_', GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR)
    return {.Top = tm.tmAscent, .Rows = 1, .Width = tm.tmAveCharWidth};
  UnderscoreInk ink{.Top = tm.tmAscent - glyph.gmptGlyphOrigin.y, .Rows = std::max<int>(1, glyph.gmBlackBoxY),
                    .Width = glyph.gmCellIncX};
  // Drawn black on white, does it leave a pixel anywhere in its cell?
  const int width = std::max(ink.Width, 1), height = std::max<int>(tm.tmHeight, ink.Bottom());
  HDC dc = CreateCompatibleDC(screen.Get());
  const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap), oldFont = SelectObject(dc, font);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 0, 0, "_", 1);
  ink.Drawn = false;
  for (int y = 0; y < height && !ink.Drawn; ++y)
    for (int x = 0; x < width && !ink.Drawn; ++x) ink.Drawn = GetPixel(dc, x, y) != RGB(255, 255, 255);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return ink;
}

// ---------------------------------------------------------------------------
// Controls

Window CreateControl(Window parent, const char* className, const char* text, int id, RECT rect,
                     DWORD style, DWORD exStyle, HFONT font) {
  Window w = CreateWindowExA(exStyle, className, text, style | WS_CHILD | WS_VISIBLE, rect.left,
                             rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (w && font) w.SetFont(font);
  return w;
}

void Tooltips::Create(Window form) {
  form_ = form;
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, Instance(), nullptr);
  // A width makes the tooltip break its text at "\n" (and where it runs
  // wider than that).
  tip_.Send(TTM_SETMAXTIPWIDTH, 0, Scale(kTipWidth));
}

bool Tooltips::AddRectTool(Window host, UINT toolId, RECT rect, const char* text) {
  return AddTool(host, toolId, rect, text, TTF_SUBCLASS);
}

bool Tooltips::AddRelayedRectTool(Window host, UINT toolId, RECT rect, const char* text) {
  return AddTool(host, toolId, rect, text, 0);
}

void Tooltips::Relay(const MSG& msg) const {
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
    tip_.Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool Tooltips::AddTool(Window host, UINT toolId, RECT rect, const char* text, UINT flags) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = flags;
  ti.hwnd = host;
  ti.uId = toolId;
  ti.rect = rect;
  ti.lpszText = const_cast<char*>(text);
  return tip_.Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

bool Tooltips::AddTrackedTool(Window host, UINT toolId) {
  return AddTool(host, toolId, RECT{}, "", TTF_TRACK | TTF_ABSOLUTE);
}

void Tooltips::Track(Window host, UINT toolId, bool show, POINT at) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = host;
  ti.uId = toolId;
  if (show) tip_.Send(TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  tip_.Send(TTM_TRACKACTIVATE, show, reinterpret_cast<LPARAM>(&ti));
}

SIZE Tooltips::BubbleSize(Window host, UINT toolId) const {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = host;
  ti.uId = toolId;
  const auto size = static_cast<DWORD>(tip_.Send(TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&ti)));
  return {LOWORD(size), HIWORD(size)};
}

void Tooltips::SetToolRect(Window host, UINT toolId, RECT rect) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = host;
  ti.uId = toolId;
  ti.rect = rect;
  tip_.Send(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltips::SetToolText(Window host, UINT toolId, const char* text) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = host;
  ti.uId = toolId;
  ti.lpszText = const_cast<char*>(text);
  tip_.Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

bool RegisterWindowClass(WNDCLASSEXA wc) {
  wc.cbSize = sizeof wc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing)) return true;
  return RegisterClassExA(&wc) != 0;
}

void InitControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSEXA form{};
  form.style = CS_DBLCLKS;
  form.lpfnWndProc = Form::Proc;
  // What DefDlgProc keeps of a dialog.
  form.cbWndExtra = DLGWINDOWEXTRA;
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterWindowClass(form);
}

// ---------------------------------------------------------------------------
// Form

Form::~Form() {
  // The holder from Create() went first, as it should, unless someone kept it
  // beyond the object: then the window goes without the handlers, which
  // belong to a part of the object that is gone already.
  if (!hwnd_) return;
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

OwnedWindow Form::Create(HWND owner) {
  if (hwnd_) return {};
  InitControls();
  const FormDesign design = Design();
  fonts_.clear();
  fonts_.push_back({design.Font, MakeFont(Scale(design.Font))});

  const DWORD style = design.Style & ~WS_VISIBLE;
  const DWORD ex = design.ExStyle | WS_EX_CONTROLPARENT;
  const SIZE client = Scale(design.Client);
  const POINT origin = Scale(design.Origin);
  RECT r{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&r, style, FALSE, ex);
  // WM_CREATE makes the controls and runs FormCreate.
  CreateWindowExA(ex, kFormClass, design.Caption, style, origin.x, origin.y, r.right - r.left,
                  r.bottom - r.top, owner, nullptr, Instance(), this);
  Window self = hwnd_;
  if (!self) return {};
  if (design.Position == poScreenCenter) CenterOnScreen(self);
  if (design.Position == poDesktopCenter) CenterOnDesktop(self);
  // A design position scaled to a large DPI may lie past the screen's edge.
  KeepInWorkArea(self);
  const auto icon = [](int id, int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
  };
  // The sizes the system draws them at, which grow with the display's DPI.
  if (design.BigIcon) self.Send(WM_SETICON, ICON_BIG, icon(design.BigIcon, GetSystemMetrics(SM_CXICON)));
  if (design.SmallIcon) self.Send(WM_SETICON, ICON_SMALL, icon(design.SmallIcon, GetSystemMetrics(SM_CXSMICON)));
  return OwnedWindow(hwnd_);
}

HFONT Form::FontFor(const FontDesign& d) {
  if (!d.Face) return fonts_.front().font;
  for (const MadeFont& made : fonts_) {
    const FontDesign& m = made.design;
    if (m.Face && lstrcmpA(m.Face, d.Face) == 0 && m.Height == d.Height &&
        m.Charset == d.Charset && m.Italic == d.Italic && m.Weight == d.Weight)
      return made.font;
  }
  fonts_.push_back({d, MakeFont(Scale(d))});
  return fonts_.back().font;
}

void Form::Adopt(Window control, unsigned anchors, ButtonRole role) {
  if (anchors != (akLeft | akTop)) anchors_.Add(hwnd_, control, anchors);
  if (role == brDefault) Window(hwnd_).Send(DM_SETDEFID, control.Id());
  if (role == brCancel) cancelButton_ = control;
}

LRESULT CALLBACK Form::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Form* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefDlgProcA(hwnd, msg, w, l);

  LRESULT result;
  try {
    result = self->Dispatch(msg, w, l);
  } catch (...) {
    // Nothing of ours may unwind through the system's frames; the message
    // gets the default treatment instead.
    result = DefDlgProcA(hwnd, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->cancelButton_ = nullptr;
    self->anchors_ = {};
    self->fonts_.clear();  // the controls that used them are gone
  }
  return result;
}

// The messages every form answers the same way, then the form's own switch.
LRESULT Form::Dispatch(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      FormCreate();
      return 0;
    case WM_SHOWWINDOW:
      // Shown by ShowWindow itself (l == 0), not again when an owner comes back.
      if (w && l == 0) FormShow();
      break;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_SIZE:
      anchors_.Apply();
      break;
    case WM_COMMAND:
      // Controls only; menus and accelerators have none here. The dialog
      // manager knows Esc only as the command IDCANCEL, an ID no control of
      // ours has (a control's is its place in the table), so it comes from
      // no control and is the cancel button's to answer. Enter in a form
      // without a default button comes as IDOK alike, and confirms nothing.
      if (l != 0) Command(LOWORD(w), HIWORD(w));
      else if (LOWORD(w) == IDCANCEL) Press(cancelButton_);
      return 0;
    case WM_DELETEITEM:
      // An owner-drawn list sends one per line when it is cleared, thousands
      // per keystroke in the main window; no item of ours holds anything to
      // free.
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR& hdr = *reinterpret_cast<const NMHDR*>(l);
      if (GetParent(hdr.hwndFrom) == hwnd_ && Command(static_cast<int>(hdr.idFrom), hdr.code)) return 0;
      break;
    }
  }
  return OnMessage(msg, w, l);
}

LRESULT Form::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      // The close box ends the modal loop; whoever created the window
      // destroys it.
      SetModalResult(mrCancel);
      return 0;
    case WM_SETFOCUS:
      // Given the focus itself, the form keeps it, as a plain window does:
      // the first control takes it once, as the form is shown
      // (FocusFirstControl), and when the form is activated again the
      // dialog manager gives it back to the control that had it.
      return DefWindowProcA(hwnd_, msg, w, l);
    case DM_GETDEFID: {
      // The dialog manager asks which button Enter presses. A focused push
      // button takes Enter itself; the dialog manager knows that only when
      // the focus came by Tab, not by a click or from code, so it is said
      // here. Elsewhere the default button does (DM_SETDEFID).
      const Window focus = GetFocus();
      if (IsChild(hwnd_, focus) && IsPushButton(focus)) return MAKELRESULT(focus.Id(), DC_HASDEFID);
      break;
    }
  }
  return DefDlgProcA(hwnd_, msg, w, l);
}

// Tells the button's parent that it was clicked, as a click would.
bool Form::Press(Window button) {
  if (!button || !button.IsEnabled() || !button.IsVisible()) return false;
  Window(button.Parent()).Send(WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED),
                               reinterpret_cast<LPARAM>(button.Handle()));
  return true;
}

// The dialog manager moves the focus with Tab and the arrows, and turns Enter
// and Esc into commands (see DM_GETDEFID and WM_COMMAND). A control tells
// nobody of the mouse moving over it, so its table row hears of it here.
bool Form::Translate(MSG& msg) {
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (msg.message == WM_MOUSEMOVE && msg.hwnd != hwnd_) MouseMove(msg.hwnd);
  return IsDialogMessageA(hwnd_, &msg) != 0;
}

// The first control in tab order takes the focus, unless one has it, as it
// does when a dialog is made.
void Form::FocusFirstControl() const {
  if (!hwnd_ || IsChild(hwnd_, GetFocus())) return;
  if (const HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
}

void Form::ShowModeless() {
  if (!hwnd_) return;
  modalResult_ = mrNone;
  ShowWindow(hwnd_, SW_SHOW);
  FocusFirstControl();
  UpdateWindow(hwnd_);
}

bool Form::PumpMessages() {
  // Only this window's messages: the worker's other windows wait, hidden,
  // and must not see their input run in the middle of the work. Nor is the
  // processor offered to others when none is waiting: the work goes on.
  MSG msg;
  while (modalResult_ == mrNone && hwnd_ && PeekMessageA(&msg, hwnd_, 0, 0, PM_REMOVE | PM_NOYIELD)) {
    if (Translate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return modalResult_ == mrNone && hwnd_;
}

int Form::ShowModal() {
  if (!hwnd_ || inModalLoop_) return mrCancel;
  Window owner = Window(hwnd_).Owner();
  const bool disableOwner = owner && owner.IsEnabled();
  if (disableOwner) owner.Enable(false);

  modalResult_ = mrNone;
  inModalLoop_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  FocusFirstControl();

  MSG msg;
  while (modalResult_ == mrNone && hwnd_) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // Somebody asked the thread to quit: pass that on to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = mrCancel;
      break;
    }
    if (got == -1) {
      modalResult_ = mrCancel;
      break;
    }
    if (Translate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  inModalLoop_ = false;

  if (disableOwner) owner.Enable(true);
  if (hwnd_) {
    if (owner && GetActiveWindow() == hwnd_) SetActiveWindow(owner);
    ShowWindow(hwnd_, SW_HIDE);
  }
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  return modalResult_;
}

}  // namespace quillet::ui
