// Internal pixel routines of the drawing layer: colour preparation, span and pixel
// painting, and the generic operations installed in every session's table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/session.h"

namespace morvane {

/// Paints n pixels from p, `step` bytes apart, with one writer and colour.
using SpanKernel = void (*)(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& color);

/// The kernel of a writer for 3 or 4 bytes per pixel; `row` kernels ignore `step` and
/// walk adjacent pixels.
SpanKernel span_kernel(Writer writer, int bytes_per_pixel, bool row);

/// Splits a colour into the writers' terms; `blend` pre-multiplies by its alpha.
void prepare_color(PreparedColor& out, Color color, bool blend);

/// Writes one pixel through the per-pixel colour routine (Gradient, PixelCallback).
void paint_pixel_routine(DrawingSession& session, int x, int y);

/// Horizontal and vertical spans of `length` pixels from (x, y) going right / down.
/// The caller clips: every pixel must lie inside the output.
void span_row(DrawingSession& session, int x, int y, int length);
void span_column(DrawingSession& session, int x, int y, int length);
/// One pixel inside the output with the front colour.
inline void paint_pixel(DrawingSession& session, int x, int y) {
    span_row(session, x, y, 1);
}

/// Horizontal span from x1 to x2 inclusive on row y, clipped to the output.
void span_row_clipped(DrawingSession& session, std::int64_t x1, std::int64_t x2, std::int64_t y);
/// Vertical span from y1 to y2 inclusive in column x, clipped to the output.
void span_column_clipped(DrawingSession& session, std::int64_t x, std::int64_t y1, std::int64_t y2);
/// One pixel, skipped when outside the output.
inline void plot_clipped(DrawingSession& session, std::int64_t x, std::int64_t y) {
    if (x >= 0 && y >= 0 && x < session.width && y < session.height)
        paint_pixel(session, static_cast<int>(x), static_cast<int>(y));
}

// The generic slots of the operation table.
void op_set_mode(DrawingSession& session, int mode);
void op_set_front(DrawingSession& session, Color color);
void op_set_background(DrawingSession& session, Color color);
void op_plot(DrawingSession& session, int x, int y);
void op_plot_color(DrawingSession& session, int x, int y, Color color);
Color op_read(DrawingSession& session, int x, int y);
void op_box(DrawingSession& session, int x, int y, int width, int height);
void op_line(DrawingSession& session, int x1, int y1, int x2, int y2);
void op_ellipse(DrawingSession& session, int x, int y, int rx, int ry);
void op_fill(DrawingSession& session, int x, int y, std::int64_t border);
/// The border value of op_fill that asks for the seed pixel's exact value, alpha included.
inline constexpr std::int64_t FillExactSeed = INT64_MIN;
void op_image(DrawingSession& session, std::intptr_t handle, int x, int y);
void op_alpha_image(DrawingSession& session, std::intptr_t handle, int x, int y, int alpha);

/// Frees the fill scratch space of a session (at its end).
void fill_scratch_release(DrawingSession& session);

/// Saturates a 64-bit coordinate into the 32-bit range.
inline int clamp_int(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

}  // namespace morvane
