// Vector forms of the Blend formula (8 pixels at a time with AVX2, 16 with AVX-512),
// bit-identical to the scalar writers, chosen by what the processor has.
#pragma once

#include <cstdint>

namespace morvane {

/// Pixels per step of the vector kernels in use: 16 (AVX-512), 8 (AVX2) or 0 (none).
int blend_simd_width();
/// Limits the kernels to at most `width` pixels per step (0: scalar code only), for
/// comparing every path in tests; 16 allows whatever the processor has.
void blend_simd_set_max_width(int width);

/// Blends 32-bit source pixels (straight alpha) over 32-bit target pixels with the Blend
/// formula, source alpha = each source pixel's alpha. Returns how many pixels from the start
/// of the row it did (0 when no vector kernel runs); the caller finishes the rest.
int blend_row_simd(std::uint8_t* target, const std::uint8_t* source, int count, bool keep_alpha);
/// The same with one source pixel value (b | g << 8 | r << 16 | sa << 24) for every pixel.
int blend_fill_simd(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep_alpha);

}  // namespace morvane
