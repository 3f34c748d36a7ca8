#pragma once
// Every message box the program shows goes through ShowMessageBox, and the
// words of each are made here.

#include <windows.h>

#include <string>
#include <string_view>

#include "core/BatchRename.h"
#include "core/RenameForecast.h"
#include "core/RenamePlan.h"

namespace quillet::ui {

// A count as every text of ours writes it, thousands set apart: 38,926.
std::string Grouped(std::size_t count);

// A message box captioned "Quillet" over owner (none once the main window
// has gone), with the buttons, icon and default button of type; returns the
// button pressed.
int ShowMessageBox(HWND owner, const std::string& text, UINT type);

// The text as ShowMessageBox shows it: each line too wide for the box broken
// where a phrase ends (before 「, after 」 and its particle, after 、), so
// that the box never breaks one inside a word.
std::string FittedToBox(std::string_view text);

// The failure message: the sentence naming the old name in double quotes,
// as it has always read, and on a second line why: the reason the rules or
// the error code give, or else the system's own words for its error; then
// how many files the batch renamed before it.
std::string FailureMessage(const RenamePlan& plan, const BatchEnd& end);

// What the user's stop of a running batch left: how many files it renamed,
// and that the others keep their names, each sentence on a line of its own.
std::string StoppedMessage(const BatchEnd& end);

// The question before a batch that would stop at the red line: which line,
// whose file, why, and how many files would really be renamed before it.
// Each sentence has a line of its own, names cut in the middle so that no
// line is wide enough for the box to wrap it.
std::string StopQuestion(const RenamePlan& plan, const ForecastStop& stop);

// Why a line fails, as the red line's tooltip and every message say it: the
// names cut in the middle, so that no phrase is wide enough for the tooltip
// or the box to break it.
std::string ShortFaultText(RenameFault fault, FaultParty party);

// Why there is no batch to offer when the stop comes before any file would
// be renamed.
std::string NothingBeforeStop(const RenamePlan& plan, const ForecastStop& stop);

// A name as the messages show it, cut in its middle when it is too wide
// for one line of the box.
std::string Shortened(std::string_view name);

}  // namespace quillet::ui
