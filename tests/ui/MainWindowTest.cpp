// The main window, created for real and driven through its messages over
// real files in a temp directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "tests/common/TempDir.h"
#include "tests/ui/Glyphs.h"
#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

using ui::TForm1;
using ui::Window;

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class MainWindow : public ::testing::Test {
 protected:
  TempDir dir;
  TForm1 form;
  const ui::OwnedWindow formWindow = form.Create();

  void Files(std::initializer_list<const char*> names) {
    for (const char* n : names) dir.Write(n, n);
  }
  std::vector<std::string> Lines() { return ListLines(form.ListBox); }
  bool Listed(const std::string& line) {
    auto lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // The list and the plan behind it must agree line for line.
  void ExpectListMatchesPlan() {
    EXPECT_EQ(Lines(), form.Plan().Lines);
    EXPECT_EQ(form.Plan().OldNames.size(), form.Plan().Lines.size());
    EXPECT_EQ(form.Plan().NewNames.size(), form.Plan().Lines.size());
  }
};

TEST_F(MainWindow, ShowsDirectoryMaskAndPreviewAtOpen) {
  Files({"a1.txt", "a2.txt", "b.log"});
  form.PathMask = dir.Path() + "*.txt";
  form.SetPattern("*.bak");
  int result = RunModal(form, {[&] {
                                 EXPECT_EQ(form.Directory.Text(), dir.Path());
                                 EXPECT_EQ(form.Mask.Text(), "*.txt");
                                 EXPECT_EQ(Sorted(Lines()),
                                           (std::vector<std::string>{"a1.txt → a1.bak", "a2.txt → a2.bak"}));
                                 ExpectListMatchesPlan();
                                 EXPECT_TRUE(form.Rename.IsEnabled());
                                 EXPECT_EQ(GetFocus(), form.ListBox.Handle()) << "focus starts on the list";
                               },
                               [] { PostKey(VK_ESCAPE); }});
  EXPECT_EQ(result, ui::mrCancel);
}

// PathMask forms the program flow can hand over, and how the window splits them.
struct PathMaskCase {
  const char* name;
  std::string pathMask;
  std::string directory;
  std::string mask;
  bool expanded = true;  // else nothing is listed or renamed
};

TEST_F(MainWindow, SplitsPathMaskIntoDirectoryAndMask) {
  const std::string sub = dir.MakeDir("sub");
  dir.Write("sub\\x.txt", "x");
  const std::string deep = dir.Path() + dir.MakeLongJapanesePath();
  ASSERT_GT(deep.size(), 260u);
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  std::string root = dir.Path().substr(0, 3);  // such as C:\ (the temp dir's drive)
  const std::string tooLong = dir.Path() + std::string(300, 'a') + "\\";
  const std::vector<PathMaskCase> cases = {
      {"plain", dir.Path() + "*.txt", dir.Path(), "*.txt"},
      {"drive root keeps its backslash, then one more", root + "*.*", root + "\\", "*.*"},
      {"directory without mask", root + "Photos", root + "\\", "Photos"},
      {"trailing backslash", sub, sub, ""},
      {"relative, completed against the current directory", "*.txt", dir.Path(), "*.txt"},
      {"path of more than 260 bytes", deep + "*.jpg", deep, "*.jpg"},
      // Never the root of the drive, nor "\\".
      {"too long to expand", tooLong + "*.txt", tooLong, "*.txt", false},
      {"relative and too long to expand", std::string(300, 'a') + "\\*.txt",
       std::string(300, 'a') + "\\", "*.txt", false},
  };
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TForm1 f;
    const ui::OwnedWindow fWindow = f.Create();
    f.PathMask = c.pathMask;
    f.SetPattern("*");
    RunModal(f, {[&] {
                   EXPECT_EQ(f.Directory.Text(), c.directory);
                   EXPECT_EQ(f.Mask.Text(), c.mask);
                   EXPECT_EQ(f.Rename.IsEnabled(), c.expanded && !c.mask.empty());
                   if (c.mask.empty() || !c.expanded) {
                     EXPECT_EQ(f.ListBox.Send(LB_GETCOUNT), 0);
                     EXPECT_EQ(f.Plan().Count(), 0u);
                   }
                   // The label sizes itself to the directory text.
                   RECT r = f.Directory.Bounds();
                   EXPECT_GT(r.right - r.left, 15);
                 },
                 [&] { f.SetModalResult(ui::mrCancel); }});
  }
  SetCurrentDirectoryA(cwd);
}

