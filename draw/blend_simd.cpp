// The Blend kernels 8 pixels at a time with AVX2, and the choice of kernel width for the
// processor at hand.
#include "draw/blend_simd.h"

#include "draw/blend_simd_internal.h"

#ifdef MORVANE_BLEND_X86
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
#include <immintrin.h>

namespace morvane {

namespace {

// 1/d raised by about 2^-20 in one step: the estimate is within 1.5 * 2^-12 of 1/d, and
// the Newton step r0 * (2 + 2^-20 - d * r0) = (1/d)(1 + 2^-20 - e^2 + ...) lands above 1/d
// by more than 2^-21 and by at most about 2^-20, relative.
inline __m256 reciprocal_up(__m256 d) {
    const __m256 r0 = _mm256_rcp_ps(d);
    const __m256 e = _mm256_fnmadd_ps(d, r0, _mm256_set1_ps(1.0f + 0x1p-20f));
    return _mm256_fmadd_ps(r0, e, r0);
}

// n / d truncated, for integers held exactly in floats (n < 2^24, d < 2^16, quotient < 257).
// With the raised reciprocal the product is never below n / d and at most 3e-4 above it:
// truncated it is the quotient or one more, and the remainder (exact by the fused
// multiply-add, +0 when nothing remains) is negative exactly when it is one more; its sign
// bit, spread over the lane, is the -1 that corrects it.
inline __m256i divide(__m256 n, __m256 d, __m256 rd) {
    const __m256 q = _mm256_round_ps(_mm256_mul_ps(n, rd), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256 r = _mm256_fnmadd_ps(q, d, n);
    return _mm256_add_epi32(_mm256_cvttps_epi32(q), _mm256_srai_epi32(_mm256_castps_si256(r), 31));
}

// Byte `index` of each 32-bit pixel as a float.
inline __m256 channel(__m256i v, int index) {
    // The shuffle indexes bytes within each 128-bit half: pixel k of a half starts at 4k.
    const __m256i pick = _mm256_add_epi32(_mm256_setr_epi32(0, 4, 8, 12, 0, 4, 8, 12),
                                          _mm256_set1_epi32(static_cast<int>(0x80808000u) | index));
    return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(v, pick));
}

// d / 255: d * (1/255) is within 5e-5 of it and a fraction is 0 or at least 1/255, so
// adding 0.001 before truncating gives the exact quotient.
inline __m256i alpha_of(__m256 d) {
    return _mm256_cvttps_epi32(_mm256_fmadd_ps(d, _mm256_set1_ps(1.0f / 255.0f), _mm256_set1_ps(0.001f)));
}

// Four channel quotients (blue, green, red, alpha) back to pixels: packed to bytes (per
// 128-bit half: b0-3 g0-3 r0-3 a0-3), then interleaved per pixel.
inline __m256i pack(__m256i b, __m256i g, __m256i r, __m256i a) {
    const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(b, g), _mm256_packus_epi32(r, a));
    const __m256i order = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12,
                                           1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    return _mm256_shuffle_epi8(bytes, order);
}

// Lanes of the first `count` (< 8) pixels.
inline __m256i first_lanes(int count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Eight target pixels blended with eight source pixels. With sa = 0 the target stays;
// every other case (da = 0 and sa = 255 included) is exact in the general formula.
inline __m256i blend8(__m256i dst, __m256i src, bool keep) {
    const __m256 c255 = _mm256_set1_ps(255.0f);
    const __m256 sa = channel(src, 3), da = channel(dst, 3);
    const __m256 w = _mm256_mul_ps(_mm256_sub_ps(c255, sa), da);
    const __m256 t = _mm256_mul_ps(sa, c255);
    const __m256 d = _mm256_add_ps(t, w);
    const __m256 rd = reciprocal_up(d);
    __m256i q[3];
    for (int c = 0; c < 3; ++c) {
        q[c] = divide(_mm256_fmadd_ps(channel(dst, c), w, _mm256_mul_ps(channel(src, c), t)), d, rd);
    }
    const __m256i out = pack(q[0], q[1], q[2], keep ? _mm256_srli_epi32(dst, 24) : alpha_of(d));
    const __m256i no_source = _mm256_cmpeq_epi32(_mm256_srli_epi32(src, 24), _mm256_setzero_si256());
    return _mm256_blendv_epi8(out, dst, no_source);
}

template <bool Keep>
void row(std::uint8_t* target, const std::uint8_t* source, int count) {
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        blend_prefetch(target + 4 * i);
        blend_prefetch(source + 4 * i);
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * i));
        // Runs of transparent or (when alpha is written) opaque source pixels are common in
        // sprites: nothing to do, or a copy.
        if (_mm256_testz_si256(s, alpha)) continue;
        if (!Keep && _mm256_testc_si256(s, alpha)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 4 * i), s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + 4 * i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 4 * i), blend8(d, s, Keep));
    }
    if (i < count) {
        const __m256i lanes = first_lanes(count - i);
        auto* t = reinterpret_cast<int*>(target + 4 * i);
        const __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(source + 4 * i), lanes);
        _mm256_maskstore_epi32(t, lanes, blend8(_mm256_maskload_epi32(t, lanes), s, Keep));
    }
}

