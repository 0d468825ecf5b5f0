// Tile numbers in a 3 x 5 pixel font on a dark box, and the group outline.
#include "app/tiles/tile_overlay.h"

#include <algorithm>
#include <string>

#include "draw/draw.h"
#include "image/color.h"

namespace morvane {

namespace {

// Rows of each digit, three bits a row, the left pixel in the high bit.
constexpr std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

const Color kNumberBox = rgba(0, 0, 0, 255);
const Color kNumberInk = rgba(255, 255, 255, 255);
const Color kOutline = rgba(255, 140, 0, 255);

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The view rectangle of a cell at the zoom, relative to the session's origin.
struct ViewCell {
    std::int64_t x0, y0, x1, y1;
};
ViewCell view_cell(const SourceGrid& g, std::int64_t cell, int zoom, std::int64_t ox, std::int64_t oy) {
    const std::int64_t x = g.x(cell % g.columns), y = g.y(cell / g.columns);
    return ViewCell{x * zoom / 100 - ox, y * zoom / 100 - oy, (x + g.tile_width) * zoom / 100 - ox,
                    (y + g.tile_height) * zoom / 100 - oy};
}

void draw_number(std::int64_t value, std::int64_t x, std::int64_t y) {
    const std::string text = std::to_string(value);
    draw_box(static_cast<int>(x), static_cast<int>(y), tile_number_box_width(static_cast<int>(text.size())),
             TileNumberBoxHeight, kNumberBox);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& rows = kDigits[text[i] - '0'];
        const std::int64_t left = x + 1 + 4 * static_cast<std::int64_t>(i);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                if (rows[r] & (4 >> c)) draw_box(static_cast<int>(left + c), static_cast<int>(y + 1 + r), 1, 1, kNumberInk);
    }
}

void draw_outline(const ViewCell& v) {
    const int x = static_cast<int>(v.x0), y = static_cast<int>(v.y0);
    const int w = static_cast<int>(v.x1 - v.x0), h = static_cast<int>(v.y1 - v.y0);
    // Two pixels wide inside the cell (one when the cell is that small on screen).
    const int t = std::min({2, w, h});
    draw_box(x, y, w, t, kOutline);
    draw_box(x, y + h - t, w, t, kOutline);
    draw_box(x, y, t, h, kOutline);
    draw_box(x + w - t, y, t, h, kOutline);
}

}  // namespace

int tile_number_box_width(int digits) {
    return 4 * digits + 1;
}

void tile_overlay_draw(const TileOverlay& overlay, int zoom, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                       std::int64_t y1) {
    if (!overlay.links || zoom <= 0) return;
    const TileLinks& links = *overlay.links;
    const SourceGrid& g = links.grid;
    if (g.count() == 0 || links.group.size() != static_cast<std::size_t>(g.count())) return;
    drawing_mode_set(Default);
    if (overlay.numbers) {
        // The cells that reach into the rectangle: document pixels x0 * 100 / zoom on.
        const std::int64_t pitch_x = g.tile_width + g.spacing, pitch_y = g.tile_height + g.spacing;
        const std::int64_t dx0 = x0 * 100 / zoom, dy0 = y0 * 100 / zoom;
        const std::int64_t dx1 = (x1 * 100 + zoom - 1) / zoom, dy1 = (y1 * 100 + zoom - 1) / zoom;
        const std::int64_t c0 = std::max<std::int64_t>(0, floor_div(dx0 - g.margin, pitch_x));
        const std::int64_t r0 = std::max<std::int64_t>(0, floor_div(dy0 - g.margin, pitch_y));
        const std::int64_t c1 = std::min(g.columns - 1, floor_div(dx1 - g.margin, pitch_x));
        const std::int64_t r1 = std::min(g.rows - 1, floor_div(dy1 - g.margin, pitch_y));
        for (std::int64_t r = r0; r <= r1; ++r) {
            for (std::int64_t c = c0; c <= c1; ++c) {
                const std::int64_t cell = r * g.columns + c;
                const std::int32_t group = links.group[static_cast<std::size_t>(cell)];
                if (group < 0) continue;
                const ViewCell v = view_cell(g, cell, zoom, x0, y0);
                const int digits = static_cast<int>(std::to_string(group + 1).size());
                // Only where the number fits the cell on screen inside the group outline.
                if (v.x1 - v.x0 < tile_number_box_width(digits) + 3 || v.y1 - v.y0 < TileNumberBoxHeight + 3) continue;
                draw_number(group + 1, v.x0 + 2, v.y0 + 2);
            }
        }
    }
    const std::int64_t pointer = overlay.pointer_cell;
    if (pointer < 0 || pointer >= g.count()) return;
    const std::int32_t group = links.group[static_cast<std::size_t>(pointer)];
    if (group < 0) return;
    for (const std::int32_t cell : links.members[static_cast<std::size_t>(group)]) {
        const ViewCell v = view_cell(g, cell, zoom, x0, y0);
        if (v.x1 <= 0 || v.y1 <= 0 || v.x0 >= x1 - x0 || v.y0 >= y1 - y0 || v.x1 <= v.x0 || v.y1 <= v.y0) continue;
        draw_outline(v);
        // Mirrored and turned copies: a square in the top-right corner.
        if (links.flips[static_cast<std::size_t>(cell)] != 0) {
            const std::int64_t side = std::min<std::int64_t>({6, v.x1 - v.x0, v.y1 - v.y0});
            draw_box(static_cast<int>(v.x1 - side), static_cast<int>(v.y0), static_cast<int>(side),
                     static_cast<int>(side), kOutline);
        }
    }
}

}  // namespace morvane
