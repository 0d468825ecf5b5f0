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

// n / d for integers held exactly in floats (n < 2^24, d < 2^16, quotient < 257). The
// reciprocal is rounded up by 2^-21 so that the product is never below n / d and at most
// 2e-4 above it: truncated it is the quotient or one more, and the remainder (exact by the
// fused multiply-add) tells which.
inline __m256 divide(__m256 n, __m256 d, __m256 rd_up) {
    const __m256 q = _mm256_round_ps(_mm256_mul_ps(n, rd_up), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256 r = _mm256_fnmadd_ps(q, d, n);
    return _mm256_sub_ps(q, _mm256_and_ps(_mm256_cmp_ps(r, _mm256_setzero_ps(), _CMP_LT_OQ), _mm256_set1_ps(1.0f)));
}

inline __m256 channel(__m256i v, int shift) {
    return _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, shift), _mm256_set1_epi32(255)));
}

// Eight target pixels blended with eight source pixels. With sa = 0 the target stays;
// every other case (da = 0 and sa = 255 included) is exact in the general formula.
inline __m256i blend8(__m256i dst, __m256i src, bool keep) {
    const __m256 c255 = _mm256_set1_ps(255.0f);
    const __m256 sa = channel(src, 24), da = channel(dst, 24);
    const __m256 w = _mm256_mul_ps(_mm256_sub_ps(c255, sa), da);
    const __m256 t = _mm256_mul_ps(sa, c255);
    const __m256 d = _mm256_add_ps(t, w);
    const __m256 rd = _mm256_mul_ps(_mm256_div_ps(_mm256_set1_ps(1.0f), d), _mm256_set1_ps(1.0f + 0x1p-21f));
    __m256i out = _mm256_setzero_si256();
    for (int shift = 0; shift < 24; shift += 8) {
        const __m256 n = _mm256_fmadd_ps(channel(dst, shift), w, _mm256_mul_ps(channel(src, shift), t));
        out = _mm256_or_si256(out, _mm256_slli_epi32(_mm256_cvttps_epi32(divide(n, d, rd)), shift));
    }
    if (keep) {
        out = _mm256_or_si256(out, _mm256_and_si256(dst, _mm256_set1_epi32(static_cast<int>(0xFF000000u))));
    } else {
        // d / 255: d * (1/255) is within 5e-5 of it and a fraction is 0 or at least
        // 1/255, so adding 0.001 before truncating gives the exact quotient.
        const __m256 a = _mm256_fmadd_ps(d, _mm256_set1_ps(1.0f / 255.0f), _mm256_set1_ps(0.001f));
        out = _mm256_or_si256(out, _mm256_slli_epi32(_mm256_cvttps_epi32(a), 24));
    }
    const __m256i no_source = _mm256_cmpeq_epi32(_mm256_srli_epi32(src, 24), _mm256_setzero_si256());
    return _mm256_blendv_epi8(out, dst, no_source);
}

int blend_row_avx2(std::uint8_t* target, const std::uint8_t* source, int count, bool keep) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + 4 * i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * i));
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

bool blend_simd_enabled() { return g_switched_on && has_avx2(); }
void blend_simd_set_enabled(bool enabled) { g_switched_on = enabled; }

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