// Started with a bare mask from inside a folder whose path takes more than
// 260 bytes: the mask is completed against that folder, not left empty
// against the root of the drive.
TEST_F(MainWindow, BareMaskInsideAPathOfMoreThan260Bytes) {
  const std::string sub = dir.MakeLongJapanesePath();
  const std::string deep = dir.Path() + sub;
  dir.Write(sub + "a.jpg", "A");
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
  form.PathMask = "*.jpg";
  form.SetPattern("b*.jpg");
  RunModal(form, {[&] {
                    EXPECT_EQ(form.Directory.Text(), deep);
                    EXPECT_EQ(form.Mask.Text(), "*.jpg");
                    EXPECT_EQ(Lines(), std::vector<std::string>{"a.jpg → ba.jpg"});
                    EXPECT_TRUE(form.Rename.IsEnabled());
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
  SetCurrentDirectoryA(cwd);
}

// A path that cannot be expanded lists nothing, whatever is typed.
TEST_F(MainWindow, UnexpandedPathListsNothingWhateverIsTyped) {
  dir.Write("a.txt", "A");
  form.PathMask = dir.Path() + std::string(300, 'a') + "\\*.txt";
  RunModal(form, {[&] { form.Mask.SetText("*"); },
                  [&] {
                    form.Pattern.Focus();
                    Type(form.Pattern, "x*");
                  },
                  [&] {
                    EXPECT_EQ(form.Pattern.Text(), "x*");
                    EXPECT_EQ(form.ListBox.Send(LB_GETCOUNT), 0);
                    EXPECT_FALSE(form.Rename.IsEnabled());
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

TEST_F(MainWindow, DirectoryShowsAmpersandLiterally) {
  const std::string amp = dir.MakeDir("R&D");
  form.PathMask = amp + "*.*";
  RunModal(form, {[&] {
                    EXPECT_EQ(form.Directory.Text(), amp);
                    EXPECT_TRUE(GetWindowLongA(form.Directory, GWL_STYLE) & SS_NOPREFIX);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

TEST_F(MainWindow, TypingRebuildsTheWholeListAndResetsItsPosition) {
  for (int i = 0; i < 60; ++i) dir.Write("f" + std::to_string(100 + i) + ".txt", "");
  dir.Write("only.log", "");
  form.PathMask = dir.Path() + "*.txt";
  // Selects a line far down and scrolls, so a rebuild has something to reset.
  auto scrollAway = [&] {
    form.ListBox.Send(LB_SETCURSEL, 40);
    form.ListBox.Send(LB_SETTOPINDEX, 30);
    ASSERT_GT(form.ListBox.Send(LB_GETTOPINDEX), 0);
  };
  auto expectAtTop = [&] {
    EXPECT_EQ(form.ListBox.Send(LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(form.ListBox.Send(LB_GETTOPINDEX), 0);
  };
  int result = RunModal(
      form, {[&] {
               EXPECT_EQ(Lines().size(), 60u);
               const std::string arrow = " → ";  // an empty pattern leaves the line ending in a blank
               EXPECT_EQ(Lines()[0].substr(Lines()[0].size() - arrow.size()), arrow) << Lines()[0];
               EXPECT_FALSE(form.Rename.IsEnabled()) << "no pattern yet";
               scrollAway();
             },
             [&] {
               form.Pattern.Focus();
               Type(form.Pattern, "x");
             },
             [&] {
               EXPECT_EQ(Lines().size(), 60u);
               EXPECT_TRUE(Listed("f100.txt → x"));
               ExpectListMatchesPlan();
               expectAtTop();
               EXPECT_TRUE(form.Rename.IsEnabled());
               scrollAway();
               Type(form.Pattern, "_*");
             },
             [&] {
               EXPECT_TRUE(Listed("f159.txt → x_f159"));
               expectAtTop();
               form.Mask.SetText("*.log");
             },
             [&] {
               EXPECT_EQ(Lines(), (std::vector<std::string>{"only.log → x_only"}));
               ExpectListMatchesPlan();
               EXPECT_EQ(form.Plan().OldNames, (std::vector<std::string>{"only.log"}));
               EXPECT_EQ(form.Plan().NewNames, (std::vector<std::string>{"x_only"}));
               form.Mask.SetText("*.none");
             },
             [&] {
               EXPECT_TRUE(Lines().empty());
               EXPECT_TRUE(form.Rename.IsEnabled()) << "mask and pattern are both filled";
               PostKey(VK_ESCAPE);
             }});
  EXPECT_EQ(result, ui::mrCancel);
}

// Counts the list's rebuilds while it lives: each one empties the list once.
class Rebuilds {
 public:
  explicit Rebuilds(Window list) : list_(list) { SetWindowSubclass(list_, Count, 0, reinterpret_cast<DWORD_PTR>(this)); }
  ~Rebuilds() { RemoveWindowSubclass(list_, Count, 0); }
  int count = 0;

 private:
  static LRESULT CALLBACK Count(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
    if (msg == LB_RESETCONTENT) ++reinterpret_cast<Rebuilds*>(self)->count;
    return DefSubclassProc(hwnd, msg, w, l);
  }
  Window list_;
};

// What the window shows once typing has been handled.
struct Typed {
  std::string pattern;
  std::vector<std::string> lines, oldNames, newNames;
  bool renameEnabled = false;
  int rebuilds = 0;
  bool operator==(const Typed&) const = default;
};

// Keys posted to Pattern as the keyboard delivers characters, "\b" a
// backspace: all in one burst, or each once the one before was handled.
std::vector<Step> TypeSteps(TForm1& form, const std::string& keys, bool burst,
                            std::unique_ptr<Rebuilds>& rebuilds) {
  std::vector<Step> steps;
  steps.push_back([&form, &rebuilds] {
    form.Pattern.Focus();
    form.Pattern.Send(EM_SETSEL, 0x7FFF, 0x7FFF);
    rebuilds = std::make_unique<Rebuilds>(form.ListBox);
  });
  const auto post = [&form](char c) { form.Pattern.Post(WM_CHAR, static_cast<unsigned char>(c), 1); };
  if (burst) {
    steps.push_back([keys, post] {
      for (char c : keys) post(c);
    });
  } else {
    for (char c : keys) steps.push_back([c, post] { post(c); });
  }
  return steps;
}

TEST_F(MainWindow, KeysInOneBurstEndAsKeysTypedOneAtATime) {
  for (int i = 0; i < 5; ++i) dir.Write("f" + std::to_string(i) + ".txt", "");
  dir.Write("g.log", "");
  struct Case {
    const char* what;
    const char* mask;
    const char* start;  // the pattern before typing
    const char* keys;
    const char* pattern;  // after typing
  };
  const Case cases[] = {
      {"filling an empty pattern", "*.txt", "", "x_*.doc", "x_*.doc"},
      {"taking back and typing anew", "*.txt", "*.bak", "\b\b\bdoc", "*.doc"},
      {"clearing the pattern", "*.txt", "a*", "\b\b", ""},
      {"typed and taken back again", "*.txt", "*", "xy\b\b", "*"},
      {"a pattern over no file", "*.none", "", "*.x", "*.x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Typed results[2];
    for (bool burst : {false, true}) {
      TForm1 f;
      const ui::OwnedWindow fWindow = f.Create();
      f.PathMask = dir.Path() + c.mask;
      f.SetPattern(c.start);
      std::unique_ptr<Rebuilds> rebuilds;
      std::vector<Step> steps = TypeSteps(f, c.keys, burst, rebuilds);
      Typed& typed = results[burst];
      steps.push_back([&] {
        typed = {f.Pattern.Text(), ListLines(f.ListBox), f.Plan().OldNames, f.Plan().NewNames,
                 f.Rename.IsEnabled(), rebuilds->count};
        f.SetModalResult(ui::mrCancel);
      });
      RunModal(f, steps);
    }
    const Typed& single = results[0];
    const Typed& burst = results[1];
    EXPECT_EQ(single.pattern, c.pattern);
    EXPECT_EQ(single.rebuilds, static_cast<int>(std::strlen(c.keys))) << "one rebuild per key";
    EXPECT_EQ(burst.rebuilds, 1) << "the burst is taken together";
    EXPECT_EQ(burst, (Typed{single.pattern, single.lines, single.oldNames, single.newNames,
                            single.renameEnabled, 1}));
  }
}

// A message-only window that runs `at` when a message posted to it comes:
// a stand-in for a click queued behind the keys, which sees the window as
// the click would (under Wine a posted BM_CLICK presses a disabled button).
class Probe {
 public:
  explicit Probe(std::function<void()> at)
      : at_(std::move(at)),
        hwnd_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {
    SetWindowSubclass(hwnd_, Proc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  ~Probe() { DestroyWindow(hwnd_); }
  void Post() const { PostMessageA(hwnd_, WM_APP, 0, 0); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
    if (msg == WM_APP) reinterpret_cast<Probe*>(self)->at_();
    return DefSubclassProc(hwnd, msg, w, l);
  }
  std::function<void()> at_;
  HWND hwnd_;
};

// Typing may overtake a rebuild that waits for it; nothing else may: a click
// that comes after the keys sees the plan and Rename of the final texts.
TEST_F(MainWindow, ClickAfterABurstSeesTheFinalTexts) {
  Files({"a.txt", "b.txt"});
  struct Case {
    const char* what;
    const char* start;
    const char* keys;
    bool renameEnabled;
    std::vector<std::string> newNames;
  };
  const Case cases[] = {
      {"a pattern filled in the burst", "", "*.bak", true, {"a.bak", "b.bak"}},
      {"changed in the burst", "*.bak", "\b\b\bdoc", true, {"a.doc", "b.doc"}},
      {"cleared in the burst", "x", "\b", false, {"", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TForm1 f;
    const ui::OwnedWindow fWindow = f.Create();
    f.PathMask = dir.Path() + "*.txt";
    f.SetPattern(c.start);
    bool clicked = false;
    Probe click([&] {
      clicked = true;
      EXPECT_EQ(f.Rename.IsEnabled(), c.renameEnabled);
      EXPECT_EQ(Sorted(f.Plan().NewNames), c.newNames);
      EXPECT_EQ(ListLines(f.ListBox), f.Plan().Lines);
      if (f.Rename.IsEnabled()) f.Rename.Send(BM_CLICK);
    });
    std::unique_ptr<Rebuilds> rebuilds;
    std::vector<Step> steps = TypeSteps(f, c.keys, true, rebuilds);
    steps.back() = [&f, &click, burst = steps.back()] {
      burst();
      // Real typing leaves a key-up behind its last character: the last
      // change, too, finds a key waiting and puts its rebuild off.
      f.Pattern.Post(WM_KEYUP, 'K', 1 | (3u << 30));
      click.Post();
    };
    if (!c.renameEnabled) steps.push_back([] { PostKey(VK_ESCAPE); });
    EXPECT_EQ(RunModal(f, steps), c.renameEnabled ? ui::mrOk : ui::mrCancel);
    EXPECT_TRUE(clicked);
  }
}

// Only keys for the edits are typing: a key for another control right after
// a burst acts on the list and the plan of the final texts.
TEST_F(MainWindow, KeyForAnotherControlAfterABurstSeesTheFinalTexts) {
  Files({"a.txt", "b.txt"});
  const struct {
    const char* what;
    Window TForm1::*control;
    WPARAM key;
    int result;
  } cases[] = {{"Space on Rename", &TForm1::Rename, VK_SPACE, ui::mrOk},
               {"Down in the list", &TForm1::ListBox, VK_DOWN, ui::mrCancel}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TForm1 f;
    const ui::OwnedWindow fWindow = f.Create();
    f.PathMask = dir.Path() + "*.txt";
    f.SetPattern("x");  // Rename is enabled all along
    std::unique_ptr<Rebuilds> rebuilds;
    std::vector<Step> steps = TypeSteps(f, "\b*.bak", true, rebuilds);
    steps.back() = [&, burst = steps.back()] {
      burst();
      f.Pattern.Post(WM_KEYUP, 'K', 1 | (3u << 30));
      (f.*c.control).Focus();
      PostKey(c.key);
    };
    steps.push_back([&] {
      EXPECT_EQ(f.ListBox.Send(LB_GETCURSEL), 0) << "the key went to the final list";
      f.SetModalResult(ui::mrCancel);
    });
    if (c.result == ui::mrOk) steps.pop_back();
    EXPECT_EQ(RunModal(f, steps), c.result);
    EXPECT_EQ(Sorted(f.Plan().NewNames), (std::vector<std::string>{"a.bak", "b.bak"}));
  }
}

// Every line can be scrolled into view, and no further.
TEST_F(MainWindow, HorizontalExtentFollowsTheWidestLine) {
  const std::string longName = std::string(40, 'w') + "写真の名前がとても長いファイル.txt";
  Files({"a.txt", longName.c_str()});
  form.PathMask = dir.Path() + "*.txt";
  form.SetPattern("*.txt");
  const auto expectExtentOfTheWidestLine = [&] {
    const Canvas canvas(form.ListBox.Font(), 1, 1);
    int widest = 0;
    for (const std::string& line : Lines()) widest = std::max(widest, canvas.Advance(line));
    const auto extent = static_cast<int>(form.ListBox.Send(LB_GETHORIZONTALEXTENT));
    EXPECT_GE(extent, widest + 10) << "the stop line's mark comes before its text";
    EXPECT_LE(extent, widest + 20);
  };
  RunModal(form, {[&] {
                    expectExtentOfTheWidestLine();
                    EXPECT_TRUE(GetWindowLongA(form.ListBox, GWL_STYLE) & WS_HSCROLL) << "the bar shows";
                    form.Mask.SetText("a.txt");
                  },
                  [&] {
                    expectExtentOfTheWidestLine();
                    EXPECT_FALSE(GetWindowLongA(form.ListBox, GWL_STYLE) & WS_HSCROLL) << "nothing to scroll";
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// However small the frame is dragged, every control keeps its own room.
TEST_F(MainWindow, AtItsSmallestNoControlCoversAnother) {
  Files({"a.txt"});
  form.PathMask = dir.Path() + "*.txt";
  RunModal(form, {[&] {
                    SetClientSize(form.Handle(), 100, 40);
                    const RECT client = form.Handle().ClientRect();
                    EXPECT_LT(client.right, 640);
                    EXPECT_LT(client.bottom, 329);
                    const std::vector<Window> controls = {form.ListBox, form.Label1, form.Mask, form.Label2,
                                                          form.Pattern, form.Rename, form.Cancel, form.Directory,
                                                          form.Ver};
                    for (std::size_t i = 0; i < controls.size(); ++i) {
                      const RECT a = controls[i].Bounds();
                      EXPECT_GE(a.left, 0);
                      EXPECT_LE(a.right, client.right) << controls[i].Id();
                      for (std::size_t j = i + 1; j < controls.size(); ++j) {
                        const RECT b = controls[j].Bounds();
                        RECT both;
                        EXPECT_FALSE(IntersectRect(&both, &a, &b)) << controls[i].Id() << " covers " << controls[j].Id();
                      }
                    }
                    const int item = static_cast<int>(form.ListBox.Send(LB_GETITEMHEIGHT));
                    EXPECT_GE(form.ListBox.ClientRect().bottom, 3 * item) << "the list shows three lines";
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// Whether pictures a and b (of one size) have the same ink in columns
// [from, to).
bool SameColumns(const Ink& a, const Ink& b, int from, int to) {
  for (int y = 0; y < a.Height; ++y)
    for (int x = std::max(from, 0); x < std::min(to, a.Width); ++x)
      if (a.At(x, y) != b.At(x, y)) return false;
  return true;
}

// A directory too long for its line stops short of Ver, drawn shortened in
// the middle: its start and its last folder show. Its text stays whole.
TEST_F(MainWindow, LongDirectoryIsShortenedInTheMiddle) {
  const std::string deep = dir.Path() + dir.MakeLongJapanesePath();
  form.PathMask = deep + "*.txt";
  RunModal(form, {[&] {
                    EXPECT_EQ(form.Directory.Text(), deep);
                    const RECT label = form.Directory.Bounds();
                    EXPECT_LT(label.right, form.Ver.Bounds().left);
                    const int width = label.right - label.left, height = label.bottom - label.top;
                    Canvas drawn(form.Directory.Font(), width, height);
                    form.Directory.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Dc()), PRF_CLIENT);
                    const Ink shown = drawn.Picture();
                    Canvas ours(form.Directory.Font(), width, height);
                    const std::string head = deep.substr(0, 6);
                    EXPECT_TRUE(SameColumns(shown, ours.Draw(head, 0, 0), 0, ours.Advance(head))) << "the start";
                    const std::string tail = deep.substr(deep.size() - 9);  // the last four kanji and "\\"
                    const int tailWidth = ours.Advance(tail);
                    bool tailShown = false;
                    for (int x = width - tailWidth; x >= width - tailWidth - 16 && !tailShown; --x)
                      tailShown = SameColumns(shown, ours.Draw(tail, x, 0), x, x + tailWidth);
                    EXPECT_TRUE(tailShown) << "the last folder";
                    form.SetModalResult(ui::mrCancel);
                  }});
}

TEST_F(MainWindow, RenameIsEnabledExactlyWhenMaskAndPatternAreFilled) {
  Files({"a.txt"});
  form.PathMask = dir.Path() + "*.txt";
  struct Case {
    const char* mask;
    const char* pattern;
    bool enabled;
  };
  const Case cases[] = {{"*.txt", "", false}, {"*.txt", "*.bak", true}, {"", "*.bak", false},
                        {"", "", false},      {"a.txt", "b", true},     {"*.txt", "", false}};
  std::vector<Step> steps;
  for (const Case& c : cases) {
    steps.push_back([&form = form, c] {
      form.Mask.SetText(c.mask);
      form.Pattern.SetText(c.pattern);
    });
    steps.push_back([&form = form, c] {
      SCOPED_TRACE(std::string(c.mask) + " / " + c.pattern);
      EXPECT_EQ(form.Rename.IsEnabled(), c.enabled);
    });
  }
  steps.push_back([&] { form.SetModalResult(ui::mrCancel); });
  RunModal(form, steps);
}

// How the window can be closed, and what it reports.
TEST_F(MainWindow, ModalResults) {
  Files({"a.txt"});
  struct Case {
    const char* name;
    std::function<void(TForm1&)> close;
    int result;
  };
  const Case cases[] = {
      {"Rename button", [](TForm1& f) { f.Rename.Send(BM_CLICK); }, ui::mrOk},
      {"Cancel button", [](TForm1& f) { f.Cancel.Send(BM_CLICK); }, ui::mrCancel},
      {"Esc in the list", [](TForm1& f) { f.ListBox.Focus(); PostKey(VK_ESCAPE); }, ui::mrCancel},
      {"Esc in an edit", [](TForm1& f) { f.Pattern.Focus(); PostKey(VK_ESCAPE); }, ui::mrCancel},
      {"Space on the focused Rename", [](TForm1& f) { f.Rename.Focus(); PostKey(VK_SPACE); }, ui::mrOk},
      {"close box", [](TForm1& f) { f.Handle().Post(WM_SYSCOMMAND, SC_CLOSE); }, ui::mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TForm1 f;
    const ui::OwnedWindow fWindow = f.Create();
    f.PathMask = dir.Path() + "*.txt";
    f.SetPattern("*.bak");
    EXPECT_EQ(RunModal(f, {[&] { c.close(f); }}), c.result);
    EXPECT_FALSE(f.Handle().IsVisible()) << "hidden after the modal loop";
    EXPECT_TRUE(IsWindow(f.Handle())) << "destroyed only by its owner";
  }
}

TEST_F(MainWindow, EnterConfirmsNothing) {
  Files({"a.txt"});
  form.PathMask = dir.Path() + "*.txt";
  form.SetPattern("*.bak");
  int result = RunModal(form, {[&] {
                                 ASSERT_TRUE(form.Rename.IsEnabled());
                                 form.Pattern.Focus();
                                 PostKey(VK_RETURN);
                               },
                               [&] {
                                 EXPECT_TRUE(form.GetModalResult() == ui::mrNone) << "Enter in the pattern closed the window";
                                 form.Mask.Focus();
                                 PostKey(VK_RETURN);
                               },
                               [&] {
                                 EXPECT_TRUE(form.GetModalResult() == ui::mrNone) << "Enter in the mask closed the window";
                                 form.ListBox.Focus();
                                 PostKey(VK_RETURN);
                               },
                               [&] {
                                 EXPECT_TRUE(form.GetModalResult() == ui::mrNone) << "Enter in the list closed the window";
                                 form.SetModalResult(ui::mrCancel);
                               }});
  EXPECT_EQ(result, ui::mrCancel);
}

TEST_F(MainWindow, TabWalksTheControlsInOrder) {
  Files({"a.txt"});
  form.PathMask = dir.Path() + "*.txt";
  form.SetPattern("*.bak");
  const std::vector<Window> order = {form.ListBox, form.Mask,   form.Pattern, form.Rename,
                                     form.Cancel,  form.Ver,    form.ListBox};
  std::vector<Step> steps;
  for (std::size_t i = 0; i < order.size(); ++i) {
    steps.push_back([&, i] {
      EXPECT_EQ(GetFocus(), order[i].Handle()) << "step " << i;
      PostKey(VK_TAB);
    });
  }
  steps.push_back([&] { form.SetModalResult(ui::mrCancel); });
  RunModal(form, steps);
}

TEST_F(MainWindow, LayoutFollowsTheAnchorsWhenResized) {
  form.PathMask = dir.Path() + "*.txt";
  struct Expect {
    Window control;
    RECT design;      // left, top, right, bottom at 640 x 329
    RECT grown;       // after the client grew by 160 x 71
  };
  auto rc = ui::Rc;
  RunModal(form, {[&] {
                    RECT c = form.Handle().ClientRect();
                    EXPECT_EQ(c.right, 640);
                    EXPECT_EQ(c.bottom, 329);
                    const Expect table[] = {
                        {form.ListBox, rc(0, 0, 640, 289), rc(0, 0, 800, 360)},
                        {form.Mask, rc(64, 292, 161, 20), rc(64, 363, 161, 20)},
                        {form.Pattern, rc(248, 292, 161, 20), rc(248, 363, 161, 20)},
                        {form.Rename, rc(488, 292, 65, 21), rc(648, 363, 65, 21)},
                        {form.Cancel, rc(560, 292, 73, 21), rc(720, 363, 73, 21)},
                        {form.Ver, rc(488, 313, 145, 16), rc(648, 384, 145, 16)},
                    };
                    for (const Expect& e : table) {
                      RECT r = e.control.Bounds();
                      EXPECT_TRUE(EqualRect(&r, &e.design)) << e.control.Id() << ": " << r.left << "," << r.top;
                    }
                    SetClientSize(form.Handle(), 800, 400);
                    for (const Expect& e : table) {
                      RECT r = e.control.Bounds();
                      EXPECT_TRUE(EqualRect(&r, &e.grown)) << e.control.Id() << ": " << r.left << "," << r.top;
                    }
                    // Labels keep their place; their size is their text's.
                    RECT d = form.Directory.Bounds();
                    EXPECT_EQ(d.left, 8);
                    EXPECT_EQ(d.top, 314 + 71);
                    RECT l = form.Label1.Bounds();
                    EXPECT_EQ(l.left, 8);
                    EXPECT_EQ(l.top, 296 + 71);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// A drag of the frame resizes the window step by step, growing and
// shrinking; afterwards the screen must show what a fresh paint of the whole
// window shows.
TEST_F(MainWindow, EveryControlIsPaintedAfterAResize) {
  Files({"IMG_0001.JPG", "IMG_0002.JPG"});
  form.PathMask = dir.Path() + "*.JPG";
  form.SetPattern("photo_*.jpg");
  const SIZE sizes[] = {{660, 340}, {700, 360}, {760, 390}, {800, 420}, {780, 400}, {720, 370}, {690, 350}};
  std::vector<Step> steps;
  for (SIZE size : sizes) steps.push_back([&form = form, size] { SetClientSize(form.Handle(), size.cx, size.cy); });
  steps.push_back([&] {
    LetPaint();
    const std::vector<std::uint32_t> shown = ClientPixels(form.Handle());
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    LetPaint();
    const std::vector<std::uint32_t> fresh = ClientPixels(form.Handle());
    ASSERT_EQ(shown.size(), fresh.size());
    const int width = form.Handle().ClientRect().right;
    // Which controls hold the pixels that differ.
    std::map<std::string, int> wrong;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      if (shown[i] == fresh[i]) continue;
      POINT p{static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
      const Window at = ChildWindowFromPointEx(form.Handle(), p, CWP_ALL);
      ++wrong[at == form.Handle() ? std::string("the form") : at.Text().empty() ? std::to_string(at.Id()) : at.Text()];
    }
    for (const auto& [where, count] : wrong) ADD_FAILURE() << count << " pixels not painted in " << where;
    form.SetModalResult(ui::mrCancel);
  });
  RunModal(form, steps);
}

TEST_F(MainWindow, VerOpensTheAboutBoxOwnedByTheWindow) {
  form.PathMask = dir.Path() + "*.txt";
  Window about;
  int result = RunModal(form, {[&] { form.Ver.Post(BM_CLICK); },
                               [&] {
                                 about = FindOwnedForm(form.Handle());
                                 ASSERT_TRUE(about) << "no About box owned by the main window";
                                 EXPECT_EQ(about.Text(), "バージョン情報");
                                 EXPECT_FALSE(form.Handle().IsEnabled()) << "the owner is disabled while it shows";
                                 PostKey(VK_RETURN);
                               },
                               [&] {
                                 EXPECT_FALSE(IsWindow(about)) << "destroyed once closed";
                                 EXPECT_TRUE(form.Handle().IsEnabled());
                                 EXPECT_TRUE(form.GetModalResult() == ui::mrNone) << "closing the About box keeps the window open";
                                 form.SetModalResult(ui::mrCancel);
                               }});
  EXPECT_EQ(result, ui::mrCancel);
}

// Closing the About box gives the focus back to Ver, which had it (a click
// on a button focuses it too), however the box was opened and closed.
TEST_F(MainWindow, FocusReturnsAfterTheAboutBox) {
  form.PathMask = dir.Path() + "*.txt";
  struct Case {
    const char* name;
    std::function<void(TForm1&)> open;
    std::function<void(Window about)> close;
  };
  const Case cases[] = {
      {"click, Enter", [](TForm1& f) { f.Ver.Post(BM_CLICK); }, [](Window) { PostKey(VK_RETURN); }},
      {"Space, close box", [](TForm1& f) { f.Ver.Focus(); PostKey(VK_SPACE); },
       [](Window about) { about.Post(WM_SYSCOMMAND, SC_CLOSE); }},
      {"Enter, Space on OK", [](TForm1& f) { f.Ver.Focus(); PostKey(VK_RETURN); }, [](Window) { PostKey(VK_SPACE); }},
  };
  std::vector<Step> steps;
  for (const Case& c : cases) {
    steps.push_back([&form = form, &c] {
      form.Pattern.Focus();
      c.open(form);
    });
    steps.push_back([&form = form, &c] {
      const Window about = FindOwnedForm(form.Handle());
      ASSERT_TRUE(about) << c.name;
      c.close(about);
    });
    steps.push_back([&form = form, &c] {
      EXPECT_FALSE(FindOwnedForm(form.Handle())) << c.name;
      EXPECT_EQ(GetFocus(), form.Ver.Handle()) << c.name;
    });
  }
  steps.push_back([&] { form.SetModalResult(ui::mrCancel); });
  RunModal(form, steps);
}

// Any other window taking the activation away and giving it back: the focus
// goes back to the control that had it, not to the window itself.
TEST_F(MainWindow, FocusReturnsWhenTheWindowIsActivatedAgain) {
  form.PathMask = dir.Path() + "*.txt";
  ui::OwnedWindow other;
  RunModal(form, {[&] {
                    form.Pattern.Focus();
                    other.Reset(CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                                nullptr, nullptr, nullptr, nullptr));
                    SetActiveWindow(other);
                  },
                  [&] {
                    EXPECT_NE(GetActiveWindow(), form.Handle().Handle());
                    SetActiveWindow(form.Handle());
                  },
                  [&] {
                    EXPECT_EQ(GetFocus(), form.Pattern.Handle());
                    form.SetModalResult(ui::mrCancel);
                  }});
}

TEST_F(MainWindow, Texts) {
  EXPECT_EQ(form.Handle().Text(), "Quillet by Tarnwick");
  EXPECT_EQ(form.Label1.Text(), "ファイル名");
  EXPECT_EQ(form.Label2.Text(), "→");
  EXPECT_EQ(form.Rename.Text(), "リネーム");
  EXPECT_EQ(form.Cancel.Text(), "キャンセル");
  EXPECT_EQ(form.Directory.Text(), "Dir");
  EXPECT_EQ(form.Ver.Text(), "バージョン情報...");
  EXPECT_TRUE(form.Rename.IsEnabled()) << "enabled until the first rebuild";
  // Below the text a row for the lines under captured pieces and one for the focus.
  EXPECT_EQ(form.ListBox.Send(LB_GETITEMHEIGHT), std::max(12, ui::CellHeight(form.ListBox.Font()) + 2));
  EXPECT_FALSE(GetWindowLongA(form.ListBox, GWL_STYLE) & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  LOGFONTA lf{};
  GetObjectA(form.Ver.Font(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -11);
  GetObjectA(form.Mask.Font(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_STREQ(lf.lfFaceName, ui::UiFace);
}

}  // namespace
}  // namespace quillet::test
