// Pixel resampling kernels behind image_resize: the cubic resampler, the area-averaging
// filter and the nearest-pixel stretch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"

namespace morvane {

/// Filter taps of one cubic pass from `src` to `dst` samples: for destination index i the
/// source indices first[i] .. first[i] + count[i] - 1 with weights
/// weights[i * capacity + 0 .. count[i] - 1] (renormalised when their sum is not 1).
struct CubicTaps {
    int capacity = 0;
    std::vector<int> first;
    std::vector<int> count;
    std::vector<double> weights;
};

/// The Mitchell-Netravali cubic with B = C = 1/3 at distance t (any sign).
double mitchell_kernel(double t);

/// The taps of one pass (src, dst > 0). Throws std::bad_alloc when memory runs out.
CubicTaps cubic_taps(int src, int dst);

/// Cubic resampling of 4-byte pixels, rows contiguous (stride = width * 4), every byte
/// filtered alike. Returns false when a temporary buffer cannot be allocated.
/// `ring_budget` bounds the bytes of source rows kept converted to doubles when columns
/// are resampled first; taller windows convert at each tap instead (same results).
bool resample_cubic(const std::uint8_t* src, int sw, int sh, std::uint8_t* dst, int dw, int dh,
                    std::size_t ring_budget = std::size_t{64} << 20);

/// Area-averaging reduction or enlargement of a 24-bit bitmap into another of any size.
/// Returns false when a temporary buffer cannot be allocated.
bool area_filter(const Bitmap& src, Bitmap& dst);

/// Nearest-pixel stretch between two bitmaps of the same depth (24 or 32): destination
/// pixel (x, y) takes source pixel (x * sw / dw, y * sh / dh), all bytes copied. Returns
/// false when a temporary buffer cannot be allocated.
bool stretch_nearest(const Bitmap& src, Bitmap& dst);

}  // namespace morvane
