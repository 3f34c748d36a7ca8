// Directory search over FindFirstFileW / FindNextFileW. Each entry's name is
// converted to the ANSI code page here, as FindFirstFileA converts it (with a
// look-alike or "?" for what the code page lacks), into a record of the ANSI
// layout; the real name at hand tells whether that ANSI name addresses the
// entry. The ANSI call reads the wide record too, so this costs no more.

#include "platform/Search.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/Text.h"

namespace quillet::platform {
namespace {

static_assert(sizeof(FindData) == sizeof(WIN32_FIND_DATAA));
static_assert(offsetof(FindData, Attributes) == offsetof(WIN32_FIND_DATAA, dwFileAttributes));
static_assert(offsetof(FindData, LastWriteTime) == offsetof(WIN32_FIND_DATAA, ftLastWriteTime));
static_assert(offsetof(FindData, SizeHigh) == offsetof(WIN32_FIND_DATAA, nFileSizeHigh));
static_assert(offsetof(FindData, SizeLow) == offsetof(WIN32_FIND_DATAA, nFileSizeLow));
static_assert(offsetof(FindData, FileName) == offsetof(WIN32_FIND_DATAA, cFileName));
static_assert(offsetof(FindData, AlternateFileName) ==
              offsetof(WIN32_FIND_DATAA, cAlternateFileName));
// Everything before the name is laid out alike in the wide record.
static_assert(offsetof(FindData, FileName) == offsetof(WIN32_FIND_DATAW, cFileName));
static_assert(sizeof(std::uintptr_t) == sizeof(HANDLE));
// INVALID_HANDLE_VALUE is all bits set, as InvalidHandle is.

HANDLE Handle(const SearchRecord& rec) { return reinterpret_cast<HANDLE>(rec.FindHandle); }

// 0 means success to our callers, so a failure must never come back as 0.
int LastError() {
  DWORD err = GetLastError();
  return err ? static_cast<int>(err) : ERROR_NO_MORE_FILES;
}

// The search path as the ANSI call takes it: converted by the code page, and
// refused beyond the 260 characters that the ANSI calls convert into.
bool WidePath(std::string_view path, std::wstring& wide) {
  wide.clear();
  if (path.empty()) return true;
  if (path.size() > 2 * MAX_PATH) return false;
  const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0);
  if (n <= 0 || n > MAX_PATH) return false;
  wide.resize(n);
  MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), wide.data(), n);
  return true;
}

// The longest run of whole characters of text that fits in limit bytes.
std::size_t WholeCharacters(const char* text, std::size_t n, std::size_t limit) {
  const CharSteps steps({text, n});
  std::size_t i = 0;
  while (i < n && steps.Next(i) <= limit) i = steps.Next(i);
  return i;
}

// A name no path can carry as it is: the path loses a trailing dot or blank,
// and the rest would split the path, be wildcards, or are refused.
bool LegalName(const wchar_t* name, std::size_t n) {
  if (n == 0 || name[n - 1] == L'.' || name[n - 1] == L' ') return false;
  for (std::size_t i = 0; i < n; ++i)
    if (name[i] < 0x20 || std::wcschr(L"\"*/:<>?\\|", name[i])) return false;
  return true;
}

// Writes the ANSI form of the real name into out as FindFirstFileA would;
// returns whether that form addresses the entry: the file functions read an
// ANSI path back through the code page, so it must come back as the real
// name, whole, and be a name a path can carry.
bool FillName(const wchar_t* name, char (&out)[260]) {
  char ansi[2 * MAX_PATH];
  int n = WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, nullptr);
  if (n <= 0) {
    out[0] = '\0';
    return false;
  }
  const std::size_t bytes = static_cast<std::size_t>(n - 1);  // without the zero
  const std::size_t kept =
      bytes < sizeof out ? bytes : WholeCharacters(ansi, bytes, sizeof out - 1);
  std::memcpy(out, ansi, kept);
  out[kept] = '\0';
  const std::size_t length = std::wcslen(name);
  wchar_t back[MAX_PATH];
  const int m = kept == bytes ? MultiByteToWideChar(CP_ACP, 0, ansi, int(kept), back, MAX_PATH) : 0;
  return m > 0 && std::size_t(m) == length && std::wmemcmp(back, name, length) == 0 &&
         LegalName(name, length);
}

void Fill(SearchRecord& rec, const WIN32_FIND_DATAW& wide) {
  std::memcpy(&rec.Data, &wide, offsetof(FindData, FileName));
  rec.NameExact = FillName(wide.cFileName, rec.Data.FileName);
  if (WideCharToMultiByte(CP_ACP, 0, wide.cAlternateFileName, -1, rec.Data.AlternateFileName,
                          sizeof rec.Data.AlternateFileName, nullptr, nullptr) <= 0)
    rec.Data.AlternateFileName[0] = '\0';

  FILETIME local;
  WORD date = 0, time = 0;
  if (FileTimeToLocalFileTime(&wide.ftLastWriteTime, &local))
    FileTimeToDosDateTime(&local, &date, &time);
  rec.Time = std::uint32_t(date) << 16 | time;
  rec.Size = rec.Data.SizeLow;
  rec.Attr = rec.Data.Attributes;
  rec.Name.assign(rec.Data.FileName);
}

// From the entry in wide on: steps over excluded entries and fills the record
// from the first one that remains.
int SkipExcluded(SearchRecord& rec, WIN32_FIND_DATAW& wide) {
  while (wide.dwFileAttributes & rec.ExcludeAttr)
    if (!FindNextFileW(Handle(rec), &wide)) return LastError();
  Fill(rec, wide);
  return 0;
}

}  // namespace

int FindFirst(std::string_view path, std::uint32_t attr, SearchRecord& rec) {
  FindClose(rec);  // a record used again must not leak its earlier search
  rec.ExcludeAttr = ~attr & OnlyWhenAsked;
  std::wstring wide;
  if (!WidePath(path, wide)) return ERROR_FILENAME_EXCED_RANGE;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(wide.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  rec.FindHandle = reinterpret_cast<std::uintptr_t>(h);
  int err = SkipExcluded(rec, data);
  if (err) FindClose(rec);
  return err;
}

int FindNext(SearchRecord& rec) {
  if (!rec.IsOpen()) return ERROR_INVALID_HANDLE;
  WIN32_FIND_DATAW data;
  if (!FindNextFileW(Handle(rec), &data)) return LastError();
  return SkipExcluded(rec, data);
}

void FindClose(SearchRecord& rec) {
  if (!rec.IsOpen()) return;
  ::FindClose(Handle(rec));
  rec.FindHandle = InvalidHandle;
}

SearchRecord::~SearchRecord() { FindClose(*this); }

}  // namespace quillet::platform
