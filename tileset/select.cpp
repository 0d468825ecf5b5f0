// Choosing the tiles to keep: empty tiles dropped, duplicates (also mirrored and rotated
// ones) kept once, with the table from source tiles to output tiles.
#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

#include "tileset/tileset.h"

namespace morvane {

namespace {

// Reads one tile's pixels as the assembly writes them: 32-bit words 0xAARRGGBB with a
// pixel of alpha 0 as 0, 24-bit pixels opaque.
class TileReader {
public:
    TileReader(const Bitmap& source, const SourceGrid& grid) : source_(source), grid_(grid) {}

    // Pointer to the first byte of tile row y of tile `tile`.
    const std::uint8_t* row(std::int64_t tile, std::int64_t y) const {
        const std::int64_t c = tile % grid_.columns, r = tile / grid_.columns;
        return source_.row(static_cast<std::int32_t>(grid_.y(r) + y)) + grid_.x(c) * (source_.bpp / 8);
    }
    std::uint32_t pixel(const std::uint8_t* row, std::int64_t x) const {
        if (source_.bpp == 32) {
            std::uint32_t v;
            std::memcpy(&v, row + 4 * x, 4);
            return (v >> 24) ? v : 0;
        }
        const std::uint8_t* p = row + 3 * x;
        return 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }

private:
    const Bitmap& source_;
    const SourceGrid& grid_;
};

std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct TileFacts {
    std::uint64_t hash = 0;
    bool empty = true;
};

// One pass over a tile: is it fully transparent, and its hash. With `symmetric` the hash is
// the same for every flip of the tile: each pixel is keyed by its position's orbit under the
// flips (distances to the nearest edges, unordered when the diagonal flip is allowed) and the
// keyed values are summed.
TileFacts tile_facts(const TileReader& reader, const SourceGrid& grid, std::int64_t tile, bool symmetric,
                     bool diagonal) {
    TileFacts f;
    std::uint32_t alpha = 0;
    const std::int64_t w = grid.tile_width, h = grid.tile_height;
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* row = reader.row(tile, y);
        const std::uint64_t dy = static_cast<std::uint64_t>(std::min(y, h - 1 - y));
        for (std::int64_t x = 0; x < w; ++x) {
            const std::uint32_t v = reader.pixel(row, x);
            alpha |= v;
            if (symmetric) {
                std::uint64_t a = static_cast<std::uint64_t>(std::min(x, w - 1 - x)), b = dy;
                if (diagonal && a > b) std::swap(a, b);
                f.hash += mix(v ^ (a << 32) ^ (b << 48));
            } else {
                f.hash = (f.hash ^ v) * 0x100000001B3ull;
            }
        }
    }
    f.hash = mix(f.hash);
    f.empty = (alpha >> 24) == 0;
    return f;
}

// True when stored tile `stored` shown with `flips` (diagonal first, then horizontal, then
// vertical, as Tiled does) equals tile `tile`.
bool same_with_flips(const TileReader& reader, const SourceGrid& grid, std::int64_t tile, std::int64_t stored,
                     std::uint8_t flips) {
    const std::int64_t w = grid.tile_width, h = grid.tile_height;
    const bool fh = flips & FlipHorizontal, fv = flips & FlipVertical, fd = flips & FlipDiagonal;
    if (!fd) {
        for (std::int64_t y = 0; y < h; ++y) {
            const std::uint8_t* a = reader.row(tile, y);
            const std::uint8_t* b = reader.row(stored, fv ? h - 1 - y : y);
            for (std::int64_t x = 0; x < w; ++x) {
                if (reader.pixel(a, x) != reader.pixel(b, fh ? w - 1 - x : x)) return false;
            }
        }
        return true;
    }
    // Diagonal: shown pixel (x, y) is stored pixel (vy, hx) (square tiles only).
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* a = reader.row(tile, y);
        const std::int64_t vy = fv ? h - 1 - y : y;
        for (std::int64_t x = 0; x < w; ++x) {
            const std::int64_t hx = fh ? w - 1 - x : x;
            if (reader.pixel(a, x) != reader.pixel(reader.row(stored, hx), vy)) return false;
        }
    }
    return true;
}

}  // namespace

bool tileset_select(const Bitmap& source, const SourceGrid& grid, const TileSetOptions& options,
                    TileSelection* selection) {
    TileSelection& s = *selection;
    s = TileSelection{};
    s.source_count = grid.count();
    const bool dedup = options.dedup || options.dedup_flips;
    if (!dedup && !options.skip_empty) return true;
    if (source.bpp != 24 && source.bpp != 32) return false;
    if (grid.x(grid.columns) - grid.spacing > source.width || grid.y(grid.rows) - grid.spacing > source.height) {
        return false;
    }
    const bool flips = options.dedup_flips;
    const bool diagonal = flips && grid.tile_width == grid.tile_height;
    // Flip sets tried against a candidate, the plain copy first.
    static const std::uint8_t all_flips[] = {
        FlipNone,     FlipHorizontal, FlipVertical, FlipHorizontal | FlipVertical, FlipDiagonal,
        FlipDiagonal | FlipHorizontal, FlipDiagonal | FlipVertical, FlipDiagonal | FlipHorizontal | FlipVertical};
    const int flip_count = !flips ? 1 : diagonal ? 8 : 4;

    try {
        s.identity = false;
        s.output.assign(static_cast<std::size_t>(s.source_count), -1);
        s.flips.assign(static_cast<std::size_t>(s.source_count), FlipNone);
        std::vector<std::int32_t> older;  // per output tile: previous kept tile of the same hash
        std::unordered_map<std::uint64_t, std::int32_t> newest;  // hash -> last kept tile with it
        if (dedup) newest.reserve(static_cast<std::size_t>(s.source_count));
        const TileReader reader(source, grid);
        for (std::int64_t t = 0; t < s.source_count; ++t) {
            const TileFacts f = tile_facts(reader, grid, t, flips, diagonal);
            if (options.skip_empty && f.empty) continue;
            if (dedup) {
                auto found = newest.find(f.hash);
                bool matched = false;
                for (std::int32_t k = found == newest.end() ? -1 : found->second; k >= 0 && !matched;
                     k = older[static_cast<std::size_t>(k)]) {
                    for (int i = 0; i < flip_count; ++i) {
                        if (same_with_flips(reader, grid, t, s.kept[static_cast<std::size_t>(k)], all_flips[i])) {
                            s.output[static_cast<std::size_t>(t)] = k;
                            s.flips[static_cast<std::size_t>(t)] = all_flips[i];
                            matched = true;
                            break;
                        }
                    }
                }
                if (matched) continue;
                const auto index = static_cast<std::int32_t>(s.kept.size());
                older.push_back(found == newest.end() ? -1 : found->second);
                if (found == newest.end()) {
                    newest.emplace(f.hash, index);
                } else {
                    found->second = index;
                }
            }
            s.output[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(s.kept.size());
            s.kept.push_back(static_cast<std::int32_t>(t));
        }
    } catch (const std::bad_alloc&) {
        *selection = TileSelection{};
        return false;
    }
    return true;
}

}  // namespace morvane
