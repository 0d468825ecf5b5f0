// Colour replacement: tile by tile, so that only tiles holding a match are reported to the
// undo history, with four pixels compared at a time where the processor allows.
#include "palette/replace.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "image/bitmap.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane {

namespace {

constexpr int kTile = 64;

// Colour to the word of a 32-bit pixel in memory (blue, green, red, alpha bytes).
std::uint32_t to_word(Color c) {
    return color_blue(c) | color_green(c) << 8 | color_red(c) << 16 | (c & 0xFF000000u);
}

struct RowKernel {
    std::uint32_t from = 0;   // pixel word to match
    std::uint32_t keep = 0;   // bits of the old pixel kept (its alpha when `to` is opaque)
    std::uint32_t put = 0;    // bits of the new colour written
    std::uint32_t tolerance = 0;

    bool matches(std::uint32_t p) const {
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = static_cast<int>(p >> shift & 255), b = static_cast<int>(from >> shift & 255);
            if (static_cast<std::uint32_t>(std::abs(a - b)) > tolerance) return false;
        }
        return true;
    }

    // True when a pixel of the row matches.
    bool any(const std::uint8_t* row, int n) const {
        int x = 0;
#if defined(__SSE2__)
        const __m128i f = _mm_set1_epi32(static_cast<int>(from));
        const __m128i t = _mm_set1_epi8(static_cast<char>(tolerance));
        const __m128i zero = _mm_setzero_si128();
        for (; x + 4 <= n; x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * x));
            const __m128i d = _mm_or_si128(_mm_subs_epu8(p, f), _mm_subs_epu8(f, p));
            const __m128i m = _mm_cmpeq_epi32(_mm_subs_epu8(d, t), zero);
            if (_mm_movemask_epi8(m) != 0) return true;
        }
#endif
        for (; x < n; ++x) {
            std::uint32_t p;
            std::memcpy(&p, row + 4 * x, 4);
            if (matches(p)) return true;
        }
        return false;
    }

    // Replaces the matching pixels of the row; returns how many matched.
    std::uint64_t replace(std::uint8_t* row, int n) const {
        std::uint64_t count = 0;
        int x = 0;
#if defined(__SSE2__)
        const __m128i f = _mm_set1_epi32(static_cast<int>(from));
        const __m128i t = _mm_set1_epi8(static_cast<char>(tolerance));
        const __m128i k = _mm_set1_epi32(static_cast<int>(keep));
        const __m128i w = _mm_set1_epi32(static_cast<int>(put));
        const __m128i zero = _mm_setzero_si128();
        for (; x + 4 <= n; x += 4) {
            __m128i* at = reinterpret_cast<__m128i*>(row + 4 * x);
            const __m128i p = _mm_loadu_si128(at);
            const __m128i d = _mm_or_si128(_mm_subs_epu8(p, f), _mm_subs_epu8(f, p));
            const __m128i m = _mm_cmpeq_epi32(_mm_subs_epu8(d, t), zero);
            const int bits = _mm_movemask_ps(_mm_castsi128_ps(m));
            if (bits == 0) continue;
            count += static_cast<std::uint64_t>(std::popcount(static_cast<unsigned>(bits)));
            const __m128i fresh = _mm_or_si128(_mm_and_si128(p, k), w);
            _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(m, fresh), _mm_andnot_si128(m, p)));
        }
#endif
        for (; x < n; ++x) {
            std::uint32_t p;
            std::memcpy(&p, row + 4 * x, 4);
            if (!matches(p)) continue;
            ++count;
            p = (p & keep) | put;
            std::memcpy(row + 4 * x, &p, 4);
        }
        return count;
    }
};

// 24-bit pictures: every pixel counts as opaque; only red, green and blue are written.
std::uint64_t replace_24(Bitmap& picture, const ColourReplacement& r, PixelArea area, const BeforeChange& before) {
    const RowKernel kernel{to_word(r.from), 0, 0, static_cast<std::uint32_t>(std::clamp(r.tolerance, 0, 255))};
    std::uint64_t count = 0;
    for (std::int32_t ty = area.y0; ty < area.y1; ty = (ty / kTile + 1) * kTile) {
        const std::int32_t y1 = std::min(area.y1, (ty / kTile + 1) * kTile);
        for (std::int32_t tx = area.x0; tx < area.x1; tx = (tx / kTile + 1) * kTile) {
            const std::int32_t x1 = std::min(area.x1, (tx / kTile + 1) * kTile);
            bool told = false;
            for (std::int32_t y = ty; y < y1; ++y) {
                std::uint8_t* p = picture.row(y);
                for (std::int32_t x = tx; x < x1; ++x) {
                    if (!kernel.matches(to_word(rgba(p[3 * x + 2], p[3 * x + 1], p[3 * x], 255)))) continue;
                    if (!told && before) before(PixelArea{tx, ty, x1, y1});
                    told = true;
                    ++count;
                    p[3 * x] = static_cast<std::uint8_t>(color_blue(r.to));
                    p[3 * x + 1] = static_cast<std::uint8_t>(color_green(r.to));
                    p[3 * x + 2] = static_cast<std::uint8_t>(color_red(r.to));
                }
            }
        }
    }
    return count;
}

}  // namespace

std::uint64_t replace_colour(Bitmap& picture, const ColourReplacement& r, const BeforeChange& before_change) {
    const PixelArea area = clip_area(picture, r.area);
    if (area.empty() || !picture.bits) return 0;
    if (picture.bpp == 24) return replace_24(picture, r, area, before_change);
    const bool opaque = (r.to >> 24) == 255;
    RowKernel kernel;
    kernel.from = to_word(r.from);
    kernel.keep = opaque ? 0xFF000000u : 0;
    kernel.put = to_word(r.to) & ~kernel.keep;
    kernel.tolerance = static_cast<std::uint32_t>(std::clamp(r.tolerance, 0, 255));
    std::uint64_t count = 0;
    // Tiles aligned on the picture's origin: a tile is reported once, before its first change.
    for (std::int32_t ty = area.y0; ty < area.y1; ty = (ty / kTile + 1) * kTile) {
        const std::int32_t y1 = std::min(area.y1, (ty / kTile + 1) * kTile);
        for (std::int32_t tx = area.x0; tx < area.x1; tx = (tx / kTile + 1) * kTile) {
            const std::int32_t x1 = std::min(area.x1, (tx / kTile + 1) * kTile);
            const int n = x1 - tx;
            std::int32_t y = ty;
            while (y < y1 && !kernel.any(picture.row(y) + 4 * tx, n)) ++y;
            if (y == y1) continue;
            if (before_change) before_change(PixelArea{tx, ty, x1, y1});
            for (; y < y1; ++y) count += kernel.replace(picture.row(y) + 4 * tx, n);
        }
    }
    return count;
}

}  // namespace morvane
