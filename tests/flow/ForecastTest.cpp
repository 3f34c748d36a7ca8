// The batch played over a plan and a directory's names, without the disk:
// where it stops, why, and what the directory holds afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/RenameForecast.h"
#include "platform/FileSystem.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/Plan.h"
#include "tests/common/TempDir.h"
#include "tests/flow/CaseName.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet {
namespace {

using Names = test::Names;
using test::Sorted;
using test::Where;
using Entries = std::vector<std::pair<std::string, std::string>>;  // old, new
using F = RenameFault;

const std::string kDir = "C:\\d\\";  // 5 characters
const std::string kKanji = "\x88\x9F";  // one character, two bytes
const std::string kPo = "\x83\x7C";     // a katakana whose trail byte is "|"
const std::string kHyo = "\x95\x5C";    // a kanji whose trail byte is "\"

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string s;
  for (std::size_t i = 0; i < times; ++i) s += piece;
  return s;
}

// A name that makes kDir + name exactly `chars` characters long.
std::string NameForPath(std::size_t chars) { return Repeat("n", chars - kDir.size() - 4) + ".txt"; }

Names DetourNames(const std::string& oldName) {
  Names names;
  for (int i = 0; i < CaseDetourAttempts; ++i) names.push_back(CaseDetourName(PathChars(kDir), oldName, i));
  return names;
}

struct ForecastCase {
  const char* what;
  Names before;  // files and folders alike
  Entries entries;
  std::optional<ForecastStop> failure;
  Names after;  // empty: the same as before (with the failure, nothing ran)
  std::string dir = kDir;
  // The stop's reason in the words the user reads, naming the other party,
  // and the files renamed before it (not the lines that keep their names).
  const char* reason = nullptr;
  std::size_t renamed = 0;
};

