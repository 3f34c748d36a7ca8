// The real Quillet.exe, started as a user would start it, driven through its
// windows and judged by the files it leaves on disk.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/common/LinuxSide.h"
#include "tests/common/Plan.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/Driver.h"
#include "tests/ui/ControlId.h"
#include "ui/DirSel.h"
#include "ui/RenameProgress.h"
#include "ui/Unit1.h"

namespace quillet::e2e {
namespace {

using Files = std::map<std::string, std::string>;
using Lines = std::vector<std::string>;
using ui::TDirSelect;
using ui::TForm1;
using ui::TProgressForm;

std::string QuilletExe;  // the program under test, from the command line

const std::wstring kMainTitle = L"Quillet by Tarnwick";
const std::wstring kDirTitle = L"ディレクトリ選択";
const std::wstring kMessageCaption = L"Quillet";
const std::wstring kProgressTitle = L"リネーム中";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The failure message: its sentence as it has always read, why, and what the
// batch renamed before the failure.
std::string FailureText(const std::string& oldName, const std::string& why, const std::string& before) {
  return "\"" + oldName + "\"のリネームに失敗しました。\n" + why + "\n\n" + before;
}
const std::string kNoneRenamed = "リネームしたファイルはありません。";

// The first line of a message about the red line: which, and whose file.
std::string StopsAt(std::size_t line, const std::string& oldName) {
  return std::to_string(line) + "行目の「" + oldName + "」でリネームが止まります。";
}

// The message when the stop comes before any file would be renamed.
std::string NothingBefore(const std::string& oldName, const std::string& why) {
  return StopsAt(1, oldName) + "\n" + why + "\n\nその前にリネームできるファイルはありません。";
}

std::string FirstLineOf(const std::string& text) { return text.substr(0, text.find('\n')); }

std::string OldNameOf(const std::string& line) { return line.substr(0, line.find(" → ")); }
std::string NewNameOf(const std::string& line) { return line.substr(line.find(" → ") + std::string(" → ").size()); }

using test::Sorted;

// A screen point inside line i of the program's list.
POINT OnLine(HWND list, std::size_t i) {
  const auto row = static_cast<LONG>(i) - static_cast<LONG>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  POINT at{8, row * static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) + 4};
  ClientToScreen(list, &at);
  return at;
}

// What the main window shows, read from outside.
struct MainWindow {
  HWND hwnd;
  HWND Item(ui::Window TForm1::*control) const { return GetDlgItem(hwnd, test::IdOf(control)); }
  std::string Directory() const { return ControlText(Item(&TForm1::Directory)); }
  std::string Mask() const { return ControlText(Item(&TForm1::Mask)); }
  std::string Pattern() const { return ControlText(Item(&TForm1::Pattern)); }
  Lines ListLines() const { return ListBoxLines(Item(&TForm1::ListBox)); }
  bool RenameEnabled() const { return IsWindowEnabled(Item(&TForm1::Rename)); }
};

class EndToEnd : public testing::Test {
 protected:
  // Starts the program and waits for its main window.
  MainWindow Start(const std::string& args, const std::string& currentDir = "") {
    process_ = std::make_unique<QuilletProcess>(QuilletExe, args, currentDir);
    EXPECT_TRUE(process_->Started()) << QuilletExe;
    return MainWindow{process_->WaitForWindow(kMainTitle)};
  }

  // Presses Rename and waits for the program's next message box: the
  // question before a predicted stop, or the failure message; null when
  // the program ended without one.
  HWND PressRename(const MainWindow& main) {
    Click(main.Item(&TForm1::Rename));
    return process_->WaitForWindow(kMessageCaption);
  }

  // Presses Rename, answers はい to the question a predicted stop asks, and
  // answers the message that comes then, if one does; returns its text, or
  // the empty text when the program ended without one. Told that there is
  // nothing to rename, the window stays: Cancel ends the program then.
  std::string RenameAndAnswer(const MainWindow& main) {
    HWND box = PressRename(main);
    if (box && GetDlgItem(box, IDYES)) {
      EXPECT_EQ(GetWindow(box, GW_OWNER), main.hwnd) << "the question belongs to the main window";
      Click(GetDlgItem(box, IDYES));
      EXPECT_TRUE(WaitUntilGone(box));
      box = process_->WaitForWindow(kMessageCaption);
    }
    if (!box) return {};
    char cls[32] = {};
    GetClassNameA(box, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    std::string text = MessageBoxText(box);
    const bool nothingToRename = GetWindow(box, GW_OWNER) == main.hwnd;
    Click(GetDlgItem(box, IDOK));
    if (nothingToRename) {
      EXPECT_FALSE(GetDlgItem(box, IDCANCEL)) << "only OK";
      EXPECT_TRUE(WaitUntilGone(box));
      EXPECT_TRUE(IsWindowVisible(main.hwnd)) << "the window stays";
      Click(main.Item(&TForm1::Cancel));
    }
    return text;
  }

  long ExitCode() { return process_->WaitForExit(); }

  // Every title the program shows from now until it ends, looked at often
  // enough to catch a window shown for a moment.
  std::set<std::wstring> TitlesUntilExit() {
    std::set<std::wstring> seen;
    while (process_->IsRunning()) {
      for (const auto& title : process_->VisibleTitles()) seen.insert(title);
      Sleep(5);
    }
    return seen;
  }

  test::TempDir dir_;
  std::unique_ptr<QuilletProcess> process_;
};

TEST_F(EndToEnd, OneArgumentWithoutPatternShowsTheFilesAndRenamesNothing) {
  const Files files{{"a.jpg", "A"}, {"b.jpg", "B"}, {"c.txt", "C"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);

  MainWindow main = Start(Quoted(dir_.Path() + "*.jpg"));
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), dir_.Path());
  EXPECT_EQ(main.Mask(), "*.jpg");
  EXPECT_EQ(main.Pattern(), "");
  EXPECT_FALSE(main.RenameEnabled());
  EXPECT_EQ(Sorted(main.ListLines()), (Lines{"a.jpg → ", "b.jpg → "}));

