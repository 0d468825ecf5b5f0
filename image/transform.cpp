// Mirrors and quarter turns. Quarter turns walk the picture in square blocks so that both the
// rows read and the rows written stay in the cache; mirrors swap pixels in place.
#include "image/transform.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace morvane {

namespace {

// Copies one pixel of `bytes` bytes (3 or 4).
inline void copy_pixel(std::uint8_t* to, const std::uint8_t* from, int bytes) {
    if (bytes == 4)
        std::memcpy(to, from, 4);
    else
        std::memcpy(to, from, 3);
}

// Writes into `target` (width x height after the turn) the rectangle (x, y, w, h) of
// `source` turned. Target pixel (tx, ty) takes source pixel (x + sx, y + sy) where
//   clockwise:          sx = ty,         sy = h - 1 - tx
//   counter-clockwise:  sx = w - 1 - ty, sy = tx
// and the other turns map rows to rows.
void turn_into(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
               Turn turn, Bitmap& target) {
    const int bytes = source.bpp / 8;
    if (!turn_swaps_sides(turn)) {
        for (std::int32_t ty = 0; ty < h; ++ty) {
            const std::int32_t sy = turn == Turn::FlipHorizontal ? ty : h - 1 - ty;
            const std::uint8_t* from = source.row(y + sy) + static_cast<std::ptrdiff_t>(x) * bytes;
            std::uint8_t* to = target.row(ty);
            if (turn == Turn::FlipVertical) {
                std::memcpy(to, from, static_cast<std::size_t>(w) * bytes);
                continue;
            }
            for (std::int32_t tx = 0; tx < w; ++tx)
                copy_pixel(to + static_cast<std::ptrdiff_t>(tx) * bytes, from + static_cast<std::ptrdiff_t>(w - 1 - tx) * bytes,
                           bytes);
        }
        return;
    }
    const bool clockwise = turn == Turn::Clockwise;
    // Target pixel (tx, ty) reads source pixel (x + sx, y + sy) with sx = ty, sy = h - 1 - tx
    // (clockwise) or sx = w - 1 - ty, sy = tx. Along a target row the source steps one row
    // up (clockwise: +stride in the bottom-up memory) or down.
    const std::ptrdiff_t step = clockwise ? source.stride : -static_cast<std::ptrdiff_t>(source.stride);
    auto source_at = [&](std::int32_t tx, std::int32_t ty) {
        const std::int32_t sx = clockwise ? ty : w - 1 - ty, sy = clockwise ? h - 1 - tx : tx;
        return source.row(y + sy) + static_cast<std::ptrdiff_t>(x + sx) * bytes;
    };
    // One target row from tx0 to tx1, a pixel at a time.
    auto span = [&](std::int32_t ty, std::int32_t tx0, std::int32_t tx1) {
        const std::uint8_t* from = source_at(tx0, ty);
        std::uint8_t* to = target.row(ty) + static_cast<std::ptrdiff_t>(tx0) * bytes;
        for (std::int32_t tx = tx0; tx < tx1; ++tx, from += step, to += bytes) std::memcpy(to, from, bytes);
    };
    const std::int32_t rows4 = bytes == 4 ? w & ~3 : 0, columns4 = bytes == 4 ? h & ~3 : 0;
    // 32-bit pixels in 4 x 4 groups, transposed in registers, walked in 64 x 64 blocks so that
    // the source rows of a block stay in the cache.
    constexpr std::int32_t Block = 64;
    for (std::int32_t by = 0; by < rows4; by += Block) {
        const std::int32_t ey = std::min(by + Block, rows4);
        for (std::int32_t bx = 0; bx < columns4; bx += Block) {
            const std::int32_t ex = std::min(bx + Block, columns4);
            for (std::int32_t ty = by; ty < ey; ty += 4) {
                for (std::int32_t tx = bx; tx < ex; tx += 4) {
                    // Four source rows, each holding the 4 pixels of target column tx + i for the
                    // target rows ty..ty+3 (in reverse order when turning counter-clockwise).
                    const std::uint8_t* p = source_at(tx, clockwise ? ty : ty + 3);
                    __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                    __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + step));
                    __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * step));
                    __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * step));
                    const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
                    const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
                    r0 = _mm_unpacklo_epi64(t0, t1);
                    r1 = _mm_unpackhi_epi64(t0, t1);
                    r2 = _mm_unpacklo_epi64(t2, t3);
                    r3 = _mm_unpackhi_epi64(t2, t3);
                    const __m128i lines[4] = {r0, r1, r2, r3};
                    for (int j = 0; j < 4; ++j) {
                        const std::int32_t row = clockwise ? ty + j : ty + 3 - j;
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(target.row(row) + 4 * tx), lines[j]);
                    }
                }
            }
        }
    }
    // What the groups left: the right columns of their rows, and the rows below them.
    for (std::int32_t ty = 0; ty < rows4; ++ty)
        if (columns4 < h) span(ty, columns4, h);
    for (std::int32_t ty = rows4; ty < w; ++ty) span(ty, 0, h);
}

