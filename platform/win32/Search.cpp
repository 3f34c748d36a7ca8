// Directory search over FindFirstFileA / FindNextFileA. The record's find data
// is the Win32 structure itself, filled in place.

#include "platform/Search.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

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
static_assert(sizeof(std::uintptr_t) == sizeof(HANDLE));
// INVALID_HANDLE_VALUE is all bits set, as InvalidHandle is.

WIN32_FIND_DATAA* Win(FindData& data) { return reinterpret_cast<WIN32_FIND_DATAA*>(&data); }

HANDLE Handle(const SearchRecord& rec) { return reinterpret_cast<HANDLE>(rec.FindHandle); }

// 0 means success to our callers, so a failure must never come back as 0.
int LastError() {
  DWORD err = GetLastError();
  return err ? static_cast<int>(err) : ERROR_NO_MORE_FILES;
}

void Fill(SearchRecord& rec) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (FileTimeToLocalFileTime(&Win(rec.Data)->ftLastWriteTime, &local))
    FileTimeToDosDateTime(&local, &date, &time);
  rec.Time = std::uint32_t(date) << 16 | time;
  rec.Size = rec.Data.SizeLow;
  rec.Attr = rec.Data.Attributes;
  rec.Name.assign(rec.Data.FileName, strnlen(rec.Data.FileName, sizeof rec.Data.FileName));
}

// From the entry in the find data on: steps over excluded entries and fills
// the record from the first one that remains.
int SkipExcluded(SearchRecord& rec) {
  while (rec.Data.Attributes & rec.ExcludeAttr)
    if (!FindNextFileA(Handle(rec), Win(rec.Data))) return LastError();
  Fill(rec);
  return 0;
}

}  // namespace

int FindFirst(std::string_view path, std::uint32_t attr, SearchRecord& rec) {
  FindClose(rec);  // a record used again must not leak its earlier search
  rec.ExcludeAttr = ~attr & 0x1E;
  std::string zpath(path);
  HANDLE h = FindFirstFileA(zpath.c_str(), Win(rec.Data));
  if (h == INVALID_HANDLE_VALUE) return LastError();
  rec.FindHandle = reinterpret_cast<std::uintptr_t>(h);
  int err = SkipExcluded(rec);
  if (err) FindClose(rec);
  return err;
}

int FindNext(SearchRecord& rec) {
  if (!rec.IsOpen()) return ERROR_INVALID_HANDLE;
  if (!FindNextFileA(Handle(rec), Win(rec.Data))) return LastError();
  return SkipExcluded(rec);
}

void FindClose(SearchRecord& rec) {
  if (!rec.IsOpen()) return;
  ::FindClose(Handle(rec));
  rec.FindHandle = InvalidHandle;
}

SearchRecord::~SearchRecord() { FindClose(*this); }

}  // namespace quillet::platform