  Click(main.Item(&TForm1::Cancel));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

TEST_F(EndToEnd, PatternFromTheCommandLineRenamesOnConfirm) {
  dir_.Write("IMG_0012.JPG", "12");
  dir_.Write("IMG_0013.JPG", "13");
  dir_.Write("other.txt", "O");

  MainWindow main = Start(Quoted(dir_.Path() + "IMG_*.JPG") + " photo_*.jpg ignored *.*");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Pattern(), "photo_*.jpg");
  EXPECT_TRUE(main.RenameEnabled());
  EXPECT_EQ(Sorted(main.ListLines()),
            (Lines{"IMG_0012.JPG → photo_0012.jpg", "IMG_0013.JPG → photo_0013.jpg"}));

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(),
            (Files{{"photo_0012.jpg", "12"}, {"photo_0013.jpg", "13"}, {"other.txt", "O"}}));
}

TEST_F(EndToEnd, CancelInTheMainWindowRenamesNothing) {
  dir_.Write("a.txt", "A");
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " b.txt");
  ASSERT_TRUE(main.hwnd);
  EXPECT_TRUE(main.RenameEnabled());
  Click(main.Item(&TForm1::Cancel));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
}

// Two quotes are no argument: the mask comes next and is taken against the
// current directory; the pattern typed afterwards drives the rename.
TEST_F(EndToEnd, EmptyQuotedFirstArgumentIsSkipped) {
  dir_.Write("a.txt", "A");
  MainWindow main = Start("\"\" *.txt", dir_.Path());
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), dir_.Path());
  EXPECT_EQ(main.Mask(), "*.txt");
  EXPECT_EQ(main.Pattern(), "");
  EXPECT_FALSE(main.RenameEnabled());

  SetEditText(main.Item(&TForm1::Pattern), "b_*.txt");
  EXPECT_TRUE(main.RenameEnabled());
  EXPECT_EQ(main.ListLines(), (Lines{"a.txt → b_a.txt"}));

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"b_a.txt", "A"}}));
}

// The quotes around the blank sit in the middle of the argument and go.
TEST_F(EndToEnd, QuotedPartInsideThePath) {
  const std::string sub = dir_.MakeDir("my photos");
  dir_.Write("my photos\\a.txt", "A");
  MainWindow main = Start(dir_.Path() + "my\" \"photos\\*.txt *.bak");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), sub);
  EXPECT_EQ(main.ListLines(), (Lines{"a.txt → a.bak"}));
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files("my photos\\"), (Files{{"a.bak", "A"}}));
}

