#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/BatchRename.h"
#include "core/NameTransform.h"
#include "core/PathUtil.h"
#include "core/NameRules.h"
#include "platform/FileSystem.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/Plan.h"
#include "tests/common/RenameGate.h"
#include "tests/common/TempDir.h"
#include "tests/flow/CaseName.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/host/UnixPath.h"
#endif

namespace quillet {
namespace {

using Files = std::map<std::string, std::string>;

struct Entry {
  std::string oldName, newName;
  bool addressable = true;
};
using Entries = std::vector<Entry>;

// Shift-JIS names: \x95\x5C and \x83\x5C end in the backslash byte.
const std::string kHyo = "\x95\x5C";  // a kanji
const std::string kSo = "\x83\x5C";   // a katakana

struct RenameCase {
  const char* what;
  Files before;
  Entries entries;  // old names need not exist: the plan may be stale
  std::optional<std::size_t> failedAt;
  Files after;
  // The failure's reason in the words the user reads, naming the other party.
  const char* reason = nullptr;
};

const RenameCase kRenameCases[] = {
    {"every entry renamed",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}},
     std::nullopt,
     {{"x.txt", "A"}, {"y.txt", "B"}}},
    {"empty plan", {{"a.txt", "A"}}, {}, std::nullopt, {{"a.txt", "A"}}},
    {"first new name exists",
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}},
     {{"a.txt", "b.txt"}, {"c.txt", "d.txt"}},
     0,
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}},
     "「b.txt」が既にあります。"},
    {"later new name exists",
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}},
     {{"a.txt", "x.txt"}, {"c.txt", "b.txt"}, {"b.txt", "y.txt"}},
     1,
     {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"swap",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", "b.txt"}, {"b.txt", "a.txt"}},
     0,
     {{"a.txt", "A"}, {"b.txt", "B"}}},
    {"new names collide",
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}},
     {{"a.txt", "z.txt"}, {"b.txt", "z.txt"}, {"c.txt", "y.txt"}},
     1,
     {{"z.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"empty new name",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", ""}, {"b.txt", "c.txt"}},
     0,
     {{"a.txt", "A"}, {"b.txt", "B"}}},
    {"same name is nothing to do",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", "a.txt"}, {"b.txt", "c.txt"}},
     std::nullopt,
     {{"a.txt", "A"}, {"c.txt", "B"}}},
    {"case only",
     {{"abc.txt", "A"}, {"Def.TXT", "D"}},
     {{"abc.txt", "ABC.TXT"}, {"Def.TXT", "def.txt"}},
     std::nullopt,
     {{"ABC.TXT", "A"}, {"def.txt", "D"}}},
    {"case only beside a file of the temporary name",
     {{"abc.txt", "A"}, {"abc.txt.~quillet0", "T"}},
     {{"abc.txt", "Abc.txt"}},
     std::nullopt,
     {{"Abc.txt", "A"}, {"abc.txt.~quillet0", "T"}}},
    {"file gone since the preview",
     {{"a.txt", "A"}, {"c.txt", "C"}},
     {{"a.txt", "x.txt"}, {"gone.txt", "y.txt"}, {"c.txt", "z.txt"}},
     1,
     {{"x.txt", "A"}, {"c.txt", "C"}},
     "「gone.txt」が見つかりません。"},
    {"file gone before a case-only change",
     {{"c.txt", "C"}},
     {{"gone.txt", "GONE.TXT"}, {"c.txt", "z.txt"}},
     0,
     {{"c.txt", "C"}}},
    {"old name that does not address the listed file",
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}},
     {{"a.txt", "x.txt"}, {"b.txt", "y.txt", false}, {"c.txt", "z.txt"}},
     1,
     {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"unaddressable entry whose name stays",
     {{"a.txt", "A"}},
     {{"a.txt", "a.txt", false}},
     0,
     {{"a.txt", "A"}}},
    {"Shift-JIS names ending in the backslash byte",
     {{kHyo + ".txt", "H"}, {"a" + kSo, "S"}},
     {{kHyo + ".txt", kSo + kHyo + ".txt"}, {"a" + kSo, kHyo}},
     std::nullopt,
     {{kSo + kHyo + ".txt", "H"}, {kHyo, "S"}}},
    // Refused before the file system is asked, on every platform alike.
    {"name the system refuses",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", "a<b.txt"}, {"b.txt", "c.txt"}},
     0,
     {{"a.txt", "A"}, {"b.txt", "B"}}},
    {"device name",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"b.txt", "c.txt"}, {"a.txt", "con.txt"}},
     1,
     {{"a.txt", "A"}, {"c.txt", "B"}}},
    {"new name of dots only", {{"a.txt", "A"}}, {{"a.txt", "..."}}, 0, {{"a.txt", "A"}}},
