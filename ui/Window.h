#pragma once
// The small window layer under Quillet's windows: a non-owning HWND
// wrapper, RAII holders for windows and GDI objects, and the form base class
// with its own modal loop and its table of controls. Controls are the stock
// Win32 classes, created at a rect with styles and a font.

#include <windows.h>
#include <commctrl.h>

#include <span>
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
  bool Focus() const { return SetFocus(hwnd_) != nullptr; }
  bool SetText(std::string_view text) const;
  std::string Text() const;
  int Id() const { return GetDlgCtrlID(hwnd_); }
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

// What a font is made from; no face means the font of the window.
struct FontDesign {
  const char* Face = nullptr;
  int Height = 12;  // character height in pixels (lfHeight = -Height)
  BYTE Charset = SHIFTJIS_CHARSET;
  bool Italic = false;
  int Weight = FW_NORMAL;
};

Font MakeFont(const FontDesign& design);

// A new font like `font` in every respect but the underline.
Font WithUnderline(HFONT font, bool underline);
// A new font like `font`, struck through.
Font WithStrikeOut(HFONT font);

bool IsUnderlined(HFONT font);

// ---------------------------------------------------------------------------
// Display scale

// Designs are drawn in pixels of a 96-DPI display. Quillet declares itself
// aware of the system's DPI (the manifest says so), so the system no longer
// stretches its windows as bitmaps: every size a design gives is scaled by
// DPI / 96 here, once, as the window is made. At 96 DPI nothing changes.
int Scale(int designPixels);
RECT Scale(const RECT& design);
SIZE Scale(SIZE design);
POINT Scale(POINT design);
FontDesign Scale(FontDesign design);

// ---------------------------------------------------------------------------
// Layout

// Which edges of a control follow the parent's client area when it resizes.
enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// The anchors of one window's controls: Add() records a control's rect as
// made (the design's, scaled) against the window's client size as made;
// Apply() moves every control for the size the window has now.
class Anchors {
 public:
  void Add(Window parent, Window control, unsigned edges);
  void Apply() const;

 private:
  struct Entry {
    Window control;
    unsigned edges;
    RECT design;
  };
  Window parent_;
  SIZE designClient_{};
  std::vector<Entry> entries_;
};

// Centres on the primary screen / on the whole desktop (every monitor).
void CenterOnScreen(Window w);
void CenterOnDesktop(Window w);
// Moves a top-level window inside the work area of the monitor it is on (or
// nearest), the taskbar left free; one larger than the area keeps its top
// left corner inside.
void KeepInWorkArea(Window w);
// Resizes a label to the extent of its current text in its font.
void AutoSize(Window label);
// Grows a text label, never shrinks it, so that its whole text shows on one
// line in its font, and the underline too: a design made for one font must
// not cut the text of another. Other controls are left as they are.
void FitLabelToText(Window control);
// Where a control made after `previous` on its row goes: a label that grew
// past its design (the system stood in a wider face for the design's) pushes
// the control's left edge on, so that they keep a gap; its right edge stays.
RECT AfterGrownLabel(Window previous, const RECT& previousDesign, RECT rect);
// The text cut in its middle, with an ellipsis there, so that it fits in
// width pixels in the font; the text itself when it fits. No double-byte
// character is split.
std::string MiddleEllipsis(std::string_view text, HFONT font, int width);
// The height of a line of text in the font: its cell, internal leading
// included.
int CellHeight(HFONT font);
// Where the font's underscore lies in a line of text drawn from its top:
// its rows and width by the glyph's outline, and whether the glyph as drawn
// puts ink there at all. A face the system stands in for the one asked may
// draw it too thin to leave a pixel (IPAGothic at 12 pixels): whoever
// draws names must then draw the bar itself.
struct UnderscoreInk {
  int Top = 0, Rows = 0, Width = 0;
  bool Drawn = true;
  int Bottom() const { return Top + Rows; }  // the first row below it
};
UnderscoreInk UnderscoreOf(HFONT font);