// One colour (alpha 1..255) over a span: the colour's terms are computed once.
template <bool Keep>
inline __m256i fill8(__m256i dst, __m256 t, __m256 ia, __m256 sb, __m256 sg, __m256 sr) {
    const __m256 w = _mm256_mul_ps(ia, _mm256_cvtepi32_ps(_mm256_srli_epi32(dst, 24)));
    const __m256 d = _mm256_add_ps(t, w);
    const __m256 rd = reciprocal_up(d);
    const __m256i b = divide(_mm256_fmadd_ps(channel(dst, 0), w, sb), d, rd);
    const __m256i g = divide(_mm256_fmadd_ps(channel(dst, 1), w, sg), d, rd);
    const __m256i r = divide(_mm256_fmadd_ps(channel(dst, 2), w, sr), d, rd);
    return pack(b, g, r, Keep ? _mm256_srli_epi32(dst, 24) : alpha_of(d));
}

template <bool Keep>
void fill(std::uint8_t* target, std::uint32_t source_pixel, int count) {
    const float sa = static_cast<float>(source_pixel >> 24);
    const __m256 t = _mm256_set1_ps(sa * 255.0f), ia = _mm256_set1_ps(255.0f - sa);
    const __m256 sb = _mm256_set1_ps(static_cast<float>(source_pixel & 255) * sa * 255.0f);
    const __m256 sg = _mm256_set1_ps(static_cast<float>(source_pixel >> 8 & 255) * sa * 255.0f);
    const __m256 sr = _mm256_set1_ps(static_cast<float>(source_pixel >> 16 & 255) * sa * 255.0f);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        blend_prefetch(target + 4 * i);
        auto* p = reinterpret_cast<__m256i*>(target + 4 * i);
        _mm256_storeu_si256(p, fill8<Keep>(_mm256_loadu_si256(p), t, ia, sb, sg, sr));
    }
    if (i < count) {
        const __m256i lanes = first_lanes(count - i);
        auto* p = reinterpret_cast<int*>(target + 4 * i);
        _mm256_maskstore_epi32(p, lanes, fill8<Keep>(_mm256_maskload_epi32(p, lanes), t, ia, sb, sg, sr));
    }
}

}  // namespace

int blend_row_avx2(std::uint8_t* target, const std::uint8_t* source, int count, bool keep) {
    if (keep) {
        row<true>(target, source, count);
    } else {
        row<false>(target, source, count);
    }
    return count;
}

int blend_fill_avx2(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep) {
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

namespace morvane {

namespace {

int g_max_width = 16;

int processor_width() {
#ifdef MORVANE_BLEND_X86
    static const int width = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                                     __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl")
                                 ? 16
                             : __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? 8
                                                                                               : 0;
    return width;
#else
    return 0;
#endif
}

}  // namespace

int blend_simd_width() {
    const int width = processor_width();
    return width <= g_max_width ? width : g_max_width >= 8 && width >= 8 ? 8 : 0;
}

void blend_simd_set_max_width(int width) {
    g_max_width = width;
}

int blend_row_simd(std::uint8_t* target, const std::uint8_t* source, int count, bool keep_alpha) {
#ifdef MORVANE_BLEND_X86
    switch (blend_simd_width()) {
        case 16:
            return blend_row_avx512(target, source, count, keep_alpha);
        case 8:
            return blend_row_avx2(target, source, count, keep_alpha);
        default:
            break;
    }
#endif
    (void)target, (void)source, (void)count, (void)keep_alpha;
    return 0;
}

int blend_fill_simd(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep_alpha) {
    // A transparent colour changes nothing (and would divide by zero over transparency).
    if ((source_pixel >> 24) == 0) return count;
#ifdef MORVANE_BLEND_X86
    switch (blend_simd_width()) {
        case 16:
            return blend_fill_avx512(target, source_pixel, count, keep_alpha);
        case 8:
            return blend_fill_avx2(target, source_pixel, count, keep_alpha);
        default:
            break;
    }
#endif
    (void)target, (void)source_pixel, (void)count, (void)keep_alpha;
    return 0;
}

}  // namespace morvane
