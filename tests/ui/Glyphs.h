#pragma once
// What a font really draws, pixel by pixel: text drawn the way the list box
// and the edits draw it (one ExtTextOutA on an opaque background, pen
// positions from the font's advances) into a white bitmap of our own.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace quillet::test {

// Which pixels of a picture are not background.
struct Ink {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Pixels;  // row by row, 1 where drawn

  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < Width && y < Height && Pixels[y * Width + x];
  }
  bool Empty() const;
  // The lowest row with ink, or -1.
  int Bottom() const;
  // Pixels drawn here but not in other (same size).
  Ink Minus(const Ink& other) const;
};

// A white bitmap with one font selected.
class Canvas {
 public:
  Canvas(HFONT font, int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Text from (x, y) as a list box draws an item: opaque, on white.
  Ink Draw(std::string_view text, int x, int y);
  // Text laid out as a label lays out its own (DrawTextA with these flags)
  // in a rect of width by height at the top left; what falls outside the
  // rect is drawn too, so a test can see it.
  Ink DrawLabel(std::string_view text, int width, UINT flags);
  // What the bitmap holds now, whoever drew it (WM_PRINTCLIENT too).
  Ink Picture() const;
  int Advance(std::string_view text) const;
  TEXTMETRICA Metrics() const;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_, oldFont_;
  void* bits_ = nullptr;
  int width_, height_;
};

// Every printable ASCII character that loses a stroke between two others
// (the blank among them):
// for each character drawn in the middle of three, each of its connected
// strokes must keep a pixel that its neighbours neither cover nor touch
// (a dot that joins the J beside it reads as part of the J). Each entry is
// the three characters; a character with no ink at all stands alone.
std::vector<std::string> CharactersLosingInk(HFONT font);

}  // namespace quillet::test
