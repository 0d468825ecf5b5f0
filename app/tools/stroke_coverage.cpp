// Tiles of a brush stroke: the press picture and the coverage each pixel took, and the dab
// row kernel that paints a pixel only when a dab covers it more than before.
#include "app/tools/stroke_coverage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "draw/blend_math.h"
#include "draw/blend_simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane {

namespace {

std::uint64_t key(std::int64_t tx, std::int64_t ty) {
    return static_cast<std::uint64_t>(ty) << 32 | static_cast<std::uint64_t>(tx);
}

// One row of a dab: n pixels of the target (blue, green, red, alpha), the same pixels before
// the stroke, the tip's pixels and the coverage each took. Pixels the tip covers more than
// their coverage (or as much, with `ties`) become the tip blended over their press value,
// with the Blend formula's exact integer arithmetic (the one the image drawing uses).
// Returns the first and last index painted; first is -1 when none was.
struct Painted {
    int first = -1, last = -1;
};

// The tip pixel blended once over the press pixel.
template <bool KeepAlpha>
inline void paint_once(std::uint8_t* d, const std::uint8_t* before, const std::uint8_t* s,
                       const std::uint64_t* rec) {
    const std::uint32_t sa = s[3], da = before[3];
    if (da == 0 || sa == 255) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
        d[3] = KeepAlpha ? before[3] : static_cast<std::uint8_t>(sa);
        return;
    }
    const std::uint32_t w = (255 - sa) * da, t = sa * 255;
    const std::uint64_t m = rec[sa << 8 | da];
    for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(blend_channel(s[c] * t, before[c], w, m));
    d[3] = KeepAlpha ? before[3] : static_cast<std::uint8_t>(blend_alpha(sa, da));
}

// At most one tile's width of pixels (64): the painted ones are the bits of one word.
template <bool KeepAlpha>
Painted dab_row(std::uint8_t* d, const std::uint8_t* before, const std::uint8_t* s, std::uint8_t* coverage,
                int n, bool ties) {
    std::uint64_t mask = 0;
    int i = 0;
#if defined(__SSE2__)
    // Sixteen pixels at a time: most of a dab lies where earlier dabs already covered the
    // picture as much, and is skipped on the comparison of the alphas alone.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const auto* sv = reinterpret_cast<const __m128i*>(s + 4 * i);
        const __m128i a01 = _mm_packs_epi32(_mm_srli_epi32(_mm_loadu_si128(sv), 24),
                                            _mm_srli_epi32(_mm_loadu_si128(sv + 1), 24));
        const __m128i a23 = _mm_packs_epi32(_mm_srli_epi32(_mm_loadu_si128(sv + 2), 24),
                                            _mm_srli_epi32(_mm_loadu_si128(sv + 3), 24));
        const __m128i alpha = _mm_packus_epi16(a01, a23);
        auto* cv = reinterpret_cast<__m128i*>(coverage + i);
        const __m128i had = _mm_loadu_si128(cv);
        const __m128i top = _mm_max_epu8(alpha, had);
        // Painted: alpha above the coverage, or (ties) as high and not zero.
        const unsigned higher_or_equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(top, alpha)));
        const unsigned equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(top, had)));
        const unsigned none = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(alpha, zero)));
        const unsigned bits = ties ? higher_or_equal & ~none & 0xFFFFu : ~equal & 0xFFFFu;
        if (!bits) continue;
        _mm_storeu_si128(cv, top);
        mask |= std::uint64_t{bits} << i;
    }
#endif
    for (; i < n; ++i) {
        const std::uint32_t sa = s[4 * i + 3], had = coverage[i];
        if (sa < had || sa == 0 || (sa == had && !ties)) continue;
        coverage[i] = static_cast<std::uint8_t>(sa);
        mask |= std::uint64_t{1} << i;
    }
    Painted painted;
    if (!mask) return painted;
    painted.first = __builtin_ctzll(mask);
    painted.last = 63 - __builtin_clzll(mask);
    // Each run of painted pixels: the press pixels back, then the tip blended over them by
    // the vector kernel where there is one.
    const std::uint64_t* rec = blend_reciprocal_table();
    while (mask) {
        const int start = __builtin_ctzll(mask);
        const std::uint64_t rest = ~(mask >> start);
        const int length = rest ? __builtin_ctzll(rest) : 64 - start;
        mask = start + length >= 64 ? 0 : mask & ~((std::uint64_t{1} << (start + length)) - 1);
        std::uint8_t* dr = d + 4 * start;
        const std::uint8_t* br = before + 4 * start;
        const std::uint8_t* sr = s + 4 * start;
        std::memcpy(dr, br, std::size_t(length) * 4);
        const int done = blend_row_simd(dr, sr, length, KeepAlpha);
        for (int k = done; k < length; ++k) paint_once<KeepAlpha>(dr + 4 * k, br + 4 * k, sr + 4 * k, rec);
    }
    return painted;
}

}  // namespace

StrokeCoverage::Tiles* StrokeCoverage::tile(const Bitmap& picture, std::int64_t tx, std::int64_t ty) {
    auto& slot = tiles_[key(tx, ty)];
    if (slot) return slot.get();
    slot.reset(new Tiles);
    std::memset(slot->coverage, 0, sizeof slot->coverage);
    // The press picture of the tile's part inside the picture.
    const int x = static_cast<int>(tx * Tile), y = static_cast<int>(ty * Tile);
    const int w = std::min(Tile, picture.width - x), h = std::min(Tile, picture.height - y);
    for (int r = 0; r < h; ++r)
        std::memcpy(&slot->before[std::size_t(r) * Tile], picture.row(y + r) + std::size_t(x) * 4,
                    std::size_t(w) * 4);
    return slot.get();
}

Rect StrokeCoverage::stamp(Bitmap& picture, const Bitmap& tip, int x, int y, bool keep_alpha, bool ties) {
    if (picture.bpp != 32 || tip.bpp != 32 || !picture.bits || !tip.bits) return {};
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + tip.width, picture.width);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + tip.height, picture.height);
    if (x1 <= x0 || y1 <= y0) return {};
    static_assert(Tile <= 64, "a dab row within a tile is one 64-bit mask");
    const auto row_kernel = keep_alpha ? dab_row<true> : dab_row<false>;
    Rect changed;
    try {
        for (std::int64_t ty = y0 / Tile; ty <= (y1 - 1) / Tile; ++ty) {
            for (std::int64_t tx = x0 / Tile; tx <= (x1 - 1) / Tile; ++tx) {
                Tiles* t = tile(picture, tx, ty);
                // The part of the dab inside this tile.
                const std::int64_t cx0 = std::max(x0, tx * Tile), cx1 = std::min(x1, (tx + 1) * Tile);
                const std::int64_t cy0 = std::max(y0, ty * Tile), cy1 = std::min(y1, (ty + 1) * Tile);
                const int n = static_cast<int>(cx1 - cx0);
                for (std::int64_t py = cy0; py < cy1; ++py) {
                    const std::size_t at = std::size_t((py - ty * Tile) * Tile + (cx0 - tx * Tile));
                    const Painted p = row_kernel(picture.row(static_cast<int>(py)) + cx0 * 4,
                                                 reinterpret_cast<const std::uint8_t*>(&t->before[at]),
                                                 tip.row(static_cast<int>(py - y)) + (cx0 - x) * 4,
                                                 &t->coverage[at], n, ties);
                    if (p.first >= 0)
                        changed = changed.united(Rect{cx0 + p.first, py, cx0 + p.last + 1, py + 1});
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the dab stops where it is; what it painted so far is reported.
    }
    return changed;
}

}  // namespace morvane
