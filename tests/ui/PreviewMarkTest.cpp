// The preview marks the line the batch would stop at, greys the lines after
// it and says why in a tooltip, and colours the pieces the mask captured,
// while the list's texts stay the plan's lines. Real windows over real files;
// the marks and colours are read from the pixels drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/common/LinuxSide.h"
#include "tests/common/TempDir.h"
#include "tests/ui/ControlId.h"
#include "tests/ui/FormProbe.h"
#include "tests/ui/UiTest.h"
#include "ui/PreviewLines.h"
#include "ui/Progress.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

using ui::TForm1;
using ui::TForm1Probe;

// What one drawn line shows: red pixels (the mark and the text of the stop
// line), dark text pixels (a plain line), or only mid-grey ones.
struct Ink {
  int red = 0, dark = 0, grey = 0, markRed = 0;
  int darkestGrey = 255;
};

// The relative luminance of a colour, as readability guides count it.
double Luminance(COLORREF c) {
  const auto lin = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
  return 0.2126 * lin(GetRValue(c)) + 0.7152 * lin(GetGValue(c)) + 0.0722 * lin(GetBValue(c));
}

// How a grey of this level stands against white (4.5 or more for text).
double ContrastOnWhite(int level) { return 1.05 / (Luminance(RGB(level, level, level)) + 0.05); }

