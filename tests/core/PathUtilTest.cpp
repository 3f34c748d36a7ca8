// Byte strings in code page 932 are written as escapes: "\x95\x5c" is the
// kanji for "table" and "\x83\x5c" the katakana "so", both with the trail
// byte of a backslash.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "tests/common/ChangeExtension.h"

namespace quillet {
namespace {

struct PathRow {
  std::string path;
  std::string fileName;
  std::string extension;
  std::string directory;
};

TEST(PathUtil, SplitsPaths) {
  const PathRow rows[] = {
      // path                  file-name part   extension  directory part
      {"x.tar.gz",             "x.tar.gz",      ".gz",     ""},
      {"a.b.c",                "a.b.c",         ".c",      ""},
      {"readme",               "readme",        "",        ""},
      {"name.",                "name.",         ".",       ""},
      {"*.",                   "*.",            ".",       ""},
      {"*",                    "*",             "",        ""},
      {".txt",                 ".txt",          ".txt",    ""},
      {"",                     "",              "",        ""},
      {"dir.x\\readme",        "readme",        "",        "dir.x"},
      {"C:\\Photos\\*.jpg",    "*.jpg",         ".jpg",    "C:\\Photos"},
      {"C:\\*.jpg",            "*.jpg",         ".jpg",    "C:\\"},
      {"C:*.jpg",              "*.jpg",         ".jpg",    "C:"},
      {"C:",                   "",              "",        "C:"},
      {"C:\\",                 "",              "",        "C:\\"},
      {"dir\\",                "",              "",        "dir"},
      {"\\x.txt",              "x.txt",         ".txt",    "\\"},
      {"a\\\\b",               "b",             "",        "a\\\\"},
      {"\\\\server\\share",    "share",         "",        "\\\\server"},
      // "/" separates as "\" does.
      {"photo/x.jpg",          "x.jpg",         ".jpg",    "photo"},
      {"dir.x/readme",         "readme",        "",        "dir.x"},
      {"C:/*.jpg",             "*.jpg",         ".jpg",    "C:/"},
      {"C:/a/b/",              "",              "",        "C:/a/b"},
      // A trail byte 0x5C is part of its character, not a separator.
      {"\x95\x5c.txt",         "\x95\x5c.txt",  ".txt",    ""},
      {"C:\\d\\\x95\x5c",      "\x95\x5c",      "",        "C:\\d"},
      {"C:\\\x83\x5c\\a.b",    "a.b",           ".b",      "C:\\\x83\x5c\\"},
      {"a.\x83\x5c",           "a.\x83\x5c",    ".\x83\x5c", ""},
      {"x\\\x83\x5c\x95\x5c",  "\x83\x5c\x95\x5c", "",     "x"},
      // Two lead-byte values make one character, so the 0x5C after them is
      // a separator; three leave the last one leading the 0x5C.
      {"\x81\x81\\x",          "x",             "",        "\x81\x81"},
      {"\x81\x81\x81\\x",      "\x81\x81\x81\\x", "",      ""},
      // Half-width katakana are single bytes: 0x5C after one separates.
      {"\xb1\\x",              "x",             "",        "\xb1"},
  };
  for (const PathRow& r : rows) {
    EXPECT_EQ(FileNamePart(r.path), r.fileName) << r.path;
    EXPECT_EQ(Extension(r.path), r.extension) << r.path;
    EXPECT_EQ(DirectoryPart(r.path), r.directory) << r.path;
  }
}

// The searches pass over long runs without a delimiter in steps; the last
// delimiter must be found wherever it sits in such a step.
TEST(PathUtil, FindsTheLastDelimiterAtEveryDistanceFromTheEnd) {
  for (std::size_t k = 0; k < 20; ++k) {
    SCOPED_TRACE(k);
    const std::string tail(k, 'x');
    const std::string head = "C:\\dir.d\\" + std::string(20 - k, 'y');
    const std::string trail = "\x95\x5c" + tail;  // a 0x5C that trails
    EXPECT_EQ(FileNamePart(head + "\\" + tail), tail);
    EXPECT_EQ(FileNamePart(head + "\\" + trail), trail);
    EXPECT_EQ(Extension(head + "\\z." + tail), "." + tail);
    EXPECT_EQ(Extension(head + "." + trail), "." + trail);
    EXPECT_EQ(DirectoryPart(head + "/" + tail), head);
  }
}

TEST(PathUtil, ChangesExtensions) {
  struct {
    const char* path;
    const char* ext;
    const char* expected;
  } rows[] = {
      {"x.tar.gz", "", "x.tar"},
      {"abc.def", ".x", "abc.x"},
      {"abc", ".x", "abc.x"},
      {"abc", "", "abc"},
      {"name.", "", "name"},
      {".txt", ".x", ".x"},
      {"dir.x\\readme", ".t", "dir.x\\readme.t"},
      {"dir.x/readme", ".t", "dir.x/readme.t"},
      {"C:.x", "", "C:"},
      {"a.\x83\x5c", ".b", "a.b"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(test::ChangeExtension(r.path, r.ext), r.expected) << r.path;
  }
}

TEST(PathUtil, LastDelimiterCountsFromOneAndSkipsTrailBytes) {
  struct {
    std::string_view set;
    std::string text;
    std::size_t pos;
  } rows[] = {
      {"\\", "", 0},
      {"\\", "abc", 0},
      {"\\:", "a:b\\c", 4},
      {".\\", "a.b\\c", 4},
      {"\\", "\\", 1},
      {"\\", "\x95\x5c", 0},
      {"\\", "a\\\x95\x5c", 2},
      {"|", "\x95\x7c", 0},  // 0x7C can trail too
      {"\\\x95", "\x95\x5c", 0},  // the search goes on before the whole character
      {std::string_view("\\\0", 2), std::string("a\\\0", 3), 2},  // never a zero byte
  };
  for (const auto& r : rows) {
    EXPECT_EQ(LastDelimiter(r.set, r.text), r.pos) << r.text;
  }
}

TEST(PathUtil, FullPathGoesFromTheCurrentDirectory) {
  std::string expected = platform::CurrentDirectory();
  ASSERT_FALSE(expected.empty());
  if (expected.back() != '\\') expected += '\\';
  expected += "x.txt";
  EXPECT_EQ(FullPath("x.txt"), expected);
  EXPECT_EQ(FullPath(".\\sub\\..\\x.txt"), expected);
  // The absolute form must fit in 260 bytes.
  EXPECT_EQ(FullPath(std::string(300, 'x')), "");
}

TEST(PathUtil, UpperCasedKeepsLengthAndDoubleByteCharacters) {
  EXPECT_EQ(UpperCased("abc.Txt"), "ABC.TXT");
  // The trail byte "a" of a katakana stays lower case.
  EXPECT_EQ(UpperCased("\x83\x61" "a"), "\x83\x61" "A");
  EXPECT_EQ(UpperCased(std::string("a\0b", 3)), std::string("A\0B", 3));
}

}  // namespace
}  // namespace quillet