TEST_F(EndToEnd, FirstNewNameExistingStopsWithTheMessage) {
  const Files files{{"x.txt", "X"}, {"x.dat", "D"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " *.dat");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), (Lines{"x.txt → x.dat"}));

  HWND box = PressRename(main);
  ASSERT_TRUE(box);
  EXPECT_EQ(SendMessageW(main.Item(&TForm1::ListBox), LB_GETCURSEL, 0, 0), 0) << "the red line selected";
  ClickWithMouse(GetDlgItem(box, IDOK), OnLine(main.Item(&TForm1::ListBox), 0));
  ASSERT_TRUE(WaitUntilGone(box));
  EXPECT_EQ(process_->WaitForTooltip(), "「x.dat」が既にあります。");
  EXPECT_EQ(RenameAndAnswer(main), NothingBefore("x.txt", "「x.dat」が既にあります。"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

TEST_F(EndToEnd, FailureMessageNamesAShiftJisFile) {
  const std::string hyo = "\x95\x5C";  // a kanji ending in the backslash byte
  const Files files{{hyo + ".txt", "T"}, {hyo + ".dat", "D"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " *.dat");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(RenameAndAnswer(main), NothingBefore(hyo + ".txt", "「" + hyo + ".dat」が既にあります。"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

TEST_F(EndToEnd, ConfirmingAnEmptyListSaysWhyAndStays) {
  dir_.Write("a.txt", "A");
  MainWindow main = Start(Quoted(dir_.Path() + "*.jpg") + " *.png");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), Lines{});
  EXPECT_TRUE(main.RenameEnabled());
  EXPECT_EQ(RenameAndAnswer(main), "「*.jpg」に合うファイルはありません。");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
}

// "?*" against "*?" turns ab into ba and ba into ab: the first entry's new
// name still exists when it is renamed.
TEST_F(EndToEnd, SwapFailsAtTheFirstEntry) {
  const Files files{{"ab.txt", "1"}, {"ba.txt", "2"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  MainWindow main = Start(Quoted(dir_.Path() + "?*.txt") + " *?.txt");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  ASSERT_EQ(Sorted(lines), (Lines{"ab.txt → ba.txt", "ba.txt → ab.txt"}));

  EXPECT_EQ(RenameAndAnswer(main), NothingBefore(OldNameOf(lines[0]), "「" + OldNameOf(lines[1]) + "」が既にあります。"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

// はい renames the files before the red line, and the batch stops there without a word.
TEST_F(EndToEnd, CollidingNewNamesRenameTheFirstAndStopAtTheSecond) {
  const Files files{{"a.txt", "A"}, {"b.txt", "B"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " z.txt");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  ASSERT_EQ(lines.size(), 2u);
  const std::string first = OldNameOf(lines[0]), second = OldNameOf(lines[1]);

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"z.txt", files.at(first)}, {second, files.at(second)}}));
}

// A batch forecast to stop half way asks first, counting the files that
// would really be renamed before the red line, not the lines (a name that
// stays is no rename); the red line is selected and in view behind the box.
// いいえ, the default, renames nothing, and the red line tells why. Where
// only names that stay come before the red line, there is no batch to ask about.
TEST_F(EndToEnd, PredictedStopAsksFirstAndNoRenamesNothing) {
  for (const char* name : {"c1.txt", "dup.a", "dup.b", "s2.txt", "s3.txt"}) dir_.Write(name, name);
  for (int i = 10; i < 40; ++i) dir_.Write("m" + std::to_string(i), "m");
  const Files files = dir_.Files();
  MainWindow main = Start(Quoted(dir_.Path() + "*") + " *.txt");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  std::size_t first = lines.size(), stop = 0, renamed = 0;  // the two lines that make dup.txt
  for (std::size_t i = 0; i < lines.size() && !stop; ++i)
    if (lines[i].starts_with("dup.")) (first == lines.size() ? first : stop) = i;
  ASSERT_GT(stop, 0u);
  for (std::size_t i = 0; i < stop; ++i) renamed += OldNameOf(lines[i]) != NewNameOf(lines[i]);

  HWND box = PressRename(main);
  ASSERT_TRUE(box);
  const std::string why =
      std::to_string(first + 1) + "行目（" + OldNameOf(lines[first]) + "）と同じ「dup.txt」になります。";
  EXPECT_EQ(MessageBoxText(box), StopsAt(stop + 1, OldNameOf(lines[stop])) + "\n" + why + "\n\nその前の" +
                                     std::to_string(renamed) + "個のファイルだけをリネームしますか？");
  GUITHREADINFO gui{sizeof gui};
  GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui);
  EXPECT_EQ(gui.hwndFocus, GetDlgItem(box, IDNO)) << "いいえ is the default";
  const HWND list = main.Item(&TForm1::ListBox);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), static_cast<LRESULT>(stop));
  RECT client{};
  GetClientRect(list, &client);
  const auto top = static_cast<std::size_t>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_TRUE(top <= stop && stop < top + client.bottom / SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) << "in view";
  // However いいえ is given (Enter, a click, Esc, Alt+N), the red line then
  // tells why, past the tooltips' own delays too; clicked, the pointer comes
  // to rest over the line above, a line with a tooltip of its own.
  for (const auto& [msg, key] : {std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_RETURN}, {0, 0}, {WM_KEYDOWN, VK_ESCAPE},
                                 {WM_SYSCHAR, 'n'}}) {
    SCOPED_TRACE(key);
    if (key != VK_RETURN) box = PressRename(main);
    ASSERT_TRUE(box);
    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui);
    if (msg) PostMessageW(gui.hwndFocus, msg, key, msg == WM_SYSCHAR ? 1 << 29 : 1);
    else ClickWithMouse(GetDlgItem(box, IDNO), OnLine(list, stop - 1));
    ASSERT_TRUE(WaitUntilGone(box));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), static_cast<LRESULT>(stop));
    for (DWORD after : {0, 1500}) {
      Sleep(after);
      EXPECT_EQ(process_->WaitForTooltip(), why);
    }
  }
  SetEditText(main.Item(&TForm1::Pattern), "c1.txt");  // c1.txt keeps its name, dup.a stops
  EXPECT_EQ(RenameAndAnswer(main),
            StopsAt(2, "dup.a") + "\n「c1.txt」が既にあります。\n\nその前にリネームできるファイルはありません。");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

// A pattern of thousands of characters makes a new name longer than any name
// can be: the window shows the start of it, and the batch refuses it.
TEST_F(EndToEnd, PatternOfThousandsOfCharactersIsShownAndRefused) {
  dir_.Write("a.txt", "A");
  const struct {
    const char* what;
    std::string onCommandLine, typed;
  } cases[] = {{"on the command line", std::string(4400, 'x'), ""}, {"typed", "", std::string(3000, '.')}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MainWindow main = Start(Quoted(dir_.Path() + "*") + " " + c.onCommandLine);
    ASSERT_TRUE(main.hwnd);
    if (!c.typed.empty()) SetEditText(main.Item(&TForm1::Pattern), c.typed);
    const Lines lines = main.ListLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 9), "a.txt → ");
    EXPECT_TRUE(lines[0].ends_with("…")) << "a new name no disk can hold is shown shortened";
    EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, "a.txt"));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
  }
}

// A click on Rename queued behind keys that empty the pattern acts on the
// final texts: Rename is disabled by then, and nothing happens.
TEST_F(EndToEnd, RenameQueuedBehindKeysThatEmptyThePatternDoesNothing) {
  dir_.Write("a.txt", "A");
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " x");
  ASSERT_TRUE(main.hwnd);
  const HWND pattern = main.Item(&TForm1::Pattern);
  SendMessageW(pattern, EM_SETSEL, 0, -1);
  PostMessageW(pattern, WM_CHAR, VK_BACK, 1);
  PostMessageW(pattern, WM_KEYUP, VK_BACK, 1 | (3u << 30));
  Click(main.Item(&TForm1::Rename));
  Click(main.Item(&TForm1::Cancel));
  HWND box = process_->WaitForWindow(kMessageCaption);
  EXPECT_FALSE(box) << MessageBoxText(box);
  if (box) Click(GetDlgItem(box, IDOK));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
}

