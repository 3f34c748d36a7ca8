// The directory search over real folders: attribute filtering, the error
// paths, the open/closed state of the search, and which names a mask matches.

#include "platform/Search.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/Process.h"
#include "tests/common/TempDir.h"

namespace quillet {
namespace {

using platform::FindClose;
using platform::FindFirst;
using platform::FindNext;
using platform::SearchRecord;

struct Entry {
  std::string name;
  std::uint32_t attr;
};

// Every entry of one search, closed again afterwards.
std::vector<Entry> List(const std::string& path, std::uint32_t attr) {
  std::vector<Entry> out;
  SearchRecord rec;
  for (int err = FindFirst(path, attr, rec); err == 0; err = FindNext(rec))
    out.push_back({rec.Name, rec.Attr});
  FindClose(rec);
  return out;
}

std::set<std::string> Names(const std::vector<Entry>& entries) {
  std::set<std::string> names;
  for (const Entry& e : entries) names.insert(e.name);
  return names;
}

#ifdef _WIN32
const std::string HiddenName = "hidden.txt";
#else
const std::string HiddenName = ".hidden.txt";  // the stand-in hides dot files
#endif

// plain.txt, read-only ro.txt, a hidden file, (on Windows) a system file,
// and two directories, one of them named like a file.
void MakeMixedFolder(const test::TempDir& dir) {
  dir.Write("plain.txt", "12345");
  dir.Write("ro.txt");
  dir.Write(HiddenName);
  dir.MakeDir("folder");
  dir.MakeDir("folder.txt");
#ifdef _WIN32
  dir.Write("system.txt");
  dir.Attributes("system.txt", FILE_ATTRIBUTE_SYSTEM);
  dir.Attributes(HiddenName, FILE_ATTRIBUTE_HIDDEN);
  dir.Attributes("ro.txt", FILE_ATTRIBUTE_READONLY);
#else
  dir.Mode("ro.txt", 0444);
#endif
}

TEST(Search, FilesOnlyListsHiddenSystemAndReadOnlyButNoDirectory) {
  test::TempDir dir;
  MakeMixedFolder(dir);
  std::vector<Entry> files = List(dir.Path() + "*", platform::FilesOnly);
  std::set<std::string> expected = {"plain.txt", "ro.txt", HiddenName};
#ifdef _WIN32
  expected.insert("system.txt");
#endif
  EXPECT_EQ(Names(files), expected);
  for (const Entry& e : files) {
    EXPECT_EQ(e.attr & platform::faDirectory, 0u) << e.name;
    EXPECT_EQ((e.attr & platform::faHidden) != 0, e.name == HiddenName) << e.name;
    EXPECT_EQ((e.attr & platform::faReadOnly) != 0, e.name == "ro.txt") << e.name;
    EXPECT_EQ((e.attr & platform::faSysFile) != 0, e.name == "system.txt") << e.name;
  }
}

TEST(Search, EverythingReportsDirectoriesWithTheirBit) {
  test::TempDir dir;
  MakeMixedFolder(dir);
  std::vector<Entry> all = List(dir.Path() + "*", platform::Everything);
  std::set<std::string> dirs;
  for (const Entry& e : all)
    if (e.attr & platform::faDirectory) dirs.insert(e.name);
  EXPECT_EQ(dirs, (std::set<std::string>{".", "..", "folder", "folder.txt"}));
  EXPECT_EQ(all.size(), dirs.size() + List(dir.Path() + "*", platform::FilesOnly).size());
}

TEST(Search, RecordCarriesSizeLocalDosTimeAndNameOfTheFindData) {
  test::TempDir dir;
  dir.Write("sized.bin", std::string(70000, 'x'));
#ifdef _WIN32
  SYSTEMTIME t{};
  t.wYear = 2001, t.wMonth = 2, t.wDay = 3, t.wHour = 4, t.wMinute = 5, t.wSecond = 6;
#else
  std::tm t{};
  t.tm_year = 101, t.tm_mon = 1, t.tm_mday = 3, t.tm_hour = 4, t.tm_min = 5, t.tm_sec = 6;
#endif
  dir.WriteTime("sized.bin", t);
  SearchRecord rec;
  ASSERT_EQ(FindFirst(dir.Path() + "sized.bin", platform::FilesOnly, rec), 0);
  EXPECT_EQ(rec.Size, 70000u);
  EXPECT_EQ(rec.Data.SizeLow, 70000u);
  EXPECT_EQ(rec.Name, "sized.bin");
  EXPECT_STREQ(rec.Data.FileName, "sized.bin");
  // 2001-02-03 04:05:06 local: date (21 << 9 | 2 << 5 | 3), time (4 << 11 | 5 << 5 | 6 / 2).
  EXPECT_EQ(rec.Time, (21u << 9 | 2u << 5 | 3u) << 16 | (4u << 11 | 5u << 5 | 3u));
  EXPECT_EQ(rec.ExcludeAttr, 24u);
}

TEST(Search, FailedFirstLeavesNothingOpen) {
  test::TempDir dir;
  dir.MakeDir("only");
  dir.MakeDir("onlytoo");
  dir.Write("file.txt");
  struct Case {
    const char* what;
    std::string path;
    int error;
  } cases[] = {
      {"missing directory", dir.Path() + "nosuch\\*", 3},
      {"only directories match", dir.Path() + "only*", 18},
      {"nothing matches", dir.Path() + "*.none", 2},
      {"directory text alone", dir.Path(), 2},
  };
  for (const Case& c : cases) {
    SearchRecord rec;
    int before = test::OpenHandles();
    EXPECT_EQ(FindFirst(c.path, platform::FilesOnly, rec), c.error) << c.what;
    EXPECT_FALSE(rec.IsOpen()) << c.what;
    EXPECT_EQ(test::OpenHandles(), before) << c.what;
  }
}

TEST(Search, StaysOpenAfterTheLastEntryUntilClosed) {
  test::TempDir dir;
  dir.Write("a.txt");
  dir.Write("b.txt");
  dir.MakeDir("c.txt");  // excluded: the last entries may all be skipped
  SearchRecord rec;
  int before = test::OpenHandles();
  ASSERT_EQ(FindFirst(dir.Path() + "*.txt", platform::FilesOnly, rec), 0);
  ASSERT_EQ(FindNext(rec), 0);
  EXPECT_EQ(FindNext(rec), 18);
  EXPECT_TRUE(rec.IsOpen());
  EXPECT_EQ(FindNext(rec), 18);
  // Wine closes the directory beneath a search once its listing has been read
  // to the end, though the search handle stays valid: only the others count.
  if (!test::RunningOnWine()) {
    EXPECT_EQ(test::OpenHandles(), before + 1);
  }
  FindClose(rec);
  EXPECT_FALSE(rec.IsOpen());
  EXPECT_EQ(test::OpenHandles(), before);
  FindClose(rec);
  EXPECT_NE(FindNext(rec), 0);
}

TEST(Search, RecordClosesASearchLeftOpen) {
  test::TempDir dir;
  dir.Write("a.txt");
  int before = test::OpenHandles();
  {
    SearchRecord rec;
    ASSERT_EQ(FindFirst(dir.Path() + "*", platform::FilesOnly, rec), 0);
    EXPECT_EQ(test::OpenHandles(), before + 1);
    // Starting over on the same record ends the first search.
    ASSERT_EQ(FindFirst(dir.Path() + "*", platform::FilesOnly, rec), 0);
    EXPECT_EQ(test::OpenHandles(), before + 1);
  }
  EXPECT_EQ(test::OpenHandles(), before);
}

// 表 (95 5C) and ソ (83 5C) end in the byte of "\".
TEST(Search, ShiftJisNamesWithTrailByte5CComeWhole) {
  test::TempDir dir;
  const std::string hyou = "\x95\x5C.txt", so = "\x83\x5C\x83\x74\x83\x67.txt";
  dir.Write(hyou);
  dir.Write(so);
  dir.MakeDir("\x95\x5C");
  dir.Write("\x95\x5C\\inner.txt");
  EXPECT_EQ(Names(List(dir.Path() + "*.txt", platform::FilesOnly)),
            (std::set<std::string>{hyou, so}));
  EXPECT_EQ(Names(List(dir.Path() + "\x95\x5C*", platform::FilesOnly)),
            (std::set<std::string>{hyou}));
  EXPECT_EQ(Names(List(dir.Path() + "\x95\x5C\\*", platform::FilesOnly)),
            (std::set<std::string>{"inner.txt"}));
  // "?" takes a whole double-byte character.
  EXPECT_EQ(Names(List(dir.Path() + "?.txt", platform::FilesOnly)), (std::set<std::string>{hyou}));
  // A trail byte is no letter: ッ (83 62, "b") is not ィ (83 42, "B").
  dir.Write("\x83\x62.txt");
  EXPECT_EQ(Names(List(dir.Path() + "\x83\x42.txt", platform::FilesOnly)), std::set<std::string>{});
  EXPECT_EQ(Names(List(dir.Path() + "\x83\x62.TXT", platform::FilesOnly)),
            (std::set<std::string>{"\x83\x62.txt"}));
  EXPECT_EQ(Names(List(dir.Path() + "*b.txt", platform::FilesOnly)), std::set<std::string>{});
}

// Which names a mask selects is the platform's rule. Windows rewrites "?" and
// "." in DOS fashion and also matches 8.3 aliases; Wine does neither but
// invents aliases too; the host stand-in keeps the DOS rules without aliases.
TEST(Search, MaskMatchingFollowsThePlatform) {
  test::TempDir dir;
  for (const char* f : {"a", "ab", "abc.txt", "x.html", "file.txt", "a.b.c", "README"}) dir.Write(f);
  using Set = std::set<std::string>;
  const Set all = {"a", "ab", "abc.txt", "x.html", "file.txt", "a.b.c", "README"};
  struct Case {
    const char* mask;
    Set windows, wine, host;
  } cases[] = {
      {"*", all, all, all},
      {"*.*", all, all, all},
      {"ABC.TXT", {"abc.txt"}, {"abc.txt"}, {"abc.txt"}},
      {"readme", {"README"}, {"README"}, {"README"}},
      {"a?", {"a", "ab"}, {"ab"}, {"a", "ab"}},
      {"*.", {"a", "ab", "README"}, all, {"a", "ab", "README"}},
      {"file?.txt", {"file.txt"}, {}, {"file.txt"}},
      {"*.htm", {"x.html"}, {"x.html"}, {}},
      {"a*", {"a", "ab", "abc.txt", "a.b.c"}, {"a", "ab", "abc.txt", "a.b.c"},
       {"a", "ab", "abc.txt", "a.b.c"}},
      {"?b*", {"ab", "abc.txt"}, {"ab", "abc.txt"}, {"ab", "abc.txt"}},
      {"*?", all, {}, all},  // Wine looks for a "?" in the name
      {"*.?", {"a", "ab", "README", "a.b.c"}, {"a.b.c"}, {"a", "ab", "README", "a.b.c"}},
      {"a.*", {"a", "a.b.c"}, {"a", "a.b.c"}, {"a", "a.b.c"}},
      // Any path loses the trailing dots and blanks of its last part, the
      // search path too; "*." keeps its meaning where there is one.
      {"README.", {"README"}, {"README"}, {"README"}},
      {"abc.txt ", {"abc.txt"}, {"abc.txt"}, {"abc.txt"}},
      {"abc.txt. .", {"abc.txt"}, {"abc.txt"}, {"abc.txt"}},
      {"*. ", {"a", "ab", "README"}, all, {"a", "ab", "README"}},
      {"...", {}, {}, {}},
  };
  for (const Case& c : cases) {
#ifdef _WIN32
    const Set& expected = test::RunningOnWine() ? c.wine : c.windows;
#else
    const Set& expected = c.host;
#endif
    EXPECT_EQ(Names(List(dir.Path() + c.mask, platform::FilesOnly)), expected) << c.mask;
  }
}

// Only before a "." or at the end of a name may a "?" take nothing, and only
// on Windows and in the host stand-in; under Wine it always takes one
// character. Inside a name it takes exactly one everywhere.
TEST(Search, QuestionMarkTakesOneCharacterInsideAName) {
  test::TempDir dir;
  for (const char* f : {"b.txt", "a.txt", "ab.txt", "ac.txt", "abc.txt", "abbc.txt"}) dir.Write(f);
  using Set = std::set<std::string>;
  struct Case {
    const char* mask;
    Set dos, wine;
  } cases[] = {
      {"?b*", {"ab.txt", "abc.txt", "abbc.txt"}, {"ab.txt", "abc.txt", "abbc.txt"}},
      {"a?c.txt", {"abc.txt"}, {"abc.txt"}},
      {"a??c.txt", {"abbc.txt"}, {"abbc.txt"}},
      {"??b*", {"abbc.txt"}, {"abbc.txt"}},
      {"a?.txt", {"a.txt", "ab.txt", "ac.txt"}, {"ab.txt", "ac.txt"}},
  };
  for (const Case& c : cases) {
    const Set& expected = test::RunningOnWine() ? c.wine : c.dos;
    EXPECT_EQ(Names(List(dir.Path() + c.mask, platform::FilesOnly)), expected) << c.mask;
  }
}

// Whether each name, joined to its directory, addresses its entry. Names
// are made on the Linux side, one per folder, as they come from Linux disks
// and shares. Under Wine the search converts the real name to code page 932
// as the ANSI call does; on the host the names are the bytes on disk, so
// only what a path would read otherwise fails there.
TEST(Search, TellsWhetherTheNameAddressesTheEntry) {
  using test::Utf8;
  struct Case {
    std::string name;  // on Linux, UTF-8
    bool wine, host;
  } cases[] = {
      {"plain.txt", true, true},
      {Utf8(u8"表.txt"), true, true},  // 95 5C in code page 932
      {Utf8(u8"ｶﾅ.txt"), true, true},  // half-width katakana, one byte each
      {Utf8(u8"café.txt"), false, true},  // listed as cafe.txt under Wine
      {Utf8(u8"価格¥100.txt"), false, true},  // the yen sign becomes 5C
      {Utf8(u8"x¦y.txt"), false, true},  // listed as x|y.txt
      {Utf8(u8"😀.txt"), false, true},  // listed as ??.txt
      {Utf8(u8"한국.txt"), false, true},
      {Utf8(u8"a¥.."), false, false},  // listed as a\.. under Wine
      {"data ", false, false},
      {"rep.", false, false},
      {"st*ar.txt", false, false},
      {"qu?est.txt", false, false},
      {"co:lon.txt", false, false},
      {"pi|pe.txt", false, false},
      {"quo\"te.txt", false, false},
#ifndef _WIN32
      {"back\\slash.txt", false, false},  // the Linux side of Wine splits it too
#endif
      {std::string(200, 'n'), true, true},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::LinuxSide linux(dir.Path());
    if (!linux.Available()) GTEST_SKIP() << "no Linux side to make the names on";
    linux.Write(c.name, "x");
    SearchRecord rec;
    ASSERT_EQ(FindFirst(dir.Path() + "*", platform::FilesOnly, rec), 0) << c.name;
#ifdef _WIN32
    EXPECT_EQ(rec.NameExact, c.wine) << c.name;
    // The name itself is what the ANSI call gives.
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir.Path() + "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::set<std::string> ansi;
    do
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ansi.insert(fd.cFileName);
    while (FindNextFileA(h, &fd));
    ::FindClose(h);
    EXPECT_EQ(ansi, std::set<std::string>{rec.Name}) << c.name;
#else
    EXPECT_EQ(rec.NameExact, c.host) << c.name;
    EXPECT_EQ(rec.Name, c.name);
#endif
    EXPECT_NE(FindNext(rec), 0) << c.name;
    FindClose(rec);
  }
}

// A folder path that takes more than 260 bytes but far fewer characters:
// the file functions count characters.
TEST(Search, ListsAFolderWhosePathTakesMoreThan260Bytes) {
  test::TempDir dir;
  const std::string sub = dir.MakeLongJapanesePath();
  dir.Write(sub + "a.jpg", "A");
  const std::string path = dir.Path() + sub + "*.jpg";
  ASSERT_GT(path.size(), 260u);
  ASSERT_LE(platform::CharCount(path), platform::MaxPathChars);
  std::vector<Entry> found = List(path, platform::FilesOnly);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "a.jpg");
}

// A path of more characters than the file functions take fails, whatever
// its bytes. (The ANSI search itself takes one character more than a full
// path may have: 260.)
TEST(Search, PathOfMoreCharactersThanThePlatformTakesFails) {
  test::TempDir dir;
  const std::size_t room = platform::MaxPathChars + 2 - platform::CharCount(dir.Path());
  std::string tooLong = dir.Path();
  for (std::size_t i = 0; i < room; ++i) tooLong += "\x8A\xBF";
  SearchRecord rec;
  EXPECT_EQ(FindFirst(tooLong, platform::FilesOnly, rec), 206);
  EXPECT_FALSE(rec.IsOpen());
}

}  // namespace
}  // namespace quillet
