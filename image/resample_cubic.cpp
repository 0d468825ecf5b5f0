// The cubic resampler: Mitchell-Netravali (B = C = 1/3), separable, in two passes with an
// 8-bit intermediate picture, sums in double precision.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "image/resample.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane {

double mitchell_kernel(double t) {
    t = std::fabs(t);
    if (t < 1.0) return (7.0 / 6.0) * t * t * t - 2.0 * t * t + 8.0 / 9.0;
    if (t < 2.0) return -(7.0 / 18.0) * t * t * t + 2.0 * t * t - (10.0 / 3.0) * t + 16.0 / 9.0;
    return 0.0;
}

CubicTaps cubic_taps(int src, int dst) {
    const double s = static_cast<double>(dst) / src;
    double r = 2.0;
    double f = 1.0;
    if (s < 1.0) {
        r = 2.0 / s;
        f = s;
    }
    CubicTaps taps;
    taps.capacity = 2 * static_cast<int>(std::ceil(r)) + 1;
    taps.first.resize(dst);
    taps.count.resize(dst);
    taps.weights.assign(static_cast<std::size_t>(dst) * taps.capacity, 0.0);
    for (int i = 0; i < dst; ++i) {
        const double p = (i + 0.5) / s - 0.5;
        long long first = static_cast<long long>(std::floor(p - r));
        long long last = static_cast<long long>(std::ceil(p + r));
        if (first < 0) first = 0;
        if (last > src - 1) last = src - 1;
        if (last - first + 1 > taps.capacity) {
            if (first < src) {
                ++first;
            } else {
                --last;
            }
        }
        double* w = &taps.weights[static_cast<std::size_t>(i) * taps.capacity];
        const int count = static_cast<int>(last - first + 1);
        double sum = 0.0;
        for (int t = 0; t < count; ++t) {
            w[t] = mitchell_kernel((p - static_cast<double>(first + t)) * f) * f;
            sum += w[t];
        }
        if (sum > 0.0 && sum != 1.0) {
            for (int t = 0; t < count; ++t) w[t] /= sum;
        }
        taps.first[i] = static_cast<int>(first);
        taps.count[i] = count;
    }
    return taps;
}

