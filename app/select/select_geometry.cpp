// The geometry of the Select tool.
#include "app/select/select_geometry.h"

#include <algorithm>

namespace morvane {

namespace {

// Division rounding toward minus infinity (b > 0).
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The cells [first, last] of one axis that [lo, hi) touches: cell k spans
// [margin + k x pitch, margin + k x pitch + size), k in [0, count).
bool touched_cells(std::int64_t lo, std::int64_t hi, std::int64_t margin, std::int64_t size,
                   std::int64_t pitch, std::int64_t count, std::int64_t* first, std::int64_t* last) {
    if (size <= 0 || pitch <= 0 || count <= 0 || hi <= lo) return false;
    // Cell k ends after lo when margin + k x pitch + size > lo; starts before hi when
    // margin + k x pitch < hi.
    *first = std::max<std::int64_t>(0, floor_div(lo - margin - size, pitch) + 1);
    *last = std::min<std::int64_t>(count - 1, floor_div(hi - margin - 1, pitch));
    return *first <= *last;
}

}  // namespace

Rect rect_from_corners(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
    return Rect{std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1};
}

Rect rect_clipped(const Rect& rect, std::int64_t width, std::int64_t height) {
    Rect r{std::max<std::int64_t>(rect.x0, 0), std::max<std::int64_t>(rect.y0, 0), std::min(rect.x1, width),
           std::min(rect.y1, height)};
    if (r.empty()) return Rect{};
    return r;
}

Rect rect_snapped(const Rect& rect, const SourceGrid& grid) {
    std::int64_t cx0 = 0, cx1 = 0, cy0 = 0, cy1 = 0;
    const std::int64_t pitch_x = grid.tile_width + grid.spacing, pitch_y = grid.tile_height + grid.spacing;
    if (!touched_cells(rect.x0, rect.x1, grid.margin, grid.tile_width, pitch_x, grid.columns, &cx0, &cx1) ||
        !touched_cells(rect.y0, rect.y1, grid.margin, grid.tile_height, pitch_y, grid.rows, &cy0, &cy1))
        return rect;
    return Rect{grid.x(cx0), grid.y(cy0), grid.x(cx1) + grid.tile_width, grid.y(cy1) + grid.tile_height};
}

std::int64_t delta_in_cells(std::int64_t delta, std::int64_t pitch) {
    if (pitch <= 0) return delta;
    const std::int64_t cells = delta >= 0 ? (delta + pitch / 2) / pitch : -((-delta + pitch / 2) / pitch);
    return cells * pitch;
}

}  // namespace morvane
