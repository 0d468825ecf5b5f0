// Seed fill: regions against a breadth-first reference on seeded random pictures, diagonal
// gaps, border colours with any alpha, fills that leave pixels matching, painted once.
#include <deque>
#include <random>
#include <set>

#include "draw/draw_test_support.h"

namespace morvane {
namespace {

using test::PaintCounter;
using test::Target;
using PixelSet = std::set<std::pair<int, int>>;

// The 4-connected region from (x, y): pixels equal to the seed in red, green and blue
// (border -1), or differing from the border's.
PixelSet reference_region(Target& t, int x, int y, std::int64_t border) {
    const Color seed = t.pixel(x, y) & 0xFFFFFF;
    auto belongs = [&](int px, int py) {
        const Color c = t.pixel(px, py) & 0xFFFFFF;
        return border == -1 ? c == seed : c != (static_cast<Color>(border) & 0xFFFFFF);
    };
    PixelSet seen;
    if (!belongs(x, y)) return seen;
    std::deque<std::pair<int, int>> queue{{x, y}};
    seen.insert({x, y});
    while (!queue.empty()) {
        auto [px, py] = queue.front();
        queue.pop_front();
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int i = 0; i < 4; ++i) {
            const int nx = px + dx[i], ny = py + dy[i];
            if (nx < 0 || ny < 0 || nx >= t.width() || ny >= t.height()) continue;
            if (!seen.count({nx, ny}) && belongs(nx, ny)) seen.insert({nx, ny}), queue.push_back({nx, ny});
        }
    }
    return seen;
}

// Fills through the counting routine; fails when any pixel is painted twice.
PixelSet fill_once(std::int64_t border, int x, int y) {
    PaintCounter::install();
    fill_area(x, y, border, rgba(1, 1, 1, 1));
    PixelSet out;
    for (const auto& [p, n] : PaintCounter::counts()) {
        EXPECT_EQ(n, 1) << p.first << "," << p.second;
        out.insert(p);
    }
    return out;
}

TEST(Fill, UniformImageBlendsEveryPixelOnce) {
    Target t(37, 23, 32);
    t.fill(rgba(200, 100, 50, 255));
    t.begin();
    drawing_mode_set(Blend);
    fill_area(17, 9, -1, rgba(0, 0, 255, 128));
    // (s * 128 * 255 + p * 127 * 255) / 65025: red 99, green 49, blue 152; alpha 255.
    EXPECT_TRUE(t.differing(rgba(99, 49, 152, 255)).empty());
    EXPECT_TRUE(t.guards_intact());
}

TEST(Fill, ExactFillTellsPixelsApartByAlpha) {
    // Transparent black with an opaque black wall at column 4 and a half-transparent black
    // pixel at (1, 1). Filled exactly from (0, 0): only the fully transparent pixels left of
    // the wall change. The colour-only fill floods through both on 32 bits.
    const Color green = rgba(0, 200, 0, 255);
    for (bool exact : {true, false}) {
        Target t(8, 3, 32);
        t.fill(0);
        for (int y = 0; y < 3; ++y) t.set(4, y, rgba(0, 0, 0, 255));
        t.set(1, 1, rgba(0, 0, 0, 128));
        t.begin();
        drawing_mode_set(WriteAlpha);
        if (exact)
            fill_area_exact(0, 0, green);
        else
            fill_area(0, 0, -1, green);
        drawing_end();
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 8; ++x) {
                const Color want = !exact             ? green
                                   : x == 4           ? rgba(0, 0, 0, 255)
                                   : x == 1 && y == 1 ? rgba(0, 0, 0, 128)
                                   : x < 4            ? green
                                                      : 0u;
                EXPECT_EQ(t.pixel(x, y), want) << exact << ": " << x << "," << y;
            }
        }
        EXPECT_TRUE(t.guards_intact());
    }
}

