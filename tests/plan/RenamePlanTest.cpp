// The rename plan built from real folders.

#include "core/RenamePlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/BatchRename.h"
#include "platform/FileSystem.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/Plan.h"
#include "tests/common/Process.h"
#include "tests/common/TempDir.h"

namespace quillet {
namespace {

const std::string Arrow = " \x81\xA8 ";  // "→" in code page 932

using Row = std::tuple<std::string, std::string, std::string>;  // line, old, new

// The plan's three lists as rows, sorted: search order is the platform's.
std::vector<Row> Rows(const RenamePlan& plan) {
  EXPECT_EQ(plan.Lines.size(), plan.OldNames.size());
  EXPECT_EQ(plan.NewNames.size(), plan.OldNames.size());
  std::vector<Row> rows;
  for (std::size_t i = 0; i < plan.Count() && i < plan.Lines.size() && i < plan.NewNames.size(); ++i)
    rows.emplace_back(plan.Lines[i], plan.OldNames[i], plan.NewNames[i]);
  std::sort(rows.begin(), rows.end());
  return rows;
}

Row R(const std::string& oldName, const std::string& newName) {
  return {oldName + Arrow + newName, oldName, newName};
}

void MakePhotos(const test::TempDir& dir) {
  dir.Write("IMG_0012.JPG");
  dir.Write("IMG_0013.JPG");
  dir.Write("notes.txt");
  dir.MakeDir("IMG_dir.JPG");
  dir.Write("\x82\x81" "b.jpg");  // a full-width a
#ifdef _WIN32
  dir.Write("IMG_0014.JPG");
  dir.Attributes("IMG_0014.JPG", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#endif
}

const std::string kGiant = std::string(999, 'x') + "*<";

TEST(RefreshList, ListsMatchingFilesWithTheirNewNames) {
  test::TempDir dir;
  MakePhotos(dir);
  std::vector<Row> photos = {R("IMG_0012.JPG", "photo_0012.jpg"), R("IMG_0013.JPG", "photo_0013.jpg")};
  std::vector<Row> bare = {R("IMG_0012.JPG", ""), R("IMG_0013.JPG", "")};
  std::vector<Row> fullWidth;  // the stand-in upper-cases a to z only
#ifdef _WIN32
  fullWidth.push_back(R("\x82\x81" "b.jpg", "b.x"));
  photos.push_back(R("IMG_0014.JPG", "photo_0014.jpg"));  // hidden and system
  bare.push_back(R("IMG_0014.JPG", ""));
#endif
  struct Case {
    std::string mask, pattern;
    std::vector<Row> rows;
    bool flag;
  } cases[] = {
      {"IMG_*.JPG", "photo_*.jpg", photos, true},
      {"IMG_*.JPG", "", bare, false},   // the lines end in the arrow and a blank
      // Wine's own search lists nothing for a "?" after a "*".
      {"IMG_*?.JPG", "photo_*?.jpg", photos, true},
      {"*?.txt", "*?.bak", {R("notes.txt", "notes.bak")}, true},
      {"notes.txt", "notes.txt", {R("notes.txt", "notes.txt")}, true},
      {"*.none", "*.x", {}, true},
      {"\x82\x60*", "*.x", fullWidth, true},  // a full-width A
      {"", "photo_*.jpg", {}, false},   // the directory text alone lists nothing
      {"", "", {}, false},
      // Longer than any name a disk holds: its first 513 bytes, then "…".
      {"*.txt", kGiant,
       {{"notes.txt" + Arrow + std::string(513, 'x') + "\x81\x63", "notes.txt", std::string(513, 'x')}}, true},
  };
  for (const Case& c : cases) {
    RenamePlan plan;
    EXPECT_EQ(RefreshList(dir.Path(), c.mask, c.pattern, plan), c.flag) << c.mask << " " << c.pattern;
    EXPECT_EQ(Rows(plan), c.rows) << c.mask << " " << c.pattern;
    EXPECT_EQ(plan.Addressable, std::vector<bool>(plan.Count(), true)) << c.mask;
    EXPECT_EQ(plan.EntryDir, dir.Path());
  }
  // The batch decides by the whole name: the "<" at its end, not the length.
  RenamePlan plan;
  RefreshList(dir.Path(), "*.txt", kGiant, plan);
  EXPECT_EQ(WholeNewName(plan, 0), std::string(999, 'x') + "notes<");
  EXPECT_EQ(LineCaptures(plan, 0).size(), 1u) << "the piece set down past the cut shows nowhere";
  EXPECT_EQ(RenameFiles(plan, nullptr).Fault, RenameFault::BadCharacter);
}

TEST(RefreshList, MissingDirectoryGivesAnEmptyPlan) {
  test::TempDir dir;
  RenamePlan plan;
  EXPECT_TRUE(RefreshList(dir.Path() + "gone\\", "*.*", "*.bak", plan));
  EXPECT_EQ(plan.Count(), 0u);
  EXPECT_TRUE(plan.Lines.empty());
}

TEST(RefreshList, RebuildReplacesThePreviousPlan) {
  test::TempDir dir;
  MakePhotos(dir);
  dir.MakeDir("sub");
  dir.Write("sub\\inner.txt");
  RenamePlan plan;
  RefreshList(dir.Path(), "*.*", "*.bak", plan);
  ASSERT_GE(plan.Count(), 3u);
  RefreshList(dir.Path(), "sub\\*.txt", "*.bak", plan);
  RefreshList(dir.Path(), "notes.txt", "", plan);
  EXPECT_EQ(Rows(plan), (std::vector<Row>{R("notes.txt", "")}));
  EXPECT_EQ(plan.EntryDir, dir.Path());
  RefreshList(dir.Path(), "*.none", "x", plan);
  EXPECT_EQ(Rows(plan), std::vector<Row>{});
}

TEST(RefreshList, EachRebuildClosesItsSearch) {
  test::TempDir dir;
  MakePhotos(dir);
  RenamePlan plan;
  int before = test::OpenHandles();
  for (const char* mask : {"*.JPG", "*.none", "", "gone\\*"}) {
    RefreshList(dir.Path(), mask, "*", plan);
    EXPECT_EQ(test::OpenHandles(), before) << mask;
  }
}

// 表 (95 5C) ends in the byte of "\": the name must stay whole.
TEST(RefreshList, ShiftJisNameWithTrailByte5CStaysWhole) {
  test::TempDir dir;
  dir.Write("\x95\x5C.txt");
  dir.Write("\x83\x5C\x83\x74\x83\x67.txt");  // ソフト
  RenamePlan plan;
  EXPECT_TRUE(RefreshList(dir.Path(), "*.txt", "*.bak", plan));
  EXPECT_EQ(Rows(plan), (std::vector<Row>{R("\x83\x5C\x83\x74\x83\x67.txt", "\x83\x5C\x83\x74\x83\x67.bak"),
                                          R("\x95\x5C.txt", "\x95\x5C.bak")}));
}

// A mask with a directory part lists that subdirectory; the renames go there.
TEST(RefreshList, MaskWithDirectoryPartAddressesThatDirectory) {
  test::TempDir dir;
  dir.Write("top.txt", "top");
  struct Case {
    std::string sub, mask;
  } cases[] = {
      {"sub", "sub\\*.txt"},
      {"\x95\x5C", "\x95\x5C\\*.txt"},  // a folder name that ends in 0x5C
      {"deep", "deep\\..\\deep\\*.txt"},
  };
  for (const Case& c : cases) {
    dir.MakeDir(c.sub);
    dir.Write(c.sub + "\\in.txt", c.sub);
    RenamePlan plan;
    EXPECT_TRUE(RefreshList(dir.Path(), c.mask, "*", plan)) << c.mask;
    ASSERT_EQ(plan.Count(), 1u) << c.mask;
    EXPECT_EQ(plan.OldNames[0], "in.txt");
    EXPECT_EQ(plan.Lines[0].substr(0, 6 + Arrow.size()), "in.txt" + Arrow);
    EXPECT_EQ(platform::FullPath(plan.EntryDir), platform::FullPath(dir.Path() + c.sub + "\\"));
    ASSERT_EQ(platform::RenameFile(plan.EntryDir + plan.OldNames[0], plan.EntryDir + "out.txt"), 0);
    EXPECT_EQ(dir.Files(c.sub + "\\"), (std::map<std::string, std::string>{{"out.txt", c.sub}}));
  }
  EXPECT_EQ(dir.Files(), (std::map<std::string, std::string>{{"top.txt", "top"}}));
}

// Names a Linux disk or a network share can hold, each beside a folder or a
// file that its listed name would address instead: the path loses a trailing
// blank or dot, the code page has a look-alike for "é", and a yen sign (a
// backslash on the host, where names are bytes) splits the name. The line
// shows the name whole, as the search gives it; the batch stops there,
// touching nothing.
TEST(RefreshList, NameThatAddressesAnotherFileIsListedButNeverRenamed) {
  using test::Utf8;
  struct Case {
    const char* what;
    std::string file;    // its name on Linux, UTF-8
    std::string beside;  // another file's or folder's name on Linux
    bool besideIsFolder;
    std::string mask, pattern, line;
    bool onHost;  // the host reads names byte for byte: no look-alikes there
  } cases[] = {
      {"trailing blank", "data ", "data", true, "data?", "new?", "data  → new ", true},
      {"trailing dot", "rep.", "rep", true, "rep*", "old*", "rep. → old", true},
#ifdef _WIN32
      {"yen sign", Utf8(u8"price¥100.txt"), "100.txt", false, "price*.txt", "new_*.txt",
       "price\\100.txt → new_.txt", true},
#else
      {"backslash", "price\\100.txt", "100.txt", false, "price*.txt", "new_*.txt",
       "price\\100.txt → new_.txt", true},
#endif
      {"look-alike", Utf8(u8"café.txt"), "cafe.txt", true, "caf?.txt", "new_*.txt",
       "cafe.txt → new_.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    test::LinuxSide linux(dir.Path());
    if (!linux.Available()) GTEST_SKIP() << "no Linux side to make the names on";
    linux.Write(c.file, "odd");
    if (c.besideIsFolder) {
      linux.MakeDir(c.beside);
      linux.Write(c.beside + "/inside", "kept");
    } else {
      linux.Write(c.beside, "beside");
    }
    const auto files = linux.Files();
    const auto folders = linux.Folders();
#ifndef _WIN32
    if (!c.onHost) continue;
#endif
    RenamePlan plan;
    ASSERT_TRUE(RefreshList(dir.Path(), c.mask, c.pattern, plan));
    ASSERT_EQ(plan.Lines, std::vector<std::string>{c.line});
    EXPECT_EQ(plan.Addressable, std::vector<bool>{false});
    EXPECT_EQ(test::FailedLine(plan), std::optional<std::size_t>(0));
    EXPECT_EQ(linux.Files(), files);
    EXPECT_EQ(linux.Folders(), folders);
    if (c.besideIsFolder) {
      EXPECT_EQ(dir.Files(c.beside + "\\"),
                (std::map<std::string, std::string>{{"inside", "kept"}}));
    }
  }
}

}  // namespace
}  // namespace quillet
