// Pictures of the windows with real content, for the README: scripts/screenshot
// runs this program and turns what it saves into docs/<name>.png. A scene is
// one function, declared with SCENE: it sets up its window, shows it and
// saves one or more pictures with Save. A scene declared with DRIVES_SCENE
// needs the directory dialog's test drives; those run only when the program
// is started with --drives (scripts/screenshot does it through dirsel-drives).

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"
#include "ui/DirSel.h"
#include "ui/RenameProgress.h"
#include "ui/ScanProgress.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

struct Scene {
  const char* name;
  void (*run)();
  bool onTestDrives;
};

std::vector<Scene>& Scenes() {
  static std::vector<Scene> scenes;
  return scenes;
}

bool AddScene(const char* name, void (*run)(), bool onTestDrives) {
  Scenes().push_back({name, run, onTestDrives});
  return true;
}

#define SCENE_OF(name, onTestDrives)                                     \
  void name();                                                           \
  [[maybe_unused]] const bool name##Added = AddScene(#name, name, onTestDrives); \
  void name()
#define SCENE(name) SCENE_OF(name, false)
#define DRIVES_SCENE(name) SCENE_OF(name, true)

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
void Idle(int ms, const std::function<void(const MSG&)>& seen = {}) {
  for (int i = 0; i < ms / 20; ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (seen) seen(msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

// The main window with a real preview, then the About box with the mouse
// over the mail link.
SCENE(MainWindowAndAboutBox) {
  const TempDir photos = FixedFolder("C:\\Photos");
  for (const char* name : {"IMG_0012.JPG", "IMG_0013.JPG", "IMG_0014.JPG", "IMG_夏休み.JPG", "IMG_表紙.JPG", "memo.txt"})
    photos.Write(name);
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
                    const ui::Window panel = about.Item(ui::TAboutBox::IdOf(&ui::TAboutBox::Panel1));
                    RECT r;
                    GetWindowRect(panel.Item(ui::TAboutBox::IdOf(&ui::TAboutBox::Copyright)), &r);
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
                    for (int i = 0; i < 500 && !form.ForecastDone(); ++i) Idle(20);
                    if (!form.StopLine()) return;
                    RECT r{};
                    form.ListBox.Send(LB_GETITEMRECT, form.StopLine()->Index, reinterpret_cast<LPARAM>(&r));
                    POINT at{r.left + 40, (r.top + r.bottom) / 2};
                    ClientToScreen(form.ListBox, &at);
                    SetCursorPos(at.x, at.y);
                    Idle(1200, [&](const MSG& msg) {
                      if (msg.hwnd == form.ListBox.Handle()) form.Tips().Relay(msg);
                    });
                    Save(form.Handle(), "preview-swap");
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// The batch's progress form halfway through a folder of long names.
SCENE(RenameProgress) {
  DWORD now = 0;
  ui::TProgressForm form(ui::Renaming, [&now] { return now; });
  const ui::OwnedWindow window = form.Create();
  const std::string name = "2026年夏休み_北海道旅行_富良野のラベンダー畑と美瑛の青い池_IMG_1926.JPG";
  ui::BeforeEntry(form, 1926, 3000, name);
  now += 500;
  ui::BeforeEntry(form, 1926, 3000, name);
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

}  // namespace
}  // namespace quillet::test

// Runs every scene for where it runs: with --drives those on the test drives,
// otherwise the others. The exit code is the number of pictures not saved.
int main(int argc, char** argv) {
  using namespace quillet::test;
  const bool onTestDrives = argc > 1 && std::strcmp(argv[1], "--drives") == 0;
  if (!ShotsWanted()) {
    std::fprintf(stderr, "QUILLET_SHOT_DIR names no folder to save in\n");
    return 1;
  }
  for (const Scene& scene : Scenes())
    if (scene.onTestDrives == onTestDrives) scene.run();
  return failures;
}
