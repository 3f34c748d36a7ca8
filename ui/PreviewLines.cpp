#include "ui/PreviewLines.h"

#include <algorithm>
#include <string>

namespace quillet::ui {
namespace {

constexpr COLORREF kStopColor = RGB(200, 0, 0);
// Where the list box itself starts its text, and the room the mark takes.
constexpr int kTextIndent = 1;
constexpr int kMarkWidth = 10;

std::string ItemText(HWND list, UINT index) {
  const auto n = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (n <= 0) return {};
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  const auto got = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

// A small red disc with a white bar: the batch stops here.
void DrawStopMark(HDC dc, const RECT& line) {
  const int size = std::min<int>(kMarkWidth - 2, line.bottom - line.top - 2);
  const int x = line.left + 1, y = line.top + (line.bottom - line.top - size) / 2;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, kStopColor);
  Ellipse(dc, x, y, x + size + 1, y + size + 1);
  SetDCBrushColor(dc, RGB(255, 255, 255));
  const int mid = x + size / 2;
  const RECT bar{mid - 1 + (size % 2), y + size / 2, mid + 1 + (size % 2), y + size / 2 + 1};
  FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

}  // namespace

LineLook LookOf(std::size_t index, std::optional<std::size_t> stop) {
  if (!stop || index < *stop) return LineLook::Plain;
  return index == *stop ? LineLook::Stop : LineLook::NotReached;
}

void DrawPreviewLine(const DRAWITEMSTRUCT& item, LineLook look) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (!selected && look == LineLook::Stop) fore = kStopColor;
  if (!selected && look == LineLook::NotReached) fore = GetSysColor(COLOR_GRAYTEXT);

  SetBkColor(dc, back);
  SetTextColor(dc, fore);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  if (item.itemID != static_cast<UINT>(-1)) {
    const std::string text = ItemText(item.hwndItem, item.itemID);
    int x = r.left + kTextIndent;
    if (look == LineLook::Stop) {
      DrawStopMark(dc, r);
      x = r.left + kMarkWidth;
    }
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
    ExtTextOutA(dc, x, r.top, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, oldFont);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

}  // namespace quillet::ui
