// Directory search of the host stand-in, over opendir/readdir.
//
// Which names match follows the Windows rules rather than Wine's: the
// comparison ignores the case of ASCII letters; "*", "*.*" match every name;
// every "?" is DOS_QM (at a "." or at the end of the name it matches nothing,
// so "a?" matches "a" and "file?.txt" matches "file.txt"); a "*" before a "."
// is DOS_STAR (never past the name's last "."); a "." before "?" or "*", or
// ending the mask after a "*", is DOS_DOT (a "." or the end of the name): "*."
// matches the names without a dot, "*.?" also those with one character after
// the last dot. A double-byte character counts as one character. As any
// Windows path, the search path loses the trailing dots and blanks of its
// last part first ("noext." finds "noext", "plain.txt " finds "plain.txt");
// only a "*" left at the end keeps a "." after it, so "*." and "*. " still
// mean the names without a dot. A path of more than MaxPathChars characters
// fails. What it cannot follow: there are no 8.3 aliases to match, entries
// come in readdir order (not sorted as on NTFS), and "." and ".." come at the
// root as well.
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

#include <bitset>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/Text.h"
#include "platform/host/UnixPath.h"

namespace quillet::platform {
namespace {

// Windows counts file times in 100 ns steps from 1601.
constexpr long long UnixEpochAsFileTime = 116444736000000000LL;

// Steps over one character: two bytes for a lead byte with a trail, else one.
std::size_t CharLength(std::string_view s, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

class Mask {
 public:
  explicit Mask(std::string_view text) {
    all_ = text == "*" || text == "*.*";
    for (std::size_t i = 0; i < text.size() && !all_;) {
      std::size_t len = CharLength(text, i);
      std::string_view rest = text.substr(i + len);
      Token t{Lit, {text[i], len == 2 ? text[i + 1] : '\0'}, len};
      if (len == 1 && text[i] == '?') t.kind = DosQm;
      else if (len == 1 && text[i] == '*') t.kind = rest.starts_with('.') ? DosStar : Star;
      else if (len == 1 && text[i] == '.' &&
               (rest.starts_with('?') || rest.starts_with('*') ||
                (rest.empty() && !tokens_.empty() && tokens_.back().kind == DosStar)))
        t.kind = DosDot;
      tokens_.push_back(t);
      i += len;
    }
  }

  bool Matches(std::string_view name) const {
    if (all_) return true;
    std::size_t lastDot = name.rfind('.');  // "." is never a trail byte
    States now;
    now[0] = true;
    for (std::size_t i = 0; i < name.size();) {
      std::size_t len = CharLength(name, i);
      Close(now, false, name[i] == '.');
      now = Step(now, name.substr(i, len), i == lastDot);
      if (now.none()) return false;
      i += len;
    }
    Close(now, true, false);
    return now[tokens_.size()];
  }

 private:
  enum Kind : unsigned char { Lit, Star, DosQm, DosDot, DosStar };
  struct Token {
    Kind kind;
    char ch[2];
    std::size_t len;
  };
  // One flag per position in the mask, the end included; a mask has at most
  // as many characters as its path.
  using States = std::bitset<MaxPathChars + 2>;

  // Adds the positions reachable without taking a character.
  void Close(States& s, bool atEnd, bool atDot) const {
    for (std::size_t p = 0; p < tokens_.size(); ++p) {
      if (!s[p]) continue;
      Kind k = tokens_[p].kind;
      if (k == Star || k == DosStar || (k == DosQm && (atEnd || atDot)) || (k == DosDot && atEnd))
        s[p + 1] = true;
    }
  }

  States Step(const States& s, std::string_view ch, bool isLastDot) const {
    States next;
    bool dot = ch == ".";
    for (std::size_t p = 0; p < tokens_.size(); ++p) {
      if (!s[p]) continue;
      const Token& t = tokens_[p];
      switch (t.kind) {
        case Lit: next[p + 1] = next[p + 1] || SameChar(t, ch); break;
        case Star: next[p] = true; break;
        case DosStar: next[p] = next[p] || !(dot && isLastDot); break;
        case DosQm: next[p + 1] = next[p + 1] || !dot; break;
        case DosDot: next[p + 1] = next[p + 1] || dot; break;
      }
    }
    return next;
  }

  static bool SameChar(const Token& t, std::string_view ch) {
    if (t.len != ch.size()) return false;
    if (t.len == 2) return t.ch[0] == ch[0] && t.ch[1] == ch[1];
    return FoldAscii(t.ch[0]) == FoldAscii(ch[0]);
  }

  bool all_ = false;
  std::vector<Token> tokens_;
};

// What the search handle of the stand-in points to.
struct HostSearch {
  HostSearch(DIR* d, std::string_view mask) : dir(d), mask(mask) {}
  ~HostSearch() { closedir(dir); }
  HostSearch(const HostSearch&) = delete;
  HostSearch& operator=(const HostSearch&) = delete;

  DIR* dir;
  Mask mask;
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

// The mask part of a search path that has lost its trailing dots and blanks
// (trimmed), from the path as given: a "*" left at the end keeps a "." after
// it when one went, so that "*." keeps its meaning.
std::string SearchMask(std::string_view path, std::string_view trimmed, std::size_t cut) {
  std::string mask(trimmed.substr(cut));
  if (mask.back() == '*' && path.substr(trimmed.size()).find('.') != std::string_view::npos)
    mask += '.';
  return mask;
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
  rec.ExcludeAttr = ~attr & 0x1E;
  if (!host::FitsPathLimit(path)) return host::ErrorFilenameExcedRange;
  const std::string_view trimmed = host::WithoutTrailingDotsAndBlanks(path);
  const std::size_t cut = host::NameStart(trimmed);
  // As on Windows, a path ending in a separator names no file.
  if (cut == trimmed.size()) return host::ErrorFileNotFound;
  std::string dir = cut ? host::ToUnixPath(trimmed.substr(0, cut)) : std::string("./");
  DIR* d = opendir(dir.c_str());
  if (!d) return errno == EACCES ? host::ErrorAccessDenied : host::ErrorPathNotFound;
  auto search = std::make_unique<HostSearch>(d, SearchMask(path, trimmed, cut));
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
