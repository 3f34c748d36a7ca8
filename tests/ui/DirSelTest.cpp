// The directory dialog over drives of the test's own making (see
// dirsel-drives): A: B: E: floppy bays, C: Wine's system drive, D: a disk
// with the interesting folders, F: an empty CD-ROM, N: network, R: RAM disk,
// T: this program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "tests/ui/UiTest.h"
#include "tests/ui/ControlId.h"
#include "ui/DirSel.h"
#include "ui/Progress.h"

namespace quillet::ui {
namespace {

struct Node {
  std::string Text;
  int Image = -1, SelectedImage = -1;
  UINT State = 0;
};

HTREEITEM Next(Window tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      tree.Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

Node Read(Window tree, HTREEITEM item) {
  char text[MAX_PATH + 1] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  tv.stateMask = ~0u;
  EXPECT_TRUE(tree.Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)));
  return {tv.pszText, tv.iImage, tv.iSelectedImage, tv.state};
}

std::vector<HTREEITEM> Children(Window tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  for (HTREEITEM i = Next(tree, parent, TVGN_CHILD); i; i = Next(tree, i, TVGN_NEXT))
    items.push_back(i);
  return items;
}

std::vector<std::string> ChildTexts(Window tree, HTREEITEM parent) {
  std::vector<std::string> texts;
  for (HTREEITEM i : Children(tree, parent)) texts.push_back(Read(tree, i).Text);
  return texts;
}

// The node at a path of texts below the computer node, such as {"D:", "Work"}.
HTREEITEM Find(Window tree, std::initializer_list<const char*> path) {
  HTREEITEM item = Next(tree, nullptr, TVGN_ROOT);
  for (const char* text : path) {
    HTREEITEM found = nullptr;
    for (HTREEITEM c : Children(tree, item))
      if (Read(tree, c).Text == text) found = c;
    if (!found) return nullptr;
    item = found;
  }
  return item;
}

HTREEITEM Selected(Window tree) { return Next(tree, nullptr, TVGN_CARET); }

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A real left click on the node's label, as the mouse would deliver it.
void Click(Window tree, HTREEITEM item) {
  tree.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  RECT r{};
  std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rect
  ASSERT_TRUE(tree.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  tree.Post(WM_LBUTTONUP, 0, at);
  tree.Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
  Pump();
}

void Key(Window tree, WPARAM vk) {
  tree.Send(WM_KEYDOWN, vk, 1);
  tree.Send(WM_KEYUP, vk, 0xC0000001);
  Pump();
}

// A dialog shown (not modally) from SelectedDir, as the program flow does.
struct Shown {
  explicit Shown(const char* dir) {
    dialog.SelectedDir = dir;
    ShowWindow(dialog.Handle(), SW_SHOW);
    Pump();
  }
  TDirSelect dialog;
  const ui::OwnedWindow dialogWindow = dialog.Create();
  Window tree = dialog.Tree;
};

class DirSelTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Attributes only Win32 can set on Wine's side.
    ASSERT_TRUE(SetFileAttributesA("D:\\sysdir", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(GetFileAttributesA("D:\\sysdir") & FILE_ATTRIBUTE_SYSTEM);
    // Wine hides a Unix name that starts with a dot.
    ASSERT_TRUE(GetFileAttributesA("D:\\.hidden") & FILE_ATTRIBUTE_HIDDEN);
  }
};

TEST_F(DirSelTest, DrivesInLetterOrderWithTheirImages) {
  Shown s("T:\\");
  const HTREEITEM computer = Next(s.tree, nullptr, TVGN_ROOT);
  const Node top = Read(s.tree, computer);
  EXPECT_EQ(top.Text, "マイ コンピュータ");
  EXPECT_EQ(top.Image, 7);
  EXPECT_EQ(top.SelectedImage, 7);
  EXPECT_EQ(Next(s.tree, computer, TVGN_NEXT), nullptr) << "one computer node only";

  struct {
    const char* text;
    int image;
  } const expected[] = {{"A:", 10}, {"B:", 10}, {"C:", 3}, {"D:", 3}, {"E:", 2},
                        {"F:", 5},  {"N:", 4},  {"R:", 6}, {"T:", 3}};
  const auto drives = Children(s.tree, computer);
  ASSERT_EQ(drives.size(), std::size(expected));
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const Node n = Read(s.tree, drives[i]);
    EXPECT_EQ(n.Text, expected[i].text);
    EXPECT_EQ(n.Image, expected[i].image) << n.Text;
    EXPECT_EQ(n.SelectedImage, expected[i].image) << n.Text;
  }
}

TEST_F(DirSelTest, FoldersOfEveryDriveWithTheirImages) {
  Shown s("T:\\");
  struct {
    std::initializer_list<const char*> path;
    int image, selectedImage;
  } const cases[] = {
      {{"A:", "disk1"}, 0, 1},
      {{"D:", "Work", "2001"}, 0, 1},
      {{"D:", "RECYCLED"}, 9, 9},               // directly under a drive
      {{"D:", "Projects", "RECYCLED"}, 0, 1},  // deeper: a plain folder
      {{"D:", "Recycled2"}, 0, 1},
      {{"R:", "recycled"}, 0, 1},              // the name is case-sensitive
      {{"D:", ".hidden"}, 0, 1},
      {{"D:", "sysdir"}, 0, 1},
      {{"N:", "share"}, 0, 1},
      {{"D:", "cycle", "loop"}, 0, 1},
  };
  for (const auto& c : cases) {
    const HTREEITEM item = Find(s.tree, c.path);
    ASSERT_NE(item, nullptr) << *std::prev(c.path.end());
    const Node n = Read(s.tree, item);
    EXPECT_EQ(n.Image, c.image) << n.Text;
    EXPECT_EQ(n.SelectedImage, c.selectedImage) << n.Text;
  }
  EXPECT_EQ(Find(s.tree, {"D:", "file.txt"}), nullptr) << "files are no nodes";
  EXPECT_EQ(Find(s.tree, {"D:", "."}), nullptr);
  EXPECT_EQ(Find(s.tree, {"D:", "Work", ".."}), nullptr);
}

TEST_F(DirSelTest, ScanEndsAtLinksAndPathLimitAndEmptyDrives) {
  Shown s("T:\\");
  const HTREEITEM loop = Find(s.tree, {"D:", "cycle", "loop"});
  ASSERT_NE(loop, nullptr);
  EXPECT_TRUE(Children(s.tree, loop).empty()) << "a link back to the drive's root is not entered";

  // D:\long\x..x\y..y (208 bytes) fits; its child z..z would make 309.
  const std::string x(100, 'x'), y(100, 'y');
  const HTREEITEM deep = Find(s.tree, {"D:", "long", x.c_str(), y.c_str()});
  ASSERT_NE(deep, nullptr);
  EXPECT_TRUE(Children(s.tree, deep).empty());

  for (const char* drive : {"B:", "E:", "F:", "T:"}) {
    const HTREEITEM item = Find(s.tree, {drive});
    ASSERT_NE(item, nullptr) << drive << " keeps its node";
    EXPECT_TRUE(Children(s.tree, item).empty()) << drive;
  }
}

TEST_F(DirSelTest, LinkedFoldersShowWhatTheyLeadToUntilACycle) {
  Shown s("T:\\");
  const std::vector<std::string> shared = {"a", "b"}, a = {"deep", "up"};
  EXPECT_EQ(ChildTexts(s.tree, Find(s.tree, {"D:", "Shared"})), shared);
  EXPECT_EQ(ChildTexts(s.tree, Find(s.tree, {"D:", "Link"})), shared) << "the link shows its folder's children";
  EXPECT_EQ(ChildTexts(s.tree, Find(s.tree, {"D:", "Link", "a"})), a);
  // up leads back to Shared, which is on the path both ways: it is listed
  // and not entered, whichever name the path took.
  for (auto path : {std::initializer_list<const char*>{"D:", "Shared", "a", "up"},
                    std::initializer_list<const char*>{"D:", "Link", "a", "up"}}) {
    const HTREEITEM up = Find(s.tree, path);
    ASSERT_NE(up, nullptr);
    EXPECT_TRUE(Children(s.tree, up).empty()) << "the cycle goes on below " << *std::next(path.begin());
  }
  // Off the drive: to N:, whose share shows under N: itself, and to a folder
  // on no drive. Listed, not entered.
  EXPECT_EQ(ChildTexts(s.tree, Find(s.tree, {"N:"})), std::vector<std::string>{"share"});
  for (const char* away : {"Away", "Outside"}) {
    const HTREEITEM link = Find(s.tree, {"D:", away});
    ASSERT_NE(link, nullptr) << away;
    EXPECT_TRUE(Children(s.tree, link).empty()) << away;
  }
}

// Folders of 40 kanji each: six levels below D:\漢字 make some 250
// characters in about 500 bytes and are listed, pre-selected and picked
// whole; a seventh would leave no room to list its files.
TEST_F(DirSelTest, PathLimitCountsCharactersNotBytes) {
  std::string k;
  for (int i = 0; i < 40; ++i) k += "漢";
  std::string deep = "D:\\漢字\\";
  for (int level = 0; level < 6; ++level) deep += k + "\\";
  ASSERT_GT(deep.size(), 400u);
  Shown s(deep.c_str());
  const HTREEITEM node = Selected(s.tree);
  ASSERT_NE(node, nullptr) << "the sixth level is listed and pre-selected";
  EXPECT_EQ(Read(s.tree, node).Text, k);
  EXPECT_TRUE(Children(s.tree, node).empty()) << "the seventh level is not";
  EXPECT_TRUE(s.dialog.Ok.IsEnabled());
  Click(s.tree, Find(s.tree, {"D:"}));
  ASSERT_EQ(s.dialog.SelectedDir, "D:\\");
  s.tree.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
  Click(s.tree, node);
  EXPECT_EQ(s.dialog.SelectedDir, deep);
}

TEST_F(DirSelTest, EachLevelInTheLocalesTextOrder) {
  Shown s("T:\\");
  std::vector<std::string> names = ChildTexts(s.tree, Find(s.tree, {"D:", "sort"}));
  std::vector<std::string> want = {"coop", "co-op", "cop", "Coop", "b", "_x", "10", "9", "a-b", "ab"};
  std::sort(want.begin(), want.end(),
            [](const std::string& a, const std::string& b) { return lstrcmpA(a.c_str(), b.c_str()) < 0; });
  EXPECT_EQ(names, want);
  std::vector<std::string> bytes = want;
  std::sort(bytes.begin(), bytes.end());
  EXPECT_NE(names, bytes) << "the locale's order is not byte order";
  const auto coop = std::find(names.begin(), names.end(), "coop");
  const auto coop2 = std::find(names.begin(), names.end(), "co-op");
  ASSERT_NE(coop, names.end());
  ASSERT_NE(coop2, names.end());
  EXPECT_EQ(std::abs(coop - coop2), 1) << "a hyphen barely counts";

  const auto d = ChildTexts(s.tree, Find(s.tree, {"D:"}));
  EXPECT_TRUE(std::is_sorted(d.begin(), d.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpA(a.c_str(), b.c_str()) < 0;
  }));
}

