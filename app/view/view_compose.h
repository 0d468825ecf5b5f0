// What the canvas shows for a rectangle of the view: the checkerboard, the document picture
// scaled by whole-pixel blocks and blended over it, and the grid lines on top. Plain C++:
// the canvas widget asks for the exposed part of itself at each paint.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap.h"
#include "app/tiles/tile_overlay.h"
#include "image/color.h"

namespace morvane {

struct SelectionLayer;

/// The view of a document: its size on screen, the zoom and the grid.
struct ViewSpec {
    std::int64_t view_width = 0, view_height = 0;  // document size x zoom / 100
    int zoom = 100;                                // percent
    bool grid_visible = false;
    std::int64_t grid_width = 32, grid_height = 32;  // cell size in document pixels
    Color grid_color = 0;
    // The sheet's cells at offset + k x (size + gap): with an offset or a gap the grid lines
    // go around each of the columns x rows whole cells.
    std::int64_t grid_offset = 0, grid_gap = 0;
    std::int64_t grid_columns = 0, grid_rows = 0;
    TileOverlay tiles;  // tile mode's numbers and group outline (no links: nothing)
    const SelectionLayer* selection = nullptr;  // floating pixels and outline, when any
};

/// The document pixel column (or row) shown at a view column (or row): v x 100 / zoom,
/// rounded toward minus infinity so that positions left of or above the view stay outside.
std::int64_t view_to_document(std::int64_t v, int zoom);

/// Composes the view rectangle x, y, width x height (cut to the view) into `out`: rows from
/// the top, `stride` pixels apart, each pixel 0xFFRRGGBB; the part outside the view is
/// white. `picture` is the 32-bit document. False (and `out` untouched) when the scratch
/// rows cannot be had or a drawing session is open (composing would end it).
bool view_compose(const Bitmap& picture, const ViewSpec& view, int x, int y, int width, int height,
                  std::uint32_t* out, std::ptrdiff_t stride);

}  // namespace morvane
