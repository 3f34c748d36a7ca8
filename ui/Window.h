#pragma once
// The small window layer under Quillet's three windows: a non-owning HWND
// wrapper, RAII holders for windows and GDI objects, and the form base class
// with its own modal loop. Deliberately thin: controls are the stock Win32
// classes, created at a rect with styles and a font.

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::ui {

// ---------------------------------------------------------------------------
// Handles

// Non-owning: copies freely, never destroys the window.
class Window {
 public:
  Window(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  operator HWND() const { return hwnd_; }
  HWND Handle() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }

  bool Enable(bool on = true) const { return EnableWindow(hwnd_, on) != 0; }
  bool IsEnabled() const { return IsWindowEnabled(hwnd_) != 0; }
  bool IsVisible() const { return IsWindowVisible(hwnd_) != 0; }
  bool Show(int cmd = SW_SHOW) const { return ShowWindow(hwnd_, cmd) != 0; }
  bool Focus() const { return SetFocus(hwnd_) != nullptr; }
  bool SetText(std::string_view text) const;
  std::string Text() const;
  int Id() const { return GetDlgCtrlID(hwnd_); }
  Window Item(int id) const { return GetDlgItem(hwnd_, id); }
  Window Parent() const { return GetParent(hwnd_); }
  Window Owner() const { return GetWindow(hwnd_, GW_OWNER); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return SendMessageA(hwnd_, msg, w, l);
  }
  bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return PostMessageA(hwnd_, msg, w, l) != 0;
  }
  void SetFont(HFONT font, bool redraw = false) const {
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
  // Position and size in the parent's client coordinates (screen for a
  // top-level window).
  RECT Bounds() const;
  bool SetBounds(const RECT& r, bool repaint = true) const {
    return MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint) != 0;
  }
  RECT ClientRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
  }

 private:
  HWND hwnd_;
};

// Owns one handle and frees it with Free when the holder goes.
template <class H, class Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.h_, nullptr));
    return *this;
  }
  ~Owned() { Reset(); }
  void Reset(H h = nullptr) {
    if (h_) Free{}(h_);
    h_ = h;
  }
  H Get() const { return h_; }
  operator H() const { return h_; }

 private:
  H h_ = nullptr;
};

struct DestroyWindowFree {
  void operator()(HWND h) const {
    if (IsWindow(h)) DestroyWindow(h);
  }
};
struct DeleteObjectFree {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct ImageListFree {
  void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};

// Child windows go with their parent anyway: this is for top-level windows
// and owned popups that must go before their owner does.
using OwnedWindow = Owned<HWND, DestroyWindowFree>;
// A font, brush or bitmap.
template <class H>
using GdiObject = Owned<H, DeleteObjectFree>;
using Font = GdiObject<HFONT>;
using ImageList = Owned<HIMAGELIST, ImageListFree>;

// The face every control uses unless its window says otherwise.
inline constexpr const char* UiFace = "ＭＳ Ｐゴシック";

// A font of the given character height in pixels (lfHeight = -height).
Font MakeFont(const char* face, int height, BYTE charset = SHIFTJIS_CHARSET,
              bool italic = false, int weight = FW_NORMAL);

// A new font like `font` in every respect but the underline.
Font WithUnderline(HFONT font, bool underline);

bool IsUnderlined(HFONT font);

// ---------------------------------------------------------------------------
// Layout

// Which edges of a control follow the parent's client area when it resizes.
enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// The anchor table of one window: Capture() records the controls' design
// rects against the design client size; Apply() moves them for a new size.
class Anchors {
 public:
  struct Rule {
    int Id;
    unsigned Edges;
  };
  void Capture(Window parent, std::initializer_list<Rule> rules);
  void Apply() const;