TEST_F(DirSelTest, PreselectsTheMatchingFolder) {
  struct {
    const char* selectedDir;
    std::initializer_list<const char*> node;
    const char* afterShow;
  } const cases[] = {
      {"D:\\Work", {"D:", "Work"}, "D:\\Work\\"},
      {"D:\\Work\\", {"D:", "Work"}, "D:\\Work\\"},
      {"d:\\pROJECTS", {"D:", "Projects"}, "d:\\pROJECTS\\"},  // compared upper-cased
      // Work and work are both there: the one that matches exactly wins.
      {"D:\\work", {"D:", "work"}, "D:\\work\\"},
      {"D:\\Work\\2001", {"D:", "Work", "2001"}, "D:\\Work\\2001\\"},
      {"C:\\", {"C:"}, "C:\\"},
      {"D:", {"D:"}, "D:\\"},
      // 表 is 95 5C: its trail byte is no backslash, so one is still added.
      {"D:\\表", {"D:", "表"}, "D:\\表\\"},
  };
  for (const auto& c : cases) {
    Shown s(c.selectedDir);
    const HTREEITEM want = Find(s.tree, c.node);
    ASSERT_NE(want, nullptr) << c.selectedDir;
    EXPECT_EQ(Selected(s.tree), want) << c.selectedDir;
    EXPECT_EQ(s.dialog.SelectedDir, c.afterShow);
    EXPECT_TRUE(s.dialog.Ok.IsEnabled()) << c.selectedDir;
    for (HTREEITEM up = Next(s.tree, want, TVGN_PARENT); up; up = Next(s.tree, up, TVGN_PARENT))
      EXPECT_TRUE(Read(s.tree, up).State & TVIS_EXPANDED) << "ancestors open for " << c.selectedDir;
    EXPECT_FALSE(Read(s.tree, want).State & TVIS_EXPANDED) << "nothing else is opened";
  }
}

