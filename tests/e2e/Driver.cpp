#include "tests/e2e/Driver.h"

#include <commctrl.h>

namespace quillet::e2e {
namespace {

// A generous bound so that a hung program fails the test instead of hanging
// the run; nothing here measures speed.
constexpr DWORD kPatienceMs = 60000;
constexpr DWORD kPollMs = 50;

// A message to the program that gives up instead of hanging when the program
// does; the answer is then `failed`.
LRESULT Ask(HWND hwnd, UINT msg, WPARAM w, LPARAM l, LRESULT failed = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, msg, w, l, SMTO_ABORTIFHUNG, kPatienceMs, &result))
    return failed;
  return LRESULT(result);
}

std::string ToAnsi(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

// Reads the title without sending a message, so a busy program cannot stall us.
std::wstring TitleOf(HWND hwnd) {
  wchar_t buf[512];
  int n = InternalGetWindowText(hwnd, buf, 512);
  return std::wstring(buf, n > 0 ? n : 0);
}

struct EnumState {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid && IsWindowVisible(hwnd)) state->windows.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD pid) {
  EnumState state{pid, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&state));
  return state.windows;
}

}  // namespace

QuilletProcess::QuilletProcess(const std::string& exe, const std::string& commandLineArgs,
                               const std::string& currentDir) {
  std::string line = "\"" + exe + "\"";
  if (!commandLineArgs.empty()) line += " " + commandLineArgs;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDir.empty() ? nullptr : currentDir.c_str(), &si, &pi_))
    pi_ = {};
}

QuilletProcess::~QuilletProcess() {
  if (!Started()) return;
  if (IsRunning()) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, kPatienceMs);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

bool QuilletProcess::IsRunning() const {
  return Started() && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<std::wstring> QuilletProcess::VisibleTitles() const {
  std::vector<std::wstring> titles;
  for (HWND hwnd : VisibleWindows(pi_.dwProcessId)) titles.push_back(TitleOf(hwnd));
  return titles;
}

HWND QuilletProcess::WaitForWindow(const std::wstring& title) const {
  for (DWORD waited = 0; waited < kPatienceMs && IsRunning(); waited += kPollMs) {
    for (HWND hwnd : VisibleWindows(pi_.dwProcessId))
      if (TitleOf(hwnd) == title) {
        WaitForInputIdle(pi_.hProcess, kPatienceMs);
        return hwnd;
      }
    Sleep(kPollMs);
  }
  return nullptr;
}

std::string QuilletProcess::WaitForTooltip() const {
  for (DWORD waited = 0; waited < kPatienceMs && IsRunning(); waited += kPollMs) {
    for (HWND hwnd : VisibleWindows(pi_.dwProcessId)) {
      wchar_t cls[32] = {};
      GetClassNameW(hwnd, cls, 32);
      if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) return ControlText(hwnd);  // the tip's text
    }
    Sleep(kPollMs);
  }
  return {};
}

long QuilletProcess::WaitForExit() {
  if (!Started() || WaitForSingleObject(pi_.hProcess, kPatienceMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return long(code);
}

std::string ControlText(HWND control) {
  // The wide message crosses processes reliably under Wine; convert here.
  LRESULT n = Ask(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring w(size_t(n) + 1, L'\0');
  n = Ask(control, WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(w.data()));
  w.resize(size_t(n));
  return ToAnsi(w);
}

std::vector<std::string> ListBoxLines(HWND listBox) {
  std::vector<std::string> lines;
  LRESULT count = Ask(listBox, LB_GETCOUNT, 0, 0, LB_ERR);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT n = Ask(listBox, LB_GETTEXTLEN, i, 0, LB_ERR);
    if (n < 0) break;
    std::wstring w(size_t(n) + 1, L'\0');
    n = Ask(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(w.data()), LB_ERR);
    w.resize(size_t(n < 0 ? 0 : n));
    lines.push_back(ToAnsi(w));
  }
  return lines;
}

void SetEditText(HWND edit, const std::string& text) {
  std::wstring w = ToWide(text);
  Ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
}

void Click(HWND button) {
  // Posted: the click may end a modal loop, and the program's next window
  // must not wait on this thread.
  PostMessageW(button, BM_CLICK, 0, 0);
}

void ClickWithMouse(HWND button, POINT restAt) {
  RECT r{}, frame{};
  GetWindowRect(button, &r);
  const HWND window = GetAncestor(button, GA_ROOT);
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, frame.left + restAt.x - (r.left + r.right) / 2,
               frame.top + restAt.y - (r.top + r.bottom) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetCursorPos(restAt.x, restAt.y);
  Sleep(kPollMs);  // the window under the pointer known before the press
  INPUT press[2] = {};
  for (INPUT& in : press) in.type = INPUT_MOUSE;
  press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, press, sizeof(INPUT));
}

bool WaitUntilGone(HWND window) {
  for (DWORD waited = 0; waited < kPatienceMs; waited += kPollMs) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(kPollMs);
  }
  return false;
}

std::string MessageBoxText(HWND box) {
  constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box
  HWND text = GetDlgItem(box, kMessageTextId);
  return text ? ControlText(text) : std::string();
}

}  // namespace quillet::e2e
