// Image drawing: hand-computed bytes for every source and target depth and mode,
// clipping, icons, masks and drawing an image onto itself.
#include <climits>
#include <random>

#include "draw/blend_simd.h"
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
    draw_alpha_image(icon.handle(), 0, 0);
    EXPECT_EQ(t.pixel(0, 0), rgba(255, 127, 127, 255));
    EXPECT_EQ(t.pixel(1, 0), rgba(255, 255, 255, 255));
    t.fill(rgba(255, 255, 255, 255));
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

// The Blend formula written out per channel, for a 32-bit source over a 32-bit target.
Color blend_reference(Color src, Color dst, std::uint32_t k, bool keep) {
    const std::uint32_t a = src >> 24, sa = k == 255 ? a : k * a / 255, da = dst >> 24;
    if (sa == 0) return dst;
    const std::uint32_t d = sa * 255 + (255 - sa) * da;
    std::uint32_t out[3];
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t sc = (src >> (8 * c)) & 255, pc = (dst >> (8 * c)) & 255;
        out[c] = da == 0 ? sc : (sc * sa * 255 + pc * (255 - sa) * da) / d;
    }
    return rgba(out[0], out[1], out[2], keep ? da : d / 255);
}

TEST(ImageDraw, SeededRandomBlendsMatchFormulaOnBothPaths) {
    std::mt19937 rng(4242);
    for (int vector : {16, 8, 0}) {
        blend_simd_set_max_width(vector);
        for (int round = 0; round < 32; ++round) {
            const int w = 1 + static_cast<int>(rng() % 45), h = 1 + static_cast<int>(rng() % 9);
            std::vector<Color> src(static_cast<std::size_t>(w) * h), dst(src.size());
            // Alpha drawn from a few special values as well as at random.
            auto alpha = [&]() -> std::uint32_t {
                const std::uint32_t r = rng() % 8;
                return r == 0 ? 0 : r == 1 ? 255 : rng() % 256;
            };
            for (auto& c : src) c = (rng() & 0xFFFFFF) | alpha() << 24;
            // Some rounds hold runs of 16 transparent or opaque source pixels.
            if (round % 4 >= 2)
                for (std::size_t i = 0; i < src.size(); ++i)
                    src[i] = (src[i] & 0xFFFFFF) | ((i / 16) % 3 == 0   ? 0u
                                                    : (i / 16) % 3 == 1 ? 255u << 24
                                                                        : src[i] & 0xFF000000);
            for (auto& c : dst) c = (rng() & 0xFFFFFF) | alpha() << 24;
            // Some rounds hold runs of 16 fully transparent target pixels.
            if (round % 8 >= 4)
                for (std::size_t i = 0; i < dst.size(); ++i)
                    if ((i / 16) % 2 == 0) dst[i] &= 0xFFFFFF;
            SourcePicture picture(w, h, 32, src);
            const std::uint32_t k = round % 3 == 2 ? 200 : 255;
            const bool keep = round % 2 == 1;
            Target t(w, h, 32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) t.set(x, y, dst[static_cast<std::size_t>(y) * w + x]);
            t.begin();
            drawing_mode_set(keep ? BlendKeepAlpha : Blend);
            draw_alpha_image(picture.handle(), 0, 0, static_cast<int>(k));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * w + x;
                    ASSERT_EQ(t.pixel(x, y), blend_reference(src[i], dst[i], k, keep))
                        << "vector " << vector << " round " << round << " at " << x << "," << y;
                }
        }
    }
    blend_simd_set_max_width(16);
}

// Every (source alpha, target alpha) pair once: source alpha x, target alpha y.
TEST(ImageDraw, EveryAlphaPairMatchesFormulaOnBothPaths) {
    std::vector<Color> src, dst;
    for (std::uint32_t y = 0; y < 256; ++y)
        for (std::uint32_t x = 0; x < 256; ++x) {
            src.push_back(rgba(x ^ y, 255 - x, (x * 7 + y) & 255, x));
            dst.push_back(rgba(y, x, 255 - ((x + y) & 255), y));
        }
    SourcePicture picture(256, 256, 32, src);
    for (int vector : {16, 8, 0})
        for (bool keep : {false, true}) {
            blend_simd_set_max_width(vector);
            Target t(256, 256, 32);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) t.set(x, y, dst[static_cast<std::size_t>(y) * 256 + x]);
            t.begin();
            drawing_mode_set(keep ? BlendKeepAlpha : Blend);
            draw_image(picture.handle(), 0, 0);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * 256 + x;
                    ASSERT_EQ(t.pixel(x, y), blend_reference(src[i], dst[i], 255, keep))
                        << "vector " << vector << " keep " << keep << " sa " << x << " da " << y;
                }
        }
    blend_simd_set_max_width(16);
}

}  // namespace
}  // namespace morvane
