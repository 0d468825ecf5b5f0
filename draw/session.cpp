// Session lifecycle (prepare, begin, end), the image output and the command layer that
// forwards each drawing command to the current session's operation table.
#include "draw/session.h"

#include <utility>

#include "draw/pixel_ops.h"
#include "image/image.h"

namespace morvane {

namespace {

DrawingSession* g_current = nullptr;

std::intptr_t op_begin(DrawingSession& s) {
    if (!s.target.base) return 0;
    return reinterpret_cast<std::intptr_t>(&s);
}

void op_end(DrawingSession& s) {
    fill_scratch_release(s);
}

void op_release(DrawingSession& s, int stopped) {
    if (s.release_routine) s.release_routine(stopped);
}

void op_set_font(DrawingSession&, std::intptr_t) {}
std::uint8_t* op_buffer(DrawingSession& s) {
    return s.target.base;
}
std::ptrdiff_t op_pitch(DrawingSession& s) {
    return s.target.pitch;
}
int op_format(DrawingSession& s) {
    return s.target.format;
}

// The reset every new session gets: mode Default, colours 0, the generic slots.
void reset(DrawingSession& s, int format) {
    s.mode = Default;
    s.front = 0;
    s.background = 0;
    s.target.format = format;
    s.target.bytes_per_pixel = (format & (32 | FormatBgra32)) ? 4 : 3;
    OutputOperations& o = s.ops;
    o.set_background = op_set_background;
    o.box = op_box;
    o.set_mode = op_set_mode;
    o.ellipse = op_ellipse;
    o.fill = op_fill;
    o.set_front = op_set_front;
    o.line = op_line;
    o.plot = op_plot;
    o.plot_color = op_plot_color;
    o.read = op_read;
    o.buffer = op_buffer;
    o.pitch = op_pitch;
    o.format = op_format;
    o.set_mode(s, Default);
}

// Frees a session that is being replaced or ended.
void finish(DrawingSession* s, int stopped) {
    if (s->open && s->ops.end) s->ops.end(*s);
    if (s->ops.release) s->ops.release(*s, stopped);
    if (g_current == s) g_current = nullptr;
    delete s;
}

// Adds the origin to a coordinate without overflow.
int shifted(int v, int origin) {
    return clamp_int(static_cast<std::int64_t>(v) + origin);
}

// Makes `color` the front colour of the current session when it differs.
DrawingSession* with_color(Color color) {
    DrawingSession* s = g_current;
    if (s && color != s->front) {
        s->front = color;
        s->ops.set_front(*s, color);
    }
    return s;
}

}  // namespace

DrawingSession* drawing_current() {
    return g_current;
}

DrawingSession* drawing_output_prepare(std::uint8_t* bits, int width, int height, int stride, int bpp,
                                       std::function<void(int stopped)> release) {
    if (width <= 0 || height <= 0 || (bpp != 24 && bpp != 32)) return nullptr;
    const std::int64_t row_bytes = static_cast<std::int64_t>(width) * (bpp / 8);
    if (stride < row_bytes) return nullptr;
    // A session left current (never ended) is finished here instead of being lost.
    if (g_current) finish(g_current, g_current->open ? 1 : 0);
    auto* s = new DrawingSession;
    g_current = s;
    reset(*s, (bpp == 32 ? FormatBgra32 : FormatBgr24) | FormatBottomUp);
    s->ops.set_font = op_set_font;
    s->ops.image = op_image;
    s->ops.alpha_image = op_alpha_image;
    s->ops.begin = op_begin;
    s->ops.end = op_end;
    s->ops.release = op_release;
    s->release_routine = std::move(release);
    s->width = width;
    s->height = height;
    s->depth = bpp;
    s->target.base = bits;
    s->target.pitch = stride;
    s->target.bottom_up = true;
    return s;
}

DrawingSession* image_output(ObjectNumber number) {
    const Image* image = image_record(number);
    if (!image) return nullptr;
    const Bitmap* bitmap = bitmap_from_handle(image->handle);
    if (!bitmap || bitmap->kind != Bitmap::Kind::Pixels || !bitmap->bits) return nullptr;
    if (bitmap->bpp != 24 && bitmap->bpp != 32) return nullptr;
    return drawing_output_prepare(bitmap->bits, bitmap->width, bitmap->height, bitmap->stride, bitmap->bpp,
                                  nullptr);
}

std::intptr_t drawing_begin(DrawingSession* session) {
    if (!session) return 0;
    session->full_width = session->width;
    session->full_height = session->height;
    const std::intptr_t result = session->ops.begin ? session->ops.begin(*session) : 0;
    if (!result) {
        finish(session, 0);
        return 0;
    }
    if (session->ops.set_font) session->ops.set_font(*session, -1);
    session->open = true;
    return result;
}

void drawing_end() {
    if (g_current) finish(g_current, 1);
}

void drawing_mode_set(int mode) {
    if (g_current) g_current->ops.set_mode(*g_current, mode);
}

void draw_box(int x, int y, int width, int height, Color color) {
    if (DrawingSession* s = with_color(color))
        s->ops.box(*s, shifted(x, s->origin_x), shifted(y, s->origin_y), width, height);
}

void draw_line_xy(int x1, int y1, int x2, int y2, Color color) {
    if (DrawingSession* s = with_color(color))
        s->ops.line(*s, shifted(x1, s->origin_x), shifted(y1, s->origin_y), shifted(x2, s->origin_x),
                    shifted(y2, s->origin_y));
}

void draw_line(int x, int y, int width, int height, Color color) {
    if (width == 0 || height == 0) return;
    // The far end is width - 1 (or + 1 going left) pixels away, computed without overflow.
    const std::int64_t x2 = static_cast<std::int64_t>(x) + (width > 0 ? width - 1 : width + 1);
    const std::int64_t y2 = static_cast<std::int64_t>(y) + (height > 0 ? height - 1 : height + 1);
    draw_line_xy(x, y, clamp_int(x2), clamp_int(y2), color);
}

void draw_circle(int x, int y, int radius, Color color) {
    draw_ellipse(x, y, radius, radius, color);
}

void draw_ellipse(int x, int y, int radius_x, int radius_y, Color color) {
    if (DrawingSession* s = with_color(color))
        s->ops.ellipse(*s, shifted(x, s->origin_x), shifted(y, s->origin_y), radius_x, radius_y);
}

void fill_area(int x, int y, std::int64_t border, Color color) {
    if (DrawingSession* s = with_color(color))
        s->ops.fill(*s, shifted(x, s->origin_x), shifted(y, s->origin_y), border);
}

void fill_area_exact(int x, int y, Color color) {
    if (DrawingSession* s = with_color(color))
        s->ops.fill(*s, shifted(x, s->origin_x), shifted(y, s->origin_y), FillExactSeed);
}

void draw_image(std::intptr_t handle, int x, int y) {
    if (DrawingSession* s = g_current)
        if (s->ops.image) s->ops.image(*s, handle, shifted(x, s->origin_x), shifted(y, s->origin_y));
}

void draw_alpha_image(std::intptr_t handle, int x, int y, int alpha) {
    DrawingSession* s = g_current;
    if (!s) return;
    // Without its own slot an output draws the image plainly.
    if (s->ops.alpha_image)
        s->ops.alpha_image(*s, handle, shifted(x, s->origin_x), shifted(y, s->origin_y), alpha);
    else if (s->ops.image)
        s->ops.image(*s, handle, shifted(x, s->origin_x), shifted(y, s->origin_y));
}

}  // namespace morvane
