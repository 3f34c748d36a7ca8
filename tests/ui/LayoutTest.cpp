// Every window at the display's DPI: its client area, each control's place
// and size and each control's font are the design's, scaled by DPI / 96. Run
// once in the ordinary prefix (96 DPI: the design itself) and again, with the
// rendering checks, in one at 144 DPI (QUILLET_DPI, see cmake/wine-run.in).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"
#include "ui/DirSel.h"
#include "ui/RenameProgress.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

using ui::Window;

// The DPI the prefix was made with, as wine-run was told.
int AskedDpi() {
  const char* dpi = std::getenv("QUILLET_DPI");
  return dpi && *dpi ? std::atoi(dpi) : 96;
}

double Factor() { return AskedDpi() / 96.0; }

bool IsLabel(Window w) {
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof cls);
  return lstrcmpiA(cls, "Static") == 0;
}

template <class F, class... Args>
void ExpectScaled(const char* name, SIZE designClient, const Args&... args) {
  F form(args...);
  const ui::OwnedWindow window = form.Create();
  const double k = Factor();
  // Inside the work area of its monitor, however small the screen.
  const RECT frame = form.Handle().Bounds();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
              frame.bottom <= work.bottom)
      << name << " at " << frame.left << "," << frame.top << " to " << frame.right << "," << frame.bottom;
  const RECT client = form.Handle().ClientRect();
  EXPECT_NEAR(client.right, designClient.cx * k, 1) << name;
  EXPECT_NEAR(client.bottom, designClient.cy * k, 1) << name;
  int row = 0;
  for (const ui::Control<F>& c : F::Controls()) {
    if (!c.ClassName) continue;  // one more notification of a control above
    const Window control = form.*c.Field;
    const RECT r = control.Bounds(), d = c.Rect;
    SCOPED_TRACE(std::string(name) + ", row " + std::to_string(row++));
    EXPECT_NEAR(r.left, d.left * k, 1);
    EXPECT_NEAR(r.top, d.top * k, 1);
    // A label may grow to its text, where the font's hinting makes it wider
    // than scaled (by up to a character); nothing is smaller.
    const double growth = IsLabel(control) ? 12 * k : 1;
    EXPECT_GE(r.right, d.right * k - 1);
    EXPECT_LE(r.right, d.right * k + growth);
    EXPECT_GE(r.bottom, d.bottom * k - 1);
    EXPECT_LE(r.bottom, d.bottom * k + growth);
    if (!control.Font()) continue;  // the panel and the icon draw no text
    LOGFONTA lf{};
    GetObjectA(control.Font(), sizeof lf, &lf);
    EXPECT_NEAR(-lf.lfHeight, c.Font.Height * k, 0.5) << lf.lfFaceName;
  }
}

// With the client sizes the windows are designed at, at 96 DPI.
TEST(Layout, EveryWindowIsItsDesignScaled) {
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), AskedDpi()) << "the prefix was made at another DPI";
  ReleaseDC(nullptr, screen);
  ExpectScaled<ui::TForm1>("main window", {640, 329});
  {
    // Inside the work area where its design puts it (268, 259), it stays there.
    ui::TForm1 main;
    const ui::OwnedWindow window = main.Create();
    EXPECT_NEAR(main.Handle().Bounds().top, 259 * Factor(), 1);
  }
  ExpectScaled<ui::TAboutBox>("About box", {361, 211});
  ExpectScaled<ui::TDirSelect>("directory dialog", {369, 364});
  ExpectScaled<ui::TProgressForm>("progress form", {300, 108}, ui::Renaming);
}

// Whatever face the system gives the labels (run also where none of the
// project's is mapped, and a wider one stands in), each ends before its edit.
TEST(Layout, LabelsEndBeforeTheEditBesideThem) {
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  EXPECT_LT(form.Label1.Bounds().right, form.Mask.Bounds().left);
  EXPECT_LT(form.Label2.Bounds().right, form.Pattern.Bounds().left);
}

// Drawn for the scale, neither stretched nor left small.
TEST(Layout, TheTreesImagesFitTheScale) {
  ui::TDirSelect dialog;
  const ui::OwnedWindow window = dialog.Create();
  int cx = 0, cy = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(dialog.Tree.Send(TVM_GETIMAGELIST, TVSIL_NORMAL)), &cx, &cy);
  EXPECT_EQ(cx, std::lround(16 * Factor()));
  EXPECT_EQ(cy, cx);
}

}  // namespace
}  // namespace quillet::test
