// What tile mode lays over the view: each cell's group number in its top-left corner, and
// the outline of the cells of the group under the pointer, with a mark on the mirrored and
// turned ones. Plain C++, drawn into the view's composition.
#pragma once

#include <cstdint>

#include "tileset/links.h"

namespace morvane {

struct TileOverlay {
    const TileLinks* links = nullptr;
    bool numbers = false;            // group numbers in the cells
    std::int64_t pointer_cell = -1;  // its group is outlined; -1 for none
};

/// Draws the overlay, at `zoom` percent, into the current drawing session whose pixel (0, 0)
/// is view pixel (x0, y0) and which shows view pixels [x0, x1) x [y0, y1).
void tile_overlay_draw(const TileOverlay& overlay, int zoom, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                       std::int64_t y1);

/// The size on screen of a number of `digits` digits drawn in a cell: its box's width and height.
int tile_number_box_width(int digits);
inline constexpr int TileNumberBoxHeight = 7;

}  // namespace morvane
