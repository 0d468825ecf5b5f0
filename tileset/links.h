// Tile links: the cells of a sheet that hold the same tile, possibly mirrored or turned, so
// that an edit made in one cell can be carried to every copy.
#pragma once

#include <cstdint>
#include <vector>

#include "tileset/tileset.h"

namespace morvane {

/// Where pixel (x, y) of an unflipped tile of width x height lands in a copy shown with
/// `flips` (Tiled's order: diagonal first, then horizontal, then vertical).
void tile_flip_point(std::uint8_t flips, std::int32_t width, std::int32_t height, std::int32_t* x,
                     std::int32_t* y);
/// The inverse: where pixel (x, y) of the copy comes from in the unflipped tile.
void tile_unflip_point(std::uint8_t flips, std::int32_t width, std::int32_t height, std::int32_t* x,
                       std::int32_t* y);

struct TileLinks {
    SourceGrid grid;
    std::vector<std::int32_t> group;  // per cell: its group, -1 for a fully transparent cell
    std::vector<std::uint8_t> flips;  // per cell: the flips showing the group's tile in the cell
    std::vector<std::vector<std::int32_t>> members;  // per group: its cells in reading order

    std::int64_t groups() const { return static_cast<std::int64_t>(members.size()); }
    /// The cell holding document pixel (x, y), or -1 outside every cell (margins, gaps).
    std::int64_t cell_at(std::int64_t x, std::int64_t y) const;
};

/// Links the cells of `grid` in `picture` (24 or 32 bits) with identical pixels, and with
/// `mirrored_and_turned` also those that are a mirror or a turn of another (turns need square
/// cells). Groups are numbered in reading order of their first cell; fully transparent cells
/// belong to none. False when memory runs out or the grid does not lie in the picture.
bool tile_links_build(const Bitmap& picture, const SourceGrid& grid, bool mirrored_and_turned, TileLinks* links);

/// Makes `cell` a group of its own (appended last); nothing for a cell already alone or in
/// no group.
void tile_links_unlink(TileLinks& links, std::int64_t cell);

/// A rectangle in document pixels.
struct CellRect {
    std::int64_t x = 0, y = 0, width = 0, height = 0;
};

/// Copies the pixels of `changed` (document pixels, clipped to `cell`) from `cell` to every
/// other cell of its group, each through its own flips, and returns the rectangles written
/// (one per copy, in document pixels). Nothing for a cell in no group.
std::vector<CellRect> tile_links_propagate(const TileLinks& links, Bitmap& picture, std::int64_t cell,
                                           const CellRect& changed);

}  // namespace morvane