#ifndef _WIN32
    // Only the host can make the file: a Windows path of that name is the device.
    {"listed file of a device name",
     {{"aux", "X"}, {"b.txt", "B"}},
     {{"b.txt", "c.txt"}, {"aux", "y"}},
     1,
     {{"aux", "X"}, {"c.txt", "B"}}},
#endif
    {"trailing dots and blanks are not stored",
     {{"a.txt", "A"}},
     {{"a.txt", "x. ."}},
     std::nullopt,
     {{"x", "A"}}},
#ifdef _WIN32
    // Case-blind names: only there is B.TXT the same name as b.txt.
    {"new name exists in other case",
     {{"a.txt", "A"}, {"B.TXT", "B"}},
     {{"a.txt", "b.txt"}},
     0,
     {{"a.txt", "A"}, {"B.TXT", "B"}}},
#endif
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.what; }

// A plan over dir whose old names all address their files.
RenamePlan PlanIn(const test::TempDir& dir, std::vector<std::string> oldNames,
                  std::vector<std::string> newNames) {
  return test::PlanIn(dir.Path(), std::move(oldNames), std::move(newNames));
}

RenamePlan PlanIn(const test::TempDir& dir, const Entries& entries) {
  RenamePlan plan = PlanIn(dir, {}, {});
  for (const Entry& e : entries) {
    plan.OldNames.push_back(e.oldName);
    plan.NewNames.push_back(e.newName);
    plan.Addressable.push_back(e.addressable);
  }
  return plan;
}

class RenameFilesTest : public testing::TestWithParam<RenameCase> {};

