#pragma once
// File and drive services, ANSI paths throughout.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::platform {

// The longest path the ANSI file functions take, in characters of the code
// page (CharCount), the terminating zero not counted. A path of double-byte
// characters takes up to twice as many bytes.
inline constexpr std::size_t MaxPathChars = 259;

// Whether the file system stores name whole. Under Wine every drive is a
// folder of the Unix file system, which keeps a name as UTF-8 of at most 255
// bytes and cuts a longer one short while reporting success (100 kanji take
// 300). On Windows the limit is MaxNameChars characters, which the callers
// check themselves.
bool NameFitsDisk(std::string_view name);

// Whether one rename changes the letter case of a name. Windows does so;
// Wine finds the new name case-blind, takes the call for a rename onto
// itself and leaves the name as it was (measured with MoveFileA), as does
// the host stand-in, which keeps Wine's way.
bool RenameChangesCase();

// The absolute form of path against the current directory
// (GetFullPathNameA, asked again with the size it reports, so the result may
// take more than 260 bytes); the empty text when that fails, as it does when
// the absolute form is longer than MaxPathChars.
std::string FullPath(std::string_view path);

// The current directory, no trailing "\" except at a drive root, however many
// bytes it takes; the empty text when it cannot be read.
std::string CurrentDirectory();

// Renames a file or folder (MoveFileA): 0, or the system's error code
// (GetLastError; 183 when the new name is taken). Never replaces an entry:
// fails instead. Kept in an object file of its own, so that a test can link
// its own in its place; it calls MoveEntry, which does the work.
int RenameFile(const std::string& oldPath, const std::string& newPath);

// The work of RenameFile. On Windows MoveFileA itself. Under Wine the entry
// is opened once, and renamed through that open only where it is itself
// (not a link, FIFO, socket or device: see EntryProbe), with NotItselfError
// where it is not; and no entry at the new name is replaced, not even a link
// that leads nowhere or to itself, which Wine lists not and its own rename
// would replace. The path rules of the ANSI call are kept.
int MoveEntry(const std::string& oldPath, const std::string& newPath);

// RenameFile's code for an entry a rename would not move as listed
// (ERROR_CANT_RESOLVE_FILENAME).
inline constexpr int NotItselfError = 1921;

// The system's own words for such an error code, in the user's language
// (FormatMessageA), without the line break they end in; the empty text when
// the system has none.
std::string ErrorText(int error);

// What the system's error code of a failed rename says, as far as the
// program tells reasons apart; the code itself keeps its own words
// (ErrorText).
enum class ErrorReason : unsigned char {
  Other,
  FileMissing,   // the file or its folder is not there
  TargetExists,  // a file or folder of the new name is
  BadName,       // the system does not take the name
  PathTooLong,
  NotItself,     // NotItselfError
};
ErrorReason ReasonOfError(int error);

// What a rename of a listed entry would move. Windows renames a symbolic
// link as it renames any file. Under Wine (measured with Wine 8) a Linux
// disk's symbolic link to a file lists as the file it leads to, with that
// file's attributes (no reparse point, no reparse tag), size, times and file
// identity, and a rename moves that file into the link's place, from
// whatever folder it lies in; a link that leads nowhere is not listed at
// all. A FIFO, socket or device lists as an empty file that no rename can
// move.
enum class EntryKind : unsigned char {
  File,     // a rename moves this entry
  Link,     // a rename would move the file the link leads to
  Special,  // a FIFO, socket or device
};

struct EntryFacts {
  EntryKind Kind = EntryKind::File;
  // The file has other names in its folder's file system (hard links), and
  // a rename onto one of them reports success and leaves both (Wine, the
  // POSIX rule). Windows refuses that rename as it refuses any name that
  // exists: there it is never set.
  bool OtherNames = false;
};

// The facts of the entries of one directory (ending in "\"). Under Wine
// nothing in a listing tells a link from its file: only the path the file
// system follows an open file to does (GetFinalPathNameByHandle), so each
// entry is opened, some 0.1 ms, and that path compared with the directory's
// own, read once here. A FIFO, socket or device is told by the attributes
// call failing with ERROR_INVALID_PARAMETER. On Windows nothing is asked.
// An entry that cannot be looked at counts as a file: its rename will tell.
class EntryProbe {
 public:
  explicit EntryProbe(std::string dir);
  EntryFacts Of(std::string_view name) const;

 private:
  std::string dir_;
  // Where links need telling: the directory with every link followed, and
  // a "\" (in UTF-16, as the file system tells it).
  std::wstring followedDir_;
};

// The directory's last-write time, in 100-nanosecond steps since 1601: it
// moves whenever a name in the directory comes, goes or changes, though only
// as finely as the file system keeps time. 0 when it cannot be read.
std::uint64_t ChangeStamp(const std::string& dir);

// The time now on the same scale.
std::uint64_t StampNow();

// Whether path names an existing directory (GetFileAttributesA).
bool IsDirectory(const std::string& path);

// The type of the drive of a root path such as "C:\": one of these, or 0
// when unknown and 1 when there is no root directory.
enum : unsigned {
  DriveRemovable = 2,
  DriveFixed = 3,
  DriveRemote = 4,
  DriveCdRom = 5,
  DriveRamDisk = 6,
};
unsigned DriveType(const std::string& rootPath);

// What tells one folder from another whatever path leads to it, links
// followed: its volume's serial number and its file index
// (GetFileInformationByHandle). Nothing when the folder cannot be opened.
struct FolderId {
  std::uint32_t Volume = 0;
  std::uint64_t Index = 0;
  bool operator==(const FolderId&) const = default;
};
std::optional<FolderId> FolderIdentity(const std::string& path);

}  // namespace quillet::platform
