// What the three windows really draw with the fonts the prefix gives them:
// every character keeps its ink, nothing is drawn below the line or control
// it belongs to, every label shows its whole text and its underline. The
// same checks run on the IPA fonts, which fail them, so a prefix that maps
// the UI face to one of those cannot pass unnoticed.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "tests/ui/FormProbe.h"
#include "tests/common/TempDir.h"
#include "tests/ui/Glyphs.h"
#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"
#include "ui/DirSel.h"
#include "ui/Messages.h"
#include "ui/PreviewLines.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

using ui::Window;

// What the preview shows besides ASCII: the arrow and Japanese names.
constexpr const char* PreviewExtras = "→写真_夏休み表紙ファイル名";

std::string PrintableAscii() {
  std::string s;
  for (char c = 0x20; c < 0x7F; ++c) s += c;
  return s;
}

std::string Describe(HFONT font) {
  LOGFONTA lf{};
  GetObjectA(font, sizeof lf, &lf);
  std::ostringstream out;
  out << lf.lfFaceName << " " << -lf.lfHeight << " px" << (lf.lfItalic ? " italic" : "")
      << (lf.lfWeight > FW_NORMAL ? " bold" : "");
  return out.str();
}

// Which characters lose ink, each with how often and one of its places.
std::string Sample(const std::vector<std::string>& lost) {
  std::map<char, std::pair<int, std::string>> byCharacter;
  for (const std::string& s : lost) {
    auto& [count, example] = byCharacter[s.size() == 3 ? s[1] : s[0]];
    if (count++ == 0) example = s;
  }
  std::string out;
  for (const auto& [c, seen] : byCharacter)
    out += std::string("'") + c + "' " + std::to_string(seen.first) + "x (\"" + seen.second + "\") ";
  return out;
}

BOOL CALLBACK AddControl(HWND w, LPARAM l) {
  reinterpret_cast<std::vector<Window>*>(l)->push_back(w);
  return TRUE;
}

