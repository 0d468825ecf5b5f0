// Drawing images: resolving the source, clipping, and one row kernel per call chosen by
// mode and the source and target depths.
#include <cstring>
#include <vector>

#include "draw/blend_math.h"
#include "draw/blend_simd.h"
#include "draw/pixel_ops.h"
#include "image/bitmap.h"

namespace morvane {

namespace {

// A source picture: top row first through row(), 3 or 4 bytes per pixel.
struct Source {
    const std::uint8_t* bits = nullptr;  // memory row 0 = bottom line
    int width = 0, height = 0, bytes = 0;
    std::ptrdiff_t stride = 0;
    std::vector<std::uint8_t> owned;

    const std::uint8_t* row(int y) const { return bits + (height - 1 - y) * stride; }
};

// A 1-bit mask (most significant bit first, 0 black, 1 white) as 24-bit pixels.
void widen_mask(const Bitmap& b, Source& out) {
    out.width = b.width, out.height = b.height, out.bytes = 3;
    out.stride = (static_cast<std::ptrdiff_t>(b.width) * 3 + 3) / 4 * 4;
    out.owned.assign(static_cast<std::size_t>(out.stride) * b.height, 0);
    for (int r = 0; r < b.height; ++r) {
        const std::uint8_t* in = b.bits + static_cast<std::ptrdiff_t>(r) * b.stride;
        std::uint8_t* o = out.owned.data() + r * out.stride;
        for (int x = 0; x < b.width; ++x)
            if (in[x >> 3] & (0x80 >> (x & 7))) std::memset(o + 3 * x, 255, 3);
    }
    out.bits = out.owned.data();
}

enum class Op { Nothing, Copy, CopyColor, Xor, CopyColorAlpha, AlphaSet, Blend, BlendKeep, Blend24 };

// The first row of the image-pixel rules that matches.
Op choose_op(int mode, bool wide_source, bool wide_target, int k, bool use_alpha) {
    if (mode & Xor) return Op::Xor;
    if (wide_target && (mode & WriteAlpha)) return wide_source && k == 255 ? Op::Copy : Op::CopyColorAlpha;
    if (mode & AlphaOnly) return wide_target ? Op::AlphaSet : Op::Nothing;
    if (wide_source || wide_target) {
        if (mode & Blend) return wide_target ? Op::Blend : Op::Blend24;
        if (mode & BlendKeepAlpha) return wide_target ? Op::BlendKeep : Op::Blend24;
    }
    if (wide_source && use_alpha) return wide_target ? Op::Blend : Op::Blend24;
    if (wide_source) return Op::CopyColor;
    if (k == 255) return wide_target ? Op::CopyColor : Op::Copy;
    if (k == 0) return Op::Nothing;
    return wide_target ? Op::Blend : Op::Blend24;
}

// Effective source alpha: the pixel's own scaled by k (32-bit sources), else k.
template <int SB>
inline std::uint32_t source_alpha(const std::uint8_t* s, std::uint32_t k) {
    if constexpr (SB == 4) return k == 255 ? s[3] : k * s[3] / 255;
    return k;
}

template <int SB, int TB, Op op>
void row_kernel(std::uint8_t* d, const std::uint8_t* s, int n, std::uint32_t k) {
    if constexpr (op == Op::Copy) {
        std::memcpy(d, s, static_cast<std::size_t>(n) * TB);
        return;
    }
    if constexpr ((op == Op::Blend || op == Op::BlendKeep) && SB == 4 && TB == 4) {
        if (k == 255) {
            const int done = blend_row_simd(d, s, n, op == Op::BlendKeep);
            d += 4 * done, s += 4 * done, n -= done;
        }
    }
    const std::uint64_t* rec = blend_reciprocal_table();
    for (int i = 0; i < n; ++i, d += TB, s += SB) {
        if constexpr (op == Op::CopyColor) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
        } else if constexpr (op == Op::Xor) {
            d[0] ^= s[0], d[1] ^= s[1], d[2] ^= s[2];
        } else if constexpr (op == Op::CopyColorAlpha) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            d[3] = static_cast<std::uint8_t>(source_alpha<SB>(s, k));
        } else if constexpr (op == Op::AlphaSet) {
            d[3] = static_cast<std::uint8_t>(source_alpha<SB>(s, k));
        } else if constexpr (op == Op::Blend24) {
            const std::uint32_t sa = source_alpha<SB>(s, k), ia = 255 - sa;
            for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>((d[c] * ia + s[c] * sa) / 255);
        } else if constexpr (op == Op::Blend || op == Op::BlendKeep) {
            const std::uint32_t sa = source_alpha<SB>(s, k);
            if (sa == 0) continue;
            const std::uint32_t da = d[3];
            if (da == 0 || sa == 255) {
                // Target weight 0: the source colour exactly, alpha sa (255 when opaque).
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
                if (op == Op::Blend) d[3] = static_cast<std::uint8_t>(sa);
                continue;
            }
            const std::uint32_t w = (255 - sa) * da, t = sa * 255;
            const std::uint64_t m = rec[sa << 8 | da];
            for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(blend_channel(s[c] * t, d[c], w, m));
            if (op == Op::Blend) d[3] = static_cast<std::uint8_t>(blend_alpha(sa, da));
        }
    }
}

using RowKernel = void (*)(std::uint8_t*, const std::uint8_t*, int, std::uint32_t);

