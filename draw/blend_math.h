// Exact integer blending arithmetic shared by the colour writers and the image kernels.
#pragma once

#include <cstdint>

namespace morvane {

/// Reciprocals for the Blend division. For source alpha sa (1..255) and target alpha
/// da (1..255) the divisor is d = sa * 255 + (255 - sa) * da, and for every numerator
/// n <= 255 * d that the formula produces, (n * blend_reciprocal(sa, da)) >> 40 equals
/// n / d exactly.
const std::uint64_t* blend_reciprocal_table();

inline std::uint64_t blend_reciprocal(std::uint32_t sa, std::uint32_t da) {
    return blend_reciprocal_table()[sa << 8 | da];
}

inline constexpr int BlendShift = 40;

/// One channel of the Blend formula for sa, da in 1..255: s_term = s * sa * 255,
/// weight = (255 - sa) * da, reciprocal of sa * 255 + weight.
inline std::uint32_t blend_channel(std::uint32_t s_term, std::uint32_t p, std::uint32_t weight,
                                   std::uint64_t reciprocal) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(s_term + p * weight) * reciprocal) >>
                                      BlendShift);
}

/// The resulting alpha of the Blend formula: (sa * 255 + (255 - sa) * da) / 255.
inline std::uint32_t blend_alpha(std::uint32_t sa, std::uint32_t da) {
    return (sa * 255 + (255 - sa) * da) / 255;
}

}  // namespace morvane
