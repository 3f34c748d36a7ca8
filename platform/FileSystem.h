#pragma once
// File and drive services, ANSI paths throughout.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::platform {

// The absolute form of path against the current directory (GetFullPathNameA
// with a 260-byte buffer); the empty text when that fails or does not fit.
std::string FullPath(std::string_view path);

// The current directory, no trailing "\" except at a drive root.
std::string CurrentDirectory();

// Renames a file (MoveFileA). Never replaces an existing file: fails instead.
bool RenameFile(const std::string& oldPath, const std::string& newPath);

// 0 unknown, 1 no root directory, 2 removable, 3 fixed, 4 remote, 5 CD-ROM,
// 6 RAM disk, for a root path such as "C:\".
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
