// The forecast against the real batch on real files: many small random
// directories, each with a random mask and pattern; the line the forecast
// says the batch stops at must be the line it stopped at, and the names on
// disk afterwards those the forecast gave. Seeded: QUILLET_SEED=<n>
// replays a run, and each failure names its seed and round.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/BatchRename.h"
#include "core/NameRules.h"
#include "core/RenameForecast.h"
#include "core/RenamePlan.h"
#include "tests/common/LinuxSide.h"
#include "tests/common/Plan.h"
#include "tests/common/TempDir.h"

namespace quillet {
namespace {

constexpr int kRounds = 600;

class Random {
 public:
  explicit Random(unsigned seed) : engine_(seed) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  bool OneIn(int n) { return Below(n) == 0; }
  template <class T>
  const T& Pick(const std::vector<T>& from) {
    return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
  }

 private:
  std::mt19937 engine_;
};

// Pieces of names: few letters, so that names meet; both cases, so that
// case-only changes and case-blind clashes come up; double-byte characters,
// one of them with the trail byte "|", one with "\".
const std::vector<std::string> kNamePieces = {"a", "b", "A", "B", "1", "2", "ab", "\x88\x9F",
                                              "\x83\x7C", "\x95\x5C", "longname_"};
const std::vector<std::string> kExtensions = {".txt", ".TXT", ".log", "", ".t"};

std::string RandomName(Random& rng) {
  std::string name;
  for (int n = 1 + rng.Below(3); n > 0; --n) name += rng.Pick(kNamePieces);
  return name + rng.Pick(kExtensions);
}

const std::vector<std::string> kLinuxNames = {
    test::Utf8(u8"cafe\u0301.txt"), test::Utf8(u8"caf\u00e9.txt"), test::Utf8(u8"a\u00a5b.txt"),
    "ab ", "ab.", "A.TXT", "a.txt", "AB", "ab", "aux", "com1.log"};
// Entries no rename moves as listed: links to a file and to a folder that
// no line renames, a FIFO, and a file's second name.
const std::vector<std::string> kLinuxOnly = {"mkdir s && echo s > s/s && ln -s s/s l.txt",
                                             "mkdir s && ln -s s l", "mkfifo f.txt",
                                             "echo h > h.txt && ln h.txt hh.txt"};

const std::vector<std::string> kMaskBases = {"*", "?", "a*", "*b", "?*", "*1", "A?", "*?"};
const std::vector<std::string> kMaskExtensions = {".*", ".txt", ".?", ".t*", ""};

std::string RandomMask(Random& rng) { return rng.Pick(kMaskBases) + rng.Pick(kMaskExtensions); }

// What a pattern may put into a new name: the same letters and wildcards,
// and now and then something the platform refuses or changes.
const std::vector<std::string> kPatternPieces = {"*", "*", "?", "a", "b", "A", "B", "1", "x",
                                                 "\x88\x9F", "\x83\x7C"};
const std::vector<std::string> kOddPieces = {"<", "|", "\"", "CON", "nul", "Com1", " ", ".",
                                             "..", "\\", "/", ":", "\t", "\x88"};
const std::vector<std::string> kPatternExtensions = {".*", ".txt", ".TXT", ".?", "", ".", ". ",
                                                     ".*."};

std::string RandomPattern(Random& rng, std::size_t dirLength) {
  std::string base;
  if (rng.OneIn(6)) base = rng.Pick(kOddPieces);
  for (int n = 1 + rng.Below(3); n > 0; --n) base += rng.Pick(kPatternPieces);
  // Around the length limits: paths of some 255 to 265 characters.
  if (rng.OneIn(12)) base += std::string(MAX_PATH - 10 - dirLength + rng.Below(10), 'n');
  if (rng.OneIn(8)) base = rng.Pick(kOddPieces) + base;
  return base + rng.Pick(kPatternExtensions);
}

// Every name in the directory, files and folders, "." and ".." left out;
// with aliases, the short 8.3 names the platform gives long names.
std::vector<std::string> NamesOnDisk(const std::string& dir, bool aliases = false) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = aliases ? fd.cAlternateFileName : fd.cFileName;
    if (name != "." && name != ".." && !name.empty()) names.push_back(name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Shown(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& n : v) s += "\"" + n + "\" ";
  return s;
}

unsigned Seed() {
  const char* given = std::getenv("QUILLET_SEED");
  return given && *given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : 20261207u;
}

TEST(ForecastAgainstBatch, RandomDirectoriesMasksAndPatterns) {
  const unsigned seed = Seed();
  Random rng(seed);
  int failures = 0, stopped = 0, refused = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("QUILLET_SEED=" + std::to_string(seed) + ", round " + std::to_string(round));
    test::TempDir dir;
    for (int n = rng.Below(9); n > 0; --n) {
      const std::string name = RandomName(rng);
      // A name taken already (the platform takes A.txt for a.txt) is skipped.
      if (GetFileAttributesA((dir.Path() + name).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      if (rng.OneIn(8)) dir.MakeDir(name);
      else dir.Write(name, name);
    }
    if (rng.OneIn(10)) dir.Write(CaseDetourName(PathChars(dir.Path()), "", 0), "detour");
    // Now and then a name only a Linux disk holds: one that lists as another
    // (a look-alike, a "\\" for the yen sign), loses its last byte in a
    // path, or is a second spelling of a name there already.
    std::optional<test::LinuxSide> linuxSide;
    if (rng.OneIn(6)) {
      linuxSide.emplace(dir.Path());
      const std::string name = rng.Pick(kLinuxNames);
      if (!linuxSide->Files().count(name) && !linuxSide->Folders().count(name))
        linuxSide->Write(name, name);
      if (rng.OneIn(2)) linuxSide->Shell(rng.Pick(kLinuxOnly));
    }

    const std::string mask = RandomMask(rng);
    std::string pattern = RandomPattern(rng, dir.Path().size());
    // Now and then another file's short alias as the new name.
    const std::vector<std::string> aliases = NamesOnDisk(dir.Path(), true);
    if (!aliases.empty() && rng.OneIn(10)) pattern = rng.Pick(aliases);
    const std::vector<std::string> before = NamesOnDisk(dir.Path());
    SCOPED_TRACE("mask \"" + mask + "\", pattern \"" + pattern + "\", before " + Shown(before));
    RenamePlan plan;
    RefreshList(dir.Path(), mask, pattern, plan);

    const std::optional<ForecastStop> stop = test::ForecastStopOf(plan);
    const std::vector<std::string> forecastNames =
        test::NamesAfter(before, plan, stop ? stop->Index : plan.Count());

    const std::optional<std::size_t> real = test::FailedLine(plan);
    const std::optional<std::size_t> forecastIndex =
        stop ? std::optional<std::size_t>(stop->Index) : std::nullopt;
    EXPECT_EQ(forecastIndex, real) << "fault " << (stop ? int(stop->Fault) : 0);
    const std::vector<std::string> expected = test::Sorted(forecastNames);
    EXPECT_EQ(NamesOnDisk(dir.Path()), expected);
    if (forecastIndex != real || NamesOnDisk(dir.Path()) != expected) ++failures;
    if (real) ++stopped;
    if (stop && stop->Fault != RenameFault::TargetExists &&
        stop->Fault != RenameFault::NamesCollide)
      ++refused;
    ASSERT_LT(failures, 10) << "giving up";
  }
  // The run must have met the cases it is about, not only clean batches.
  EXPECT_GT(stopped, kRounds / 10);
  EXPECT_GT(refused, kRounds / 40);
  std::printf("%d directories: %d batches stopped, %d by the platform's rules, %d disagreements\n",
              kRounds, stopped, refused, failures);
}

// The rules the batch refuses by before any call must be the platform's own:
// each name they refuse, MoveFileA refuses too or stores under other bytes,
// and each name they let through it stores as StoredName says. (The length
// limit is the exception: Wine takes longer paths than Windows does, so that
// one is checked against the limit, not here.)
TEST(ForecastAgainstBatch, RefusalsAreThePlatformsOwn) {
  struct Row {
    std::string name;
    bool refused;
  };
  const std::vector<Row> rows = {
      {"a<b", true}, {"a>b", true}, {"a\"b", true}, {"a|b", true}, {"a?b", true}, {"a*b", true},
      {"a\x01b", true}, {"a\x1F" "b", true}, {"CON", true}, {"con.txt", true}, {"NUL.x.y", true},
      {"Lpt9 .log", true}, {"PRN.", true}, {"CONIN$", true}, {"COM1", true}, {"AUX", true},
      {".", true}, {"..", true}, {"...", true}, {" ", true}, {"x\x88.txt", true}, {"x\x88", true},
      {"COM0", false}, {"COM10", false}, {"LPT0.txt", false}, {"CLOCK$", false}, {"xCON", false},
      {"CONX.txt", false}, {"\x83\x7C.txt", false}, {"a\x7F" "b", false}, {"x. .", false},
      {"abc ", false}, {" lead", false}, {".hidden", false}, {"a;b,c=d+e[f]", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("\"" + row.name + "\"");
    test::TempDir dir;
    dir.Write("a.txt", "A");
    EXPECT_EQ(NewNameFault(PathChars(dir.Path()), "a.txt", row.name) != RenameFault::None, row.refused);
    const bool moved = MoveFileA((dir.Path() + "a.txt").c_str(), (dir.Path() + row.name).c_str());
    const std::vector<std::string> names = NamesOnDisk(dir.Path());
    if (row.refused) {
      EXPECT_TRUE(!moved || names != std::vector<std::string>{row.name}) << Shown(names);
    } else {
      EXPECT_TRUE(moved);
      EXPECT_EQ(names, std::vector<std::string>{std::string(StoredName(row.name))});
    }
  }
}

}  // namespace
}  // namespace quillet
