#pragma once
// Process and shell services: the command line and opening an address.
// Windows only: the host stand-in has no windows to serve.

#include <string>

namespace quillet::platform {

// The whole command line as the process received it (GetCommandLineA).
std::string CommandLine();

// Asks the shell to "open" target (a mailto: or web address), SW_SHOW, with
// owner as the owner window; the result is not looked at.
void ShellOpen(void* owner, const char* target);

}  // namespace quillet::platform