TEST_F(DirSelTest, NoMatchLeavesTheComputerNodeAloneAndClosed) {
  for (const char* dir : {"D:\\Nowhere\\", ""}) {
    Shown s(dir);
    EXPECT_EQ(Selected(s.tree), nullptr) << dir;
    EXPECT_FALSE(Read(s.tree, Next(s.tree, nullptr, TVGN_ROOT)).State & TVIS_EXPANDED);
    EXPECT_EQ(s.dialog.SelectedDir, dir);
    EXPECT_TRUE(s.dialog.Ok.IsEnabled()) << "Ok starts enabled";
  }
}

TEST_F(DirSelTest, ClicksSetTheDirectoryAndOk) {
  Shown s("D:\\Work\\");
  s.tree.Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Find(s.tree, {"D:", "Work"})));
  Click(s.tree, Find(s.tree, {"D:", "Work", "2001"}));
  EXPECT_EQ(Selected(s.tree), Find(s.tree, {"D:", "Work", "2001"}));
  EXPECT_EQ(s.dialog.SelectedDir, "D:\\Work\\2001\\");
  EXPECT_TRUE(s.dialog.Ok.IsEnabled());

  Click(s.tree, Find(s.tree, {"D:"}));
  EXPECT_EQ(s.dialog.SelectedDir, "D:\\");
  EXPECT_TRUE(s.dialog.Ok.IsEnabled());

  Click(s.tree, Next(s.tree, nullptr, TVGN_ROOT));
  EXPECT_EQ(s.dialog.SelectedDir, "");
  EXPECT_FALSE(s.dialog.Ok.IsEnabled());

  Click(s.tree, Find(s.tree, {"D:", "表"}));
  EXPECT_EQ(s.dialog.SelectedDir, "D:\\表\\");
  EXPECT_TRUE(s.dialog.Ok.IsEnabled());
}

