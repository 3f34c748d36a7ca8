#include "ui/PreviewLines.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace quillet::ui {
namespace {

constexpr COLORREF kStopColor = RGB(200, 0, 0);
// At least 4.5:1 on white, as the other colours here, yet far from black.
constexpr COLORREF kNotReachedColor = RGB(0x74, 0x74, 0x74);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Violet, dark green, rose and teal: each at least 2:1 against the black of
// the uncaptured text and 4.5:1 on white (L* 27 to 42), seen with every kind
// of cone and as deuteranopia and protanopia see them (Machado's
// simulation), with hues at least 45 degrees apart. That band of lightness
// leaves room for only about 4 of L* between the four and the grey of the
// lines not reached, too little to tell them apart by lightness alone: each
// piece is underlined too, in its colour and a dash pattern of its own.
constexpr std::array<COLORREF, 4> kCapturePalette = {RGB(72, 56, 224), RGB(48, 72, 0), RGB(144, 80, 96),
                                                     RGB(0, 88, 64)};
// The dashes under each piece, by the piece's colour: lengths at 96 DPI of
// line and gap, in turn.
constexpr std::array<std::array<int, 4>, 4> kUnderlineDashes = {
    {{6, 1, 6, 1}, {1, 1, 1, 1}, {3, 2, 3, 2}, {4, 1, 1, 1}}};
// Where the list box itself starts its text, and the room the mark takes.
constexpr int kTextIndent = 1;
constexpr int kMarkWidth = 10;

// A small disc with a bar across: the batch stops here.
void DrawStopMark(HDC dc, const RECT& line, COLORREF disc, COLORREF across) {
  const int size = std::min<int>(Scale(kMarkWidth) - 2, line.bottom - line.top - 2);
  const int x = line.left + 1, y = line.top + (line.bottom - line.top - size) / 2;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, disc);
  Ellipse(dc, x, y, x + size + 1, y + size + 1);
  SetDCBrushColor(dc, across);
  const int mid = x + size / 2, barWidth = Scale(2), barLeft = mid - barWidth / 2 + (size % 2);
  const RECT bar{barLeft, y + size / 2, barLeft + barWidth, y + size / 2 + Scale(1)};
  FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

// Width of text's first bytes in the DC's font.
int WidthOf(HDC dc, std::string_view text, std::size_t bytes) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(bytes), &size);
  return size.cx;
}

