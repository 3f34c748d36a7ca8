// The progress form over real files: shown only when the batch runs long, and
// its stop ends the batch before the next entry with every file still there.
// A batch is made long on purpose by waiting before each entry. Its pacing is
// also driven by a clock the test sets, step by step.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/RenamePlan.h"
#include "tests/common/Plan.h"
#include "tests/common/TempDir.h"
#include "tests/ui/UiTest.h"
#include "ui/Messages.h"
#include "ui/RenameProgress.h"
#include "ui/ScanProgress.h"

namespace quillet::test {
namespace {

using Files = std::map<std::string, std::string>;
using ui::TProgressForm;

const std::string kTitle = "リネーム中";
// Each entry takes at least kSlowMs, so the window, due after half a second,
// must show by entry kShownBy at the latest; kLongBatch runs well past it.
constexpr DWORD kSlowMs = 20;
constexpr std::size_t kShownBy = 500 / kSlowMs + 1;
constexpr int kLongBatch = 40;

class RenameProgress : public testing::Test {
 protected:
  // count files f000.txt... holding their own names, and the plan that
  // renames them to g000.txt...
  void MakeFiles(int count) {
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%03d.txt", i);
      dir.Write(name, name);
    }
    RefreshList(dir.Path(), "f*.txt", "g*.txt", plan);
    ASSERT_EQ(plan.Count(), static_cast<std::size_t>(count));
  }

  // What the folder must hold when the first `renamed` entries of the plan
  // are done: each file under its old or new name, with its own content.
  Files After(std::size_t renamed) const {
    Files files;
    for (std::size_t i = 0; i < plan.Count(); ++i)
      files[i < renamed ? plan.NewNames[i] : plan.OldNames[i]] = plan.OldNames[i];
    return files;
  }

  // The batch with the window, each entry delayed; then(index) runs after
  // the window was asked about entry index.
  BatchEnd SlowBatch(TProgressForm& progress, const std::function<void(std::size_t)>& then) {
    return RenameFiles(plan, [&](std::size_t index, std::size_t count, const std::string& name) {
      Sleep(kSlowMs);
      const bool go = ui::ReportEntry(progress, index, count, name);
      then(index);
      return go;
    });
  }

  TempDir dir;
  RenamePlan plan;
};

TEST_F(RenameProgress, ShortBatchShowsNoWindow) {
  MakeFiles(3);
  ShownWindows shown;
  EXPECT_EQ(test::OutcomeOf(ui::RenameWithProgress(plan, plan.Count())), test::Outcome(BatchEnd::Done, 3));
  EXPECT_FALSE(shown.Saw(kTitle));
  EXPECT_EQ(dir.Files(), After(3));
}

TEST_F(RenameProgress, LongBatchShowsHowFarItIsAndTheNameInHand) {
  MakeFiles(kLongBatch);
  TProgressForm progress(ui::Renaming);
  const ui::OwnedWindow window = progress.Create();
  ShownWindows shown;
  std::size_t firstShown = plan.Count();
  DWORD shownAfterMs = 0;
  const DWORD start = GetTickCount();
  const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
    if (!progress.Handle().IsVisible()) return;
    if (firstShown == plan.Count()) {
      firstShown = index;
      shownAfterMs = GetTickCount() - start;
    }
    const std::string count = progress.Status.Text();
    // The texts are renewed now and then: they may lag, never run ahead.
    // The count counts the name shown, the file being renamed.
    const std::size_t done = std::stoul(count) - 1;
    EXPECT_LE(done, index);
    EXPECT_EQ(count, std::to_string(done + 1) + " / " + std::to_string(kLongBatch));
    EXPECT_EQ(progress.Current.Text(), plan.OldNames[done]);
    // The bar is as full as the files done before it.
    const auto full = static_cast<std::size_t>(progress.Bar.Send(PBM_GETRANGE, FALSE));
    EXPECT_EQ(static_cast<std::size_t>(progress.Bar.Send(PBM_GETPOS)) * kLongBatch, done * full);
  });
  EXPECT_EQ(test::OutcomeOf(end), test::Outcome(BatchEnd::Done, plan.Count()));
  EXPECT_TRUE(shown.Saw(kTitle));
  EXPECT_GE(shownAfterMs, 500u) << "not at once: only once the batch has run half a second";
  EXPECT_LE(firstShown, kShownBy);
  EXPECT_EQ(progress.Stop.Text(), "中止");
  EXPECT_EQ(dir.Files(), After(plan.Count()));
}

