#pragma once
// Carries out a rename plan one entry after the other, stopping at the first
// failure. Never replaces or loses a file.

#include <cstddef>
#include <functional>
#include <string>

#include "core/NameRules.h"
#include "core/RenamePlan.h"

namespace quillet {

// Asked before each entry with its index, the number of entries and the
// entry's old name; false calls the batch off before that entry.
using BeforeEntry =
    std::function<bool(std::size_t index, std::size_t count, const std::string& oldName)>;

// How a batch ended: at entry At, which failed or before which BeforeEntry
// called the batch off (Cancelled), or Done with At the number of entries.
// Either way the entries before At are renamed and the others untouched. A
// failure says why, who else the reason is about, and the system's error
// code when the system refused (0 when the rules did). Renamed counts the
// files the entries before At moved: an entry whose file keeps its name is none.
struct BatchEnd {
  enum Kind { Done, Failed, Cancelled };
  Kind How = Done;
  std::size_t At = 0;
  RenameFault Fault = RenameFault::None;
  int Error = 0;
  FaultParty Party = {};
  std::size_t Renamed = 0;
};

// Renames the plan's entries in plan.EntryDir, in plan order, asking before
// each (an empty function never stops it).
BatchEnd RenameFiles(const RenamePlan& plan, const BeforeEntry& before);

}  // namespace quillet