namespace {

// Taps without their leading and trailing zero weights: adding 0 * v changes no sum, and
// shrinking windows often end in a tap at exactly the kernel's edge.
CubicTaps trimmed(CubicTaps taps) {
    for (std::size_t i = 0; i < taps.first.size(); ++i) {
        double* w = &taps.weights[i * taps.capacity];
        int lead = 0;
        int count = taps.count[i];
        while (count > 0 && w[count - 1] == 0.0) --count;
        while (lead < count && w[lead] == 0.0) ++lead;
        if (lead > 0) std::memmove(w, w + lead, sizeof(double) * (count - lead));
        taps.first[i] += lead;
        taps.count[i] = count - lead;
    }
    return taps;
}

// Four channels of one pixel as doubles.
#if defined(__SSE2__)
struct Lanes {
    __m128d lo, hi;
};
inline Lanes lanes_zero() { return {_mm_setzero_pd(), _mm_setzero_pd()}; }
inline void lanes_add(Lanes& acc, double w, const double* v) {
    const __m128d wv = _mm_set1_pd(w);
    acc.lo = _mm_add_pd(acc.lo, _mm_mul_pd(wv, _mm_loadu_pd(v)));
    acc.hi = _mm_add_pd(acc.hi, _mm_mul_pd(wv, _mm_loadu_pd(v + 2)));
}
// trunc(v + 0.5) clamped to 0..255 for the four lanes, stored as bytes.
inline void lanes_store(const Lanes& acc, std::uint8_t* out) {
    const __m128d half = _mm_set1_pd(0.5), zero = _mm_setzero_pd(), top = _mm_set1_pd(255.0);
    const __m128d lo = _mm_min_pd(_mm_max_pd(_mm_add_pd(acc.lo, half), zero), top);
    const __m128d hi = _mm_min_pd(_mm_max_pd(_mm_add_pd(acc.hi, half), zero), top);
    const __m128i ints = _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
    const __m128i words = _mm_packs_epi32(ints, ints);
    const int bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    std::memcpy(out, &bytes, 4);
}
#else
struct Lanes {
    double v[4];
};
inline Lanes lanes_zero() { return {{0.0, 0.0, 0.0, 0.0}}; }
inline void lanes_add(Lanes& acc, double w, const double* v) {
    for (int c = 0; c < 4; ++c) acc.v[c] += w * v[c];
}
inline void lanes_store(const Lanes& acc, std::uint8_t* out) {
    for (int c = 0; c < 4; ++c) {
        const double v = std::trunc(acc.v[c] + 0.5);
        out[c] = static_cast<std::uint8_t>(v < 0.0 ? 0.0 : v > 255.0 ? 255.0 : v);
    }
}
#endif

void to_doubles(const std::uint8_t* in, std::size_t n, double* out) {
    for (std::size_t i = 0; i < n; ++i) out[i] = in[i];
}

// Rows sw -> dw for `rows` rows.
void horizontal_pass(const std::uint8_t* in, int in_w, int rows, std::uint8_t* out, int out_w,
                     const CubicTaps& taps) {
    std::vector<double> line(static_cast<std::size_t>(in_w) * 4);
    for (int y = 0; y < rows; ++y) {
        to_doubles(in + static_cast<std::size_t>(y) * in_w * 4, line.size(), line.data());
        std::uint8_t* o = out + static_cast<std::size_t>(y) * out_w * 4;
        for (int x = 0; x < out_w; ++x) {
            const double* w = &taps.weights[static_cast<std::size_t>(x) * taps.capacity];
            const double* v = &line[static_cast<std::size_t>(taps.first[x]) * 4];
            Lanes acc = lanes_zero();
            for (int t = 0; t < taps.count[x]; ++t) lanes_add(acc, w[t], v + 4 * t);
            lanes_store(acc, o + 4 * x);
        }
    }
}

// Columns in_h -> out_h for pictures `width` pixels wide. Works in vertical strips; each
// strip keeps the source rows of the current window converted to doubles in a ring of
// `capacity` rows, so each source row is converted once per strip.
void vertical_pass(const std::uint8_t* in, int width, int in_h, std::uint8_t* out, int out_h,
                   const CubicTaps& taps) {
    (void)in_h;
    constexpr int kStrip = 128;
    const std::size_t slot_size = kStrip * 4;
    std::vector<double> ring(static_cast<std::size_t>(taps.capacity) * slot_size);
    std::vector<int> ring_row(taps.capacity);
    std::vector<const double*> rows(taps.capacity);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int x0 = 0; x0 < width; x0 += kStrip) {
        const int strip = std::min(kStrip, width - x0);
        std::fill(ring_row.begin(), ring_row.end(), -1);
        for (int j = 0; j < out_h; ++j) {
            const int first = taps.first[j];
            const int count = taps.count[j];
            for (int t = 0; t < count; ++t) {
                const int k = first + t;
                const int slot = k % taps.capacity;
                double* row = &ring[slot * slot_size];
                if (ring_row[slot] != k) {
                    to_doubles(in + k * stride + static_cast<std::size_t>(x0) * 4,
                               static_cast<std::size_t>(strip) * 4, row);
                    ring_row[slot] = k;
                }
                rows[t] = row;
            }
            const double* w = &taps.weights[static_cast<std::size_t>(j) * taps.capacity];
            std::uint8_t* o = out + j * stride + static_cast<std::size_t>(x0) * 4;
            for (int x = 0; x < strip; ++x) {
                Lanes acc = lanes_zero();
                for (int t = 0; t < count; ++t) lanes_add(acc, w[t], rows[t] + 4 * x);
                lanes_store(acc, o + 4 * x);
            }
        }
    }
}

}  // namespace

bool resample_cubic(const std::uint8_t* src, int sw, int sh, std::uint8_t* dst, int dw, int dh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
    try {
        const CubicTaps horizontal = trimmed(cubic_taps(sw, dw));
        const CubicTaps vertical = trimmed(cubic_taps(sh, dh));
        // Resample first along the direction that keeps the intermediate picture smaller.
        if (static_cast<long long>(dw) * sh <= static_cast<long long>(sw) * dh) {
            std::vector<std::uint8_t> middle(static_cast<std::size_t>(dw) * sh * 4);
            horizontal_pass(src, sw, sh, middle.data(), dw, horizontal);
            vertical_pass(middle.data(), dw, sh, dst, dh, vertical);
        } else {
            std::vector<std::uint8_t> middle(static_cast<std::size_t>(sw) * dh * 4);
            vertical_pass(src, sw, sh, middle.data(), dh, vertical);
            horizontal_pass(middle.data(), sw, dh, dst, dw, horizontal);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace morvane