// Whichever way the user stops, the entry in hand when the stop comes is the
// last one renamed; the message loop of nobody else is needed for it.
TEST_F(RenameProgress, StopEndsTheBatchBeforeTheNextEntry) {
  struct Case {
    const char* what;
    std::function<void(TProgressForm&)> stop;
  };
  const Case cases[] = {
      {"stop button", [](TProgressForm& p) { p.Stop.Post(BM_CLICK); }},
      {"Esc", [](TProgressForm&) { PostKey(VK_ESCAPE); }},
      {"close box", [](TProgressForm& p) { p.Handle().Post(WM_SYSCOMMAND, SC_CLOSE); }},
  };
  MakeFiles(kLongBatch);
  const Files before = dir.Files();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TProgressForm progress(ui::Renaming);
    const ui::OwnedWindow window = progress.Create();
    std::size_t stoppedAfter = plan.Count();
    const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
      if (stoppedAfter != plan.Count() || !progress.Handle().IsVisible()) return;
      EXPECT_EQ(GetFocus(), progress.Stop.Handle());
      c.stop(progress);
      stoppedAfter = index;
    });
    ASSERT_LT(stoppedAfter, plan.Count());
    EXPECT_EQ(test::OutcomeOf(end), test::Outcome(BatchEnd::Cancelled, stoppedAfter + 1));
    EXPECT_EQ(dir.Files(), After(stoppedAfter + 1));
    // Back to the start for the next way of stopping.
    RenamePlan back = plan;
    back.OldNames.swap(back.NewNames);
    back.OldNames.resize(stoppedAfter + 1);
    ASSERT_EQ(FailedLine(back), std::nullopt);
    ASSERT_EQ(dir.Files(), before);
  }
}

TEST_F(RenameProgress, FailureAfterTheWindowShowedStillEndsTheBatchAsFailed) {
  MakeFiles(kLongBatch);
  const std::size_t failing = kShownBy + 2;
  dir.Write(plan.NewNames[failing], "taken");
  TProgressForm progress(ui::Renaming);
  const ui::OwnedWindow window = progress.Create();
  bool shownBeforeFailure = false;
  const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
    if (index == failing) shownBeforeFailure = progress.Handle().IsVisible();
  });
  EXPECT_TRUE(shownBeforeFailure);
  EXPECT_EQ(test::OutcomeOf(end), test::Outcome(BatchEnd::Failed, failing));
  // The rule's own words, not the system's for its error code.
  EXPECT_NE(ui::FailureMessage(plan, end).find("\n" + FaultText(RenameFault::TargetExists, {plan.NewNames[failing]}) + "\n"),
            std::string::npos);
  Files expected = After(failing);
  expected[plan.NewNames[failing]] = "taken";
  EXPECT_EQ(dir.Files(), expected);
}

TEST_F(RenameProgress, Layout) {
  TProgressForm progress(ui::Renaming);
  const ui::OwnedWindow window = progress.Create();
  EXPECT_EQ(progress.Handle().Text(), kTitle);
  EXPECT_EQ(progress.Handle().Owner(), nullptr) << "the main window has gone by then";
  const RECT client = progress.Handle().ClientRect();
  for (ui::Window w : {progress.Status, progress.Current, progress.Bar, progress.Stop}) {
    const RECT r = w.Bounds();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
  }
  EXPECT_FALSE(progress.Handle().IsVisible()) << "made hidden; shown only by a long batch";
}

