#include "draw/blend_math.h"

#include <vector>

namespace morvane {

namespace {

// floor(2^40 / d) + 1 over-estimates 1/d by e/d/2^40 with 0 < e <= d; the product with
// any n < 256 * d then stays below the next integer, since n * e < 256 * 65025^2 < 2^40.
std::vector<std::uint64_t> build_table() {
    std::vector<std::uint64_t> table(65536, 0);
    for (std::uint32_t sa = 1; sa < 256; ++sa) {
        for (std::uint32_t da = 1; da < 256; ++da) {
            std::uint64_t d = sa * 255 + (255 - sa) * da;
            table[sa << 8 | da] = ((std::uint64_t{1} << BlendShift) / d) + 1;
        }
    }
    return table;
}

}  // namespace

const std::uint64_t* blend_reciprocal_table() {
    static const std::vector<std::uint64_t> table = build_table();
    return table.data();
}

}  // namespace morvane
