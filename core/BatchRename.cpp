#include "core/BatchRename.h"

#include <string>

#include "core/NameRules.h"
#include "platform/FileSystem.h"

namespace quillet {
namespace {

// The file system finds a name case-blind, so renaming straight to the other
// case may be taken as a rename onto itself and leave the name as it was (Wine
// does so). A detour over a free temporary name makes the change real. A
// rename never replaces, so a taken candidate simply fails and the next one
// is tried; the bound keeps a file that vanished from costing more than this.
bool RenameCaseOnly(const std::string& dir, const std::string& oldPath,
                    const std::string& newPath) {
  for (int attempt = 0; attempt < CaseDetourAttempts; ++attempt) {
    const std::string tempPath = dir + CaseDetourName(attempt);
    if (!platform::RenameFile(oldPath, tempPath)) continue;
    if (platform::RenameFile(tempPath, newPath)) return true;
    // The new name is taken after all (a case-sensitive file system may hold
    // both spellings): put the file back where it was.
    platform::RenameFile(tempPath, oldPath);
    return false;
  }
  return false;
}

bool RenameEntry(const RenamePlan& plan, std::size_t index) {
  if (EntryFault(plan, index) != RenameFault::None) return false;
  const std::string& dir = plan.EntryDir;
  const std::string& oldName = plan.OldNames[index];
  const std::string& newName = plan.NewNames[index];
  if (newName == oldName) return true;
  if (NewNameFault(dir, oldName, newName) != RenameFault::None) return false;
  // The name the platform would store anyway: asking for it outright lets a
  // trailing dot count in the case-only test as it counts on disk.
  const std::string stored(StoredName(newName));
  switch (KindOf(oldName, stored)) {
    case RenameKind::Nothing:
      return true;
    case RenameKind::CaseOnly:
      return RenameCaseOnly(dir, dir + oldName, dir + stored);
    case RenameKind::Move:
      break;
  }
  return platform::RenameFile(dir + oldName, dir + stored);
}

}  // namespace

std::string CaseDetourName(int attempt) {
  return "~quillet" + std::to_string(attempt) + ".tmp";
}

std::optional<std::size_t> RenameFiles(const RenamePlan& plan) {
  for (std::size_t i = 0; i < plan.OldNames.size(); ++i) {
    // An entry without a new name is a broken plan: stop there, touch nothing.
    if (!RenameEntry(plan, i)) return i;
  }
  return std::nullopt;
}

}  // namespace quillet
