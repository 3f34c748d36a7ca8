#pragma once
// Process and shell services: the command line, opening an address, and the
// one message box the program shows.

#include <string>

namespace quillet::platform {

// The whole command line as the process received it (GetCommandLineA).
std::string CommandLine();

// Asks the shell to "open" target (a mailto: or web address), SW_SHOW, with
// owner as the owner window; the result is not looked at.
void ShellOpen(void* owner, const char* target);

// A modal message without owner and without icon, with an OK button.
void ShowMessage(const char* text, const char* caption);

}  // namespace quillet::platform
