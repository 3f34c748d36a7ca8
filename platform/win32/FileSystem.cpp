// File and drive services over the ANSI Win32 calls.

#include "platform/FileSystem.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <string>
#include <vector>

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

// The text in UTF-16, as the code page reads it.
std::wstring Utf16(std::string_view text) {
  const int n = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
  if (wide > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), n, out.data(), wide);
  return out;
}

// The bytes name takes in UTF-8.
std::size_t Utf8Length(std::string_view name) {
  const std::wstring text = Utf16(name);
  if (text.empty()) return name.size();
  const int wide = static_cast<int>(text.size());
  return static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr));
}

// Closes the file it was given when it goes.
class OpenFile {
 public:
  explicit OpenFile(HANDLE h) : h_(h) {}
  ~OpenFile() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

// Opens a file or folder to ask about it: no access is asked for, nothing
// is shared out.
OpenFile OpenToAsk(const std::string& path) {
  return OpenFile(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The path the file system followed to the open file, every link on the way
// resolved; empty when it cannot tell. In UTF-16, where no character holds
// the byte of a "\".
std::wstring FollowedPath(HANDLE h) {
  std::wstring path(MAX_PATH, L'\0');
  for (int round = 0; round < 2; ++round) {
    const DWORD n = GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), 0);
    if (n == 0) return {};
    const bool whole = n < path.size();
    path.resize(n);
    if (whole) return path;
  }
  return {};
}

// The path in UTF-16 as the system takes it: its last part without
// trailing dots and blanks.
std::wstring StoredPath(const std::string& path) {
  std::wstring wide = Utf16(path);
  while (!wide.empty() && (wide.back() == L'.' || wide.back() == L' ')) wide.pop_back();
  return wide;
}

// Whether two paths name the same entry as the file system finds names
// (letter case aside): a rename from one to the other does nothing, as
// MoveFileA(x, x) does nothing.
bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wideA = StoredPath(a), wideB = StoredPath(b);
  return CompareStringOrdinal(wideA.c_str(), -1, wideB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Whether the entry opened as h from path is the entry itself: the path
// the file system followed to it is the path asked for, or else its
// folder's followed path and its name. The folder is opened only in the
// second case (a folder reached over a link), since that costs an open.
bool FollowedToItself(HANDLE h, const std::string& path) {
  const std::wstring followed = FollowedPath(h);
  if (followed.empty()) return true;  // nothing to tell by: the rename will
  const std::wstring asked = StoredPath(path);
  if (followed == L"\\\\?\\" + asked) return true;
  // In UTF-16 no character holds the byte of a "\".
  const std::size_t slash = asked.find_last_of(L'\\');
  if (slash == std::wstring::npos) return false;
  const OpenFile folder(CreateFileW(asked.substr(0, slash + 1).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::wstring dir = folder.Get() == INVALID_HANDLE_VALUE ? std::wstring() : FollowedPath(folder.Get());
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  return followed == dir + asked.substr(slash + 1);
}

// The NT form of a DOS path, as MoveFileA makes it of its new name (the
// last part without trailing dots and blanks, "." and ".." resolved).
class NtPath {
 public:
  explicit NtPath(const std::wstring& dos) : ok_(RtlDosPathNameToNtPathName_U(dos.c_str(), &path_, nullptr, nullptr)) {}
  ~NtPath() {
    if (ok_) RtlFreeUnicodeString(&path_);
  }
  NtPath(const NtPath&) = delete;
  NtPath& operator=(const NtPath&) = delete;
  bool Ok() const { return ok_; }
  const UNICODE_STRING& Get() const { return path_; }

 private:
  UNICODE_STRING path_{};
  bool ok_;
};

// What the file system says of a name taken, and of a folder's rename over
// anything but a folder.
constexpr NTSTATUS kNameTaken = static_cast<NTSTATUS>(0xC0000035L);
constexpr NTSTATUS kNotAFolder = static_cast<NTSTATUS>(0xC0000103L);

// Gives the open entry the name ntPath by the file information of its
// handle: as a second name (FileLinkInformation) or in place of the first
// (FileRenameInformation); never over an entry there. The NT status.
NTSTATUS SetName(HANDLE h, const UNICODE_STRING& ntPath, FILE_INFORMATION_CLASS how, bool replace = false) {
  std::vector<char> buffer(offsetof(FILE_RENAME_INFO, FileName) + ntPath.Length + sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace;
  info->RootDirectory = nullptr;
  info->FileNameLength = ntPath.Length;
  std::memcpy(info->FileName, ntPath.Buffer, ntPath.Length);
  IO_STATUS_BLOCK io{};
  return NtSetInformationFile(h, &io, info, static_cast<ULONG>(buffer.size()), how);
}

// A read-only file refuses to lose a name (Wine keeps Windows' rule for
// deletion), so it cannot move as a second name: the new name is held by an
// empty file made for it, which the kernel refuses wherever any entry holds
// the name, and the rename replaces that one.
int MoveOverHeldName(HANDLE h, const UNICODE_STRING& ntPath, const std::wstring& newPath) {
  const HANDLE held = CreateFileW(newPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    return err == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : static_cast<int>(err);
  }
  CloseHandle(held);
  const NTSTATUS status = SetName(h, ntPath, FileRenameInformation, true);
  if (status == 0) return 0;
  DeleteFileW(newPath.c_str());
  return static_cast<int>(RtlNtStatusToDosError(status));
}

// Moves the open file to newPath without ever replacing what is there. Wine
// asks the disk whether the new name exists by following it, so a link that
// leads nowhere counts as free and its own rename would replace it; a link
// (a second name) the kernel refuses wherever any entry holds the name.
// The first name then goes as the file is closed. A folder takes no second
// name, nor does a file on a disk without them (FAT): it is renamed. The
// kernel refuses a folder's rename over any entry but an empty folder,
// which Wine does see; a disk without links holds no link either.
int MoveOpenEntry(HANDLE h, const std::string& oldPath, const std::string& newPath) {
  if (SamePath(oldPath, newPath)) return 0;
  const std::wstring wide = Utf16(newPath);
  const NtPath nt(wide);
  if (!nt.Ok()) return ERROR_PATH_NOT_FOUND;
  FILE_BASIC_INFO basic{};
  GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic);
  const DWORD kind = basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
  if (kind == FILE_ATTRIBUTE_READONLY) return MoveOverHeldName(h, nt.Get(), wide);
  NTSTATUS status = SetName(h, nt.Get(), FileLinkInformation);
  const bool linked = status == 0;
  if (!linked && status != kNameTaken) status = SetName(h, nt.Get(), FileRenameInformation);
  if (status == kNotAFolder) return ERROR_ALREADY_EXISTS;
  if (status != 0) return static_cast<int>(RtlNtStatusToDosError(status));
  FILE_DISPOSITION_INFO gone{TRUE};
  if (!linked || SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone)) return 0;
  const int err = static_cast<int>(GetLastError());
  DeleteFileW(wide.c_str());  // the second name, so the file keeps only its first
  return err ? err : ERROR_ACCESS_DENIED;
}

// MoveEntry under Wine. Opened for deletion, as MoveFileA opens it, so that
// another program's open without shared deletion refuses alike; a FIFO's
// open does not wait for a writer when nothing is read.
int MoveEntryUnderWine(const std::string& oldPath, const std::string& newPath) {
  const OpenFile entry(CreateFileA(oldPath.c_str(), DELETE | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (entry.Get() == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    return err ? static_cast<int>(err) : ERROR_ACCESS_DENIED;
  }
  // A FIFO, socket or device is no file on a disk to the system.
  if (GetFileType(entry.Get()) != FILE_TYPE_DISK || !FollowedToItself(entry.Get(), oldPath)) return NotItselfError;
  return MoveOpenEntry(entry.Get(), oldPath, newPath);
}

}  // namespace

int MoveEntry(const std::string& oldPath, const std::string& newPath) {
  if (UnderWine()) return MoveEntryUnderWine(oldPath, newPath);
  // No MOVEFILE_REPLACE_EXISTING: an existing target makes the call fail.
  if (MoveFileA(oldPath.c_str(), newPath.c_str())) return 0;
  const DWORD err = GetLastError();
  return err ? static_cast<int>(err) : ERROR_ACCESS_DENIED;  // 0 would mean done
}

bool RenameChangesCase() { return !UnderWine(); }

ErrorReason ReasonOfError(int error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ErrorReason::FileMissing;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return ErrorReason::TargetExists;
    case ERROR_INVALID_NAME: return ErrorReason::BadName;
    case ERROR_FILENAME_EXCED_RANGE: return ErrorReason::PathTooLong;
    case ERROR_CANT_RESOLVE_FILENAME: return ErrorReason::NotItself;
    default: return ErrorReason::Other;
  }
}

EntryProbe::EntryProbe(std::string dir) : dir_(std::move(dir)) {
  if (!UnderWine()) return;
  const OpenFile folder = OpenToAsk(dir_);
  if (folder.Get() != INVALID_HANDLE_VALUE) followedDir_ = FollowedPath(folder.Get());
  if (!followedDir_.empty() && followedDir_.back() != L'\\') followedDir_ += L'\\';
}

EntryFacts EntryProbe::Of(std::string_view name) const {
  if (followedDir_.empty()) return {};
  const std::string path = dir_ + std::string(name);
  // Wine answers from a stat of the path, and refuses what is neither a
  // file nor a folder.
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return {GetLastError() == ERROR_INVALID_PARAMETER ? EntryKind::Special : EntryKind::File};
  const OpenFile file = OpenToAsk(path);
  // Not GetFileInformationByHandle: under Wine its volume's serial number
  // alone costs some 0.5 ms.
  FILE_STANDARD_INFO info{};
  if (file.Get() == INVALID_HANDLE_VALUE ||
      !GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &info, sizeof info))
    return {};
  const std::wstring followed = FollowedPath(file.Get());
  const bool itself = followed.empty() || followed == followedDir_ + Utf16(name);
  return {itself ? EntryKind::File : EntryKind::Link, info.NumberOfLinks > 1};
}

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
