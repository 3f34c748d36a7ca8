// The About box, created for real and driven through its messages.

#include <gtest/gtest.h>

#include "tests/ui/UiTest.h"
#include "ui/AbBox.h"

namespace quillet::test {
namespace {

using ui::TAboutBox;
using ui::Window;

LOGFONTA LogFont(Window w) {
  LOGFONTA lf{};
  GetObjectA(w.Font(), sizeof lf, &lf);
  return lf;
}

class AboutBox : public ::testing::Test {
 protected:
  // The real pointer parked off the box, so only the test moves the mouse.
  AboutBox() { SetCursorPos(0, 0); }
  TAboutBox box;
  const ui::OwnedWindow window = box.Create();
};

TEST_F(AboutBox, EscDoesNothingEnterGivesOk) {
  int result = RunModal(box, {[&] {
                                EXPECT_EQ(GetFocus(), box.OKButton.Handle());
                                PostKey(VK_ESCAPE);
                              },
                              [&] {
                                EXPECT_TRUE(box.GetModalResult() == ui::mrNone) << "Esc closed the About box";
                                PostKey(VK_RETURN);
                              }});
  EXPECT_EQ(result, ui::mrOk);
}

TEST_F(AboutBox, CloseBoxAndButtonClose) {
  EXPECT_EQ(RunModal(box, {[&] { box.Handle().Post(WM_SYSCOMMAND, SC_CLOSE); }}), ui::mrCancel);
  EXPECT_EQ(RunModal(box, {[&] { box.OKButton.Send(BM_CLICK); }}), ui::mrOk);
}

// The mouse moving over the box: which link is underlined after each move,
// with both links given a bold italic font first, which must survive.
TEST_F(AboutBox, HoverUnderlinesOnlyTheLinkUnderTheMouse) {
  ui::Font boldItalic = ui::MakeFont({.Face = ui::UiFace, .Italic = true, .Weight = FW_BOLD});
  box.Copyright.SetFont(boldItalic);
  box.Comments.SetFont(boldItalic);
  struct Move {
    Window over;
    bool copyright, comments;
  };
  const Move moves[] = {
      {box.Copyright, true, false},   {box.Panel1, false, false},     {box.Comments, false, true},
      {box.Copyright, true, false},   {box.Comments, false, true},    {box.Handle(), false, false},
      {box.Copyright, true, false},   {box.ProductName, false, false}, {box.Comments, false, true},
      {box.Label4, false, false},     {box.Copyright, true, false},   {box.Copyright, true, false},
  };
  std::vector<Step> steps;
  for (std::size_t i = 0; i < std::size(moves); ++i) {
    steps.push_back([&, i] { moves[i].over.Post(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); });
    steps.push_back([&, i] {
      SCOPED_TRACE("move " + std::to_string(i));
      for (auto [label, underlined] : {std::pair{box.Copyright, moves[i].copyright},
                                       std::pair{box.Comments, moves[i].comments}}) {
        LOGFONTA lf = LogFont(label);
        EXPECT_EQ(lf.lfUnderline != 0, underlined) << label.Id();
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_TRUE(lf.lfItalic);
        EXPECT_EQ(lf.lfHeight, -12);
      }
    });
  }
  steps.push_back([&] { box.SetModalResult(ui::mrOk); });
  RunModal(box, steps);
}

// The real pointer, moved by the system: plain labels and the disabled icon
// let the mouse through to the panel; the links catch it.
TEST_F(AboutBox, PointerOverLabelsAndIcon) {
  auto moveOnto = [](Window w) {
    RECT r;
    GetWindowRect(w, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  auto underlined = [](Window w) { return LogFont(w).lfUnderline != 0; };
  TooltipOf(box.Handle()).Send(TTM_SETDELAYTIME, TTDT_INITIAL, 1);
  auto tipShown = [&] { return TooltipOf(box.Handle()).IsVisible(); };
  RunModal(box, {[&] { moveOnto(box.Comments); },
                 [&] {
                   EXPECT_TRUE(underlined(box.Comments));
                   EXPECT_FALSE(tipShown());
                   moveOnto(box.ProgramIcon);
                 },
                 [] {}, [] {}, [] {}, [] {}, [] {},  // the tooltip's own timer
                 [&] {
                   EXPECT_FALSE(underlined(box.Comments)) << "the icon should count as the panel";
                   EXPECT_TRUE(tipShown()) << "the icon's tooltip did not show";
                   EXPECT_EQ(TooltipOf(box.Handle()).Text(), "看板娘。");
                   moveOnto(box.Copyright);
                 },
                 [&] {
                   EXPECT_TRUE(underlined(box.Copyright));
                   moveOnto(box.ProductName);
                 },
                 [&] {
                   EXPECT_FALSE(underlined(box.Copyright)) << "the product name should count as the panel";
                   box.SetModalResult(ui::mrOk);
                 }});
}

TEST_F(AboutBox, LeavingFromALinkKeepsItsUnderline) {
  RunModal(box, {[&] { box.Comments.Post(WM_MOUSEMOVE); },
                 [&] {
                   // The mouse went off the window straight from the link:
                   // nothing moves over the box, so nothing changes.
                   EXPECT_TRUE(LogFont(box.Comments).lfUnderline);
                   box.SetModalResult(ui::mrOk);
                 }});
}

TEST_F(AboutBox, LinksShowTheHandCursor) {
  const HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  struct Case {
    Window over;
    HCURSOR cursor;
  };
  for (const Case& c : {Case{box.Copyright, hand}, Case{box.Label3, arrow}, Case{box.Comments, hand},
                        Case{box.Panel1, arrow}}) {
    SetCursor(nullptr);
    // As the system asks: the window under the mouse, which passes the
    // question up through the panel to the form.
    c.over.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(c.over.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), c.cursor) << c.over.Id();
  }
}

TEST_F(AboutBox, LayoutAndTexts) {
  RECT c = box.Handle().ClientRect();
  EXPECT_EQ(c.right, 361);
  EXPECT_EQ(c.bottom, 211);
  EXPECT_EQ(box.Handle().Text(), "バージョン情報");
  EXPECT_EQ(box.ProductName.Text(), "Quillet Ver.1.11");
  EXPECT_EQ(box.OKButton.Text(), "OK");
  // A label may grow beyond its design size when a font needs more room.
  struct Expect {
    Window control;
    RECT rect;
    bool label;
  };
  const Expect table[] = {
      {box.Panel1, ui::Rc(8, 8, 345, 161), false},       {box.ProgramIcon, ui::Rc(16, 16, 33, 33), false},
      {box.ProductName, ui::Rc(56, 24, 275, 27), true},  {box.Comments, ui::Rc(24, 80, 213, 12), true},
      {box.OKButton, ui::Rc(143, 180, 75, 25), false},
  };
  for (const Expect& e : table) {
    RECT r = e.control.Bounds();
    const bool ok = e.label ? r.left == e.rect.left && r.top == e.rect.top && r.right >= e.rect.right &&
                                  r.bottom >= e.rect.bottom
                            : EqualRect(&r, &e.rect) != 0;
    EXPECT_TRUE(ok) << e.control.Id() << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
  // Every unlisted label sits inside the panel.
  RECT panel = box.Panel1.ClientRect();
  for (Window w : {box.Copyright, box.Label3, box.Label4, box.Label5}) {
    RECT r = w.Bounds(), both;
    EXPECT_EQ(w.Parent().Handle(), box.Panel1.Handle());
    EXPECT_TRUE(IntersectRect(&both, &r, &panel) && EqualRect(&both, &r)) << w.Id();
    EXPECT_FALSE(w.Text().empty());
  }
  EXPECT_FALSE(box.ProgramIcon.IsEnabled());
  LOGFONTA lf = LogFont(box.ProductName);
  EXPECT_STREQ(lf.lfFaceName, "Arial Black");
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfHeight, -19);
}

TEST_F(AboutBox, DisabledIconStillHasItsTooltip) {
  // The tool sits on the panel over the icon's rect: a disabled window never
  // sees the mouse, the panel under it does.
  TTHITTESTINFOA hit{};
  hit.hwnd = box.Panel1;
  hit.pt = {16 + 16, 16 + 16};
  hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
  char text[80] = {};
  hit.ti.lpszText = text;
  ASSERT_TRUE(TooltipOf(box.Handle()).Send(TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
  EXPECT_STREQ(text, "看板娘。");
  hit.pt = {200, 140};
  EXPECT_FALSE(TooltipOf(box.Handle()).Send(TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
}

// The version record of the program (this test exe carries the same one)
// and the About text come from one header.
TEST(VersionRecord, MatchesTheAboutText) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe, &ignored);
  ASSERT_GT(size, 0u);
  std::string data(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, data.data()));
  auto value = [&](const char* name) {
    char* p = nullptr;
    UINT n = 0;
    std::string key = std::string("\\StringFileInfo\\041103a4\\") + name;
    return VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&p), &n) && p ? std::string(p)
                                                                                          : std::string();
  };
  EXPECT_EQ(value("FileVersion"), "1.1.1.4");
  EXPECT_EQ(value("ProductVersion"), "1.1");
  EXPECT_EQ(value("InternalName"), "Quillet");
  EXPECT_EQ(value("CompanyName"), "Tarnwick");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT n = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &n));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010004u);
}

}  // namespace
}  // namespace quillet::test