inline RECT Rc(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// ---------------------------------------------------------------------------
// Controls

// A child window of any class at a rect of the parent's client area, with
// WS_CHILD | WS_VISIBLE added to style.
Window CreateControl(Window parent, const char* className, const char* text, int id, RECT rect,
                     DWORD style, DWORD exStyle, HFONT font);

// Registers a class of this program's windows once, with the arrow for its
// cursor and the rest as wc says (name, procedure, style, background, extra
// bytes); false when it could not.
bool RegisterWindowClass(WNDCLASSEXA wc);

// Tooltips of one form; the tooltip window is an owned popup of the form and
// goes with it.
class Tooltips {
 public:
  void Create(Window form);
  // A tool over a rect of host's client area: for disabled controls, whose
  // mouse messages go to the window under them.
  bool AddRectTool(Window host, UINT toolId, RECT rect, const char* text);
  // The same, for a host that gets many messages of other kinds (a list box
  // being filled): the tooltip does not hook into it, the form passes it
  // the host's mouse messages by Relay instead.
  bool AddRelayedRectTool(Window host, UINT toolId, RECT rect, const char* text);
  void Relay(const MSG& msg) const;
  // A tool that shows where and while the form says (Track), not where the
  // mouse rests: for what the keyboard selects.
  bool AddTrackedTool(Window host, UINT toolId);
  // Shows the tracked tool with its top left at screen point at, or hides it.
  void Track(Window host, UINT toolId, bool show, POINT at = {});
  // The size the tooltip takes to show the tool's text.
  SIZE BubbleSize(Window host, UINT toolId) const;
  // A rect tool that moves or says something else; an empty rect never shows.
  void SetToolRect(Window host, UINT toolId, RECT rect);
  void SetToolText(Window host, UINT toolId, const char* text);

 private:
  bool AddTool(Window host, UINT toolId, RECT rect, const char* text, UINT flags);

  Window form_;
  Window tip_;
};

// ---------------------------------------------------------------------------
// Forms

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// Which key presses a button: Enter the default one, Esc the cancel one.
enum ButtonRole : unsigned char { brNone, brDefault, brCancel };

// Where a form first appears.
enum Placement : unsigned char { poDesigned, poScreenCenter, poDesktopCenter };

// Everything a form is made with, besides its controls.
struct FormDesign {
  const char* Caption = "";
  DWORD Style = WS_OVERLAPPEDWINDOW;
  DWORD ExStyle = 0;
  SIZE Client{};                 // client area at 96 dpi
  Placement Position = poDesigned;
  POINT Origin{};                // top left of the frame at 96 dpi, for poDesigned
  FontDesign Font{UiFace};       // every control's, unless its row says otherwise;
                                 // its height at 96 dpi
  int BigIcon = 0, SmallIcon = 0;  // icon resources; 0 for none
};

// One control of form F, everything the form needs to know about it: made
// in table order (the tab order) when the form is created, its ID being its
// place in the table. A row without a class makes no control: it gives the
// control of its field one more notification and handler (a tree reports a
// click and a change of selection), and goes after the controls.
template <class F>
struct Control {
  Window F::*Field;
  const char* ClassName;
  const char* Text = "";
  RECT Rect{};                    // at 96 dpi, in the parent's client area
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Window F::*Parent = nullptr;    // the form itself when null
  FontDesign Font{};              // the form's font unless a face is given
  unsigned Anchors = akLeft | akTop;
  ButtonRole Role = brNone;
  int ModalResult = mrNone;       // a click closes the form with this result
  UINT Notify = 0;                // the WM_COMMAND or WM_NOTIFY code that runs Handler
  void (F::*Handler)() = nullptr;
  // Runs as the mouse moves over the control, which tells nobody itself:
  // the form's loop hands the move to this row.
  void (F::*MouseMove)() = nullptr;
};

// One top-level window with its own modal loop. The one who shows a form
// makes it in two steps: construct the object, then Create() the window,
// which runs FormCreate; the holder Create() returns destroys the window
// again, running FormDestroy, while the object is still whole. To the system
// a form is a dialog (what its own switches leave goes to DefDlgProc): the
// dialog manager moves the focus with Tab, presses buttons for Enter and
// Esc, and gives the focus back to the control that had it when the form is
// activated again.
class Form {
 public:
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  // The window (hidden) and its controls. Keep the holder in the scope that
  // shows the form, declared after the form object.
  [[nodiscard]] OwnedWindow Create(HWND owner = nullptr);
  Window Handle() const { return hwnd_; }

  // Disables the owner, shows the window and runs until a modal result is
  // set; then re-enables the owner, hides the window and returns the result
  // (mrOk or mrCancel; mrCancel also when the window was never created or
  // went away meanwhile).
  int ShowModal();
  // For a form that reports work done on the window thread, instead of
  // ShowModal: shows the window and returns; the worker calls PumpMessages
  // between its steps. Its button or close box sets the modal result.
  void ShowModeless();
  // Handles the messages waiting for the window and its controls, as the
  // modal loop would, and returns without waiting for more: false once the
  // modal result is set or the window is gone.
  bool PumpMessages();

  void SetModalResult(int result) { modalResult_ = result; }
  int GetModalResult() const { return modalResult_; }

  void SetCaption(std::string_view text) const { Window(hwnd_).SetText(text); }

 protected:
  Form() = default;

  virtual FormDesign Design() const = 0;
  // Makes the controls of the form's table; FormOf does it.
  virtual void CreateControls() = 0;
  // The control with this ID was clicked or changed, told by WM_COMMAND or
  // WM_NOTIFY; FormOf looks it up. False when no row handles the code.
  virtual bool Command(int id, UINT code) = 0;
  // The mouse moved over this control of the form; FormOf looks it up.
  virtual void MouseMove(Window control) = 0;

  // The handlers every form may have: after the controls are made, when the
  // window is first shown (each time ShowWindow shows it), and while it is
  // destroyed, its controls still there.
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormDestroy() {}

  // The derived window's message switch for what the handlers above do not
  // cover; pass the rest on to Form::OnMessage.
  virtual LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l);

  // For FormOf: a font the form keeps until its window is gone, made once
  // per design and scaled to the display; the form's own font when design
  // names no face.
  HFONT FontFor(const FontDesign& design);
  // For FormOf: what the table says of one control besides creating it.
  void Adopt(Window control, unsigned anchors, ButtonRole role);

 private:
  friend void InitControls();  // registers Proc
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT Dispatch(UINT msg, WPARAM w, LPARAM l);
  bool Translate(MSG& msg);
  void FocusFirstControl() const;
  static bool Press(Window button);

  HWND hwnd_ = nullptr;
  int modalResult_ = mrNone;
  bool inModalLoop_ = false;
  Window cancelButton_;
  Anchors anchors_;
  struct MadeFont {
    FontDesign design;
    ui::Font font;
  };
  std::vector<MadeFont> fonts_;
};

