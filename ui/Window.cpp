#include "ui/Window.h"

#include <algorithm>

namespace quillet::ui {

namespace {

constexpr const char* FormClass = "QuilletForm";
constexpr const char* PanelClass = "QuilletPanel";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// A window's DC with one font selected, both given back on scope exit.
class FontDC {
 public:
  FontDC(HWND hwnd, HFONT font) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    old_ = font ? SelectObject(dc_, font) : nullptr;
  }
  ~FontDC() {
    if (old_) SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
  HGDIOBJ old_;
};

bool RegisterOnce(WNDCLASSEXA wc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing)) return true;
  return RegisterClassExA(&wc) != 0;
}

LOGFONTA LogFontOf(HFONT font) {
  LOGFONTA lf{};
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GetObjectA(font, sizeof lf, &lf);
  return lf;
}

struct PanelData {
  COLORREF Color;
  bool Bevel;
};

void PaintBevel(HWND hwnd, HDC dc) {
  if (!GetWindowLongPtrA(hwnd, sizeof(LONG_PTR))) return;
  RECT r;
  GetClientRect(hwnd, &r);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  // The panel's look lives in the window's extra bytes, set at creation.
  auto color = static_cast<COLORREF>(GetWindowLongPtrA(hwnd, 0));
  switch (msg) {
    case WM_NCCREATE: {
      auto* data = static_cast<PanelData*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
      SetWindowLongPtrA(hwnd, 0, static_cast<LONG_PTR>(data->Color));
      SetWindowLongPtrA(hwnd, sizeof(LONG_PTR), data->Bevel);
      break;
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      HDC dc = reinterpret_cast<HDC>(w);
      SetDCBrushColor(dc, color);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintBevel(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (l & PRF_ERASEBKGND) SendMessageA(hwnd, WM_ERASEBKGND, w, 0);
      PaintBevel(hwnd, reinterpret_cast<HDC>(w));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(w);
      SetBkColor(dc, color);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetDCBrushColor(dc, color);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageA(GetParent(hwnd), msg, w, l);
  }
  return DefWindowProcA(hwnd, msg, w, l);
}

bool IsPushButton(HWND hwnd) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") != 0) return false;
  auto type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
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

Font MakeFont(const char* face, int height, BYTE charset, bool italic, int weight) {
  LOGFONTA lf{};
  lf.lfHeight = -height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return Font(CreateFontIndirectA(&lf));
}

Font WithUnderline(HFONT font, bool underline) {
  LOGFONTA lf = LogFontOf(font);
  lf.lfUnderline = underline;
  return Font(CreateFontIndirectA(&lf));
}

bool IsUnderlined(HFONT font) { return LogFontOf(font).lfUnderline != 0; }

// ---------------------------------------------------------------------------
// Layout

void Anchors::Capture(Window parent, std::initializer_list<Rule> rules) {
  parent_ = parent;
  RECT c = parent.ClientRect();
  designClient_ = {c.right, c.bottom};
  entries_.clear();
  for (const Rule& rule : rules) entries_.push_back({rule, parent.Item(rule.Id).Bounds()});
}

void Anchors::Apply() const {
  RECT c = parent_.ClientRect();
  // A minimised window reports an empty client area: keep the layout.
  if (c.right == 0 && c.bottom == 0) return;
  const int dx = c.right - designClient_.cx, dy = c.bottom - designClient_.cy;
  HDWP dwp = BeginDeferWindowPos(static_cast<int>(entries_.size()));
  for (const Entry& e : entries_) {
    Window ctl = parent_.Item(e.rule.Id);
    // Sizes that do not stretch are taken as they are now: a label may have
    // sized itself to its text since the table was captured.
    RECT now = ctl.Bounds();
    int w = now.right - now.left, h = now.bottom - now.top;
    int x = e.design.left, y = e.design.top;
    const unsigned a = e.rule.Edges;
    if ((a & akLeft) && (a & akRight)) w = e.design.right - e.design.left + dx;
    else if (a & akRight) x = e.design.left + dx;
    if ((a & akTop) && (a & akBottom)) h = e.design.bottom - e.design.top + dy;
    else if (a & akBottom) y = e.design.top + dy;
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (dwp) dwp = DeferWindowPos(dwp, ctl, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    else MoveWindow(ctl, x, y, w, h, TRUE);
  }
  if (dwp) EndDeferWindowPos(dwp);
}

void SetClientSize(Window w, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, GetWindowLongA(w, GWL_STYLE), FALSE, GetWindowLongA(w, GWL_EXSTYLE));
  SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

// ---------------------------------------------------------------------------
// Controls

Window CreateControl(Window parent, const ControlSpec& layout, HFONT font) {
  const RECT& r = layout.Rect;
  Window w = CreateWindowExA(layout.ExStyle, layout.ClassName, layout.Text,
                             layout.Style | WS_CHILD | WS_VISIBLE, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.Id)), Instance(),
                             nullptr);
  if (w && font) w.SetFont(font);
  return w;
}

Window CreatePanel(Window parent, int id, RECT rect, COLORREF color, bool loweredBevel) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PanelProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = PanelClass;
  if (!RegisterOnce(wc)) return {};
  PanelData data{color, loweredBevel};
  return CreateWindowExA(WS_EX_CONTROLPARENT, PanelClass, "",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), &data);
}

