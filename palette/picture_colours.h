// Colours of a picture: its palette, how often each colour is used, and sorting swatches.
#pragma once

#include <cstdint>
#include <vector>

#include "image/color.h"

namespace morvane {

struct Bitmap;

/// Half-open rectangle [x0, x1) x [y0, y1) of picture pixels.
struct PixelArea {
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};
/// The whole of a picture.
PixelArea whole_area(const Bitmap& picture);
/// `area` cut to the picture.
PixelArea clip_area(const Bitmap& picture, PixelArea area);

/// The colour of pixel (x, y) of a 24- or 32-bit picture (alpha 255 at 24 bits).
Color picture_pixel(const Bitmap& picture, int x, int y);

/// A picture's palette: its distinct colours in order of first appearance (rows top to
/// bottom, pixels left to right), at most `limit` of them. With more, the `limit` most used
/// are kept (the earlier seen first among equals), still in order of first appearance, and
/// `distinct` tells how many there were. With `skip_transparent`, pixels of alpha 0 (the
/// empty background, not a colour painted with) are left out.
struct PictureColours {
    std::vector<Color> colours;
    std::size_t distinct = 0;
};
PictureColours picture_colours(const Bitmap& picture, PixelArea area, std::size_t limit,
                               bool skip_transparent = false);

/// How many pixels of `area` have exactly each of `colours` (alpha included).
std::vector<std::uint64_t> colour_use(const Bitmap& picture, PixelArea area, const std::vector<Color>& colours);

/// Greys (red = green = blue) first from dark to light, then the others by hue (HSV hue,
/// red 0 degrees, through yellow, green and blue, up to magenta), lighter after darker at
/// the same hue. Equal keys keep their order.
void sort_by_hue(std::vector<Color>& colours);
/// Dark to light by luma 299 R + 587 G + 114 B (ITU-R BT.601 weights); equal keys keep
/// their order.
void sort_by_lightness(std::vector<Color>& colours);
/// Most used first by `use` (one count per colour, as colour_use gives); equal counts keep
/// their order.
void sort_by_use(std::vector<Color>& colours, const std::vector<std::uint64_t>& use);

}  // namespace morvane
