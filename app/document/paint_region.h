// Rectangles of document pixels changed by a paint step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace morvane {

/// Half-open rectangle [x0, x1) x [y0, y1) of document pixels; empty when x1 <= x0 or y1 <= y0.
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

}  // namespace morvane
