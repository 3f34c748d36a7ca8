// Process and shell services over the ANSI Win32 calls.

#include "platform/Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace quillet::platform {

std::string CommandLine() { return GetCommandLineA(); }

void ShellOpen(void* owner, const char* target) {
  ShellExecuteA(static_cast<HWND>(owner), "open", target, "", "", SW_SHOW);
}

}  // namespace quillet::platform
