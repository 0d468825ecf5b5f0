// Seed fill: span steps with an explicit stack of pending seeds, the recorded spans kept
// per row in lists drawn from a pool that lives as long as the session.
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "draw/pixel_ops.h"

namespace morvane {

namespace {

struct FillSpan {
    std::int32_t next;   // index of the next span of the row, -1 at the end
    std::int32_t left;   // last column not painted on the left
    std::int32_t right;  // first column not painted on the right
};

}  // namespace

struct FillScratch {
    std::vector<FillSpan> pool;  // records in use this fill; the capacity is kept
    std::vector<std::int32_t> heads;
    std::vector<std::pair<int, int>> seeds;
};

// Defined here, where the scratch record is complete.
DrawingSession::DrawingSession() = default;
DrawingSession::~DrawingSession() = default;

void fill_scratch_release(DrawingSession& s) {
    s.fill.reset();
}

namespace {

constexpr std::uint32_t kColourMask = 0xFFFFFFu;   // red, green and blue
constexpr std::uint32_t kExactMask = 0xFFFFFFFFu;  // alpha too

// A pixel as stored (blue in the low byte), under a mask on 32-bit outputs.
template <int BPP>
inline std::uint32_t key_at(const std::uint8_t* p, std::uint32_t mask) {
    if constexpr (BPP == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v & mask;
    } else {
        return p[0] | p[1] << 8 | p[2] << 16;
    }
}

template <int BPP, bool SeedColor>
class Filler {
  public:
    Filler(DrawingSession& s, FillScratch& f, std::uint32_t key, std::uint32_t mask)
        : s_(s), f_(f), key_(key), mask_(mask) {}

    void run(int x, int y) {
        f_.seeds.clear();
        f_.seeds.emplace_back(x, y);
        while (!f_.seeds.empty()) {
            const auto [sx, sy] = f_.seeds.back();
            f_.seeds.pop_back();
            if (recorded(sx, sy) < 0) span_step(sx, sy);
        }
    }

  private:
    bool belongs(const std::uint8_t* p) const {
        return SeedColor ? key_at<BPP>(p, mask_) == key_ : key_at<BPP>(p, mask_) != key_;
    }
    const std::uint8_t* pixel(const std::uint8_t* row, int x) const { return row + std::ptrdiff_t{x} * BPP; }

    // The span of `row` that has k strictly inside, or -1.
    std::int32_t recorded(int k, int row) const {
        for (std::int32_t i = f_.heads[row]; i >= 0; i = f_.pool[i].next)
            if (f_.pool[i].left < k && k < f_.pool[i].right) return i;
        return -1;
    }

    // First column from k (below `end`) that belongs, or `end`.
    int first_in(const std::uint8_t* row, int k, int end) const {
        k = skip_group<true>(row, k, end);
        while (k < end && !belongs(pixel(row, k))) ++k;
        return k;
    }
    // First column from k (below `end`) that does not belong, or `end`.
    int first_out(const std::uint8_t* row, int k, int end) const {
        k = skip_group<false>(row, k, end);
        while (k < end && belongs(pixel(row, k))) ++k;
        return k;
    }

    // Skips four 32-bit pixels at a time while none of them belongs (Outside) or all of
    // them do; the scalar loops above finish the search.
    template <bool Outside>
    int skip_group(const std::uint8_t* row, int k, int end) const {
#ifdef __SSE2__
        if constexpr (BPP == 4) {
            const __m128i mask = _mm_set1_epi32(static_cast<int>(mask_)),
                          key = _mm_set1_epi32(static_cast<int>(key_));
            for (; k + 4 <= end; k += 4) {
                const __m128i v =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + std::ptrdiff_t{k} * 4));
                const int equal = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, mask), key));
                // Pixels belong when equal to the seed colour, or when differing from the border.
                const int in = SeedColor ? equal : 0xFFFF & ~equal;
                if (in != (Outside ? 0 : 0xFFFF)) break;
            }
        }
#endif
        return k;
    }

    void span_step(int sx, int sy) {
        const std::uint8_t* row = s_.at(0, sy);
        const int right = first_out(row, sx, s_.width);
        if (right == sx) return;  // the seed itself is not part of the region
        int left = sx - 1;
        while (left >= 0 && belongs(pixel(row, left))) --left;
        f_.pool.push_back({f_.heads[sy], left, right});
        f_.heads[sy] = static_cast<std::int32_t>(f_.pool.size() - 1);
        span_row(s_, left + 1, sy, right - left - 1);
        if (sy > 0) neighbours(left, right, sy - 1);
        if (sy + 1 < s_.height) neighbours(left, right, sy + 1);
    }

    // Pushes a seed at the first column of each run in row `ny` over the painted columns.
    void neighbours(int left, int right, int ny) {
        const std::uint8_t* row = s_.at(0, ny);
        for (int k = first_in(row, left + 1, right); k < right; k = first_in(row, k, right)) {
            // k starts a run: its left neighbour (or the span's edge) is not in the region.
            const std::int32_t span = recorded(k, ny);
            if (span >= 0) {
                // Already filled up to its right bound, which is not in the region.
                k = f_.pool[span].right;
                continue;
            }
            f_.seeds.emplace_back(k, ny);
            k = first_out(row, k, right);
        }
    }

    DrawingSession& s_;
    FillScratch& f_;
    std::uint32_t key_;
    std::uint32_t mask_;
};

template <int BPP>
void fill_with(DrawingSession& s, FillScratch& f, int x, int y, std::int64_t border) {
    if (border == FillExactSeed) {
        Filler<BPP, true>(s, f, key_at<BPP>(s.at(x, y), kExactMask), kExactMask).run(x, y);
    } else if (border == -1) {
        Filler<BPP, true>(s, f, key_at<BPP>(s.at(x, y), kColourMask), kColourMask).run(x, y);
    } else {
        const auto c = static_cast<Color>(border);
        const std::uint32_t key = color_blue(c) | color_green(c) << 8 | color_red(c) << 16;
        Filler<BPP, false>(s, f, key, kColourMask).run(x, y);
    }
}

}  // namespace

void op_fill(DrawingSession& s, int x, int y, std::int64_t border) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    try {
        if (!s.fill) s.fill = std::make_unique<FillScratch>();
        FillScratch& f = *s.fill;
        f.heads.assign(static_cast<std::size_t>(s.height), -1);
        if (s.target.bytes_per_pixel == 4)
            fill_with<4>(s, f, x, y, border);
        else
            fill_with<3>(s, f, x, y, border);
    } catch (const std::bad_alloc&) {
        // Out of memory for the span records: the fill stops where it is.
    }
    if (s.fill) {
        s.fill->pool.clear();
        s.fill->seeds.clear();
    }
}

}  // namespace morvane