TEST(Fill, DiagonalGapDoesNotLeak) {
    Target t(6, 6, 24);
    t.begin();
    // Two blocks of black touching only at the corner between (2, 2) and (3, 3).
    draw_box(0, 0, 6, 6, rgb(255, 255, 255));
    draw_box(0, 0, 3, 3, rgb(0, 0, 0));
    draw_box(3, 3, 3, 3, rgb(0, 0, 0));
    fill_area(0, 0, -1, rgb(9, 9, 9));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const Color want = (x < 3 && y < 3) ? rgb(9, 9, 9) : (x >= 3 && y >= 3) ? 0 : rgb(255, 255, 255);
            EXPECT_EQ(t.pixel(x, y), want) << x << "," << y;
        }
}

TEST(Fill, BorderColourComparedOnColourOnly) {
    Target t(9, 7, 32);
    t.fill(rgba(5, 5, 5, 255));
    t.begin();
    drawing_mode_set(WriteAlpha);
    // A ring of the border colour with mixed alpha around columns 2..6, rows 1..5.
    draw_box(1, 0, 7, 7, rgba(40, 50, 60, 0));
    draw_box(2, 1, 5, 5, rgba(5, 5, 5, 255));
    draw_box(1, 3, 1, 1, rgba(40, 50, 60, 255));
    drawing_mode_set(Default);
    fill_area(4, 3, rgba(40, 50, 60, 200), rgba(77, 0, 0, 0));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 1 && y <= 5;
            const bool ring = !inside && x >= 1 && x <= 7;
            const Color want = inside ? rgba(77, 0, 0, 255)
                               : ring ? rgba(40, 50, 60, (x == 1 && y == 3) ? 255 : 0)
                                      : rgba(5, 5, 5, 255);
            EXPECT_EQ(t.pixel(x, y), want) << x << "," << y;
        }
    // A seed on the border colour fills nothing; so does a seed outside the output.
    fill_area(1, 1, rgba(40, 50, 60, 0), rgba(1, 1, 1, 1));
    fill_area(-1, 3, -1, rgba(1, 1, 1, 1));
    fill_area(3, 7, -1, rgba(1, 1, 1, 1));
    EXPECT_EQ(t.pixel(1, 1), rgba(40, 50, 60, 0));
}

TEST(Fill, PaintingThatLeavesPixelsMatchingStillEnds) {
    Target t(30, 20, 32);
    t.fill(rgba(10, 10, 10, 255));
    t.begin();
    draw_box(5, 0, 1, 15, rgba(200, 0, 0, 255));
    drawing_mode_set(AlphaOnly);
    fill_area(0, 0, -1, rgba(99, 99, 99, 33));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(t.pixel(x, y), (x == 5 && y < 15) ? rgba(200, 0, 0, 255) : rgba(10, 10, 10, 33));
    drawing_mode_set(Default);
    fill_area(29, 19, -1, rgba(10, 10, 10, 0));  // fill colour equal to the seed colour
    EXPECT_EQ(fill_once(-1, 0, 0).size(), 30u * 20u - 15u);
}

TEST(Fill, SeededRandomPicturesMatchReference) {
    std::mt19937 rng(77);
    for (int round = 0; round < 60; ++round) {
        const int w = 8 + static_cast<int>(rng() % 40), h = 8 + static_cast<int>(rng() % 30);
        Target t(w, h, round % 2 ? 32 : 24);
        // Two colours (different alpha on some pixels) with clumps, so regions wind.
        const int density = 30 + static_cast<int>(rng() % 40);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                t.set(x, y,
                      static_cast<int>(rng() % 100) < density ? rgba(0, 0, 0, rng() % 256)
                                                              : rgba(250, 250, 250, rng() % 256));
        t.begin();
        const int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
        const std::int64_t border = round % 3 == 0 ? std::int64_t{rgba(0, 0, 0, 255)} : -1;
        const PixelSet want = reference_region(t, x, y, border);
        ASSERT_EQ(fill_once(border, x, y), want) << "round " << round;
        // And in Default mode the region, and only it, takes the colour.
        drawing_mode_set(Default);
        fill_area(x, y, border, rgba(1, 200, 3, 0));
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                ASSERT_EQ((t.pixel(px, py) & 0xFFFFFF) == rgb(1, 200, 3), want.count({px, py}) == 1);
        drawing_end();
    }
}

}  // namespace
}  // namespace morvane
