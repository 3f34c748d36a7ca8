#pragma once
// Carries out a rename plan one entry after the other, stopping at the first
// failure. Never replaces or loses a file.

#include <cstddef>
#include <optional>
#include <string>

#include "core/RenamePlan.h"

namespace quillet {

// A change of letter case goes over a free temporary name (see
// RenameCaseOnly): these are the names tried, in this order.
inline constexpr int CaseDetourAttempts = 32;
std::string CaseDetourName(int attempt);

// Renames the plan's entries in plan.EntryDir, in plan order. Returns the
// index of the entry that failed, or nothing when every entry was renamed.
std::optional<std::size_t> RenameFiles(const RenamePlan& plan);

}  // namespace quillet