// The controls of a window, panels' children included.
std::vector<Window> Controls(Window form) {
  std::vector<Window> all;
  EnumChildWindows(form, AddControl, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string ClassOf(Window w) {
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  return cls;
}

bool IsTextLabel(Window w) {
  const LONG style = GetWindowLongA(w, GWL_STYLE);
  const LONG type = style & SS_TYPEMASK;
  return lstrcmpiA(ClassOf(w).c_str(), "Static") == 0 &&
         (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP);
}

// How a static control lays out its text.
UINT LabelFlags(Window label) {
  const LONG style = GetWindowLongA(label, GWL_STYLE);
  UINT flags = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: flags |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: flags |= DT_LEFT; break;
    default: flags |= DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  return flags;
}

// --- The checks, each on a font and the room the control gives it. ----------

// Rows a line of text draws at or below `height` when drawn from its top.
int RowsBelow(HFONT font, std::string_view text, int height) {
  Canvas canvas(font, 8 + Canvas(font, 1, 1).Advance(text) + 16, 2 * height + 16);
  const int bottom = canvas.Draw(text, 1, 0).Bottom();
  return std::max(0, bottom + 1 - height);
}

// Where the text of a label falls outside the label, as "what: how much".
std::string Overflow(HFONT font, std::string_view text, SIZE room, UINT flags) {
  Canvas canvas(font, room.cx + 64, room.cy * 4 + 32);
  const Ink ink = canvas.DrawLabel(text, room.cx, flags);
  int right = -1;
  for (int y = 0; y < ink.Height; ++y)
    for (int x = 0; x < ink.Width; ++x)
      if (ink.At(x, y)) right = std::max(right, x);
  std::string out;
  if (ink.Bottom() >= room.cy) out += "ink down to row " + std::to_string(ink.Bottom()) + " ";
  if (right >= room.cx) out += "ink out to column " + std::to_string(right) + " ";
  return out;
}

// The rows of the underline a label gets under the mouse, and whether any
// of it lies inside the label.
struct Underline {
  int Top = -1, Bottom = -1;
  bool Inside(int height) const { return Top >= 0 && Bottom < height; }
};
Underline UnderlineOf(HFONT font, std::string_view text, SIZE room, UINT flags) {
  const ui::Font underlined = ui::WithUnderline(font, true);
  Canvas plain(font, room.cx + 64, room.cy * 4 + 32), lined(underlined, room.cx + 64, room.cy * 4 + 32);
  const Ink only = lined.DrawLabel(text, room.cx, flags).Minus(plain.DrawLabel(text, room.cx, flags));
  Underline u;
  for (int y = 0; y < only.Height; ++y)
    for (int x = 0; x < only.Width; ++x)
      if (only.At(x, y)) {
        if (u.Top < 0) u.Top = y;
        u.Bottom = y;
      }
  return u;
}

// --- The windows as created ------------------------------------------------

class Rendering : public ::testing::Test {
 protected:
  ui::TForm1 main;
  ui::TAboutBox about;
  ui::TDirSelect dirsel;
  const ui::OwnedWindow mainWindow = main.Create(), aboutWindow = about.Create(),
                        dirselWindow = dirsel.Create();

  std::vector<std::pair<const char*, Window>> Forms() {
    return {{"main window", main.Handle()}, {"About box", about.Handle()}, {"directory dialog", dirsel.Handle()}};
  }
};

// The list, the edits and the tree draw whatever names the user has, and so
// does the rename failure message (a message box, in the system's message
// font): every printable ASCII character must stay readable beside any other.
TEST_F(Rendering, EveryCharacterKeepsItsInkBetweenAnyTwoOthers) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  const ui::Font messageFont(CreateFontIndirectA(&metrics.lfMessageFont));
  std::map<std::string, HFONT> fonts{{"message box " + Describe(messageFont), messageFont}};
  for (Window w : {main.ListBox, main.Mask, main.Pattern, dirsel.Tree}) fonts[Describe(w.Font())] = w.Font();
  for (const auto& [name, font] : fonts) {
    const std::vector<std::string> lost = CharactersLosingInk(font);
    EXPECT_TRUE(lost.empty()) << name << ": " << lost.size() << " characters lose a stroke between two others, "
                              << Sample(lost);
  }
}

// Labels and buttons draw only their own texts, in their own fonts: each
// ASCII character of a text keeps its ink between the two beside it.
TEST_F(Rendering, EveryCharacterOfEachLabelKeepsItsInk) {
  std::map<std::string, std::set<std::string>> lostIn;  // by font
  for (const auto& [formName, form] : Forms()) {
    for (Window w : Controls(form)) {
      const std::string text = " " + w.Text() + " ";
      if (text.size() == 2 || !w.Font()) continue;
      const std::string font = Describe(w.Font());
      if (!lostIn.count(font)) {
        const std::vector<std::string> lost = CharactersLosingInk(w.Font());
        lostIn[font] = std::set<std::string>(lost.begin(), lost.end());
      }
      std::vector<std::string> lost;
      for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const std::string triple = text.substr(i - 1, 3), alone = text.substr(i, 1);
        if (lostIn[font].count(triple) || lostIn[font].count(alone)) lost.push_back(triple);
      }
      EXPECT_TRUE(lost.empty()) << formName << ", \"" << w.Text() << "\" in " << font << ": " << Sample(lost);
    }
  }
}

// Nor on its last row, where the focused line gets its dotted rectangle.
TEST_F(Rendering, NothingIsDrawnBelowAListLineOrOnItsFocusRow) {
  const int item = static_cast<int>(main.ListBox.Send(LB_GETITEMHEIGHT));
  const std::string text = PrintableAscii() + PreviewExtras;
  EXPECT_EQ(RowsBelow(main.ListBox.Font(), text, item - 1), 0)
      << Describe(main.ListBox.Font()) << " in lines of " << item << " pixels";
  EXPECT_GE(item, 12);
  EXPECT_GE(item, ui::CellHeight(main.ListBox.Font()) + 1);
}

TEST_F(Rendering, NothingIsDrawnBelowAnEdit) {
  const std::string text = PrintableAscii() + PreviewExtras;
  for (Window edit : {main.Mask, main.Pattern}) {
    RECT format{};
    edit.Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int room = edit.ClientRect().bottom - format.top;
    EXPECT_EQ(RowsBelow(edit.Font(), text, room), 0) << Describe(edit.Font()) << " in " << room << " pixels";
  }
}

TEST_F(Rendering, EveryLabelShowsItsWholeText) {
  for (const auto& [formName, form] : Forms()) {
    for (Window w : Controls(form)) {
      if (!IsTextLabel(w) || w.Text().empty()) continue;
      const RECT c = w.ClientRect();
      EXPECT_EQ(Overflow(w.Font(), w.Text(), {c.right, c.bottom}, LabelFlags(w)), "")
          << formName << ", \"" << w.Text() << "\" in " << c.right << " x " << c.bottom << ", "
          << Describe(w.Font());
    }
  }
}

