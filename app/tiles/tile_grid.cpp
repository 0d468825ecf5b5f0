// The sheet's tile grid.
#include "app/tiles/tile_grid.h"

#include <algorithm>

namespace morvane {

SourceGrid tile_grid(const EditorState& state) {
    return source_grid(
        state.view.base_width, state.view.base_height, std::max<std::int64_t>(1, state.view.grid_width),
        std::max<std::int64_t>(1, state.view.grid_height), std::max<std::int64_t>(0, state.view.grid_offset),
        std::max<std::int64_t>(0, state.view.grid_gap));
}

std::int64_t tile_cell_at(const SourceGrid& grid, std::int64_t x, std::int64_t y, Rect* cell) {
    if (grid.tile_width <= 0 || grid.tile_height <= 0) return -1;
    const std::int64_t rx = x - grid.margin, ry = y - grid.margin;
    if (rx < 0 || ry < 0) return -1;
    const std::int64_t pitch_x = grid.tile_width + grid.spacing, pitch_y = grid.tile_height + grid.spacing;
    const std::int64_t column = rx / pitch_x, row = ry / pitch_y;
    if (column >= grid.columns || row >= grid.rows) return -1;
    if (rx - column * pitch_x >= grid.tile_width || ry - row * pitch_y >= grid.tile_height) return -1;
    const std::int64_t index = row * grid.columns + column;
    if (cell) *cell = tile_cell_rect(grid, index);
    return index;
}

Rect tile_cell_rect(const SourceGrid& grid, std::int64_t index) {
    if (grid.columns <= 0) return {};
    const std::int64_t column = index % grid.columns, row = index / grid.columns;
    const std::int64_t x = grid.x(column), y = grid.y(row);
    return Rect{x, y, x + grid.tile_width, y + grid.tile_height};
}

}  // namespace morvane