// Bars under the underscores of text drawn from left, in ink, within box: for
// a face whose own underscore leaves no pixel ("IMG_0013" would read as
// "IMG 0013").
void DrawUnderscores(HDC dc, int left, std::string_view text, const UnderscoreInk& bar, COLORREF ink,
                     const RECT& box) {
  SetDCBrushColor(dc, ink);
  // A lead byte takes the next byte with it: 0x5F there is no underscore.
  const platform::CharSteps steps(text);
  for (std::size_t i = 0; i < text.size(); i = steps.Next(i)) {
    if (text[i] != '_') continue;
    const int x = left + WidthOf(dc, text, i);
    RECT r{x, box.top + bar.Top, x + bar.Width, box.top + bar.Bottom()};
    IntersectRect(&r, &r, &box);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

// The line under a captured piece, on the row above the focus row, short of
// the piece's ends, so that two pieces side by side show two lines. The
// dashes come from the brush in the DC's text colour, the gaps between them
// in its background colour: the paper the piece stands on.
void DrawUnderline(HDC dc, const RECT& box, const RECT& line, HBRUSH dashes) {
  const int top = line.bottom - 1 - UnderlineRows();
  const RECT under{box.left + Scale(1), top, box.right - Scale(1), top + UnderlineRows()};
  if (under.left >= under.right) return;
  // A dash starts where the line does. The brush's origin is counted in the
  // device's pixels, whatever origin the list gave the DC as it scrolled.
  POINT start{under.left, under.top}, old{};
  LPtoDP(dc, &start, 1);
  SetBrushOrgEx(dc, start.x, start.y, &old);
  FillRect(dc, &under, dashes);
  SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

// Draws text from x, the captured pieces in their colours, a part the new
// name drops struck through in the grey of the lines not reached, and the
// rest in the DC's. On a selected line each piece stands on white, which it
// reads on whatever the selection's colour.
void DrawPieces(HDC dc, int x, const RECT& line, std::string_view text, std::span<const CaptureSpan> pieces,
                bool selected, HFONT struck, const UnderscoreInk& bar, std::span<const DashBrush> dashes) {
  const COLORREF fore = GetTextColor(dc), back = GetBkColor(dc);
  auto draw = [&](std::size_t begin, std::size_t end, COLORREF ink, COLORREF paper) -> RECT {
    if (begin >= end) return {};
    const int left = x + WidthOf(dc, text, begin);
    RECT box{left, line.top, x + WidthOf(dc, text, end), line.bottom};
    IntersectRect(&box, &box, &line);
    SetTextColor(dc, ink);
    SetBkColor(dc, paper);
    ExtTextOutA(dc, left, line.top, ETO_CLIPPED | ETO_OPAQUE, &box, text.data() + begin,
                static_cast<UINT>(end - begin), nullptr);
    if (!bar.Drawn) DrawUnderscores(dc, left, text.substr(begin, end - begin), bar, ink, box);
    return box;
  };
  std::size_t at = 0;
  for (const CaptureSpan& piece : pieces) {
    draw(at, piece.Begin, fore, back);
    const HGDIOBJ font = piece.Dropped ? SelectObject(dc, struck) : nullptr;
    const COLORREF ink = piece.Dropped ? kNotReachedColor : CaptureColor(piece.Capture);
    const RECT box = draw(piece.Begin, piece.End, ink, selected ? kWhite : back);
    if (font) SelectObject(dc, font);
    else DrawUnderline(dc, box, line, dashes[piece.Capture % dashes.size()].Brush);
    at = piece.End;
  }
  draw(at, text.size(), fore, back);
}

}  // namespace

// A row of one period of the dashes: 0 bits (the dashes) take the DC's text
// colour, 1 bits (the gaps) its background colour. One FillRect draws a
// whole line with it; under Wine each call costs about as much as a dash
// drawn on its own did, and a screenful of lines took some 60 ms of every
// keystroke that way.
DashBrush::DashBrush(const std::array<int, 4>& dashes) {
  int width = 0;
  for (int length : dashes) width += Scale(length);
  const int stride = (width + 15) / 16 * 2;  // rows of whole words
  std::vector<BYTE> bits(static_cast<std::size_t>(stride), 0xFF);
  int x = 0;
  for (std::size_t k = 0; k < dashes.size(); ++k) {
    const int length = Scale(dashes[k]);
    if (k % 2 == 0)
      for (int i = x; i < x + length; ++i) bits[i / 8] &= static_cast<BYTE>(~(0x80 >> i % 8));
    x += length;
  }
  Bits.Reset(CreateBitmap(width, 1, 1, 1, bits.data()));
  Brush.Reset(CreatePatternBrush(Bits));
}

HFONT PreviewLines::StruckThrough(HFONT font) {
  if (font != struckFrom_) {
    struck_ = WithStrikeOut(font);
    struckFrom_ = font;
  }
  return struck_;
}

void PreviewLines::Draw(const DRAWITEMSTRUCT& item) {
  const std::size_t i = item.itemID;
  const LineLook look = model_.Look(i);
  Draw(item, model_.Text(i), look, look == LineLook::Captured ? model_.Spans(i) : std::span<const CaptureSpan>());
}

void PreviewLines::Draw(const DRAWITEMSTRUCT& item, std::string_view text, LineLook look,
                        std::span<const CaptureSpan> pieces) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (look == LineLook::Stop) {
    // Selected, the stop line turns red underneath instead, so it still
    // stands out from every other line.
    fore = selected ? kWhite : kStopColor;
    if (selected) back = kStopColor;
  }
  if (!selected && look == LineLook::NotReached) fore = kNotReachedColor;

  SetBkColor(dc, back);
  SetTextColor(dc, fore);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  if (!text.empty()) {
    int x = r.left + kTextIndent;
    if (look == LineLook::Stop) {
      DrawStopMark(dc, r, selected ? kWhite : kStopColor, selected ? kStopColor : kWhite);
      x = r.left + Scale(kMarkWidth);
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    if (!underscore_) underscore_ = UnderscoreOf(font);
    HGDIOBJ oldFont = SelectObject(dc, font);
    if (dashes_.empty())
      for (const std::array<int, 4>& pattern : kUnderlineDashes) dashes_.emplace_back(pattern);
    DrawPieces(dc, x, r, text, pieces, selected, StruckThrough(font), *underscore_, dashes_);
    SelectObject(dc, oldFont);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

COLORREF CaptureColor(std::size_t capture) { return kCapturePalette[capture % kCapturePalette.size()]; }

COLORREF NotReachedColor() { return kNotReachedColor; }

int UnderlineRows() { return Scale(1); }

}  // namespace quillet::ui