// \x83\x5C (a katakana) and \x95\x5C (a kanji) end in the backslash byte: in
// the directory's name and in the file's, through the command line, the
// window and the rename.
TEST_F(EndToEnd, ShiftJisNamesWithBackslashTrailBytes) {
  const std::string so = "\x83\x5C", hyo = "\x95\x5C";
  const std::string sub = dir_.MakeDir(so);
  dir_.Write(so + "\\" + hyo + ".txt", "H");
  dir_.Write(so + "\\keep.dat", "K");

  MainWindow main = Start(Quoted(sub + "*.txt") + " " + so + "*.txt");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Mask(), "*.txt");
  EXPECT_EQ(main.ListLines(), (Lines{hyo + ".txt → " + so + hyo + ".txt"}));

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(so + "\\"), (Files{{so + hyo + ".txt", "H"}, {"keep.dat", "K"}}));
}

// Three folders of 40 kanji: more than 260 bytes, but far fewer characters.
TEST_F(EndToEnd, PathOfMoreThan260BytesOpensAndRenamesThere) {
  const std::string sub = dir_.MakeLongJapanesePath();
  const std::string deep = dir_.Path() + sub;
  ASSERT_GT(deep.size(), 260u);
  dir_.Write(sub + "a.jpg", "A");
  dir_.Write(sub + "b.jpg", "B");
  dir_.Write(sub + "c.txt", "C");
  dir_.Write("top.jpg", "T");

  MainWindow main = Start(Quoted(deep + "*.jpg") + " photo_*.jpg");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), deep);
  EXPECT_EQ(main.Mask(), "*.jpg");
  EXPECT_EQ(Sorted(main.ListLines()), (Lines{"a.jpg → photo_a.jpg", "b.jpg → photo_b.jpg"}));
  EXPECT_TRUE(main.RenameEnabled());

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(sub), (Files{{"photo_a.jpg", "A"}, {"photo_b.jpg", "B"}, {"c.txt", "C"}}));
  EXPECT_EQ(dir_.Files(), (Files{{"top.jpg", "T"}}));
}

// Started with a bare mask from inside such a folder.
TEST_F(EndToEnd, BareMaskInsideAPathOfMoreThan260Bytes) {
  const std::string sub = dir_.MakeLongJapanesePath();
  const std::string deep = dir_.Path() + sub;
  dir_.Write(sub + "a.jpg", "A");
  dir_.Write("top.jpg", "T");

  MainWindow main = Start("*.jpg photo_*.jpg", deep);
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), deep);
  EXPECT_EQ(main.Mask(), "*.jpg");
  EXPECT_EQ(main.ListLines(), (Lines{"a.jpg → photo_a.jpg"}));

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(sub), (Files{{"photo_a.jpg", "A"}}));
  EXPECT_EQ(dir_.Files(), (Files{{"top.jpg", "T"}}));
}

// ソ (83 5C) ends in the backslash byte: the "?" takes it whole, so the star
// after it starts at フ, not at that 5C on its own (a "\" the batch refused).
TEST_F(EndToEnd, QuestionMarkTakesADoubleByteCharacterWhole) {
  const std::string soft = "ソフト.txt";
  dir_.Write(soft, "S");
  dir_.Write("keep.dat", "K");
  MainWindow main = Start(Quoted(dir_.Path() + "?*.txt") + " [*].txt");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), (Lines{soft + " → [フト].txt"}));
  EXPECT_TRUE(main.RenameEnabled());

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"[フト].txt", "S"}, {"keep.dat", "K"}}));
}

// Enough files that the batch runs well past the half second after which its
// window shows: under Wine every rename reads the whole folder.
constexpr std::size_t kManyFiles = 3000;

// The user stops a long batch from its window: before the program ends, a
// box says how many files were renamed, which are the first ones of the
// list, and every other file keeps its name; none is lost. The last line
// would stop the batch: after はい the window counts the lines before it.
TEST_F(EndToEnd, StoppingALongBatchKeepsTheRenamesDoneAndSaysHowMany) {
  for (std::size_t i = 0; i < kManyFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%04zu.txt", i);
    dir_.Write(name, name);
  }
  dir_.Write("g2999.txt", "taken");
  MainWindow main = Start(Quoted(dir_.Path() + "f*.txt") + " g*.txt");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  ASSERT_EQ(lines.size(), kManyFiles);

  HWND question = PressRename(main);
  ASSERT_TRUE(question);
  Click(GetDlgItem(question, IDYES));
  HWND progress = process_->WaitForWindow(kProgressTitle);
  ASSERT_TRUE(progress) << "no progress window for a long batch";
  const std::string count = ControlText(GetDlgItem(progress, test::IdOf(&TProgressForm::Status)));
  EXPECT_TRUE(count.ends_with(" / 2,999")) << count;
  EXPECT_EQ(ControlText(GetDlgItem(progress, test::IdOf(&TProgressForm::Stop))), "中止");
  Click(GetDlgItem(progress, test::IdOf(&TProgressForm::Stop)));
  HWND box = process_->WaitForWindow(kMessageCaption);
  ASSERT_TRUE(box) << "the stop says nothing";
  std::string told = MessageBoxText(box);
  std::erase(told, ',');  // the count's thousands, checked in the progress window's count

  const Files after = dir_.Files();
  std::size_t renamed = 0;
  while (renamed < lines.size() && after.count(NewNameOf(lines[renamed]))) ++renamed;
  EXPECT_GT(renamed, 0u);
  EXPECT_LT(renamed, kManyFiles) << "stopped before the end";
  EXPECT_EQ(told, "中止しました。\n" + std::to_string(renamed) + "個のファイルをリネームしました。\n残りはそのままです。");
  Files expected{{"g2999.txt", "taken"}};
  for (std::size_t i = 0; i < lines.size(); ++i)
    expected[i < renamed ? NewNameOf(lines[i]) : OldNameOf(lines[i])] = OldNameOf(lines[i]);
  EXPECT_EQ(after, expected);
  Click(GetDlgItem(box, IDOK));
  EXPECT_EQ(ExitCode(), 0);
}

