// Pictures of the windows with real content, for the README: scripts/screenshot
// runs this program and turns what it saves into docs/<name>.png. A scene is
// one function, declared with SCENE: it sets up its window, shows it and
// saves one or more pictures with Save. A scene declared with DRIVES_SCENE
// needs the directory dialog's test drives; those run only when the program
// is started with --drives (scripts/screenshot does it through dirsel-drives).
// One declared with SCALED_SCENE runs only with --scaled, in a prefix made at
// another DPI.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/ui/ControlId.h"
#include "tests/ui/FormProbe.h"
#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"
#include "ui/DirSel.h"
#include "ui/Messages.h"
#include "ui/RenameProgress.h"
#include "ui/ScanProgress.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

using ui::TForm1Probe;

struct Scene {
  const char* name;
  void (*run)();
  const char* where;  // the argument the program is started with to run it
};

std::vector<Scene>& Scenes() {
  static std::vector<Scene> scenes;
  return scenes;
}

bool AddScene(const char* name, void (*run)(), const char* where) {
  Scenes().push_back({name, run, where});
  return true;
}

#define SCENE_OF(name, where)                                             \
  void name();                                                            \
  [[maybe_unused]] const bool name##Added = AddScene(#name, name, where); \
  void name()
#define SCENE(name) SCENE_OF(name, "")
#define DRIVES_SCENE(name) SCENE_OF(name, "--drives")
#define SCALED_SCENE(name) SCENE_OF(name, "--scaled")

int failures = 0;

// Saves the window as the screen shows it, as <name>.bmp in the shot folder.
void Save(HWND window, const char* name) {
  if (SaveShot(window, name)) return;
  std::fprintf(stderr, "%s: not saved\n", name);
  ++failures;
}

// A folder of a fixed name, so the same picture comes out every time.
TempDir FixedFolder(const char* path) {
  CreateDirectoryA(path, nullptr);
  return TempDir::Existing(std::string(path) + "\\");
}

