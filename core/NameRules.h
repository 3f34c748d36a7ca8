#pragma once
// How one line of a rename plan is carried out, or why it cannot be: the
// batch and the preview's forecast both ask DecideLine, the batch with the
// disk behind its DirectoryView and the forecast with the names it plays
// over, so the two cannot disagree on a rule.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/RenamePlan.h"
#include "platform/FileSystem.h"

namespace quillet {

enum class RenameFault : unsigned char {
  None,
  EmptyName,        // no new name: the path would be the directory itself
  LeavesDirectory,  // a delimiter, or nothing left once the platform trims it
  NotAddressable,   // the listed name does not reach the file on disk
  NotAFile,         // a link, FIFO, socket or device: the rename would not move the entry itself
  BadCharacter,     // a byte the platform refuses or would change
  DeviceName,       // CON, PRN, AUX, NUL, COM1-9, LPT1-9 with any extension
  PathTooLong,      // over the platform's limit, counted in characters
  TargetExists,     // a file or folder of the new name was there all along
  DetoursTaken,     // every temporary name for a change of letter case is taken
  NamesCollide,     // an earlier line of the batch gave its file this name
  FileMissing,      // the file is no longer there
  SystemRefused,    // the file system refused for a reason of its own
};

// Who else a reason is about: the name that stands in the way or that the
// line cannot take (a device's may be the old one), and for a collision the
// earlier line whose file took that name first.
struct FaultParty {
  std::string Name;
  std::optional<std::size_t> Line;  // its index in the plan
  std::string LineName;             // its old name
};

// Why the batch stops, in plain words that name the other party: the
// preview's tooltip, the question before a batch and the failure message
// all say it so.
std::string FaultText(RenameFault fault, const FaultParty& party = {});

// Longest name in a directory, in characters (a double-byte character
// counts once); the longest path is platform::MaxPathChars.
inline constexpr std::size_t MaxNameChars = 255;

// Why the plan itself refuses entry i, whatever the directory holds: the
// plan lacks the entry's new name or addressable flag (a broken plan), the
// new name is empty (it would address the directory itself), holds a path
// delimiter that is no trail byte (it would lead into another directory), or
// the old name does not address the listed file. None when it does not.
// newName receives the entry's whole new name (WholeNewName) where the plan
// has one: made once, here, for every rule of the line.
RenameFault EntryFault(const RenamePlan& plan, std::size_t index, std::string& newName);

// A path's length as the platform's limits count it: in characters, a
// doubled separator (as in the directory text of a drive root, C:\\) once.
std::size_t PathChars(std::string_view path);

// The name the file system stores when asked for this one: trailing dots
// and blanks dropped, as the platform drops them from every path.
std::string_view StoredName(std::string_view name);

// The platform's own refusals of renaming oldName to newName in a directory
// (ending in "\") of dirChars characters (PathChars), checked before any
// call: characters it does not allow or would not keep, device names (old or
// new), a name that trims to nothing, and the length limits of both paths
// and of the name as the disk stores it.
RenameFault NewNameFault(std::size_t dirChars, std::string_view oldName, std::string_view newName);

// What renaming oldName to the stored form of its new name comes to: nothing
// at all, a change of letter case only (the same name to the platform, see
// SameName), or a move to another name.
enum class RenameKind : unsigned char { Nothing, CaseOnly, Move };
RenameKind KindOf(std::string_view oldName, std::string_view storedNewName);

// Whether the platform takes two names for one: letter case aside, as the
// code page upper-cases.
bool SameName(std::string_view a, std::string_view b);

// A change of letter case goes over a free temporary name where one rename
// would not do (platform::RenameChangesCase): the file system finds names
// case-blind, so a rename straight to the other case is taken for a rename
// onto itself and leaves the name as it was.
// The temporary name is the old name (as much of it as the limits leave
// room for) followed by ".~quillet" and the attempt's number, so that a file
// left there by a killed process can still be told; a taken one is passed
// over, up to this many.
inline constexpr int CaseDetourAttempts = 32;
// The temporary name of the given attempt for oldName in a directory of
// dirChars characters (PathChars), a name the platform takes as any new name:
// cut shorter where the cut would make a device name ("Aux.~quillet0" is
// AUX). The empty text when not even ".~quillet" and the number fit the path
// limit, so that the line fails before anything moves.
std::string CaseDetourName(std::size_t dirChars, std::string_view oldName, int attempt);

// What the directory holds, as far as deciding one line needs to know. Two
// views answer: the disk, for the batch, and the names the forecast plays
// over. They stay two because each is cheap only where it is: the disk can
// be asked a name only by a search, once per line, and the forecast must
// not touch the disk per line, so it answers from one listing and the
// changes of its run. Both answer to the contract below, which the forecast
// against the real batch (over random directories) holds them to.
class DirectoryView {
 public:
  enum class Answer : unsigned char {
    Nobody,    // no file or folder answers to the name
    OwnAlias,  // only the line's own file, through its short 8.3 alias
    Other,     // another file or folder, by its name or its alias
    Renamed,   // another file an earlier line of the batch renamed so
    Unknown,   // not looked at: the rename itself will tell
  };
  // Who answers to name (letter case aside) besides the file listed as
  // oldName; oldName empty for a name no line's file is under. mustKnow false
  // allows Unknown, where the rename would fail by itself anyway.
  virtual Answer WhoAnswers(std::string_view oldName, std::string_view name, bool mustKnow) = 0;
  // Whether the line's own file is still there under oldName.
  virtual bool FileThere(std::string_view oldName) = 0;
  // What a rename of the file there would move (see platform::EntryFacts).
  virtual platform::EntryFacts FactsOf(std::string_view oldName) = 0;
  // What the view knows of a reason's party (party.Name, as the rules chose
  // it) beyond the name, for the line of oldName: the earlier line whose file
  // took the name, or the spelling of the file in the way. The disk knows
  // neither.
  virtual void FillInParty(RenameFault, std::string_view /*oldName*/, FaultParty&) const {}

  // The directory's path length (PathChars), counted once for every line
  // the view decides.
  std::size_t DirChars() const { return dirChars_; }

 protected:
  explicit DirectoryView(std::size_t dirChars) : dirChars_(dirChars) {}
  ~DirectoryView() = default;

 private:
  std::size_t dirChars_;
};

// Who else the reason entry index fails for is about: the new name (as the
// disk would store it, once known), but the old one for a file gone, an
// entry no rename moves as listed and a listed file of a device's name; as
// much more as dir knows.
FaultParty PartyOf(const RenamePlan& plan, std::size_t index, RenameFault fault,
                   std::string_view storedNewName, const DirectoryView& dir);

// What to do with one line.
struct LineAction {
  enum Kind : unsigned char {
    Refused,  // stop the batch here, for Fault, with nothing touched
    Nothing,  // the file keeps its name
    Move,     // one rename to NewName
    Detour,   // a rename to Temp, then to NewName
  };
  Kind How = Nothing;
  RenameFault Fault = RenameFault::None;
  FaultParty Party;     // for Refused: the name the fault is about
  std::string NewName;  // as the disk stores it
  std::string Temp;
};

// Decides line index of plan by every rule and by what dir holds: the batch
// carries the action out, the forecast plays it over the names it keeps.
LineAction DecideLine(const RenamePlan& plan, std::size_t index, DirectoryView& dir);

}  // namespace quillet
