// Area averaging for 24-bit Smooth resizing: every destination pixel is the exact
// coverage-weighted mean of the source pixels under it, rounded to nearest.
#include <algorithm>
#include <new>
#include <vector>

#include "image/resample.h"

namespace morvane {

namespace {

// Coverage of destination cells by source cells along one axis. Measured in units where a
// source cell is `dst` long and a destination cell `src` long, every overlap is an integer
// and the overlaps of one destination cell add up to `src`.
struct Coverage {
    std::vector<int> begin;  // dst + 1 offsets into index / weight
    std::vector<int> index;
    std::vector<std::uint32_t> weight;
};

Coverage coverage(int src, int dst) {
    Coverage c;
    c.begin.reserve(static_cast<std::size_t>(dst) + 1);
    c.index.reserve(static_cast<std::size_t>(src) + dst);
    c.weight.reserve(static_cast<std::size_t>(src) + dst);
    for (long long i = 0; i < dst; ++i) {
        c.begin.push_back(static_cast<int>(c.index.size()));
        const long long lo = i * src;
        const long long hi = lo + src;
        for (long long k = lo / dst; k * dst < hi; ++k) {
            const long long overlap = std::min(hi, (k + 1) * dst) - std::max(lo, k * dst);
            if (overlap <= 0) continue;
            c.index.push_back(static_cast<int>(k));
            c.weight.push_back(static_cast<std::uint32_t>(overlap));
        }
    }
    c.begin.push_back(static_cast<int>(c.index.size()));
    return c;
}

}  // namespace

bool area_filter(const Bitmap& src, Bitmap& dst) {
    if (src.bpp != 24 || dst.bpp != 24) return false;
    try {
        const Coverage across = coverage(src.width, dst.width);
        const Coverage down = coverage(src.height, dst.height);
        const std::size_t values = static_cast<std::size_t>(dst.width) * 3;
        std::vector<std::uint32_t> row_sums(values);  // one source row averaged across
        std::vector<std::uint64_t> sums(values);
        int summed_row = -1;
        const std::uint64_t total = static_cast<std::uint64_t>(src.width) * src.height;

        for (int y = 0; y < dst.height; ++y) {
            std::fill(sums.begin(), sums.end(), 0);
            for (int e = down.begin[y]; e < down.begin[y + 1]; ++e) {
                const int sy = down.index[e];
                if (sy != summed_row) {
                    const std::uint8_t* in = src.row(sy);
                    for (int x = 0; x < dst.width; ++x) {
                        std::uint32_t b = 0, g = 0, r = 0;
                        for (int a = across.begin[x]; a < across.begin[x + 1]; ++a) {
                            const std::uint8_t* p = in + static_cast<std::size_t>(across.index[a]) * 3;
                            const std::uint32_t w = across.weight[a];
                            b += w * p[0];
                            g += w * p[1];
                            r += w * p[2];
                        }
                        row_sums[3 * x] = b;
                        row_sums[3 * x + 1] = g;
                        row_sums[3 * x + 2] = r;
                    }
                    summed_row = sy;
                }
                const std::uint64_t w = down.weight[e];
                for (std::size_t v = 0; v < values; ++v) sums[v] += w * row_sums[v];
            }
            std::uint8_t* out = dst.row(y);
            for (std::size_t v = 0; v < values; ++v)
                out[v] = static_cast<std::uint8_t>((sums[v] + total / 2) / total);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace morvane