TEST_F(Rendering, EveryButtonShowsItsWholeText) {
  for (const auto& [formName, form] : Forms()) {
    for (Window w : Controls(form)) {
      if (lstrcmpiA(ClassOf(w).c_str(), "Button") != 0) continue;
      Canvas canvas(w.Font(), 1, 1);
      const RECT c = w.ClientRect();
      // The text sits inside the button's 3-D edge (two pixels each side).
      EXPECT_LE(canvas.Advance(w.Text()), c.right - 4) << formName << ", \"" << w.Text() << "\"";
      EXPECT_LE(canvas.Metrics().tmHeight, c.bottom - 4) << formName << ", \"" << w.Text() << "\"";
    }
  }
}

TEST_F(Rendering, LinkUnderlinesShowInsideTheirLabels) {
  for (Window link : {about.Copyright, about.Comments}) {
    const RECT c = link.ClientRect();
    const Underline u = UnderlineOf(link.Font(), link.Text(), {c.right, c.bottom}, LabelFlags(link));
    EXPECT_TRUE(u.Inside(c.bottom)) << "\"" << link.Text() << "\": underline in rows " << u.Top << " to "
                                    << u.Bottom << " of a label " << c.bottom << " high";
  }
}

// The checks above draw text themselves; they mean something only if the
// list draws it just the same. Its own picture of a line must match one of
// ours, at the place the list puts its text. The stop line's text comes
// after its whole mark (a disc, as wide as high), and the list scrolls far
// enough to show all of it.
TEST_F(Rendering, TheListDrawsItsLinesAsTheChecksDo) {
  const std::string line = PrintableAscii().substr(1, 60) + " " + PreviewExtras;
  RenamePlan plan;
  plan.Lines = {line};
  ui::TForm1Probe::List(main, plan);
  const RECT client = main.ListBox.ClientRect();
  const int item = static_cast<int>(main.ListBox.Send(LB_GETITEMHEIGHT));
  Canvas listPicture(main.ListBox.Font(), client.right, item);
  RECT all{0, 0, client.right, item};
  FillRect(listPicture.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  main.ListBox.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(listPicture.Dc()), PRF_CLIENT);
  const Ink drawn = listPicture.Picture();
  ASSERT_FALSE(drawn.Empty()) << "the list drew nothing";

  Canvas ours(main.ListBox.Font(), client.right, item);
  bool matched = false;
  for (int x = 0; x <= 4 && !matched; ++x)
    matched = ours.Draw(line, x, 0).Pixels == drawn.Pixels;
  EXPECT_TRUE(matched) << "the list draws its line otherwise than ExtTextOutA does";

  Canvas stopPicture(main.ListBox.Font(), client.right, item);
  const DRAWITEMSTRUCT stopLine{ODT_LISTBOX, 0, 0, ODA_DRAWENTIRE, 0, main.ListBox, stopPicture.Dc(), all, 0};
  const PreviewModel none;
  ui::PreviewLines(none).Draw(stopLine, line, LineLook::Stop, {});
  const Ink stop = stopPicture.Picture();
  int at = 0;
  while (at < client.right && !ours.Draw(line, at, 0).Minus(stop).Empty()) ++at;
  const Ink mark = stop.Minus(ours.Draw(line, at, 0));
  int left = mark.Width, right = -1, top = mark.Height;
  for (int y = 0; y < mark.Height; ++y)
    for (int x = 0; x < mark.Width; ++x)
      if (mark.At(x, y)) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y);
  EXPECT_LT(right, at) << "the stop line's text starts under its mark";
  EXPECT_NEAR(right - left, mark.Bottom() - top, 1) << "the mark is cut";
  EXPECT_GE(main.ListBox.Send(LB_GETHORIZONTALEXTENT), at + ours.Advance(line))
      << "the end of the stop line cannot be scrolled into view";
}

