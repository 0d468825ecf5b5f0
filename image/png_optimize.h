// The smallest lossless PNG files: colour type and bit depth reduced to what the pixels
// need, a filter per row, strong compression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

/// Whether the PNG encoder writes its files at their smallest (false by default: 8-bit RGB
/// or RGBA, as some engines' loaders expect). One setting for the whole process.
void png_smallest_set(bool on);
bool png_smallest();

/// PNG colour types as the IHDR chunk numbers them.
enum PngColorType : std::uint8_t { PngGrey = 0, PngRgb = 2, PngPalette = 3, PngGreyAlpha = 4, PngRgba = 6 };

/// A picture in the smallest PNG form that keeps every pixel: samples packed row by row
/// (rows from the top, without filter bytes), with the palette and transparency it needs.
struct PngReduced {
    std::int32_t width = 0, height = 0;
    PngColorType color_type = PngRgba;
    int bit_depth = 8;
    std::size_t row_bytes = 0;
    std::vector<std::uint8_t> samples;  // height x row_bytes
    std::vector<std::uint8_t> plte;     // red, green, blue per entry
    std::vector<std::uint8_t> trns;     // the tRNS chunk's data, empty when none
};

/// Reduces 24-bit (blue, green, red) or 32-bit (blue, green, red, alpha) pixels, rows
/// `stride` bytes apart and bottom-up when `bottom_up`. Fully transparent pixels keep their
/// colour, so a reader gets back the very RGBA bytes of the 8-bit file. False when out of
/// memory or the arguments are invalid. Without `palette_allowed` the picture keeps its
/// samples (grey or RGB, with alpha where needed).
bool png_reduce(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                bool bottom_up, int bpp, bool palette_allowed, PngReduced& out);

/// Encodes a reduced picture as a whole PNG file into malloc'd memory (*data, *size):
/// filters chosen per row, several ways tried side by side, the smallest kept. False when
/// out of memory.
bool png_encode_reduced(const PngReduced& picture, std::uint8_t** data, std::size_t* size);

/// The smallest PNG file of the pixels (arguments as png_reduce) in malloc'd memory. A small
/// picture is also tried without a palette, whose chunks can cost more than they save.
/// False when out of memory.
bool png_encode_smallest(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                         std::int32_t stride, bool bottom_up, int bpp, std::uint8_t** data,
                         std::size_t* size);

}  // namespace morvane
