#include "core/BatchRename.h"

#include <string>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"

namespace quillet {
namespace {

// A rename never replaces, so a taken candidate simply fails and the next one
// is tried; the bound keeps a file that vanished from costing more than this.
constexpr int TempNameAttempts = 32;

std::string TempName(int attempt) {
  return "~quillet" + std::to_string(attempt) + ".tmp";
}

// The file system finds a name case-blind, so renaming straight to the other
// case may be taken as a rename onto itself and leave the name as it was (Wine
// does so). A detour over a free temporary name makes the change real.
bool RenameCaseOnly(const std::string& dir, const std::string& oldPath,
                    const std::string& newPath) {
  for (int attempt = 0; attempt < TempNameAttempts; ++attempt) {
    const std::string tempPath = dir + TempName(attempt);
    if (!platform::RenameFile(oldPath, tempPath)) continue;
    if (platform::RenameFile(tempPath, newPath)) return true;
    // The new name is taken after all (a case-sensitive file system may hold
    // both spellings): put the file back where it was.
    platform::RenameFile(tempPath, oldPath);
    return false;
  }
  return false;
}

bool RenameEntry(const std::string& dir, const std::string& oldName,
                 const std::string& newName) {
  if (newName.empty()) return false;  // would address the directory itself
  // The batch renames within one directory: a delimiter in the new name (one
  // that is no trail byte of a double-byte character) would lead elsewhere.
  if (FileNamePart(newName).size() != newName.size()) return false;
  if (newName == oldName) return true;
  const std::string oldPath = dir + oldName;
  const std::string newPath = dir + newName;
  if (UpperCased(newName) == UpperCased(oldName))
    return RenameCaseOnly(dir, oldPath, newPath);
  return platform::RenameFile(oldPath, newPath);
}

}  // namespace

std::optional<std::size_t> RenameFiles(const RenamePlan& plan) {
  const BatchEnd end = RenameFiles(plan, nullptr);
  if (end.How == BatchEnd::Failed) return end.At;
  return std::nullopt;
}

BatchEnd RenameFiles(const RenamePlan& plan, const BeforeEntry& before) {
  const std::size_t count = plan.OldNames.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (before && !before(i, count, plan.OldNames[i])) return {BatchEnd::Stopped, i};
    // An entry without a new name is a broken plan: stop there, touch nothing.
    if (i >= plan.NewNames.size() ||
        !RenameEntry(plan.EntryDir, plan.OldNames[i], plan.NewNames[i]))
      return {BatchEnd::Failed, i};
  }
  return {BatchEnd::Done, count};
}

}  // namespace quillet
