#pragma once
// Every message box the program shows goes through ShowMessageBox, and the
// words of each are made here.

#include <windows.h>

#include <string>

#include "core/BatchRename.h"
#include "core/RenamePlan.h"

namespace quillet::ui {

// A message box captioned "Quillet" over owner (none once the main window
// has gone), with the buttons, icon and default button of type; returns the
// button pressed.
int ShowMessageBox(HWND owner, const std::string& text, UINT type);

// The failure message: the sentence naming the old name in double quotes,
// as it has always read, and on a second line why: the reason the rules or
// the error code give, or else the system's own words for its error.
std::string FailureMessage(const RenamePlan& plan, const BatchEnd& end);

}  // namespace quillet::ui