// The arrow keys choose the directory as a click does.
TEST_F(DirSelTest, KeyboardSelectionSetsTheDirectory) {
  Shown s("D:\\Work\\");
  s.tree.Focus();
  struct {
    WPARAM key;
    std::initializer_list<const char*> node;  // empty: the computer node
    const char* selectedDir;
  } const steps[] = {
      {VK_RIGHT, {"D:", "Work"}, "D:\\Work\\"},  // opens Work, stays on it
      {VK_RIGHT, {"D:", "Work", "2001"}, "D:\\Work\\2001\\"},
      {VK_DOWN, {"D:", "Work", "Archive"}, "D:\\Work\\Archive\\"},
      {VK_LEFT, {"D:", "Work"}, "D:\\Work\\"},
      {VK_HOME, {}, ""},
  };
  for (const auto& step : steps) {
    Key(s.tree, step.key);
    const HTREEITEM want = step.node.size() ? Find(s.tree, step.node) : Next(s.tree, nullptr, TVGN_ROOT);
    EXPECT_EQ(Selected(s.tree), want) << step.selectedDir;
    EXPECT_EQ(s.dialog.SelectedDir, step.selectedDir);
    EXPECT_EQ(s.dialog.Ok.IsEnabled(), step.node.size() > 0) << "only the computer node is no directory";
  }
}

