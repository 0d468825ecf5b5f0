// Colour reduction for palette output: median cut over the picture's distinct colours.
#pragma once

#include <cstdint>
#include <vector>

namespace morvane {

/// A picture reduced to a palette: `palette` holds exactly the requested number of entries
/// as 0xRRGGBB (unused entries 0); `indices` one entry per pixel, rows from the top.
struct QuantizedPicture {
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> indices;
};

/// Reduces a 24-bit (blue, green, red) or 32-bit (blue, green, red, alpha; composed onto
/// white) picture to at most `colors` (2..256) colours. Rows are `stride` bytes apart,
/// bottom-up when `bottom_up`. A picture with no more distinct colours than `colors` keeps
/// them exactly. False when out of memory or the arguments are invalid.
bool quantize_picture(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                      std::int32_t stride, int bpp, bool bottom_up, int colors, QuantizedPicture& out);

}  // namespace morvane
