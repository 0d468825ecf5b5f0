// The selection in the composed view: floating pixels over the picture and the animated
// dashed outline ("marching ants") around the selection. Plain C++, called by the view's
// composition for the rectangle it composes.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "image/bitmap.h"

namespace morvane {

/// What the view shows of the selection.
struct SelectionLayer {
    Rect rect;                         // document pixels; empty: nothing selected
    const Bitmap* floating = nullptr;  // 32-bit pixels shown at rect, or null
    int ants_phase = 0;                // 0..7: the dashes' step along the outline
};

/// The view pixels [*v0, *v1) that document pixels [d0, d1) cover at `zoom` percent
/// (document pixel d shows at view pixels ceil(d x zoom / 100) up to ceil((d + 1) x zoom / 100)).
void selection_view_span(std::int64_t d0, std::int64_t d1, int zoom, std::int64_t* v0, std::int64_t* v1);

/// Composes the floating pixels over `scaled` (32-bit, straight alpha), which holds the
/// picture at view scale for the view rectangle from (x0, y0) of its size: alpha over, only
/// where the floating pixels show inside it.
void selection_compose_floating(const SelectionLayer& layer, int zoom, std::int64_t x0, std::int64_t y0,
                                Bitmap& scaled);

/// The colour of the outline at view pixel (x, y) for `phase`: true black, false white.
/// Dashes of four pixels run diagonally and move one pixel per phase step.
bool selection_ant_black(std::int64_t x, std::int64_t y, int phase);

/// Draws the outline into `ground` (24-bit, the view rectangle from (x0, y0) of its size):
/// the ring of view pixels just inside the selection's view rectangle, where it crosses the
/// rectangle composed.
void selection_draw_ants(const SelectionLayer& layer, int zoom, std::int64_t x0, std::int64_t y0,
                         Bitmap& ground);

}  // namespace morvane