TEST_F(DirSelTest, EnterAfterTheArrowKeysGivesTheFolderMovedTo) {
  TDirSelect dialog;
  const ui::OwnedWindow dialogWindow = dialog.Create();
  dialog.SelectedDir = "D:\\Work";
  for (WPARAM key : {VK_RIGHT, VK_RIGHT, VK_RETURN}) dialog.Tree.Post(WM_KEYDOWN, key, 1);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(dialog.SelectedDir, "D:\\Work\\2001\\");
}

TEST_F(DirSelTest, ModalResults) {
  struct {
    const char* name;
    WPARAM key;
    int result;
  } const cases[] = {{"Enter confirms", VK_RETURN, mrOk}, {"Esc cancels", VK_ESCAPE, mrCancel}};
  for (const auto& c : cases) {
    TDirSelect dialog;
    const ui::OwnedWindow dialogWindow = dialog.Create();
    dialog.SelectedDir = "D:\\Work";
    dialog.Tree.Post(WM_KEYDOWN, c.key, 1);
    EXPECT_EQ(dialog.ShowModal(), c.result) << c.name;
    EXPECT_EQ(dialog.SelectedDir, "D:\\Work\\") << c.name;
  }
  TDirSelect closed;
  const ui::OwnedWindow closedWindow = closed.Create();
  closed.Handle().Post(WM_CLOSE);
  EXPECT_EQ(closed.ShowModal(), mrCancel) << "the close box cancels";
}

TEST_F(DirSelTest, ImagesAndLayout) {
  Shown s("T:\\");
  const auto images = reinterpret_cast<HIMAGELIST>(s.tree.Send(TVM_GETIMAGELIST, TVSIL_NORMAL));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 11);
  EXPECT_EQ(s.tree.Send(TVM_GETINDENT), 19);
  const LONG style = GetWindowLongA(s.tree, GWL_STYLE);
  EXPECT_TRUE(style & TVS_HASLINES);
  EXPECT_TRUE(style & TVS_HASBUTTONS);
  EXPECT_FALSE(style & (TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS));

  const RECT client = s.dialog.Handle().ClientRect();
  EXPECT_EQ(client.right, 369);
  EXPECT_EQ(client.bottom, 364);
  struct {
    Window control;
    RECT rect;
    const char* text;
  } const controls[] = {{s.dialog.Ok, Rc(208, 336, 75, 25), "OK"},
                        {s.dialog.Cancel, Rc(288, 336, 75, 25), "キャンセル"},
                        {s.dialog.Tree, Rc(0, 0, 369, 329), ""}};
  for (const auto& c : controls) {
    const RECT r = c.control.Bounds();
    EXPECT_EQ(r.left, c.rect.left) << c.text;
    EXPECT_EQ(r.top, c.rect.top) << c.text;
    EXPECT_EQ(r.right, c.rect.right) << c.text;
    EXPECT_EQ(r.bottom, c.rect.bottom) << c.text;
    EXPECT_EQ(c.control.Text(), c.text);
  }
  EXPECT_EQ(s.dialog.Handle().Text(), "DirSelect");
  LOGFONTA font{};
  GetObjectA(s.tree.Font(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -12);
  EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");

  // Centred on the whole desktop, all monitors together.
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  RECT w{};
  GetWindowRect(s.dialog.Handle(), &w);
  EXPECT_LE(std::abs((w.left + w.right) - (2 * x + GetSystemMetrics(SM_CXVIRTUALSCREEN))), 1);
  EXPECT_LE(std::abs((w.top + w.bottom) - (2 * y + GetSystemMetrics(SM_CYVIRTUALSCREEN))), 1);
}

TEST_F(DirSelTest, ScanLeavesTheErrorModeAsItFoundIt) {
  const UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
  {
    Shown s("T:\\");
    EXPECT_EQ(SetErrorMode(SEM_NOGPFAULTERRORBOX), SEM_NOGPFAULTERRORBOX);
  }
  SetErrorMode(before);
}

