// File and drive services over the ANSI Win32 calls.

#include "platform/FileSystem.h"

#include <windows.h>

namespace quillet::platform {

std::string FullPath(std::string_view path) {
  char buf[260];
  std::string zpath(path);
  DWORD n = GetFullPathNameA(zpath.c_str(), sizeof buf, buf, nullptr);
  // When it does not fit, n is the size needed, zero included.
  if (n == 0 || n >= sizeof buf) return {};
  return std::string(buf, n);
}

std::string CurrentDirectory() {
  char buf[261];
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return {};
  return std::string(buf, n);
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
  // No MOVEFILE_REPLACE_EXISTING: an existing target makes the call fail.
  return MoveFileA(oldPath.c_str(), newPath.c_str()) != 0;
}

unsigned DriveType(const std::string& rootPath) { return GetDriveTypeA(rootPath.c_str()); }

std::optional<FolderId> FolderIdentity(const std::string& path) {
  // Backup semantics is what lets a folder be opened at all; no access is
  // asked for, only the file's information.
  const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace quillet::platform