const ForecastCase kCases[] = {
    {"every entry renamed", {"a.txt", "b.txt"}, {{"a.txt", "x.txt"}, {"b.txt", "y.txt"}},
     std::nullopt, {"x.txt", "y.txt"}},
    {"empty plan", {"a.txt"}, {}, std::nullopt, {"a.txt"}},
    {"first new name exists", {"a.txt", "b.txt", "c.txt"}, {{"a.txt", "b.txt"}, {"c.txt", "d.txt"}},
     ForecastStop{0, F::TargetExists}, {}},
    {"later new name exists", {"a.txt", "b.txt", "c.txt"},
     {{"a.txt", "x.txt"}, {"c.txt", "b.txt"}, {"b.txt", "y.txt"}}, ForecastStop{1, F::TargetExists},
     {"x.txt", "b.txt", "c.txt"}},
    {"swap fails at its first line", {"a.txt", "b.txt"}, {{"a.txt", "b.txt"}, {"b.txt", "a.txt"}},
     ForecastStop{0, F::TargetExists}, {}},
    {"colliding new names fail at the second", {"a.txt", "b.txt", "c.txt"},
     {{"a.txt", "z.txt"}, {"b.txt", "z.txt"}, {"c.txt", "y.txt"}}, ForecastStop{1, F::NamesCollide},
     {"z.txt", "b.txt", "c.txt"}},
    {"chain fails at its first line since b exists", {"a", "b"}, {{"a", "b"}, {"b", "c"}},
     ForecastStop{0, F::TargetExists}, {}},
    {"chain from its end frees each name first", {"a", "b"}, {{"b", "c"}, {"a", "b"}}, std::nullopt,
     {"b", "c"}},
    {"renamed away, then taken by a later line", {"a", "b"}, {{"a", "x"}, {"b", "a"}}, std::nullopt,
     {"x", "a"}},
    {"same name is nothing to do", {"a.txt", "b.txt"}, {{"a.txt", "a.txt"}, {"b.txt", "c.txt"}},
     std::nullopt, {"a.txt", "c.txt"}},
    {"a line that keeps its name is no file renamed", {"a", "b", "c", "d"},
     {{"a", "a"}, {"b", "x"}, {"c", "y"}, {"d", "x"}}, ForecastStop{3, F::NamesCollide}, {"a", "x", "y", "d"},
     kDir, "2行目（b）と同じ「x」になります。", 2},
    {"new name exists in other case", {"a.txt", "B.TXT"}, {{"a.txt", "b.txt"}},
     ForecastStop{0, F::TargetExists}, {}, kDir, "「B.TXT」が既にあります。"},
    {"new name is a folder", {"a.txt", "Sub"}, {{"a.txt", "sub"}}, ForecastStop{0, F::TargetExists}, {}},
    {"case only", {"abc.txt", "Def.TXT"}, {{"abc.txt", "ABC.TXT"}, {"Def.TXT", "def.txt"}},
     std::nullopt, {"ABC.TXT", "def.txt"}},
    {"case only beside a file of the temporary name", {"abc.txt", "abc.txt.~quillet0"},
     {{"abc.txt", "Abc.txt"}}, std::nullopt, {"Abc.txt", "abc.txt.~quillet0"}},
    {"case only with no room for the temporary name", {"a.txt"}, {{"a.txt", "A.TXT"}},
     ForecastStop{0, F::PathTooLong}, {}, "C:\\" + Repeat("d", 246) + "\\"},
    {"case only, then a later line onto that name", {"a", "b"}, {{"a", "A"}, {"b", "a"}},
     ForecastStop{1, F::TargetExists}, {"A", "b"}},
    {"case only onto a spelling the disk holds too", {"abc.txt", "ABC.txt"}, {{"abc.txt", "ABC.txt"}},
     ForecastStop{0, F::TargetExists}, {}, kDir, "「ABC.txt」が既にあります。"},
    {"one of two spellings renamed", {"abc.txt", "ABC.txt"}, {{"ABC.txt", "x.txt"}}, std::nullopt,
     {"abc.txt", "x.txt"}},
    {"listed file gone", {"a.txt", "c.txt"}, {{"a.txt", "x.txt"}, {"gone.txt", "y.txt"}, {"c.txt", "z.txt"}},
     ForecastStop{1, F::FileMissing}, {"x.txt", "c.txt"}, kDir, "「gone.txt」が見つかりません。", 1},
    {"empty new name", {"a.txt"}, {{"a.txt", ""}}, ForecastStop{0, F::EmptyName}, {}, kDir, "新しい名前が空です。"},
    {"new name leading into a folder", {"a.txt", "sub"}, {{"a.txt", "sub\\a.txt"}},
     ForecastStop{0, F::LeavesDirectory}, {}, kDir, "「sub\\a.txt」は別のディレクトリを指します。"},
    {"new name of dots only", {"a.txt"}, {{"a.txt", ".."}}, ForecastStop{0, F::LeavesDirectory}, {}},
    {"new name of blanks only", {"a.txt"}, {{"a.txt", "  "}}, ForecastStop{0, F::LeavesDirectory}, {}},
    {"trailing dot is dropped on disk", {"a.txt"}, {{"a.txt", "x."}}, std::nullopt, {"x"}},
    {"trailing dot and blank onto an existing name", {"a.txt", "b"}, {{"a.txt", "b. "}},
     ForecastStop{0, F::TargetExists}, {}, kDir, "「b」が既にあります。"},
    {"trailing dot onto the same name", {"a", "b"}, {{"a", "a."}, {"b", "c"}}, std::nullopt, {"a", "c"}},
    {"less than", {"a.txt", "b.txt"}, {{"b.txt", "c.txt"}, {"a.txt", "a<b.txt"}},
     ForecastStop{1, F::BadCharacter}, {"a.txt", "c.txt"}},
    {"question mark", {"a.txt"}, {{"a.txt", "a?.txt"}}, ForecastStop{0, F::BadCharacter}, {}, kDir,
     "「a?.txt」にはWindowsで使えない文字があります。"},
    {"bar", {"a.txt"}, {{"a.txt", "a|b"}}, ForecastStop{0, F::BadCharacter}, {}},
    {"tab", {"a.txt"}, {{"a.txt", "a\tb"}}, ForecastStop{0, F::BadCharacter}, {}},
    {"bar as a trail byte is a character", {"a.txt"}, {{"a.txt", kPo + ".txt"}}, std::nullopt,
     {kPo + ".txt"}},
    {"lead byte without its trail byte", {"a.txt"}, {{"a.txt", "x\x88.txt"}},
     ForecastStop{0, F::BadCharacter}, {}},
    {"lead byte at the end", {"a.txt"}, {{"a.txt", "x\x88"}}, ForecastStop{0, F::BadCharacter}, {}},
    {"CON", {"a.txt"}, {{"a.txt", "CON"}}, ForecastStop{0, F::DeviceName}, {}},
    {"device name with an extension", {"a.txt"}, {{"a.txt", "nul.txt"}}, ForecastStop{0, F::DeviceName},
     {}, kDir, "「nul.txt」はデバイス名なので使えません。"},
    {"device name with blanks before the extension", {"a.txt"}, {{"a.txt", "Lpt1 .log"}},
     ForecastStop{0, F::DeviceName}, {}},
    {"device name with a trailing dot", {"a.txt"}, {{"a.txt", "aux."}}, ForecastStop{0, F::DeviceName},
     {}},
    {"COM9 is a device", {"a.txt"}, {{"a.txt", "COM9.x.y"}}, ForecastStop{0, F::DeviceName}, {}},
    {"listed file of a device name", {"aux", "b"}, {{"b", "c"}, {"aux", "xaux"}},
     ForecastStop{1, F::DeviceName}, {"aux", "c"}, kDir, "「aux」はデバイス名なので使えません。", 1},
    {"listed file of a device name with an extension", {"com1.log"}, {{"com1.log", "x.log"}},
     ForecastStop{0, F::DeviceName}, {}},
    {"COM0, COM10, CONX and xCON are names", {"a", "b", "c", "d"},
     {{"a", "COM0"}, {"b", "COM10"}, {"c", "CONX.txt"}, {"d", "xCON"}}, std::nullopt,
     {"COM0", "COM10", "CONX.txt", "xCON"}},
    {"path of 259 characters", {"a.txt"}, {{"a.txt", NameForPath(259)}}, std::nullopt, {NameForPath(259)}},
    {"path of 260 characters", {"a.txt"}, {{"a.txt", NameForPath(260)}}, ForecastStop{0, F::PathTooLong},
     {}},
    {"double-byte characters count once", {"a.txt"}, {{"a.txt", Repeat(kKanji, 85)}}, std::nullopt,
     {Repeat(kKanji, 85)}, "C:\\" + Repeat(kKanji, 170) + "\\"},
    {"name the disk cannot hold whole", {"a.txt"}, {{"a.txt", Repeat(kKanji, 128)}},
     ForecastStop{0, F::PathTooLong}, {}},
    {"name of 255 characters", {"a"}, {{"a", Repeat("n", 255)}}, std::nullopt, {Repeat("n", 255)}, "C:\\"},
    {"name over 255 characters", {"a"}, {{"a", Repeat("n", 256)}}, ForecastStop{0, F::PathTooLong}, {},
     "C:\\"},
    {"separator after a double-byte character counts", {"a"}, {{"a", Repeat("n", 135)}},  // 125 + 135 = 260
     ForecastStop{0, F::PathTooLong}, {}, "C:\\" + Repeat(kKanji, 60) + "\\" + Repeat(kKanji, 60) + "\\"},
    {"separator after a kanji ending in the backslash byte counts", {"a"}, {{"a", Repeat("n", 136)}},
     ForecastStop{0, F::PathTooLong}, {}, "C:\\" + Repeat(kHyo, 120) + "\\"},  // 124 + 136 = 260
    {"doubled backslash of a drive root counts once", {"a"}, {{"a", Repeat("n", 252)}}, std::nullopt,
     {Repeat("n", 252)}, "C:\\\\sub\\"},
    {"old path over the limit", {NameForPath(260)}, {{NameForPath(260), "b"}},
     ForecastStop{0, F::PathTooLong}, {}},
    {"nothing after the failure is played", {"a", "b", "c"}, {{"a", "x"}, {"b", "c"}, {"c", "y"}},
     ForecastStop{1, F::TargetExists}, {"x", "b", "c"}},
};