const std::string kScanTitle = "ディレクトリの読み込み";

TEST_F(DirSelTest, ShortScanShowsNoWindow) {
  test::ShownWindows shown;
  Shown s("T:\\");
  EXPECT_TRUE(shown.Saw("DirSelect"));
  EXPECT_FALSE(shown.Saw(kScanTitle));
}

std::size_t LeadingNumber(const std::string& text) {
  return text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) ? 0 : std::stoul(text);
}

// Run with a drive of some forty thousand folders (G:, see dirsel-drives):
// reading it takes well past the half second after which the scan shows its
// window. The cancel comes the moment the window shows.
TEST(LargeDrive, ScanShowsItsWindowAndItsCancelCancelsTheDialog) {
  ASSERT_NE(GetDriveTypeA("G:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR))
      << "run through dirsel-drives with DIRSEL_LARGE_DRIVE set";
  TDirSelect dialog;
  const ui::OwnedWindow dialogWindow = dialog.Create();
  dialog.SelectedDir = "D:\\Work";
  std::string drive, folders;
  HCURSOR overLabel = nullptr, overButton = nullptr;
  test::ShownWindows shown([&](HWND scan) {
    if (Window(scan).Text() != kScanTitle) return;
    drive = Window(GetDlgItem(scan, test::IdOf(&TProgressForm::Status))).Text();
    folders = Window(GetDlgItem(scan, test::IdOf(&TProgressForm::Current))).Text();
    const Window cancel = GetDlgItem(scan, test::IdOf(&TProgressForm::Stop));
    EXPECT_EQ(cancel.Text(), "キャンセル");
    // The hourglass over the window, the arrow over the button that still answers.
    const auto cursorOver = [scan](HWND over) {
      SendMessageA(scan, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      return GetCursor();
    };
    overLabel = cursorOver(GetDlgItem(scan, test::IdOf(&TProgressForm::Status)));
    overButton = cursorOver(cancel);
    cancel.Post(BM_CLICK);
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  ASSERT_TRUE(shown.Saw(kScanTitle));
  EXPECT_EQ(drive.substr(1), ": を読み込んでいます");
  EXPECT_GT(LeadingNumber(folders), 0u) << folders;
  EXPECT_EQ(folders.substr(folders.find(' ')), " ディレクトリ");
  EXPECT_EQ(overLabel, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  EXPECT_EQ(overButton, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  EXPECT_FALSE(dialog.Handle().IsVisible());
  EXPECT_EQ(dialog.Tree.Send(TVM_GETCOUNT), 0) << "the cancelled scan fills no tree";
  EXPECT_EQ(dialog.SelectedDir, "D:\\Work\\") << "the dialog's result is Cancel, nothing else";
}

// The same scan left to run to its end: the window goes, and the dialog
// opens as it always does, the folder pre-selected and Enter its own. The key
// is queued before the scan starts: the scan's window must leave it alone.
TEST(LargeDrive, LongScanRunToItsEndOpensTheDialogAsUsual) {
  ASSERT_NE(GetDriveTypeA("G:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  TDirSelect dialog;
  const ui::OwnedWindow dialogWindow = dialog.Create();
  dialog.SelectedDir = "G:\\199\\199";
  dialog.Tree.Post(WM_KEYDOWN, VK_RETURN, 1);
  test::ShownWindows shown;
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(shown.Saw(kScanTitle));
  EXPECT_EQ(dialog.SelectedDir, "G:\\199\\199\\");
  const HTREEITEM drive = Find(dialog.Tree, {"G:"});
  ASSERT_NE(drive, nullptr);
  EXPECT_EQ(Children(dialog.Tree, drive).size(), 200u);
  EXPECT_EQ(Children(dialog.Tree, Find(dialog.Tree, {"G:", "199"})).size(), 200u);
  EXPECT_EQ(Selected(dialog.Tree), Find(dialog.Tree, {"G:", "199", "199"}));
  EXPECT_FALSE(test::FindOwnedForm(nullptr)) << "no window left behind";
}

}  // namespace
}  // namespace quillet::ui
