// File services of the host stand-in: the program's "\" paths on a Unix file
// system, with the limits and the no-replace rule of the Windows calls.
//
// Kept from Windows: paths of more than MaxPathChars characters fail, trailing
// dots and blanks of a path's last part are dropped (so "data " renames
// "data"), "." and ".." and doubled separators collapse, a rename never
// replaces. Not kept: no drive letters (a path starting with a separator is
// absolute), no case-blind lookup (the Unix file system decides), and a
// middle part keeps a trailing dot.

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include "platform/host/UnixPath.h"

namespace quillet::platform {
namespace {

using host::FitsPathLimit;
using host::ForEachSingleByte;
using host::IsSeparator;

std::vector<std::string_view> SplitParts(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  ForEachSingleByte(path, [&](std::size_t i, char c) {
    if (!IsSeparator(c)) return;
    parts.push_back(path.substr(start, i - start));
    start = i + 1;
  });
  parts.push_back(path.substr(start));
  return parts;
}

}  // namespace

bool RenameChangesCase() { return false; }

// The stand-in's names are the bytes on disk: a Unix file system keeps 255.
bool NameFitsDisk(std::string_view name) { return name.size() <= 255; }

std::string FullPath(std::string_view path) {
  if (path.empty()) return {};
  std::string whole(host::WithoutTrailingDotsAndBlanks(path));
  if (!IsSeparator(path.front())) {
    std::string cwd = CurrentDirectory();
    if (cwd.empty()) return {};
    whole = cwd + "\\" + whole;
  }
  // "." and empty parts (doubled separators) vanish, ".." takes one back.
  std::vector<std::string_view> parts = SplitParts(whole), kept;
  for (std::string_view part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string out;
  for (std::string_view part : kept) out.append("\\").append(part);
  // The part that is last once "." and ".." have gone loses its trailing dots
  // and blanks too, as on Windows ("a.\." is "a"), unless the path ends in a
  // separator ("...\" names a folder "..."): the result, asked for again,
  // comes back the same.
  if (!parts.back().empty()) out.resize(host::WithoutTrailingDotsAndBlanks(out).size());
  // As on Windows, a trailing separator stays (also where trailing dots and
  // blanks were all of the last part), a trailing "." or ".." leaves none.
  if (out.empty() || parts.back().empty()) out += '\\';
  if (!FitsPathLimit(out)) return {};
  return out;
}

std::string CurrentDirectory() {
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) return {};
  std::string dir(buf);
  if (!FitsPathLimit(dir)) return {};
  for (char& c : dir)
    if (c == '/') c = '\\';  // "/" is never a trail byte of a double-byte character
  return dir;
}

namespace host {
namespace {

// The Windows error code that stands for errno.
int WindowsError(int err) {
  switch (err) {
    case EEXIST:
    case ENOTEMPTY: return ErrorAlreadyExists;
    case ENOENT: return ErrorFileNotFound;
    case ENOTDIR: return ErrorPathNotFound;
    case ENAMETOOLONG: return ErrorFilenameExcedRange;
    case EBUSY: return ErrorSharingViolation;
    default: return ErrorAccessDenied;
  }
}

}  // namespace

}  // namespace host

// As under Wine, an entry that is not itself is refused, and the kernel
// refuses any entry at the new name, a link that leads nowhere included.
int MoveEntry(const std::string& oldPath, const std::string& newPath) {
  using namespace host;
  if (!FitsPathLimit(oldPath) || !FitsPathLimit(newPath)) return ErrorFilenameExcedRange;
  const std::string from = ToUnixPath(WithoutTrailingDotsAndBlanks(oldPath));
  const std::string to = ToUnixPath(WithoutTrailingDotsAndBlanks(newPath));
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return WindowsError(errno);
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return NotItselfError;
  if (from == to) return 0;  // as MoveFileA(x, x)
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return WindowsError(errno);
  // A file system without the no-replace flag: link refuses an existing name too.
  if (link(from.c_str(), to.c_str()) != 0) return WindowsError(errno);
  if (unlink(from.c_str()) == 0) return 0;
  const int err = WindowsError(errno);
  unlink(to.c_str());
  return err;
}

namespace {

// 100-nanosecond steps since 1601, as Windows counts file times.
std::uint64_t WindowsTime(const timespec& t) {
  constexpr std::uint64_t From1601To1970 = 116444736000000000u;
  return From1601To1970 + std::uint64_t(t.tv_sec) * 10000000u + std::uint64_t(t.tv_nsec) / 100u;
}

}  // namespace

std::uint64_t ChangeStamp(const std::string& dir) {
  struct stat st;
  if (stat(host::ToUnixPath(dir).c_str(), &st) != 0) return 0;
  return WindowsTime(st.st_mtim);
}

std::uint64_t StampNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return WindowsTime(now);
}

// The stand-in's error codes come from errno; it has no words of Windows'.
std::string ErrorText(int) { return {}; }

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(host::ToUnixPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The host has no drive letters: any existing directory counts as the root of
// a fixed drive (3), anything else as no root directory (1).
unsigned DriveType(const std::string& rootPath) {
  struct stat st;
  std::string path = host::ToUnixPath(rootPath);
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 3 : 1;
}

ErrorReason ReasonOfError(int error) {
  switch (error) {
    case host::ErrorFileNotFound:
    case host::ErrorPathNotFound: return ErrorReason::FileMissing;
    case host::ErrorFileExists:
    case host::ErrorAlreadyExists: return ErrorReason::TargetExists;
    case host::ErrorInvalidName: return ErrorReason::BadName;
    case host::ErrorFilenameExcedRange: return ErrorReason::PathTooLong;
    case NotItselfError: return ErrorReason::NotItself;
    default: return ErrorReason::Other;
  }
}

// The stand-in keeps Wine's way: the entry itself, not where it leads
// (lstat), tells a link, a FIFO, socket or device, and other names.
EntryProbe::EntryProbe(std::string dir) : dir_(std::move(dir)) {}

EntryFacts EntryProbe::Of(std::string_view name) const {
  struct stat st;
  if (lstat(host::ToUnixPath(dir_ + std::string(name)).c_str(), &st) != 0) return {};
  if (S_ISLNK(st.st_mode)) return {EntryKind::Link};
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return {EntryKind::Special};
  return {EntryKind::File, S_ISREG(st.st_mode) && st.st_nlink > 1};
}

// The device and inode, the link followed, stand for Windows' volume serial
// and file index.
std::optional<FolderId> FolderIdentity(const std::string& path) {
  struct stat st;
  if (stat(host::ToUnixPath(path).c_str(), &st) != 0) return std::nullopt;
  return FolderId{static_cast<std::uint32_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace quillet::platform
