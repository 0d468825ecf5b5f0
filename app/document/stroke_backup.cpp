// Tiles of the picture saved at their first change during a stroke.
#include "app/document/stroke_backup.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/document/history_pack.h"

namespace morvane {

namespace {

struct TileSpan {
    std::int64_t tx0, ty0, tx1, ty1;  // tile indices, half-open
    bool empty() const { return tx1 <= tx0 || ty1 <= ty0; }
};

TileSpan tiles_of(const Bitmap& picture, const Rect& rect) {
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0), y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, picture.width);
    const std::int64_t y1 = std::min<std::int64_t>(rect.y1, picture.height);
    if (x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
    constexpr int T = StrokeBackup::Tile;
    return {x0 / T, y0 / T, (x1 + T - 1) / T, (y1 + T - 1) / T};
}

std::uint64_t key(std::int64_t tx, std::int64_t ty) {
    return static_cast<std::uint64_t>(ty) << 32 | static_cast<std::uint64_t>(tx);
}

}  // namespace

bool StrokeBackup::save(const Bitmap& picture, const Rect& rect) {
    const TileSpan span = tiles_of(picture, rect);
    if (span.empty()) return true;
    try {
        for (std::int64_t ty = span.ty0; ty < span.ty1; ++ty) {
            for (std::int64_t tx = span.tx0; tx < span.tx1; ++tx) {
                const std::uint64_t k = key(tx, ty);
                if (tiles_.count(k)) continue;
                Saved tile;
                const int x = static_cast<int>(tx * Tile), y = static_cast<int>(ty * Tile);
                const int w = std::min(Tile, picture.width - x), h = std::min(Tile, picture.height - y);
                const std::uint8_t* first = picture.row(y) + x * 4;
                if (!pixels_uniform(first, -static_cast<std::ptrdiff_t>(picture.stride), w, h, 4,
                                    &tile.value)) {
                    tile.pixels = std::make_unique_for_overwrite<std::uint32_t[]>(Tile * Tile);
                    for (int r = 0; r < h; ++r)
                        std::memcpy(&tile.pixels[std::size_t(r) * Tile], picture.row(y + r) + x * 4,
                                    std::size_t(w) * 4);
                }
                tiles_.emplace(k, std::move(tile));
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void StrokeBackup::restore(Bitmap& picture, const Rect& rect) const {
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0), y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, picture.width);
    const std::int64_t y1 = std::min<std::int64_t>(rect.y1, picture.height);
    if (x1 <= x0 || y1 <= y0) return;
    const TileSpan span = tiles_of(picture, rect);
    for (std::int64_t ty = span.ty0; ty < span.ty1; ++ty) {
        for (std::int64_t tx = span.tx0; tx < span.tx1; ++tx) {
            const auto found = tiles_.find(key(tx, ty));
            if (found == tiles_.end()) continue;
            // The part of this tile inside the rectangle.
            const std::int64_t cx0 = std::max(x0, tx * Tile), cx1 = std::min(x1, (tx + 1) * Tile);
            const std::int64_t cy0 = std::max(y0, ty * Tile), cy1 = std::min(y1, (ty + 1) * Tile);
            const Saved& tile = found->second;
            for (std::int64_t y = cy0; y < cy1; ++y) {
                std::uint8_t* to = picture.row(static_cast<int>(y)) + cx0 * 4;
                if (!tile.pixels) {
                    for (std::int64_t x = cx0; x < cx1; ++x, to += 4) std::memcpy(to, &tile.value, 4);
                    continue;
                }
                const std::uint32_t* from =
                    &tile.pixels[std::size_t((y - ty * Tile) * Tile + (cx0 - tx * Tile))];
                std::memcpy(to, from, std::size_t(cx1 - cx0) * 4);
            }
        }
    }
}

}  // namespace morvane
