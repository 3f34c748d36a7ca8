#pragma once
// How the main window draws its preview lines: as the list box would, except
// the line the batch will stop at (red, with a mark before it), the lines
// after it, which the batch will not reach (grey), and on the other lines the
// pieces of the old name that the mask's wildcards captured, each in a colour
// of its own, on both sides of the arrow. The texts stay the list box's own;
// only the drawing differs.

#include <cstddef>
#include <optional>
#include <string_view>

#include "core/NameRules.h"
#include "ui/Window.h"

namespace quillet::ui {

enum class LineLook : unsigned char { Plain, Stop, NotReached };

// The look of line index when the batch stops at stop (or nowhere).
LineLook LookOf(std::size_t index, std::optional<std::size_t> stop);

// What a line's captures are found from: its listed name, and the mask and
// pattern its new name was made by. A line that these do not make is drawn
// without colours (so are all lines while the pattern is empty).
struct LineSource {
  std::string_view OldName;
  std::string_view Mask;
  std::string_view Pattern;
};

// Draws one item of an owner-drawn list box that keeps its strings.
void DrawPreviewLine(const DRAWITEMSTRUCT& item, LineLook look, const LineSource& source = {});

// The colour a captured piece is drawn in, by its number (0 for the first
// piece of the old name): readable on white, and on a selected line as the
// ground of white text.
COLORREF CaptureColor(std::size_t capture);

}  // namespace quillet::ui