// A batch of a few files is over before anything could be shown.
TEST_F(EndToEnd, ShortBatchShowsNoProgressWindow) {
  dir_.Write("a.txt", "A");
  dir_.Write("b.txt", "B");
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " *.bak");
  ASSERT_TRUE(main.hwnd);
  Click(main.Item(&TForm1::Rename));
  const std::set<std::wstring> seen = TitlesUntilExit();
  EXPECT_EQ(seen.count(kProgressTitle), 0u);
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.bak", "A"}, {"b.bak", "B"}}));
}

// Characters in a path as the file functions count them (a double-byte
// character is one).
std::size_t PathChars(const std::string& path) {
  return static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0));
}

// A change of letter case goes over a temporary name; in a folder whose path
// leaves no room for that name, the line fails with nothing moved, where the
// file used to be left under the temporary name, out of reach.
TEST_F(EndToEnd, CaseOnlyRenameWithNoRoomForTheDetourLeavesTheFileAlone) {
  std::string sub;
  while (PathChars(dir_.Path() + sub) < 240) sub += "d\\", dir_.MakeDir(sub.substr(0, sub.size() - 1));
  const std::size_t room = 252 - PathChars(dir_.Path() + sub);
  sub += std::string(room - 1, 'f') + "\\";
  dir_.MakeDir(sub.substr(0, sub.size() - 1));
  ASSERT_EQ(PathChars(dir_.Path() + sub), 252u);
  dir_.Write(sub + "a.txt", "A");

  MainWindow main = Start(Quoted(dir_.Path() + sub + "a.txt") + " A.TXT");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, "a.txt"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(sub), (Files{{"a.txt", "A"}}));
}

// The same in a folder with room: the temporary name carries the old one.
TEST_F(EndToEnd, CaseOnlyRenameChangesTheCase) {
  dir_.Write("a.txt", "A");
  MainWindow main = Start(Quoted(dir_.Path() + "a.txt") + " A.TXT");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"A.TXT", "A"}}));
}

// A new name the disk cannot hold whole (under Wine a name is stored in
// UTF-8, at most 255 bytes: 100 kanji take 300, and so do 100 half-width
// kana) fails at its line, where it used to be cut short with success
// reported.
TEST_F(EndToEnd, NameTooLongForTheDiskFailsUntouched) {
  dir_.Write("a.txt", "A");
  std::string kanji;
  for (int i = 0; i < 100; ++i) kanji += "\x8A\xBF";  // 漢
  for (const std::string& newName : {kanji, std::string(100, '\xB1')}) {
    MainWindow main = Start(Quoted(dir_.Path() + "a.txt") + " " + newName + ".txt");
    ASSERT_TRUE(main.hwnd);
    EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, "a.txt"));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
  }
}

// In folders of double-byte names the path limit is counted as in any other:
// a new path of 260 characters fails (it used to pass, and the file could not
// be renamed back).
TEST_F(EndToEnd, PathLimitCountsDoubleByteFoldersAsTheyAre) {
  const std::string sub = dir_.MakeLongJapanesePath();
  const std::string deep = dir_.Path() + sub;
  dir_.Write(sub + "a.txt", "A");
  const std::string newName = std::string(260 - PathChars(deep) - 4, 'n') + ".txt";
  ASSERT_EQ(PathChars(deep + newName), 260u);
  MainWindow main = Start(Quoted(deep + "a.txt") + " " + newName);
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, "a.txt"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(sub), (Files{{"a.txt", "A"}}));
}

// Runs only where the drives are the test's own (under tests/with-drives):
// started without arguments the program scans every drive, and that must
// never be a drive that maps the whole machine.
class OwnDrives : public EndToEnd {
 protected:
  void SetUp() override {
    if (GetDriveTypeA("Z:\\") != DRIVE_NO_ROOT_DIR)
      GTEST_SKIP() << "drive Z: exists: run through tests/with-drives";
  }
};

TEST_F(OwnDrives, CancelInTheDirectoryDialogEndsAtOnce) {
  dir_.Write("a.txt", "A");
  process_ = std::make_unique<QuilletProcess>(QuilletExe, "", dir_.Path());
  HWND dialog = process_->WaitForWindow(kDirTitle);
  ASSERT_TRUE(dialog);
  Click(GetDlgItem(dialog, test::IdOf(&TDirSelect::Cancel)));

  const std::set<std::wstring> seen = TitlesUntilExit();
  EXPECT_EQ(seen.count(kMainTitle), 0u);
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.txt", "A"}}));
}

TEST_F(OwnDrives, ConfirmedDirectoryOpensWithEveryFile) {
  dir_.Write("a.txt", "A");
  dir_.Write("b", "B");
  process_ = std::make_unique<QuilletProcess>(QuilletExe, "", dir_.Path());
  HWND dialog = process_->WaitForWindow(kDirTitle);
  ASSERT_TRUE(dialog);
  HWND ok = GetDlgItem(dialog, test::IdOf(&TDirSelect::Ok));
  EXPECT_TRUE(IsWindowEnabled(ok));  // the current directory is pre-selected
  Click(ok);

  MainWindow main{process_->WaitForWindow(kMainTitle)};
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), dir_.Path());
  EXPECT_EQ(main.Mask(), "*.*");
  EXPECT_EQ(Sorted(main.ListLines()), (Lines{"a.txt → ", "b → "}));
  SetEditText(main.Item(&TForm1::Pattern), "*.bak");
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"a.bak", "A"}, {"b.bak", "B"}}));
}

