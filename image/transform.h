// Mirrors and quarter turns of pictures and of rectangles cut from them.
#pragma once

#include <cstdint>

#include "image/bitmap.h"

namespace morvane {

enum class Turn : std::uint8_t {
    FlipHorizontal,    // left and right swapped
    FlipVertical,      // top and bottom swapped
    Clockwise,         // a quarter turn clockwise: width and height swap
    CounterClockwise,  // a quarter turn counter-clockwise
    HalfTurn,          // 180 degrees
};

/// The turn that undoes `turn`.
Turn turn_inverse(Turn turn);
/// Whether `turn` swaps width and height.
inline bool turn_swaps_sides(Turn turn) {
    return turn == Turn::Clockwise || turn == Turn::CounterClockwise;
}

/// A new picture of the same depth holding the rectangle (x, y, width, height) of `source`
/// turned; null when the rectangle does not lie inside the picture, the depth is not 24 or 32,
/// or memory runs out.
Bitmap* bitmap_turned(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, Turn turn);

/// Turns the whole picture where it is: the same Bitmap (so the same handle) afterwards holds
/// the turned pixels, with width and height swapped by a quarter turn. Mirrors and the half
/// turn need no new memory; a quarter turn of a non-square picture takes a second picture's
/// memory for the time of the turn. False, the picture unchanged, for a depth other than 24
/// or 32 or when memory runs out.
bool bitmap_turn(Bitmap& picture, Turn turn);

}  // namespace morvane
