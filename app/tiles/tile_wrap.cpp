// Wrapping within a cell: every primitive is drawn once per copy shifted by whole cell sizes
// that reaches the cell, with the drawing clipped to the cell, so each tool draws exactly
// as it does unwrapped and only the part inside the cell stays. The fill has its own walk,
// on the cell as a torus.
#include "app/tiles/tile_wrap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "app/tiles/tile_grid.h"
#include "app/tiles/tile_preview.h"
#include "app/tools/stroke_coverage.h"
#include "app/tools/tool.h"
#include "draw/draw.h"
#include "draw/session.h"
#include "image/image.h"
#include "shell/menu.h"

namespace morvane {

namespace {

// Copies at most this many cell sizes away from the cell are drawn: a shape of more than
// 17 cells across wraps only the nearest of its copies, and the work stays bounded.
constexpr std::int64_t kMaxShift = 8;

// The copy that tile_wrap_draw is drawing (0 for the first), -1 outside it.
int g_copy = -1;

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The shifts k (in cell sizes) for which [b0 + k n, b1 + k n) meets [c0, c0 + n).
struct Shifts {
    std::int64_t first = 0, last = -1;
};
Shifts shifts(std::int64_t b0, std::int64_t b1, std::int64_t c0, std::int64_t n) {
    return Shifts{std::max(floor_div(c0 - b1, n) + 1, -kMaxShift),
                  std::min(floor_div(c0 + n - b0 - 1, n), kMaxShift)};
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

// Calls fn(dx, dy, part) for each copy of `bounds` moved by (dx, dy), whole cell sizes, that
// reaches `cell`; `part` is the copy's part inside the cell.
template <typename Fn>
void for_each_copy(const Rect& cell, const Rect& bounds, Fn fn) {
    if (bounds.empty()) return;
    const std::int64_t w = cell.x1 - cell.x0, h = cell.y1 - cell.y0;
    const Shifts sx = shifts(bounds.x0, bounds.x1, cell.x0, w), sy = shifts(bounds.y0, bounds.y1, cell.y0, h);
    for (std::int64_t ky = sy.first; ky <= sy.last; ++ky) {
        for (std::int64_t kx = sx.first; kx <= sx.last; ++kx) {
            const Rect moved{bounds.x0 + kx * w, bounds.y0 + ky * h, bounds.x1 + kx * w, bounds.y1 + ky * h};
            const Rect part = intersect(moved, cell);
            if (!part.empty()) fn(kx * w, ky * h, part);
        }
    }
}

// One axis of the cover: the folded interval, or the whole side where it crosses an edge.
void fold(std::int64_t b0, std::int64_t b1, std::int64_t c0, std::int64_t n, std::int64_t* f0,
          std::int64_t* f1) {
    const std::int64_t length = b1 - b0, at = b0 - c0 - floor_div(b0 - c0, n) * n;
    if (length >= n || at + length > n) {
        *f0 = c0, *f1 = c0 + n;
    } else {
        *f0 = c0 + at, *f1 = c0 + at + length;
    }
}

// The current session narrowed to the cell for as long as this lives: the cell's pixels
// become the whole output and document pixel (x, y) lands on (x - x0 + dx, y - y0 + dy).
class CellClip {
  public:
    CellClip(DrawingSession& s, const Rect& cell)
        : s_(s),
          cell_(cell),
          width_(s.width),
          height_(s.height),
          base_(s.target.base),
          origin_x_(s.origin_x),
          origin_y_(s.origin_y) {
        const auto w = static_cast<int>(cell.x1 - cell.x0), h = static_cast<int>(cell.y1 - cell.y0);
        // The cell's lowest row in memory: its bottom row when the memory is bottom-up.
        const std::int64_t first_row = s.target.bottom_up ? height_ - cell.y0 - h : cell.y0;
        s.target.base = base_ + first_row * s.target.pitch + cell.x0 * s.target.bytes_per_pixel;
        s.width = w, s.height = h;
        shift(0, 0);
    }
    ~CellClip() {
        s_.width = width_, s_.height = height_, s_.target.base = base_;
        s_.origin_x = origin_x_, s_.origin_y = origin_y_;
    }
    CellClip(const CellClip&) = delete;
    CellClip& operator=(const CellClip&) = delete;

    void shift(std::int64_t dx, std::int64_t dy) {
        s_.origin_x = static_cast<int>(origin_x_ - cell_.x0 + dx);
        s_.origin_y = static_cast<int>(origin_y_ - cell_.y0 + dy);
    }

  private:
    DrawingSession& s_;
    Rect cell_;
    int width_, height_;
    std::uint8_t* base_;
    int origin_x_, origin_y_;
};

bool inside(const Rect& cell, std::int64_t width, std::int64_t height) {
    return !cell.empty() && cell.x0 >= 0 && cell.y0 >= 0 && cell.x1 <= width && cell.y1 <= height;
}

// A picture of the cell's pixels alone, sharing the document's memory.
Bitmap cell_view(const Bitmap& picture, const Rect& cell) {
    Bitmap view;
    view.width = static_cast<std::int32_t>(cell.x1 - cell.x0);
    view.height = static_cast<std::int32_t>(cell.y1 - cell.y0);
    view.bpp = picture.bpp;
    view.stride = picture.stride;
    // Bitmaps are bottom-up: the cell's memory begins at its bottom row.
    view.bits = picture.row(static_cast<std::int32_t>(cell.y1 - 1)) + cell.x0 * (picture.bpp / 8);
    return view;
}

}  // namespace

Rect tile_wrap_cell(const EditorState& state) {
    if (!state.tools.wrap_within_tiles) return {};
    Rect cell;
    if (tile_cell_at(tile_grid(state), state.tools.stroke_start_x, state.tools.stroke_start_y, &cell) < 0)
        return {};
    return cell;
}

Rect tile_wrap_cover(const EditorState& state, const Rect& bounds) {
    const Rect cell = tile_wrap_cell(state);
    if (cell.empty() || bounds.empty()) return bounds;
    Rect cover;
    fold(bounds.x0, bounds.x1, cell.x0, cell.x1 - cell.x0, &cover.x0, &cover.x1);
    fold(bounds.y0, bounds.y1, cell.y0, cell.y1 - cell.y0, &cover.y0, &cover.y1);
    return cover;
}

void tile_wrap_draw(const EditorState& state, const Rect& bounds, const std::function<void()>& draw) {
    const Rect cell = tile_wrap_cell(state);
    DrawingSession* s = drawing_current();
    if (!s || !inside(cell, s->width, s->height)) return draw();
    CellClip clip(*s, cell);
    g_copy = 0;
    for_each_copy(cell, bounds, [&](std::int64_t dx, std::int64_t dy, const Rect&) {
        clip.shift(dx, dy);
        draw();
        ++g_copy;
    });
    g_copy = -1;
}

void tile_wrap_line(const EditorState& state, int x1, int y1, int x2, int y2, Color color) {
    const Rect cell = tile_wrap_cell(state);
    DrawingSession* s = drawing_current();
    if (cell.empty() || !s || g_copy < 0) return draw_line_xy(x1, y1, x2, y2, color);
    // The first copy draws the whole line folded into the cell, each pixel once.
    if (g_copy > 0) return;
    const std::int64_t w = cell.x1 - cell.x0, h = cell.y1 - cell.y0;
    std::vector<std::uint8_t> done;
    try {
        done.assign(static_cast<std::size_t>(w * h), 0);
    } catch (const std::bad_alloc&) {
        return draw_line_xy(x1, y1, x2, y2, color);
    }
    // The session shows the cell alone: its pixel (u, v) is drawn at u, v less the origin.
    const auto plot = [&](std::int64_t x, std::int64_t y) {
        const std::int64_t u = x - cell.x0 - floor_div(x - cell.x0, w) * w;
        const std::int64_t v = y - cell.y0 - floor_div(y - cell.y0, h) * h;
        std::uint8_t& seen = done[static_cast<std::size_t>(v * w + u)];
        if (seen) return;
        seen = 1;
        draw_box(static_cast<int>(u - s->origin_x), static_cast<int>(v - s->origin_y), 1, 1, color);
    };
    // Bresenham along the major axis from the end with the smaller coordinate, as the drawing
    // library walks a line that needs no clipping.
    const bool x_major = std::abs(x2 - x1) >= std::abs(y2 - y1);
    if (x_major ? x2 < x1 : y2 < y1) std::swap(x1, x2), std::swap(y1, y2);
    const std::int64_t major = x_major ? std::int64_t{x2} - x1 : std::int64_t{y2} - y1;
    const std::int64_t minor = x_major ? std::abs(std::int64_t{y2} - y1) : std::abs(std::int64_t{x2} - x1);
    const int step = x_major ? (y2 > y1 ? 1 : -1) : (x2 > x1 ? 1 : -1);
    std::int64_t err = 2 * minor - major, x = x1, y = y1;
    plot(x, y);
    for (std::int64_t i = 0; i < major; ++i) {
        if (err < 0) {
            err += 2 * minor;
        } else {
            (x_major ? y : x) += step;
            err += 2 * minor - 2 * major;
        }
        ++(x_major ? x : y);
        plot(x, y);
    }
}

void tile_wrap_box(const EditorState& state, int x, int y, int width, int height, Color color) {
    const Rect cell = tile_wrap_cell(state);
    DrawingSession* s = drawing_current();
    if (cell.empty() || !s || g_copy < 0) return draw_box(x, y, width, height, color);
    // The first copy draws the box folded into the cell, each pixel once.
    if (g_copy > 0) return;
    // Negative sizes extend left and up, as draw_box takes them.
    std::int64_t x0 = x, y0 = y, w = width, h = height;
    if (w < 0) x0 += w, w = -w;
    if (h < 0) y0 += h, h = -h;
    // Each axis folds into one or two intervals of the cell's own pixel numbers.
    struct Interval {
        std::int64_t from, length;
    };
    const auto fold_axis = [](std::int64_t from, std::int64_t length, std::int64_t origin, std::int64_t n,
                              Interval* parts) {
        if (length <= 0) return 0;
        if (length >= n) return parts[0] = {0, n}, 1;
        const std::int64_t at = from - origin - floor_div(from - origin, n) * n;
        if (at + length <= n) return parts[0] = {at, length}, 1;
        parts[0] = {at, n - at}, parts[1] = {0, at + length - n};
        return 2;
    };
    Interval across[2], down[2];
    const int nx = fold_axis(x0, w, cell.x0, cell.x1 - cell.x0, across);
    const int ny = fold_axis(y0, h, cell.y0, cell.y1 - cell.y0, down);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            draw_box(static_cast<int>(across[i].from - s->origin_x),
                     static_cast<int>(down[j].from - s->origin_y), static_cast<int>(across[i].length),
                     static_cast<int>(down[j].length), color);
}

Rect tile_wrap_stamp(EditorState& state, StrokeCoverage& coverage, Bitmap& picture, const Bitmap& tip, int x,
                     int y, bool keep_alpha, bool ties) {
    const Rect cell = tile_wrap_cell(state);
    const Rect bounds{x, y, std::int64_t{x} + tip.width, std::int64_t{y} + tip.height};
    if (!inside(cell, picture.width, picture.height)) {
        document_will_change(state, bounds);
        return coverage.stamp(picture, tip, x, y, keep_alpha, ties);
    }
    // The stroke's coverage is kept in the cell's own pixel numbers.
    Bitmap view = cell_view(picture, cell);
    Rect changed;
    for_each_copy(cell, bounds, [&](std::int64_t dx, std::int64_t dy, const Rect& part) {
        document_will_change(state, part);
        const Rect r = coverage.stamp(view, tip, static_cast<int>(x + dx - cell.x0),
                                      static_cast<int>(y + dy - cell.y0), keep_alpha, ties);
        if (!r.empty())
            changed = changed.united(Rect{r.x0 + cell.x0, r.y0 + cell.y0, r.x1 + cell.x0, r.y1 + cell.y0});
    });
    return changed;
}

bool tile_wrap_fill(EditorState& state, int x, int y, Rect* changed) {
    const Rect cell = tile_wrap_cell(state);
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture || !drawing_current() || !inside(cell, picture->width, picture->height)) return false;
    if (x < cell.x0 || y < cell.y0 || x >= cell.x1 || y >= cell.y1 || picture->bpp < 24) return false;
    const auto w = static_cast<int>(cell.x1 - cell.x0), h = static_cast<int>(cell.y1 - cell.y0);
    const int bytes = picture->bpp / 8;
    const auto value = [&](int cx, int cy) {
        std::uint32_t v = 0;
        std::memcpy(&v, picture->row(static_cast<int>(cell.y0) + cy) + (cell.x0 + cx) * bytes,
                    static_cast<std::size_t>(bytes));
        return v;
    };
    std::vector<std::uint8_t> in;
    std::vector<std::int32_t> pending;
    try {
        in.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        const int sx = static_cast<int>(x - cell.x0), sy = static_cast<int>(y - cell.y0);
        const std::uint32_t seed = value(sx, sy);
        // Every pixel of the seed's exact value reachable through edges, the cell's own edges
        // joined to the opposite ones.
        const auto visit = [&](int cx, int cy) {
            const std::size_t at =
                static_cast<std::size_t>(cy) * static_cast<std::size_t>(w) + static_cast<std::size_t>(cx);
            if (in[at] || value(cx, cy) != seed) return;
            in[at] = 1;
            pending.push_back(static_cast<std::int32_t>(at));
        };
        visit(sx, sy);
        while (!pending.empty()) {
            const std::int32_t at = pending.back();
            pending.pop_back();
            const int cx = at % w, cy = at / w;
            visit(cx + 1 == w ? 0 : cx + 1, cy);
            visit(cx == 0 ? w - 1 : cx - 1, cy);
            visit(cx, cy + 1 == h ? 0 : cy + 1);
            visit(cx, cy == 0 ? h - 1 : cy - 1);
        }
    } catch (const std::bad_alloc&) {
        return false;  // no memory for the walk: the ordinary fill of the press point applies
    }
    document_will_change(state, cell);
    drawing_mode_set(paint_mode(state));
    // The region row by row, in runs, with the mode's writer as the ordinary fill paints.
    for (int cy = 0; cy < h; ++cy) {
        const std::uint8_t* row = in.data() + static_cast<std::size_t>(cy) * static_cast<std::size_t>(w);
        for (int cx = 0; cx < w;) {
            if (!row[cx]) {
                ++cx;
                continue;
            }
            const int start = cx;
            while (cx < w && row[cx]) ++cx;
            draw_box(static_cast<int>(cell.x0) + start, static_cast<int>(cell.y0) + cy, cx - start, 1,
                     state.tools.brush_color);
        }
    }
    *changed = cell;
    return true;
}

bool tile_wrap_menu_event(EditorState& state, std::int64_t id) {
    switch (id) {
        case MenuWrapWithinTiles:
            state.tools.wrap_within_tiles = static_cast<std::uint8_t>(!state.tools.wrap_within_tiles);
            menu_set_item_checked(MainMenu, MenuWrapWithinTiles, state.tools.wrap_within_tiles);
            return true;
        case MenuTilePreview:
            tile_preview_toggle(state);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
