// What one brush stroke has done to each pixel it touched: the pixel as it was at the press
// and the highest coverage any dab of the stroke gave it, kept in tiles made at first touch,
// so memory follows what the stroke covers, never the size of the picture.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "app/document/paint_region.h"
#include "image/bitmap.h"

namespace morvane {

class StrokeCoverage {
  public:
    static constexpr int Tile = 64;

    /// Forgets the stroke: every tile is released.
    void clear() { tiles_.clear(); }
    /// Stamps a 32-bit tip with its top-left pixel at (x, y) on a 32-bit picture. A pixel is
    /// painted only where the tip covers it more than any earlier dab of the stroke (as much,
    /// too, when `ties` is set: a many-coloured tip then leaves the colour of its latest dab),
    /// and then as the tip pixel blended once over the pixel before the stroke (Blend, or
    /// BlendKeepAlpha with `keep_alpha`). Returns the rectangle of the pixels that changed;
    /// empty when nothing did or memory ran out.
    Rect stamp(Bitmap& picture, const Bitmap& tip, int x, int y, bool keep_alpha, bool ties);
    /// Bytes held by the tiles.
    std::size_t bytes() const { return tiles_.size() * sizeof(Tiles); }

  private:
    struct Tiles {
        std::uint32_t before[Tile * Tile];
        std::uint8_t coverage[Tile * Tile];
    };
    Tiles* tile(const Bitmap& picture, std::int64_t tx, std::int64_t ty);
    std::unordered_map<std::uint64_t, std::unique_ptr<Tiles>> tiles_;
};

}  // namespace morvane
