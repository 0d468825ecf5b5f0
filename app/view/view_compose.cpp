// Composing a rectangle of the view from the document. The picture is blended over the
// checkerboard and the grid written over both with the drawing library's own modes, in
// scratch rows of the rectangle's size, so every pixel is what a composition of the whole
// view would give there.
#include "app/view/view_compose.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/document/painter.h"
#include "app/select/select_compose.h"
#include "draw/draw.h"
#include "draw/session.h"

namespace morvane {

namespace {

constexpr int kChecker = 16;  // side of a checker square in screen pixels
constexpr std::uint8_t kCheckerLight = 255, kCheckerDark = 192;

struct GridLines {
    std::int64_t step_x = 0, step_y = 0;    // cell size in document pixels (at least 1)
    std::int64_t nx = 0, ny = 0;            // last line index in each direction
    std::int64_t close_x = 0, close_y = 0;  // the closing lines on the right and bottom edges
};

// Line positions: i * cell * zoom / 100 for i = 0..n, where n is the number of cells that fit
// the view rounded to nearest (ties to even), then one closing line at the view's far edge.
GridLines grid_lines(const ViewSpec& v) {
    GridLines g;
    // A cell size below 1 (possible from a hand-edited settings file) draws a 1-pixel grid.
    g.step_x = std::max<std::int64_t>(1, v.grid_width);
    g.step_y = std::max<std::int64_t>(1, v.grid_height);
    const double scale = v.zoom / 100.0;
    const double qx = static_cast<double>(v.view_width) / static_cast<double>(g.step_x) / scale;
    const double qy = static_cast<double>(v.view_height) / static_cast<double>(g.step_y) / scale;
    g.nx = static_cast<std::int64_t>(std::nearbyint(qx));
    g.ny = static_cast<std::int64_t>(std::nearbyint(qy));
    g.close_x = static_cast<std::int64_t>(std::nearbyint(qx * static_cast<double>(g.step_x) * scale - 1));
    g.close_y = static_cast<std::int64_t>(std::nearbyint(qy * static_cast<double>(g.step_y) * scale - 1));
    return g;
}

// Draws, in the current session whose pixel (0, 0) is view pixel (x0, y0), the grid lines
// that cross [x0, x1) x [y0, y1), each cut to it.
void draw_grid(const ViewSpec& v, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const GridLines g = grid_lines(v);
    const int w = static_cast<int>(x1 - x0);
    const int h = static_cast<int>(y1 - y0);
    auto vertical = [&](std::int64_t x) {
        if (x >= x0 && x < x1) draw_line(static_cast<int>(x - x0), 0, 1, h, v.grid_color);
    };
    auto horizontal = [&](std::int64_t y) {
        if (y >= y0 && y < y1) draw_line(0, static_cast<int>(y - y0), w, 1, v.grid_color);
    };
    const std::int64_t stride_x = g.step_x * v.zoom;
    const std::int64_t stride_y = g.step_y * v.zoom;
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

// The grid of a sheet with an offset or a gap: a line on each side of every whole cell, the
// line after a cell on the first pixel past it (the last view pixel at the picture's edge),
// each as long as the cells reach. Drawn as draw_grid draws, cut to [x0, x1) x [y0, y1).
void draw_cell_grid(const ViewSpec& v, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    if (v.grid_columns <= 0 || v.grid_rows <= 0) return;
    const std::int64_t w = std::max<std::int64_t>(1, v.grid_width), h = std::max<std::int64_t>(1, v.grid_height);
    const std::int64_t pitch_x = w + v.grid_gap, pitch_y = h + v.grid_gap;
    const auto at = [&](std::int64_t d, std::int64_t size) { return std::min(d * v.zoom / 100, size - 1); };
    const std::int64_t top = at(v.grid_offset, v.view_height);
    const std::int64_t bottom = at(v.grid_offset + v.grid_rows * pitch_y - v.grid_gap, v.view_height) + 1;
    const std::int64_t left = at(v.grid_offset, v.view_width);
    const std::int64_t right = at(v.grid_offset + v.grid_columns * pitch_x - v.grid_gap, v.view_width) + 1;
    const std::int64_t ly0 = std::max(top, y0), ly1 = std::min(bottom, y1);
    const std::int64_t lx0 = std::max(left, x0), lx1 = std::min(right, x1);
    auto vertical = [&](std::int64_t x) {
        if (x >= x0 && x < x1 && ly0 < ly1)
            draw_line(static_cast<int>(x - x0), static_cast<int>(ly0 - y0), 1, static_cast<int>(ly1 - ly0), v.grid_color);
    };
    auto horizontal = [&](std::int64_t y) {
        if (y >= y0 && y < y1 && lx0 < lx1)
            draw_line(static_cast<int>(lx0 - x0), static_cast<int>(y - y0), static_cast<int>(lx1 - lx0), 1, v.grid_color);
    };
    // Only the cells whose lines can fall inside the rectangle.
    const std::int64_t doc_x0 = x0 * 100 / v.zoom, doc_x1 = x1 * 100 / v.zoom + 1;
    const std::int64_t first_i = std::max<std::int64_t>(0, (doc_x0 - v.grid_offset) / pitch_x - 1);
    const std::int64_t last_i = std::min(v.grid_columns - 1, (doc_x1 - v.grid_offset) / pitch_x + 1);
    for (std::int64_t i = first_i; i <= last_i; ++i) {
        vertical(at(v.grid_offset + i * pitch_x, v.view_width));
        vertical(at(v.grid_offset + i * pitch_x + w, v.view_width));
    }
    const std::int64_t doc_y0 = y0 * 100 / v.zoom, doc_y1 = y1 * 100 / v.zoom + 1;
    const std::int64_t first_j = std::max<std::int64_t>(0, (doc_y0 - v.grid_offset) / pitch_y - 1);
    const std::int64_t last_j = std::min(v.grid_rows - 1, (doc_y1 - v.grid_offset) / pitch_y + 1);
    for (std::int64_t j = first_j; j <= last_j; ++j) {
        horizontal(at(v.grid_offset + j * pitch_y, v.view_height));
        horizontal(at(v.grid_offset + j * pitch_y + h, v.view_height));
    }
}

// Scratch pixel rows kept between paints; they grow to the largest rectangle asked for.
struct Scratch {
    Bitmap* ground = nullptr;   // 24-bit: checkerboard, then the composition
    Bitmap* picture = nullptr;  // 32-bit: the document at view scale for the rectangle
    ~Scratch() {
        bitmap_destroy(ground);
        bitmap_destroy(picture);
    }
    static bool fit(Bitmap*& b, int w, int h, int bpp) {
        if (b && b->width == w && b->height == h) return true;
        bitmap_destroy(b);
        b = bitmap_create(w, h, bpp);
        return b != nullptr;
    }
};

}  // namespace

std::int64_t view_to_document(std::int64_t v, int zoom) {
    const std::int64_t n = v * 100;
    const std::int64_t q = n / zoom;
    return (n % zoom != 0 && n < 0) ? q - 1 : q;
}

bool view_compose(const Bitmap& picture, const ViewSpec& view, int x, int y, int width, int height,
                  std::uint32_t* out, std::ptrdiff_t stride) {
    if (width <= 0 || height <= 0) return true;
    if (view.zoom <= 0 || picture.bpp != 32 || !picture.bits) return false;
    const std::int64_t x0 = std::clamp<std::int64_t>(x, 0, view.view_width);
    const std::int64_t y0 = std::clamp<std::int64_t>(y, 0, view.view_height);
    const std::int64_t x1 = std::clamp<std::int64_t>(std::int64_t{x} + width, 0, view.view_width);
    const std::int64_t y1 = std::clamp<std::int64_t>(std::int64_t{y} + height, 0, view.view_height);
    // Outside the view the canvas is white.
    if (x0 != x || y0 != y || x1 != x + width || y1 != y + height) {
        for (int r = 0; r < height; ++r) std::fill_n(out + r * stride, width, 0xFFFFFFFFu);
    }
    if (x1 <= x0 || y1 <= y0) return true;
    const int w = static_cast<int>(x1 - x0), h = static_cast<int>(y1 - y0);
    static thread_local Scratch scratch;
    if (!Scratch::fit(scratch.ground, w, h, 24) || !Scratch::fit(scratch.picture, w, h, 32)) return false;
    Bitmap& ground = *scratch.ground;
    Bitmap& scaled = *scratch.picture;

    // The picture by whole-pixel blocks: each view pixel shows document pixel v * 100 / zoom.
    std::vector<std::int32_t> column(static_cast<std::size_t>(w));
    for (int c = 0; c < w; ++c) {
        column[std::size_t(c)] = static_cast<std::int32_t>(
            std::min<std::int64_t>(view_to_document(x0 + c, view.zoom), picture.width - 1));
    }
    std::int64_t previous_row = -1;
    for (int r = 0; r < h; ++r) {
        const std::int64_t doc_row =
            std::min<std::int64_t>(view_to_document(y0 + r, view.zoom), picture.height - 1);
        std::uint8_t* to = scaled.row(r);
        if (doc_row == previous_row) {
            std::memcpy(to, scaled.row(r - 1), std::size_t(w) * 4);
            continue;
        }
        previous_row = doc_row;
        const auto* from =
            reinterpret_cast<const std::uint32_t*>(picture.row(static_cast<std::int32_t>(doc_row)));
        auto* pixels = reinterpret_cast<std::uint32_t*>(to);
        for (int c = 0; c < w; ++c) pixels[c] = from[column[std::size_t(c)]];
    }

    if (view.selection) selection_compose_floating(*view.selection, view.zoom, x0, y0, scaled);

    // The checkerboard from the view's origin, the top-left square light. Its pixels are
    // grey (blue = green = red), so each run of a square is one memset.
    for (int r = 0; r < h; ++r) {
        std::uint8_t* to = ground.row(r);
        const std::int64_t square_row = (y0 + r) / kChecker;
        for (int c = 0; c < w;) {
            const std::int64_t square = (x0 + c) / kChecker;
            const int run =
                static_cast<int>(std::min<std::int64_t>(w - c, (square + 1) * kChecker - (x0 + c)));
            const std::uint8_t v = (square + square_row) % 2 == 0 ? kCheckerLight : kCheckerDark;
            std::memset(to + std::ptrdiff_t{c} * 3, v, std::size_t(run) * 3);
            c += run;
        }
    }

    if (Painter painter{drawing_output_prepare(ground.bits, w, h, ground.stride, 24, nullptr)}) {
        drawing_mode_set(Blend);
        draw_alpha_image(bitmap_handle(&scaled), 0, 0);
        if (view.grid_visible) {
            drawing_mode_set(WriteAlpha);
            if (view.grid_offset == 0 && view.grid_gap == 0) {
                draw_grid(view, x0, y0, x1, y1);
            } else {
                draw_cell_grid(view, x0, y0, x1, y1);
            }
        }
        tile_overlay_draw(view.tiles, view.zoom, x0, y0, x1, y1);
    }
    if (view.selection) selection_draw_ants(*view.selection, view.zoom, x0, y0, ground);

    for (int r = 0; r < h; ++r) {
        const std::uint8_t* from = ground.row(r);
        std::uint32_t* to = out + (y0 - y + r) * stride + (x0 - x);
        for (int c = 0; c < w; ++c, from += 3)
            to[c] = 0xFF000000u | std::uint32_t(from[2]) << 16 | std::uint32_t(from[1]) << 8 | from[0];
    }
    return true;
}

}  // namespace morvane
