// Fuzz target: a tile-set run on any picture with any options. The first 12 bytes choose the
// options, the rest is a picture file. Options the library calls unusable are skipped, as the
// command line refuses them; every other run must plan, select and assemble within the sheet,
// write its texts, and every kept tile's top-left pixel must land in its cell.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "tileset/tileset.h"

namespace {

using namespace morvane;

bool set_up() {
    image_codecs_init();
    bmp_codec_register();
    png_decoder_register();
    jpeg_decoder_register();
    image_codecs_set_pixel_limit(std::int64_t{1} << 16);
    return true;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

constexpr ObjectNumber kPicture = 1, kSheet = 2;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = set_up();
    (void)ready;
    if (size < 12) return 0;
    const std::uint8_t* o = data;
    TileSetOptions options;
    options.kind = (o[0] & 1) ? SheetKind::Grid : SheetKind::Classic;
    options.tile_width = 1 + o[1] % 40;
    options.tile_height = (o[0] & 2) ? options.tile_width : 1 + o[2] % 40;
    options.columns = 1 + o[3] % 70;
    options.spacing = o[4] % 9;
    if (options.kind == SheetKind::Grid) {
        options.margin = o[5] % 9;
        options.extrude = o[6] % 4;
        options.dedup = o[0] & 4;
        options.dedup_flips = o[0] & 8;
        options.skip_empty = o[0] & 16;
    }
    options.in_margin = o[7] % 5;
    options.in_spacing = o[8] % 5;
    options.pot = o[0] & 32;
    if (!image_from_memory(kPicture, data + 12, static_cast<std::int32_t>(size - 12))) return 0;
    const Bitmap* picture = bitmap_from_handle(image_handle(kPicture));
    if (!picture || picture->kind != Bitmap::Kind::Pixels) {
        image_free(kPicture);
        return 0;
    }
    if (!tileset_options_problem(options, picture->width, picture->height).empty()) {
        image_free(kPicture);
        return 0;
    }
    const SourceGrid grid = source_grid(picture->width, picture->height, options.tile_width,
                                        options.tile_height, options.in_margin, options.in_spacing);
    TileSelection selection;
    check(tileset_select(*picture, grid, options, &selection));
    check(selection.kept_count() <= grid.count());
    const Sheet sheet = tileset_plan(options, picture->width, picture->height, selection.kept_count());
    if (sheet.fits() && sheet.width * sheet.height <= (std::int64_t{1} << 22) &&
        image_create(kSheet, static_cast<int>(sheet.width), static_cast<int>(sheet.height), 32,
                     BackgroundTransparent)) {
        Bitmap* target = bitmap_from_handle(image_handle(kSheet));
        check(tileset_assemble(*picture, grid, selection, sheet, *target, true));
        // Each kept tile's first pixel is in its cell, as the assembly writes it.
        for (std::int64_t i = 0; i < sheet.tiles; ++i) {
            const std::int64_t x = sheet.tile_x(i), y = sheet.tile_y(i);
            if (x >= sheet.width || y >= sheet.height) continue;
            const std::int64_t s = selection.source_of(i);
            const std::int64_t sx = grid.x(s % grid.columns), sy = grid.y(s / grid.columns);
            const std::uint8_t* in = picture->row(static_cast<std::int32_t>(sy)) + sx * (picture->bpp / 8);
            const std::uint8_t* out = target->row(static_cast<std::int32_t>(y)) + 4 * x;
            if (selection.flips_of(s) != FlipNone) continue;
            if (picture->bpp == 32 && in[3] == 0) {
                check(out[3] == 0);
            } else {
                check(std::memcmp(in, out, 3) == 0);
            }
        }
        image_free(kSheet);
    }
    if (sheet.cells <= 100000) {
        check(!tileset_list_text("t", ".png", sheet).empty() || sheet.cells == 0);
        check(!tileset_tsx_text("t", "t.png", sheet).empty());
        check(!tileset_json_text("t", ".png", "t.png", sheet).empty());
        check(!tileset_map_csv(grid, selection, sheet).empty() || grid.count() == 0);
    }
    image_free(kPicture);
    return 0;
}
