// Palettes from pictures, the three sorts on worked examples, and colour replacement
// against a straightforward per-pixel reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "image/bitmap.h"
#include "palette/picture_colours.h"
#include "palette/replace.h"

namespace morvane {
namespace {

constexpr Color opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return rgba(r, g, b, 255);
}

struct Picture {
    Bitmap* b;
    Picture(int w, int h, int bpp = 32) : b(bitmap_create(w, h, bpp)) {}
    ~Picture() { bitmap_destroy(b); }
    void set(int x, int y, Color c) {
        std::uint8_t* p = b->row(y) + x * (b->bpp / 8);
        p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c)), p[2] = std::uint8_t(color_red(c));
        if (b->bpp == 32) p[3] = std::uint8_t(c >> 24);
    }
    Color get(int x, int y) const { return picture_pixel(*b, x, y); }
};

TEST(PictureColours, DistinctColoursInFirstAppearanceAndTheMostUsedBeyond256) {
    const Color A = opaque(9, 9, 9), B = opaque(200, 0, 0), C = rgba(0, 0, 200, 7), D = opaque(1, 2, 3);
    Picture small(4, 2);
    const Color rows[2][4] = {{A, B, A, C}, {C, D, B, A}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) small.set(x, y, rows[y][x]);
    PictureColours found = picture_colours(*small.b, whole_area(*small.b), 256);
    EXPECT_EQ(found.colours, (std::vector<Color>{A, B, C, D}));
    EXPECT_EQ(found.distinct, 4u);
    // A rectangle: the right half's rows (A, C / B, A).
    found = picture_colours(*small.b, PixelArea{2, 0, 4, 2}, 256);
    EXPECT_EQ(found.colours, (std::vector<Color>{A, C, B}));

    // 300 colours k = 0..299 once each, then k = 44..299 once more: those 256 are kept.
    Picture many(556, 1);
    auto colour = [](int k) { return opaque(std::uint32_t(k & 255), std::uint32_t(k >> 8), 77); };
    for (int k = 0; k < 300; ++k) many.set(k, 0, colour(k));
    for (int k = 44; k < 300; ++k) many.set(300 + k - 44, 0, colour(299 - (k - 44)));  // backwards
    found = picture_colours(*many.b, whole_area(*many.b), 256);
    EXPECT_EQ(found.distinct, 300u);
    ASSERT_EQ(found.colours.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(found.colours[std::size_t(i)], colour(44 + i)) << i;
}

TEST(PictureColours, SortsOnWorkedExamples) {
    const Color black = opaque(0, 0, 0), white = opaque(255, 255, 255), grey = opaque(128, 128, 128);
    const Color red = opaque(255, 0, 0), dark_red = opaque(128, 0, 0), orange = opaque(255, 128, 0);
    const Color yellow = opaque(255, 255, 0), green = opaque(0, 255, 0), cyan = opaque(0, 255, 255);
    const Color blue = opaque(0, 0, 255), magenta = opaque(255, 0, 255);

    // Hue: greys dark to light, then red 0 (dark before light), orange 30.1, yellow 60,
    // green 120, cyan 180, blue 240, magenta 300 degrees.
    std::vector<Color> colours = {white, magenta, red, cyan, blue, grey, yellow, dark_red, black, green, orange};
    sort_by_hue(colours);
    EXPECT_EQ(colours,
              (std::vector<Color>{black, grey, white, dark_red, red, orange, yellow, green, cyan, blue, magenta}));

    // Luma x 1000: black 0, blue 29070, dark red 38272, red 76245, magenta 105315, grey
    // 128000, green 149685, cyan 178755, yellow 225930, white 255000.
    colours = {white, green, red, blue, grey, black, dark_red, yellow, magenta, cyan};
    sort_by_lightness(colours);
    EXPECT_EQ(colours, (std::vector<Color>{black, blue, dark_red, red, magenta, grey, green, cyan, yellow, white}));
    // Equal lightness keeps the order given.
    const Color l1 = opaque(0, 0, 50), l2 = opaque(19, 0, 0), l3 = opaque(0, 0, 50);  // 5700, 5681, 5700
    colours = {l3, l2, rgba(0, 0, 50, 9)};
    sort_by_lightness(colours);
    EXPECT_EQ(colours, (std::vector<Color>{l2, l1, rgba(0, 0, 50, 9)}));

    // Use: counted in a picture A x1, B x3, C x0, D x3: B and D (in palette order), A, C.
    const Color A = red, B = green, C = blue, D = black;
    Picture p(7, 1);
    const Color row[7] = {B, D, A, B, D, B, D};
    for (int x = 0; x < 7; ++x) p.set(x, 0, row[x]);
    colours = {A, B, C, D};
    const std::vector<std::uint64_t> use = colour_use(*p.b, whole_area(*p.b), colours);
    EXPECT_EQ(use, (std::vector<std::uint64_t>{1, 3, 0, 3}));
    sort_by_use(colours, use);
    EXPECT_EQ(colours, (std::vector<Color>{B, D, A, C}));
}

// The reference: every pixel of the area whose largest channel difference is within the
// tolerance takes the new colour, alpha kept for an opaque new colour.
Color reference(Color p, const ColourReplacement& r) {
    int diff = 0;
    for (int s = 0; s < 32; s += 8) diff = std::max(diff, std::abs(int(p >> s & 255) - int(r.from >> s & 255)));
    if (diff > r.tolerance) return p;
    return (r.to & 0xFFFFFFu) | ((r.to >> 24) == 255 ? p & 0xFF000000u : r.to & 0xFF000000u);
}

TEST(Replace, WorkedExampleExactAndWithTolerance) {
    // 4 x 1: the colour, one 3 away in green, one 3 away in alpha, one 4 away in blue.
    const Color from = rgba(100, 100, 100, 200);
    const Color pixels[4] = {from, rgba(100, 103, 100, 200), rgba(100, 100, 100, 197), rgba(100, 100, 104, 200)};
    for (int tolerance : {0, 3}) {
        Picture p(4, 1);
        for (int x = 0; x < 4; ++x) p.set(x, 0, pixels[x]);
        const std::uint64_t n = replace_colour(*p.b, {from, opaque(1, 2, 3), tolerance, whole_area(*p.b)});
        EXPECT_EQ(n, tolerance == 0 ? 1u : 3u);
        // Opaque new colour: each pixel keeps its alpha.
        EXPECT_EQ(p.get(0, 0), rgba(1, 2, 3, 200));
        EXPECT_EQ(p.get(1, 0), tolerance == 0 ? pixels[1] : rgba(1, 2, 3, 200));
        EXPECT_EQ(p.get(2, 0), tolerance == 0 ? pixels[2] : rgba(1, 2, 3, 197));
        EXPECT_EQ(p.get(3, 0), pixels[3]);
    }
    // A new colour with alpha gives its alpha.
    Picture p(1, 1);
    p.set(0, 0, from);
    replace_colour(*p.b, {from, rgba(5, 6, 7, 50), 0, whole_area(*p.b)});
    EXPECT_EQ(p.get(0, 0), rgba(5, 6, 7, 50));
}

TEST(Replace, MatchesTheReferenceInRectanglesAndReportsEveryChangedTile) {
    std::mt19937 random(12345);
    const Color palette[] = {rgba(10, 20, 30, 255), rgba(12, 19, 30, 255), rgba(10, 20, 30, 128),
                             rgba(40, 20, 30, 255), rgba(200, 200, 0, 0), rgba(11, 21, 29, 254)};
    struct Case {
        int tolerance;
        PixelArea area;
        Color to;
    };
    const Case cases[] = {{0, {0, 0, 150, 131}, opaque(1, 2, 3)},        {2, {0, 0, 150, 131}, opaque(1, 2, 3)},
                          {30, {3, 5, 97, 70}, rgba(9, 9, 9, 60)},      {2, {63, 63, 65, 129}, opaque(7, 7, 7)},
                          {0, {-10, -10, 1000, 1000}, rgba(0, 0, 0, 0)}};
    for (const Case& c : cases) {
        Picture p(150, 131);
        for (int y = 0; y < 131; ++y)
            for (int x = 0; x < 150; ++x) p.set(x, y, palette[random() % 6]);
        std::vector<Color> before(150 * 131);
        for (int y = 0; y < 131; ++y)
            for (int x = 0; x < 150; ++x) before[std::size_t(y * 150 + x)] = p.get(x, y);
        const ColourReplacement r{palette[0], c.to, c.tolerance, c.area};
        std::vector<PixelArea> told;
        const std::uint64_t n = replace_colour(*p.b, r, [&](const PixelArea& a) {
            // Each rectangle is reported before any of its pixels changed.
            for (int y = a.y0; y < a.y1; ++y)
                for (int x = a.x0; x < a.x1; ++x) ASSERT_EQ(p.get(x, y), before[std::size_t(y * 150 + x)]);
            told.push_back(a);
        });
        std::uint64_t matched = 0;
        for (int y = 0; y < 131; ++y) {
            for (int x = 0; x < 150; ++x) {
                const Color was = before[std::size_t(y * 150 + x)];
                const bool inside = x >= c.area.x0 && x < c.area.x1 && y >= c.area.y0 && y < c.area.y1;
                const Color expected = inside ? reference(was, r) : was;
                if (inside && reference(was, r) != was) ++matched;
                ASSERT_EQ(p.get(x, y), expected) << x << "," << y << " tolerance " << c.tolerance;
                if (expected == was) continue;
                const bool reported = std::any_of(told.begin(), told.end(), [&](const PixelArea& a) {
                    return x >= a.x0 && x < a.x1 && y >= a.y0 && y < a.y1;
                });
                ASSERT_TRUE(reported) << x << "," << y;
            }
        }
        EXPECT_GE(n, matched);
        for (const PixelArea& a : told) EXPECT_LE((a.x1 - a.x0) * (a.y1 - a.y0), 64 * 64);
    }
}

TEST(Replace, TwentyFourBitPicturesCountAsOpaque) {
    Picture p(3, 1, 24);
    p.set(0, 0, opaque(5, 5, 5));
    p.set(1, 0, opaque(5, 6, 5));
    p.set(2, 0, opaque(9, 9, 9));
    EXPECT_EQ(replace_colour(*p.b, {opaque(5, 5, 5), rgba(1, 2, 3, 0), 1, whole_area(*p.b)}), 2u);
    EXPECT_EQ(p.get(0, 0), opaque(1, 2, 3));
    EXPECT_EQ(p.get(1, 0), opaque(1, 2, 3));
    EXPECT_EQ(p.get(2, 0), opaque(9, 9, 9));
}

}  // namespace
}  // namespace morvane
