// What the preview says of each line over real files, without a window: its
// look, its tooltip and where its captured pieces stand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PreviewModel.h"
#include "tests/common/TempDir.h"

namespace quillet {
namespace {

// The line with each captured piece in parentheses after its number, or
// after "-" where the new name drops it.
std::string Marked(const PreviewModel& model, std::size_t i) {
  std::string text(model.Text(i));
  const auto spans = model.Spans(i);
  for (auto s = spans.rbegin(); s != spans.rend(); ++s)  // from the end: the places before stay
    text.insert(s->End, ")").insert(s->Begin, s->Dropped ? "(-:" : "(" + std::to_string(s->Capture) + ":");
  return text;
}

// "{1}" stands for line 1's old name: the lines come in the disk's order.
std::string Filled(std::string tip, const RenamePlan& plan) {
  for (std::size_t i = 0; i < plan.Count(); ++i)
    if (const auto at = tip.find("{" + std::to_string(i) + "}"); at != std::string::npos)
      tip.replace(at, 3, plan.OldNames[i]);
  return tip;
}

struct LineSays {
  LineLook look;
  const char *tip, *marked = nullptr;  // nullptr: not checked (the pieces follow the disk's order)
};
struct PreviewCase {
  const char *what, *file1, *file2, *mask, *pattern;
  std::vector<LineSays> lines;
};

const PreviewCase kCases[] = {
    {"a swap stops at its first line", "ab.txt", "ba.txt", "?*.txt", "*?.txt",
     {{LineLook::Stop, "「{1}」が既にあります。"}, {LineLook::NotReached, ""}}},
    {"names that collide stop at the second", "a1.txt", "a2.txt", "a?.txt", "b.txt",
     {{LineLook::Captured, nullptr}, {LineLook::Stop, "1行目（{0}）と同じ「b.txt」になります。"}}},
    {"a device name stops the first line", "a1.txt", "a2.txt", "a?.txt", "con.*",
     {{LineLook::Stop, "「con.」はデバイス名なので使えません。"}, {LineLook::NotReached, ""}}},
    {"the pieces on both sides", "ab.txt", nullptr, "?*.txt", "*?.txt",
     {{LineLook::Captured, "色の部分は * と ? が取り出した文字です。\n「a」→ 新しい名前に入ります。\n「b」→ 新しい名前に入ります。",
       "(0:a)(1:b).txt → (1:b)(0:a).txt"}}},
    {"a dropped part", "2026.08.15_x.jpg", nullptr, "*.*", "photo_*.*",
     {{LineLook::Captured,
       "色の部分は * と ? が取り出した文字です。\n「2026.08」→ 新しい名前に入ります。\n「.15_x」→ 新しい名前には入りません。\n「jpg」→ 新しい名前に入ります。",
       "(0:2026.08)(-:.15_x).(1:jpg) → photo_(0:2026.08).(1:jpg)"}}},
    {"a name that stays", "a.jpg", nullptr, "*.*", "*.jpg",
     {{LineLook::Unchanged, "名前は変わりません。", "a.jpg → a.jpg"}}},
    {"an extension the pattern writes anew", "IMG_1.jpg", nullptr, "IMG_*.*", "*.jpg",
     {{LineLook::Captured, "色の部分は * と ? が取り出した文字です。\n「1」→ 新しい名前に入ります。", "IMG_(0:1).jpg → (0:1).jpg"}}},
    {"no pattern, no captures", "a1.txt", nullptr, "a?.txt", "", {{LineLook::Plain, "", "a1.txt → "}}},
    {"no wildcard, no captures", "a.txt", nullptr, "a.txt", "b.txt", {{LineLook::Plain, "", "a.txt → b.txt"}}},
};

TEST(PreviewModel, EachLineSaysWhatTheWindowDraws) {
  for (const PreviewCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const test::TempDir dir;
    for (const char* name : {c.file1, c.file2})
      if (name) dir.Write(name);
    PreviewModel model;
    model.Rebuild(dir.Path(), c.mask, c.pattern);
    while (!model.Advance(1)) continue;
    ASSERT_EQ(model.Plan().Count(), c.lines.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      const LineSays& says = c.lines[i];
      EXPECT_EQ(model.Look(i), says.look) << i;
      if (says.tip) { EXPECT_EQ(model.Tip(i), Filled(says.tip, model.Plan())) << i; }
      if (says.marked) { EXPECT_EQ(Marked(model, i), says.marked) << i; }
    }
  }
}

}  // namespace
}  // namespace quillet
