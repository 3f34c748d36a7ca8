// File services over real folders: a rename never replaces, full paths
// collapse the way the Windows call does, the current directory.

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "tests/common/TempDir.h"

#ifndef _WIN32
#include <unistd.h>
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
    EXPECT_EQ(RenameFile(d + s.from, d + s.to), s.ok) << s.from << " -> " << s.to;
  EXPECT_EQ(dir.Files(), (Contents{{"\x95\x5C.txt", "A"}}));
  EXPECT_EQ(dir.Files("sub\\"), (Contents{{"b.txt", "B"}}));
}

#ifdef _WIN32
const std::string Root = "C:";
#else
const std::string Root = "";
#endif

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
      {Root + "\\" + std::string(259 - Root.size(), 'a'), ""},  // 260 bytes do not fit
      {std::string(300, 'a'), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::FullPath(c.path), c.full) << c.path;
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

}  // namespace
}  // namespace quillet
