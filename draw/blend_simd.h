// Vector forms of the Blend formula (8 pixels at a time with AVX2), bit-identical to the
// scalar writers, used when the processor has AVX2.
#pragma once

#include <cstdint>

namespace morvane {

/// True when the vector kernels may run (AVX2 present and not switched off).
bool blend_simd_enabled();
/// Switches the vector kernels off or back on (for comparing both paths in tests).
void blend_simd_set_enabled(bool enabled);

/// Blends 32-bit source pixels (straight alpha) over 32-bit target pixels with the Blend
/// formula, source alpha = each source pixel's alpha. Handles a multiple of 8 pixels from
/// the start of the row and returns how many it did; the caller finishes the rest.
int blend_row_simd(std::uint8_t* target, const std::uint8_t* source, int count, bool keep_alpha);
/// The same with one source pixel value (b | g << 8 | r << 16 | sa << 24) for every pixel.
int blend_fill_simd(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep_alpha);

}  // namespace morvane
