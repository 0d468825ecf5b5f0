// Boxes and lines: clipping to the output, then spans or the Bresenham walk.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "draw/pixel_ops.h"

namespace morvane {

void op_box(DrawingSession& s, int x_in, int y_in, int w_in, int h_in) {
    // 64-bit so that negative sizes and far coordinates cannot overflow.
    std::int64_t x = x_in, y = y_in, w = w_in, h = h_in;
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
    if (!(s.mode & Outline)) {
        if (x < 0) w += x, x = 0;
        if (y < 0) h += y, y = 0;
        if (x + w > s.width) w = s.width - x;
        if (y + h > s.height) h = s.height - y;
        if (w <= 0 || h <= 0) return;
        // Rows in the order they lie in memory, so the processor streams through it.
        for (std::int64_t i = 0; i < h; ++i) {
            const std::int64_t row = s.target.bottom_up ? y + h - 1 - i : y + i;
            span_row(s, static_cast<int>(x), static_cast<int>(row), static_cast<int>(w));
        }
        return;
    }
    if (w <= 0 || h <= 0) return;
    const std::int64_t bottom = y + h - 1, right = x + w - 1;
    span_row_clipped(s, x, right, y);
    if (bottom != y) span_row_clipped(s, x, right, bottom);
    if (h - 2 > 0) {
        span_column_clipped(s, x, y + 1, y + h - 2);
        if (right != x) span_column_clipped(s, right, y + 1, y + h - 2);
    }
}

namespace {

constexpr std::int64_t LineLimit = 65000;

// Moves the end points of a segment into [0, limit] along one axis (a = the clipped axis,
// b = the other). Returns false when the segment lies wholly on one side.
bool clip_axis(std::int64_t& a1, std::int64_t& b1, std::int64_t& a2, std::int64_t& b2, std::int64_t limit) {
    if ((a1 < 0 && a2 < 0) || (a1 > limit && a2 > limit)) return false;
    if (a1 == a2) return true;
    const double slope = static_cast<double>(b2 - b1) / static_cast<double>(a2 - a1);
    auto move = [&](std::int64_t& a, std::int64_t& b, std::int64_t target) {
        b = static_cast<std::int64_t>(
            std::trunc(static_cast<double>(b1) + slope * static_cast<double>(target - a1)));
        a = target;
    };
    // Each end is recomputed from the other, unmoved end's line through (a1, b1).
    const std::int64_t oa1 = a1, ob1 = b1;
    if (a2 < 0)
        move(a2, b2, 0);
    else if (a2 > limit)
        move(a2, b2, limit);
    if (oa1 < 0 || oa1 > limit) {
        const std::int64_t target = oa1 < 0 ? 0 : limit;
        b1 = static_cast<std::int64_t>(
            std::trunc(static_cast<double>(ob1) + slope * static_cast<double>(target - oa1)));
        a1 = target;
    }
    return true;
}

}  // namespace

void op_line(DrawingSession& s, int x1_in, int y1_in, int x2_in, int y2_in) {
    std::int64_t x1 = x1_in, y1 = y1_in, x2 = x2_in, y2 = y2_in;
    if (y1 == y2) return span_row_clipped(s, std::min(x1, x2), std::max(x1, x2), y1);
    if (x1 == x2) return span_column_clipped(s, x1, std::min(y1, y2), std::max(y1, y2));
    x1 = std::clamp(x1, -LineLimit, LineLimit);
    y1 = std::clamp(y1, -LineLimit, LineLimit);
    x2 = std::clamp(x2, -LineLimit, LineLimit);
    y2 = std::clamp(y2, -LineLimit, LineLimit);
    if (!clip_axis(x1, y1, x2, y2, s.width - 1)) return;
    if (!clip_axis(y1, x1, y2, x2, s.height - 1)) return;

    std::int64_t dx = std::llabs(x2 - x1), dy = std::llabs(y2 - y1);
    if (dy <= dx) {
        if (x2 < x1) std::swap(x1, x2), std::swap(y1, y2);
        const std::int64_t step = y2 > y1 ? 1 : -1;
        std::int64_t err = 2 * dy - dx, y = y1;
        plot_clipped(s, x1, y);
        for (std::int64_t x = x1 + 1; x <= x2; ++x) {
            if (err < 0) {
                err += 2 * dy;
            } else {
                y += step;
                err += 2 * dy - 2 * dx;
            }
            plot_clipped(s, x, y);
        }
    } else {
        if (y2 < y1) std::swap(x1, x2), std::swap(y1, y2);
        const std::int64_t step = x2 > x1 ? 1 : -1;
        std::int64_t err = 2 * dx - dy, x = x1;
        plot_clipped(s, x, y1);
        for (std::int64_t y = y1 + 1; y <= y2; ++y) {
            if (err < 0) {
                err += 2 * dx;
            } else {
                x += step;
                err += 2 * dx - 2 * dy;
            }
            plot_clipped(s, x, y);
        }
    }
}

}  // namespace morvane
