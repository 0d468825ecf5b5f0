// Image drawing: hand-computed bytes for every source and target depth and mode,
// clipping, icons, masks and drawing an image onto itself.
#include <climits>

#include "draw/draw_test_support.h"

namespace morvane {
namespace {

using test::SourcePicture;
using test::Target;

constexpr Color Src = rgba(200, 50, 0, 100);
constexpr Color Dst = rgba(10, 20, 30, 60);

// One source pixel drawn over one target pixel; alpha < 0 means draw_image.
Color draw_one(int source_bpp, int target_bpp, int mode, int alpha = -1) {
    SourcePicture src(1, 1, source_bpp, {Src});
    Target t(1, 1, target_bpp);
    t.set(0, 0, Dst);
    t.begin();
    drawing_mode_set(mode);
    if (alpha < 0)
        draw_image(src.handle(), 0, 0);
    else
        draw_alpha_image(src.handle(), 0, 0, alpha);
    drawing_end();
    return t.pixel(0, 0);
}

TEST(ImageDraw, ThirtyTwoOnThirtyTwo) {
    EXPECT_EQ(draw_one(32, 32, Default), rgba(200, 50, 0, 60));
    EXPECT_EQ(draw_one(32, 32, Xor), rgba(10 ^ 200, 20 ^ 50, 30, 60));
    EXPECT_EQ(draw_one(32, 32, WriteAlpha), rgba(200, 50, 0, 100));
    EXPECT_EQ(draw_one(32, 32, AlphaOnly), rgba(10, 20, 30, 100));
    EXPECT_EQ(draw_one(32, 32, Blend), rgba(149, 41, 8, 136));
    EXPECT_EQ(draw_one(32, 32, BlendKeepAlpha), rgba(149, 41, 8, 60));
    EXPECT_EQ(draw_one(32, 32, Default, 255), rgba(149, 41, 8, 136));
    // Constant alpha 128: sa = 128 * 100 / 255 = 50, d = 25050.
    EXPECT_EQ(draw_one(32, 32, Default, 128), rgba(106, 35, 14, 98));
    EXPECT_EQ(draw_one(32, 32, WriteAlpha, 128), rgba(200, 50, 0, 50));
    EXPECT_EQ(draw_one(32, 32, Default, 0), Dst);
}

TEST(ImageDraw, ThirtyTwoOnTwentyFour) {
    EXPECT_EQ(draw_one(32, 24, Default), rgb(200, 50, 0));
    EXPECT_EQ(draw_one(32, 24, Xor), rgb(10 ^ 200, 20 ^ 50, 30));
    EXPECT_EQ(draw_one(32, 24, WriteAlpha), rgb(200, 50, 0));
    EXPECT_EQ(draw_one(32, 24, AlphaOnly), rgb(10, 20, 30));
    EXPECT_EQ(draw_one(32, 24, Blend), rgb(84, 31, 18));
    EXPECT_EQ(draw_one(32, 24, BlendKeepAlpha), rgb(84, 31, 18));
    EXPECT_EQ(draw_one(32, 24, Default, 255), rgb(84, 31, 18));
}

TEST(ImageDraw, TwentyFourOnThirtyTwo) {
    EXPECT_EQ(draw_one(24, 32, Default), rgba(200, 50, 0, 60));
    EXPECT_EQ(draw_one(24, 32, Xor), rgba(10 ^ 200, 20 ^ 50, 30, 60));
    EXPECT_EQ(draw_one(24, 32, WriteAlpha), rgba(200, 50, 0, 255));
    EXPECT_EQ(draw_one(24, 32, AlphaOnly), rgba(10, 20, 30, 255));
    EXPECT_EQ(draw_one(24, 32, Blend), rgba(200, 50, 0, 255));
    EXPECT_EQ(draw_one(24, 32, BlendKeepAlpha), rgba(200, 50, 0, 60));
    EXPECT_EQ(draw_one(24, 32, Default, 255), rgba(200, 50, 0, 60));  // the alpha flag is ignored
    EXPECT_EQ(draw_one(24, 32, Default, 100), rgba(149, 41, 8, 136));
    EXPECT_EQ(draw_one(24, 32, AlphaOnly, 100), rgba(10, 20, 30, 100));
    EXPECT_EQ(draw_one(24, 32, Default, 0), Dst);
}

TEST(ImageDraw, TwentyFourOnTwentyFour) {
    EXPECT_EQ(draw_one(24, 24, Default), rgb(200, 50, 0));
    EXPECT_EQ(draw_one(24, 24, Xor), rgb(10 ^ 200, 20 ^ 50, 30));
    EXPECT_EQ(draw_one(24, 24, AlphaOnly), rgb(10, 20, 30));
    EXPECT_EQ(draw_one(24, 24, Blend), rgb(200, 50, 0));
    EXPECT_EQ(draw_one(24, 24, BlendKeepAlpha, 100), rgb(84, 31, 18));
    EXPECT_EQ(draw_one(24, 24, Default, 0), rgb(10, 20, 30));
}

// A 20 x 20 picture whose pixel (x, y) encodes its position.
std::vector<Color> positions(int w, int h) {
    std::vector<Color> v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) v.push_back(rgba(x, y, 7, 255));
    return v;
}

TEST(ImageDraw, ClippingOnEveryEdge) {
    SourcePicture src(20, 20, 24, positions(20, 20));
    Target t(30, 25, 32);
    t.begin();
    draw_image(src.handle(), -10, -10);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(t.pixel(x, y), x < 10 && y < 10 ? rgba(x + 10, y + 10, 7, 0) : 0u) << x << "," << y;

    Target u(30, 25, 24);
    u.begin();
    draw_image(src.handle(), 25, 21);  // cut at the right and bottom
    draw_image(src.handle(), 30, 0);
    draw_image(src.handle(), 0, 25);
    draw_image(src.handle(), INT_MIN, INT_MIN);
    draw_image(src.handle(), INT_MAX, 3);
    draw_image(src.handle(), -20, 3);
    draw_image(0, 0, 0);
    EXPECT_EQ(u.differing(0).size(), 5u * 4u);
    EXPECT_EQ(u.pixel(29, 24), rgb(4, 3, 7));
    EXPECT_TRUE(u.guards_intact());
}

TEST(ImageDraw, IconsUseTheirAlphaAndMasksWiden) {
    SourcePicture icon(2, 1, 32, {rgba(255, 0, 0, 128), rgba(0, 0, 0, 0)}, Bitmap::Kind::Icon);
    Target t(2, 1, 32);
    t.fill(rgba(255, 255, 255, 255));
    t.begin();
    draw_alpha_image(icon.handle(), 0, 0);  // the alpha call takes no icons
    EXPECT_TRUE(t.differing(rgba(255, 255, 255, 255)).empty());
    draw_image(icon.handle(), 0, 0);
    EXPECT_EQ(t.pixel(0, 0), rgba(255, 127, 127, 255));
    EXPECT_EQ(t.pixel(1, 0), rgba(255, 255, 255, 255));

    // A 1-bit mask: bits 1 are white, 0 black; rows padded to 4 bytes, first pixel in the top bit.
    std::vector<std::uint8_t> bits = {0x40, 0, 0, 0, 0x80, 0, 0, 0};  // bottom row first
    Bitmap mask{Bitmap::Kind::Pixels, 3, 2, 1, 4, bits.data()};
    Target m(3, 2, 24);
    m.fill(rgb(9, 9, 9));
    m.begin();
    draw_image(bitmap_handle(&mask), 0, 0);
    EXPECT_EQ(m.pixel(0, 0), rgb(255, 255, 255));
    EXPECT_EQ(m.pixel(1, 0), rgb(0, 0, 0));
    EXPECT_EQ(m.pixel(1, 1), rgb(255, 255, 255));
    EXPECT_EQ(m.pixel(0, 1), rgb(0, 0, 0));
}

TEST(ImageDraw, OntoItsOwnPixelsReadsTheOriginal) {
    for (int bpp : {24, 32}) {
        Target t(20, 20, bpp);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) t.set(x, y, rgba(x, y, 7, 255));
        const int stride = bpp == 32 ? 80 : 60;
        Bitmap self{Bitmap::Kind::Pixels, 20, 20, bpp, stride, t.bits()};
        t.begin();
        drawing_mode_set(WriteAlpha);
        draw_image(bitmap_handle(&self), 3, 2);
        for (int y = 2; y < 20; ++y)
            for (int x = 3; x < 20; ++x)
                ASSERT_EQ(t.pixel(x, y) & 0xFFFFFF, rgb(x - 3, y - 2, 7)) << bpp << " " << x << "," << y;
    }
}

}  // namespace
}  // namespace morvane
