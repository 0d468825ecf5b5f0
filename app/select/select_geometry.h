// The geometry of the Select tool in document pixels: rectangles from two corners, snapping
// to the cells of the tile grid, and moves by whole cells.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "tileset/tileset.h"

namespace morvane {

/// The rectangle from corner pixel (ax, ay) to corner pixel (bx, by), both inside it, in
/// any order.
Rect rect_from_corners(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by);

/// `rect` cut to a picture of width x height.
Rect rect_clipped(const Rect& rect, std::int64_t width, std::int64_t height);

/// The smallest rectangle of whole cells of `grid` that holds every cell `rect` touches; a
/// rectangle that touches no cell (only margins or gaps) is returned as it is.
Rect rect_snapped(const Rect& rect, const SourceGrid& grid);

/// A pointer movement of `delta` pixels rounded to whole cell pitches (nearest, halves away
/// from zero), in pixels.
std::int64_t delta_in_cells(std::int64_t delta, std::int64_t pitch);

}  // namespace morvane
