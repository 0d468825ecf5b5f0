// A picture as a Tiled map: its kept tiles as a sheet (mirrored and turned copies kept once,
// fully transparent cells left out), the sheet's TSX, and an orthogonal TMX map whose one
// tile layer puts every cell back with Tiled's flip bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/result.h"
#include "tileset/tileset.h"

namespace morvane {

/// Pixels of a picture that no cell of a grid holds and that are not fully transparent:
/// how many, and the first in reading order.
struct StrayPixels {
    std::int64_t count = 0;
    std::int64_t first_x = -1, first_y = -1;
};
/// The pixels of `source` (24 or 32 bits) in the grid's margin, its gaps and a partial last
/// column or row that a map of the grid's cells cannot show.
StrayPixels tiled_map_stray_pixels(const Bitmap& source, const SourceGrid& grid);

/// The three files of a map named `base`: base.png, base.tsx and base.tmx.
struct TiledMapNames {
    std::string png, tsx, tmx;
};
/// The names for a map file typed in a save dialog: a ".tmx" typed at the end (any case) is
/// the map's own; without it, ".tmx" is added.
TiledMapNames tiled_map_names(const std::string& typed);

/// The tiles of the map and the sheet they are laid out on.
struct TiledMapPlan {
    SourceGrid grid;
    TileSelection selection;
    Sheet sheet;
};
/// Chooses the tiles and plans the sheet: the grid layout without spacing, margin or
/// extrusion, 10 columns (more for many tiles, so that the sheet stays near square; fewer
/// when there are fewer tiles). Fails with a sentence when the grid has no whole cell, every
/// cell is transparent, the sheet would be too large or memory runs out.
Result<TiledMapPlan> tiled_map_plan(const Bitmap& source, const SourceGrid& grid);

/// A map ready to encode and write: its sheet's pixels and its two texts.
struct TiledMap {
    TiledMapNames names;
    BitmapPtr sheet;
    std::string tsx, tmx;
};
/// Assembles the sheet and writes the texts of `plan` for the files `names`.
Result<TiledMap> tiled_map_build(const Bitmap& source, const TiledMapPlan& plan, const TiledMapNames& names);

/// The map's three files with the sheet encoded as PNG, ready for files_write_together.
Result<std::vector<OutputFile>> tiled_map_files(TiledMap map);

}  // namespace morvane
