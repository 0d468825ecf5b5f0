// Assembling tile sets: every pixel of the result against a reference that follows each
// picture pixel to where its tile lands.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "app/tilesets/tileset_commands.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {
namespace {

constexpr ObjectNumber Source = 9, Target = 17;

std::uint8_t* pixel_at(ObjectNumber image, int x, int y) {
    const Bitmap* b = bitmap_from_handle(image_handle(image));
    return b->row(y) + x * (b->bpp / 8);
}

// A picture of random pixels; 32-bit ones get alpha 0 in about one pixel of eight.
void make_picture(int width, int height, int depth, std::uint32_t seed) {
    ASSERT_NE(image_create(Source, width, height, depth), 0);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = pixel_at(Source, x, y);
            const std::uint32_t v = random();
            p[0] = v & 255;
            p[1] = (v >> 8) & 255;
            p[2] = (v >> 16) & 255;
            if (depth == 32) p[3] = (v >> 24) % 8 == 0 ? 0 : static_cast<std::uint8_t>(1 + (v >> 24) % 255);
        }
    }
}

// Expected tile set: start transparent black, then carry each pixel of each whole tile to
// its cell (tiles numbered row by row over the picture, cells row by row over the set).
std::vector<std::uint32_t> reference(int width, int height, int depth, int tw, int th, int columns, int space,
                                     int out_w, int out_h) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(out_w) * out_h, 0);
    const int across = width / tw;
    for (int y = 0; y < height / th * th; ++y) {
        for (int x = 0; x < across * tw; ++x) {
            const int tile = (y / th) * across + x / tw;
            const int ox = (tile % columns) * (tw + space) + space + x % tw;
            const int oy = (tile / columns) * (th + space) + space + y % th;
            if (ox >= out_w || oy >= out_h) continue;
            const std::uint8_t* p = pixel_at(Source, x, y);
            const std::uint32_t alpha = depth == 32 ? p[3] : 255;
            if (alpha == 0) continue;  // nothing drawn through a transparent pixel
            out[static_cast<std::size_t>(oy) * out_w + ox] = rgba(p[2], p[1], p[0], alpha);
        }
    }
    return out;
}

void expect_tileset(int width, int height, int depth, int tw, int th, int columns, int space,
                    std::uint32_t seed) {
    SCOPED_TRACE(::testing::Message() << width << "x" << height << " depth " << depth << " tiles " << tw
                                      << "x" << th << " columns " << columns << " space " << space);
    make_picture(width, height, depth, seed);
    const TileSetLayout layout = tileset_layout(width, height, tw, th, columns, space);
    ASSERT_TRUE(tileset_assemble(Source, layout, Target));
    const int out_w = image_width(Target), out_h = image_height(Target);
    ASSERT_EQ(out_w, layout.export_width);
    ASSERT_EQ(out_h, layout.export_height);
    ASSERT_EQ(bitmap_from_handle(image_handle(Target))->bpp, 32);
    const std::vector<std::uint32_t> expected =
        reference(width, height, depth, tw, th, columns, space, out_w, out_h);
    int wrong = 0;
    for (int y = 0; y < out_h; ++y) {
        for (int x = 0; x < out_w; ++x) {
            const std::uint8_t* p = pixel_at(Target, x, y);
            const std::uint32_t got = rgba(p[2], p[1], p[0], p[3]);
            const std::uint32_t want = expected[static_cast<std::size_t>(y) * out_w + x];
            if (got != want && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << got << " not " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    image_free(Target);
    image_free(Source);
}

TEST(TilesetAssemble, WorkedLayoutsPixelForPixel) {
    expect_tileset(320, 320, 32, 32, 32, 10, 0, 1);  // the picture's own order
    expect_tileset(320, 320, 32, 32, 32, 10, 2, 2);  // tile 0 at 2,2, tile 11 at 36,36
    expect_tileset(100, 64, 32, 32, 32, 10, 0, 3);   // 6 tiles cut off below row 20
    expect_tileset(100, 100, 32, 32, 32, 10, 0, 4);  // 9 tiles, cell 9 empty
    expect_tileset(20, 40, 32, 32, 8, 3, 0, 5);      // tile wider than the picture: nothing
}

TEST(TilesetAssemble, RandomLayoutsPixelForPixel) {
    std::mt19937 random(77);
    for (int round = 0; round < 12; ++round) {
        const int width = 1 + static_cast<int>(random() % 90), height = 1 + static_cast<int>(random() % 90);
        const int tw = 1 + static_cast<int>(random() % 20), th = 1 + static_cast<int>(random() % 20);
        const int columns = 1 + static_cast<int>(random() % 12), space = static_cast<int>(random() % 4);
        expect_tileset(width, height, 32, tw, th, columns, space, 100 + round);
    }
}

TEST(TilesetAssemble, PictureWithoutAlphaGivesOpaqueTiles) {
    // A 24-bit picture (JPEG, PNG without alpha) must not turn into invisible tiles.
    expect_tileset(64, 48, 24, 16, 16, 3, 1, 9);
    make_picture(8, 8, 24, 10);
    ASSERT_TRUE(tileset_assemble(Source, tileset_layout(8, 8, 8, 8, 1, 0), Target));
    EXPECT_EQ(pixel_at(Target, 3, 5)[3], 255);
    image_free(Target);
    image_free(Source);
}

TEST(TilesetAssemble, OntoThePicturesOwnNumber) {
    // Creating the set at the picture's number frees the picture: the tiles still arrive.
    make_picture(40, 30, 32, 12);
    const TileSetLayout layout = tileset_layout(40, 30, 10, 10, 2, 1);
    const int out_w = static_cast<int>(layout.export_width), out_h = static_cast<int>(layout.export_height);
    const std::vector<std::uint32_t> expected = reference(40, 30, 32, 10, 10, 2, 1, out_w, out_h);
    ASSERT_TRUE(tileset_assemble(Source, layout, Source));
    ASSERT_EQ(image_width(Source), out_w);
    ASSERT_EQ(image_height(Source), out_h);
    int wrong = 0;
    for (int y = 0; y < out_h; ++y) {
        for (int x = 0; x < out_w; ++x) {
            const std::uint8_t* p = pixel_at(Source, x, y);
            wrong += rgba(p[2], p[1], p[0], p[3]) != expected[static_cast<std::size_t>(y) * out_w + x];
        }
    }
    EXPECT_EQ(wrong, 0);
    image_free(Source);
}

TEST(TilesetAssemble, RefusesSetsLargerThanAPictureCanBe) {
    make_picture(4, 4, 32, 11);
    // 40 x 1000 pixels wide.
    EXPECT_FALSE(tileset_assemble(Source, tileset_layout(4, 4, 1000, 1, 40, 0), Target));
    EXPECT_EQ(image_exists(Target), 0);
    EXPECT_FALSE(tileset_assemble(1234, tileset_layout(4, 4, 1, 1, 1, 0), Target));
    image_free(Source);
}

}  // namespace
}  // namespace morvane
