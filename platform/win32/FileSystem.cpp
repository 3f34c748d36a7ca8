// File and drive services over the ANSI Win32 calls.

#include "platform/FileSystem.h"

#include <windows.h>

#include <string>

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

// Whether the program runs under Wine, whose ntdll alone tells its version.
bool UnderWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// The bytes name takes in UTF-8.
std::size_t Utf8Length(std::string_view name) {
  const int n = static_cast<int>(name.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), n, nullptr, 0);
  if (wide <= 0) return name.size();
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), n, text.data(), wide);
  return static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr));
}

}  // namespace

bool RenameChangesCase() { return !UnderWine(); }

bool NameFitsDisk(std::string_view name) {
  constexpr std::size_t kUnixNameBytes = 255;
  // Fewer bytes than that in the code page are fewer still in UTF-8 but for
  // the single-byte katakana (three bytes each): the plain case needs no
  // conversion.
  if (!UnderWine() || name.size() * 3 <= kUnixNameBytes) return true;
  return Utf8Length(name) <= kUnixNameBytes;
}

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

std::string ErrorText(int error) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string words(text ? text : "", size);
  LocalFree(text);
  // CR, LF and blank are no trail bytes.
  while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == ' ')) words.pop_back();
  return words;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