// A root directory shows as T:\\ (its directory part keeps its backslash and
// one more is appended); the search and the renames use that text as it is.
TEST_F(OwnDrives, DriveRootRenamesThroughTheDoubledBackslash) {
  if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive T:";
  test::TempDir root = test::TempDir::Existing("T:\\");
  ASSERT_EQ(root.Files(), Files{});
  root.Write("a.txt", "A");
  root.Write("b.dat", "B");

  MainWindow main = Start("T:\\*.txt *.bak");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), "T:\\\\");
  EXPECT_EQ(main.ListLines(), (Lines{"a.txt → a.bak"}));
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(root.Files(), (Files{{"a.bak", "A"}, {"b.dat", "B"}}));
}

// Files on T: made from its Linux side: names Windows cannot make. Quillet
// works on T:\ itself; everything there is removed afterwards through the
// Linux side, since the Windows names of such files may address others.
class OwnDrivesLinuxSide : public OwnDrives {
 protected:
  void SetUp() override {
    OwnDrives::SetUp();
    if (IsSkipped()) return;
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive T:";
    linux_ = std::make_unique<test::LinuxSide>("T:\\");
    ASSERT_TRUE(linux_->Available());
    ASSERT_EQ(linux_->Files(), Files{});
  }

  void Make(const Files& files) {
    for (const auto& [name, content] : files) linux_->Write(name, content);
  }

  std::unique_ptr<test::LinuxSide> linux_;
};

using test::Utf8;

struct LookAlikeCase {
  const char* what;
  Files files;  // by UTF-8 name
  std::string folder;  // a folder beside them, "" for none
  std::string args;
  std::string line;    // the one preview line
  std::string failed;  // the old name the message names
};

void PrintTo(const LookAlikeCase& c, std::ostream* os) { *os << c.what; }

// A listed name that would address another file or folder: the yen sign
// becomes a backslash, the path loses a trailing blank or dot (no mask
// names "rep." apart from "rep" by its own name, so "rep" is a folder), and
// "é" has a look-alike in the code page. The line stays as it was; confirming
// stops at it with the message, and no look-alike is touched.
const LookAlikeCase kLookAlikeCases[] = {
    {"yen sign becomes a backslash",
     {{Utf8(u8"価格¥100.txt"), "price"}, {"100.txt", "hundred"}},
     "",
     "T:\\価格*.txt price_*.txt",
     "価格\\100.txt → price_.txt",
     "価格\\100.txt"},
    {"trailing blank",
     {{"data ", "blank"}, {"data", "plain"}},
     "",
     "T:\\data? new?",
     "data  → new ",
     "data "},
    {"trailing dot",
     {{"rep.", "dot"}},
     "rep",
     "T:\\rep* old*",
     "rep. → old",
     "rep."},
    {"look-alike of a folder",
     {{Utf8(u8"café.txt"), "accent"}},
     "cafe.txt",
     "T:\\caf?.txt new_*.txt",
     "cafe.txt → new_.txt",
     "cafe.txt"},
};

class LookAlikes : public OwnDrivesLinuxSide, public testing::WithParamInterface<LookAlikeCase> {};

TEST_P(LookAlikes, ListedNameThatAddressesAnotherFileIsNeverRenamed) {
  const LookAlikeCase& c = GetParam();
  Make(c.files);
  if (!c.folder.empty()) {
    linux_->MakeDir(c.folder);
    linux_->Write(c.folder + "/inside.txt", "inside");
  }
  MainWindow main = Start(c.args);
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), Lines{c.line});
  EXPECT_TRUE(main.RenameEnabled());

  EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, c.failed));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(linux_->Files(), c.files);
  if (!c.folder.empty()) {
    EXPECT_EQ(linux_->Folders(), std::set<std::string>{c.folder});
    EXPECT_EQ(test::TempDir::Existing("T:\\" + c.folder + "\\").Files(),
              (Files{{"inside.txt", "inside"}}));
  }
}

INSTANTIATE_TEST_SUITE_P(OwnDrives, LookAlikes, testing::ValuesIn(kLookAlikeCases));

// A folder that holds both spellings of a name. Renaming one to the other's
// spelling (or to a spelling that the file system finds the other under)
// fails at that entry with nothing touched: a detour over a temporary name
// could neither end nor come back, and would leave the file there.
TEST_F(OwnDrivesLinuxSide, CaseOnlyRenameBesideTheOtherSpellingLeavesBothAlone) {
  struct Case {
    const char* what;
    Files files;
    std::string args;
    std::size_t lines;
  } cases[] = {
      {"to the other spelling", {{"a.txt", "lower"}, {"A.TXT", "upper"}}, "T:\\a.txt A.TXT", 1},
      {"both to an upper-case extension", {{"A.txt", "upper"}, {"a.txt", "lower"}},
       "T:\\*.txt *.TXT", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make(c.files);
    MainWindow main = Start(c.args);
    ASSERT_TRUE(main.hwnd);
    const Lines lines = main.ListLines();
    ASSERT_EQ(lines.size(), c.lines);
    EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, OldNameOf(lines[0])));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(linux_->Files(), c.files);
    linux_ = std::make_unique<test::LinuxSide>("T:\\");  // clears T:\ for the next case
  }
}

// The short alias the file system gives a file of T:\.
std::string AliasOf(const std::string& name) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(("T:\\" + name).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return {};
  FindClose(h);
  return fd.cAlternateFileName;
}