void Tooltips::Create(Window form) {
  form_ = form;
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, Instance(), nullptr);
}

bool Tooltips::AddWindowTool(Window control, const char* text) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = form_;
  ti.uId = reinterpret_cast<UINT_PTR>(control.Handle());
  ti.lpszText = const_cast<char*>(text);
  return tip_.Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

bool Tooltips::AddRectTool(Window host, UINT toolId, RECT rect, const char* text) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = host;
  ti.uId = toolId;
  ti.rect = rect;
  ti.lpszText = const_cast<char*>(text);
  return tip_.Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void InitControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

// ---------------------------------------------------------------------------
// Form

Form::~Form() { DestroyForm(); }

bool Form::CreateForm(const FormSpec& layout) {
  InitControls();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = FormClass;
  if (!RegisterOnce(wc)) return false;

  const DWORD style = layout.Style & ~WS_VISIBLE;
  const DWORD ex = layout.ExStyle | WS_EX_CONTROLPARENT;
  RECT r{0, 0, layout.ClientWidth, layout.ClientHeight};
  AdjustWindowRectEx(&r, style, FALSE, ex);
  CreateWindowExA(ex, FormClass, layout.Caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                  r.right - r.left, r.bottom - r.top, layout.Owner, nullptr, Instance(), this);
  return hwnd_ != nullptr;
}

void Form::DestroyForm() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
  hwnd_ = nullptr;
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
  if (!self) return DefWindowProcA(hwnd, msg, w, l);

  LRESULT result;
  try {
    result = self->OnMessage(msg, w, l);
  } catch (...) {
    // Nothing of ours may unwind through the system's frames; the message
    // gets the default treatment instead.
    result = DefWindowProcA(hwnd, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT Form::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      // The close box ends the modal loop; whoever created the window
      // destroys it.
      SetModalResult(mrCancel);
      return 0;
    case DM_GETDEFID:
      // Keyboard navigation asks which button to draw as the default one
      // when the focus leaves a button.
      return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
  }
  return Default(msg, w, l);
}

LRESULT Form::Default(UINT msg, WPARAM w, LPARAM l) { return DefWindowProcA(hwnd_, msg, w, l); }

bool Form::PressButton(int id) { return Press(Item(id)); }

// Tells the button's parent that it was clicked, as a click would.
bool Form::Press(Window button) {
  if (!button || !button.IsEnabled() || !button.IsVisible()) return false;
  Window(button.Parent()).Send(WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED),
                               reinterpret_cast<LPARAM>(button.Handle()));
  return true;
}

bool Form::HandleDialogKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_ESCAPE) {
    if (cancelId_) PressButton(cancelId_);
    return true;
  }
  if (msg.wParam == VK_RETURN) {
    // A focused push button takes Enter itself; elsewhere only the default
    // button does, and without one Enter confirms nothing.
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus) && IsPushButton(focus)) {
      Press(focus);
    } else if (defaultId_) {
      PressButton(defaultId_);
    }
    return true;
  }
  return false;
}

bool Form::PreTranslate(MSG& msg) {
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (HandleDialogKey(msg)) return true;
  return IsDialogMessageA(hwnd_, &msg) != 0;
}

int Form::ShowModal() {
  if (!hwnd_ || inModalLoop_) return mrCancel;
  Window owner = Window(hwnd_).Owner();
  const bool disableOwner = owner && owner.IsEnabled();
  if (disableOwner) owner.Enable(false);

  modalResult_ = mrNone;
  inModalLoop_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  if (hwnd_ && !IsChild(hwnd_, GetFocus())) {
    // The first control in tab order takes the focus.
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if ((GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(c) && IsWindowVisible(c)) {
        SetFocus(c);
        break;
      }
    }
  }

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
    if (PreTranslate(msg)) continue;
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
