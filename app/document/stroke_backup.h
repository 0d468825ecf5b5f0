// The document as it was at the press of a stroke, kept only for the tiles the stroke has
// touched: a shape tool puts back what its previous shape covered from here.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "app/document/paint_region.h"
#include "image/bitmap.h"

namespace morvane {

class StrokeBackup {
  public:
    static constexpr int Tile = 64;

    /// Forgets every saved tile.
    void clear() { tiles_.clear(); }
    /// Saves the tiles of `rect` (cut to the picture) not saved yet. False without memory.
    bool save(const Bitmap& picture, const Rect& rect);
    /// Writes the saved pixels of `rect` back into the picture.
    void restore(Bitmap& picture, const Rect& rect) const;

  private:
    // A tile of one colour keeps only that colour (pixels null).
    struct Saved {
        std::unique_ptr<std::uint32_t[]> pixels;
        std::uint32_t value = 0;
    };
    std::unordered_map<std::uint64_t, Saved> tiles_;
};

}  // namespace morvane
