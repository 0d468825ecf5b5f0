// Assembling the sheet: each kept tile copied into its cell, its edges extruded.
#include <algorithm>
#include <cstring>

#include "image/progress.h"
#include "tileset/tileset.h"

namespace morvane {

namespace {

// Copies one tile row into the sheet. The result is what drawing the tile over a
// transparent sheet gives: a pixel of alpha 0 stays transparent black, any other keeps its
// colour and alpha; 24-bit pixels are written opaque.
void copy_row32(std::uint8_t* target, const std::uint8_t* source, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        std::uint32_t v;
        std::memcpy(&v, source + 4 * i, 4);
        v = (v >> 24) ? v : 0;
        std::memcpy(target + 4 * i, &v, 4);
    }
}

void copy_row24(std::uint8_t* target, const std::uint8_t* source, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        target[4 * i] = source[3 * i];
        target[4 * i + 1] = source[3 * i + 1];
        target[4 * i + 2] = source[3 * i + 2];
        target[4 * i + 3] = 255;
    }
}

// Repeats the first and last pixel of a tile row `extrude` times to the left and right.
void extrude_row(std::uint8_t* row, std::int64_t tile_width, std::int64_t extrude) {
    std::uint32_t first, last;
    std::memcpy(&first, row, 4);
    std::memcpy(&last, row + 4 * (tile_width - 1), 4);
    for (std::int64_t i = 1; i <= extrude; ++i) {
        std::memcpy(row - 4 * i, &first, 4);
        std::memcpy(row + 4 * (tile_width - 1 + i), &last, 4);
    }
}

}  // namespace

bool tileset_assemble(const Bitmap& source, const SourceGrid& grid, const TileSelection& selection,
                      const Sheet& sheet, Bitmap& target, bool clear) {
    if (target.bpp != 32 || !target.bits || target.width != sheet.width || target.height != sheet.height) {
        return false;
    }
    if (source.bpp != 24 && source.bpp != 32) return false;
    if (sheet.tiles > 0 && (sheet.tile_width != grid.tile_width || sheet.tile_height != grid.tile_height ||
                            grid.x(grid.columns) - grid.spacing > source.width ||
                            grid.y(grid.rows) - grid.spacing > source.height ||
                            selection.kept_count() < sheet.tiles || sheet.columns < 1)) {
        return false;
    }
    if (clear) {
        for (std::int32_t y = 0; y < target.height; ++y)
            std::memset(target.row(y), 0, 4 * std::size_t(target.width));
    }
    const std::int64_t tw = sheet.tile_width, th = sheet.tile_height, e = sheet.extrude;
    const std::int64_t bytes = source.bpp / 8;
    for (std::int64_t i = 0; i < sheet.tiles; ++i) {
        const std::int64_t s = selection.source_of(i);
        const std::int64_t sx = grid.x(s % grid.columns), sy = grid.y(s / grid.columns);
        const std::int64_t ox = sheet.tile_x(i), oy = sheet.tile_y(i);
        if (ox >= target.width || oy >= target.height) continue;
        // Cells reaching past the picture are cut there (only the classic layout can have them).
        const std::int64_t count = std::min(tw, target.width - ox);
        const std::int64_t rows = std::min(th, target.height - oy);
        const bool whole =
            count == tw && rows == th && ox + tw + e <= target.width && oy + th + e <= target.height;
        for (std::int64_t y = 0; y < rows; ++y) {
            std::uint8_t* out = target.row(static_cast<std::int32_t>(oy + y)) + 4 * ox;
            const std::uint8_t* in = source.row(static_cast<std::int32_t>(sy + y)) + sx * bytes;
            if (bytes == 4) {
                copy_row32(out, in, count);
            } else {
                copy_row24(out, in, count);
            }
            if (e > 0 && whole) extrude_row(out, tw, e);
        }
        if (e > 0 && whole) {
            // The extruded first and last rows, corners included, repeated above and below.
            const std::size_t span = 4 * static_cast<std::size_t>(tw + 2 * e);
            const std::uint8_t* top = target.row(static_cast<std::int32_t>(oy)) + 4 * (ox - e);
            const std::uint8_t* bottom = target.row(static_cast<std::int32_t>(oy + th - 1)) + 4 * (ox - e);
            for (std::int64_t i2 = 1; i2 <= e; ++i2) {
                std::memcpy(target.row(static_cast<std::int32_t>(oy - i2)) + 4 * (ox - e), top, span);
                std::memcpy(target.row(static_cast<std::int32_t>(oy + th - 1 + i2)) + 4 * (ox - e), bottom,
                            span);
            }
        }
        // One report per row of the source sheet, once its last tile is placed.
        if (s % grid.columns == grid.columns - 1) progress_report(s / grid.columns + 1, grid.rows);
    }
    return true;
}

}  // namespace morvane
