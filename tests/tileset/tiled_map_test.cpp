// A picture as a Tiled map: the pixels a map of whole cells cannot show and the sheet planned
// for the kept tiles. Counts and sizes are worked by hand.
#include "tileset/tiled_map.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace morvane {
namespace {

void put(Bitmap& b, int x, int y, std::uint32_t argb) {
    std::uint8_t* p = b.row(y) + x * (b.bpp / 8);
    p[0] = argb & 255, p[1] = (argb >> 8) & 255, p[2] = (argb >> 16) & 255;
    if (b.bpp == 32) p[3] = static_cast<std::uint8_t>(argb >> 24);
}

TEST(TiledMap, CountsThePixelsOutsideEveryCell) {
    struct Point {
        int x, y;
        std::uint32_t argb;
    };
    const struct Case {
        int bpp;
        std::int64_t tile, margin, spacing;
        std::vector<Point> pixels;
        std::int64_t count, first_x, first_y;
    } cases[] = {
        // 5 x 3 cells of 4 x 4; row 12 is a partial row; alpha 0 with colour is not a pixel shown.
        {32,
         4,
         0,
         0,
         {{3, 3, 0xFF102030}, {19, 0, 0x00FFFFFF}, {5, 12, 0x01000000}, {19, 12, 0xFFFFFFFF}},
         2,
         5,
         12},
        // Offset 1, gap 2: cells at x 1-4, 7-10, 13-16 and y 1-4, 7-10.
        {32,
         4,
         1,
         2,
         {{1, 1, 0xFF000001},
          {13, 7, 0xFF000002},
          {16, 10, 0xFF000003},
          {5, 2, 0xFF000004},
          {17, 10, 0xFF000005},
          {10, 11, 0xFF000006},
          {6, 6, 0xFF000007},
          {0, 3, 0x00FF0000}},
         4,
         5,
         2},
        {32, 4, 1, 2, {{1, 1, 0xFF000001}, {16, 10, 0xFF000003}}, 0, -1, -1},
        // Without alpha every pixel counts: the 20 pixels of the partial row, or all 260.
        {24, 4, 0, 0, {}, 20, 0, 12},
        {24, 32, 0, 0, {}, 260, 0, 0},
    };
    for (const Case& c : cases) {
        BitmapPtr picture(bitmap_create(20, 13, c.bpp));
        ASSERT_TRUE(picture);
        for (const Point& p : c.pixels) put(*picture, p.x, p.y, p.argb);
        const StrayPixels stray =
            tiled_map_stray_pixels(*picture, source_grid(20, 13, c.tile, c.tile, c.margin, c.spacing));
        EXPECT_EQ(stray.count, c.count) << c.bpp << " bits, tile " << c.tile << " margin " << c.margin;
        EXPECT_EQ(stray.first_x, c.first_x);
        EXPECT_EQ(stray.first_y, c.first_y);
    }
}

// A row of n different 1 x h tiles (each one colour, so each is its own mirror), then as many
// transparent ones; sheets of 10 columns, fewer for fewer tiles, near square for many.
TEST(TiledMap, PlansASheetOfTheDifferentTiles) {
    const struct Case {
        int tiles, height;
        std::int64_t width_out, height_out;  // 0 x 0: refused
        const char* error;
    } cases[] = {
        {3, 1, 3, 1, ""},
        {10, 1, 10, 1, ""},
        {12, 1, 10, 2, ""},
        {101, 1, 11, 10, ""},
        {150, 1, 13, 12, ""},
        {0, 1, 0, 0, "every cell of the picture is fully transparent: the map would be empty"},
        {300, 2000, 0, 0,
         "the sheet of its 300 different tiles would be 18x34000 pixels, larger than 32767 on a side"},
    };
    for (const Case& c : cases) {
        const int width = 2 * c.tiles + 2;
        BitmapPtr picture(bitmap_create(width, c.height, 32));
        ASSERT_TRUE(picture);
        for (int x = 0; x < c.tiles; ++x)
            for (int y = 0; y < c.height; ++y)
                put(*picture, x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 977));
        const Result<TiledMapPlan> plan = tiled_map_plan(*picture, source_grid(width, c.height, 1, c.height));
        if (c.width_out == 0) {
            EXPECT_EQ(plan.error, c.error) << c.tiles;
            continue;
        }
        ASSERT_TRUE(plan.ok()) << plan.error;
        EXPECT_EQ(plan.value->selection.kept_count(), c.tiles);
        EXPECT_EQ(plan.value->sheet.width, c.width_out) << c.tiles;
        EXPECT_EQ(plan.value->sheet.height, c.height_out) << c.tiles;
    }
    const Result<TiledMapPlan> none =
        tiled_map_plan(*BitmapPtr(bitmap_create(20, 13, 32)), source_grid(20, 13, 32, 32));
    EXPECT_EQ(none.error, "tiles of 32x32 leave no whole tile in the 20x13 picture");
}

}  // namespace
}  // namespace morvane
