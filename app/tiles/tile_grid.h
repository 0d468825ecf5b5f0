// The sheet's tile grid: cells of the grid size at offset + k x (size + gap) that lie wholly
// inside the picture. Pixels of the margins, the gaps and a partial last row or column belong
// to no cell.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "app/editor_state.h"
#include "tileset/tileset.h"

namespace morvane {

/// The grid of the document's picture as the tile-set library reads sheets.
SourceGrid tile_grid(const EditorState& state);

/// The cell holding document pixel (x, y): its index in reading order, or -1 for a pixel in
/// no cell. `cell` receives its rectangle when given.
std::int64_t tile_cell_at(const SourceGrid& grid, std::int64_t x, std::int64_t y, Rect* cell = nullptr);

/// The rectangle of cell `index` (reading order) of `grid`.
Rect tile_cell_rect(const SourceGrid& grid, std::int64_t index);

}  // namespace morvane