// The pacer on a clock the test sets: the form shows once the work has run
// 500 ms, not before, also across the clock's wrap at 49.7 days.
TEST(ProgressPacer, ShowsTheFormAfterHalfASecond) {
  struct Row {
    DWORD start;
    DWORD after;
    bool shown;
  };
  const Row rows[] = {{1000, 0, false},        {1000, 50, false},       {1000, 499, false},
                      {1000, 500, true},       {0xFFFFFF00, 499, false}, {0xFFFFFF00, 500, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.start << " + " << row.after);
    DWORD now = row.start;
    TProgressForm form(ui::Renaming, [&now] { return now; });
    const ui::OwnedWindow window = form.Create();
    ASSERT_TRUE(ui::ReportEntry(form, 0, 2, "a.txt"));
    now = row.start + row.after;
    EXPECT_TRUE(ui::ReportEntry(form, 1, 2, "b.txt"));
    EXPECT_EQ(form.Handle().IsVisible(), row.shown);
  }
}

// A stop reaches the batch at its very next entry, with no time passed; the
// scan, whose folders are quick, looks for it every 30 ms.
TEST(ProgressPacer, StopLandsWithinItsUsesDelay) {
  struct Row {
    const char* what;
    const ui::ProgressUse& use;
    DWORD seenAfterMs;
  };
  const Row rows[] = {{"batch", ui::Renaming, 0}, {"scan", ui::Scanning, 30}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    DWORD now = 1000;
    TProgressForm form(row.use, [&now] { return now; });
    const ui::OwnedWindow window = form.Create();
    const auto step = [&form] { return form.Tick([] { return ui::ProgressReport{}; }); };
    ASSERT_TRUE(step());
    now += 500;
    ASSERT_TRUE(step());
    ASSERT_TRUE(form.Handle().IsVisible());
    form.Stop.Post(BM_CLICK);
    now += row.seenAfterMs;
    EXPECT_FALSE(step());
    EXPECT_FALSE(step()) << "and it stays stopped";
  }
}

// A name too long for the form is cut in its middle, where names that
// differ usually differ, and the rest fits (a short one stays whole: see above).
TEST(ProgressForm, LongNameKeepsItsStartAndItsEnd) {
  const std::string name = "IMG_" + std::string(30, 'x') + "夏休みの写真" + std::string(30, 'y') + "_0012.JPG";
  DWORD now = 1000;
  TProgressForm form(ui::Renaming, [&now] { return now; });
  const ui::OwnedWindow window = form.Create();
  ui::ReportEntry(form, 0, 1, name);
  now += 500;
  ui::ReportEntry(form, 0, 1, name);
  const std::string shown = form.Current.Text();
  EXPECT_NE(shown.find("…"), std::string::npos) << shown;
  EXPECT_EQ(shown.substr(0, 8), "IMG_xxxx");
  EXPECT_EQ(shown.substr(shown.size() - 12), "yyy_0012.JPG");
  HDC dc = GetDC(form.Current);
  SelectObject(dc, form.Current.Font());
  SIZE size{};
  GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  ReleaseDC(form.Current, dc);
  EXPECT_LE(size.cx, form.Current.ClientRect().right);
}

// The folder scan does not know its end: a marquee runs along its bar while
// the folders are read, and no report sets the bar back as if the scan began
// anew.
TEST(ScanProgress, BarRunsWhileFoldersAreReadAndNeverFallsBack) {
  DWORD now = 0;
  TProgressForm form(ui::Scanning, [&now] { return now; });
  const ui::OwnedWindow window = form.Create();
  std::set<std::vector<std::uint32_t>> looks;
  LRESULT last = 0;
  for (std::size_t report = 0; report < 30; ++report, now += 100) {
    Sleep(35);  // the marquee steps on a timer of real time
    ui::ReportScan(form, "C:", report * 100);
    const LRESULT position = form.Bar.Send(PBM_GETPOS);
    EXPECT_GE(position, last) << "report " << report;
    last = position;
    if (report % 6 != 5 || !form.Handle().IsVisible()) continue;
    LetPaint();
    looks.insert(ClientPixels(form.Bar));
  }
  EXPECT_GE(looks.size(), 4u) << "the bar stands still";
}

}  // namespace
}  // namespace quillet::test
