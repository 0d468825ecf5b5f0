// Drawing modes: writer selection, colour preparation, the span kernels of every writer
// and the pixel reader.
#include <cstring>

#include "draw/blend_math.h"
#include "draw/blend_simd.h"
#include "draw/pixel_ops.h"

namespace morvane {

namespace {

inline std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void store32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

// Target bytes blue, green, red (, alpha) from a colour value.
inline std::uint32_t bgr_of(Color c) {
    return (c >> 16 & 255) | (c & 0xFF00) | (c & 255) << 16;
}

// Kernels: `Row` kernels walk adjacent pixels; column kernels walk `step` bytes.
template <int BPP, bool Row>
void k_default(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? BPP : step;
    if constexpr (BPP == 4) {
        const std::uint32_t v = bgr_of(c.color);
        for (int i = 0; i < n; ++i, p += d) store32(p, (load32(p) & 0xFF000000u) | v);
    } else {
        const auto b = static_cast<std::uint8_t>(c.blue), g = static_cast<std::uint8_t>(c.green),
                   r = static_cast<std::uint8_t>(c.red);
        for (int i = 0; i < n; ++i, p += d) p[0] = b, p[1] = g, p[2] = r;
    }
}

template <int BPP, bool Row>
void k_xor(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? BPP : step;
    const auto b = static_cast<std::uint8_t>(c.blue), g = static_cast<std::uint8_t>(c.green),
               r = static_cast<std::uint8_t>(c.red);
    for (int i = 0; i < n; ++i, p += d) p[0] ^= b, p[1] ^= g, p[2] ^= r;
}

template <bool Row>
void k_write_alpha(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? 4 : step;
    const std::uint32_t v = bgr_of(c.color) | c.alpha << 24;
    for (int i = 0; i < n; ++i, p += d) store32(p, v);
}

template <bool Row>
void k_alpha_only(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? 4 : step;
    const auto a = static_cast<std::uint8_t>(c.alpha);
    for (int i = 0; i < n; ++i, p += d) p[3] = a;
}

// Blend over 32-bit pixels; the terms are pre-multiplied (s * sa).
template <bool Row, bool KeepAlpha>
void k_blend(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? 4 : step;
    const std::uint32_t sa = c.alpha;
    if (sa == 0) return;
    if (sa == 255) {
        // Weight of the target is 0: the colour itself, alpha 255.
        if (KeepAlpha) return k_default<4, Row>(p, step, n, c);
        return k_write_alpha<Row>(p, step, n, c);
    }
    const std::uint64_t* rec = blend_reciprocal_table() + (sa << 8);
    const std::uint32_t ia = c.inverse;
    const std::uint32_t sb = c.blue * 255, sg = c.green * 255, sr = c.red * 255;
    const std::uint32_t zero_da = bgr_of(c.color) | (KeepAlpha ? 0 : sa << 24);
    if constexpr (Row) {
        const int done = blend_fill_simd(p, bgr_of(c.color) | sa << 24, n, KeepAlpha);
        p += 4 * done;
        n -= done;
    }
    for (int i = 0; i < n; ++i, p += d) {
        const std::uint32_t da = p[3];
        if (da == 0) {
            store32(p, zero_da);
            continue;
        }
        const std::uint32_t w = ia * da;
        const std::uint64_t m = rec[da];
        p[0] = static_cast<std::uint8_t>(blend_channel(sb, p[0], w, m));
        p[1] = static_cast<std::uint8_t>(blend_channel(sg, p[1], w, m));
        p[2] = static_cast<std::uint8_t>(blend_channel(sr, p[2], w, m));
        if (!KeepAlpha) p[3] = static_cast<std::uint8_t>(blend_alpha(sa, da));
    }
}

template <int BPP, bool Row>
void k_blend24(std::uint8_t* p, std::ptrdiff_t step, int n, const PreparedColor& c) {
    const std::ptrdiff_t d = Row ? BPP : step;
    const std::uint32_t ia = c.inverse;
    for (int i = 0; i < n; ++i, p += d) {
        p[0] = static_cast<std::uint8_t>((p[0] * ia + c.blue) / 255);
        p[1] = static_cast<std::uint8_t>((p[1] * ia + c.green) / 255);
        p[2] = static_cast<std::uint8_t>((p[2] * ia + c.red) / 255);
    }
}

void k_nothing(std::uint8_t*, std::ptrdiff_t, int, const PreparedColor&) {}

template <int BPP, bool Row>
SpanKernel kernel_of(Writer writer) {
    switch (writer) {
        case Writer::Default:
            return k_default<BPP, Row>;
        case Writer::Xor:
            return k_xor<BPP, Row>;
        case Writer::Blend24:
            return k_blend24<BPP, Row>;
        case Writer::WriteAlpha:
            if constexpr (BPP == 4) return k_write_alpha<Row>;
            return k_default<BPP, Row>;
        case Writer::AlphaOnly:
            if constexpr (BPP == 4) return k_alpha_only<Row>;
            return k_nothing;
        case Writer::Blend:
            if constexpr (BPP == 4) return k_blend<Row, false>;
            return k_blend24<BPP, Row>;
        case Writer::BlendKeepAlpha:
            if constexpr (BPP == 4) return k_blend<Row, true>;
            return k_blend24<BPP, Row>;
        case Writer::Nothing:
        case Writer::PerPixel:
            break;
    }
    return k_nothing;
}

// The writer for a mode on a target depth; the first matching flag wins.
Writer choose_writer(int mode, bool wide) {
    if (mode & (Gradient | PixelCallback)) return Writer::PerPixel;
    if (mode & Xor) return Writer::Xor;
    if (wide) {
        if (mode & WriteAlpha) return Writer::WriteAlpha;
        if (mode & AlphaOnly) return Writer::AlphaOnly;
        if (mode & Blend) return Writer::Blend;
        if (mode & BlendKeepAlpha) return Writer::BlendKeepAlpha;
        return Writer::Default;
    }
    if (mode & AlphaOnly) return Writer::Nothing;
    if (mode & (Blend | BlendKeepAlpha)) return Writer::Blend24;
    return Writer::Default;
}

bool blends(int mode) {
    return (mode & (Blend | BlendKeepAlpha)) && !(mode & (Xor | Gradient | PixelCallback | WriteAlpha));
}

}  // namespace

SpanKernel span_kernel(Writer writer, int bytes_per_pixel, bool row) {
    if (bytes_per_pixel == 4) return row ? kernel_of<4, true>(writer) : kernel_of<4, false>(writer);
    return row ? kernel_of<3, true>(writer) : kernel_of<3, false>(writer);
}

void prepare_color(PreparedColor& out, Color color, bool blend) {
    out.color = color;
    out.alpha = color >> 24;
    out.inverse = 255 - out.alpha;
    const std::uint32_t k = blend ? out.alpha : 1;
    out.red = color_red(color) * k;
    out.green = color_green(color) * k;
    out.blue = color_blue(color) * k;
}

void op_set_mode(DrawingSession& s, int mode) {
    const bool wide = s.target.bytes_per_pixel == 4;
    if (mode & WriteAlpha) {
        mode &= ~(AlphaOnly | Blend | BlendKeepAlpha);
        if (!wide) mode &= ~WriteAlpha;
    }
    s.mode = mode;
    s.blend_prepared = blends(mode);
    s.gradient_on = (mode & Gradient) != 0;
    s.callback_on = (mode & PixelCallback) != 0;
    s.writer = choose_writer(mode, wide);
    const int rest = mode & ~(Gradient | PixelCallback);
    s.pixel_writer = choose_writer(rest, wide);
    s.pixel_blend_prepared = blends(rest);
    s.reads_alpha = wide && (mode & (AlphaOnly | Blend | BlendKeepAlpha | PixelCallback | WriteAlpha));
    prepare_color(s.front_prepared, s.front, s.blend_prepared);
    prepare_color(s.background_prepared, s.background, s.blend_prepared);
}

void op_set_front(DrawingSession& s, Color color) {
    s.front = color;
    prepare_color(s.front_prepared, color, s.blend_prepared);
}

void op_set_background(DrawingSession& s, Color color) {
    s.background = color;
    prepare_color(s.background_prepared, color, s.blend_prepared);
}

void paint_pixel_routine(DrawingSession& s, int x, int y) {
    std::uint8_t* p = s.at(x, y);
    const bool wide = s.target.bytes_per_pixel == 4;
    Color color = s.front;
    if (s.gradient_on && s.ops.gradient) color = s.ops.gradient(x, y);
    if (!s.callback_on) {
        PreparedColor prepared;
        prepare_color(prepared, color, s.pixel_blend_prepared);
        span_kernel(s.pixel_writer, s.target.bytes_per_pixel, true)(p, 0, 1, prepared);
        return;
    }
    const Color target = rgba(p[2], p[1], p[0], wide ? p[3] : 255u);
    const Color v = s.ops.custom ? s.ops.custom(x, y, color, target) : target;
    p[0] = static_cast<std::uint8_t>(color_blue(v));
    p[1] = static_cast<std::uint8_t>(color_green(v));
    p[2] = static_cast<std::uint8_t>(color_red(v));
    if (wide) p[3] = static_cast<std::uint8_t>(v >> 24);
}

void span_row(DrawingSession& s, int x, int y, int length) {
    if (s.writer == Writer::PerPixel) {
        for (int i = 0; i < length; ++i) paint_pixel_routine(s, x + i, y);
        return;
    }
    span_kernel(s.writer, s.target.bytes_per_pixel, true)(s.at(x, y), s.target.bytes_per_pixel, length,
                                                          s.front_prepared);
}

void span_column(DrawingSession& s, int x, int y, int length) {
    if (s.writer == Writer::PerPixel) {
        for (int i = 0; i < length; ++i) paint_pixel_routine(s, x, y + i);
        return;
    }
    span_kernel(s.writer, s.target.bytes_per_pixel, false)(s.at(x, y), s.down_step(), length,
                                                           s.front_prepared);
}

void span_row_clipped(DrawingSession& s, std::int64_t x1, std::int64_t x2, std::int64_t y) {
    if (y < 0 || y >= s.height) return;
    if (x1 < 0) x1 = 0;
    if (x2 >= s.width) x2 = s.width - 1;
    if (x2 < x1) return;
    span_row(s, static_cast<int>(x1), static_cast<int>(y), static_cast<int>(x2 - x1 + 1));
}

void span_column_clipped(DrawingSession& s, std::int64_t x, std::int64_t y1, std::int64_t y2) {
    if (x < 0 || x >= s.width) return;
    if (y1 < 0) y1 = 0;
    if (y2 >= s.height) y2 = s.height - 1;
    if (y2 < y1) return;
    span_column(s, static_cast<int>(x), static_cast<int>(y1), static_cast<int>(y2 - y1 + 1));
}

void op_plot(DrawingSession& s, int x, int y) {
    plot_clipped(s, x, y);
}

void op_plot_color(DrawingSession& s, int x, int y, Color color) {
    if (color != s.front) op_set_front(s, color);
    plot_clipped(s, x, y);
}

Color op_read(DrawingSession& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return 0;
    const std::uint8_t* p = s.at(x, y);
    return rgba(p[2], p[1], p[0], s.reads_alpha ? p[3] : 0u);
}

}  // namespace morvane
