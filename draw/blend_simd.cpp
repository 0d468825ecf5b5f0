#include "draw/blend_simd.h"

#if defined(__x86_64__) || defined(__i386__)
#define MORVANE_BLEND_X86 1
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
#include <immintrin.h>
#endif

namespace morvane {

#ifdef MORVANE_BLEND_X86

namespace {

// n / d for integers held exactly in floats (n < 2^24, d < 2^16, quotient < 257). With
// the raised reciprocal the product is never below n / d and at most 3e-4 above it:
// truncated it is the quotient or one more, and the remainder (exact by the fused
// multiply-add) tells which.
inline __m256 divide(__m256 n, __m256 d, __m256 rd_up) {
    const __m256 q = _mm256_round_ps(_mm256_mul_ps(n, rd_up), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256 r = _mm256_fnmadd_ps(q, d, n);
    return _mm256_sub_ps(
        q, _mm256_and_ps(_mm256_cmp_ps(r, _mm256_setzero_ps(), _CMP_LT_OQ), _mm256_set1_ps(1.0f)));
}

// 1/d raised by about 2^-20: the estimate (error within 1.5 * 2^-12) after one Newton
// step is within 2^-22 of 1/d, so the result is above 1/d and below it by at most 2^-19.
inline __m256 reciprocal_up(__m256 d) {
    const __m256 r0 = _mm256_rcp_ps(d);
    const __m256 e = _mm256_fnmadd_ps(d, r0, _mm256_set1_ps(1.0f));
    return _mm256_mul_ps(_mm256_fmadd_ps(r0, e, r0), _mm256_set1_ps(1.0f + 0x1p-20f));
}

// Byte `index` of each 32-bit pixel as a float.
inline __m256 channel(__m256i v, int index) {
    // The shuffle indexes bytes within each 128-bit half: pixel k of a half starts at 4k.
    const __m256i pick = _mm256_add_epi32(_mm256_setr_epi32(0, 4, 8, 12, 0, 4, 8, 12),
                                          _mm256_set1_epi32(static_cast<int>(0x80808000u) | index));
    return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(v, pick));
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
    __m256i q[4];
    for (int c = 0; c < 3; ++c) {
        const __m256 n = _mm256_fmadd_ps(channel(dst, c), w, _mm256_mul_ps(channel(src, c), t));
        q[c] = _mm256_cvttps_epi32(divide(n, d, rd));
    }
    // d / 255: d * (1/255) is within 5e-5 of it and a fraction is 0 or at least 1/255,
    // so adding 0.001 before truncating gives the exact quotient.
    q[3] = _mm256_cvttps_epi32(
        keep ? da : _mm256_fmadd_ps(d, _mm256_set1_ps(1.0f / 255.0f), _mm256_set1_ps(0.001f)));
    // Pack to bytes (per 128-bit half: b0-3 g0-3 r0-3 a0-3), then interleave per pixel.
    const __m256i bytes =
        _mm256_packus_epi16(_mm256_packus_epi32(q[0], q[1]), _mm256_packus_epi32(q[2], q[3]));
    const __m256i order = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12,
                                           1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m256i out = _mm256_shuffle_epi8(bytes, order);
    const __m256i no_source = _mm256_cmpeq_epi32(_mm256_srli_epi32(src, 24), _mm256_setzero_si256());
    return _mm256_blendv_epi8(out, dst, no_source);
}

int blend_row_avx2(std::uint8_t* target, const std::uint8_t* source, int count, bool keep) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + 4 * i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * i));
        // Runs of transparent or (when alpha is written) opaque source pixels are common in
        // sprites: nothing to do, or a copy.
        const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
        if (_mm256_testz_si256(s, alpha)) continue;
        if (!keep && _mm256_testc_si256(s, alpha)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 4 * i), s);
            continue;
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 4 * i), blend8(d, s, keep));
    }
    return i;
}

int blend_fill_avx2(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep) {
    const __m256i s = _mm256_set1_epi32(static_cast<int>(source_pixel));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + 4 * i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 4 * i), blend8(d, s, keep));
    }
    return i;
}

}  // namespace

#endif

}  // namespace morvane

#ifdef MORVANE_BLEND_X86
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace morvane {

namespace {

bool g_switched_on = true;

bool has_avx2() {
#ifdef MORVANE_BLEND_X86
    static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return yes;
#else
    return false;
#endif
}

}  // namespace

bool blend_simd_enabled() {
    return g_switched_on && has_avx2();
}
void blend_simd_set_enabled(bool enabled) {
    g_switched_on = enabled;
}

int blend_row_simd(std::uint8_t* target, const std::uint8_t* source, int count, bool keep_alpha) {
#ifdef MORVANE_BLEND_X86
    if (blend_simd_enabled()) return blend_row_avx2(target, source, count, keep_alpha);
#endif
    (void)target, (void)source, (void)count, (void)keep_alpha;
    return 0;
}

int blend_fill_simd(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep_alpha) {
#ifdef MORVANE_BLEND_X86
    if (blend_simd_enabled()) return blend_fill_avx2(target, source_pixel, count, keep_alpha);
#endif
    (void)target, (void)source_pixel, (void)count, (void)keep_alpha;
    return 0;
}

}  // namespace morvane