// "Arial Black" is a black weight: its strokes fill much of the text's box.
// Wine's fallback without a heavy face is a thin gothic, made bold by
// smearing, that fills under a fifth of it.
TEST_F(Rendering, TheProductNameIsDrawnHeavy) {
  const std::string text = about.ProductName.Text();
  const RECT c = about.ProductName.ClientRect();
  Canvas canvas(about.ProductName.Font(), c.right + 32, c.bottom + 16);
  const Ink ink = canvas.DrawLabel(text, c.right, LabelFlags(about.ProductName));
  int left = ink.Width, right = -1, top = ink.Height, drawn = 0;
  for (int y = 0; y < ink.Height; ++y)
    for (int x = 0; x < ink.Width; ++x)
      if (ink.At(x, y)) {
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y);
        ++drawn;
      }
  ASSERT_GT(drawn, 0);
  const double box = double(right - left + 1) * (ink.Bottom() - top + 1);
  EXPECT_GE(drawn / box, 0.33) << Describe(about.ProductName.Font()) << ": " << drawn << " of " << box
                               << " pixels";
}

// Wine draws the caption buttons of the windows it frames with Marlett's
// symbols; without that face they read "0 1 r".
TEST(Prefix, HasMarlettForTheCaptionButtons) {
  const ui::Font marlett = ui::MakeFont({.Face = "Marlett", .Charset = SYMBOL_CHARSET});
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, marlett);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_STREQ(face, "Marlett");
  EXPECT_EQ(tm.tmCharSet, SYMBOL_CHARSET);
}

// The messages are the system's message boxes, shown by the program's one
// helper: a name with an underscore shows more ink than the same with a blank.
thread_local std::vector<std::uint32_t> messagePixels;
// Whether each line of the message is as wide as its static text at most:
// a wider one the box has broken somewhere.
thread_local bool messageLinesFit = false;

bool LinesFit(ui::Window text) {
  const ui::FontDC dc(text, text.Font());
  const std::string whole = text.Text();
  for (std::size_t start = 0, end = 0; start <= whole.size(); start = end + 1) {
    end = std::min(whole.find('\n', start), whole.size());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), whole.data() + start, static_cast<int>(end - start), &size);
    if (size.cx > text.ClientRect().right) return false;
  }
  return true;
}

