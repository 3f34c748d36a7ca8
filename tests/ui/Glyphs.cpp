#include "tests/ui/Glyphs.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quillet::test {

bool Ink::Empty() const { return std::find(Pixels.begin(), Pixels.end(), 1) == Pixels.end(); }

int Ink::Bottom() const {
  for (int y = Height - 1; y >= 0; --y)
    for (int x = 0; x < Width; ++x)
      if (At(x, y)) return y;
  return -1;
}

Ink Ink::Minus(const Ink& other) const {
  Ink out = *this;
  for (std::size_t i = 0; i < out.Pixels.size() && i < other.Pixels.size(); ++i)
    if (other.Pixels[i]) out.Pixels[i] = 0;
  return out;
}

Canvas::Canvas(HFONT font, int width, int height) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down: row 0 first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  oldFont_ = SelectObject(dc_, font);
  SetBkMode(dc_, OPAQUE);
  SetBkColor(dc_, RGB(255, 255, 255));
  SetTextColor(dc_, RGB(0, 0, 0));
}

Canvas::~Canvas() {
  SelectObject(dc_, oldFont_);
  SelectObject(dc_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

Ink Canvas::Picture() const {
  GdiFlush();
  Ink ink{width_, height_, std::vector<unsigned char>(static_cast<std::size_t>(width_) * height_)};
  const auto* px = static_cast<const std::uint32_t*>(bits_);
  // Dark enough to be seen as part of a stroke: a faint edge pixel of a
  // smoothed glyph does not count.
  for (std::size_t i = 0; i < ink.Pixels.size(); ++i) ink.Pixels[i] = ((px[i] >> 8) & 0xFF) < 0x80;
  return ink;
}

Ink Canvas::Draw(std::string_view text, int x, int y) {
  RECT all{0, 0, width_, height_};
  ExtTextOutA(dc_, x, y, ETO_OPAQUE, &all, text.data(), static_cast<UINT>(text.size()), nullptr);
  return Picture();
}

Ink Canvas::DrawLabel(std::string_view text, int width, UINT flags) {
  RECT all{0, 0, width_, height_};
  FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT r{0, 0, width, height_};
  DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, flags | DT_NOCLIP);
  return Picture();
}

int Canvas::Advance(std::string_view text) const {
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

TEXTMETRICA Canvas::Metrics() const {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  return tm;
}

namespace {

constexpr char First = 0x20, Last = 0x7E;  // the blank too, as a neighbour
constexpr int Count = Last - First + 1;

// A set of one glyph's ink pixels, by their index in its pixel list.
using Mask = std::vector<std::uint64_t>;

Mask EmptyMask(std::size_t n) { return Mask((n + 63) / 64, 0); }
void Set(Mask& m, std::size_t i) { m[i / 64] |= std::uint64_t{1} << (i % 64); }

struct Glyph {
  Ink Alone;                  // drawn by itself, its pen at (pad, pad)
  std::vector<POINT> Points;  // its ink pixels in that picture
  std::vector<Mask> Strokes;  // its 8-connected parts
};

std::vector<Mask> Strokes(const std::vector<POINT>& points) {
  std::vector<int> part(points.size(), -1);
  std::vector<Mask> strokes;
  for (std::size_t start = 0; start < points.size(); ++start) {
    if (part[start] >= 0) continue;
    Mask stroke = EmptyMask(points.size());
    std::vector<std::size_t> todo{start};
    part[start] = static_cast<int>(strokes.size());
    while (!todo.empty()) {
      const std::size_t i = todo.back();
      todo.pop_back();
      Set(stroke, i);
      for (std::size_t j = 0; j < points.size(); ++j) {
        if (part[j] < 0 && std::abs(points[j].x - points[i].x) <= 1 &&
            std::abs(points[j].y - points[i].y) <= 1) {
          part[j] = part[start];
          todo.push_back(j);
        }
      }
    }
    strokes.push_back(std::move(stroke));
  }
  return strokes;
}

// Whether the glyph, drawn shift pixels right of its lone picture, has ink
// on or beside (x, y).
bool Touches(const Glyph& g, int shift, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (g.Alone.At(x - shift + dx, y + dy)) return true;
  return false;
}

}  // namespace

std::vector<std::string> CharactersLosingInk(HFONT font) {
  // Room for two glyphs and whatever they draw outside their cells.
  int widest = 0, height = 0, pad = 0;
  {
    Canvas probe(font, 8, 8);
    const TEXTMETRICA tm = probe.Metrics();
    widest = tm.tmMaxCharWidth;
    height = tm.tmHeight;
    pad = std::max<int>(4, tm.tmHeight / 2);
  }
  Canvas canvas(font, 2 * pad + 2 * widest, height + 2 * pad);

  std::vector<Glyph> glyphs(Count);
  std::array<int, Count> advance{};
  for (int c = 0; c < Count; ++c) {
    const char ch = static_cast<char>(First + c);
    Glyph& g = glyphs[c];
    advance[c] = canvas.Advance(std::string_view(&ch, 1));
    g.Alone = canvas.Draw(std::string_view(&ch, 1), pad, pad);
    for (int y = 0; y < g.Alone.Height; ++y)
      for (int x = 0; x < g.Alone.Width; ++x)
        if (g.Alone.At(x, y)) g.Points.push_back({x, y});
    g.Strokes = Strokes(g.Points);
  }
  // For each pair drawn together: which pixels of the right one the left
  // one covers or touches (or that are not drawn at all), and the same for
  // the left one.
  std::vector<Mask> hitFromLeft(Count * Count), hitFromRight(Count * Count);
  for (int a = 0; a < Count; ++a) {
    for (int c = 0; c < Count; ++c) {
      const char pair[2] = {static_cast<char>(First + a), static_cast<char>(First + c)};
      const Ink both = canvas.Draw(std::string_view(pair, 2), pad, pad);
      const int shift = advance[a];
      const Glyph &left = glyphs[a], &right = glyphs[c];
      Mask& l = hitFromLeft[a * Count + c] = EmptyMask(right.Points.size());
      for (std::size_t i = 0; i < right.Points.size(); ++i) {
        const POINT p{right.Points[i].x + shift, right.Points[i].y};
        if (Touches(left, 0, p.x, p.y) || !both.At(p.x, p.y)) Set(l, i);
      }
      Mask& r = hitFromRight[a * Count + c] = EmptyMask(left.Points.size());
      for (std::size_t i = 0; i < left.Points.size(); ++i) {
        const POINT p = left.Points[i];
        if (Touches(right, shift, p.x, p.y) || !both.At(p.x, p.y)) Set(r, i);
      }
    }
  }

  std::vector<std::string> lost;
  for (int c = 0; c < Count; ++c) {
    const Glyph& g = glyphs[c];
    if (g.Points.empty()) {
      if (First + c != ' ') lost.push_back(std::string(1, static_cast<char>(First + c)));
      continue;
    }
    for (int a = 0; a < Count; ++a) {
      for (int b = 0; b < Count; ++b) {
        const Mask& l = hitFromLeft[a * Count + c];
        const Mask& r = hitFromRight[c * Count + b];
        const bool strokeLost = std::any_of(g.Strokes.begin(), g.Strokes.end(), [&](const Mask& s) {
          for (std::size_t w = 0; w < s.size(); ++w)
            if (s[w] & ~(l[w] | r[w])) return false;
          return true;
        });
        if (strokeLost)
          lost.push_back({static_cast<char>(First + a), static_cast<char>(First + c),
                          static_cast<char>(First + b)});
      }
    }
  }
  return lost;
}

}  // namespace quillet::test
