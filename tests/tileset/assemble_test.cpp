// Sheets assembled pixel for pixel against references that work from each output pixel back
// to the source pixel it shows, and tile selection against pictures built from known tiles.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tileset/tileset.h"

namespace morvane {
namespace {

struct Owned {
    Bitmap* b;
    explicit Owned(Bitmap* bitmap) : b(bitmap) {}
    ~Owned() { bitmap_destroy(b); }
};

std::uint32_t get(const Bitmap& b, std::int64_t x, std::int64_t y) {
    const std::uint8_t* p = b.row(static_cast<std::int32_t>(y)) + x * (b.bpp / 8);
    const std::uint32_t a = b.bpp == 32 ? p[3] : 255;
    const std::uint32_t v = (a << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    return a == 0 ? 0 : v;  // a transparent pixel is written as transparent black
}
void put(Bitmap& b, std::int64_t x, std::int64_t y, std::uint32_t v) {
    std::uint8_t* p = b.row(static_cast<std::int32_t>(y)) + x * 4;
    std::memcpy(p, &v, 4);
}

// Random pixels; alpha 0 in about one pixel of eight.
Bitmap* random_picture(int w, int h, int bpp, std::uint32_t seed) {
    Bitmap* b = bitmap_create(w, h, bpp);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = b->row(y) + x * (bpp / 8);
            const std::uint32_t v = random();
            p[0] = v & 255, p[1] = (v >> 8) & 255, p[2] = (v >> 16) & 255;
            if (bpp == 32) p[3] = (v >> 24) % 8 == 0 ? 0 : static_cast<std::uint8_t>(1 + (v >> 24) % 255);
        }
    }
    return b;
}

struct Made {
    SourceGrid grid;
    TileSelection selection;
    Sheet sheet;
    Bitmap* out = nullptr;
};
Made make_sheet(const Bitmap& source, const TileSetOptions& o) {
    Made r;
    EXPECT_EQ(tileset_options_problem(o, source.width, source.height), "");
    r.grid = source_grid(source.width, source.height, o.tile_width, o.tile_height, o.in_margin, o.in_spacing);
    EXPECT_TRUE(tileset_select(source, r.grid, o, &r.selection));
    r.sheet = tileset_plan(o, source.width, source.height, r.selection.kept_count());
    EXPECT_TRUE(r.sheet.fits());
    r.out = bitmap_create(static_cast<std::int32_t>(r.sheet.width), static_cast<std::int32_t>(r.sheet.height),
                          32);
    EXPECT_TRUE(tileset_assemble(source, r.grid, r.selection, r.sheet, *r.out));
    return r;
}

TEST(TilesetAssemble, GridWithMarginsSpacingAndExtrusion) {
    std::mt19937 random(7);
    int done = 0;
    for (int round = 0; round < 40; ++round) {
        TileSetOptions o;
        o.kind = SheetKind::Grid;
        o.tile_width = 1 + random() % 9;
        o.tile_height = 1 + random() % 9;
        o.columns = 1 + random() % 6;
        o.margin = random() % 4;
        o.spacing = random() % 4;
        o.extrude = random() % 3;
        o.in_margin = random() % 3;
        o.in_spacing = random() % 3;
        o.pot = random() % 2;
        const int bpp = random() % 3 == 0 ? 24 : 32;
        Owned src(random_picture(5 + random() % 40, 5 + random() % 40, bpp, round));
        if (!tileset_options_problem(o, src.b->width, src.b->height).empty()) continue;
        SCOPED_TRACE(::testing::Message() << "round " << round);
        ++done;
        Made r = make_sheet(*src.b, o);
        Owned out(r.out);
        const std::int64_t tiles = r.grid.count();
        ASSERT_EQ(r.sheet.tiles, tiles);
        // Each output pixel: its cell, its place in the cell clamped into the tile (the extruded
        // border repeats the nearest edge pixel), and the source pixel of that tile.
        const std::int64_t cw = o.tile_width + 2 * o.extrude, ch = o.tile_height + 2 * o.extrude;
        const std::int64_t rows = (tiles + o.columns - 1) / o.columns;
        EXPECT_EQ(r.sheet.needed_width, 2 * o.margin + o.columns * cw + (o.columns - 1) * o.spacing);
        EXPECT_EQ(r.sheet.needed_height, 2 * o.margin + rows * ch + (rows - 1) * o.spacing);
        for (std::int64_t y = 0; y < out.b->height; ++y) {
            for (std::int64_t x = 0; x < out.b->width; ++x) {
                std::uint32_t want = 0;
                const std::int64_t ux = x - o.margin, uy = y - o.margin;
                if (ux >= 0 && uy >= 0) {
                    const std::int64_t col = ux / (cw + o.spacing), row = uy / (ch + o.spacing);
                    const std::int64_t ix = ux % (cw + o.spacing), iy = uy % (ch + o.spacing);
                    const std::int64_t t = row * o.columns + col;
                    if (col < o.columns && ix < cw && iy < ch && t < tiles) {
                        const std::int64_t tx = std::clamp<std::int64_t>(ix - o.extrude, 0, o.tile_width - 1);
                        const std::int64_t ty =
                            std::clamp<std::int64_t>(iy - o.extrude, 0, o.tile_height - 1);
                        const std::int64_t sc = t % r.grid.columns, sr = t / r.grid.columns;
                        want = get(*src.b, o.in_margin + sc * (o.tile_width + o.in_spacing) + tx,
                                   o.in_margin + sr * (o.tile_height + o.in_spacing) + ty);
                    }
                }
                ASSERT_EQ(get(*out.b, x, y), want) << "pixel " << x << "," << y;
            }
        }
    }
    EXPECT_GE(done, 25);  // most random option sets are usable
}

TEST(TilesetAssemble, SpacedSheetReadBackGivesTheOriginalTiles) {
    Owned src(random_picture(48, 40, 32, 3));
    TileSetOptions write;
    write.kind = SheetKind::Grid;
    write.tile_width = 8;
    write.tile_height = 5;
    write.columns = 4;
    write.margin = 3;
    write.spacing = 2;
    Made spaced = make_sheet(*src.b, write);
    Owned sheet(spaced.out);

    TileSetOptions read = write;
    read.in_margin = 3;
    read.in_spacing = 2;
    read.margin = read.spacing = 0;
    read.columns = 6;  // the original's columns
    Made back = make_sheet(*sheet.b, read);
    Owned again(back.out);
    ASSERT_EQ(back.grid.count(), 48);
    ASSERT_EQ(again.b->width, 48);
    ASSERT_EQ(again.b->height, 40);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 48; ++x) ASSERT_EQ(get(*again.b, x, y), get(*src.b, x, y)) << x << "," << y;
    }
}

