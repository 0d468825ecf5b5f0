// The Blend kernels 16 pixels at a time with AVX-512, bit-identical to the scalar writers.
// Row ends are handled with masked loads and stores, so a span needs no scalar finish.
#include "draw/blend_simd_internal.h"

#ifdef MORVANE_BLEND_X86

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 headers build some results from deliberately undefined vectors.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,fma"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl,fma")
#endif
#include <immintrin.h>

namespace morvane {

namespace {

// Byte `index` of each 32-bit pixel as a float (the shuffle works within 128-bit lanes).
inline __m512 channel(__m512i v, int index) {
    const __m512i pick = _mm512_add_epi32(_mm512_set4_epi32(12, 8, 4, 0),
                                          _mm512_set1_epi32(static_cast<int>(0x80808000u) | index));
    return _mm512_cvtepi32_ps(_mm512_shuffle_epi8(v, pick));
}

// 1/d raised by about 2^-20 in one step: the estimate is within 2^-14 of 1/d, and the
// Newton step r0 * (2 + 2^-20 - d * r0) = (1/d)(1 + 2^-20 - e^2 + ...) lands above 1/d by
// at least 2^-21 and at most about 2^-20, relative.
inline __m512 reciprocal_up(__m512 d) {
    const __m512 r0 = _mm512_rcp14_ps(d);
    const __m512 e = _mm512_fnmadd_ps(d, r0, _mm512_set1_ps(1.0f + 0x1p-20f));
    return _mm512_fmadd_ps(r0, e, r0);
}

// n / d truncated, for integers held exactly in floats (n < 2^24, d < 2^16, quotient < 257):
// the raised reciprocal gives the quotient or one more, and the exact remainder says which.
inline __m512i divide(__m512 n, __m512 d, __m512 rd) {
    const __m512 q = _mm512_roundscale_ps(_mm512_mul_ps(n, rd), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __mmask16 over = _mm512_cmp_ps_mask(_mm512_fnmadd_ps(q, d, n), _mm512_setzero_ps(), _CMP_LT_OQ);
    const __m512i qi = _mm512_cvttps_epi32(q);
    return _mm512_mask_sub_epi32(qi, over, qi, _mm512_set1_epi32(1));
}

// Four channel quotients (blue, green, red, alpha) back to pixels.
inline __m512i pack(__m512i b, __m512i g, __m512i r, __m512i a) {
    const __m512i bytes = _mm512_packus_epi16(_mm512_packus_epi32(b, g), _mm512_packus_epi32(r, a));
    const __m512i order = _mm512_set4_epi32(0x0F0B0703, 0x0E0A0602, 0x0D090501, 0x0C080400);
    return _mm512_shuffle_epi8(bytes, order);
}

inline __m512 alpha_of(__m512 d) {
    // d / 255: d * (1/255) is within 5e-5 of it and a fraction is 0 or at least 1/255.
    return _mm512_fmadd_ps(d, _mm512_set1_ps(1.0f / 255.0f), _mm512_set1_ps(0.001f));
}

// Sixteen target pixels blended with sixteen source pixels; sa = 0 keeps the target, and
// every other case (da = 0 and sa = 255 included) is exact in the general formula.
template <bool Keep>
inline __m512i blend16(__m512i dst, __m512i src) {
    const __m512 c255 = _mm512_set1_ps(255.0f);
    const __m512 sa = channel(src, 3), da = channel(dst, 3);
    const __m512 w = _mm512_mul_ps(_mm512_sub_ps(c255, sa), da);
    const __m512 t = _mm512_mul_ps(sa, c255);
    const __m512 d = _mm512_add_ps(t, w);
    const __m512 rd = reciprocal_up(d);
    __m512i q[3];
    for (int c = 0; c < 3; ++c) {
        q[c] = divide(_mm512_fmadd_ps(channel(dst, c), w, _mm512_mul_ps(channel(src, c), t)), d, rd);
    }
    const __m512i qa = Keep ? _mm512_srli_epi32(dst, 24) : _mm512_cvttps_epi32(alpha_of(d));
    const __m512i out = pack(q[0], q[1], q[2], qa);
    const __mmask16 no_source =
        _mm512_testn_epi32_mask(src, _mm512_set1_epi32(static_cast<int>(0xFF000000u)));
    return _mm512_mask_blend_epi32(no_source, out, dst);
}

template <bool Keep>
void row(std::uint8_t* target, const std::uint8_t* source, int count) {
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    for (int i = 0; i < count; i += 16) {
        const int left = count - i;
        const __mmask16 lanes = left >= 16 ? __mmask16(0xFFFF) : static_cast<__mmask16>((1u << left) - 1);
        auto* t = reinterpret_cast<int*>(target + 4 * i);
        const auto* s = reinterpret_cast<const int*>(source + 4 * i);
        blend_prefetch(target + 4 * i);
        blend_prefetch(source + 4 * i);
        const __m512i sv = _mm512_maskz_loadu_epi32(lanes, s);
        // Runs of transparent or (when alpha is written) opaque source pixels are common in
        // sprites: nothing to do, or a copy.
        const __mmask16 present = _mm512_test_epi32_mask(sv, alpha);
        if (!present) continue;
        if (!Keep && _mm512_cmpeq_epi32_mask(_mm512_and_si512(sv, alpha), alpha) == lanes) {
            _mm512_mask_storeu_epi32(t, lanes, sv);
            continue;
        }
        const __m512i dv = _mm512_maskz_loadu_epi32(lanes, t);
        _mm512_mask_storeu_epi32(t, lanes, blend16<Keep>(dv, sv));
    }
}

// One colour over a span: the colour's terms are computed once.
template <bool Keep>
void fill(std::uint8_t* target, std::uint32_t source_pixel, int count) {
    const float sa = static_cast<float>(source_pixel >> 24);
    const __m512 t = _mm512_set1_ps(sa * 255.0f), ia = _mm512_set1_ps(255.0f - sa);
    const __m512 sb = _mm512_set1_ps(static_cast<float>(source_pixel & 255) * sa * 255.0f);
    const __m512 sg = _mm512_set1_ps(static_cast<float>(source_pixel >> 8 & 255) * sa * 255.0f);
    const __m512 sr = _mm512_set1_ps(static_cast<float>(source_pixel >> 16 & 255) * sa * 255.0f);
    for (int i = 0; i < count; i += 16) {
        const int left = count - i;
        const __mmask16 lanes = left >= 16 ? __mmask16(0xFFFF) : static_cast<__mmask16>((1u << left) - 1);
        auto* p = reinterpret_cast<int*>(target + 4 * i);
        blend_prefetch(target + 4 * i);
        const __m512i dst = _mm512_maskz_loadu_epi32(lanes, p);
        const __m512 w = _mm512_mul_ps(ia, _mm512_cvtepi32_ps(_mm512_srli_epi32(dst, 24)));
        const __m512 d = _mm512_add_ps(t, w);
        const __m512 rd = reciprocal_up(d);
        const __m512i b = divide(_mm512_fmadd_ps(channel(dst, 0), w, sb), d, rd);
        const __m512i g = divide(_mm512_fmadd_ps(channel(dst, 1), w, sg), d, rd);
        const __m512i r = divide(_mm512_fmadd_ps(channel(dst, 2), w, sr), d, rd);
        const __m512i a = Keep ? _mm512_srli_epi32(dst, 24) : _mm512_cvttps_epi32(alpha_of(d));
        _mm512_mask_storeu_epi32(p, lanes, pack(b, g, r, a));
    }
}

}  // namespace

int blend_row_avx512(std::uint8_t* target, const std::uint8_t* source, int count, bool keep) {
    if (keep) {
        row<true>(target, source, count);
    } else {
        row<false>(target, source, count);
    }
    return count;
}

int blend_fill_avx512(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep) {
    // The callers handle alpha 0 (nothing) and 255 (a plain write) before coming here.
    if (keep) {
        fill<true>(target, source_pixel, count);
    } else {
        fill<false>(target, source_pixel, count);
    }
    return count;
}

}  // namespace morvane

#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
