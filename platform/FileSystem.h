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

// The absolute form of path against the current directory
// (GetFullPathNameA, asked again with the size it reports, so the result may
// take more than 260 bytes); the empty text when that fails, for one when the
// absolute form is longer than MaxPathChars.
std::string FullPath(std::string_view path);

// The current directory, no trailing "\" except at a drive root, however many
// bytes it takes; the empty text when it cannot be read.
std::string CurrentDirectory();

// Renames a file (MoveFileA). Never replaces an existing file: fails instead.
bool RenameFile(const std::string& oldPath, const std::string& newPath);

// For tests: while set, asked before each RenameFile with both paths; a false
// answer fails that rename with nothing touched, as a refusal of the file
// system would. Null, the default, lets every rename through.
using RenameGate = bool (*)(const std::string& oldPath, const std::string& newPath);
void SetRenameGate(RenameGate gate);

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
