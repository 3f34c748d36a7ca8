#pragma once
// How the main window draws its preview lines: as the list box would, except
// the line the batch will stop at (red, with a mark before it) and the lines
// after it, which the batch will not reach (grey). The texts stay the list
// box's own; only the drawing differs.

#include <cstddef>
#include <optional>

#include "core/NameRules.h"
#include "ui/Window.h"

namespace quillet::ui {

enum class LineLook : unsigned char { Plain, Stop, NotReached };

// The look of line index when the batch stops at stop (or nowhere).
LineLook LookOf(std::size_t index, std::optional<std::size_t> stop);

// Draws one item of an owner-drawn list box that keeps its strings.
void DrawPreviewLine(const DRAWITEMSTRUCT& item, LineLook look);

}  // namespace quillet::ui
