// The directory dialog's folder model over real folders: what the scan adds,
// where, in which order, and which node the directory text selects. No window
// is involved, so this runs under the sanitizers on the host as well.

#include "core/FolderTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/TempDir.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/host/UnixPath.h"
#endif

namespace quillet {
namespace {

using Index = FolderTree::Index;

// Drive types as platform::DriveType tells them.
constexpr unsigned kRemovable = 2, kFixed = 3;

// The temp directory's text without its final "\", the way a drive node's
// text is the root without one.
std::string DriveText(const test::TempDir& dir) {
  return dir.Path().substr(0, dir.Path().size() - 1);
}

std::vector<std::string> ChildTexts(const FolderTree& tree, Index node) {
  std::vector<std::string> texts;
  for (Index c = tree.FirstChild(node); c != FolderTree::None; c = tree.NextSibling(c))
    texts.push_back(tree.Text(c));
  return texts;
}

// The node whose texts from the drive down are these.
Index Find(const FolderTree& tree, Index drive, std::initializer_list<const char*> texts) {
  Index node = drive;
  for (const char* text : texts) {
    Index c = tree.FirstChild(node);
    while (c != FolderTree::None && std::string(tree.Text(c)) != text) c = tree.NextSibling(c);
    if (c == FolderTree::None) return FolderTree::None;
    node = c;
  }
  return node;
}

// The node's texts from the drive down, joined by "\\".
std::string PathOf(const FolderTree& tree, Index node) {
  std::string path = tree.Text(node);
  for (node = tree.Parent(node); tree.Parent(node) != FolderTree::None; node = tree.Parent(node))
    path = tree.Text(node) + ("\\" + path);
  return path;
}

Index Scanned(FolderTree& tree, const test::TempDir& dir) {
  const Index drive = tree.AddDrive(DriveText(dir), kFixed);
  tree.ScanFolder(drive);
  tree.Sort();
  return drive;
}

TEST(FolderTree, FoldersOnlySortedCaseBlind) {
  test::TempDir dir;
  // Names that the locale's order and the host stand-in's agree on: letters
  // compare case-blind (byte order would put every capital first).
  std::vector<std::string> sorted = {"a", "AB", "b", "Ba", "C1", "c10"};
#ifndef _WIN32
  // Only a case-sensitive file system holds both spellings: lower case first.
  sorted = {"a", "A", "AB", "b", "Ba", "C1", "c10"};
  dir.MakeDir("A");
#endif
  for (const char* name : {"b", "C1", "a", "Ba", "c10", "AB"}) dir.MakeDir(name);
  dir.Write("file.txt");
  dir.Write("a.txt");
  FolderTree tree;
  const Index drive = Scanned(tree, dir);
  EXPECT_EQ(ChildTexts(tree, drive), sorted);
  EXPECT_EQ(ChildTexts(tree, FolderTree::Computer), std::vector<std::string>{DriveText(dir)});
}

TEST(FolderTree, EmptyLevelsAndADeepChainKeepTheirLinks) {
  test::TempDir dir;
  dir.MakeDir("empty");
  dir.MakeDir("files");
  dir.Write("files\\only.txt");
  std::string deep;
  const int depth = 12;
  for (int i = 0; i < depth; ++i) {
    deep += (i ? "\\d" : "d") + std::to_string(i);
    dir.MakeDir(deep);
  }
  FolderTree tree;
  const Index drive = Scanned(tree, dir);
  EXPECT_EQ(ChildTexts(tree, drive), (std::vector<std::string>{"d0", "empty", "files"}));
  EXPECT_EQ(tree.FirstChild(Find(tree, drive, {"empty"})), FolderTree::None);
  EXPECT_EQ(tree.FirstChild(Find(tree, drive, {"files"})), FolderTree::None);

  Index node = Find(tree, drive, {"d0"});
  for (int i = 1; i < depth; ++i) {
    ASSERT_NE(node, FolderTree::None);
    const Index child = tree.FirstChild(node);
    ASSERT_NE(child, FolderTree::None) << "level " << i;
    EXPECT_EQ(tree.Parent(child), node);
    EXPECT_EQ(tree.NextSibling(child), FolderTree::None);
    node = child;
  }
  EXPECT_EQ(PathOf(tree, node), DriveText(dir) + "\\" + deep);
  EXPECT_EQ(tree.Size(), 1u + 1u + 2u + depth);  // computer, drive, folders
}

// What the dialog chooses the images by: only a drive has a type, and a folder
// directly under it is its child; the computer node's caption is the dialog's.
TEST(FolderTree, DriveTypeOnlyOnTheDriveNode) {
  test::TempDir dir;
  dir.MakeDir("RECYCLED");
  dir.MakeDir("sub");
  dir.MakeDir("sub\\RECYCLED");
  FolderTree tree;
  const Index drive = Scanned(tree, dir);
  EXPECT_EQ(tree.DriveType(drive), kFixed);
  EXPECT_EQ(tree.Parent(Find(tree, drive, {"RECYCLED"})), drive);
  EXPECT_EQ(tree.DriveType(Find(tree, drive, {"RECYCLED"})), 0u);
  EXPECT_EQ(tree.DriveType(Find(tree, drive, {"sub", "RECYCLED"})), 0u);
  EXPECT_EQ(tree.DriveType(FolderTree::Computer), 0u);
  EXPECT_STREQ(tree.Text(FolderTree::Computer), "");
}

// The directory text selects its node by upper-cased comparison; an exact
// match wins wherever it comes in the scan.
TEST(FolderTree, SelectionByDirectoryText) {
  test::TempDir dir;
  dir.MakeDir("Work");
  dir.MakeDir("Work\\Inner");
  struct Case {
    std::string selected;
    std::vector<const char*> node;  // empty: the drive; {"-"}: none
  } const cases[] = {
      {DriveText(dir) + "\\Work\\", {"Work"}},
      {DriveText(dir) + "\\WORK\\INNER\\", {"Work", "Inner"}},
      {dir.Path(), {}},
      {DriveText(dir) + "\\Work", {"-"}},  // no final "\": names no node
      {DriveText(dir) + "\\Elsewhere\\", {"-"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    FolderTree tree(c.selected);
    const Index drive = Scanned(tree, dir);
    Index want = drive;
    if (!c.node.empty() && std::string(c.node[0]) == "-") {
      want = FolderTree::None;
    } else {
      for (const char* text : c.node) {
        Index child = tree.FirstChild(want);
        while (child != FolderTree::None && tree.Text(child) != std::string(text))
          child = tree.NextSibling(child);
        want = child;
      }
    }
    EXPECT_EQ(tree.Selected(), want);
  }
}

#ifndef _WIN32
// Links made from the Unix side: a linked folder shows what it leads to, and
// a link back onto the path being scanned is listed but not entered, under
// whichever name the path took. Two links back per level would double the
// nodes each level if the scan followed them.
TEST(FolderTree, LinksShowTheirFoldersAndCyclesEnd) {
  test::TempDir dir;
  dir.MakeDir("Shared");
  dir.MakeDir("Shared\\a");
  dir.MakeDir("Shared\\b");
  const std::string root = platform::host::ToUnixPath(dir.Path());
  ASSERT_EQ(symlink("Shared", (root + "Link").c_str()), 0);
  ASSERT_EQ(symlink("..", (root + "Shared/a/up").c_str()), 0);
  ASSERT_EQ(symlink("../..", (root + "Shared/a/top").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (root + "dangling").c_str()), 0);
  FolderTree tree;
  const Index drive = Scanned(tree, dir);
  EXPECT_EQ(ChildTexts(tree, drive), (std::vector<std::string>{"Link", "Shared"}));
  const std::vector<std::string> shared = {"a", "b"}, a = {"top", "up"};
  for (const char* top : {"Shared", "Link"}) {
    SCOPED_TRACE(top);
    EXPECT_EQ(ChildTexts(tree, Find(tree, drive, {top})), shared);
    EXPECT_EQ(ChildTexts(tree, Find(tree, drive, {top, "a"})), a);
    for (const char* back : {"up", "top"}) {
      const Index link = Find(tree, drive, {top, "a", back});
      ASSERT_NE(link, FolderTree::None) << back;
      EXPECT_EQ(tree.FirstChild(link), FolderTree::None) << back << " leads back onto the path";
    }
  }
  EXPECT_EQ(tree.Size(), 2u + 2u * 5u);  // computer, drive; Shared and Link with a, b, up, top each
}
#endif

// The path limit counts characters: folders of 40 kanji each are listed as
// deep as the path that lists their files (directory text and "*.*") has at
// most MaxPathChars characters, though it takes twice as many bytes. The
// next level is left out; only the host can make it (the Windows calls
// refuse such a path), so only there is its absence seen.
TEST(FolderTree, PathLimitCountsCharactersNotBytes) {
  test::TempDir dir;
  const std::string kanji40 = [] {
    std::string s;
    for (int i = 0; i < 40; ++i) s += "\x8A\xBF";  // 漢
    return s;
  }();
  const std::size_t driveChars = platform::CharCount(DriveText(dir));
  // The directory text of level n: the drive, n times "\" and a name, "\".
  const std::size_t deepest = (platform::MaxPathChars - 3 - 1 - driveChars) / 41;
  ASSERT_GE(deepest, 3u);
  std::string sub;
  for (std::size_t level = 0; level < deepest; ++level) {
    sub += (level ? "\\" : "") + kanji40;
    dir.MakeDir(sub);
  }
  ASSERT_GT(dir.Path().size() + sub.size(), 260u);
#ifndef _WIN32
  dir.MakeDir(sub + "\\" + kanji40);
#endif
  FolderTree tree(dir.Path() + sub + "\\");
  const Index drive = Scanned(tree, dir);
  Index node = drive;
  for (std::size_t level = 0; level < deepest; ++level) {
    node = tree.FirstChild(node);
    ASSERT_NE(node, FolderTree::None) << "level " << level + 1;
    EXPECT_EQ(tree.Text(node), kanji40);
  }
  EXPECT_EQ(tree.FirstChild(node), FolderTree::None);
  EXPECT_EQ(tree.Selected(), node);
  EXPECT_EQ(PathOf(tree, node) + "\\", dir.Path() + sub + "\\");
}

#ifndef _WIN32
// A folder is kept while the path that lists its files ("\\*.*" added) has
// at most MaxPathChars characters, double-byte ones counted once; one more
// and the dialog would offer a folder whose files cannot be listed. Only the
// host makes such a path.
TEST(FolderTree, ListingPathOneOverTheLimitIsLeftOut) {
  test::TempDir dir;
  const std::size_t driveChars = platform::CharCount(DriveText(dir));
  // Two levels: a folder of 60 kanji, and under it folders of ASCII names.
  std::string kanji;
  for (int i = 0; i < 60; ++i) kanji += "\x8A\xBF";  // 漢
  const auto nameFor = [&](std::size_t listing) {
    return std::string(listing - driveChars - 1 - 60 - 1 - 4, listing % 2 ? 'a' : 'b');
  };
  dir.MakeDir(kanji);
  for (const std::size_t listing : {platform::MaxPathChars, platform::MaxPathChars + 1})
    dir.MakeDir(kanji + "\\" + nameFor(listing));
  FolderTree tree(dir.Path());
  const Index drive = Scanned(tree, dir);
  const Index top = tree.FirstChild(drive);
  ASSERT_NE(top, FolderTree::None);
  EXPECT_EQ(ChildTexts(tree, top), std::vector<std::string>{nameFor(platform::MaxPathChars)});
}
#endif

// A folder whose listed name addresses another folder, or none (a trailing
// dot or blank, a character the code page lacks), is left out: picked, it
// would open another directory than the one the user saw.
TEST(FolderTree, FoldersTheirNamesCannotAddressAreLeftOut) {
  test::TempDir dir;
  test::LinuxSide linux(dir.Path());
  if (!linux.Available()) GTEST_SKIP() << "no Linux side to make the names on";
  dir.MakeDir("cafe");
  dir.MakeDir("rep");
  linux.MakeDir("rep.");
  linux.MakeDir("data ");
#ifdef _WIN32
  linux.MakeDir(test::Utf8(u8"café"));  // listed as cafe
#endif
  FolderTree tree;
  const Index drive = Scanned(tree, dir);
  EXPECT_EQ(ChildTexts(tree, drive), (std::vector<std::string>{"cafe", "rep"}));
}

TEST(FolderTree, MissingDirectoryKeepsItsNodeWithoutChildren) {
  test::TempDir dir;
  FolderTree tree;
  const Index drive = tree.AddDrive(dir.Path() + "gone", kRemovable);
  tree.ScanFolder(drive);
  tree.ScanFolder(FolderTree::None);  // no such node: nothing happens
  tree.Sort();
  EXPECT_EQ(tree.Size(), 2u);
  EXPECT_EQ(tree.FirstChild(drive), FolderTree::None);
  EXPECT_EQ(tree.DriveType(drive), kRemovable);
}

// The scan tells its progress before each folder it reads, counting from one
// with the drive's text; told to stop, it reads no further folder and keeps
// the nodes it has.
TEST(FolderTree, ReportsEachFolderReadAndStopsWhenTold) {
  test::TempDir dir;
  for (const char* name : {"a", "a\\x", "a\\y", "b", "b\\z", "c"}) dir.MakeDir(name);
  struct Case {
    std::size_t stopAt;  // the report answered with false; 0: none
    std::size_t reports;
    bool stopped;
  };
  // The drive and its six folders are seven listings to read.
  for (const Case& c : {Case{0, 7, false}, Case{1, 1, true}, Case{4, 4, true}}) {
    SCOPED_TRACE(c.stopAt);
    FolderTree tree;
    std::vector<std::size_t> counts;
    tree.ReportTo([&](std::string_view drive, std::size_t folders) {
      EXPECT_EQ(drive, DriveText(dir));
      counts.push_back(folders);
      return folders != c.stopAt;
    });
    const Index drive = Scanned(tree, dir);
    std::vector<std::size_t> expected(c.reports);
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i + 1;
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(tree.Cancelled(), c.stopped);
    if (!c.stopped) {
      EXPECT_EQ(tree.Size(), 2u + 6u);
    }
    if (c.stopAt == 1) {
      EXPECT_EQ(tree.FirstChild(drive), FolderTree::None) << "stopped before the drive's listing";
    }
  }
}

}  // namespace
}  // namespace quillet
