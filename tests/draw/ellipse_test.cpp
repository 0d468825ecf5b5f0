// Ellipses: the worked examples and the pixel sets of a reference walk that evaluates the
// ellipse function at every midpoint directly, in 128-bit integers scaled by 4.
#include <algorithm>
#include <set>

#include "draw/draw_test_support.h"

namespace morvane {
namespace {

using test::PaintCounter;
using test::Target;
using PixelSet = std::set<std::pair<int, int>>;

constexpr Color Ink = rgba(0, 0, 255, 255);

// 4 f(x/2, y/2) for f = ry^2 x^2 + rx^2 y^2 - rx^2 ry^2, at half-integer points given doubled.
__int128 f4(__int128 rx, __int128 ry, __int128 x2, __int128 y2) {
    return ry * ry * x2 * x2 + rx * rx * y2 * y2 - 4 * rx * rx * ry * ry;
}

// The quadrant's points by the midpoint rules, then mirrored and filled (or outlined),
// clipped to width x height.
PixelSet reference(int cx, int cy, int rx, int ry, bool outline, int width, int height) {
    std::vector<std::pair<long, long>> points;
    long x = rx, y = 0;
    while (f4(rx, ry, 2 * x - 2, 2 * y + 1) < 0) {
        points.emplace_back(x, y);
        if (f4(rx, ry, 2 * x - 1, 2 * y + 2) >= 0) --x;
        ++y;
    }
    while (x >= 0) {
        points.emplace_back(x, y);
        if (f4(rx, ry, 2 * x - 2, 2 * y + 1) < 0) ++y;
        --x;
    }
    PixelSet out;
    auto add = [&](long px, long py) {
        if (px >= 0 && py >= 0 && px < width && py < height)
            out.insert({static_cast<int>(px), static_cast<int>(py)});
    };
    std::map<long, long> widest;  // row offset -> largest x on it
    for (const auto& [px, py] : points) {
        widest[py] = std::max(widest.count(py) ? widest[py] : 0L, px);
        if (outline)
            for (int sx : {-1, 1})
                for (int sy : {-1, 1}) add(cx + sx * px, cy + sy * py);
    }
    if (!outline)
        for (const auto& [py, px] : widest)
            for (long k = std::max(-px, -1L - cx); k <= std::min(px, 1L * width - cx); ++k)
                add(cx + k, cy + py), add(cx + k, cy - py);
    return out;
}

// Draws with a counting routine; fails when a pixel is painted twice.
PixelSet drawn_once(int width, int height, int cx, int cy, int rx, int ry, bool outline) {
    Target t(width, height, 32);
    t.begin();
    PaintCounter::install(outline ? Outline : 0);
    draw_ellipse(cx, cy, rx, ry, Ink);
    PixelSet out;
    for (const auto& [p, n] : PaintCounter::counts()) {
        EXPECT_EQ(n, 1) << "pixel " << p.first << "," << p.second << " of " << rx << "x" << ry;
        out.insert(p);
    }
    EXPECT_TRUE(t.guards_intact());
    return out;
}

TEST(Ellipse, WorkedExamples) {
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 1, 1, false), (PixelSet{{4, 4}, {3, 4}, {5, 4}, {4, 3}, {4, 5}}));
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 1, 1, true), (PixelSet{{3, 4}, {5, 4}, {4, 3}, {4, 5}}));
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 0, 7, false), (PixelSet{{4, 4}}));
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 0, 7, true), (PixelSet{{4, 4}}));
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 0, 0, false), (PixelSet{{4, 4}}));
    PixelSet row;
    for (int x = 1; x <= 7; ++x) row.insert({x, 4});
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 3, 0, false), row);
    EXPECT_EQ(drawn_once(9, 9, 4, 4, 3, 0, true), row);

    // Radius y 0 in Blend: every pixel of the row gets one blend over alpha 0.
    Target t(9, 3, 32);
    t.begin();
    drawing_mode_set(Blend);
    draw_ellipse(4, 1, 3, 0, rgba(10, 20, 30, 90));
    for (int x = 1; x <= 7; ++x) EXPECT_EQ(t.pixel(x, 1), rgba(10, 20, 30, 90));
    EXPECT_EQ(t.differing(0).size(), 7u);
}

TEST(Ellipse, SmallRadiiMatchReferenceBothStyles) {
    for (int rx = 0; rx <= 14; ++rx)
        for (int ry = 0; ry <= 14; ++ry)
            for (bool outline : {false, true})
                ASSERT_EQ(drawn_once(40, 40, 20, 20, rx, ry, outline),
                          reference(20, 20, rx, ry, outline, 40, 40))
                    << rx << "x" << ry << " outline " << outline;
}

// Radii around the change from 32-bit to 64-bit decisions and large ones, clipped by a
// small output placed over different parts of the curve.
TEST(Ellipse, LargeRadiiClippedMatchReference) {
    const int radii[][2] = {{640, 640}, {640, 639}, {641, 640},  {700, 699},    {700, 700},
                            {1000, 3},  {3, 1000},  {999, 1001}, {20000, 15000}};
    for (const auto& r : radii) {
        const int rx = r[0], ry = r[1];
        const int places[][2] = {{rx, 0}, {0, ry}, {rx * 7 / 10, ry * 7 / 10}, {-rx + 5, 2}, {3, -ry + 4}};
        for (const auto& pl : places)
            for (bool outline : {false, true}) {
                // Output 64 x 48 whose pixel (0, 0) sits at curve offset (pl) from the centre.
                const int cx = -pl[0] + 10, cy = -pl[1] + 10;
                ASSERT_EQ(drawn_once(64, 48, cx, cy, rx, ry, outline),
                          reference(cx, cy, rx, ry, outline, 64, 48))
                    << rx << "x" << ry << " at " << pl[0] << "," << pl[1] << " outline " << outline;
            }
    }
}

TEST(Ellipse, FarOutsideAndHugeValuesWriteNothingOutside) {
    Target t(16, 16, 24);
    t.begin();
    draw_ellipse(INT32_MAX, INT32_MIN, 5, 5, Ink);
    draw_ellipse(8, 8, -3, 4, Ink);
    draw_ellipse(8, 8, 2000000, 2000000, Ink);
    EXPECT_TRUE(t.differing(0).empty());
    draw_ellipse(INT32_MIN + 3, 8, 400000, 9, Ink);
    drawing_mode_set(Outline);
    draw_circle(-400000 + 8, 8, 400000, Ink);  // the curve passes through column 8
    EXPECT_TRUE(t.guards_intact());
    EXPECT_FALSE(t.differing(0).empty());
}

}  // namespace
}  // namespace morvane
