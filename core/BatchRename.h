#pragma once
// Carries out a rename plan one entry after the other, stopping at the first
// failure. Never replaces or loses a file.

#include <cstddef>
#include <optional>

#include "core/RenamePlan.h"

namespace quillet {

// Renames the plan's entries in plan.EntryDir, in plan order. Returns the
// index of the entry that failed, or nothing when every entry was renamed.
std::optional<std::size_t> RenameFiles(const RenamePlan& plan);

}  // namespace quillet
