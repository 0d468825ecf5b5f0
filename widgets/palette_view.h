// The palette view: a custom-drawn strip of colour swatches that reflows with its size,
// marks one swatch, and reports clicks, double-clicks, drags and the Delete key as
// WidgetEvents carrying the swatch they concern.
#pragma once

#include <cstdint>
#include <vector>

#include "image/color.h"
#include "widgets/widget.h"

namespace morvane {

/// Kind code of the palette view in the widget table.
inline constexpr int PaletteViewKind = 34;

/// Subtypes of the palette view's WidgetEvents; Index (and Target) tell the swatches.
enum PaletteSubtype : int {
    SwatchClicked = 1,        // left button pressed on swatch Index
    SwatchDoubleClicked = 2,  // swatch Index double-clicked
    SwatchMoved = 3,          // swatch Index dragged to position Target
    SwatchDeleteKey = 4,      // Delete or Backspace while the view has the focus; Index = marked
};

/// Attributes, read with widget_get_attribute. Index and Target are those of the current
/// event (as captured when it was posted); -1 when the current event is not this view's.
enum class PaletteAttribute : int { Index = 1, Target = 2, Count = 3, CellSize = 4, Columns = 5 };

/// Creates a palette view in the current widget list. Its state (widget_get_state and
/// widget_set_state) is the marked swatch, -1 for none. Returns the handle, or the dynamic
/// number for -1; 0 on failure.
std::intptr_t palette_view_create(ObjectNumber number, int x, int y, int width, int height);
/// Shows these colours as swatches (alpha over a checkerboard). The mark stays on its
/// index when that index still exists. False when `number` is not a palette view.
bool palette_view_set_colours(ObjectNumber number, const std::vector<Color>& colours);
std::vector<Color> palette_view_colours(ObjectNumber number);
/// Where swatch `index` is drawn, in the view's own pixels; all 0 when there is none.
WidgetRect palette_view_swatch_rect(ObjectNumber number, int index);

}  // namespace morvane
