// File services of the host stand-in: the program's "\" paths on a Unix file
// system, with the limits and the no-replace rule of the Windows calls.

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/host/UnixPath.h"

namespace quillet::platform {
namespace {

using host::ForEachSingleByte;
using host::IsSeparator;

// Longest path text the Windows calls return through their 260-byte buffer.
constexpr std::size_t MaxPath = 259;

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

std::string FullPath(std::string_view path) {
  if (path.empty()) return {};
  std::string whole(path);
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
  // As on Windows, a trailing separator stays, a trailing "." or ".." leaves
  // none; unlike Windows, trailing dots and blanks of the last part stay.
  if (out.empty() || parts.back().empty()) out += '\\';
  if (out.size() > MaxPath) return {};
  return out;
}

std::string CurrentDirectory() {
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) return {};
  std::string dir(buf);
  if (dir.size() > MaxPath + 1) return {};
  for (char& c : dir)
    if (c == '/') c = '\\';  // "/" is never a trail byte of a double-byte character
  return dir;
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
  std::string from = host::ToUnixPath(oldPath), to = host::ToUnixPath(newPath);
  struct stat st;
  if (from == to) return lstat(from.c_str(), &st) == 0;  // as MoveFileA(x, x)
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // A file system without the no-replace flag: link refuses an existing name too.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  if (unlink(from.c_str()) == 0) return true;
  unlink(to.c_str());
  return false;
}

// The host has no drive letters: any existing directory counts as the root of
// a fixed drive (3), anything else as no root directory (1).
unsigned DriveType(const std::string& rootPath) {
  struct stat st;
  std::string path = host::ToUnixPath(rootPath);
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 3 : 1;
}

// The device and inode, the link followed, stand for Windows' volume serial
// and file index.
std::optional<FolderId> FolderIdentity(const std::string& path) {
  struct stat st;
  if (stat(host::ToUnixPath(path).c_str(), &st) != 0) return std::nullopt;
  return FolderId{static_cast<std::uint32_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace quillet::platform
