#pragma once
// Carries out a rename plan one entry after the other, stopping at the first
// failure. Never replaces or loses a file.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "core/RenamePlan.h"

namespace quillet {

// Whether the batch refuses entry i before any call, stopping there with
// nothing touched: the plan lacks the entry's new name or addressable flag (a
// broken plan), the new name is empty (it would address the directory
// itself), holds a path delimiter that is no trail byte (it would lead into
// another directory), or the old name does not address the listed file.
bool EntryRefused(const RenamePlan& plan, std::size_t i);

// A change of letter case goes over a free temporary name (see
// RenameCaseOnly): these are the names tried, in this order.
inline constexpr int CaseDetourAttempts = 32;
std::string CaseDetourName(int attempt);

// Renames the plan's entries in plan.EntryDir, in plan order. Returns the
// index of the entry that failed, or nothing when every entry was renamed.
std::optional<std::size_t> RenameFiles(const RenamePlan& plan);

// Asked before each entry with its index, the number of entries and the
// entry's old name; false stops the batch before that entry.
using BeforeEntry =
    std::function<bool(std::size_t index, std::size_t count, const std::string& oldName)>;

// How a batch ended: at entry At, which failed or which the batch was stopped
// before, or Done with At the number of entries. Either way the entries
// before At are renamed and the others untouched.
struct BatchEnd {
  enum Kind { Done, Failed, Stopped };
  Kind How = Done;
  std::size_t At = 0;
  bool operator==(const BatchEnd&) const = default;
};

// The same batch, asking before (an empty function never stops it).
BatchEnd RenameFiles(const RenamePlan& plan, const BeforeEntry& before);

}  // namespace quillet