void CALLBACK GrabMessage(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowA("#32770", "Quillet");
  if (!box) return;
  KillTimer(nullptr, timer);
  LetPaint();
  messagePixels = ClientPixels(GetDlgItem(box, 0xFFFF));  // the message's static text
  messageLinesFit = LinesFit(GetDlgItem(box, 0xFFFF));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// The ground: the commonest colour.
std::uint32_t GroundOf(const std::vector<std::uint32_t>& pixels) {
  std::map<std::uint32_t, std::size_t> count;
  for (std::uint32_t p : pixels) ++count[p];
  return std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

// Pixels other than the ground.
std::size_t InkOf(const std::vector<std::uint32_t>& pixels) {
  return pixels.size() - std::count(pixels.begin(), pixels.end(), GroundOf(pixels));
}

// Where the last of them lies, row by row.
std::ptrdiff_t LastInkOf(const std::vector<std::uint32_t>& pixels) {
  const auto ink = std::find_if(pixels.rbegin(), pixels.rend(), [g = GroundOf(pixels)](auto p) { return p != g; });
  return pixels.rend() - ink;
}

std::size_t MessageInk(const char* text) {
  messagePixels.clear();
  SetTimer(nullptr, 0, 50, GrabMessage);
  ui::ShowMessageBox(nullptr, text, MB_OK);
  return InkOf(messagePixels);
}

TEST(FailureMessage, DrawsTheUnderscoreOfAFileName) {
  const std::size_t underscore = MessageInk("\"b_1.txt\"のリネームに失敗しました。");
  const std::size_t blank = MessageInk("\"b 1.txt\"のリネームに失敗しました。");
  ASSERT_GT(blank, 0u);
  EXPECT_GT(underscore, blank) << "\"b_1.txt\" shows as \"b 1.txt\"";
  // A name of 40 characters stands whole in a message about the red line, whatever the DPI.
  RenamePlan plan;
  plan.OldNames = {"IMG_20240612_kyoto_summer_trips_0001.jpg"};
  EXPECT_NE(ui::NothingBeforeStop(plan, {0, RenameFault::EmptyName}).find("「" + plan.OldNames[0] + "」"),
            std::string::npos);
  // Nor does the box break a line inside a word: ours end where a phrase does.
  MessageInk(ui::StopQuestion(plan, {0, RenameFault::NotAFile, {plan.OldNames[0]}, 1234}).c_str());
  EXPECT_TRUE(messageLinesFit);
}

// What the list of a main window over pathMask shows on screen, the mask's
// edit focused (the list's focus rect would read as ink).
std::vector<std::uint32_t> ShownList(const std::string& pathMask) {
  ui::TForm1 form;
  const ui::OwnedWindow window = form.Create();
  form.PathMask = pathMask;
  std::vector<std::uint32_t> pixels;
  RunModal(form, {[&] { form.Mask.Focus(); },
                  [&] {
                    LetPaint();
                    pixels = ClientPixels(form.ListBox);
                    form.SetModalResult(ui::mrCancel);
                  }});
  return pixels;
}

// Whatever face the system gives the list, the underscore of a name shows.
// Run also in a prefix that maps no face of the project's (IPAGothic, whose
// own "_" leaves no pixel at 12 pixels, stands in for the list's).
TEST(ListUnderscore, EveryUnderscoreOfANameIsDrawn) {
  const TempDir dir;
  dir.Write("a_b.txt");
  dir.Write("a b.txt");
  EXPECT_GT(InkOf(ShownList(dir.Path() + "a_b.txt")), InkOf(ShownList(dir.Path() + "a b.txt")));
  // The trail byte of ダ is that of "_": it gets no bar, so its ink ends where タ's does.
  dir.Write("\x83\x5F.txt");
  dir.Write("\x83\x5E.txt");
  EXPECT_EQ(LastInkOf(ShownList(dir.Path() + "\x83\x5F.txt")), LastInkOf(ShownList(dir.Path() + "\x83\x5E.txt")));
}

// An empty list says why, in grey over it: no file matches the mask, or the
// folder is missing; the two read differently. The grey is that of the lines
// not reached, a neutral one dark enough for 4.5:1 on white (level 0x76 or less).
TEST(EmptyList, SaysWhyInGrey) {
  const TempDir dir;
  const COLORREF grey = ui::NotReachedColor();
  EXPECT_TRUE(GetRValue(grey) <= 0x76 && GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey));
  const auto greyIn = [&](const std::string& pathMask) {
    const std::vector<std::uint32_t> pixels = ShownList(pathMask);
    return std::count(pixels.begin(), pixels.end(), GetRValue(grey) << 16 | GetGValue(grey) << 8 | GetBValue(grey));
  };
  const auto noMatch = greyIn(dir.Path() + "*.jpg"), missing = greyIn(dir.Path() + "none\\*.jpg");
  EXPECT_GT(noMatch, 20);
  EXPECT_GT(missing, 20);
  EXPECT_NE(noMatch, missing);
}

// --- The same checks on the fonts Wine had before ---------------------------

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM l) {
  *reinterpret_cast<bool*>(l) = true;
  return 0;
}

bool Installed(const char* face) {
  LOGFONTA lf{};
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

TEST_F(Rendering, TheChecksCatchTheIpaFonts) {
  ASSERT_TRUE(Installed("IPAPGothic")) << "scripts/setup installs fonts-ipafont-gothic";
  const ui::Font pgothic = ui::MakeFont({.Face = "IPAPGothic"}), gothic = ui::MakeFont({.Face = "IPAGothic"});

  // Its J reaches into the character before: the dot of ".JPG" joins it.
  const std::vector<std::string> lost = CharactersLosingInk(pgothic);
  EXPECT_NE(std::find(lost.begin(), lost.end(), "0.J"), lost.end()) << Sample(lost);
  // IPAGothic's underscore draws nothing at 12 pixels.
  const std::vector<std::string> none = CharactersLosingInk(gothic);
  EXPECT_NE(std::find(none.begin(), none.end(), "_"), none.end()) << Sample(none);

  // Its cell is 13: a line of 12 loses the tails of g, j, p, q, y.
  EXPECT_GT(RowsBelow(pgothic, "gjpqy", 12), 0);

  // The credit line needs two lines of its 300 pixels, and its second
  // falls outside a label of 12; the underline lies below one of 12.
  const std::string credit = about.Copyright.Text();
  EXPECT_NE(Overflow(pgothic, credit, {300, 12}, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX), "");
  EXPECT_FALSE(UnderlineOf(pgothic, about.Comments.Text(), {213, 12}, DT_LEFT | DT_WORDBREAK).Inside(12));
}

}  // namespace
}  // namespace quillet::test
