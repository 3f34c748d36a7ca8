#include "core/BatchRename.h"

#include <cstring>
#include <string>
#include <unordered_set>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Search.h"

namespace quillet {
namespace {

RenameFault FaultOfError(int error) {
  switch (platform::ReasonOfError(error)) {
    case platform::ErrorReason::FileMissing: return RenameFault::FileMissing;
    case platform::ErrorReason::TargetExists: return RenameFault::TargetExists;
    case platform::ErrorReason::BadName: return RenameFault::BadCharacter;
    case platform::ErrorReason::PathTooLong: return RenameFault::PathTooLong;
    case platform::ErrorReason::NotItself: return RenameFault::NotAFile;
    case platform::ErrorReason::Other: break;
  }
  return RenameFault::SystemRefused;
}

// The directory as the disk holds it, asked only where a rename could not
// tell by failing.
class DiskView final : public DirectoryView {
 public:
  explicit DiskView(const RenamePlan& plan) : DirectoryView(PathChars(plan.EntryDir)), dir_(plan.EntryDir) {
    std::unordered_set<std::string> seen;
    for (const std::string& name : plan.OldNames)
      if (std::string key = UpperCased(name); !seen.insert(key).second) spelledTwice_.insert(std::move(key));
  }

  Answer WhoAnswers(std::string_view oldName, std::string_view name, bool mustKnow) override {
    if (!mustKnow) return Answer::Unknown;
    // A search reads every name of the directory and compares them
    // case-blind only when its mask holds a wildcard (Wine answers a plain
    // name with the first spelling it finds), hence the "*"; the names it
    // adds are left out by the comparison. It matches short aliases too. A
    // search that cannot tell counts as a taken name.
    const std::string wanted = UpperCased(name);
    platform::SearchRecord rec;
    int err = platform::FindFirst(dir_ + std::string(name) + "*", platform::Everything, rec);
    if (err == platform::NoMatchingEntry) return Answer::Nobody;
    Answer answer = err == 0 ? Answer::Nobody : Answer::Other;
    for (; err == 0 && answer != Answer::Other; err = platform::FindNext(rec)) {
      // The line's own file. A listed name that does not address its entry
      // is another file even where it is spelt as the old name; the search
      // can only list such a name under the old one's spelling where the
      // file system matches a look-alike to its original (not Wine).
      const bool own = !oldName.empty() && rec.Name == oldName && rec.NameExact;
      const char* alias = rec.Data.AlternateFileName;
      const bool byAlias =
          UpperCased(std::string_view(alias, strnlen(alias, sizeof rec.Data.AlternateFileName))) == wanted;
      if (UpperCased(rec.Name) == wanted && !own) answer = Answer::Other;
      else if (byAlias) answer = own ? Answer::OwnAlias : Answer::Other;
    }
    return answer;
  }

  // The file system finds a name case-blind: where the listing held another
  // spelling of the name, the rename of a file gone since would move that
  // other file in its place. Elsewhere the rename itself tells.
  bool FileThere(std::string_view oldName) override {
    if (!spelledTwice_.count(UpperCased(oldName))) return true;
    platform::SearchRecord rec;
    int err = platform::FindFirst(dir_ + std::string(oldName) + "*", platform::Everything, rec);
    for (; err == 0; err = platform::FindNext(rec))
      if (rec.Name == oldName && rec.NameExact) return true;
    return false;
  }

  // Asked of the entry as it is renamed, in the same open (RenameFile):
  // what a look before would say may have changed by then. A rename onto
  // another name of the same file fails as onto any name taken.
  platform::EntryFacts FactsOf(std::string_view) override { return {}; }

 private:
  const std::string& dir_;
  std::unordered_set<std::string> spelledTwice_;  // upper-cased
};

// Puts the file back where it was when the second step fails: left at the
// temporary name, the user could not find it.
int RenameOverDetour(const std::string& oldPath, const std::string& tempPath,
                     const std::string& newPath) {
  if (int err = platform::RenameFile(oldPath, tempPath)) return err;
  const int err = platform::RenameFile(tempPath, newPath);
  if (err) platform::RenameFile(tempPath, oldPath);
  return err;
}

// Carries out one line; the system's error code, 0 when done.
int RenameEntry(const RenamePlan& plan, std::size_t index, const LineAction& action) {
  const std::string& dir = plan.EntryDir;
  const std::string oldPath = dir + plan.OldNames[index];
  switch (action.How) {
    case LineAction::Move: return platform::RenameFile(oldPath, dir + action.NewName);
    case LineAction::Detour: return RenameOverDetour(oldPath, dir + action.Temp, dir + action.NewName);
    case LineAction::Refused:
    case LineAction::Nothing: break;
  }
  return 0;
}

}  // namespace

BatchEnd RenameFiles(const RenamePlan& plan, const BeforeEntry& before) {
  const std::size_t count = plan.OldNames.size();
  DiskView disk(plan);
  std::size_t renamed = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (before && !before(i, count, plan.OldNames[i])) return {.How = BatchEnd::Cancelled, .At = i, .Renamed = renamed};
    const LineAction action = DecideLine(plan, i, disk);
    if (action.How == LineAction::Refused) return {BatchEnd::Failed, i, action.Fault, 0, action.Party, renamed};
    if (const int err = RenameEntry(plan, i, action)) {
      const RenameFault fault = FaultOfError(err);
      return {BatchEnd::Failed, i, fault, err, PartyOf(plan, i, fault, action.NewName, disk), renamed};
    }
    renamed += action.How != LineAction::Nothing;
  }
  return {.How = BatchEnd::Done, .At = count, .Renamed = renamed};
}

}  // namespace quillet
