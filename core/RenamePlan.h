#pragma once
// The rename plan: every file of one directory that matches the mask, with
// the preview line, the old and the new name of each and whether the old name
// addresses that file, in search order.

#include <cstddef>
#include <string>
#include <vector>

#include "core/NameTransform.h"

namespace quillet {

// The most bytes of a new name a plan keeps: more than the longest name a
// disk holds, 255 characters of two bytes each. A longer name is refused, or
// stored without the dots and blanks it ends in; a pattern of thousands of
// characters over many files would otherwise take gigabytes.
inline constexpr std::size_t KeptNameBytes = 512;

struct RenamePlan {
  // "old → new", a new name cut as NewNames keeps it, then "…".
  std::vector<std::string> Lines;
  std::vector<std::string> OldNames;  // file-name parts, no directory
  // Empty texts when the pattern is empty. A name of more than KeptNameBytes
  // keeps only its first characters past that many bytes: WholeNewName makes
  // it again from the mask and the pattern.
  std::vector<std::string> NewNames;
  // Whether the old name, joined to EntryDir, addresses exactly the listed
  // file. Not so when the search had to stand a look-alike or "?" in for a
  // character of the real name, or the name ends in a blank or a dot, or
  // holds a character no path can carry: the line stays, but the batch never
  // renames through that name.
  std::vector<bool> Addressable;
  // The directory the entries were listed from: the directory text, plus the
  // mask's own directory part when it has one (sub\*.txt). Ends with "\".
  std::string EntryDir;
  // The mask and the pattern the plan was built from, the pattern read once
  // for every name the plan converts.
  std::string Mask;
  RenamePattern Pattern;

  std::size_t Count() const { return OldNames.size(); }
  void Clear();
};

// Rebuilds plan from scratch; returns the rename flag (mask and pattern both
// non-empty). directory ends with "\".
bool RefreshList(const std::string& directory, const std::string& mask,
                 const std::string& pattern, RenamePlan& plan);

// The new name of entry index, whole (a plan made by hand, without a
// pattern, keeps every name whole).
std::string WholeNewName(const RenamePlan& plan, std::size_t index);

// Where the pieces that the mask's wildcards captured stand in plan line
// index: in the old name, and after the arrow where the pattern set them down
// in the new name. None while the pattern is empty.
std::vector<CaptureSpan> LineCaptures(const RenamePlan& plan, std::size_t index);

}  // namespace quillet