std::string LowerCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A short alias is a spelling of its file's name: a change of case onto
// another file's alias fails untouched (the detour used to end at that other
// file and leave this one at the temporary name), and a rename to the file's
// own alias does what the line says (it used to report success and change
// nothing).
TEST_F(OwnDrivesLinuxSide, ShortAliasCountsAsASpellingOfItsFilesName) {
  Make({{"longfilename1.txt", "long"}});
  const std::string alias = AliasOf("longfilename1.txt");
  ASSERT_NE(alias.find('~'), std::string::npos) << alias;
  Make({{LowerCased(alias), "short"}});
  ASSERT_EQ(AliasOf("longfilename1.txt"), alias);

  MainWindow main = Start("T:\\" + LowerCased(alias) + " " + alias);
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), StopsAt(1, LowerCased(alias)));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(linux_->Files(), (Files{{"longfilename1.txt", "long"}, {LowerCased(alias), "short"}}));

  linux_->Remove(LowerCased(alias));
  main = Start("T:\\longfilename1.txt " + alias);
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(linux_->Files(), (Files{{alias, "long"}}));
}

// A line whose file went since the preview, while the listing held another
// spelling of its name: the batch must not rename that other file in its
// place (the file system would find it case-blind).
TEST_F(OwnDrivesLinuxSide, LineWhoseFileWentNeverRenamesTheOtherSpelling) {
  Make({{"a.txt", "lower"}, {"A.TXT", "upper"}});
  MainWindow main = Start("T:\\*.txt x*");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  ASSERT_EQ(lines.size(), 2u);
  linux_->Remove("A.TXT");
  const bool first = OldNameOf(lines[0]) == "A.TXT";
  EXPECT_EQ(RenameAndAnswer(main),
            FailureText("A.TXT", "「A.TXT」が見つかりません。", first ? kNoneRenamed : "それまでの1個はリネーム済みです。"));
  EXPECT_EQ(ExitCode(), 0);
  const Files left = linux_->Files();
  EXPECT_EQ(left.size(), 1u);
  EXPECT_EQ(left.count("xA.TXT"), 0u) << "a.txt renamed in the place of A.TXT";
  EXPECT_EQ(left.begin()->second, "lower");
}

// A path too long to expand names no directory for sure: the window shows
// it as given and never lists the root of the current drive, whatever the
// user types, nor renames anything there.
TEST_F(OwnDrivesLinuxSide, PathTooLongToExpandNeverActsOnTheDriveRoot) {
  Make({{"root.txt", "R"}});
  linux_->MakeDir("sub");
  const std::string tooLong = "T:\\sub\\" + std::string(300, 'a') + "\\";
  MainWindow main = Start(Quoted(tooLong + "*.txt") + " *.bak", "T:\\sub\\");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), tooLong);
  EXPECT_EQ(main.Mask(), "*.txt");
  EXPECT_EQ(main.ListLines(), Lines{});
  EXPECT_FALSE(main.RenameEnabled());

  SetEditText(main.Item(&TForm1::Mask), "*.txt");
  SetEditText(main.Item(&TForm1::Mask), "*.*");
  EXPECT_EQ(main.ListLines(), Lines{});
  EXPECT_FALSE(main.RenameEnabled());
  Click(main.Item(&TForm1::Rename));  // ignored while disabled
  Click(main.Item(&TForm1::Cancel));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(linux_->Files(), (Files{{"root.txt", "R"}}));
}

// The search also finds IMG_0001 (1).JPG through its short alias (IMG_~K1V.JPG
// under Wine, IMG_00~1.JPG on Windows), which the mask matches: it is left out,
// or its new name would collide with IMG_0001's and stop the batch there.
TEST_F(EndToEnd, FileMatchingOnlyByItsShortAliasIsNotListed) {
  dir_.Write("IMG_0001.JPG", "1");
  dir_.Write("IMG_0001 (1).JPG", "copy");
  MainWindow main = Start(Quoted(dir_.Path() + "IMG_????.JPG") + " photo_????.jpg");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), (Lines{"IMG_0001.JPG → photo_0001.jpg"}));

  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), (Files{{"photo_0001.jpg", "1"}, {"IMG_0001 (1).JPG", "copy"}}));
}

// Keys another program sent to the pattern while the question was up made
// another plan: はい was not about that one, so nothing runs.
TEST_F(EndToEnd, YesAfterTheTextsChangedBehindTheQuestionRunsNothing) {
  const Files files{{"a.txt", "A"}, {"b.txt", "B"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  MainWindow main = Start(Quoted(dir_.Path() + "*.txt") + " z.txt");
  ASSERT_TRUE(main.hwnd);
  HWND box = PressRename(main);
  ASSERT_TRUE(box);
  PostMessageW(main.Item(&TForm1::Pattern), WM_CHAR, 'y', 1);
  for (int i = 0; i < 100 && main.Pattern() == "z.txt"; ++i) Sleep(20);
  ASSERT_NE(main.Pattern(), "z.txt");
  Click(GetDlgItem(box, IDYES));
  ASSERT_TRUE(WaitUntilGone(box));
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(main.hwnd)) << "the window stays";
  Click(main.Item(&TForm1::Cancel));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files(), files);
}

// A folder dropped on the program's icon comes as argument 1 without a mask.
TEST_F(EndToEnd, DirectoryAsArgumentListsItsFiles) {
  const std::string photos = dir_.MakeDir("Photos");
  dir_.Write("Photos\\a.jpg", "A");
  dir_.Write("Photos\\b", "B");
  MainWindow main = Start(Quoted(dir_.Path() + "Photos"));
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.Directory(), photos);
  EXPECT_EQ(main.Mask(), "*.*");
  EXPECT_EQ(Sorted(main.ListLines()), (Lines{"a.jpg → ", "b → "}));
  Click(main.Item(&TForm1::Cancel));
  EXPECT_EQ(ExitCode(), 0);
}