// The table-driven part of a form F: F lists its controls in a static
// Controls() table, and this makes them, gives each its ID, anchors and
// keyboard role, and runs each one's handler or modal result.
template <class F>
class FormOf : public Form {
 public:
  // A control's ID is its place in the table counted from here, which is
  // how those outside the form find it.
  static constexpr int FirstControlId = 100;

 protected:
  void CreateControls() override {
    F& self = static_cast<F&>(*this);
    int id = FirstControlId;
    const Control<F>* previous = nullptr;
    for (const Control<F>& c : F::Controls()) {
      if (!c.ClassName) break;
      const Window parent = c.Parent ? self.*c.Parent : Handle();
      const DWORD style = c.Style | (c.Role == brDefault ? BS_DEFPUSHBUTTON : 0);
      RECT rect = Scale(c.Rect);
      if (previous && previous->Parent == c.Parent)
        rect = AfterGrownLabel(self.*previous->Field, Scale(previous->Rect), rect);
      self.*c.Field = CreateControl(parent, c.ClassName, c.Text, id++, rect, style, c.ExStyle, FontFor(c.Font));
      previous = &c;
      FitLabelToText(self.*c.Field);
      Adopt(self.*c.Field, c.Parent ? 0 : c.Anchors, c.Role);
    }
  }

  bool Command(int id, UINT code) override {
    const auto rows = F::Controls();
    const auto index = static_cast<std::size_t>(id - FirstControlId);
    if (id < FirstControlId || index >= rows.size()) return false;
    for (const Control<F>& c : rows) {
      if (c.Field != rows[index].Field || c.Notify != code) continue;
      if (c.Handler) (static_cast<F&>(*this).*c.Handler)();
      if (c.ModalResult != mrNone) SetModalResult(c.ModalResult);
      return true;
    }
    return false;
  }

  void MouseMove(Window control) override {
    F& self = static_cast<F&>(*this);
    for (const Control<F>& c : F::Controls())
      if (c.MouseMove && self.*c.Field == control) (self.*c.MouseMove)();
  }
};

// Starts the common controls (v6 by the manifest: tree view, tooltips) and
// registers the form class. Create() calls it; calling it again is harmless.
void InitControls();

}  // namespace quillet::ui