// Swaps pixel x of row `a` with pixel w - 1 - x of row `b` for x = 0 .. count - 1.
void swap_reversed(std::uint8_t* a, std::uint8_t* b, std::int32_t count, std::int32_t w, int bytes) {
    for (std::int32_t x = 0; x < count; ++x) {
        std::uint8_t* p = a + static_cast<std::ptrdiff_t>(x) * bytes;
        std::uint8_t* q = b + static_cast<std::ptrdiff_t>(w - 1 - x) * bytes;
        std::uint8_t t[4];
        copy_pixel(t, p, bytes);
        copy_pixel(p, q, bytes);
        copy_pixel(q, t, bytes);
    }
}

// Transposes the 4 x 4 group of 32-bit pixels whose top-left pixel is at `p` (rows `step`
// bytes apart) in registers.
struct Group {
    __m128i r[4];
};
inline Group load_transposed(const std::uint8_t* p, std::ptrdiff_t step) {
    const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + step));
    const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * step));
    const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * step));
    const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
    const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
    return Group{{_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1), _mm_unpacklo_epi64(t2, t3),
                  _mm_unpackhi_epi64(t2, t3)}};
}
inline void store(std::uint8_t* p, std::ptrdiff_t step, const Group& g) {
    for (int j = 0; j < 4; ++j) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + j * step), g.r[j]);
}

// Swaps pixel (x, y) with pixel (y, x) of a square picture, walking 64 x 64 blocks above the
// diagonal against their mirror blocks so that both stay in the cache; 32-bit pictures whose
// side is a multiple of 4 go by 4 x 4 groups transposed in registers.
void transpose_square(Bitmap& picture) {
    const int bytes = picture.bpp / 8;
    const std::int32_t n = picture.width;
    constexpr std::int32_t Block = 64;
    if (bytes == 4 && n % 4 == 0) {
        const std::ptrdiff_t step = -static_cast<std::ptrdiff_t>(picture.stride);  // row y to y + 1
        for (std::int32_t by = 0; by < n; by += Block) {
            const std::int32_t ey = std::min(by + Block, n);
            for (std::int32_t bx = by; bx < n; bx += Block) {
                const std::int32_t ex = std::min(bx + Block, n);
                for (std::int32_t y = by; y < ey; y += 4) {
                    for (std::int32_t x = bx == by ? y : bx; x < ex; x += 4) {
                        std::uint8_t* a = picture.row(y) + 4 * static_cast<std::ptrdiff_t>(x);
                        if (x == y) {
                            store(a, step, load_transposed(a, step));
                            continue;
                        }
                        std::uint8_t* m = picture.row(x) + 4 * static_cast<std::ptrdiff_t>(y);
                        const Group ga = load_transposed(a, step), gm = load_transposed(m, step);
                        store(a, step, gm);
                        store(m, step, ga);
                    }
                }
            }
        }
        return;
    }
    for (std::int32_t by = 0; by < n; by += Block) {
        const std::int32_t ey = std::min(by + Block, n);
        for (std::int32_t bx = by; bx < n; bx += Block) {
            const std::int32_t ex = std::min(bx + Block, n);
            for (std::int32_t y = by; y < ey; ++y) {
                std::uint8_t* row = picture.row(y);
                const std::ptrdiff_t column = static_cast<std::ptrdiff_t>(y) * bytes;
                for (std::int32_t x = bx == by ? y + 1 : bx; x < ex; ++x) {
                    std::uint8_t* a = row + static_cast<std::ptrdiff_t>(x) * bytes;
                    std::uint8_t* b = picture.row(x) + column;
                    std::uint8_t t[4];
                    copy_pixel(t, a, bytes);
                    copy_pixel(a, b, bytes);
                    copy_pixel(b, t, bytes);
                }
            }
        }
    }
}