template <int SB, int TB>
RowKernel kernel_for(Op op) {
    switch (op) {
        case Op::Copy:
            return row_kernel<SB, TB, Op::Copy>;
        case Op::CopyColor:
            return row_kernel<SB, TB, Op::CopyColor>;
        case Op::Xor:
            return row_kernel<SB, TB, Op::Xor>;
        case Op::Blend24:
            return row_kernel<SB, TB, Op::Blend24>;
        case Op::Nothing:
            break;
        default:
            if constexpr (TB == 4) {
                if (op == Op::CopyColorAlpha) return row_kernel<SB, TB, Op::CopyColorAlpha>;
                if (op == Op::AlphaSet) return row_kernel<SB, TB, Op::AlphaSet>;
                if (op == Op::Blend) return row_kernel<SB, TB, Op::Blend>;
                if (op == Op::BlendKeep) return row_kernel<SB, TB, Op::BlendKeep>;
            }
            break;
    }
    return nullptr;
}

RowKernel kernel_for(Op op, int sb, int tb) {
    if (sb == 4) return tb == 4 ? kernel_for<4, 4>(op) : kernel_for<4, 3>(op);
    return tb == 4 ? kernel_for<3, 4>(op) : kernel_for<3, 3>(op);
}

// The custom routine per pixel: source colour with its effective alpha, target pixel.
void draw_with_routine(DrawingSession& s, const Source& src, int i0, int j0, int tx, int ty, int w, int h,
                       std::uint32_t k) {
    const bool wide = s.target.bytes_per_pixel == 4;
    for (int j = 0; j < h; ++j) {
        const std::uint8_t* sp = src.row(j0 + j) + static_cast<std::ptrdiff_t>(i0) * src.bytes;
        for (int i = 0; i < w; ++i, sp += src.bytes) {
            std::uint8_t* d = s.at(tx + i, ty + j);
            const std::uint32_t sa = src.bytes == 4 ? source_alpha<4>(sp, k) : k;
            const Color color = rgba(sp[2], sp[1], sp[0], sa);
            const Color target = rgba(d[2], d[1], d[0], wide ? d[3] : 255u);
            const Color v = s.ops.custom ? s.ops.custom(tx + i, ty + j, color, target) : target;
            d[0] = static_cast<std::uint8_t>(color_blue(v));
            d[1] = static_cast<std::uint8_t>(color_green(v));
            d[2] = static_cast<std::uint8_t>(color_red(v));
            if (wide) d[3] = static_cast<std::uint8_t>(v >> 24);
        }
    }
}

void draw(DrawingSession& s, std::intptr_t handle, int x, int y, int alpha, bool use_alpha_call) {
    const Bitmap* b = bitmap_from_handle(handle);
    if (!b || !b->bits || b->width <= 0 || b->height <= 0) return;
    const bool icon = b->kind == Bitmap::Kind::Icon;
    // Icons are 32-bit pictures with straight alpha: both calls draw them with their alpha,
    // so an opened icon file does not come out blank.
    const bool use_alpha = use_alpha_call || icon;
    const std::uint32_t k = static_cast<std::uint32_t>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha);

    Source src;
    if (icon || b->bpp == 32 || b->bpp == 24) {
        if (icon && b->bpp != 32) return;
        src.bits = b->bits, src.width = b->width, src.height = b->height;
        src.bytes = b->bpp / 8, src.stride = b->stride;
    } else if (b->bpp == 1) {
        widen_mask(*b, src);
    } else {
        return;
    }

    // Clip in 64 bits: skipped source columns and rows on the left and top, cut on the
    // right and bottom.
    const std::int64_t i0 = x < 0 ? -std::int64_t{x} : 0, j0 = y < 0 ? -std::int64_t{y} : 0;
    const std::int64_t i1 = std::min<std::int64_t>(src.width, std::int64_t{s.width} - x);
    const std::int64_t j1 = std::min<std::int64_t>(src.height, std::int64_t{s.height} - y);
    if (i1 - i0 <= 0 || j1 - j0 <= 0) return;
    const int w = static_cast<int>(i1 - i0), h = static_cast<int>(j1 - j0);
    const int tx = static_cast<int>(x + i0), ty = static_cast<int>(y + j0);

    // Drawing an image onto its own pixels reads a copy, so no row reads written pixels.
    const auto address = [](const std::uint8_t* p) { return reinterpret_cast<std::uintptr_t>(p); };
    const std::uintptr_t t_lo = address(s.target.base), t_hi = t_lo + s.target.pitch * s.height;
    const std::uintptr_t s_lo = address(src.bits), s_hi = s_lo + src.stride * src.height;
    if (src.owned.empty() && s_lo < t_hi && s_hi > t_lo) {
        src.owned.assign(src.bits, src.bits + src.stride * src.height);
        src.bits = src.owned.data();
    }

    if (s.mode & PixelCallback)
        return draw_with_routine(s, src, static_cast<int>(i0), static_cast<int>(j0), tx, ty, w, h, k);
    const int tb = s.target.bytes_per_pixel;
    const RowKernel kernel =
        kernel_for(choose_op(s.mode, src.bytes == 4, tb == 4, static_cast<int>(k), use_alpha), src.bytes, tb);
    if (!kernel) return;
    // Rows in the order the target lies in memory, so the processor streams through it
    // (sources are stored bottom-up like the outputs).
    for (int i = 0; i < h; ++i) {
        const int j = s.target.bottom_up ? h - 1 - i : i;
        kernel(s.at(tx, ty + j), src.row(static_cast<int>(j0) + j) + i0 * src.bytes, w, k);
    }
}

}  // namespace

void op_image(DrawingSession& s, std::intptr_t handle, int x, int y) {
    draw(s, handle, x, y, 255, false);
}

void op_alpha_image(DrawingSession& s, std::intptr_t handle, int x, int y, int alpha) {
    draw(s, handle, x, y, alpha, true);
}

}  // namespace morvane