TEST_P(RenameFilesTest, FinalNamesAndContents) {
  const RenameCase& c = GetParam();
  test::TempDir dir;
  for (const auto& [name, content] : c.before) dir.Write(name, content);
  ASSERT_EQ(dir.Files(), c.before);
  const BatchEnd end = RenameFiles(PlanIn(dir, c.entries), nullptr);
  EXPECT_EQ(end.How == BatchEnd::Failed ? std::optional<std::size_t>(end.At) : std::nullopt, c.failedAt);
  EXPECT_EQ(dir.Files(), c.after);
  if (c.reason) {
    EXPECT_EQ(FaultText(end.Fault, end.Party), c.reason);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RenameFilesTest, testing::ValuesIn(kRenameCases),
                         test::CaseName());

// Every spelling of a way out of the directory is refused before any call (a
// backslash byte inside a double-byte character is none: see the table).
TEST(RenameFiles, NewNameLeadingIntoAnotherDirectoryFails) {
  for (const std::string newName : {"sub\\b.txt", "sub/b.txt", "..\\b.txt", "C:b.txt"}) {
    test::TempDir dir;
    dir.MakeDir("sub");
    dir.Write("a.txt", "A");
    EXPECT_EQ(test::FailedLine(PlanIn(dir, {"a.txt"}, {newName})), std::optional<std::size_t>(0))
        << newName;
    EXPECT_EQ(dir.Files(), (Files{{"a.txt", "A"}})) << newName;
    EXPECT_EQ(dir.Files("sub\\"), Files{}) << newName;
  }
}

// The name transformation keeps a "\\" that pieces set side by side make
// (here the trail byte of ソ, 83 5C, once a lead byte of the pattern without
// its trail byte took the lead byte of ソ for one): the preview shows it, and
// the batch refuses it instead of renaming the file to what follows it.
TEST(RenameFiles, NewNameWhosePiecesMakeADelimiterFails) {
  const std::string soft = "\x83\x5C\x83\x74\x83\x67.txt";  // ソフト.txt
  const std::string newName = ConvertName(soft, "*.txt", RenamePattern("[\x83*].txt"));
  ASSERT_EQ(newName, "[\x83\x83\\\x83\x74\x83\x67].txt");
  ASSERT_NE(FileNamePart(newName), newName);
  test::TempDir dir;
  dir.Write(soft, "S");
  EXPECT_EQ(test::FailedLine(PlanIn(dir, {soft}, {newName})), std::optional<std::size_t>(0));
  EXPECT_EQ(dir.Files(), (Files{{soft, "S"}}));
}

// Broken plans stop at the first entry that lacks a part, touching nothing.
TEST(RenameFiles, PlanLackingAPartStopsAtTheGap) {
  test::TempDir dir;
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  RenamePlan fewerNewNames = PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt"});
  EXPECT_EQ(test::FailedLine(fewerNewNames), std::optional<std::size_t>(1));
  EXPECT_EQ(dir.Files(), (Files{{"x.txt", "A"}, {"b.txt", "B"}}));
  RenamePlan fewerFlags = PlanIn(dir, {"x.txt", "b.txt"}, {"y.txt", "z.txt"});
  fewerFlags.Addressable.pop_back();
  EXPECT_EQ(test::FailedLine(fewerFlags), std::optional<std::size_t>(1));
  EXPECT_EQ(dir.Files(), (Files{{"y.txt", "A"}, {"b.txt", "B"}}));
}

// The rules by which the batch refuses an entry before any call.
TEST(EntryFault, EmptyDelimitedOrUnaddressable) {
  struct Row {
    std::string newName;
    bool addressable;
    bool refused;
  } rows[] = {
      {"b.txt", true, false},
      {"b.txt", false, true},
      {"", true, true},
      {"sub\\b.txt", true, true},
      {"sub/b.txt", true, true},
      {"C:b.txt", true, true},
      {"..\\b.txt", true, true},
      {"\x95\x5C.txt", true, false},  // 表: the 5C is its trail byte
      {"a\x95sub\\x.txt", true, true},  // 95 73 pair up, the "\\" stands alone
  };
  for (const Row& r : rows) {
    RenamePlan plan;
    plan.OldNames = {"a.txt"};
    plan.NewNames = {r.newName};
    plan.Addressable = {r.addressable};
    std::string made;
    EXPECT_EQ(EntryFault(plan, 0, made) != RenameFault::None, r.refused) << r.newName << " " << r.addressable;
  }
  RenamePlan plan;
  std::string made;
  EXPECT_NE(EntryFault(plan, 0, made), RenameFault::None) << "an index past the plan";
}

// A folder that holds both spellings of a name (a case-sensitive file
// system allows it). Renaming one to the other's spelling, or to a third
// spelling that the file system finds the other under, must fail at that
// entry without touching anything: a detour over a temporary name could not
// end, nor come back where the other spelling answers to the old name too,
// and would leave the file at the temporary name.
TEST(RenameFiles, CaseOnlyChangeBesideAnotherSpellingFailsUntouched) {
  struct Case {
    const char* what;
    Entries entries;
  } cases[] = {
      {"to the other spelling", {{"a.txt", "A.TXT"}}},
      {"from the other spelling", {{"A.TXT", "a.txt"}}},
      {"to a third spelling", {{"a.txt", "A.txt"}}},
      {"both to upper-case extensions", {{"A.TXT", "A.txt"}, {"a.txt", "a.TXT"}}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::LinuxSide linux(dir.Path());
    if (!linux.Available()) GTEST_SKIP() << "no Linux side to make both spellings on";
    linux.Write("a.txt", "lower");
    linux.Write("A.TXT", "upper");
    const Files before = linux.Files();
    ASSERT_EQ(before.size(), 2u) << c.what;
    EXPECT_EQ(test::FailedLine(PlanIn(dir, c.entries)), std::optional<std::size_t>(0)) << c.what;
    EXPECT_EQ(linux.Files(), before) << c.what;
  }
}

// Entries of a Linux disk that a rename would not move as listed (under Wine
// a link's rename moves the file it leads to; one onto another name of the
// same file leaves both) stop the batch before anything moves, as forecast;
// so does a link that leads nowhere or to itself at the new name, which
// Wine does not list (and its own rename would replace).
TEST(RenameFiles, LinksFifosAndSecondNamesStopUntouched) {
  const struct {
    const char* make;
    Entry entry;
    RenameFault fault;
    bool listed = true;
  } rows[] = {
      {"ln -s a.txt b.txt", {"b.txt", "c.txt"}, RenameFault::NotAFile},
      {"mkfifo f.txt", {"f.txt", "x.txt"}, RenameFault::NotAFile},
      {"ln a.txt b.txt", {"a.txt", "b.txt"}, RenameFault::TargetExists},
      {"ln -s nowhere b.txt", {"a.txt", "b.txt"}, RenameFault::TargetExists, false},
      {"ln -s b.txt b.txt", {"a.txt", "b.txt"}, RenameFault::TargetExists, false},
      {"mkdir d && ln -s nowhere e", {"d", "e"}, RenameFault::TargetExists, false},
  };
  for (const auto& row : rows) {
    test::TempDir dir;
    test::LinuxSide linux(dir.Path());
    if (!linux.Available()) GTEST_SKIP() << "no Linux side";
    linux.Write("a.txt", "A");
    linux.Shell(row.make);
    const Files before = linux.Files();
    const RenamePlan plan = PlanIn(dir, {row.entry.oldName}, {row.entry.newName});
    if (row.listed) {
      EXPECT_EQ(test::ForecastStopOf(plan), (ForecastStop{0, row.fault})) << row.make;
    }
    EXPECT_EQ(RenameFiles(plan, nullptr).Fault, row.fault) << row.make;
    EXPECT_EQ(linux.Files(), before) << row.make;
    if (!row.listed) linux.Shell("test -L " + row.entry.newName);
  }
}

test::LinuxSide* linkMaker = nullptr;

bool ReplaceByALink(const std::string&, const std::string&) {
  linkMaker->Shell("mv a.txt sub/x.txt && ln -s sub/x.txt a.txt");
  return true;
}

// What the rename moves is looked at in the very open that moves it: a file
// replaced by a link right before is still refused, and the file the link
// leads to stays where it is.
TEST(RenameFiles, AFileReplacedByALinkRightBeforeItsRenameStays) {
  test::TempDir dir;
  test::LinuxSide linux(dir.Path());
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  dir.MakeDir("sub");
  dir.Write("a.txt", "A");
  linkMaker = &linux;
  const test::GateSet gate(ReplaceByALink);
  EXPECT_EQ(RenameFiles(PlanIn(dir, {"a.txt"}, {"b.txt"}), nullptr).Fault, RenameFault::NotAFile);
  EXPECT_EQ(dir.Files("sub\\"), (Files{{"x.txt", "A"}}));
  EXPECT_EQ(linux.Files(), (Files{{"a.txt", "A"}}));
}

// The second step of the case-only rename of abc.txt to ABC.TXT: from the
// temporary name to the new one (the way back leaves it too, for abc.txt).
bool SecondStep(const std::string& oldPath, const std::string& newPath) {
  return FileNamePart(oldPath).starts_with("abc.txt.~quillet") && FileNamePart(newPath) == "ABC.TXT";
}

bool RefuseTheSecondStep(const std::string& oldPath, const std::string& newPath) {
  return !SecondStep(oldPath, newPath);
}

// When the second step of the detour fails, the file goes back under its old
// name: left at the temporary one, the user could not find it.
TEST(RenameFiles, CaseOnlyRenameWhoseSecondStepFailsPutsTheFileBack) {
  test::TempDir dir;
  dir.Write("abc.txt", "A");
  dir.Write("other.txt", "O");
  {
    test::GateSet gate(RefuseTheSecondStep);
    EXPECT_EQ(test::FailedLine(PlanIn(dir, {"abc.txt", "other.txt"}, {"ABC.TXT", "x.txt"})),
              std::optional<std::size_t>(0));
  }
  EXPECT_EQ(dir.Files(), (Files{{"abc.txt", "A"}, {"other.txt", "O"}}));
}

#ifndef _WIN32
// Another program takes the new name between the two steps.
bool TakeTheNewNameBetweenTheSteps(const std::string& oldPath, const std::string& newPath) {
  if (SecondStep(oldPath, newPath)) std::ofstream(platform::host::ToUnixPath(newPath)) << "taken";
  return true;
}

// The same with the new name taken for real between the steps. Only where
// names are case-sensitive: under Windows rules the newcomer answers to the
// old name too, and the file could not go back there either.
TEST(RenameFiles, CaseOnlyRenameWhoseNewNameIsTakenMeanwhilePutsTheFileBack) {
  test::TempDir dir;
  dir.Write("abc.txt", "A");
  {
    test::GateSet gate(TakeTheNewNameBetweenTheSteps);
    EXPECT_EQ(test::FailedLine(PlanIn(dir, {"abc.txt"}, {"ABC.TXT"})), std::optional<std::size_t>(0));
  }
  EXPECT_EQ(dir.Files(), (Files{{"abc.txt", "A"}, {"ABC.TXT", "taken"}}));
}
#endif

// Asked before each entry, the batch stops where it is told to; a stop and a
// failure at the same place tell themselves apart.
struct ObservedCase {
  const char* what;
  Entries entries;
  std::size_t stopAt;  // the index before which the observer says stop; past the end: never
  BatchEnd end;
  Files after;
};

const ObservedCase kObservedCases[] = {
    {"never stopped", {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}, {"c.txt", "z.txt"}}, 9,
     {.How = BatchEnd::Done, .At = 3, .Renamed = 3}, {{"x.txt", "A"}, {"y.txt", "B"}, {"z.txt", "C"}}},
    {"stopped before the first", {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}}, 0,
     {BatchEnd::Cancelled, 0}, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"stopped after two", {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}, {"c.txt", "z.txt"}}, 2,
     {.How = BatchEnd::Cancelled, .At = 2, .Renamed = 2}, {{"x.txt", "A"}, {"y.txt", "B"}, {"c.txt", "C"}}},
    {"a line that keeps its name is no file renamed", {{"a.txt", "a.txt"}, {"b.txt", "y.txt"}, {"c.txt", "z.txt"}},
     2, {.How = BatchEnd::Cancelled, .At = 2, .Renamed = 1}, {{"a.txt", "A"}, {"y.txt", "B"}, {"c.txt", "C"}}},
    {"failure comes before the stop", {{"a.txt", "x.txt"}, {"b.txt", "c.txt"}, {"c.txt", "z.txt"}},
     2, {.How = BatchEnd::Failed, .At = 1, .Renamed = 1}, {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"stop comes before the failure", {{"a.txt", "x.txt"}, {"b.txt", "c.txt"}}, 1,
     {.How = BatchEnd::Cancelled, .At = 1, .Renamed = 1}, {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"empty plan", {}, 0, {BatchEnd::Done, 0}, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
};

void PrintTo(const ObservedCase& c, std::ostream* os) { *os << c.what; }

class ObservedBatchTest : public testing::TestWithParam<ObservedCase> {};

TEST_P(ObservedBatchTest, StopsWhereToldAndReportsHow) {
  const ObservedCase& c = GetParam();
  test::TempDir dir;
  for (const auto& [name, content] : Files{{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}})
    dir.Write(name, content);
  std::vector<std::string> oldNames;
  for (const Entry& e : c.entries) oldNames.push_back(e.oldName);
  std::vector<std::size_t> asked;
  const BatchEnd end = RenameFiles(PlanIn(dir, c.entries),
                                   [&](std::size_t index, std::size_t count, const std::string& name) {
                                     EXPECT_EQ(count, oldNames.size());
                                     EXPECT_EQ(name, oldNames.at(index));
                                     asked.push_back(index);
                                     return index != c.stopAt;
                                   });
  EXPECT_EQ(end.How, c.end.How);
  EXPECT_EQ(end.At, c.end.At);
  EXPECT_EQ(end.Renamed, c.end.Renamed);
  EXPECT_EQ(dir.Files(), c.after);
  // Asked once per entry reached, in order, and never again after the end.
  const std::size_t reached = end.How == BatchEnd::Done ? end.At : end.At + 1;
  std::vector<std::size_t> expected(reached);
  for (std::size_t i = 0; i < reached; ++i) expected[i] = i;
  EXPECT_EQ(asked, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ObservedBatchTest, testing::ValuesIn(kObservedCases),
                         test::CaseName());

// Without anyone to ask, the batch runs to its end.
TEST(RenameFiles, EmptyObserverRunsTheWholeBatch) {
  test::TempDir dir;
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  EXPECT_EQ(test::OutcomeOf(RenameFiles(PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt", "b.txt"}), nullptr)),
            test::Outcome(BatchEnd::Done, 2));
  EXPECT_EQ(dir.Files(), (Files{{"x.txt", "A"}, {"b.txt", "B"}}));
}

#ifdef _WIN32
// Another program holding the file open without delete sharing: that entry
// fails, the ones before it stay renamed, both for a plain and a case change.
TEST(RenameFiles, LockedFileStopsTheBatch) {
  for (const std::string newName : {"y.txt", "B.TXT"}) {
    test::TempDir dir;
    dir.Write("a.txt", "A");
    dir.Write("b.txt", "B");
    HANDLE lock = CreateFileA((dir.Path() + "b.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(test::FailedLine(PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt", newName})),
              std::optional<std::size_t>(1))
        << newName;
    CloseHandle(lock);
    EXPECT_EQ(dir.Files(), (Files{{"x.txt", "A"}, {"b.txt", "B"}})) << newName;
  }
}
#endif

}  // namespace
}  // namespace quillet