// Lets the window's messages run for about ms milliseconds: a tooltip waits
// for the mouse to rest.
void Idle(int ms) {
  for (int i = 0; i < ms / 20; ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

// The photos the main window's pictures show, with one file the mask leaves
// out.
void WritePhotos(const TempDir& photos) {
  for (const char* name : {"IMG_0012.JPG", "IMG_0013.JPG", "IMG_0014.JPG", "IMG_夏休み.JPG", "IMG_表紙.JPG", "memo.txt"})
    photos.Write(name);
}

// Lets the forecast finish, so that its marks are in the picture.
void WaitForForecast(const ui::TForm1& form) {
  for (int i = 0; i < 500 && !TForm1Probe::ForecastDone(form); ++i) Idle(20);
}

// The main window with a real preview, then the About box with the mouse
// over the mail link.
SCENE(MainWindowAndAboutBox) {
  const TempDir photos = FixedFolder("C:\\Photos");
  WritePhotos(photos);
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = photos.Path() + "IMG_*.JPG";
  form.SetPattern("photo_*.jpg");
  RunModal(form, {[&] { form.ListBox.Send(LB_SETCURSEL, 1); },
                  [&] { Save(form.Handle(), "main-window"); },
                  [&] { form.Ver.Post(BM_CLICK); },
                  // The real pointer onto the mail link, which underlines it.
                  [&] {
                    const ui::Window about = FindOwnedForm(form.Handle());
                    const HWND panel = GetDlgItem(about, IdOf(&ui::TAboutBox::Panel1));
                    RECT r;
                    GetWindowRect(GetDlgItem(panel, IdOf(&ui::TAboutBox::Copyright)), &r);
                    SetCursorPos(r.left + 40, (r.top + r.bottom) / 2);
                  },
                  [&] { Save(FindOwnedForm(form.Handle()), "about-box"); },
                  [&] { PostKey(VK_RETURN); },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// A swap marked in the preview: the red line with its reason in a tooltip,
// the lines after it grey.
SCENE(PreviewSwap) {
  const TempDir swap = FixedFolder("C:\\Swap");
  for (const char* name : {"ab.txt", "ba.txt", "cd.txt", "ef.txt"}) swap.Write(name, name);
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = swap.Path() + "?*.txt";
  form.SetPattern("*?.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    if (!TForm1Probe::StopLine(form)) return;
                    RECT r{};
                    form.ListBox.Send(LB_GETITEMRECT, TForm1Probe::StopLine(form)->Index, reinterpret_cast<LPARAM>(&r));
                    POINT at{r.left + 40, (r.top + r.bottom) / 2};
                    ClientToScreen(form.ListBox, &at);
                    SetCursorPos(at.x, at.y);
                    Idle(1200);
                    Save(form.Handle(), "preview-swap");
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// The main window over a folder of names, mask and pattern, its second line
// selected, saved as shot.
void ShootPreview(const char* folder, std::initializer_list<const char*> names, const char* mask,
                  const char* pattern, const char* shot) {
  const TempDir photos = FixedFolder(folder);
  for (const char* name : names) photos.Write(name);
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = photos.Path() + mask;
  form.SetPattern(pattern);
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    form.ListBox.Send(LB_SETCURSEL, 1);
                    form.Pattern.Focus();
                    Save(form.Handle(), shot);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// Photos numbered in front, the number moved behind the rest of the name:
// each captured piece in its colour on both sides, the second line selected.
SCENE(PreviewCaptures) {
  ShootPreview("C:\\Captures", {"1_京都の紅葉.jpg", "2_花火大会.jpg", "3_雪の金閣寺.jpg", "4_桜.jpg"}, "?_*.jpg",
               "*_?.jpg", "preview-captures");
}

// Rename pressed on the main window over folder, mask and pattern: the message
// that comes, moved over the window's middle and saved with it as shot, then answered.
void ShootRenameMessage(const TempDir& folder, const char* mask, const char* pattern, const char* shot,
                        WPARAM answer) {
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = folder.Path() + mask;
  form.SetPattern(pattern);
  RunModal(form, {[&] { form.Rename.Post(BM_CLICK); },
                  [&] {
                    const ui::Window box = FindWindowA("#32770", "Quillet");
                    if (!box) {
                      std::fprintf(stderr, "%s: no message came\n", shot);
                      ++failures;
                      return;
                    }
                    const RECT main = form.Handle().Bounds(), r = box.Bounds();
                    SetWindowPos(box, nullptr, main.left + (main.right - main.left - (r.right - r.left)) / 2,
                                 main.top + 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                    Idle(200);
                    Save(form.Handle(), shot);
                    box.Post(WM_COMMAND, answer);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// Rename pressed on a plan that stops half way: the question over the list,
// the red line scrolled into view and selected behind it.
SCENE(RenameQuestion) {
  const TempDir folder = FixedFolder("C:\\Question");
  for (int i = 1; i <= 40; ++i) folder.Write("IMG_0" + std::to_string(100 + i).substr(1) + ".JPG");
  folder.Write("IMG_035.jpeg");
  ShootRenameMessage(folder, "IMG_*.*", "p_*.JPG", "rename-question", IDNO);
}

// Rename pressed where the first line already stops the batch, and on an
// empty list: no batch, only why.
SCENE(NothingToRename) {
  const TempDir folder = FixedFolder("C:\\Reports");
  folder.Write("報告書_2026.txt");
  folder.Write("報告書_2026.bak");
  ShootRenameMessage(folder, "*.txt", "*.bak", "first-line-stop", IDOK);
  ui::TForm1 empty;
  const ui::OwnedWindow emptyWindow = empty.Create();
  empty.PathMask = folder.Path() + "*.jpg";
  RunModal(empty, {[&] { Save(empty.Handle(), "empty-list"); }, [&] { empty.SetModalResult(ui::mrCancel); }});
}

void CALLBACK SaveFailure(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowA("#32770", "Quillet");
  if (!box) return;
  KillTimer(nullptr, timer);
  Save(box, "failure-message");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// The failure message of a file another program holds open: the reason is
// the system's own.
SCENE(FailureMessage) {
  const TempDir folder = FixedFolder("C:\\Held");
  folder.Write("見積書_2026.xlsx");
  const HANDLE held = CreateFileA((folder.Path() + "見積書_2026.xlsx").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  RenamePlan plan;
  RefreshList(folder.Path(), "*.xlsx", "*_old.xlsx", plan);
  const BatchEnd end = RenameFiles(plan, {});
  SetTimer(nullptr, 0, 100, SaveFailure);
  ui::ShowMessageBox(nullptr, ui::FailureMessage(plan, end), MB_OK);
  CloseHandle(held);
}

// Long Japanese names, the list scrolled to the ends of the new names.
SCENE(LongNames) {
  const TempDir album = FixedFolder("C:\\Album");
  for (const char* place : {"京都", "奈良", "大阪", "神戸", "札幌"})
    for (int day = 1; day <= 3; ++day)
      album.Write(std::string("2026年夏休みの家族旅行_") + place + "_" + std::to_string(day) + "日目_集合写真.JPG");
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = album.Path() + "*.JPG";
  form.SetPattern("アルバム_思い出の写真をまとめたもの_*_高画質版.jpg");
  RunModal(form, {[&] {
                    form.ListBox.Send(LB_SETCURSEL, 2);
                    form.ListBox.Send(WM_HSCROLL, SB_RIGHT);
                  },
                  [&] { Save(form.Handle(), "preview-long-names"); },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// The main window as in the first scene, on a display of another scale,
// saved as main-window-<dpi>dpi.
SCALED_SCENE(MainWindowScaled) {
  const TempDir photos = FixedFolder("C:\\Photos");
  WritePhotos(photos);
  HDC screen = GetDC(nullptr);
  const std::string name = "main-window-" + std::to_string(GetDeviceCaps(screen, LOGPIXELSY)) + "dpi";
  ReleaseDC(nullptr, screen);
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = photos.Path() + "IMG_*.JPG";
  form.SetPattern("photo_*.jpg");
  RunModal(form, {[&] { form.ListBox.Send(LB_SETCURSEL, 1); },
                  [&] { Save(form.Handle(), name.c_str()); },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// The batch's progress form halfway through a folder of long names.
SCENE(RenameProgress) {
  DWORD now = 0;
  ui::TProgressForm form(ui::Renaming, [&now] { return now; });
  const ui::OwnedWindow window = form.Create();
  const std::string name = "2026年夏休み_北海道旅行_富良野のラベンダー畑と美瑛の青い池_IMG_1926.JPG";
  ui::ReportEntry(form, 1926, 3000, name);
  now += 500;
  ui::ReportEntry(form, 1926, 3000, name);
  Save(form.Handle(), "rename-progress");
}

// The folder scan's progress form, its bar running since the end is unknown.
SCENE(ScanProgress) {
  DWORD now = 0;
  ui::TProgressForm form(ui::Scanning, [&now] { return now; });
  const ui::OwnedWindow window = form.Create();
  ui::ReportScan(form, "C:", 12345);
  now += 500;
  ui::ReportScan(form, "C:", 12345);
  Save(form.Handle(), "scan-progress");
}

// The directory dialog over the test drives, a folder pre-selected.
DRIVES_SCENE(DirSelect) {
  ui::TDirSelect dialog;
  const ui::OwnedWindow window = dialog.Create();
  dialog.SetCaption("ディレクトリ選択");
  dialog.SelectedDir = "D:\\Work\\2001";
  RunModal(dialog, {[&] { Save(dialog.Handle(), "dir-select"); }, [&] { dialog.SetModalResult(ui::mrCancel); }});
}

// Dates in front, and a pattern whose extension takes the last dot part: the
// part of each base that the new name drops, struck through in grey.
SCENE(PreviewDropped) {
  ShootPreview("C:\\Dropped", {"2026.08.15_京都.jpg", "2026.09.01_奈良公園.jpg", "2026.10.20_金閣寺.jpg"}, "*.*",
               "photo_*.*", "preview-dropped");
}

// A kanji in front moved behind the rest: the "?" takes each whole.
SCENE(PreviewDoubleByteSwap) {
  ShootPreview("C:\\Kanji", {"写_真.jpg", "京_都タワー.jpg", "花_火大会.jpg"}, "?_*.jpg", "*_?.jpg",
               "preview-double-byte-swap");
}

}  // namespace
}  // namespace quillet::test

// Runs the scenes for where the program runs: with --drives those on the test
// drives, with --scaled those for another DPI, with no argument the others.
// The exit code is the number of pictures not saved.
int main(int argc, char** argv) {
  using namespace quillet::test;
  const char* where = argc > 1 ? argv[1] : "";
  if (!ShotsWanted()) {
    std::fprintf(stderr, "QUILLET_SHOT_DIR names no folder to save in\n");
    return 1;
  }
  for (const Scene& scene : Scenes())
    if (std::strcmp(scene.where, where) == 0) scene.run();
  return failures;
}
