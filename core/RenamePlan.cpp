// Builds the rename plan from one directory search.

#include "core/RenamePlan.h"

#include <algorithm>
#include <string_view>

#include "core/NameTransform.h"
#include "core/PathUtil.h"
#include "platform/FileMask.h"
#include "platform/Search.h"
#include "platform/Text.h"

namespace quillet {
namespace {

// " -> " with the arrow of code page 932 (U+2192 is the bytes 81 A8).
constexpr std::string_view Arrow = " \x81\xA8 ";

// Where the listed files are: a mask with a directory part (sub\*.txt) lists
// that subdirectory, so the renames must go there too.
std::string EntryDirectory(const std::string& directory, const std::string& mask) {
  std::string_view sub = DirectoryPart(mask);
  if (sub.empty()) return directory;
  std::string dir = directory;
  dir += sub;
  // Only a real separator can end a directory part in "\" (see DirectoryPart).
  if (!IsPathSeparator(dir.back())) dir += '\\';
  return dir;
}

// What follows a new name cut short: "…" (U+2026 is the bytes 81 63).
constexpr std::string_view Ellipsis = "\x81\x63";

void AddEntry(RenamePlan& plan, std::string_view name, std::string newName, bool addressable) {
  // Up to the end of the character the byte past KeptNameBytes belongs to.
  const std::size_t kept =
      newName.size() > KeptNameBytes ? platform::CharSteps(newName).Boundary(KeptNameBytes + 1) : newName.size();
  const bool cut = kept < newName.size();
  if (cut) newName = newName.substr(0, kept);
  std::string line;
  line.reserve(name.size() + Arrow.size() + newName.size() + Ellipsis.size());
  line.append(name).append(Arrow).append(newName);
  if (cut) line.append(Ellipsis);
  plan.Lines.push_back(std::move(line));
  plan.OldNames.emplace_back(name);
  plan.NewNames.push_back(std::move(newName));
  plan.Addressable.push_back(addressable);
}

}  // namespace

void RenamePlan::Clear() {
  Lines.clear();
  OldNames.clear();
  NewNames.clear();
  Addressable.clear();
  EntryDir.clear();
  Mask.clear();
  Pattern = {};
}

bool RefreshList(const std::string& directory, const std::string& mask,
                 const std::string& pattern, RenamePlan& plan) {
  plan.Clear();
  plan.EntryDir = EntryDirectory(directory, mask);
  plan.Mask = mask;
  plan.Pattern = RenamePattern(pattern);
  // The Windows search also delivers a file whose 8.3 alias alone matches
  // the mask; the plan holds only the files the mask names by their own
  // names, as if the search had not found the others.
  const std::string_view part = FileNamePart(mask);
  const platform::FileMask ownNames(part);
  // Where Wine's search would list too few, the whole directory is listed
  // and the mask's rule alone chooses.
  const std::string searched = platform::SearchMayMiss(part) ? plan.EntryDir + "*" : directory + mask;
  platform::SearchRecord rec;
  for (int err = platform::FindFirst(searched, platform::FilesOnly, rec); err == 0;
       err = platform::FindNext(rec)) {
    if (!ownNames.Matches(rec.Name)) continue;
    // The name as listed, whole: a "\\" in it (a yen sign of a Linux disk
    // reads so in the code page) must not make it show another file's name.
    // Such a name addresses no file by a path.
    const std::string& name = rec.Name;
    const bool addressable = rec.NameExact && FileNamePart(name).size() == name.size();
    AddEntry(plan, name, pattern.empty() ? std::string() : ConvertName(name, mask, plan.Pattern),
             addressable);
  }
  platform::FindClose(rec);
  return !mask.empty() && !pattern.empty();
}

std::string WholeNewName(const RenamePlan& plan, std::size_t index) {
  const std::string& kept = plan.NewNames[index];
  if (kept.size() <= KeptNameBytes || plan.Pattern.Text().empty()) return kept;
  return ConvertName(plan.OldNames[index], plan.Mask, plan.Pattern);
}

std::vector<CaptureSpan> LineCaptures(const RenamePlan& plan, std::size_t index) {
  if (plan.Pattern.Text().empty() || index >= plan.Count() || index >= plan.NewNames.size()) return {};
  const std::string& name = plan.OldNames[index];
  ConvertedName made = ConvertNameWithCaptures(name, plan.Mask, plan.Pattern);
  // The line shows the new name as far as the plan keeps it.
  const std::size_t newAt = name.size() + Arrow.size(), shown = newAt + plan.NewNames[index].size();
  for (CaptureSpan& s : made.New) {
    s.Begin = std::min(s.Begin + newAt, shown);
    s.End = std::min(s.End + newAt, shown);
  }
  std::erase_if(made.New, [](const CaptureSpan& s) { return s.Begin == s.End; });
  made.Old.insert(made.Old.end(), made.New.begin(), made.New.end());
  return std::move(made.Old);
}

}  // namespace quillet
