#include "core/BatchRename.h"

#include <string>

#include "core/NameRules.h"
#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Search.h"

namespace quillet {
namespace {

// Whether a file other than oldName answers to newName in dir: one whose
// name is newName but for case. A search reads every name of the directory
// and compares them case-blind only when its mask holds a wildcard (Wine
// answers a plain name with the first spelling it finds), hence the "*";
// the names it adds are left out by the comparison. A search that cannot
// tell counts as a taken name.
bool OtherFileAnswersTo(const std::string& dir, const std::string& oldName,
                        const std::string& newName) {
  const std::string wanted = UpperCased(newName);
  platform::SearchRecord rec;
  int err = platform::FindFirst(dir + newName + "*", platform::Everything, rec);
  if (err == platform::NoMatchingEntry) return false;
  bool other = err != 0;
  for (; err == 0 && !other; err = platform::FindNext(rec))
    other = UpperCased(rec.Name) == wanted && (rec.Name != oldName || !rec.NameExact);
  platform::FindClose(rec);
  return other;
}

// The file system finds a name case-blind, so renaming straight to the other
// case may be taken as a rename onto itself and leave the name as it was (Wine
// does so). A detour over a free temporary name makes the change real. A
// rename never replaces, so a taken candidate simply fails and the next one
// is tried; the bound keeps a file that vanished from costing more than this.
bool RenameCaseOnly(const std::string& dir, const std::string& oldName,
                    const std::string& newName) {
  // A case-sensitive file system may hold both spellings. The detour would
  // then fail at its second step, and the way back too where the other
  // spelling answers to the old name as well: the file would be left at the
  // temporary name. So another file of the new name fails the entry first.
  if (OtherFileAnswersTo(dir, oldName, newName)) return false;
  const std::string oldPath = dir + oldName;
  const std::string newPath = dir + newName;
  for (int attempt = 0; attempt < CaseDetourAttempts; ++attempt) {
    const std::string tempPath = dir + CaseDetourName(attempt);
    if (!platform::RenameFile(oldPath, tempPath)) continue;
    if (platform::RenameFile(tempPath, newPath)) return true;
    // The new name was taken after all: put the file back where it was.
    platform::RenameFile(tempPath, oldPath);
    return false;
  }
  return false;
}

// An entry EntryRefused lets through.
bool RenameEntry(const RenamePlan& plan, std::size_t index) {
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
      return RenameCaseOnly(dir, oldName, stored);
    case RenameKind::Move:
      break;
  }
  return platform::RenameFile(dir + oldName, dir + stored);
}

}  // namespace

std::string CaseDetourName(int attempt) {
  return "~quillet" + std::to_string(attempt) + ".tmp";
}

bool EntryRefused(const RenamePlan& plan, std::size_t i) {
  if (i >= plan.OldNames.size() || i >= plan.NewNames.size() || i >= plan.Addressable.size())
    return true;
  const std::string& newName = plan.NewNames[i];
  // The batch renames within one directory: a delimiter in the new name (one
  // that is no trail byte of a double-byte character) would lead elsewhere.
  return newName.empty() || FileNamePart(newName).size() != newName.size() ||
         !plan.Addressable[i];
}

std::optional<std::size_t> RenameFiles(const RenamePlan& plan) {
  const BatchEnd end = RenameFiles(plan, nullptr);
  if (end.How == BatchEnd::Failed) return end.At;
  return std::nullopt;
}

BatchEnd RenameFiles(const RenamePlan& plan, const BeforeEntry& before) {
  const std::size_t count = plan.OldNames.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (before && !before(i, count, plan.OldNames[i])) return {BatchEnd::Stopped, i};
    if (EntryRefused(plan, i) || !RenameEntry(plan, i)) return {BatchEnd::Failed, i};
  }
  return {BatchEnd::Done, count};
}

}  // namespace quillet
