// Pixel writers: exact bytes on 24- and 32-bit outputs, the reciprocal division, hooks.
#include <random>

#include "draw/blend_math.h"
#include "draw/blend_simd.h"
#include "draw/draw_test_support.h"
#include "draw/pixel_ops.h"

namespace morvane {
namespace {

using test::Target;

// Draws one pixel over `before` in `mode` and returns the result.
Color one_pixel(int bpp, int mode, Color before, Color color) {
    Target t(1, 1, bpp);
    t.set(0, 0, before);
    t.begin();
    drawing_mode_set(mode);
    draw_box(0, 0, 1, 1, color);
    drawing_end();
    EXPECT_TRUE(t.guards_intact());
    return t.pixel(0, 0);
}

TEST(Writers, HandComputedBytesOn32Bits) {
    const Color target = rgba(10, 20, 30, 60), color = rgba(200, 50, 0, 100);
    EXPECT_EQ(one_pixel(32, Default, target, color), rgba(200, 50, 0, 60));
    EXPECT_EQ(one_pixel(32, Xor, target, color), rgba(10 ^ 200, 20 ^ 50, 30, 60));
    EXPECT_EQ(one_pixel(32, WriteAlpha, target, color), rgba(200, 50, 0, 100));
    EXPECT_EQ(one_pixel(32, AlphaOnly, target, color), rgba(10, 20, 30, 100));
    // d = 100*255 + 155*60 = 34800; red (5100000 + 93000) / d = 149, green 1461000 / d = 41,
    // blue 279000 / d = 8, alpha 34800 / 255 = 136.
    EXPECT_EQ(one_pixel(32, Blend, target, color), rgba(149, 41, 8, 136));
    EXPECT_EQ(one_pixel(32, BlendKeepAlpha, target, color), rgba(149, 41, 8, 60));
    // WriteAlpha wins over the blend flags.
    EXPECT_EQ(one_pixel(32, WriteAlpha | Blend, target, color), rgba(200, 50, 0, 100));
    EXPECT_EQ(one_pixel(32, Outline | Transparent, target, color), rgba(200, 50, 0, 60));
}

TEST(Writers, HandComputedBytesOn24Bits) {
    const Color target = rgb(10, 20, 30), color = rgba(200, 50, 0, 100);
    EXPECT_EQ(one_pixel(24, Default, target, color), rgb(200, 50, 0));
    EXPECT_EQ(one_pixel(24, Xor, target, color), rgb(10 ^ 200, 20 ^ 50, 30));
    EXPECT_EQ(one_pixel(24, WriteAlpha, target, color), rgb(200, 50, 0));
    EXPECT_EQ(one_pixel(24, AlphaOnly, target, color), target);
    // (p * 155 + s * 100) / 255: red 21550 / 255 = 84, green 8100 / 255 = 31, blue 4650 / 255 = 18.
    EXPECT_EQ(one_pixel(24, Blend, target, color), rgb(84, 31, 18));
    EXPECT_EQ(one_pixel(24, BlendKeepAlpha, target, color), rgb(84, 31, 18));
}

TEST(Writers, WorkedExamples) {
    EXPECT_EQ(one_pixel(32, Blend, rgba(255, 255, 255, 255), rgba(255, 0, 0, 128)), rgba(255, 127, 127, 255));
    EXPECT_EQ(one_pixel(32, Blend, rgba(9, 9, 9, 0), rgba(201, 7, 99, 77)), rgba(201, 7, 99, 77));
    EXPECT_EQ(one_pixel(32, BlendKeepAlpha, rgba(9, 9, 9, 0), rgba(201, 7, 99, 77)), rgba(201, 7, 99, 0));
    EXPECT_EQ(one_pixel(32, Blend, rgba(1, 2, 3, 4), rgba(250, 250, 250, 0)), rgba(1, 2, 3, 4));
    EXPECT_EQ(one_pixel(32, AlphaOnly | BlendKeepAlpha, rgba(1, 2, 3, 200), rgba(255, 255, 255, 0)),
              rgba(1, 2, 3, 0));
    EXPECT_EQ(one_pixel(24, AlphaOnly | BlendKeepAlpha, rgb(1, 2, 3), rgba(255, 255, 255, 0)), rgb(1, 2, 3));
    EXPECT_EQ(one_pixel(32, Default, rgba(1, 2, 3, 200), rgba(4, 5, 6, 7)), rgba(4, 5, 6, 200));
}

TEST(Writers, XorTwiceRestoresAndReadHidesAlphaInDefault) {
    Target t(3, 2, 32);
    t.fill(rgba(12, 34, 56, 78));
    t.begin();
    drawing_mode_set(Xor);
    draw_box(0, 0, 3, 2, rgba(0xF0, 0x0F, 0x55, 3));
    draw_box(0, 0, 3, 2, rgba(0xF0, 0x0F, 0x55, 3));
    EXPECT_TRUE(t.differing(rgba(12, 34, 56, 78)).empty());
    DrawingSession* s = drawing_current();
    drawing_mode_set(Default);
    EXPECT_EQ(s->ops.read(*s, 1, 1), rgb(12, 34, 56));
    drawing_mode_set(Blend);
    EXPECT_EQ(s->ops.read(*s, 1, 1), rgba(12, 34, 56, 78));
}

// Every (colour alpha, target alpha, target channel) against the formula with plain
// integer division: a 256 x 256 output holds channel x with alpha y.
// Both the vector kernels (when the processor has them) and the scalar writers.
class BlendPaths : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override { blend_simd_set_max_width(GetParam()); }
    void TearDown() override { blend_simd_set_max_width(16); }
};

TEST_P(BlendPaths, BlendMatchesFormulaForAllAlphaPairs) {
    Target t(256, 256, 32);
    const std::uint32_t colours[] = {1, 128, 255};
    for (int keep = 0; keep < 2; ++keep)
        for (std::uint32_t s : colours)
            for (std::uint32_t sa = 0; sa < 256; sa += (sa < 4 || sa > 250) ? 1 : 5) {
                for (int y = 0; y < 256; ++y)
                    for (int x = 0; x < 256; ++x) t.set(x, y, rgba(x, 255 - x, x ^ 0x5A, y));
                t.begin();
                drawing_mode_set(keep ? BlendKeepAlpha : Blend);
                draw_box(0, 0, 256, 256, rgba(s, 255 - s, s ^ 0x33, sa));
                drawing_end();
                for (std::uint32_t da = 0; da < 256; ++da)
                    for (std::uint32_t p = 0; p < 256; ++p) {
                        const std::uint32_t src[3] = {s, 255 - s, s ^ 0x33}, dst[3] = {p, 255 - p, p ^ 0x5A};
                        std::uint32_t want[4] = {dst[0], dst[1], dst[2], da};
                        if (sa != 0) {
                            const std::uint32_t d = sa * 255 + (255 - sa) * da;
                            for (int c = 0; c < 3; ++c)
                                want[c] =
                                    da == 0 ? src[c] : (src[c] * sa * 255 + dst[c] * (255 - sa) * da) / d;
                            if (!keep) want[3] = d / 255;
                        }
                        const Color got = t.pixel(static_cast<int>(p), static_cast<int>(da));
                        ASSERT_EQ(got, rgba(want[0], want[1], want[2], want[3]))
                            << "s " << s << " sa " << sa << " p " << p << " da " << da << " keep " << keep;
                    }
            }
}

INSTANTIATE_TEST_SUITE_P(EveryVectorWidthAndScalar, BlendPaths, ::testing::Values(16, 8, 0));

// The reciprocal product overshoots n / d first at the top of a quotient band
// (n = q * d + d - 1), since its error grows with n; checking both ends of every band up
// to 256 * d for every divisor covers every numerator the formula can produce.
TEST(Writers, ReciprocalDivisionIsExact) {
    for (std::uint32_t sa = 1; sa < 256; ++sa)
        for (std::uint32_t da = 1; da < 256; ++da) {
            const std::uint64_t d = sa * 255 + (255 - sa) * da, m = blend_reciprocal(sa, da);
            for (std::uint64_t q = 0; q < 256; ++q) {
                const std::uint64_t lo = q * d, hi = q * d + d - 1;
                ASSERT_EQ((lo * m) >> BlendShift, q) << sa << " " << da;
                ASSERT_EQ((hi * m) >> BlendShift, q) << sa << " " << da;
            }
        }
}

Color swap_channels(int, int, Color color, Color target) {
    return rgba(color_blue(target), color_red(color), color_green(target), 77);
}
Color stripes(int x, int) {
    return x % 2 ? rgba(255, 0, 0, 128) : rgba(0, 0, 255, 255);
}

TEST(Writers, PixelCallbackAndGradientHooks) {
    Target t(2, 1, 32);
    t.fill(rgba(10, 20, 30, 255));
    t.begin();
    DrawingSession* s = drawing_current();
    // Without a routine the custom writer leaves pixels as they are.
    drawing_mode_set(PixelCallback);
    draw_box(0, 0, 2, 1, rgba(1, 2, 3, 4));
    EXPECT_EQ(t.pixel(0, 0), rgba(10, 20, 30, 255));
    s->ops.custom = swap_channels;
    draw_box(0, 0, 1, 1, rgba(99, 2, 3, 4));
    EXPECT_EQ(t.pixel(0, 0), rgba(30, 99, 20, 77));
    // The gradient colour is then written by the remaining flags (Blend here).
    s->ops.gradient = stripes;
    drawing_mode_set(Gradient | Blend);
    draw_box(0, 0, 2, 1, rgba(0, 0, 0, 0));
    EXPECT_EQ(t.pixel(0, 0), rgba(0, 0, 255, 255));
    // x = 1: red alpha 128 over (10, 20, 30, 255): d = 65025; red (255*128*255 + 10*127*255) / d = 132.
    EXPECT_EQ(t.pixel(1, 0), rgba(132, 9, 14, 255));
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// Spans of every length from 1 to 40 at several starts, the last ones ending on the final
// byte of the picture's memory: each vector width must give the scalar bytes, finish its
// row ends without touching anything beyond them, and leave the guard bytes alone.
TEST(VectorSpans, EveryLengthAndStartMatchesTheScalarPath) {
    constexpr int W = 44, H = 4;
    std::mt19937 rng(99);
    std::vector<Color> before(W * H), source(W);
    for (Color& c : before) c = rng() % 4 == 0 ? rng() & 0xFFFFFF : rng();
    for (Color& c : source) c = rng() % 4 == 0 ? rng() & 0xFFFFFF : rng();
    for (const int mode : {Blend, BlendKeepAlpha})
        for (int length = 1; length <= 40; ++length)
            for (const int start : {0, 1, 3, W - length}) {
                const test::SourcePicture picture(
                    length, 1, 32, std::vector<Color>(source.begin(), source.begin() + length));
                std::vector<Color> results[3];
                const int widths[3] = {0, 8, 16};
                for (int w = 0; w < 3; ++w) {
                    blend_simd_set_max_width(widths[w]);
                    Target t(W, H, 32);
                    for (int i = 0; i < W * H; ++i) t.set(i % W, i / W, before[static_cast<std::size_t>(i)]);
                    t.begin();
                    drawing_mode_set(mode);
                    draw_box(start, 0, length, 1, rgba(12, 200, 77, 1 + length * 6));
                    draw_alpha_image(picture.handle(), start, 0);
                    drawing_end();
                    EXPECT_TRUE(t.guards_intact());
                    for (int i = 0; i < W * H; ++i) results[w].push_back(t.pixel(i % W, i / W));
                }
                blend_simd_set_max_width(16);
                ASSERT_EQ(results[1], results[0])
                    << "width 8, mode " << mode << " length " << length << " at " << start;
                ASSERT_EQ(results[2], results[0])
                    << "width 16, mode " << mode << " length " << length << " at " << start;
            }
    // Asking for less never gives more.
    blend_simd_set_max_width(8);
    EXPECT_LE(blend_simd_width(), 8);
    blend_simd_set_max_width(0);
    EXPECT_EQ(blend_simd_width(), 0);
    blend_simd_set_max_width(16);
}

}  // namespace
}  // namespace morvane
