// File services over real folders: a rename never replaces, full paths
// collapse the way the Windows call does, the current directory.

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "core/CommandLine.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/TempDir.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/host/UnixPath.h"
#endif

namespace quillet {
namespace {

using Contents = std::map<std::string, std::string>;
using platform::RenameFile;

TEST(RenameFile, NeverReplacesAndLosesNothing) {
  test::TempDir dir;
  const std::string& d = dir.Path();
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  dir.MakeDir("sub");
  struct Step {
    std::string from, to;
    bool ok;
  } steps[] = {
      {"a.txt", "b.txt", false},  // existing file
      {"a.txt", "sub", false},    // existing directory
      {"missing.txt", "c.txt", false},
      {"a.txt", "a.txt", true},   // the same name, as MoveFileA(x, x)
      {"a.txt", "c.txt", true},
      {"b.txt", "sub\\b.txt", true},
      {"c.txt", "\x95\x5C.txt", true},
  };
  for (const Step& s : steps)
    EXPECT_EQ(RenameFile(d + s.from, d + s.to) == 0, s.ok) << s.from << " -> " << s.to;
  EXPECT_EQ(dir.Files(), (Contents{{"\x95\x5C.txt", "A"}}));
  EXPECT_EQ(dir.Files("sub\\"), (Contents{{"b.txt", "B"}}));
}

// A read-only file is renamed as any other: the rule that keeps it is
// about deleting it.
TEST(RenameFile, ReadOnlyFileIsRenamedWhole) {
  test::TempDir dir;
  test::LinuxSide linux(dir.Path());
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  dir.Write("r.txt", "R");
  linux.Shell("chmod 444 r.txt");
  EXPECT_EQ(RenameFile(dir.Path() + "r.txt", dir.Path() + "s.txt"), 0);
  EXPECT_EQ(dir.Files(), (Contents{{"s.txt", "R"}}));
  linux.Shell("chmod 644 *.txt");  // for the folder's removal
}

// A path's last part loses its trailing dots and blanks: "data " names
// "data". The program must therefore never rename through such a name.
TEST(RenameFile, TrailingDotsAndBlanksOfTheLastPartGo) {
  test::TempDir dir;
  const std::string& d = dir.Path();
  dir.Write("data", "D");
  dir.Write("rep", "R");
  EXPECT_EQ(RenameFile(d + "data ", d + "new. ."), 0);
  EXPECT_EQ(RenameFile(d + "rep.", d + "old "), 0);
  EXPECT_EQ(dir.Files(), (Contents{{"new", "D"}, {"old", "R"}}));
}

#ifdef _WIN32
const std::string Root = "C:";
#else
const std::string Root = "";
#endif

// n double-byte characters (漢, 8A BF).
std::string Kanji(std::size_t n) {
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += "\x8A\xBF";
  return text;
}

TEST(FullPath, CollapsesLikeTheWindowsCall) {
  const std::string cwd = platform::CurrentDirectory();
  ASSERT_FALSE(cwd.empty());
  const std::string here = cwd.back() == '\\' ? cwd : cwd + "\\";
  struct Case {
    std::string path, full;
  } cases[] = {
      {Root + "\\x\\..\\y", Root + "\\y"},
      {Root + "\\x\\\\y", Root + "\\x\\y"},
      {Root + "\\x\\.\\y\\", Root + "\\x\\y\\"},
      {Root + "\\x/y", Root + "\\x\\y"},
      {Root + "\\..\\..", Root + "\\"},
      {Root + "\\\x95\x5C\\a", Root + "\\\x95\x5C\\a"},  // 表 ends in 0x5C
      {Root + "\\\x95\x5C", Root + "\\\x95\x5C"},
      {"x.txt", here + "x.txt"},
      {"*.txt", here + "*.txt"},
      {"a\\..\\b\\", here + "b\\"},
      {"a\\.", here + "a"},
      {"", ""},
      {Root + "\\" + std::string(259 - Root.size(), 'a'), ""},  // 260 characters do not fit
      {std::string(300, 'a'), ""},
      // The limit counts characters: 259 of them in 516 bytes fit.
      {Root + "\\" + Kanji(258 - Root.size()), Root + "\\" + Kanji(258 - Root.size())},
      {Root + "\\" + Kanji(259 - Root.size()), ""},
      // The last part loses its trailing dots and blanks, as any path does.
      {"x\\noext.", here + "x\\noext"},
      {"x\\plain.txt ", here + "x\\plain.txt"},
      {"x\\a. .", here + "x\\a"},
      {"x\\...", here + "x\\"},
      {"x\\ ", here + "x\\"},
      {"x\\a \\b", here + "x\\a \\b"},
      // So it does once "." and ".." have gone: the result is a full path as
      // it stands, which comes back the same when asked again.
      {"x\\noext.\\.", here + "x\\noext"},
      {".s.\\.", here + ".s"},
      {"x\\a. \\b\\..", here + "x\\a"},
      {"x\\...\\.", here + "x\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::FullPath(c.path), c.full) << c.path;
    EXPECT_EQ(platform::FullPath(c.full), c.full) << c.path;
  }
  EXPECT_EQ(platform::FullPath(Root + "\\" + std::string(250, 'a')).size(), Root.size() + 251);
}

TEST(CurrentDirectory, FollowsTheProcessAndHasNoTrailingSeparator) {
  test::TempDir dir;
#ifdef _WIN32
  const std::string before = platform::CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  const std::string now = platform::CurrentDirectory();
  SetCurrentDirectoryA(before.c_str());
#else
  char before[4096];
  ASSERT_TRUE(getcwd(before, sizeof before));
  ASSERT_EQ(chdir(dir.Path().substr(0, dir.Path().size() - 1).c_str()), 0);
  const std::string now = platform::CurrentDirectory();
  ASSERT_EQ(chdir(before), 0);
#endif
  EXPECT_EQ(now + "\\", platform::FullPath(dir.Path()));
  EXPECT_NE(now.back(), '\\');
}

// A path of 150 characters or so, but more than 260 bytes: the current
// directory and the full path come whole, not empty.
TEST(CurrentDirectory, PathOfMoreThan260BytesComesWhole) {
  test::TempDir dir;
  const std::string sub = dir.MakeLongJapanesePath();
  const std::string deep = dir.Path() + sub;
  ASSERT_GT(deep.size(), 260u);
  EXPECT_EQ(platform::FullPath(deep + "*.jpg"), platform::FullPath(dir.Path()) + sub + "*.jpg");
#ifdef _WIN32
  const std::string before = platform::CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
  const std::string now = platform::CurrentDirectory();
  const std::string relative = platform::FullPath("*.jpg");
  SetCurrentDirectoryA(before.c_str());
#else
  char before[4096];
  ASSERT_TRUE(getcwd(before, sizeof before));
  ASSERT_EQ(chdir(platform::host::ToUnixPath(deep).c_str()), 0);
  const std::string now = platform::CurrentDirectory();
  const std::string relative = platform::FullPath("*.jpg");
  ASSERT_EQ(chdir(before), 0);
#endif
  EXPECT_EQ(now + "\\", platform::FullPath(deep));
  EXPECT_EQ(relative, platform::FullPath(deep) + "*.jpg");
  // Renames there work as anywhere.
  dir.Write(sub + "a.jpg", "A");
  EXPECT_EQ(RenameFile(deep + "a.jpg", deep + "b.jpg"), 0);
  EXPECT_EQ(dir.Files(sub), (Contents{{"b.jpg", "A"}}));
}

TEST(DriveType, MissingRootIsNoRootDirectory) {
#ifdef _WIN32
  // The highest letter that no drive maps.
  DWORD drives = GetLogicalDrives();
  char letter = 'Z';
  while (letter > 'C' && (drives >> (letter - 'A') & 1)) --letter;
  EXPECT_EQ(platform::DriveType(std::string(1, letter) + ":\\"), 1u);
  unsigned c = platform::DriveType("C:\\");
#else
  EXPECT_EQ(platform::DriveType("\\no-such-root\\"), 1u);
  unsigned c = platform::DriveType("\\");
#endif
  EXPECT_GE(c, 2u);
  EXPECT_LE(c, 6u);
}

// A folder dropped on the program's icon comes without a mask: it lists all
// of itself. Anything else stays as given.
TEST(PathMaskOf, ExistingDirectoryWithoutAMaskListsAllOfIt) {
  const test::TempDir dir;
  dir.MakeDir("photos");
  dir.Write("photos\\a.jpg");
  dir.MakeDir("\x95\x5C");  // 表 ends in the byte of "\"
  const std::string d = dir.Path();
  const struct { std::string argument, pathMask; } rows[] = {
      {d + "photos", d + "photos\\*.*"},
      {d + "photos\\", d + "photos\\*.*"},
      {d + "photos\\*.jpg", d + "photos\\*.jpg"},
      {d + "photos\\a.jpg", d + "photos\\a.jpg"},
      {d + "missing", d + "missing"},
      {d + "\x95\x5C", d + "\x95\x5C\\*.*"},
  };
  for (const auto& r : rows) EXPECT_EQ(PathMaskOf(r.argument), r.pathMask);
}

}  // namespace
}  // namespace quillet
