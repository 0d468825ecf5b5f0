// The fill tool in tile mode: a fill stays inside the cell where it starts, so that it never
// runs into the neighbouring tiles (or, started in a margin or a gap, into any tile).
#include <cstring>
#include <new>
#include <vector>

#include "app/document/painter.h"
#include "app/tiles/tile_grid.h"
#include "app/tiles/tile_mode.h"
#include "app/tools/tool.h"
#include "draw/draw.h"
#include "draw/session.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

namespace {

std::uint32_t stored_value(const Bitmap& picture, int x, int y) {
    std::uint32_t value = 0;
    std::memcpy(&value, picture.row(y) + static_cast<std::ptrdiff_t>(picture.bpp / 8) * x,
                static_cast<std::size_t>(picture.bpp / 8));
    return value;
}

// Fills from (x, y) in a drawing session on the cell's own pixels: the picture's memory seen
// as a picture of the cell's size, so the fill cannot leave it.
void fill_in_cell(EditorState& state, Bitmap& picture, const Rect& cell, int x, int y) {
    const int bytes = picture.bpp / 8;
    // Memory row 0 of the cell is its bottom row (the picture is stored bottom-up).
    std::uint8_t* bits = picture.row(static_cast<std::int32_t>(cell.y1 - 1)) + cell.x0 * bytes;
    // Painters do not nest: this one ends the press's session on the whole picture.
    Painter painter{drawing_output_prepare(bits, static_cast<int>(cell.x1 - cell.x0),
                                           static_cast<int>(cell.y1 - cell.y0), picture.stride, picture.bpp,
                                           nullptr)};
    if (!painter) return;
    drawing_mode_set(paint_mode(state));
    fill_area_exact(static_cast<int>(x - cell.x0), static_cast<int>(y - cell.y0), state.tools.brush_color);
}

}  // namespace

bool tile_fill(EditorState& state, int x, int y, Rect* changed) {
    if (!state.tools.tile_mode) return false;
    Bitmap* picture = state.document.picture_or_null();
    if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height) return false;
    const SourceGrid grid = tile_grid(state);
    const std::uint32_t seed = stored_value(*picture, x, y);
    Rect cell;
    if (tile_cell_at(grid, x, y, &cell) >= 0) {
        state.document.history.save_before_holding(cell, seed);
        fill_in_cell(state, *picture, cell, x, y);
        *changed = cell;
        return true;
    }
    // Started outside every cell: the fill runs as usual, then every cell gets its pixels back.
    const Rect whole{0, 0, picture->width, picture->height};
    std::vector<std::uint8_t> cells;
    const int bytes = picture->bpp / 8;
    const std::size_t row_bytes = static_cast<std::size_t>(grid.tile_width * bytes);
    try {
        cells.resize(static_cast<std::size_t>(grid.count() * grid.tile_height) * row_bytes);
    } catch (const std::bad_alloc&) {
        return true;  // no room to keep the cells: nothing is filled rather than the tiles
    }
    std::uint8_t* keep = cells.data();
    for (std::int64_t i = 0; i < grid.count(); ++i) {
        const Rect r = tile_cell_rect(grid, i);
        for (std::int64_t row = r.y0; row < r.y1; ++row, keep += row_bytes)
            std::memcpy(keep, picture->row(static_cast<std::int32_t>(row)) + r.x0 * bytes, row_bytes);
    }
    state.document.history.save_before_holding(whole, seed);
    drawing_mode_set(paint_mode(state));
    fill_area_exact(x, y, state.tools.brush_color);
    keep = cells.data();
    for (std::int64_t i = 0; i < grid.count(); ++i) {
        const Rect r = tile_cell_rect(grid, i);
        for (std::int64_t row = r.y0; row < r.y1; ++row, keep += row_bytes)
            std::memcpy(picture->row(static_cast<std::int32_t>(row)) + r.x0 * bytes, keep, row_bytes);
    }
    *changed = whole;
    return true;
}

}  // namespace morvane
