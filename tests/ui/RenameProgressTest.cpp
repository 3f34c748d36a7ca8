// The batch's progress window over real files: shown only when the batch runs
// long, and its stop ends the batch before the next entry with every file
// still there. A batch is made long on purpose by waiting before each entry.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "core/RenamePlan.h"
#include "tests/common/TempDir.h"
#include "tests/ui/UiTest.h"
#include "ui/RenameProgress.h"

namespace quillet::test {
namespace {

using Files = std::map<std::string, std::string>;
using ui::TRenameProgress;

const std::string kTitle = "リネーム中";
// Each entry takes at least kSlowMs, so the window, due after half a second,
// must show by entry kShownBy at the latest; kLongBatch runs well past it.
constexpr DWORD kSlowMs = 20;
constexpr std::size_t kShownBy = ui::ProgressPacer::ShowAfterMs / kSlowMs + 1;
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
  BatchEnd SlowBatch(TRenameProgress& progress, const std::function<void(std::size_t)>& then) {
    return RenameFiles(plan, [&](std::size_t index, std::size_t count, const std::string& name) {
      Sleep(kSlowMs);
      const bool go = progress.BeforeEntry(index, count, name);
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
  EXPECT_EQ(ui::RenameWithProgress(plan), (BatchEnd{BatchEnd::Done, 3}));
  EXPECT_FALSE(shown.Saw(kTitle));
  EXPECT_EQ(dir.Files(), After(3));
}

TEST_F(RenameProgress, LongBatchShowsHowFarItIsAndTheNameInHand) {
  MakeFiles(kLongBatch);
  TRenameProgress progress;
  const ui::OwnedWindow window = progress.Create();
  ShownWindows shown;
  std::size_t firstShown = plan.Count();
  std::string count, current;
  const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
    if (!progress.Handle().IsVisible()) return;
    if (firstShown == plan.Count()) firstShown = index;
    count = progress.Count.Text();
    current = progress.Current.Text();
    // The texts are renewed now and then: they may lag, never run ahead.
    const std::size_t done = std::stoul(count);
    EXPECT_LE(done, index);
    EXPECT_EQ(count, std::to_string(done) + " / " + std::to_string(kLongBatch));
    EXPECT_EQ(current, plan.OldNames[done]);
  });
  EXPECT_EQ(end, (BatchEnd{BatchEnd::Done, plan.Count()}));
  EXPECT_TRUE(shown.Saw(kTitle));
  EXPECT_GT(firstShown, 0u) << "not at once: only once the batch has run a while";
  EXPECT_LE(firstShown, kShownBy);
  EXPECT_EQ(progress.Stop.Text(), "中止");
  EXPECT_EQ(dir.Files(), After(plan.Count()));
}

// Whichever way the user stops, the entry in hand when the stop comes is the
// last one renamed; the message loop of nobody else is needed for it.
TEST_F(RenameProgress, StopEndsTheBatchBeforeTheNextEntry) {
  struct Case {
    const char* what;
    std::function<void(TRenameProgress&)> stop;
  };
  const Case cases[] = {
      {"stop button", [](TRenameProgress& p) { p.Stop.Post(BM_CLICK); }},
      {"Esc", [](TRenameProgress&) { PostKey(VK_ESCAPE); }},
      {"close box", [](TRenameProgress& p) { p.Handle().Post(WM_SYSCOMMAND, SC_CLOSE); }},
  };
  MakeFiles(kLongBatch);
  const Files before = dir.Files();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRenameProgress progress;
    const ui::OwnedWindow window = progress.Create();
    std::size_t stoppedAfter = plan.Count();
    const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
      if (stoppedAfter != plan.Count() || !progress.Handle().IsVisible()) return;
      EXPECT_EQ(GetFocus(), progress.Stop.Handle());
      c.stop(progress);
      stoppedAfter = index;
    });
    ASSERT_LT(stoppedAfter, plan.Count());
    EXPECT_EQ(end, (BatchEnd{BatchEnd::Stopped, stoppedAfter + 1}));
    EXPECT_EQ(dir.Files(), After(stoppedAfter + 1));
    // Back to the start for the next way of stopping.
    RenamePlan back = plan;
    back.OldNames.swap(back.NewNames);
    back.OldNames.resize(stoppedAfter + 1);
    ASSERT_EQ(RenameFiles(back), std::nullopt);
    ASSERT_EQ(dir.Files(), before);
  }
}

TEST_F(RenameProgress, FailureAfterTheWindowShowedStillEndsTheBatchAsFailed) {
  MakeFiles(kLongBatch);
  const std::size_t failing = kShownBy + 2;
  dir.Write(plan.NewNames[failing], "taken");
  TRenameProgress progress;
  const ui::OwnedWindow window = progress.Create();
  bool shownBeforeFailure = false;
  const BatchEnd end = SlowBatch(progress, [&](std::size_t index) {
    if (index == failing) shownBeforeFailure = progress.Handle().IsVisible();
  });
  EXPECT_TRUE(shownBeforeFailure);
  EXPECT_EQ(end, (BatchEnd{BatchEnd::Failed, failing}));
  Files expected = After(failing);
  expected[plan.NewNames[failing]] = "taken";
  EXPECT_EQ(dir.Files(), expected);
}

TEST_F(RenameProgress, Layout) {
  TRenameProgress progress;
  const ui::OwnedWindow window = progress.Create();
  EXPECT_EQ(progress.Handle().Text(), kTitle);
  EXPECT_EQ(progress.Handle().Owner(), nullptr) << "the main window has gone by then";
  const RECT client = progress.Handle().ClientRect();
  for (ui::Window w : {progress.Count, progress.Current, progress.Stop}) {
    const RECT r = w.Bounds();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
  }
  EXPECT_FALSE(progress.Handle().IsVisible()) << "made hidden; shown only by a long batch";
}

}  // namespace
}  // namespace quillet::test