 private:
  struct Entry {
    Rule rule;
    RECT design;
  };
  Window parent_;
  SIZE designClient_{};
  std::vector<Entry> entries_;
};

// Sizes a top-level window so that its client area is w by h.
void SetClientSize(Window w, int width, int height);
// Centres on the primary screen / on the whole desktop (every monitor).
void CenterOnScreen(Window w);
void CenterOnDesktop(Window w);
// Resizes a label to the extent of its current text in its font.
void AutoSize(Window label);

// ---------------------------------------------------------------------------
// Controls

// What to create: any window class at a rect (parent client coordinates).
// Tab order is creation order; give WS_TABSTOP to the ones that take focus.
struct ControlSpec {
  const char* ClassName;
  const char* Text;
  int Id;
  RECT Rect;  // left, top, right, bottom
  DWORD Style = 0;
  DWORD ExStyle = 0;
};

inline RECT Rc(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// WS_CHILD | WS_VISIBLE are added to layout.Style.
Window CreateControl(Window parent, const ControlSpec& layout, HFONT font);

// A child window that paints itself in one colour with an optional lowered
// outer bevel and passes its children's notifications to its own parent, so
// the form handles them. Children sit in its client coordinates.
Window CreatePanel(Window parent, int id, RECT rect, COLORREF color, bool loweredBevel);

// Tooltips of one form; the tooltip window is an owned popup of the form and
// goes with it.
class Tooltips {
 public:
  void Create(Window form);
  // A tool over a whole control.
  bool AddWindowTool(Window control, const char* text);
  // A tool over a rect of host's client area: for disabled controls, whose
  // mouse messages go to the window under them.
  bool AddRectTool(Window host, UINT toolId, RECT rect, const char* text);
  Window Handle() const { return tip_; }

 private:
  Window form_;
  Window tip_;
};

// ---------------------------------------------------------------------------
// Forms

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// One top-level window with its own modal loop. A derived window creates its
// handle in its own constructor (so its OnMessage is the one bound) and
// destroys it in its own destructor (so its destroy handler still runs).
class Form {
 public:
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  Window Handle() const { return hwnd_; }

  // Disables the owner, shows the window and runs until a modal result is
  // set; then re-enables the owner, hides the window and returns the result
  // (mrOk or mrCancel; mrCancel also when the window was never created or
  // went away meanwhile).
  int ShowModal();
  void SetModalResult(int result) { modalResult_ = result; }
  int GetModalResult() const { return modalResult_; }
  bool InModalLoop() const { return inModalLoop_; }

  void SetCaption(std::string_view text) const { Window(hwnd_).SetText(text); }

 protected:
  Form() = default;

  struct FormSpec {
    HWND Owner = nullptr;
    const char* Caption = "";
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    int ClientWidth = 0, ClientHeight = 0;
  };
  // Creates the window (hidden), at CW_USEDEFAULT position; WM_CREATE
  // reaches the derived OnMessage.
  bool CreateForm(const FormSpec& layout);
  void DestroyForm();

  // The derived window's message switch; pass the rest on to
  // Form::OnMessage, which makes the close box give mrCancel.
  virtual LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l);
  LRESULT Default(UINT msg, WPARAM w, LPARAM l);

  // Seen by the modal loop before keyboard navigation; return true when
  // the message has been handled and must not be dispatched.
  virtual bool PreTranslate(MSG& msg);

  // Keyboard roles: Enter presses the default button, Esc the cancel button;
  // 0 = none, and then the key does nothing.
  void SetDefaultButton(int id) { defaultId_ = id; }
  void SetCancelButton(int id) { cancelId_ = id; }

  Window Item(int id) const { return GetDlgItem(hwnd_, id); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  bool HandleDialogKey(const MSG& msg);
  bool PressButton(int id);
  static bool Press(Window button);

  HWND hwnd_ = nullptr;
  int modalResult_ = mrNone;
  bool inModalLoop_ = false;
  int defaultId_ = 0;
  int cancelId_ = 0;
};

// Starts the common controls (v6 by the manifest): tree view, tooltips.
// Every form calls it before it creates its window; calling it again is
// harmless.
void InitControls();

}  // namespace quillet::ui
