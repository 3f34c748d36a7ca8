#pragma once
// Rename plans made by hand, and what a directory holds once a batch has run
// part of one.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/BatchRename.h"
#include "core/RenameForecast.h"
#include "core/RenamePlan.h"

namespace quillet {

// The checks compare stops whole; the program never compares two.
inline bool operator==(const FaultParty& a, const FaultParty& b) {
  return a.Name == b.Name && a.Line == b.Line && a.LineName == b.LineName;
}
inline bool operator==(const ForecastStop& a, const ForecastStop& b) {
  return a.Index == b.Index && a.Fault == b.Fault && a.Party == b.Party && a.Renamed == b.Renamed;
}

}  // namespace quillet

namespace quillet::test {

using Names = std::vector<std::string>;

// A plan over dir (ending in "\") whose old names all address their files.
RenamePlan PlanIn(const std::string& dir, Names oldNames, Names newNames);

Names Sorted(Names names);

// The names before, as the disk spells them, once the plan's entries before
// stop are done: each renamed entry's old spelling gives way to its new name
// as the disk stores it (a change of letter case included).
Names NamesAfter(Names before, const RenamePlan& plan, std::size_t stop);

// Runs the batch over plan, asking nobody: the line it failed at, nothing
// when it renamed every line.
std::optional<std::size_t> FailedLine(const RenamePlan& plan);

// Where a forecast stops and why, the party and the count left aside: what
// most checks compare.
inline std::optional<ForecastStop> Where(std::optional<ForecastStop> stop) {
  if (stop) stop = ForecastStop{stop->Index, stop->Fault};
  return stop;
}

// The window's forecast over plan, run to its end: where the batch stops (Where).
std::optional<ForecastStop> ForecastStopOf(const RenamePlan& plan);

// How and where a batch ended, the reason left aside: what most checks compare.
using Outcome = std::pair<BatchEnd::Kind, std::size_t>;
inline Outcome OutcomeOf(const BatchEnd& end) { return {end.How, end.At}; }

}  // namespace quillet::test
