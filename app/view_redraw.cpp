// Composing the canvas: the checkerboard, the picture blended over it and the grid on top.
// view_redraw recomposes the whole canvas; view_redraw_region only a rectangle of it, with
// the same result there.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/editor.h"
#include "draw/canvas.h"
#include "draw/draw.h"
#include "image/image.h"

namespace morvane {

namespace {

struct GridLines {
    std::int64_t step_x = 0, step_y = 0;    // cell size in document pixels (at least 1)
    std::int64_t nx = 0, ny = 0;            // last line index in each direction
    std::int64_t close_x = 0, close_y = 0;  // the closing lines on the right and bottom edges
};

// Line positions: i * cell * zoom / 100 for i = 0..n, where n is the number of cells that fit
// the view rounded to nearest (ties to even), then one closing line at the view's far edge.
GridLines grid_lines(const EditorState& state) {
    GridLines g;
    // A cell size below 1 (possible from a hand-edited settings file) draws a 1-pixel grid.
    g.step_x = std::max<std::int64_t>(1, state.grid_width);
    g.step_y = std::max<std::int64_t>(1, state.grid_height);
    const double scale = state.zoom / 100.0;
    const double qx = static_cast<double>(state.view_width) / static_cast<double>(g.step_x) / scale;
    const double qy = static_cast<double>(state.view_height) / static_cast<double>(g.step_y) / scale;
    g.nx = static_cast<std::int64_t>(std::nearbyint(qx));
    g.ny = static_cast<std::int64_t>(std::nearbyint(qy));
    g.close_x = static_cast<std::int64_t>(std::nearbyint(qx * static_cast<double>(g.step_x) * scale - 1));
    g.close_y = static_cast<std::int64_t>(std::nearbyint(qy * static_cast<double>(g.step_y) * scale - 1));
    return g;
}

// Draws the grid lines that cross the rectangle [x0, x1) x [y0, y1), each cut to it. On a
// canvas that already shows the grid elsewhere this gives the same pixels as the whole grid.
void draw_grid(const EditorState& state, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const GridLines g = grid_lines(state);
    const Color c = static_cast<Color>(state.grid_color);
    const int h = static_cast<int>(y1 - y0);
    const int w = static_cast<int>(x1 - x0);
    auto vertical = [&](std::int64_t x) {
        if (x >= x0 && x < x1) draw_line(static_cast<int>(x), static_cast<int>(y0), 1, h, c);
    };
    auto horizontal = [&](std::int64_t y) {
        if (y >= y0 && y < y1) draw_line(static_cast<int>(x0), static_cast<int>(y), w, 1, c);
    };
    const std::int64_t stride_x = g.step_x * state.zoom;
    const std::int64_t stride_y = g.step_y * state.zoom;
    // Only the indices whose line can fall inside the rectangle.
    const std::int64_t first_i = std::max<std::int64_t>(0, x0 * 100 / stride_x - 1);
    const std::int64_t last_i = std::min(g.nx, x1 * 100 / stride_x + 1);
    for (std::int64_t i = first_i; i <= last_i; ++i) vertical(i * stride_x / 100);
    const std::int64_t first_j = std::max<std::int64_t>(0, y0 * 100 / stride_y - 1);
    const std::int64_t last_j = std::min(g.ny, y1 * 100 / stride_y + 1);
    for (std::int64_t j = first_j; j <= last_j; ++j) horizontal(j * stride_y / 100);
    vertical(g.close_x);
    horizontal(g.close_y);
}

// Composes checkerboard and picture for [x0, x1) x [y0, y1) into a temporary 24-bit image,
// puts it on the canvas and draws the grid over it.
void compose(const EditorState& state, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const int w = static_cast<int>(x1 - x0);
    const int h = static_cast<int>(y1 - y0);
    const ObjectNumber t = image_create(-1, w, h);
    if (t && drawing_begin(image_output(t))) {
        drawing_mode_set(Default);
        draw_image(image_handle(CheckerImage), static_cast<int>(-x0), static_cast<int>(-y0));
        drawing_mode_set(Blend);
        draw_alpha_image(image_handle(WorkingImage), static_cast<int>(-x0), static_cast<int>(-y0));
        drawing_end();
    }
    if (drawing_begin(canvas_output(1))) {
        drawing_mode_set(Default);
        if (t) draw_image(image_handle(t), static_cast<int>(x0), static_cast<int>(y0));
        drawing_mode_set(WriteAlpha);
        if (state.grid_visible != 0) draw_grid(state, x0, y0, x1, y1);
        drawing_end();
    }
    if (t) image_free(t);
}

}  // namespace

void view_redraw(EditorState& state) {
    if (state.view_width <= 0 || state.view_height <= 0) return;
    compose(state, 0, 0, state.view_width, state.view_height);
}

void view_redraw_region(EditorState& state, int x, int y, int w, int h) {
    const std::int64_t x0 = std::max<std::int64_t>(0, x);
    const std::int64_t y0 = std::max<std::int64_t>(0, y);
    const std::int64_t x1 = std::min<std::int64_t>(state.view_width, std::int64_t{x} + w);
    const std::int64_t y1 = std::min<std::int64_t>(state.view_height, std::int64_t{y} + h);
    if (x1 <= x0 || y1 <= y0) return;
    compose(state, x0, y0, x1, y1);
}

}  // namespace morvane