void flip_rows(Bitmap& picture) {
    const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.bpp / 8);
    std::uint8_t line[4 * 64];
    for (std::int32_t top = 0, bottom = picture.height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = picture.row(top);
        std::uint8_t* b = picture.row(bottom);
        for (std::size_t i = 0; i < row_bytes; i += sizeof line) {
            const std::size_t n = std::min(sizeof line, row_bytes - i);
            std::memcpy(line, a + i, n);
            std::memcpy(a + i, b + i, n);
            std::memcpy(b + i, line, n);
        }
    }
}

}  // namespace

Turn turn_inverse(Turn turn) {
    switch (turn) {
        case Turn::Clockwise:
            return Turn::CounterClockwise;
        case Turn::CounterClockwise:
            return Turn::Clockwise;
        default:
            return turn;  // mirrors and the half turn undo themselves
    }
}

Bitmap* bitmap_turned(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, Turn turn) {
    if (source.kind != Bitmap::Kind::Pixels || (source.bpp != 24 && source.bpp != 32)) return nullptr;
    if (x < 0 || y < 0 || width < 1 || height < 1 || width > source.width - x || height > source.height - y)
        return nullptr;
    const bool swap = turn_swaps_sides(turn);
    Bitmap* target = bitmap_create(swap ? height : width, swap ? width : height, source.bpp);
    if (!target) return nullptr;
    turn_into(source, x, y, width, height, turn, *target);
    return target;
}

bool bitmap_turn(Bitmap& picture, Turn turn) {
    if (picture.kind != Bitmap::Kind::Pixels || (picture.bpp != 24 && picture.bpp != 32)) return false;
    const int bytes = picture.bpp / 8;
    const std::int32_t w = picture.width, h = picture.height;
    if (turn == Turn::FlipVertical) {
        flip_rows(picture);
        return true;
    }
    if (turn == Turn::HalfTurn) {
        // Pixel (x, top) <-> (w - 1 - x, bottom); on the middle row only half of it.
        for (std::int32_t top = 0, bottom = h - 1; top <= bottom; ++top, --bottom)
            swap_reversed(picture.row(top), picture.row(bottom), top == bottom ? w / 2 : w, w, bytes);
        return true;
    }
    if (turn == Turn::FlipHorizontal) {
        for (std::int32_t y = 0; y < h; ++y) swap_reversed(picture.row(y), picture.row(y), w / 2, w, bytes);
        return true;
    }
    if (w == h) {
        // A square turns where it is, with no second picture: the transpose puts pixel (x, y)
        // at (y, x); a mirror then makes it a clockwise (left-right) or counter-clockwise
        // (top-bottom) quarter turn.
        transpose_square(picture);
        if (turn == Turn::Clockwise) return bitmap_turn(picture, Turn::FlipHorizontal);
        flip_rows(picture);
        return true;
    }
    Bitmap* turned = bitmap_turned(picture, 0, 0, w, h, turn);
    if (!turned) return false;
    // The picture keeps its identity (its handle); only its storage and sides change.
    std::swap(picture.width, turned->width);
    std::swap(picture.height, turned->height);
    std::swap(picture.stride, turned->stride);
    std::swap(picture.bits, turned->bits);
    std::swap(picture.mapped_bytes, turned->mapped_bytes);
    bitmap_destroy(turned);
    return true;
}

}  // namespace morvane
