#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/BatchRename.h"
#include "tests/flow/CaseName.h"
#include "tests/common/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet {
namespace {

using Files = std::map<std::string, std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;  // old, new

// Shift-JIS names: \x95\x5C and \x83\x5C end in the backslash byte.
const std::string kHyo = "\x95\x5C";  // a kanji
const std::string kSo = "\x83\x5C";   // a katakana

struct RenameCase {
  const char* what;
  Files before;
  Entries entries;  // old names need not exist: the plan may be stale
  std::optional<std::size_t> failedAt;
  Files after;
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
     {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
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
     {{"abc.txt", "A"}, {"~quillet0.tmp", "T"}},
     {{"abc.txt", "Abc.txt"}},
     std::nullopt,
     {{"Abc.txt", "A"}, {"~quillet0.tmp", "T"}}},
    {"file gone since the preview",
     {{"a.txt", "A"}, {"c.txt", "C"}},
     {{"a.txt", "x.txt"}, {"gone.txt", "y.txt"}, {"c.txt", "z.txt"}},
     1,
     {{"x.txt", "A"}, {"c.txt", "C"}}},
    {"file gone before a case-only change",
     {{"c.txt", "C"}},
     {{"gone.txt", "GONE.TXT"}, {"c.txt", "z.txt"}},
     0,
     {{"c.txt", "C"}}},
    {"Shift-JIS names ending in the backslash byte",
     {{kHyo + ".txt", "H"}, {"a" + kSo, "S"}},
     {{kHyo + ".txt", kSo + kHyo + ".txt"}, {"a" + kSo, kHyo}},
     std::nullopt,
     {{kSo + kHyo + ".txt", "H"}, {kHyo, "S"}}},
#ifdef _WIN32
    // Case-blind names: only there is B.TXT the same name as b.txt.
    {"new name exists in other case",
     {{"a.txt", "A"}, {"B.TXT", "B"}},
     {{"a.txt", "b.txt"}},
     0,
     {{"a.txt", "A"}, {"B.TXT", "B"}}},
    {"name the system refuses",
     {{"a.txt", "A"}, {"b.txt", "B"}},
     {{"a.txt", "a<b.txt"}, {"b.txt", "c.txt"}},
     0,
     {{"a.txt", "A"}, {"b.txt", "B"}}},
#endif
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.what; }

RenamePlan PlanIn(const test::TempDir& dir, std::vector<std::string> oldNames,
                  std::vector<std::string> newNames) {
  RenamePlan plan;
  plan.EntryDir = dir.Path();
  plan.OldNames = std::move(oldNames);
  plan.NewNames = std::move(newNames);
  return plan;
}

class RenameFilesTest : public testing::TestWithParam<RenameCase> {};

TEST_P(RenameFilesTest, FinalNamesAndContents) {
  const RenameCase& c = GetParam();
  test::TempDir dir;
  for (const auto& [name, content] : c.before) dir.Write(name, content);
  ASSERT_EQ(dir.Files(), c.before);
  std::vector<std::string> oldNames, newNames;
  for (const auto& [oldName, newName] : c.entries) {
    oldNames.push_back(oldName);
    newNames.push_back(newName);
  }
  EXPECT_EQ(RenameFiles(PlanIn(dir, oldNames, newNames)), c.failedAt);
  EXPECT_EQ(dir.Files(), c.after);
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
    EXPECT_EQ(RenameFiles(PlanIn(dir, {"a.txt"}, {newName})), std::optional<std::size_t>(0))
        << newName;
    EXPECT_EQ(dir.Files(), (Files{{"a.txt", "A"}})) << newName;
    EXPECT_EQ(dir.Files("sub\\"), Files{}) << newName;
  }
}

TEST(RenameFiles, PlanWithFewerNewNamesStopsAtTheGap) {
  test::TempDir dir;
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  EXPECT_EQ(RenameFiles(PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt"})),
            std::optional<std::size_t>(1));
  EXPECT_EQ(dir.Files(), (Files{{"x.txt", "A"}, {"b.txt", "B"}}));
}

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
     {BatchEnd::Done, 3}, {{"x.txt", "A"}, {"y.txt", "B"}, {"z.txt", "C"}}},
    {"stopped before the first", {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}}, 0,
     {BatchEnd::Stopped, 0}, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"stopped after two", {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}, {"c.txt", "z.txt"}}, 2,
     {BatchEnd::Stopped, 2}, {{"x.txt", "A"}, {"y.txt", "B"}, {"c.txt", "C"}}},
    {"failure comes before the stop", {{"a.txt", "x.txt"}, {"b.txt", "c.txt"}, {"c.txt", "z.txt"}},
     2, {BatchEnd::Failed, 1}, {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"stop comes before the failure", {{"a.txt", "x.txt"}, {"b.txt", "c.txt"}}, 1,
     {BatchEnd::Stopped, 1}, {{"x.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
    {"empty plan", {}, 0, {BatchEnd::Done, 0}, {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}}},
};

void PrintTo(const ObservedCase& c, std::ostream* os) { *os << c.what; }

class ObservedBatchTest : public testing::TestWithParam<ObservedCase> {};

TEST_P(ObservedBatchTest, StopsWhereToldAndReportsHow) {
  const ObservedCase& c = GetParam();
  test::TempDir dir;
  for (const auto& [name, content] : Files{{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}})
    dir.Write(name, content);
  std::vector<std::string> oldNames, newNames;
  for (const auto& [oldName, newName] : c.entries) {
    oldNames.push_back(oldName);
    newNames.push_back(newName);
  }
  std::vector<std::size_t> asked;
  const BatchEnd end = RenameFiles(PlanIn(dir, oldNames, newNames),
                                   [&](std::size_t index, std::size_t count, const std::string& name) {
                                     EXPECT_EQ(count, oldNames.size());
                                     EXPECT_EQ(name, oldNames.at(index));
                                     asked.push_back(index);
                                     return index != c.stopAt;
                                   });
  EXPECT_EQ(end.How, c.end.How);
  EXPECT_EQ(end.At, c.end.At);
  EXPECT_EQ(dir.Files(), c.after);
  // Asked once per entry reached, in order, and never again after the end.
  const std::size_t reached = end.How == BatchEnd::Done ? end.At : end.At + 1;
  std::vector<std::size_t> expected(reached);
  for (std::size_t i = 0; i < reached; ++i) expected[i] = i;
  EXPECT_EQ(asked, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ObservedBatchTest, testing::ValuesIn(kObservedCases),
                         test::CaseName());

// Without anyone to ask, both forms of the batch are one and the same.
TEST(RenameFiles, EmptyObserverRunsTheWholeBatch) {
  test::TempDir dir;
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  EXPECT_EQ(RenameFiles(PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt", "b.txt"}), nullptr),
            (BatchEnd{BatchEnd::Done, 2}));
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
    EXPECT_EQ(RenameFiles(PlanIn(dir, {"a.txt", "b.txt"}, {"x.txt", newName})),
              std::optional<std::size_t>(1))
        << newName;
    CloseHandle(lock);
    EXPECT_EQ(dir.Files(), (Files{{"x.txt", "A"}, {"b.txt", "B"}})) << newName;
  }
}
#endif

}  // namespace
}  // namespace quillet
