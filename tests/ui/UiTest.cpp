#include "tests/ui/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>

namespace quillet::test {

namespace {

// A thread timer's callback gets no context, so the running script lives
// here; RunModal nests (a step may open another modal window), hence a
// stack of them.
struct Script {
  ui::Form* form;
  std::deque<Step> steps;
  int idleTicks = 0;
  bool timedOut = false;
};
thread_local std::vector<Script*> scripts;

constexpr int IdleTicksBeforeGivingUp = 200;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (scripts.empty()) return;
  Script& s = *scripts.back();
  if (!s.steps.empty()) {
    Step step = std::move(s.steps.front());
    s.steps.pop_front();
    step();  // may open a nested modal loop, which keeps ticking
    return;
  }
  if (s.form->GetModalResult() == ui::mrNone && ++s.idleTicks > IdleTicksBeforeGivingUp) {
    s.timedOut = true;
    s.form->SetModalResult(ui::mrCancel);
  }
}

}  // namespace

int RunModal(ui::Form& form, std::vector<Step> steps) {
  Script script{&form, std::deque<Step>(steps.begin(), steps.end())};
  scripts.push_back(&script);
  UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
  int result = form.ShowModal();
  KillTimer(nullptr, timer);
  scripts.pop_back();
  EXPECT_TRUE(script.steps.empty()) << "the window closed before all steps ran";
  return script.timedOut ? -1 : result;
}

ui::Window TooltipOf(HWND form) {
  for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
       w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
    if (GetWindow(w, GW_OWNER) == form) return w;
  return nullptr;
}

std::vector<std::string> ListLines(ui::Window list) {
  std::vector<std::string> lines;
  const auto count = list.Send(LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    std::string line(static_cast<std::size_t>(list.Send(LB_GETTEXTLEN, i)) + 1, '\0');
    auto n = list.Send(LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    lines.push_back(line);
  }
  return lines;
}

namespace {

// The first visible window of this thread of the class, owned by owner.
struct OwnedSearch {
  HWND owner;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchOwned(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<OwnedSearch*>(l);
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (GetWindow(w, GW_OWNER) == s->owner && IsWindowVisible(w) && lstrcmpiA(cls, s->className) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND FindOwned(HWND owner, const char* className) {
  OwnedSearch search{owner, className, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

ui::Window FindOwnedForm(HWND owner) { return FindOwned(owner, "QuilletForm"); }

std::string ShownTip(HWND owner) {
  const ui::Window tip = FindOwned(owner, TOOLTIPS_CLASSA);
  return tip ? tip.Text() : std::string();
}

void SetClientSize(ui::Window w, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, GetWindowLongA(w, GWL_STYLE), FALSE, GetWindowLongA(w, GWL_EXSTYLE));
  SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PostKey(WPARAM vk) {
  HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, vk, 1);
  PostMessageA(target, WM_KEYUP, vk, 1 | (3u << 30));
}

void Type(ui::Window edit, const std::string& text) {
  edit.Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

namespace {
thread_local ShownWindows* watching = nullptr;
}  // namespace

ShownWindows::ShownWindows(OnShow onShow)
    : hook_(SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId())),
      onShow_(std::move(onShow)) {
  EXPECT_NE(hook_, nullptr);
  EXPECT_EQ(watching, nullptr) << "one watcher at a time";
  watching = this;
}

ShownWindows::~ShownWindows() {
  watching = nullptr;
  if (hook_) UnhookWindowsHookEx(hook_);
}

bool ShownWindows::Saw(const std::string& title) const {
  return std::find(titles_.begin(), titles_.end(), title) != titles_.end();
}

LRESULT CALLBACK ShownWindows::Hook(int code, WPARAM w, LPARAM l) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
  // Shown by ShowWindow (lParam 0), not again when an owner comes back.
  if (code == HC_ACTION && watching && call->message == WM_SHOWWINDOW && call->wParam &&
      call->lParam == 0 && !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD)) {
    watching->titles_.push_back(ui::Window(call->hwnd).Text());
    if (watching->onShow_) watching->onShow_(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

bool ShotsWanted() {
  const char* dir = std::getenv("QUILLET_SHOT_DIR");
  return dir && *dir;
}

namespace {

// A rect of the screen as it shows now, in the layout bi asks for.
std::string Grab(const RECT& r, BITMAPINFOHEADER& bi) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biPlanes = 1;
  const DWORD stride = (static_cast<DWORD>(w) * bi.biBitCount / 8 + 3) & ~3u;
  std::string pixels(static_cast<std::size_t>(stride) * h, '\0');
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

void LetPaint() {
  for (int i = 0; i < 10; ++i) {
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(30);
  }
}

std::vector<std::uint32_t> ClientPixels(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  BITMAPINFOHEADER bi{};
  bi.biHeight = -(r.bottom - r.top);  // top-down
  bi.biBitCount = 32;
  const std::string bytes = Grab(r, bi);
  std::vector<std::uint32_t> pixels(bytes.size() / 4);
  std::memcpy(pixels.data(), bytes.data(), pixels.size() * 4);
  return pixels;
}

bool SaveShot(HWND window, const std::string& name) {
  if (!ShotsWanted()) return false;
  // The grab reads what the display shows: paint everything now first.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  LetPaint();
  RECT r;
  GetWindowRect(window, &r);
  BITMAPINFOHEADER bi{};
  bi.biHeight = r.bottom - r.top;  // bottom-up, as a .bmp file stores it
  bi.biBitCount = 24;
  const std::string pixels = Grab(r, bi);

  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;  // "BM"
  fh.bfOffBits = sizeof fh + sizeof bi;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(std::string(std::getenv("QUILLET_SHOT_DIR")) + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&bi), sizeof bi);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

}  // namespace quillet::test
