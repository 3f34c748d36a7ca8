// File and drive services over the ANSI Win32 calls.

#include "platform/FileSystem.h"

#include <windows.h>

namespace quillet::platform {
namespace {

// The text of an ANSI call that returns the length without the zero when the
// text fits in the buffer, else the size it needs, zero included: asked again
// with that size, since a path of double-byte characters can take twice the
// 260 bytes that fit the usual buffer. What the call reports can change
// between two calls (the current directory belongs to the whole process),
// hence a few rounds; the empty text when the call fails.
template <class Call>
std::string TextOfCall(Call call) {
  std::string text(MAX_PATH, '\0');
  for (int round = 0; round < 4; ++round) {
    const DWORD n = call(text.data(), static_cast<DWORD>(text.size()));
    if (n == 0) return {};
    if (n < text.size()) {
      text.resize(n);
      return text;
    }
    text.resize(n);
  }
  return {};
}

}  // namespace

std::string FullPath(std::string_view path) {
  const std::string zpath(path);
  return TextOfCall([&](char* buf, DWORD size) {
    return GetFullPathNameA(zpath.c_str(), size, buf, nullptr);
  });
}

std::string CurrentDirectory() {
  return TextOfCall([](char* buf, DWORD size) { return GetCurrentDirectoryA(size, buf); });
}

std::uint64_t ChangeStamp(const std::string& dir) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(dir.c_str(), GetFileExInfoStandard, &data)) return 0;
  return std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

std::uint64_t StampNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return std::uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
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
