// Cutting a picture into tiles and laying them out again as a tile set.
#include <vector>

#include "app/commands.h"
#include "draw/draw.h"
#include "image/image.h"

namespace morvane {

namespace {

constexpr std::int64_t MaxImageSide = 32767;

// Frees the grabbed tiles however the assembly ends.
class TileNumbers {
  public:
    explicit TileNumbers(std::int64_t capacity) { numbers_.reserve(static_cast<std::size_t>(capacity)); }
    ~TileNumbers() {
        for (ObjectNumber n : numbers_) {
            if (n) image_free(n);
        }
    }
    TileNumbers(const TileNumbers&) = delete;
    TileNumbers& operator=(const TileNumbers&) = delete;
    void add(ObjectNumber n) { numbers_.push_back(n); }
    ObjectNumber operator[](std::size_t i) const { return numbers_[i]; }

  private:
    std::vector<ObjectNumber> numbers_;
};

}  // namespace

bool tileset_assemble(ObjectNumber source, const TileSetLayout& layout, ObjectNumber target) {
    const Image* picture = image_record(source);
    if (!picture || layout.tile_width < 1 || layout.tile_height < 1 || layout.columns < 1) return false;
    if (layout.export_width < 1 || layout.export_width > MaxImageSide || layout.export_height < 1 ||
        layout.export_height > MaxImageSide) {
        return false;
    }
    const int depth = picture->depth;

    // Grab order: left to right, then top to bottom; partial tiles at the edges are dropped.
    const std::int64_t count = layout.tile_count();
    TileNumbers tiles(count);
    const int tw = static_cast<int>(layout.tile_width), th = static_cast<int>(layout.tile_height);
    for (std::int64_t r = 0; r < layout.grab_rows; ++r) {
        for (std::int64_t c = 0; c < layout.grab_columns; ++c) {
            tiles.add(image_grab(source, -1, static_cast<int>(c) * tw, static_cast<int>(r) * th, tw, th));
        }
    }

    if (!image_create(target, static_cast<int>(layout.export_width), static_cast<int>(layout.export_height),
                      32, BackgroundTransparent)) {
        return false;
    }
    if (drawing_begin(image_output(target))) {
        // A tile with alpha is drawn through its alpha onto the transparent tile set; a tile
        // without alpha (24 bits) is written opaque, which drawing it through its missing
        // alpha channel would not do (it would stay invisible).
        drawing_mode_set(depth == 32 ? Default : WriteAlpha);
        std::int64_t i = 0;
        for (std::int64_t r = 0; r <= layout.last_row && i < count; ++r) {
            const int y = static_cast<int>(layout.cell_y(r));
            for (std::int64_t c = 0; c < layout.columns && i < count; ++c, ++i) {
                const ObjectNumber tile = tiles[static_cast<std::size_t>(i)];
                if (tile) draw_alpha_image(image_handle(tile), static_cast<int>(layout.cell_x(c)), y);
            }
        }
        drawing_end();
    }
    return true;
}

}  // namespace morvane