void PrintTo(const ForecastCase& c, std::ostream* os) { *os << c.what; }

// Every listed name addresses its file unless the test says otherwise.
RenamePlan MakePlan(Names oldNames, Names newNames) {
  return test::PlanIn(kDir, std::move(oldNames), std::move(newNames));
}

RenamePlan Plan(const ForecastCase& c) {
  Names oldNames, newNames;
  for (const auto& [oldName, newName] : c.entries) {
    oldNames.push_back(oldName);
    newNames.push_back(newName);
  }
  return test::PlanIn(c.dir, oldNames, newNames);
}

NameSet Set(const Names& names) {
  NameSet set;
  for (const std::string& n : names) set.Add(n);
  return set;
}

// The whole forecast in one call.
std::optional<ForecastStop> ForecastBatch(const RenamePlan& plan, const NameSet& names) {
  ForecastRun run(plan, names);
  while (!run.Run(plan.Count() + 1)) {
  }
  return Where(run.Stop());
}

// What the directory holds once the run is over, as the forecast has it.
Names After(const Names& before, const RenamePlan& plan, const ForecastRun& run) {
  return test::NamesAfter(before, plan, run.Stop() ? run.Stop()->Index : plan.Count());
}

class Forecast : public testing::TestWithParam<ForecastCase> {};

