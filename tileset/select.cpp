// Choosing the tiles to keep: empty tiles dropped, duplicates (also mirrored and rotated
// ones) kept once, with the table from source tiles to output tiles.
#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

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

// Hashes tiles and tells empty ones. With `symmetric` the hash is the same for every flip of
// a tile: each pixel is keyed by its position's orbit under the flips (distances to the
// nearest edges, unordered when the diagonal flip is allowed) and the keyed values are
// summed. Otherwise each pixel is keyed by its own position. Equal hashes are only
// candidates: tiles are always compared pixel by pixel, so the hash need not be strong.
class TileHasher {
  public:
    TileHasher(const TileReader& reader, const SourceGrid& grid, bool symmetric, bool diagonal)
        : reader_(reader), width_(grid.tile_width), height_(grid.tile_height) {
        keys_.resize(static_cast<std::size_t>(width_ * height_));
        for (std::int64_t y = 0; y < height_; ++y) {
            for (std::int64_t x = 0; x < width_; ++x) {
                std::uint64_t a = static_cast<std::uint64_t>(x), b = static_cast<std::uint64_t>(y);
                if (symmetric) {
                    a = static_cast<std::uint64_t>(std::min(x, width_ - 1 - x));
                    b = static_cast<std::uint64_t>(std::min(y, height_ - 1 - y));
                    if (diagonal && a > b) std::swap(a, b);
                }
                keys_[static_cast<std::size_t>(y * width_ + x)] = mix((a << 32) | b);
            }
        }
    }

    TileFacts facts(std::int64_t tile, bool bpp32) const {
        std::uint64_t hash = 0;
        std::uint32_t alpha = 0;
        const std::uint64_t* key = keys_.data();
        for (std::int64_t y = 0; y < height_; ++y, key += width_) {
            const std::uint8_t* row = reader_.row(tile, y);
            if (bpp32) {
                for (std::int64_t x = 0; x < width_; ++x) {
                    std::uint32_t v;
                    std::memcpy(&v, row + 4 * x, 4);
                    v = (v >> 24) ? v : 0;
                    alpha |= v;
                    hash += (v ^ key[x]) * 0x9E3779B97F4A7C15ull;
                }
            } else {
                alpha = 0xFF000000u;
                for (std::int64_t x = 0; x < width_; ++x)
                    hash += (reader_.pixel(row, x) ^ key[x]) * 0x9E3779B97F4A7C15ull;
            }
        }
        return TileFacts{mix(hash), (alpha >> 24) == 0};
    }

  private:
    const TileReader& reader_;
    std::int64_t width_, height_;
    std::vector<std::uint64_t> keys_;
};

// The facts of every tile, on several threads for large sheets.
std::vector<TileFacts> all_facts(const TileHasher& hasher, std::int64_t count, bool bpp32) {
    std::vector<TileFacts> facts(static_cast<std::size_t>(count));
    const unsigned threads =
        count < 4096 ? 1 : std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
    auto work = [&](unsigned part) {
        const std::int64_t begin = count * part / threads, end = count * (part + 1) / threads;
        for (std::int64_t t = begin; t < end; ++t)
            facts[static_cast<std::size_t>(t)] = hasher.facts(t, bpp32);
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned part = 1; part < threads; ++part) helpers.emplace_back(work, part);
    } catch (const std::system_error&) {
        // No more threads: this one does the rest.
        for (unsigned part = static_cast<unsigned>(helpers.size()) + 1; part < threads; ++part) work(part);
    }
    work(0);
    for (std::thread& h : helpers) h.join();
    return facts;
}

// Hash -> newest kept tile with that hash, by open addressing (power-of-two slots, linear
// probing): one probe is usually one cache line.
class NewestByHash {
  public:
    explicit NewestByHash(std::int64_t count) {
        std::size_t size = 16;
        while (size < static_cast<std::size_t>(count) * 2) size *= 2;
        hashes_.assign(size, 0);
        tiles_.assign(size, -1);
        mask_ = size - 1;
    }
    // The slot holding `hash`, or the empty slot where it would go.
    std::size_t slot(std::uint64_t hash) const {
        std::size_t i = static_cast<std::size_t>(hash) & mask_;
        while (tiles_[i] >= 0 && hashes_[i] != hash) i = (i + 1) & mask_;
        return i;
    }
    std::int32_t tile(std::size_t slot) const { return tiles_[slot]; }
    void set(std::size_t slot, std::uint64_t hash, std::int32_t tile) {
        hashes_[slot] = hash;
        tiles_[slot] = tile;
    }

