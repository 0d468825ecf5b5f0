// Cutting a picture into tiles and laying them out again as a tile set.
#include <algorithm>
#include <cstring>

#include "app/commands.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "image/progress.h"

namespace morvane {

namespace {

constexpr std::int64_t MaxImageSide = 32767;

// Tiles are copied straight from the picture into their cells. The result is what grabbing
// each tile and drawing it into the transparent tile set gives: with alpha, a pixel blends
// over transparency to itself, except that a pixel of alpha 0 leaves the cell's zero pixel;
// without alpha (24 bits) the tile is written opaque.
void copy_tile_row32(std::uint8_t* target, const std::uint8_t* source, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t v;
        std::memcpy(&v, source + 4 * i, 4);
        v = (v >> 24) ? v : 0;
        std::memcpy(target + 4 * i, &v, 4);
    }
}

void copy_tile_row24(std::uint8_t* target, const std::uint8_t* source, int count) {
    for (int i = 0; i < count; ++i) {
        target[4 * i] = source[3 * i];
        target[4 * i + 1] = source[3 * i + 1];
        target[4 * i + 2] = source[3 * i + 2];
        target[4 * i + 3] = 255;
    }
}

}  // namespace

bool tileset_assemble(ObjectNumber source, const TileSetLayout& layout, ObjectNumber target) {
    const Image* picture = image_record(source);
    if (!picture || layout.tile_width < 1 || layout.tile_height < 1 || layout.columns < 1) return false;
    if (layout.export_width < 1 || layout.export_width > MaxImageSide || layout.export_height < 1 ||
        layout.export_height > MaxImageSide) {
        return false;
    }
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
    if (!image_create(target, static_cast<int>(layout.export_width), static_cast<int>(layout.export_height),
                      32, BackgroundTransparent)) {
        return false;
    }
    // Icons cannot be cut into tiles: the tile set stays transparent.
    if (from->kind != Bitmap::Kind::Pixels || (from->bpp != 24 && from->bpp != 32)) return true;
    const Bitmap* to = bitmap_from_handle(image_handle(target));

    // Grab order: left to right, then top to bottom; partial tiles at the edges are dropped.
    // Tile i goes to cell i, counted the same way over `columns` cells a row.
    const std::int64_t tw = layout.tile_width, th = layout.tile_height;
    const std::int64_t grab_columns = std::min<std::int64_t>(layout.grab_columns, from->width / tw);
    const std::int64_t grab_rows = std::min<std::int64_t>(layout.grab_rows, from->height / th);
    const std::int64_t cells = (layout.last_row + 1) * layout.columns;
    const int bytes = from->bpp / 8;
    for (std::int64_t gr = 0; gr < grab_rows; ++gr) {
        for (std::int64_t y = 0; y < th; ++y) {
            const std::uint8_t* source_row = from->row(static_cast<std::int32_t>(gr * th + y));
            for (std::int64_t gc = 0; gc < grab_columns; ++gc) {
                const std::int64_t i = gr * layout.grab_columns + gc;
                if (i >= cells) break;
                const std::int64_t tx = layout.cell_x(i % layout.columns);
                const std::int64_t ty = layout.cell_y(i / layout.columns) + y;
                if (ty >= to->height || tx >= to->width) continue;
                const int count = static_cast<int>(std::min<std::int64_t>(tw, to->width - tx));
                std::uint8_t* out = to->row(static_cast<std::int32_t>(ty)) + 4 * tx;
                const std::uint8_t* in = source_row + gc * tw * bytes;
                if (bytes == 4) {
                    copy_tile_row32(out, in, count);
                } else {
                    copy_tile_row24(out, in, count);
                }
            }
        }
        progress_report(gr + 1, grab_rows);
    }
    return true;
}

}  // namespace morvane
