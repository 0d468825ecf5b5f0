// Boxes and lines: the worked examples, clipping at every edge and far outside, and
// seeded random lines against a closed-form reference.
#include <climits>
#include <random>
#include <set>

#include "draw/draw_test_support.h"

namespace morvane {
namespace {

using test::Target;
using PixelSet = std::set<std::pair<int, int>>;

constexpr Color Ink = rgba(255, 0, 0, 255);

PixelSet painted(Target& t) {
    auto v = t.differing(0);
    return PixelSet(v.begin(), v.end());
}

PixelSet rectangle(int x0, int y0, int x1, int y1) {
    PixelSet out;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) out.insert({x, y});
    return out;
}

TEST(Box, NegativeSizeAndClipping) {
    Target t(20, 16, 32);
    t.begin();
    draw_box(10, 10, -5, -5, Ink);
    EXPECT_EQ(painted(t), rectangle(5, 5, 9, 9));

    Target u(20, 16, 24);
    u.begin();
    draw_box(-3, -4, 30, 40, Ink);  // hangs over every edge
    EXPECT_EQ(painted(u).size(), 20u * 16u);
    EXPECT_TRUE(u.guards_intact());
}

TEST(Box, NothingOutsideWhateverTheCoordinates) {
    Target t(8, 8, 32);
    t.begin();
    draw_box(8, 0, 5, 5, Ink);
    draw_box(0, 8, 5, 5, Ink);
    draw_box(-5, 0, 5, 5, Ink);
    draw_box(INT_MAX, INT_MAX, INT_MAX, INT_MAX, Ink);
    draw_box(INT_MIN, INT_MIN, INT_MIN, INT_MIN, Ink);
    draw_box(INT_MAX, 2, INT_MIN, 1, Ink);  // spans the whole width
    drawing_mode_set(Outline);
    draw_box(INT_MIN, INT_MIN, -1, -1, Ink);
    draw_box(INT_MAX - 1, 0, 100, 3, Ink);
    EXPECT_EQ(painted(t), rectangle(0, 2, 7, 2));
    EXPECT_TRUE(t.guards_intact());
}

TEST(Box, OutlineEdgesAndClippedOutline) {
    Target t(12, 10, 32);
    t.begin();
    drawing_mode_set(Outline | Blend);
    draw_box(1, 1, 5, 4, rgba(0, 255, 0, 128));
    PixelSet want = rectangle(1, 1, 5, 4);
    for (const auto& p : rectangle(2, 2, 4, 3)) want.erase(p);
    EXPECT_EQ(painted(t), want);
    // Each edge pixel blended once over alpha 0: the colour exactly (corners included).
    for (const auto& [x, y] : want) EXPECT_EQ(t.pixel(x, y), rgba(0, 255, 0, 128));

    Target u(6, 6, 24);
    u.begin();
    drawing_mode_set(Outline);
    draw_box(-2, 3, 5, 10, Ink);  // only the top edge and the right edge are visible
    PixelSet edge = rectangle(0, 3, 2, 3);
    for (int y = 4; y < 6; ++y) edge.insert({2, y});
    EXPECT_EQ(painted(u), edge);
}

TEST(Line, WorkedExamples) {
    Target t(10, 10, 32);
    t.begin();
    draw_line_xy(0, 0, 3, 1, Ink);
    EXPECT_EQ(painted(t), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    Target u(10, 10, 32);
    u.begin();
    draw_line_xy(3, 1, 0, 0, Ink);
    EXPECT_EQ(painted(u), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));

    Target v(10, 10, 24);
    v.begin();
    draw_line(5, 5, 1, 1, Ink);
    draw_line(5, 5, 0, 7, Ink);
    draw_line(1, 1, 7, 0, Ink);
    EXPECT_EQ(painted(v), (PixelSet{{5, 5}}));

    Target w(200, 120, 24);
    w.begin();
    draw_line_xy(-100, 50, 300, 50, Ink);
    draw_line(7, 3, 1, 100, Ink);    // vertical span of 100 from (7, 3)
    draw_line(30, 30, -3, -3, Ink);  // (30, 30) to (28, 28)
    PixelSet want = rectangle(0, 50, 199, 50);
    for (int y = 3; y < 103; ++y) want.insert({7, y});
    want.insert({{30, 30}, {29, 29}, {28, 28}});
    EXPECT_EQ(painted(w), want);
}

TEST(Line, ClippedAlongTheSegment) {
    Target t(100, 100, 32);
    t.begin();
    draw_line_xy(-10, 0, 10, 20, Ink);  // enters at (0, 10)
    PixelSet want;
    for (int i = 0; i <= 10; ++i) want.insert({i, 10 + i});
    EXPECT_EQ(painted(t), want);

    Target u(50, 40, 24);
    u.begin();
    for (int a : {INT_MIN, -70000, -1, 25, 49, 50, 70000, INT_MAX})
        for (int b : {INT_MIN, -5, 0, 39, 40, INT_MAX}) {
            draw_line_xy(a, b, b, a, Ink);
            draw_line_xy(a, ~b, 7, 9, Ink);
            draw_line_xy(a, b, a, ~b, Ink);
        }
    EXPECT_TRUE(u.guards_intact());
    // A segment wholly on one side draws nothing.
    Target v(50, 40, 24);
    v.begin();
    draw_line_xy(-30, 5, -1, 30, Ink);
    draw_line_xy(60, 5, 55, 30, Ink);
    draw_line_xy(5, -3, 30, -50, Ink);
    draw_line_xy(5, 40, 30, 1000, Ink);
    EXPECT_TRUE(painted(v).empty());
}

// Pixels of a line from the rounding of the ideal line: along the major axis the minor
// offset after i steps is floor((2 i d_minor + d_major) / (2 d_major)).
PixelSet reference_line(int x1, int y1, int x2, int y2) {
    PixelSet out;
    int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    if (dx >= dy) {
        if (x2 < x1) std::swap(x1, x2), std::swap(y1, y2);
        for (int i = 0; i <= dx; ++i) {
            int off = dx == 0 ? 0 : (2 * i * dy + dx) / (2 * dx);
            out.insert({x1 + i, y1 + (y2 >= y1 ? off : -off)});
        }
    } else {
        if (y2 < y1) std::swap(x1, x2), std::swap(y1, y2);
        for (int i = 0; i <= dy; ++i) {
            int off = (2 * i * dx + dy) / (2 * dy);
            out.insert({x1 + (x2 >= x1 ? off : -off), y1 + i});
        }
    }
    return out;
}

TEST(Line, SeededRandomLinesMatchReference) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> cx(0, 63), cy(0, 47);
    for (int n = 0; n < 400; ++n) {
        const int x1 = cx(rng), y1 = cy(rng), x2 = cx(rng), y2 = cy(rng);
        Target t(64, 48, n % 2 ? 24 : 32);
        t.begin();
        draw_line_xy(x1, y1, x2, y2, Ink);
        ASSERT_EQ(painted(t), reference_line(x1, y1, x2, y2)) << x1 << "," << y1 << " " << x2 << "," << y2;
        // The same line in Blend paints each pixel once: alpha 100 over alpha 0 stays 100.
        Target u(64, 48, 32);
        u.begin();
        drawing_mode_set(Blend);
        draw_line_xy(x2, y2, x1, y1, rgba(1, 2, 3, 100));
        for (const auto& [x, y] : reference_line(x1, y1, x2, y2))
            ASSERT_EQ(u.pixel(x, y), rgba(1, 2, 3, 100));
    }
}

}  // namespace
}  // namespace morvane