  private:
    std::vector<std::uint64_t> hashes_;
    std::vector<std::int32_t> tiles_;
    std::size_t mask_ = 0;
};

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
    if (grid.x(grid.columns) - grid.spacing > source.width ||
        grid.y(grid.rows) - grid.spacing > source.height) {
        return false;
    }
    const bool flips = options.dedup_flips;
    const bool diagonal = flips && grid.tile_width == grid.tile_height;
    // Flip sets tried against a candidate, the plain copy first.
    static const std::uint8_t all_flips[] = {FlipNone,
                                             FlipHorizontal,
                                             FlipVertical,
                                             FlipHorizontal | FlipVertical,
                                             FlipDiagonal,
                                             FlipDiagonal | FlipHorizontal,
                                             FlipDiagonal | FlipVertical,
                                             FlipDiagonal | FlipHorizontal | FlipVertical};
    const int flip_count = !flips ? 1 : diagonal ? 8 : 4;

    try {
        s.identity = false;
        s.output.assign(static_cast<std::size_t>(s.source_count), -1);
        s.flips.assign(static_cast<std::size_t>(s.source_count), FlipNone);
        std::vector<std::int32_t> older;  // per output tile: previous kept tile of the same hash
        NewestByHash newest(dedup ? s.source_count : 0);
        const TileReader reader(source, grid);
        const TileHasher hasher(reader, grid, flips, diagonal);
        const std::vector<TileFacts> facts = all_facts(hasher, s.source_count, source.bpp == 32);
        constexpr std::int64_t Ahead = 8;  // tiles whose candidate is fetched ahead of its comparison
        for (std::int64_t t = 0; t < s.source_count; ++t) {
            const TileFacts& f = facts[static_cast<std::size_t>(t)];
            if (dedup && t + Ahead < s.source_count) {
                // A duplicate's first copy lies anywhere earlier in the sheet: start loading its
                // rows now so that the comparison does not wait for memory.
                const std::int32_t k =
                    newest.tile(newest.slot(facts[static_cast<std::size_t>(t + Ahead)].hash));
                if (k >= 0) {
                    const std::int64_t stored = s.kept[static_cast<std::size_t>(k)];
                    for (std::int64_t y = 0; y < grid.tile_height; ++y)
                        __builtin_prefetch(reader.row(stored, y));
                }
            }
            if (options.skip_empty && f.empty) continue;
            if (dedup) {
                const std::size_t slot = newest.slot(f.hash);
                const std::int32_t first = newest.tile(slot);
                bool matched = false;
                for (std::int32_t k = first; k >= 0 && !matched; k = older[static_cast<std::size_t>(k)]) {
                    for (int i = 0; i < flip_count; ++i) {
                        if (same_with_flips(reader, grid, t, s.kept[static_cast<std::size_t>(k)],
                                            all_flips[i])) {
                            s.output[static_cast<std::size_t>(t)] = k;
                            s.flips[static_cast<std::size_t>(t)] = all_flips[i];
                            matched = true;
                            break;
                        }
                    }
                }
                if (matched) continue;
                const auto index = static_cast<std::int32_t>(s.kept.size());
                older.push_back(first);
                newest.set(slot, f.hash, index);
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

std::vector<bool> tileset_empty_tiles(const Bitmap& source, const SourceGrid& grid) {
    std::vector<bool> empty;
    if (source.bpp != 24 && source.bpp != 32) return empty;
    if (grid.count() == 0 || grid.x(grid.columns) - grid.spacing > source.width ||
        grid.y(grid.rows) - grid.spacing > source.height) {
        return empty;
    }
    try {
        empty.assign(static_cast<std::size_t>(grid.count()), source.bpp == 32);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (source.bpp == 24) return empty;  // no alpha: every pixel is opaque
    const TileReader reader(source, grid);
    for (std::int64_t t = 0; t < grid.count(); ++t) {
        std::uint8_t alpha = 0;
        for (std::int64_t y = 0; y < grid.tile_height && alpha == 0; ++y) {
            const std::uint8_t* row = reader.row(t, y);
            for (std::int64_t x = 0; x < grid.tile_width; ++x) alpha |= row[4 * x + 3];
        }
        empty[static_cast<std::size_t>(t)] = alpha == 0;
    }
    return empty;
}

}  // namespace morvane