// The list's client area as drawn, top-down, 0x00RRGGBB per pixel.
struct Pixels {
  int w = 0, h = 0;
  std::vector<DWORD> at;
  COLORREF operator()(int x, int y) const {
    const DWORD p = at[static_cast<std::size_t>(y) * w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

Pixels Drawn(ui::Window list) {
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const RECT c = list.ClientRect();
  Pixels px{c.right, c.bottom, std::vector<DWORD>(static_cast<std::size_t>(c.right) * c.bottom)};
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = px.w;
  bi.bmiHeader.biHeight = -px.h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  HDC dc = GetDC(list);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, px.w, px.h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, px.w, px.h, dc, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  GetDIBits(mem, bmp, 0, px.h, px.at.data(), &bi, DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(list, dc);
  return px;
}

RECT LineRect(ui::Window list, LRESULT index) {
  RECT r{};
  list.Send(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

bool IsMidGrey(COLORREF p) {
  const int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
  return std::abs(r - g) < 16 && std::abs(g - b) < 16 && r > 70 && r < 200;
}

std::vector<Ink> InkPerLine(ui::Window list) {
  const Pixels px = Drawn(list);
  std::vector<Ink> lines;
  const auto count = list.Send(LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    const RECT r = LineRect(list, i);
    Ink ink;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, px.h); ++y) {
      for (int x = 0; x < px.w; ++x) {
        const COLORREF p = px(x, y);
        const int rd = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
        if (rd > 150 && g < 90 && b < 90) {
          ++ink.red;
          if (x < 10) ++ink.markRed;
        } else if (rd < 70 && g < 70 && b < 70) {
          ++ink.dark;
        } else if (IsMidGrey(p)) {
          ++ink.grey;
          ink.darkestGrey = std::min(ink.darkestGrey, rd);
        }
      }
    }
    lines.push_back(ink);
  }
  return lines;
}

// The columns of a line where color stands (the list's fonts are drawn
// without smoothing): as text, or as a box behind white text.
std::vector<int> ColumnsOf(const Pixels& px, const RECT& line, COLORREF color) {
  std::vector<int> columns;
  for (int x = 0; x < px.w; ++x) {
    for (int y = std::max<int>(line.top, 0); y < std::min<int>(line.bottom, px.h); ++y) {
      if (px(x, y) != color) continue;
      columns.push_back(x);
      break;
    }
  }
  return columns;
}

std::optional<LineLook> LookFromInk(const Ink& ink) {
  if (ink.markRed > 0 && ink.red > ink.markRed) return LineLook::Stop;  // mark and text
  if (ink.red == 0 && ink.dark > 0) return LineLook::Plain;
  if (ink.red == 0 && ink.grey > 0) return LineLook::NotReached;
  return std::nullopt;
}

// The forecast runs on posted messages, and after an interruption on a
// timer: lets them through until it is done (or the form says it never
// will be).
void WaitForForecast(const TForm1& form) {
  for (int round = 0; round < 500 && !TForm1Probe::ForecastDone(form); ++round) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!TForm1Probe::ForecastDone(form)) Sleep(2);
  }
}

std::string Tip(const TForm1& form) {
  char text[256] = {};
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = form.ListBox;
  ti.uId = TForm1::StopTipId;
  ti.lpszText = text;
  TooltipOf(form.Handle()).Send(TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  return text;
}

// Whether the tooltip answers at the middle of line index.
bool TipAtLine(const TForm1& form, LRESULT index) {
  RECT r{};
  form.ListBox.Send(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  TTHITTESTINFOA hit{};
  hit.hwnd = form.ListBox;
  hit.pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
  return TooltipOf(form.Handle()).Send(TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)) != 0;
}

class PreviewMarks : public ::testing::Test {
 protected:
  TempDir dir;
  TForm1 form;
  const ui::OwnedWindow formWindow = form.Create();

  std::vector<std::string> Lines() { return ListLines(form.ListBox); }
  LRESULT IndexOf(const std::string& line) {
    const auto lines = Lines();
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  }
  // Every line drawn as written out, and the tooltip only over the marked one.
  void ExpectLooks(const std::vector<LineLook>& looks) {
    form.Mask.Focus();  // the list's focus rect would read as ink
    const std::vector<Ink> ink = InkPerLine(form.ListBox);
    ASSERT_EQ(ink.size(), looks.size());
    for (std::size_t i = 0; i < ink.size(); ++i) {
      SCOPED_TRACE("line " + std::to_string(i) + ": " + Lines()[i]);
      EXPECT_EQ(LookFromInk(ink[i]), std::optional<LineLook>(looks[i]))
          << ink[i].red << " red, " << ink[i].dark << " dark, " << ink[i].grey << " grey";
      EXPECT_EQ(TipAtLine(form, static_cast<LRESULT>(i)), looks[i] == LineLook::Stop);
      if (looks[i] == LineLook::NotReached) {
        EXPECT_GE(ContrastOnWhite(ink[i].darkestGrey), 4.5);
      }
    }
  }
  void ExpectPlanLines() { EXPECT_EQ(Lines(), form.Plan().Lines); }
};

TEST_F(PreviewMarks, SwapMarksItsFirstLineAndGreysTheRest) {
  for (const char* name : {"ab.txt", "ba.txt", "cd.txt", "ef.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "?*.txt";
  form.SetPattern("*?.txt");  // the star's piece first: ab <-> ba
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    ASSERT_TRUE(TForm1Probe::ForecastDone(form));
                    std::vector<std::string> sorted = Lines();
                    std::sort(sorted.begin(), sorted.end());
                    EXPECT_EQ(sorted, (std::vector<std::string>{"ab.txt → ba.txt", "ba.txt → ab.txt",
                                                                "cd.txt → dc.txt", "ef.txt → fe.txt"}));
                    ExpectPlanLines();
                    // Whichever half of the swap comes first finds the other's file.
                    const std::size_t first = static_cast<std::size_t>(
                        std::min(IndexOf("ab.txt → ba.txt"), IndexOf("ba.txt → ab.txt")));
                    ASSERT_TRUE(TForm1Probe::StopLine(form));
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Index, first);
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Fault, RenameFault::TargetExists);
                    EXPECT_EQ(Tip(form), "「" + form.Plan().NewNames[first] + "」が既にあります。");
                    std::vector<LineLook> looks(4, LineLook::NotReached);
                    std::fill_n(looks.begin(), first, LineLook::Plain);
                    looks[first] = LineLook::Stop;
                    ExpectLooks(looks);
                    // Selected, the stop line keeps its mark and its red.
                    form.ListBox.Send(LB_SETCURSEL, first);
                    EXPECT_EQ(LookFromInk(InkPerLine(form.ListBox)[first]), LineLook::Stop);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

TEST_F(PreviewMarks, CollisionMarksItsSecondLine) {
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "a?.txt";
  form.SetPattern("b.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    ASSERT_TRUE(TForm1Probe::ForecastDone(form));
                    ExpectPlanLines();
                    ASSERT_TRUE(TForm1Probe::StopLine(form));
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Index, 1u);
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Fault, RenameFault::NamesCollide);
                    EXPECT_EQ(Tip(form), "1行目（" + form.Plan().OldNames[0] + "）と同じ「b.txt」になります。");
                    ExpectLooks({LineLook::Plain, LineLook::Stop, LineLook::NotReached});
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

TEST_F(PreviewMarks, NothingMarkedWhenNothingFails) {
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "a?.txt";
  form.SetPattern("b?.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    ASSERT_TRUE(TForm1Probe::ForecastDone(form));
                    EXPECT_FALSE(TForm1Probe::StopLine(form));
                    EXPECT_EQ(Tip(form), "");
                    ExpectLooks({LineLook::Plain, LineLook::Plain, LineLook::Plain});
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// Typing changes the marks: a device name stops the first line, and taking
// the pattern back clears the mark again. Without a pattern nothing is
// forecast: there is no batch to run.
TEST_F(PreviewMarks, MarksFollowTheTyping) {
  for (const char* name : {"a1.txt", "a2.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "a?.txt";
  RunModal(form, {[&] {
                    EXPECT_FALSE(TForm1Probe::StopLine(form)) << "no pattern, no prediction";
                    ExpectLooks({LineLook::Plain, LineLook::Plain});
                    form.Pattern.Focus();
                    Type(form.Pattern, "con.*");
                    EXPECT_FALSE(TForm1Probe::StopLine(form)) << "marks wait until the prediction is done";
                  },
                  [&] {
                    WaitForForecast(form);
                    ASSERT_TRUE(TForm1Probe::StopLine(form));
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Index, 0u);
                    EXPECT_EQ(Tip(form), "「con.」はデバイス名なので使えません。");
                    ExpectLooks({LineLook::Stop, LineLook::NotReached});
                    form.Pattern.SetText("x?.*");
                  },
                  [&] {
                    WaitForForecast(form);
                    EXPECT_TRUE(TForm1Probe::ForecastDone(form));
                    EXPECT_FALSE(TForm1Probe::StopLine(form));
                    ExpectLooks({LineLook::Plain, LineLook::Plain});
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// Selecting the marked line with the keyboard tells why, as hovering does;
// moving on takes the reason away.
TEST_F(PreviewMarks, SelectingTheMarkedLineShowsItsReason) {
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "a?.txt";
  form.SetPattern("b.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    form.ListBox.Focus();
                    PostKey(VK_DOWN);
                  },
                  [&] {
                    EXPECT_EQ(ShownTip(form.Handle()), "") << "line 1 is not marked";
                    PostKey(VK_DOWN);
                  },
                  [&] {
                    EXPECT_EQ(form.ListBox.Send(LB_GETCURSEL), 1);
                    EXPECT_EQ(ShownTip(form.Handle()), "1行目（" + form.Plan().OldNames[0] + "）と同じ「b.txt」になります。");
                    PostKey(VK_DOWN);
                  },
                  [&] {
                    EXPECT_EQ(ShownTip(form.Handle()), "");
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// After いいえ the red line's reason shows beside it on one line, however
// long its names (cut in the middle), and never runs out of the list over
// the edits, even with the list at its smallest.
TEST_F(PreviewMarks, ReasonAfterNoStaysOneLineAndOffTheEdits) {
  const std::string a200(200, 'a');
  for (const char* digit : {"1", "2", "3"}) dir.Write(a200 + digit + ".txt");
  form.PathMask = dir.Path() + "a*.txt";
  form.SetPattern("b.txt");
  RunModal(form, {[&] {
                    SetClientSize(form.Handle(), 100, 40);
                    WaitForForecast(form);
                    form.Rename.Post(BM_CLICK);
                  },
                  [&] { ui::Window(FindWindowA("#32770", "Quillet")).Post(WM_COMMAND, IDNO); },
                  [&] {
                    const std::string reason = ShownTip(form.Handle());
                    EXPECT_TRUE(reason.find("…") < reason.find("）と同じ「b.txt」になります。")) << reason;
                    const ui::Window tip = TooltipOf(form.Handle());
                    RECT r{};
                    GetWindowRect(tip, &r);
                    EXPECT_LT(r.bottom - r.top, 2 * ui::CellHeight(tip.Font())) << "more than one line";
                    POINT listEnd{0, form.ListBox.ClientRect().bottom};  // above the edits and the scroll bar
                    ClientToScreen(form.ListBox, &listEnd);
                    EXPECT_LE(r.bottom, listEnd.y) << "runs out of the list towards the edits";
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// Handles what waits in the queue ahead of the key posted last, as the
// window's own loop would, and leaves the key waiting; how many it handled.
int HandleAheadOfTheKey() {
  int handled = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_KEYDOWN) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    DispatchMessageA(&msg);
    ++handled;
  }
  return handled;
}

// A keystroke waiting when a piece of the forecast ends goes first; the
// forecast takes up again once the queue is empty. A second Rename while the
// question is up asks nothing more.
TEST_F(PreviewMarks, WaitingKeystrokeInterruptsTheForecast) {
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt", "b.txt"}) dir.Write(name, name);
  form.PathMask = dir.Path() + "a?.txt";
  TForm1Probe::SetForecastPiece(form, 1);
  RunModal(form, {[&] {
                    form.ListBox.Focus();
                    Type(form.Pattern, "b.txt");
                    ASSERT_FALSE(TForm1Probe::ForecastDone(form));
                    form.ListBox.Post(WM_KEYDOWN, VK_DOWN, 1);
                    ASSERT_GT(HandleAheadOfTheKey(), 0);
                    EXPECT_FALSE(TForm1Probe::ForecastDone(form)) << "went on although a key was waiting";
                    form.Rename.Post(BM_CLICK);  // before the forecast is taken up again
                    form.ListBox.Post(WM_KEYUP, VK_DOWN, 1 | (3u << 30));  // and a key right behind it
                  },
                  [&] {
                    EXPECT_TRUE(FindWindowA("#32770", "Quillet")) << "Rename did not ask about the stop";
                    // A second Rename, posted while the question is up.
                    form.Handle().Post(WM_COMMAND, MAKEWPARAM(test::IdOf(&TForm1::Rename), BN_CLICKED),
                                       reinterpret_cast<LPARAM>(static_cast<HWND>(form.Rename)));
                  },
                  [&] {
                    int boxes = 0;
                    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", "Quillet")); ++boxes)
                      PostMessageA(box, WM_COMMAND, IDNO, 0);
                    EXPECT_EQ(boxes, 1) << "a second question over the first";
                  },
                  [&] {
                    EXPECT_NE(form.ListBox.Send(LB_GETCURSEL), LB_ERR) << "the key was handled";
                    WaitForForecast(form);
                    ASSERT_TRUE(TForm1Probe::ForecastDone(form)) << "not taken up again";
                    ASSERT_TRUE(TForm1Probe::StopLine(form));
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Index, 0u);
                    EXPECT_EQ(TForm1Probe::StopLine(form)->Fault, RenameFault::TargetExists);
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// Each piece the mask captured in a colour of its own, the same on both
// sides of the arrow: the swap shows its two pieces the other way round after
// it, and selected, each stands in its colour on white.
TEST_F(PreviewMarks, CapturesShowInTheirColoursOnBothSides) {
  dir.Write("ab.txt");
  form.PathMask = dir.Path() + "?*.txt";
  form.SetPattern("*?.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    ExpectPlanLines();
                    form.Mask.Focus();
                    for (LRESULT selection : {LRESULT{-1}, LRESULT{0}}) {
                      form.ListBox.Send(LB_SETCURSEL, selection);
                      const Pixels px = Drawn(form.ListBox);
                      const RECT line = LineRect(form.ListBox, 0);
                      const auto a = ColumnsOf(px, line, ui::CaptureColor(0));
                      const auto b = ColumnsOf(px, line, ui::CaptureColor(1));
                      ASSERT_FALSE(a.empty() || b.empty()) << "selection " << selection;
                      EXPECT_LT(a.front(), b.front()) << "ab.txt";
                      EXPECT_LT(b.back(), a.back()) << "ba.txt";
                    }
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// Four pieces, each read from the drawn line in a colour of its own: 2:1 or
// more against the black of the uncaptured text, 4.5:1 on white, 4 or more
// in L* apart from each other and from the grey of the lines not reached,
// and underlined in it; the uncaptured text is not underlined.
TEST_F(PreviewMarks, EachCaptureColourReadsApartFromBlackGreyAndTheOthers) {
  dir.Write("ab_cd_ef_gh.txt");
  form.PathMask = dir.Path() + "*_*_*_*.txt";
  form.SetPattern("*-*-*-*.txt");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    form.Mask.Focus();
                    const Pixels px = Drawn(form.ListBox);
                    const RECT line = LineRect(form.ListBox, 0);
                    std::map<COLORREF, int> text, underline;
                    for (int y = line.top; y < line.bottom; ++y)
                      for (int x = 0; x < px.w; ++x) ++(y == line.bottom - 2 ? underline : text)[px(x, y)];
                    EXPECT_EQ(underline.count(RGB(0, 0, 0)), 0u);
                    std::vector<double> lightness{116 * std::cbrt(Luminance(ui::NotReachedColor())) - 16};
                    for (const auto& [c, n] : text) {
                      if (c == RGB(255, 255, 255) || c == RGB(0, 0, 0)) continue;
                      const double y = Luminance(c);
                      EXPECT_TRUE((y + 0.05) / 0.05 >= 2 && 1.05 / (y + 0.05) >= 4.5 && underline[c] > 4) << c;
                      lightness.push_back(116 * std::cbrt(y) - 16);
                    }
                    ASSERT_EQ(lightness.size(), 5u);
                    std::sort(lightness.begin(), lightness.end());
                    for (std::size_t i = 1; i < lightness.size(); ++i) EXPECT_GE(lightness[i] - lightness[i - 1], 4);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// The longest run of grey pixels along one row of a line: a line struck
// through a word draws one longer than any glyph.
struct Stroke { int left = 0, right = -1, y = 0; };
Stroke LongestGreyStroke(const Pixels& px, const RECT& line) {
  Stroke longest;
  for (int y = std::max<int>(line.top, 0); y < std::min<int>(line.bottom, px.h); ++y) {
    for (int x = 0, start = 0; x <= px.w; ++x) {
      if (x < px.w && IsMidGrey(px(x, y))) continue;
      if (x - start > longest.right - longest.left + 1) longest = {start, x - 1, y};
      start = x + 1;
    }
  }
  return longest;
}

// The base's dot part gives way to the new extension: struck through in grey
// between the kept part and the extension, selected or not, the kept part after
// the arrow in its colour; its tooltip says what the new name keeps and drops.
TEST_F(PreviewMarks, DroppedPartIsStruckThroughInGrey) {
  dir.Write("2026.08.15_x.jpg");
  form.PathMask = dir.Path() + "*.*";
  form.SetPattern("photo_*.*");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    ASSERT_EQ(Lines(), std::vector<std::string>{"2026.08.15_x.jpg → photo_2026.08.jpg"});
                    form.Mask.Focus();
                    for (LRESULT selection : {LRESULT{-1}, LRESULT{0}}) {
                      SCOPED_TRACE(selection);
                      form.ListBox.Send(LB_SETCURSEL, selection);
                      const Pixels px = Drawn(form.ListBox);
                      const RECT line = LineRect(form.ListBox, 0);
                      const auto kept = ColumnsOf(px, line, ui::CaptureColor(0));
                      const auto ext = ColumnsOf(px, line, ui::CaptureColor(1));
                      const Stroke strike = LongestGreyStroke(px, line);
                      ASSERT_FALSE(kept.empty() || ext.empty());
                      EXPECT_GE(strike.right - strike.left, ui::Scale(20)) << "no strike";
                      EXPECT_LT(kept.front(), strike.left);
                      EXPECT_LT(strike.right, ext.front());
                      EXPECT_GT(kept.back(), ext.front()) << "2026.08 after the arrow";
                      EXPECT_GE(ContrastOnWhite(GetRValue(px(strike.left, strike.y))), 4.5);
                    }
                    POINT at{20, LineRect(form.ListBox, 0).top + 4};
                    ClientToScreen(form.ListBox, &at);
                    SetCursorPos(at.x, at.y);
                  },
                  [&] {
                    for (int i = 0; i < 100 && ShownTip(form.Handle()).empty(); ++i) {
                      MSG msg;
                      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
                      Sleep(20);
                    }
                    EXPECT_EQ(ShownTip(form.Handle()),
                              "色の部分は * と ? が取り出した文字です。\n「2026.08」→ 新しい名前に入ります。\n"
                              "「.15_x」→ 新しい名前には入りません。\n「jpg」→ 新しい名前に入ります。");
                    form.SetModalResult(ui::mrCancel);
                  }});
}

// A name that stays is drawn plain: nothing of it struck through.
TEST_F(PreviewMarks, UnchangedLineHasNothingStruck) {
  dir.Write("a.jpg");
  form.PathMask = dir.Path() + "*.*";
  form.SetPattern("*.jpg");
  RunModal(form, {[&] {
                    WaitForForecast(form);
                    form.Mask.Focus();
                    EXPECT_EQ(InkPerLine(form.ListBox).at(0).grey, 0);
                  },
                  [&] { form.SetModalResult(ui::mrCancel); }});
}

// Rename clicked while the entries of a large folder are still looked at:
// the progress form says so once the wait is long, and its button ends the
// wait with nothing asked or renamed. Left to finish, the look finds the
// link among them.
TEST_F(PreviewMarks, RenameWaitsForTheLookAtTheEntriesWithTheProgressForm) {
  LinuxSide linux(dir.Path());
  if (!linux.Available()) GTEST_SKIP() << "no Linux side";
  linux.Shell("seq -f 'f%05g.txt' 0 19999 | xargs touch && mkdir s && echo s > s/s && ln -s s/s a.txt");
  form.PathMask = dir.Path() + "*.txt";
  form.SetPattern("*.bak");
  ShownWindows shown([](HWND w) {
    const ui::Window stop = GetDlgItem(w, test::IdOf(&ui::TProgressForm::Stop));
    if (ui::Window(w).Text() == "確認中") stop.Post(BM_CLICK);
  });
  RunModal(form, {[&] {
    form.Rename.Send(BM_CLICK);
    EXPECT_TRUE(shown.Saw("確認中"));
    EXPECT_EQ(form.GetModalResult(), ui::mrNone);
    for (int i = 0; i < 10; ++i) WaitForForecast(form);
    ASSERT_TRUE(TForm1Probe::StopLine(form));
    EXPECT_EQ(form.Plan().OldNames[TForm1Probe::StopLine(form)->Index], "a.txt");
    form.SetModalResult(ui::mrCancel);
  }});
  linux.Shell("rm f*.txt");  // at once: Wine's removal of each costs a read of the folder
}

}  // namespace
}  // namespace quillet::test
