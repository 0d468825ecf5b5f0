// Cutting a numbered picture into tiles and laying them out again as a numbered tile set,
// through the tile-set library.
#include "app/tilesets/tileset_commands.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

bool tileset_assemble(ObjectNumber source, const TileSetLayout& layout, ObjectNumber target) {
    const Image* picture = image_record(source);
    if (!picture || layout.tile_width < 1 || layout.tile_height < 1 || layout.columns < 1) return false;
    const Sheet sheet = classic_sheet(layout);
    if (!sheet.fits()) return false;
    if (source == target) {
        // Creating the tile set would free the picture: cut a copy of it instead.
        const ObjectNumber copy = image_copy(source, -1);
        if (!copy) return false;
        const bool done = tileset_assemble(copy, layout, target);
        image_free(copy);
        return done;
    }
    const Bitmap* from = bitmap_from_handle(picture->handle);
    if (!from) return false;
    if (!image_create(target, static_cast<int>(sheet.width), static_cast<int>(sheet.height), 32,
                      BackgroundTransparent)) {
        return false;
    }
    // Icons cannot be cut into tiles: the tile set stays transparent.
    if (from->kind != Bitmap::Kind::Pixels || (from->bpp != 24 && from->bpp != 32)) return true;
    Bitmap* to = bitmap_from_handle(image_handle(target));

    // Every whole tile of the picture, in grab order, goes to the cell of its number.
    const SourceGrid grid = source_grid(from->width, from->height, layout.tile_width, layout.tile_height);
    TileSelection all;
    all.source_count = grid.count();
    Sheet drawn = sheet;
    drawn.tiles = std::min(drawn.tiles, grid.count());
    return tileset_assemble(*from, grid, all, drawn, *to);
}

}  // namespace morvane
