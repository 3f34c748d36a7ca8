#pragma once
// Carries out a rename plan one entry after the other, stopping at the first
// failure. Never replaces or loses a file.

#include <cstddef>
#include <optional>

#include "core/RenamePlan.h"

namespace quillet {

// Whether the batch refuses entry i before any call, stopping there with
// nothing touched: the plan lacks the entry's new name or addressable flag (a
// broken plan), the new name is empty (it would address the directory
// itself), holds a path delimiter that is no trail byte (it would lead into
// another directory), or the old name does not address the listed file.
bool EntryRefused(const RenamePlan& plan, std::size_t i);

// Renames the plan's entries in plan.EntryDir, in plan order. Returns the
// index of the entry that failed, or nothing when every entry was renamed.
std::optional<std::size_t> RenameFiles(const RenamePlan& plan);

}  // namespace quillet
