// Tile links on a sheet with a margin and gaps whose cells are a tile shown in each of the
// eight mirrors and turns (made here by explicit pixel loops), repeats, another tile and
// transparent cells: groups, the cell under a pixel, an edit carried to every copy, unlinking.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "tileset/links.h"

namespace morvane {
namespace {

constexpr int N = 5, Margin = 1, Gap = 1, Columns = 4, Rows = 3;
using Tile = std::vector<std::uint32_t>;  // N x N pixels, row by row
// The eight ways to show a tile: target (x, y) takes source pixel f(x, y).
using Way = std::function<std::pair<int, int>(int, int)>;
const Way Ways[8] = {
    [](int x, int y) { return std::pair{x, y}; },                  // as it is
    [](int x, int y) { return std::pair{N - 1 - x, y}; },          // mirrored left-right
    [](int x, int y) { return std::pair{x, N - 1 - y}; },          // mirrored top-bottom
    [](int x, int y) { return std::pair{y, N - 1 - x}; },          // turned clockwise
    [](int x, int y) { return std::pair{N - 1 - y, x}; },          // turned counter-clockwise
    [](int x, int y) { return std::pair{N - 1 - x, N - 1 - y}; },  // half turn
    [](int x, int y) { return std::pair{y, x}; },                  // transposed
    [](int x, int y) { return std::pair{N - 1 - y, N - 1 - x}; },  // anti-transposed
};
Tile shown(const Tile& t, int way) {
    Tile out(N * N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const auto [sx, sy] = Ways[way](x, y);
            out[y * N + x] = t[sy * N + sx];
        }
    return out;
}
// The inverse of a way: the tile whose showing is `t`.
Tile unshown(const Tile& t, int way) {
    Tile out(N * N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const auto [sx, sy] = Ways[way](x, y);
            out[sy * N + sx] = t[y * N + x];
        }
    return out;
}

std::int64_t cell_x(int c) { return Margin + (c % Columns) * (N + Gap); }
std::int64_t cell_y(int c) { return Margin + (c / Columns) * (N + Gap); }
Tile read(const Bitmap& b, int c) {
    Tile t(N * N);
    for (int y = 0; y < N; ++y) std::memcpy(&t[y * N], b.row(static_cast<std::int32_t>(cell_y(c) + y)) + 4 * cell_x(c), 4 * N);
    return t;
}
void write(Bitmap& b, int c, const Tile& t) {
    for (int y = 0; y < N; ++y) std::memcpy(b.row(static_cast<std::int32_t>(cell_y(c) + y)) + 4 * cell_x(c), &t[y * N], 4 * N);
}

TEST(TileLinksTest, AnEditReachesEveryCopyThroughItsMirrorOrTurn) {
    std::mt19937 random(4);
    Tile a(N * N), b(N * N);
    for (auto* t : {&a, &b})
        for (auto& p : *t) p = random() | 0xFF000000u;
    // Cells 0-7: a shown each way; 8 transparent; 9 b; 10 a again; 11 b half-turned.
    const Tile empty(N * N, 0);
    std::vector<std::pair<const Tile*, int>> cells = {{&a, 0}, {&a, 1}, {&a, 2}, {&a, 3}, {&a, 4}, {&a, 5},
                                                      {&a, 6}, {&a, 7}, {&empty, 0}, {&b, 0}, {&a, 0}, {&b, 5}};
    Bitmap* sheet = bitmap_create(Margin + Columns * (N + Gap), Margin + Rows * (N + Gap), 32);
    // The margin and the gaps hold a colour of their own that nothing may touch.
    for (std::int32_t y = 0; y < sheet->height; ++y)
        for (std::int32_t x = 0; x < sheet->width; ++x) std::memcpy(sheet->row(y) + 4 * x, "\x11\x22\x33\xFF", 4);
    for (int c = 0; c < Columns * Rows; ++c) write(*sheet, c, shown(*cells[c].first, cells[c].second));
    const SourceGrid grid = source_grid(sheet->width, sheet->height, N, N, Margin, Gap);
    ASSERT_EQ(grid.count(), Columns * Rows);

    TileLinks links;
    ASSERT_TRUE(tile_links_build(*sheet, grid, true, &links));
    EXPECT_EQ(links.group, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, -1, 1, 0, 1}));
    TileLinks exact;
    ASSERT_TRUE(tile_links_build(*sheet, grid, false, &exact));
    EXPECT_EQ(exact.group, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, -1, 8, 0, 9}));
    // The cell under a pixel; margins and gaps are in none.
    for (const auto& [x, y, cell] : {std::tuple{0, 0, -1}, {1, 1, 0}, {5, 5, 0}, {6, 1, -1}, {7, 1, 1},
                                     {23, 17, 11}, {24, 17, -1}, {7, 7, 5}, {7, 6, -1}})
        EXPECT_EQ(links.cell_at(x, y), cell) << x << "," << y;

    // Paint a 2 x 3 patch in the clockwise-turned copy (cell 3), then carry it.
    Tile edited = read(*sheet, 3);
    for (int y = 1; y < 4; ++y)
        for (int x = 3; x < 5; ++x) edited[y * N + x] = 0xFF0000FFu + static_cast<std::uint32_t>(x * 16 + y);
    write(*sheet, 3, edited);
    const auto written = tile_links_propagate(links, *sheet, 3, {cell_x(3) + 3, cell_y(3) + 1, 2, 3});
    EXPECT_EQ(written.size(), 8u) << "the other seven ways and the repeat";
    const Tile a2 = unshown(edited, 3);
    for (int c = 0; c < Columns * Rows; ++c) {
        const Tile expected = cells[c].first == &a ? shown(a2, cells[c].second) : shown(*cells[c].first, cells[c].second);
        EXPECT_EQ(read(*sheet, c), expected) << "cell " << c;
    }
    for (std::int32_t y = 0; y < sheet->height; ++y)
        for (std::int32_t x = 0; x < sheet->width; ++x) {
            if (links.cell_at(x, y) < 0) {
                ASSERT_EQ(std::memcmp(sheet->row(y) + 4 * x, "\x11\x22\x33\xFF", 4), 0) << "gap pixel " << x << "," << y;
            }
        }
    // Each rectangle written lies in its copy and is 2 x 3 or 3 x 2.
    for (const CellRect& r : written) {
        const std::int64_t c = links.cell_at(r.x, r.y);
        ASSERT_GE(c, 0);
        EXPECT_EQ(links.cell_at(r.x + r.width - 1, r.y + r.height - 1), c);
        EXPECT_EQ(r.width * r.height, 6);
    }

    // Unlinked, cell 10 keeps its pixels and no longer follows; its old group does.
    tile_links_unlink(links, 10);
    EXPECT_EQ(links.group[10], 2);
    EXPECT_EQ(links.groups(), 3);
    const Tile cell10 = read(*sheet, 10);
    Tile again = read(*sheet, 0);
    again[0] = 0xFF00FF00u;
    write(*sheet, 0, again);
    EXPECT_EQ(tile_links_propagate(links, *sheet, 0, {cell_x(0), cell_y(0), 1, 1}).size(), 7u);
    EXPECT_EQ(read(*sheet, 10), cell10);
    EXPECT_EQ(read(*sheet, 5)[N * N - 1], 0xFF00FF00u) << "the half turn's last pixel is the first";
    // A transparent cell carries nothing.
    EXPECT_TRUE(tile_links_propagate(links, *sheet, 8, {cell_x(8), cell_y(8), N, N}).empty());
    bitmap_destroy(sheet);
}

}  // namespace
}  // namespace morvane
