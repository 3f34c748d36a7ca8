#pragma once
// How the main window draws its preview lines: each item of the list is the
// model's line of that index, drawn as the list box would draw it, except the
// line the batch will stop at (red, with a mark before it), the lines after
// it, which the batch will not reach (grey), and on the other lines the
// pieces of the old name that the mask's wildcards captured, each in a colour
// of its own, on both sides of the arrow, and struck through in grey where the
// new name drops them. The list box keeps the same lines as
// its strings for whoever reads them (a screen reader, another program); the
// drawing never reads them back.

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/PreviewModel.h"
#include "ui/Window.h"

namespace quillet::ui {

// The dashes of one capture's underline as a brush.
struct DashBrush {
  // Lengths at 96 DPI of line and gap, in turn.
  explicit DashBrush(const std::array<int, 4>& dashes);
  GdiObject<HBITMAP> Bits;  // kept while the brush is: Windows may draw from it
  GdiObject<HBRUSH> Brush;
};

class PreviewLines {
 public:
  // The model is kept by reference and must outlive this.
  explicit PreviewLines(const PreviewModel& model) : model_(model) {}

  // Draws the model's line of the item's index as the model says it looks.
  void Draw(const DRAWITEMSTRUCT& item);
  // Draws text as a line of that look, with these pieces in their colours.
  void Draw(const DRAWITEMSTRUCT& item, std::string_view text, LineLook look, std::span<const CaptureSpan> pieces);

 private:
  // The list's font struck through, for the parts the new name drops; made
  // again when the list's font changes.
  HFONT StruckThrough(HFONT font);

  const PreviewModel& model_;
  // The list font's underscore, measured at the first line drawn.
  std::optional<UnderscoreInk> underscore_;
  Font struck_;
  HFONT struckFrom_ = nullptr;
  // One for each capture colour, made at the first line drawn.
  std::vector<DashBrush> dashes_;
};

// The colour a captured piece is drawn in, by its number (0 for the first
// piece of the old name): at least 4.5:1 on white, where it stands on a
// selected line too.
COLORREF CaptureColor(std::size_t capture);
// The grey of the lines the batch would not reach, for whatever else says
// what will not happen.
COLORREF NotReachedColor();
// The rows a line keeps below its text for the lines under its captured
// pieces.
int UnderlineRows();

}  // namespace quillet::ui
