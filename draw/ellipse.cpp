// Ellipses by the midpoint walk over one quadrant, mirrored into the other three.
#include <new>
#include <vector>

#include "draw/pixel_ops.h"

namespace morvane {

namespace {

// Above this radius the decision terms (about 4 r^3) would not fit 64 bits comfortably.
constexpr int MaxRadius = 500000;
// 32-bit decision terms: they peak near 6.3 r^3, about 0.77 of 2^31 at this radius, and
// would pass 2^31 at radii 700 x 699.
constexpr int Max32BitRadius = 640;

// Paints the emitted points. A filled ellipse paints each row it reaches once, from -X to
// X for the widest x on that row: the walk notes the half widths, and the rows are painted
// afterwards in the order they lie in memory, so large ellipses stream through it.
struct EllipsePainter {
    DrawingSession& s;
    std::int64_t cx, cy;
    bool outline;
    std::vector<std::int64_t>* widths;  // half width per row offset, -1 for none; null: paint at once
    std::int64_t last_row = -1;         // the last row painted by region 2

    void row(std::int64_t x, std::int64_t y) {
        if (outline) return point(x, y);
        if (widths) {
            std::int64_t& noted = (*widths)[static_cast<std::size_t>(y)];
            if (noted < 0) noted = x;
            return;
        }
        paint_rows(x, y);
    }

    void paint_rows(std::int64_t x, std::int64_t y) {
        span_row_clipped(s, cx - x, cx + x, cy + y);
        if (y != 0) span_row_clipped(s, cx - x, cx + x, cy - y);
    }

    // The noted rows, lowest memory address first: bottom-up memory starts at the
    // picture's last row.
    void paint_noted() {
        const auto n = static_cast<std::int64_t>(widths->size());
        const auto width = [&](std::int64_t y) {
            return (*widths)[static_cast<std::size_t>(y < 0 ? -y : y)];
        };
        for (std::int64_t i = 0; i < 2 * n - 1; ++i) {
            const std::int64_t y = s.target.bottom_up ? n - 1 - i : i - (n - 1);
            const std::int64_t x = width(y);
            if (x >= 0) span_row_clipped(s, cx - x, cx + x, cy + y);
        }
    }

    // Region 2 walks down its rows with x falling, so the first point on a row is its
    // widest: the row is painted there, once, as a row span (for the vector kernels).
    void region2(std::int64_t x, std::int64_t y) {
        if (outline) return point(x, y);
        if (y == last_row) return;
        last_row = y;
        row(x, y);
    }

    void point(std::int64_t x, std::int64_t y) {
        plot_clipped(s, cx + x, cy + y);
        if (y != 0) plot_clipped(s, cx + x, cy - y);
        if (x != 0) {
            plot_clipped(s, cx - x, cy + y);
            if (y != 0) plot_clipped(s, cx - x, cy - y);
        }
    }
};

// The walk with decision terms in T. With A = ry^2 and B = rx^2, f = A x^2 + B y^2 - A B;
// e1 is twice f(x - 1, y + 1/2) and e2 twice f(x - 1/2, y + 1), each without the fraction
// 1/2 that B/2 or A/2 carries, which cannot change the sign tests.
template <typename T>
void walk(EllipsePainter& painter, T rx, T ry) {
    const T a = ry * ry, b = rx * rx;
    T x = rx, y = 0;
    // e1 = 2A(x-1)^2 + 2B(y^2+y) + B/2 - 2AB at (rx, 0) simplifies to 2A(1 - 2rx) + B/2.
    T e1 = 2 * a * (1 - 2 * rx) + b / 2;
    // e2 = 2A(x^2-x) + A/2 + 2B(y+1)^2 - 2AB at (rx, 0) simplifies to -2A rx + A/2 + 2B.
    T e2 = -2 * a * rx + a / 2 + 2 * b;
    while (e1 < 0) {
        painter.row(x, y);
        if (e2 >= 0) {
            e1 += 2 * a * (3 - 2 * x);
            e2 += -4 * a * (x - 1);
            --x;
        }
        e1 += 4 * b * (y + 1);
        e2 += 2 * b * (2 * y + 3);
        ++y;
    }
    while (x >= 0) {
        painter.region2(x, y);
        if (e1 < 0) {
            e1 += 4 * b * (y + 1);
            ++y;
        }
        e1 += 2 * a * (3 - 2 * x);
        --x;
    }
}

}  // namespace

void op_ellipse(DrawingSession& s, int cx, int cy, int rx, int ry) {
    if (rx < 0 || ry < 0 || rx > MaxRadius || ry > MaxRadius) return;
    const bool outline = (s.mode & Outline) != 0;
    std::vector<std::int64_t> widths;
    bool noted = false;
    if (!outline) {
        try {
            widths.assign(static_cast<std::size_t>(ry) + 1, -1);
            noted = true;
        } catch (const std::bad_alloc&) {
            noted = false;  // paint each row as the walk reaches it
        }
    }
    EllipsePainter painter{s, cx, cy, outline, noted ? &widths : nullptr};
    if (rx <= Max32BitRadius && ry <= Max32BitRadius)
        walk<std::int32_t>(painter, rx, ry);
    else
        walk<std::int64_t>(painter, rx, ry);
    if (noted) painter.paint_noted();
}

}  // namespace morvane
