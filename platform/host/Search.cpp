// Directory search of the host stand-in, over opendir/readdir.
//
// Which names match follows the Windows rules rather than Wine's (FileMask).
// As any Windows path, the search path loses the trailing dots and blanks of
// its last part first ("noext." finds "noext", "plain.txt " finds
// "plain.txt"). A path of more than MaxPathChars characters fails. What it
// cannot follow: there are no 8.3 aliases to match, entries come in readdir
// order (not sorted as on NTFS), and "." and ".." come at the root as well.
//
// NameExact: the stand-in's names are the bytes on disk, so a name addresses
// its entry unless a path would read it otherwise: it ends in a dot or a blank
// (the path loses them), or it holds a byte Windows forbids in a name, outside
// a double-byte character ("\" and "/" would split the path, "*" and "?"
// would be wildcards). Names that are not valid code page 932 are not told
// apart: the host reads every name byte for byte.
//
// Attributes: directory from the file system, everything else archive;
// read-only when the owner may not write; hidden for names starting with ".".

#include "platform/Search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/FileMask.h"
#include "platform/host/UnixPath.h"

namespace quillet::platform {
namespace {

// Windows counts file times in 100 ns steps from 1601.
constexpr long long UnixEpochAsFileTime = 116444736000000000LL;

// What the search handle of the stand-in points to.
struct HostSearch {
  HostSearch(DIR* d, std::string_view mask) : dir(d), mask(mask) {}
  ~HostSearch() { closedir(dir); }
  HostSearch(const HostSearch&) = delete;
  HostSearch& operator=(const HostSearch&) = delete;

  DIR* dir;
  FileMask mask;
};

HostSearch& Search(const SearchRecord& rec) { return *reinterpret_cast<HostSearch*>(rec.FindHandle); }

std::uint32_t Attributes(const char* name, const struct stat& st) {
  std::uint32_t attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
  if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
    attr |= faHidden;
  return attr;
}

void FillData(FindData& data, const char* name, const struct stat& st) {
  data = FindData{};
  data.Attributes = Attributes(name, st);
  auto ft = static_cast<unsigned long long>(UnixEpochAsFileTime + st.st_mtim.tv_sec * 10000000LL +
                                            st.st_mtim.tv_nsec / 100);
  data.LastWriteTime = {std::uint32_t(ft), std::uint32_t(ft >> 32)};
  auto size = static_cast<unsigned long long>(st.st_size);
  data.SizeLow = std::uint32_t(size);
  data.SizeHigh = std::uint32_t(size >> 32);
  std::strncpy(data.FileName, name, sizeof data.FileName - 1);
}

// Reads on to the next entry whose name matches the mask, into the find data.
bool NextMatch(SearchRecord& rec) {
  HostSearch& s = Search(rec);
  while (dirent* e = readdir(s.dir)) {
    if (!s.mask.Matches(e->d_name)) continue;
    struct stat st;
    int fd = dirfd(s.dir);
    if (fstatat(fd, e->d_name, &st, 0) != 0 && fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // gone since readdir
    FillData(rec.Data, e->d_name, st);
    // As Wine reports a linked folder: a directory and a reparse point.
    struct stat link;
    if (S_ISDIR(st.st_mode) && fstatat(fd, e->d_name, &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode))
      rec.Data.Attributes |= faReparsePoint;
    return true;
  }
  return false;
}

// The local time packed as a DOS date (high) and time (low); 0 outside the
// years 1980 to 2107 that it can hold, as FileTimeToDosDateTime fails there.
std::uint32_t DosTime(const FileTime& ft) {
  long long ticks = (static_cast<long long>(ft.High) << 32 | ft.Low) - UnixEpochAsFileTime;
  std::time_t t = static_cast<std::time_t>(ticks / 10000000);
  std::tm tm;
  if (!localtime_r(&t, &tm) || tm.tm_year < 80 || tm.tm_year > 207) return 0;
  std::uint32_t date = std::uint32_t(tm.tm_year - 80) << 9 | std::uint32_t(tm.tm_mon + 1) << 5 |
                       std::uint32_t(tm.tm_mday);
  std::uint32_t time = std::uint32_t(tm.tm_hour) << 11 | std::uint32_t(tm.tm_min) << 5 |
                       std::uint32_t(tm.tm_sec / 2);
  return date << 16 | time;
}

// Bytes Windows never lets a name hold (see NameExact in the header).
bool ForbiddenInName(char c) {
  return static_cast<unsigned char>(c) < 0x20 || std::strchr("\"*/:<>?\\|", c) != nullptr;
}

bool AddressesItself(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  bool forbidden = false;
  host::ForEachSingleByte(name, [&](std::size_t, char c) {
    forbidden = forbidden || ForbiddenInName(c);
  });
  return !forbidden;
}

int SkipExcluded(SearchRecord& rec) {
  while (rec.Data.Attributes & rec.ExcludeAttr)
    if (!NextMatch(rec)) return host::ErrorNoMoreFiles;
  rec.Time = DosTime(rec.Data.LastWriteTime);
  rec.Size = rec.Data.SizeLow;
  rec.Attr = rec.Data.Attributes;
  rec.Name = rec.Data.FileName;
  rec.NameExact = AddressesItself(rec.Name);
  return 0;
}

}  // namespace

int FindFirst(std::string_view path, std::uint32_t attr, SearchRecord& rec) {
  FindClose(rec);  // a record used again must not leak its earlier search
  rec.ExcludeAttr = ~attr & OnlyWhenAsked;
  if (!host::FitsPathLimit(path)) return host::ErrorFilenameExcedRange;
  const std::string_view trimmed = host::WithoutTrailingDotsAndBlanks(path);
  const std::size_t cut = host::NameStart(trimmed);
  // As on Windows, a path ending in a separator names no file.
  if (cut == trimmed.size()) return host::ErrorFileNotFound;
  std::string dir = cut ? host::ToUnixPath(trimmed.substr(0, cut)) : std::string("./");
  DIR* d = opendir(dir.c_str());
  if (!d) return errno == EACCES ? host::ErrorAccessDenied : host::ErrorPathNotFound;
  auto search = std::make_unique<HostSearch>(d, path.substr(cut));
  rec.FindHandle = reinterpret_cast<std::uintptr_t>(search.release());
  int err = NextMatch(rec) ? SkipExcluded(rec) : host::ErrorFileNotFound;
  if (err) FindClose(rec);
  return err;
}

int FindNext(SearchRecord& rec) {
  if (!rec.IsOpen()) return host::ErrorInvalidHandle;
  return NextMatch(rec) ? SkipExcluded(rec) : host::ErrorNoMoreFiles;
}

void FindClose(SearchRecord& rec) {
  if (!rec.IsOpen()) return;
  delete &Search(rec);
  rec.FindHandle = InvalidHandle;
}

SearchRecord::~SearchRecord() { FindClose(*this); }

}  // namespace quillet::platform
