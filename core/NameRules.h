#pragma once
// Why one rename of the batch cannot be done, and the rules that decide it
// before the file system is asked: the batch refuses by them, and the preview
// predicts by the same functions, so the two cannot disagree.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/RenamePlan.h"

namespace quillet {

enum class RenameFault : unsigned char {
  None,
  EmptyName,        // no new name: the path would be the directory itself
  LeavesDirectory,  // a delimiter, or nothing left once the platform trims it
  NotAddressable,   // the listed name does not reach the file on disk
  BadCharacter,     // a byte the platform refuses or would change
  DeviceName,       // CON, PRN, AUX, NUL, COM1-9, LPT1-9 with any extension
  PathTooLong,      // over the platform's limit, counted in characters
  TargetExists,     // a file or folder of the new name was there all along
  NamesCollide,     // an earlier line of the batch gave its file this name
  FileMissing,      // the file is no longer there
};

// Longest name in a directory, in characters (a double-byte character
// counts once); the longest path is platform::MaxPathChars.
inline constexpr std::size_t MaxNameChars = 255;

// Why the batch refuses a line by EntryRefused (which alone decides): None
// when it does not.
RenameFault EntryFault(const RenamePlan& plan, std::size_t index);

// The name the file system stores when asked for this one: trailing dots
// and blanks dropped, as the platform drops them from every path.
std::string_view StoredName(std::string_view name);

// The platform's own refusals of renaming oldName to newName in dir (ending
// in "\"), checked before any call: characters it does not allow or would
// not keep, device names, a name that trims to nothing, and the length
// limits of both paths.
RenameFault NewNameFault(std::string_view dir, std::string_view oldName, std::string_view newName);

// What renaming oldName to the stored form of its new name comes to: nothing
// at all, a change of letter case only (the same name to the platform, see
// SameName), or a move to another name.
enum class RenameKind : unsigned char { Nothing, CaseOnly, Move };
RenameKind KindOf(std::string_view oldName, std::string_view storedNewName);

// Whether the platform takes two names for one: letter case aside, as the
// code page upper-cases.
bool SameName(std::string_view a, std::string_view b);

}  // namespace quillet
