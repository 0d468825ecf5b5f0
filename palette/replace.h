// Replacing one colour of a picture by another within a tolerance.
#pragma once

#include <cstdint>
#include <functional>

#include "image/color.h"
#include "palette/picture_colours.h"

namespace morvane {

struct Bitmap;

/// What to replace. A pixel matches when none of its red, green, blue and alpha differs
/// from `from`'s by more than `tolerance` (0 = the exact colour; 255 = every pixel), the
/// largest per-channel difference, as GIMP's threshold measures it. A matching pixel takes
/// `to`'s red, green and blue; its own alpha stays when `to` is opaque (alpha 255), and
/// `to`'s alpha is taken otherwise.
struct ColourReplacement {
    Color from = 0;
    Color to = 0;
    int tolerance = 0;
    PixelArea area;  // cut to the picture
};

/// Called with a rectangle just before pixels inside it change (64 x 64 tiles aligned on the
/// picture's origin, or smaller at its edges): an undo history saves it there.
using BeforeChange = std::function<void(const PixelArea&)>;

/// Replaces in a 24- or 32-bit picture (24 bits count as opaque and keep no alpha). Returns
/// how many pixels matched.
std::uint64_t replace_colour(Bitmap& picture, const ColourReplacement& replacement,
                             const BeforeChange& before_change = {});

}  // namespace morvane