// A file another program holds open fails at its rename, which nothing could
// foresee: the message's second line is the system's own words for it, and
// its last says how many files were renamed before it. The last file the
// batch would rename is held once the list is shown; of the two lines
// before it one keeps its name, which is no rename.
TEST_F(EndToEnd, FailureMessageGivesTheSystemsReasonAndTheFilesRenamedBefore) {
  const Files files{{"写真_1.txt", "1"}, {"写真_2.dat", "2"}, {"写真_3.dat", "3"}};
  for (const auto& [name, content] : files) dir_.Write(name, content);
  char words[512] = {};  // the system's own, without the line break it ends in
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_SHARING_VIOLATION, 0,
                 words, sizeof words, nullptr);
  const std::string why = std::string(words).substr(0, std::string(words).find_last_not_of("\r\n ") + 1);
  MainWindow main = Start(Quoted(dir_.Path() + "*.*") + " *.txt");
  ASSERT_TRUE(main.hwnd);
  const Lines lines = main.ListLines();
  ASSERT_EQ(lines.size(), 3u);
  std::size_t last = 2;
  while (OldNameOf(lines[last]) == NewNameOf(lines[last])) --last;
  const std::string held = OldNameOf(lines[last]);
  const HANDLE hold = CreateFileA((dir_.Path() + held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RenameAndAnswer(main), FailureText(held, why, "それまでの1個はリネーム済みです。"));
  EXPECT_EQ(ExitCode(), 0);
  CloseHandle(hold);
  EXPECT_EQ(dir_.Files().count(held), 1u) << "the held file keeps its name";
}

// A link out of the folder: its line is refused before anything moves, so
// the file it leads to stays where it is and the link still leads there.
TEST_F(EndToEnd, LinkOutOfTheFolderLeavesItsFileWhereItIs) {
  dir_.MakeDir("outside");
  dir_.Write("outside\\real.txt", "R");
  test::LinuxSide linux(dir_.MakeDir("in"));
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  linux.Shell("ln -s ../outside/real.txt out.txt");
  MainWindow main = Start(Quoted(dir_.Path() + "in\\*.txt") + " *.bak");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), Lines{"out.txt → out.bak"});
  EXPECT_EQ(RenameAndAnswer(main), NothingBefore("out.txt", "「out.txt」はリンクか特殊なファイルのため、\nリネームできません。"));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files("outside\\"), (Files{{"real.txt", "R"}}));
  EXPECT_EQ(linux.Files(), (Files{{"out.txt", "R"}}));
}

// A link at the new name that leads nowhere or to itself, in either
// spelling: Wine lists it not, so nothing foresees it, but the batch stops
// at the line and leaves the link where it is.
TEST_F(EndToEnd, LinkThatLeadsNowhereAtTheNewNameStays) {
  for (const std::string leadsTo : {"nowhere", "itself"}) {
    const std::string link = leadsTo == "nowhere" ? "b.txt" : "B.TXT";
    const std::string folder = dir_.MakeDir(leadsTo);
    test::LinuxSide linux(folder);
    if (!linux.Available()) GTEST_SKIP() << "no Linux side";
    linux.Write("a.txt", "A");
    linux.Shell("ln -s " + (leadsTo == "nowhere" ? leadsTo : link) + " " + link);
    MainWindow main = Start(Quoted(folder + "a.txt") + " b.txt");
    ASSERT_TRUE(main.hwnd);
    EXPECT_EQ(RenameAndAnswer(main), FailureText("a.txt", "「b.txt」が既にあります。", kNoneRenamed)) << link;
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(linux.Files(), (Files{{"a.txt", "A"}})) << link;
    linux.Shell("test -L " + link);
  }
}

// A file replaced by a link once the list is shown and its marks are made:
// the batch still refuses it, and the file the link leads to stays.
TEST_F(EndToEnd, LinkMadeAfterTheListWasShownIsRefused) {
  dir_.MakeDir("outside");
  dir_.Write("outside\\real.txt", "R");
  test::LinuxSide linux(dir_.MakeDir("in"));
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  linux.Write("a.txt", "A");
  MainWindow main = Start(Quoted(dir_.Path() + "in\\*.txt") + " *.bak");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(main.ListLines(), Lines{"a.txt → a.bak"});
  Sleep(500);  // the marks of one line, and the look at its file, are made by then
  linux.Shell("rm a.txt && ln -s ../outside/real.txt a.txt");
  EXPECT_EQ(FirstLineOf(RenameAndAnswer(main)), FirstLineOf(FailureText("a.txt", "", kNoneRenamed)));
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(dir_.Files("outside\\"), (Files{{"real.txt", "R"}}));
  EXPECT_EQ(linux.Files(), (Files{{"a.txt", "R"}}));
}

// A change of case in a folder whose path leaves room for three characters
// of the temporary name: cut there it would be the device AUX.
TEST_F(EndToEnd, CaseOnlyRenameInALongFolderNeverMakesADeviceName) {
  const std::string folder = dir_.MakeDir(std::string(245 - dir_.Path().size(), 'd'));
  ASSERT_EQ(folder.size(), 246u);
  test::TempDir inside = test::TempDir::Existing(folder);
  inside.Write("Auxiliary.txt", "A");
  MainWindow main = Start(Quoted(folder + "Auxiliary.txt") + " AUXILIARY.TXT");
  ASSERT_TRUE(main.hwnd);
  EXPECT_EQ(RenameAndAnswer(main), "");
  EXPECT_EQ(ExitCode(), 0);
  EXPECT_EQ(inside.Files(), (Files{{"AUXILIARY.TXT", "A"}}));
}

}  // namespace
}  // namespace quillet::e2e

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_tests [gtest options] <Quillet.exe>\n");
    return 2;
  }
  // A Unix path given by the test runner becomes the path of its drive.
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(argv[1], MAX_PATH, full, nullptr);
  quillet::e2e::QuilletExe = n && n < MAX_PATH ? full : argv[1];
  return RUN_ALL_TESTS();
}
