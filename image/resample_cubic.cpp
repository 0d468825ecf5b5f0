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

// The two passes are built twice, for AVX2 and for the base instruction set, and the
// better one is chosen when the program loads. No FMA: products and sums stay rounded
// one by one as plain double arithmetic.
#if defined(__x86_64__)
#define MORVANE_WIDE_LANES __attribute__((target_clones("avx2", "default")))
#else
#define MORVANE_WIDE_LANES
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

// Four channels of one pixel as doubles: one vector of four lanes (one register with
// AVX2, two with SSE2). Sums are kept per lane in tap order, so every lane is the plain
// double sum of its channel. Vectors cross no function call (their calling convention
// differs between the two builds): helpers take pointers and are always inlined.
typedef double Lanes __attribute__((vector_size(32)));
typedef std::int32_t Ints __attribute__((vector_size(16)));
typedef std::uint8_t Bytes __attribute__((vector_size(4)));

#define MORVANE_INLINE inline __attribute__((always_inline))

// trunc(v + 0.5) clamped to 0..255, as integers.
MORVANE_INLINE Ints rounded(const Lanes* sums) {
    const Lanes zero = {0.0, 0.0, 0.0, 0.0}, top = {255.0, 255.0, 255.0, 255.0};
    Lanes v = *sums + 0.5;
    v = v < zero ? zero : v;
    v = v > top ? top : v;
    return __builtin_convertvector(v, Ints);
}

#if defined(__SSE2__)
// Two pixels at once: the saturating packs do the clamping to 0..255 (trunc(v + 0.5) is a
// small integer, so clamping before or after truncation is the same).
MORVANE_INLINE void store_bytes2(const Lanes* a, const Lanes* b, std::uint8_t* out) {
    const __m128i ia = (__m128i) __builtin_convertvector(*a + 0.5, Ints);
    const __m128i ib = (__m128i) __builtin_convertvector(*b + 0.5, Ints);
    const __m128i words = _mm_packs_epi32(ia, ib);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}
#else
MORVANE_INLINE void store_bytes2(const Lanes* a, const Lanes* b, std::uint8_t* out) {
    const Bytes ba = __builtin_convertvector(rounded(a), Bytes);
    const Bytes bb = __builtin_convertvector(rounded(b), Bytes);
    std::memcpy(out, &ba, 4);
    std::memcpy(out + 4, &bb, 4);
}
#endif

MORVANE_INLINE void store_bytes(const Lanes* sums, std::uint8_t* out) {
    const Bytes b = __builtin_convertvector(rounded(sums), Bytes);
    std::memcpy(out, &b, 4);
}

MORVANE_INLINE void store_doubles(const Lanes* sums, double* out) {
    const Lanes v = __builtin_convertvector(rounded(sums), Lanes);
    std::memcpy(out, &v, sizeof v);
}

// One row resampled across. `line` is scratch for in_w * 4 doubles. The rounded results
// go to `out_bytes`, or as doubles to `out_doubles` when that is not null.
MORVANE_WIDE_LANES void horizontal_row(const std::uint8_t* in, int in_w, const CubicTaps& taps, double* line,
                                       std::uint8_t* out_bytes, double* out_doubles) {
    for (int i = 0; i < in_w * 4; ++i) line[i] = in[i];
    const int out_w = static_cast<int>(taps.first.size());
    for (int x = 0; x < out_w; ++x) {
        const double* w = &taps.weights[static_cast<std::size_t>(x) * taps.capacity];
        const double* v = line + static_cast<std::size_t>(taps.first[x]) * 4;
        Lanes acc = {0.0, 0.0, 0.0, 0.0};
        for (int t = 0; t < taps.count[x]; ++t) {
            Lanes pixel;
            std::memcpy(&pixel, v + 4 * t, sizeof pixel);
            acc += w[t] * pixel;
        }
        if (out_doubles) {
            store_doubles(&acc, out_doubles + 4 * x);
        } else {
            store_bytes(&acc, out_bytes + 4 * x);
        }
    }
}

// One row resampled down from rows held as doubles: output pixel x is the weighted sum
// of pixel x of `count` rows.
MORVANE_WIDE_LANES void vertical_row(const double* const* rows, const double* w, int count, int width,
                                     std::uint8_t* out) {
    int x = 0;
    // Two pixels at a time: two independent chains of additions.
    for (; x + 1 < width; x += 2) {
        Lanes a = {0.0, 0.0, 0.0, 0.0}, b = a;
        for (int t = 0; t < count; ++t) {
            Lanes pa, pb;
            std::memcpy(&pa, rows[t] + 4 * x, sizeof pa);
            std::memcpy(&pb, rows[t] + 4 * x + 4, sizeof pb);
            a += w[t] * pa;
            b += w[t] * pb;
        }
        store_bytes2(&a, &b, out + 4 * x);
    }
    for (; x < width; ++x) {
        Lanes a = {0.0, 0.0, 0.0, 0.0};
        for (int t = 0; t < count; ++t) {
            Lanes pa;
            std::memcpy(&pa, rows[t] + 4 * x, sizeof pa);
            a += w[t] * pa;
        }
        store_bytes(&a, out + 4 * x);
    }
}