TEST_P(Forecast, FailureAndNamesAfter) {
  const ForecastCase& c = GetParam();
  const RenamePlan plan = Plan(c);
  const NameSet before = Set(c.before);
  ForecastRun run(plan, before);
  while (!run.Run(1)) {
  }
  EXPECT_EQ(Where(run.Stop()), c.failure);
  EXPECT_EQ(Sorted(After(c.before, plan, run)), Sorted(c.after.empty() ? c.before : c.after));
  EXPECT_EQ(ForecastBatch(plan, before), c.failure);
  if (c.reason && run.Stop()) {
    EXPECT_EQ(FaultText(run.Stop()->Fault, run.Stop()->Party), c.reason);
    EXPECT_EQ(run.Stop()->Renamed, c.renamed);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, Forecast, testing::ValuesIn(kCases), test::CaseName());

TEST(Forecast, EveryTemporaryNameTakenFailsACaseOnlyChange) {
  Names names = DetourNames("abc");
  names.push_back("abc");
  const RenamePlan plan = MakePlan({"abc"}, {"ABC"});
  const NameSet taken = Set(names);
  ForecastRun run(plan, taken);
  run.Run(1);
  ASSERT_EQ(Where(run.Stop()), (ForecastStop{0, F::DetoursTaken}));
  // The file whose case cannot change is named, not its new spelling, which no file has.
  EXPECT_EQ(FaultText(run.Stop()->Fault, run.Stop()->Party), "「abc」の一時的な名前がすべて使われています。");
  names.pop_back();
  names.pop_back();  // one temporary name free again
  names.push_back("abc");
  EXPECT_EQ(ForecastBatch(plan, Set(names)), std::nullopt);
}

// The temporary name of a change of case keeps what it can of the old name.
TEST(Forecast, TemporaryNameCarriesTheOldNameWithinTheLimits) {
  const struct {
    std::string dir, oldName;
    int attempt;
    std::string temp;
  } rows[] = {
      {kDir, "a.txt", 0, "a.txt.~quillet0"},
      {kDir, "a.txt", 31, "a.txt.~quillet31"},
      {"C:\\" + Repeat("d", 241) + "\\", "abcdef", 3, "abcd.~quillet3"},  // 245 + 14 = 259
      {"C:\\" + Repeat("d", 241) + "\\", kKanji + kKanji + kKanji + "xyz", 0, Repeat(kKanji, 3) + "x.~quillet0"},
      {"C:\\" + Repeat("d", 245) + "\\", "abc", 0, ".~quillet0"},
      {"C:\\" + Repeat("d", 242) + "\\", "Auxiliary.txt", 0, "Au.~quillet0"},  // not AUX
      {"C:\\" + Repeat("d", 241) + "\\", "aux x.txt", 0, "au.~quillet0"},      // nor "aux "
      {"C:\\" + Repeat("d", 246) + "\\", "abc", 0, ""},
      {"C:\\", Repeat("n", 250), 0, Repeat("n", 245) + ".~quillet0"},  // a name of 255
  };
  for (const auto& r : rows) EXPECT_EQ(CaseDetourName(PathChars(r.dir), r.oldName, r.attempt), r.temp) << r.dir.size();
}

TEST(Forecast, PlanWithFewerNewNamesStopsAtTheGap) {
  const RenamePlan plan = MakePlan({"a", "b"}, {"x"});
  EXPECT_EQ(ForecastBatch(plan, Set({"a", "b"})), (ForecastStop{1, F::EmptyName}));
}

// A file's short alias answers for it: a new name equal to it exists, until
// the file it stands for has been renamed.
TEST(Forecast, ShortAliasIsTakenWhileItsFileKeepsItsName) {
  NameSet set;
  set.Add("photograph_long.jpg", "PHOTOG~1.JPG");
  set.Add("a.txt");
  set.Add("b.txt");
  ASSERT_NE(set.Find("PHOTOG~1.JPG"), nullptr);
  EXPECT_EQ(set.Find("PHOTOG~1.JPG")->Count, 0) << "an alias is no name of its own";
  const RenamePlan onAlias = MakePlan({"a.txt"}, {"photog~1.jpg"});
  EXPECT_EQ(ForecastBatch(onAlias, set), (ForecastStop{0, F::TargetExists}));
  ForecastRun clash(onAlias, set);
  ASSERT_TRUE(clash.Run(1) && clash.Stop());
  EXPECT_EQ(FaultText(clash.Stop()->Fault, clash.Stop()->Party), "「photograph_long.jpg」が既にあります。");
  // Its own alias: the platform finds the file itself.
  EXPECT_EQ(ForecastBatch(MakePlan({"photograph_long.jpg"}, {"photog~1.jpg"}), set), std::nullopt);

  const RenamePlan plan = MakePlan({"photograph_long.jpg", "a.txt", "b.txt"},
                                   {"x.jpg", "PHOTOG~1.JPG", "photograph_long.jpg"});
  ForecastRun run(plan, set);
  EXPECT_TRUE(run.Run(10));
  EXPECT_EQ(run.Stop(), std::nullopt);
  EXPECT_EQ(Sorted(After({"photograph_long.jpg", "a.txt", "b.txt"}, plan, run)),
            Sorted({"x.jpg", "PHOTOG~1.JPG", "photograph_long.jpg"}));

  // A file spelt as another's alias (a Linux disk may hold both): a change of
  // its case meets that other file too.
  set.Add("photog~1.jpg");
  EXPECT_EQ(ForecastBatch(MakePlan({"photog~1.jpg"}, {"PHOTOG~1.JPG"}), set),
            (ForecastStop{0, F::TargetExists}));
}

// A listed name that does not reach its file: the batch refuses the line
// before anything else, whatever the new name.
TEST(Forecast, UnaddressableNameStopsTheBatch) {
  RenamePlan plan = MakePlan({"a", "cafe", "b"}, {"x", "y", "z"});
  plan.Addressable[1] = false;
  EXPECT_EQ(ForecastBatch(plan, Set({"a", "cafe", "b"})), (ForecastStop{1, F::NotAddressable}));
  plan.NewNames[1] = "sub\\y";
  EXPECT_EQ(ForecastBatch(plan, Set({"a", "cafe", "b"})), (ForecastStop{1, F::LeavesDirectory}));
}

// A listed name that stands for another (cafe.txt for café.txt) is no file
// of that name: a new name equal to it is free. It still answers to a
// change of case, which the batch refuses then.
TEST(Forecast, InexactListedNameTakesNoName) {
  NameSet set;
  set.Add("a.txt");
  set.Add("cafe.txt", {}, false);
  ASSERT_NE(set.Find("CAFE.TXT"), nullptr);
  EXPECT_EQ(set.Find("CAFE.TXT")->Count, 0);
  EXPECT_EQ(set.Find("CAFE.TXT")->Inexact, (Names{"cafe.txt"}));
  const RenamePlan plan = MakePlan({"a.txt"}, {"cafe.txt"});
  ForecastRun run(plan, set);
  EXPECT_TRUE(run.Run(1));
  EXPECT_EQ(run.Stop(), std::nullopt);
  EXPECT_EQ(Sorted(After({"a.txt", "cafe.txt"}, plan, run)), (Names{"cafe.txt", "cafe.txt"}));

  set.Add("Cafe.txt");
  EXPECT_EQ(ForecastBatch(MakePlan({"Cafe.txt"}, {"cafe.txt"}), set),
            (ForecastStop{0, F::TargetExists}));

  // Its alias still addresses the file.
  set.Add("rep.", "REP~1", false);
  EXPECT_EQ(ForecastBatch(MakePlan({"a.txt"}, {"rep~1"}), set), (ForecastStop{0, F::TargetExists}));

  // So it is in the listing the window's forecast reads (café.txt of a Linux disk).
  test::TempDir dir;
  test::LinuxSide linux(dir.Path());
  if (!linux.Available()) return;
  linux.Write(test::Utf8(u8"caf\u00e9.txt"), "");
  dir.Write("a.txt");
  RenamePlan listed;
  RefreshList(dir.Path(), "a.txt", "cafe.txt", listed);
  EXPECT_EQ(test::ForecastStopOf(listed), std::nullopt);
}

TEST(Forecast, DotEntriesOfTheListingAreNoNames) {
  NameSet set = Set({".", "..", "a"});
  EXPECT_EQ(set.Find("."), nullptr);
  EXPECT_EQ(set.Find(".."), nullptr);
  EXPECT_NE(set.Find("A"), nullptr);
}

TEST(Forecast, AliasOfTheSameNameButForCaseIsTheName) {
  NameSet set;
  set.Add("a.txt", "A.TXT");
  set.Add("c.txt");
  const RenamePlan plan = MakePlan({"c.txt"}, {"d.txt"});
  ForecastRun run(plan, set);
  EXPECT_TRUE(run.Run(1));
  EXPECT_EQ(Sorted(After({"a.txt", "c.txt"}, plan, run)), (Names{"a.txt", "d.txt"}));
}

// A run may be taken up again after any number of entries: one entry at a
// time and all at once agree (the table runs one at a time).
TEST(Forecast, RunsInPiecesAsInOne) {
  const NameSet before = Set({"a", "b", "c", "d"});
  const RenamePlan plan = MakePlan({"a", "b", "c", "d"}, {"e", "f", "g", "f"});
  ForecastRun pieces(plan, before), whole(plan, before);
  EXPECT_FALSE(pieces.Run(2));
  EXPECT_TRUE(pieces.Run(5));
  EXPECT_TRUE(whole.Run(100));
  EXPECT_EQ(Where(pieces.Stop()), (ForecastStop{3, F::NamesCollide}));
  EXPECT_EQ(whole.Stop(), pieces.Stop());
  EXPECT_EQ(Sorted(After(Names{"a", "b", "c", "d"}, plan, whole)),
            Sorted(After(Names{"a", "b", "c", "d"}, plan, pieces)));
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// The directory as if its last change were a day old.
void AgeDirectory(const test::TempDir& dir) {
#ifdef _WIN32
  SYSTEMTIME t{};
  GetLocalTime(&t);
  t.wYear -= 1;
  dir.WriteTime("", t);
#else
  const std::time_t then = std::time(nullptr) - 24 * 3600;
  dir.WriteTime("", *std::localtime(&then));
#endif
}

// Asked on several threads, the answers come whole: every link among many
// names, whichever thread looked at it.
TEST(RenameForecast, FactsAskedInAHurryComeWhole) {
  test::TempDir dir;
  test::LinuxSide linux(dir.Path());
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  linux.Shell("mkdir s && echo s > s/s && seq -f 'f%03g' 0 599 | xargs touch && "
              "for i in $(seq 0 20 599); do ln -sf s/s f$(printf %03d $i); done");
  std::vector<std::string> names;
  for (int i = 0; i < 600; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "f%03d", i);
    names.push_back(name);
  }
  FactsAhead ahead(dir.Path(), names);
  ahead.Hurry();
  std::optional<FactsAhead::Facts> facts;
  while (!(facts = ahead.Take())) std::this_thread::yield();
  EXPECT_EQ(ahead.Asked(), names.size());
  EXPECT_EQ(facts->size(), 30u);
  for (int i = 0; i < 600; i += 20) EXPECT_EQ(facts->count(names[i]), 1u) << names[i];
}

// The main window's way: a directory listed ahead while there is no batch,
// kept for the plan that comes next, and listed again once it changed.
TEST(RenameForecast, ListsAheadAndKeepsTheListingUntilTheDirectoryChanges) {
  test::TempDir dir;
  dir.Write("a.txt");
  dir.Write("b.txt");
  AgeDirectory(dir);
  RenamePlan plan;
  RefreshList(dir.Path(), "a.txt", "", plan);
  RenameForecast forecast;
  forecast.Prepare(plan);
  while (!forecast.Advance(1)) {
  }
  EXPECT_EQ(forecast.Stop(), std::nullopt);

  RefreshList(dir.Path(), "a.txt", "b.txt", plan);
  forecast.Start(plan);
  EXPECT_TRUE(forecast.Advance(1)) << "a kept listing leaves one line to play";
  EXPECT_EQ(Where(forecast.Stop()), (ForecastStop{0, F::TargetExists}));

  // b.txt goes: the directory's stamp moves, so it is listed again.
  ASSERT_EQ(platform::RenameFile(dir.Path() + "b.txt", dir.Path() + "c.txt"), 0);
  RefreshList(dir.Path(), "a.txt", "b.txt", plan);
  forecast.Start(plan);
  EXPECT_FALSE(forecast.Advance(1)) << "listed again";
  while (!forecast.Advance(1)) {
  }
  EXPECT_EQ(forecast.Stop(), std::nullopt);
}

// A listing begun in the same tick of the file system's clock as the last
// change might have missed it: it serves no later plan.
TEST(RenameForecast, ListingOfAFreshlyChangedDirectoryIsNotKept) {
  test::TempDir dir;
  dir.Write("a.txt");
  RenamePlan plan;
  RefreshList(dir.Path(), "a.txt", "b.txt", plan);
  RenameForecast forecast;
  forecast.Start(plan);
  while (!forecast.Advance(1)) {
  }
  forecast.Start(plan);
  EXPECT_FALSE(forecast.Advance(1)) << "kept although the directory changed a moment ago";
}

}  // namespace
}  // namespace quillet
