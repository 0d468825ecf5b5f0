// Tile links built on the tile-set selection: its duplicate search (with mirrors and turns)
// gives each cell the kept tile it copies and the flips that show it there.
#include "tileset/links.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace morvane {

void tile_flip_point(std::uint8_t flips, std::int32_t width, std::int32_t height, std::int32_t* x,
                     std::int32_t* y) {
    std::int32_t px = *x, py = *y;
    if (flips & FlipDiagonal) std::swap(px, py);
    // After the diagonal flip the tile is height wide (square tiles only take it).
    if (flips & FlipHorizontal) px = (flips & FlipDiagonal ? height : width) - 1 - px;
    if (flips & FlipVertical) py = (flips & FlipDiagonal ? width : height) - 1 - py;
    *x = px;
    *y = py;
}

void tile_unflip_point(std::uint8_t flips, std::int32_t width, std::int32_t height, std::int32_t* x,
                       std::int32_t* y) {
    std::int32_t px = *x, py = *y;
    if (flips & FlipVertical) py = (flips & FlipDiagonal ? width : height) - 1 - py;
    if (flips & FlipHorizontal) px = (flips & FlipDiagonal ? height : width) - 1 - px;
    if (flips & FlipDiagonal) std::swap(px, py);
    *x = px;
    *y = py;
}

std::int64_t TileLinks::cell_at(std::int64_t x, std::int64_t y) const {
    const std::int64_t px = x - grid.margin, py = y - grid.margin;
    if (px < 0 || py < 0) return -1;
    const std::int64_t pitch_x = grid.tile_width + grid.spacing, pitch_y = grid.tile_height + grid.spacing;
    const std::int64_t c = px / pitch_x, r = py / pitch_y;
    if (c >= grid.columns || r >= grid.rows || px % pitch_x >= grid.tile_width || py % pitch_y >= grid.tile_height)
        return -1;
    return r * grid.columns + c;
}

bool tile_links_build(const Bitmap& picture, const SourceGrid& grid, bool mirrored_and_turned, TileLinks* links) {
    TileLinks& l = *links;
    l = TileLinks{};
    l.grid = grid;
    TileSetOptions options;
    options.tile_width = grid.tile_width;
    options.tile_height = grid.tile_height;
    options.dedup = true;
    options.dedup_flips = mirrored_and_turned;
    options.skip_empty = true;
    TileSelection selection;
    if (grid.count() == 0) return true;
    if (!tileset_select(picture, grid, options, &selection)) return false;
    try {
        l.group.assign(static_cast<std::size_t>(grid.count()), -1);
        l.flips.assign(static_cast<std::size_t>(grid.count()), FlipNone);
        l.members.resize(static_cast<std::size_t>(selection.kept_count()));
        for (std::int64_t cell = 0; cell < grid.count(); ++cell) {
            const std::int64_t kept = selection.output_of(cell);
            if (kept < 0) continue;
            l.group[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(kept);
            l.flips[static_cast<std::size_t>(cell)] = selection.flips_of(cell);
            l.members[static_cast<std::size_t>(kept)].push_back(static_cast<std::int32_t>(cell));
        }
    } catch (const std::bad_alloc&) {
        l = TileLinks{};
        return false;
    }
    return true;
}

void tile_links_unlink(TileLinks& links, std::int64_t cell) {
    if (cell < 0 || cell >= links.grid.count()) return;
    const std::int32_t g = links.group[static_cast<std::size_t>(cell)];
    if (g < 0 || links.members[static_cast<std::size_t>(g)].size() < 2) return;
    auto& old = links.members[static_cast<std::size_t>(g)];
    old.erase(std::find(old.begin(), old.end(), static_cast<std::int32_t>(cell)));
    links.group[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(links.members.size());
    links.flips[static_cast<std::size_t>(cell)] = FlipNone;  // the cell is its own unflipped tile now
    links.members.push_back({static_cast<std::int32_t>(cell)});
}

std::vector<CellRect> tile_links_propagate(const TileLinks& links, Bitmap& picture, std::int64_t cell,
                                           const CellRect& changed) {
    std::vector<CellRect> written;
    const SourceGrid& g = links.grid;
    if (cell < 0 || cell >= g.count() || (picture.bpp != 24 && picture.bpp != 32)) return written;
    const std::int32_t group = links.group[static_cast<std::size_t>(cell)];
    if (group < 0) return written;
    const std::int64_t cx = g.x(cell % g.columns), cy = g.y(cell / g.columns);
    // The changed rectangle in the cell's own pixels.
    const std::int64_t x0 = std::max(changed.x, cx) - cx, y0 = std::max(changed.y, cy) - cy;
    const std::int64_t x1 = std::min(changed.x + changed.width, cx + g.tile_width) - cx;
    const std::int64_t y1 = std::min(changed.y + changed.height, cy + g.tile_height) - cy;
    if (x0 >= x1 || y0 >= y1) return written;
    const int bytes = picture.bpp / 8;
    const auto w = static_cast<std::int32_t>(g.tile_width), h = static_cast<std::int32_t>(g.tile_height);
    const std::uint8_t from_flips = links.flips[static_cast<std::size_t>(cell)];
    for (const std::int32_t other : links.members[static_cast<std::size_t>(group)]) {
        if (other == cell) continue;
        const std::uint8_t to_flips = links.flips[static_cast<std::size_t>(other)];
        const std::int64_t ox = g.x(other % g.columns), oy = g.y(other / g.columns);
        std::int64_t lx = g.tile_width, ly = g.tile_height, hx = -1, hy = -1;
        for (std::int64_t y = y0; y < y1; ++y) {
            const std::uint8_t* from = picture.row(static_cast<std::int32_t>(cy + y)) + (cx + x0) * bytes;
            for (std::int64_t x = x0; x < x1; ++x, from += bytes) {
                // Cell pixel -> the group's unflipped tile -> the copy's pixel.
                auto tx = static_cast<std::int32_t>(x), ty = static_cast<std::int32_t>(y);
                tile_unflip_point(from_flips, w, h, &tx, &ty);
                tile_flip_point(to_flips, w, h, &tx, &ty);
                std::memcpy(picture.row(static_cast<std::int32_t>(oy + ty)) + (ox + tx) * bytes, from,
                            static_cast<std::size_t>(bytes));
                lx = std::min<std::int64_t>(lx, tx);
                hx = std::max<std::int64_t>(hx, tx);
                ly = std::min<std::int64_t>(ly, ty);
                hy = std::max<std::int64_t>(hy, ty);
            }
        }
        written.push_back({ox + lx, oy + ly, hx - lx + 1, hy - ly + 1});
    }
    return written;
}

}  // namespace morvane
