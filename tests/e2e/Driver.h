#pragma once
// Drives the real Quillet.exe from outside, as a user would: starts it, finds
// its windows, types into its edits, presses its buttons and reads back what
// it shows. Texts come back as ANSI (code page 932) byte strings.

#include <windows.h>

#include <string>
#include <vector>

namespace quillet::e2e {

// The real program, started in a directory of the test's choosing.
class QuilletProcess {
 public:
  // commandLineArgs is appended to the quoted program path as it stands.
  QuilletProcess(const std::string& exe, const std::string& commandLineArgs,
                 const std::string& currentDir);
  ~QuilletProcess();  // ends the program if a test left it running
  QuilletProcess(const QuilletProcess&) = delete;
  QuilletProcess& operator=(const QuilletProcess&) = delete;

  bool Started() const { return pi_.hProcess != nullptr; }
  // The first visible top-level window of the program with this title (UTF-16
  // title, as the system keeps it), or null when none came while it ran.
  HWND WaitForWindow(const std::wstring& title) const;
  // The visible top-level titles the program shows at this moment.
  std::vector<std::wstring> VisibleTitles() const;
  // The text of the tooltip the program shows, once one shows; the empty
  // text when none came while it ran.
  std::string WaitForTooltip() const;
  bool IsRunning() const;
  // Waits for the program to end; its exit code, or -1 when it would not end.
  long WaitForExit();

 private:
  PROCESS_INFORMATION pi_{};
};

// Text of a control of another process.
std::string ControlText(HWND control);
// Every line of a list box of another process.
std::vector<std::string> ListBoxLines(HWND listBox);
// Replaces an edit's text as typing would (the edit reports the change).
void SetEditText(HWND edit, const std::string& text);
// Presses a button as a click would; a disabled button ignores it.
void Click(HWND button);
// Clicks a button with the mouse itself, its window moved first so that the
// pointer, left where it clicked, rests at a screen point of the test's.
void ClickWithMouse(HWND button, POINT restAt);
// The text of a message box's message.
std::string MessageBoxText(HWND box);
// Waits until the window is gone or hidden; false when it stayed.
bool WaitUntilGone(HWND window);

}  // namespace quillet::e2e
