#pragma once
// Directory search: one entry at a time over a wildcard path, filtered by
// attributes. Names come in the ANSI code page, as FindFirstFileA gives them,
// each with a flag that says whether it addresses its entry at all.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::platform {

enum : std::uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeId = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  // Junctions and symbolic links; Wine reports a linked folder so, with the
  // directory bit, but a linked file as the file it leads to.
  faReparsePoint = 0x400,
};

// Attribute sets the program searches with.
inline constexpr std::uint32_t FilesOnly = faReadOnly | faHidden | faSysFile | faArchive;
inline constexpr std::uint32_t Everything = FilesOnly | faVolumeId | faDirectory;
// The entries a search passes over unless its set names their bits.
inline constexpr std::uint32_t OnlyWhenAsked = faHidden | faSysFile | faVolumeId | faDirectory;

struct FileTime {
  std::uint32_t Low, High;
};

// Same layout as WIN32_FIND_DATAA.
struct FindData {
  std::uint32_t Attributes;
  FileTime CreationTime, LastAccessTime, LastWriteTime;
  std::uint32_t SizeHigh, SizeLow;
  std::uint32_t Reserved0, Reserved1;
  char FileName[260];
  char AlternateFileName[14];
};

inline constexpr std::uintptr_t InvalidHandle = ~std::uintptr_t{0};

// Owns its search handle: destroying a record closes a search left open.
struct SearchRecord {
  std::uint32_t Time = 0;  // local last-write time, DOS date high, time low
  std::uint32_t Size = 0;  // low 32 bits
  std::uint32_t Attr = 0;
  std::string Name;
  // Whether Name, joined to the searched directory, addresses exactly this
  // entry. Not so when the code page lacks a character of the real name (a
  // look-alike or "?" stands in: "cafe.txt" for "café.txt", a yen sign as
  // "\"), when the name ends in a dot or a blank (a path loses them), or
  // when it holds a character no name may hold ("\", "*", "|" ...).
  bool NameExact = false;
  std::uint32_t ExcludeAttr = 0;
  std::uintptr_t FindHandle = InvalidHandle;
  FindData Data{};

  SearchRecord() = default;
  SearchRecord(const SearchRecord&) = delete;
  SearchRecord& operator=(const SearchRecord&) = delete;
  ~SearchRecord();

  bool IsOpen() const { return FindHandle != InvalidHandle; }
};

// What find first returns when no entry matches the path at all
// (ERROR_FILE_NOT_FOUND).
inline constexpr int NoMatchingEntry = 2;

// 0 on success, else the platform's error code. Skips entries that share a bit
// with (not attr) & OnlyWhenAsked; when none remains the search is closed
// again.
int FindFirst(std::string_view path, std::uint32_t attr, SearchRecord& rec);

// 0 or the error code; the search stays open on failure, also at the end.
int FindNext(SearchRecord& rec);

// Closes the search when it is open; safe to call twice.
void FindClose(SearchRecord& rec);

}  // namespace quillet::platform