// The same from rows of bytes, converting at each tap; for windows too tall to keep
// converted.
MORVANE_WIDE_LANES void vertical_row_bytes(const std::uint8_t* const* rows, const double* w, int count,
                                           int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        Lanes a = {0.0, 0.0, 0.0, 0.0};
        for (int t = 0; t < count; ++t) {
            Bytes pa;
            std::memcpy(&pa, rows[t] + 4 * x, 4);
            a += w[t] * __builtin_convertvector(pa, Lanes);
        }
        store_bytes(&a, out + 4 * x);
    }
}

MORVANE_WIDE_LANES void to_doubles(const std::uint8_t* in, int n, double* out) {
    for (int i = 0; i < n; ++i) out[i] = in[i];
}

// Rows of the vertical pass's input kept as doubles in a ring of as many rows as one
// window can span; row k is made once, when a window first needs it.
class RowRing {
  public:
    RowRing(int rows, int width) : size_(rows), width_(width), tags_(rows, -1) {
        values_.resize(static_cast<std::size_t>(rows) * width * 4);
    }
    template <class Make>
    const double* row(int k, Make make) {
        const int slot = k % size_;
        double* row = &values_[static_cast<std::size_t>(slot) * width_ * 4];
        if (tags_[slot] != k) {
            make(k, row);
            tags_[slot] = k;
        }
        return row;
    }

  private:
    int size_;
    int width_;
    std::vector<int> tags_;
    std::vector<double> values_;
};

}  // namespace

bool resample_cubic(const std::uint8_t* src, int sw, int sh, std::uint8_t* dst, int dw, int dh,
                    std::size_t ring_budget) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
    try {
        const CubicTaps horizontal = trimmed(cubic_taps(sw, dw));
        const CubicTaps vertical = trimmed(cubic_taps(sh, dh));
        const std::size_t in_stride = static_cast<std::size_t>(sw) * 4;
        const std::size_t out_stride = static_cast<std::size_t>(dw) * 4;
        const int ring_rows = std::min(vertical.capacity, sh);
        std::vector<double> line(in_stride);
        std::vector<const double*> rows(vertical.capacity);
        auto weights = [&](int j) {
            return &vertical.weights[static_cast<std::size_t>(j) * vertical.capacity];
        };

        // The intermediate picture is made a row at a time as the other pass needs it;
        // its rows hold the same 8-bit values a whole intermediate picture would.
        if (static_cast<long long>(dw) * sh <= static_cast<long long>(sw) * dh) {
            // Rows first: source rows resampled across, kept rounded in the ring.
            RowRing ring(ring_rows, dw);
            auto across = [&](int k, double* out) {
                horizontal_row(src + k * in_stride, sw, horizontal, line.data(), nullptr, out);
            };
            for (int j = 0; j < dh; ++j) {
                for (int t = 0; t < vertical.count[j]; ++t) rows[t] = ring.row(vertical.first[j] + t, across);
                vertical_row(rows.data(), weights(j), vertical.count[j], dw, dst + j * out_stride);
            }
            return true;
        }
        // Columns first: each intermediate row is made and at once resampled across.
        std::vector<std::uint8_t> middle(in_stride);
        if (static_cast<std::size_t>(ring_rows) * in_stride * sizeof(double) <= ring_budget) {
            RowRing ring(ring_rows, sw);
            auto convert = [&](int k, double* out) { to_doubles(src + k * in_stride, sw * 4, out); };
            for (int j = 0; j < dh; ++j) {
                for (int t = 0; t < vertical.count[j]; ++t)
                    rows[t] = ring.row(vertical.first[j] + t, convert);
                vertical_row(rows.data(), weights(j), vertical.count[j], sw, middle.data());
                horizontal_row(middle.data(), sw, horizontal, line.data(), dst + j * out_stride, nullptr);
            }
        } else {
            std::vector<const std::uint8_t*> byte_rows(vertical.capacity);
            for (int j = 0; j < dh; ++j) {
                for (int t = 0; t < vertical.count[j]; ++t)
                    byte_rows[t] = src + (vertical.first[j] + t) * in_stride;
                vertical_row_bytes(byte_rows.data(), weights(j), vertical.count[j], sw, middle.data());
                horizontal_row(middle.data(), sw, horizontal, line.data(), dst + j * out_stride, nullptr);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace morvane
