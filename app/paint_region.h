// Rectangles of canvas pixels changed by a paint step, and copying such a rectangle between
// two images of the same size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "image/color.h"

namespace morvane {

/// Half-open rectangle [x0, x1) x [y0, y1) of canvas pixels; empty when x1 <= x0 or y1 <= y0.
struct Rect {
    std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    static Rect everything() {
        constexpr std::int64_t big = std::numeric_limits<std::int32_t>::max();
        return Rect{-big, -big, big, big};
    }
    bool is_everything() const { return x0 <= -std::numeric_limits<std::int32_t>::max(); }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    Rect united(const Rect& o) const {
        if (empty()) return o;
        if (o.empty()) return *this;
        return Rect{std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
    }
};

/// Copies the pixels of `rect` (clipped to the images) from one 32-bit image to another of the
/// same size, all four channels. Returns false, copying nothing, when the images are missing
/// or differ in size or depth; true otherwise (also for an empty rectangle).
bool copy_image_rect(ObjectNumber source, ObjectNumber target, const Rect& rect);

}  // namespace morvane
