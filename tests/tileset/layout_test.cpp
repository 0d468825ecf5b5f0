// Layout arithmetic against hand-worked numbers.
#include <gtest/gtest.h>

#include "tileset/tileset.h"

namespace morvane {
namespace {

TEST(TilesetLayout, ClassicWorkedExamples) {
    const struct {
        std::int64_t w, h, tw, th, n, space;
        std::int64_t export_w, export_h, tiles, cells;
    } cases[] = {
        {320, 320, 32, 32, 10, 0, 320, 320, 100, 110},         // the picture's own order, ten cells below it
        {320, 320, 32, 32, 10, 2, 340, 340, 100, 110},         // 320 + round(320 / 32 x 2)
        {100, 64, 32, 32, 10, 0, 320, 32, 6, 20},              // area gives 20 rows; six whole tiles need 32
        {100, 100, 32, 32, 10, 0, 320, 32, 9, 20},             // ceil(10000 / 320) = 32: already fits
        {256, 256, 32, 32, 10, 0, 320, 224, 64, 80},           // area gives 205; seven tile rows need 224
        {2048, 2048, 16, 16, 8, 2, 144, 36864, 16384, 16392},  // 32768 + 4096: too large to make
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.w << "x" << c.h << " tiles " << c.tw << " n " << c.n << " s " << c.space);
        TileSetOptions o;
        o.tile_width = c.tw;
        o.tile_height = c.th;
        o.columns = c.n;
        o.spacing = c.space;
        const SourceGrid grid = source_grid(c.w, c.h, c.tw, c.th);
        EXPECT_EQ(grid.count(), c.tiles);
        const Sheet s = tileset_plan(o, c.w, c.h, grid.count());
        EXPECT_EQ(s.width, c.export_w);
        EXPECT_EQ(s.height, c.export_h);
        EXPECT_EQ(s.cells, c.cells);
        EXPECT_EQ(s.fits(), c.export_h <= 32767);
    }
    TileSetOptions o;
    o.tile_width = o.tile_height = 16;
    o.columns = 8;
    o.spacing = 2;
    EXPECT_EQ(
        tileset_too_large_message(tileset_plan(o, 2048, 2048, 16384)),
        "The tile set would be 144x36864 pixels, larger than 32767 on a side: choose more columns or larger "
        "tiles.");
}

TEST(TilesetLayout, SpacedSheetsAreReadAsTiledCountsThem) {
    const struct {
        std::int64_t w, h, tw, th, margin, spacing, columns, rows;
    } cases[] = {
        {100, 64, 32, 32, 0, 0, 3, 2}, {70, 70, 32, 32, 1, 2, 2, 2},  // 1 + 32 + 2 + 32 = 67 <= 70
        {68, 36, 32, 32, 2, 2, 2, 1},  // 2 + 32 + 2 + 32 = 68: the last tile ends at the edge
        {67, 33, 32, 32, 2, 2, 1, 0},  // no room for a second column nor a first row
        {10, 10, 16, 16, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const SourceGrid g = source_grid(c.w, c.h, c.tw, c.th, c.margin, c.spacing);
        EXPECT_EQ(g.columns, c.columns) << c.w << " " << c.margin << " " << c.spacing;
        EXPECT_EQ(g.rows, c.rows) << c.h << " " << c.margin << " " << c.spacing;
        // Tiled's own count of columns in an image: (width - margin + spacing) / (tile + spacing).
        EXPECT_EQ(g.columns, (c.w - c.margin + c.spacing) / (c.tw + c.spacing));
    }
}

TEST(TilesetLayout, GridSizesAndPowersOfTwo) {
    const struct {
        std::int64_t kept, tw, th, n, margin, spacing, extrude;
        bool pot;
        std::int64_t w, h, x5, y5;
    } cases[] = {
        {10, 16, 16, 4, 3, 2, 1, false, 84, 64, 3 + 1 + 20, 3 + 1 + 20},  // 6 + 4 x 18 + 3 x 2; 3 rows
        {10, 16, 16, 4, 3, 2, 1, true, 128, 64, 24, 24},
        {8, 16, 8, 4, 0, 0, 0, false, 64, 16, 16, 8},  // no empty row
        {3, 10, 10, 5, 0, 1, 0, true, 64, 16, 0, 0},   // 5 x 11 - 1 = 54 -> 64; 10 -> 16
    };
    for (const auto& c : cases) {
        TileSetOptions o;
        o.kind = SheetKind::Grid;
        o.tile_width = c.tw;
        o.tile_height = c.th;
        o.columns = c.n;
        o.margin = c.margin;
        o.spacing = c.spacing;
        o.extrude = c.extrude;
        o.pot = c.pot;
        const Sheet s = tileset_plan(o, 1000, 1000, c.kept);
        EXPECT_EQ(s.width, c.w);
        EXPECT_EQ(s.height, c.h);
        if (c.kept > 5) {
            EXPECT_EQ(s.tile_x(5), c.x5);
            EXPECT_EQ(s.tile_y(5), c.y5);
        }
    }
}

TEST(TilesetLayout, ProblemsAreNamed) {
    const struct {
        SheetKind kind;
        std::int64_t tile, margin, in_margin, extrude;
        bool dedup;
        const char* problem;
    } cases[] = {
        {SheetKind::Classic, 32, 0, 0, 0, false, ""},
        {SheetKind::Classic, 0, 0, 0, 0, false, "the tile width 0 is out of range (1 to 32767)"},
        {SheetKind::Classic, 128, 0, 0, 0, false,
         "tiles of 128x128 leave no whole tile in the 100x100 picture"},
        {SheetKind::Grid, 32, 0, 70, 0, false,
         "tiles of 32x32 with input margin 70 and input spacing 0 leave no whole tile in the 100x100 "
         "picture"},
        {SheetKind::Classic, 32, 2, 0, 0, false, "the classic layout takes no margin (use the grid layout)"},
        {SheetKind::Classic, 32, 0, 0, 1, false,
         "the classic layout takes no extrusion (use the grid layout)"},
        {SheetKind::Grid, 32, 2, 0, 1, true, ""},
    };
    for (const auto& c : cases) {
        TileSetOptions o;
        o.kind = c.kind;
        o.tile_width = o.tile_height = c.tile;
        o.margin = c.margin;
        o.in_margin = c.in_margin;
        o.extrude = c.extrude;
        o.dedup = c.dedup;
        EXPECT_EQ(tileset_options_problem(o, 100, 100), c.problem);
    }
}

TEST(TilesetLayout, OutputNames) {
    TileSetTarget t;
    ASSERT_TRUE(tileset_target_from_name("/art/forest.PNG", &t));
    EXPECT_EQ(t.base, "/art/forest");
    EXPECT_EQ(t.extension, ".PNG");
    ASSERT_TRUE(tileset_target_from_name("a.b/forest.jpeg", &t));
    EXPECT_EQ(t.base, "a.b/forest");
    EXPECT_FALSE(tileset_target_from_name("forest.gif", &t));
    EXPECT_FALSE(tileset_target_from_name("art.png/forest", &t));
    EXPECT_EQ(relative_path("/a/b/set.tsx", "/a/b/set.png"), "set.png");
    EXPECT_EQ(relative_path("/a/meta/set.tsx", "/a/img/set.png"), "../img/set.png");
}

}  // namespace
}  // namespace morvane