// Tile `t` shown with Tiled's flags: transposed first, then mirrored left-right, then up-down.
std::vector<std::uint32_t> shown(const std::vector<std::uint32_t>& t, int n, bool h, bool v, bool d) {
    std::vector<std::uint32_t> a = t, b(t.size());
    if (d) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) b[y * n + x] = a[x * n + y];
        a = b;
    }
    if (h) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) b[y * n + x] = a[y * n + n - 1 - x];
        a = b;
    }
    if (v) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) b[y * n + x] = a[(n - 1 - y) * n + x];
        a = b;
    }
    return a;
}

TEST(TilesetSelect, DuplicatesFlipsAndEmptyTiles) {
    constexpr int n = 6;
    std::mt19937 random(11);
    std::vector<std::vector<std::uint32_t>> bases(3, std::vector<std::uint32_t>(n * n));
    for (auto& t : bases)
        for (auto& v : t) v = 0xFF000000u | (random() & 0xFFFFFF);
    const std::vector<std::uint32_t> clear(n * n, 0);
    std::vector<std::uint32_t> cw(n * n);  // base 1 turned a quarter clockwise, written directly
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) cw[y * n + x] = bases[1][(n - 1 - x) * n + y];

    // Source tiles in reading order, with what each should map to with flips allowed:
    // (output tile + 1) | Tiled flip bits, 0 for an empty tile when empty tiles are skipped.
    const std::vector<std::uint32_t> flipped_h = shown(bases[0], n, true, false, false);
    const std::vector<std::uint32_t> flipped_vd = shown(bases[2], n, false, true, true);
    const struct {
        const std::vector<std::uint32_t>* pixels;
        std::uint32_t exact, with_flips;  // map value with --dedup, with --dedup-flips
    } tiles[] = {
        {&bases[0], 1, 1},
        {&clear, 0, 0},
        {&bases[1], 2, 2},
        {&bases[0], 1, 1},
        {&flipped_h, 3, 1 | TiledFlipHorizontalBit},
        {&cw, 4, 2 | TiledFlipDiagonalBit | TiledFlipHorizontalBit},
        {&bases[2], 5, 3},
        {&flipped_vd, 6, 3 | TiledFlipVerticalBit | TiledFlipDiagonalBit},
    };
    Owned src(bitmap_create(4 * n, 2 * n, 32));
    for (int t = 0; t < 8; ++t)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                put(*src.b, (t % 4) * n + x, (t / 4) * n + y, (*tiles[t].pixels)[y * n + x]);

    for (const bool flips : {false, true}) {
        TileSetOptions o;
        o.kind = SheetKind::Grid;
        o.tile_width = o.tile_height = n;
        o.columns = 4;
        o.dedup = !flips;
        o.dedup_flips = flips;
        o.skip_empty = true;
        Made r = make_sheet(*src.b, o);
        Owned out(r.out);
        EXPECT_EQ(r.selection.kept_count(), flips ? 3 : 6);
        std::string csv;
        for (int t = 0; t < 8; ++t) {
            EXPECT_EQ(tiled_tile_number(r.selection, t, r.sheet),
                      flips ? tiles[t].with_flips : tiles[t].exact)
                << t;
            csv += std::to_string(flips ? tiles[t].with_flips : tiles[t].exact) + (t % 4 == 3 ? "\n" : ",");
        }
        EXPECT_EQ(tileset_map_csv(r.grid, r.selection, r.sheet), csv);
        // The kept tiles are the first copies, unflipped, in order.
        for (std::int64_t k = 0; k < r.selection.kept_count(); ++k) {
            const auto& want = *tiles[r.selection.source_of(k)].pixels;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x)
                    ASSERT_EQ(get(*out.b, (k % 4) * n + x, (k / 4) * n + y), want[y * n + x]);
        }
    }
}

TEST(TilesetTexts, TiledTilesetAndList) {
    TileSetOptions o;
    o.kind = SheetKind::Grid;
    o.tile_width = 16;
    o.tile_height = 8;
    o.columns = 3;
    o.margin = 2;
    o.spacing = 1;
    o.extrude = 1;
    const Sheet s = tileset_plan(o, 100, 100, 5);
    EXPECT_EQ(
        tileset_tsx_text("a&b", "img/a.png", s),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<tileset version=\"1.8\" tiledversion=\"1.8.2\" name=\"a&amp;b\" tilewidth=\"16\" tileheight=\"8\" "
        "spacing=\"3\" margin=\"3\" tilecount=\"6\" columns=\"3\">\n"
        " <image source=\"img/a.png\" width=\"60\" height=\"25\"/>\n"
        "</tileset>\n");
    EXPECT_EQ(tileset_list_text("a", ".png", s),
              "a__000.png:3:3:16:8\r\na__001.png:22:3:16:8\r\na__002.png:41:3:16:8\r\n"
              "a__003.png:3:14:16:8\r\na__004.png:22:14:16:8\r\n");
}

}  // namespace
}  // namespace morvane
