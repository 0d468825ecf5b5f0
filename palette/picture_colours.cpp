// A picture's distinct colours, their use, and the three sorts of swatches.
#include "palette/picture_colours.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "image/bitmap.h"

namespace morvane {

namespace {

struct Seen {
    std::uint64_t first = 0;  // reading-order index of the first pixel of this colour
    std::uint64_t count = 0;
};

// Calls f(colour) for every pixel of the area in reading order.
template <class F>
void for_each_pixel(const Bitmap& picture, PixelArea area, F&& f) {
    area = clip_area(picture, area);
    if (area.empty()) return;
    for (std::int32_t y = area.y0; y < area.y1; ++y) {
        const std::uint8_t* p = picture.row(y);
        if (picture.bpp == 32) {
            for (std::int32_t x = area.x0; x < area.x1; ++x)
                f(rgba(p[4 * x + 2], p[4 * x + 1], p[4 * x], p[4 * x + 3]));
        } else {
            for (std::int32_t x = area.x0; x < area.x1; ++x) f(rgba(p[3 * x + 2], p[3 * x + 1], p[3 * x], 255));
        }
    }
}

// Hue in degrees [0, 360) of a colour that is not grey.
double hue(Color c) {
    const double r = color_red(c), g = color_green(c), b = color_blue(c);
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    const double d = hi - lo;
    double h = 0;
    if (hi == r) {
        h = (g - b) / d;
        if (h < 0) h += 6;
    } else if (hi == g) {
        h = (b - r) / d + 2;
    } else {
        h = (r - g) / d + 4;
    }
    return h * 60;
}

std::uint32_t luma(Color c) {
    return 299 * color_red(c) + 587 * color_green(c) + 114 * color_blue(c);
}

bool grey(Color c) {
    return color_red(c) == color_green(c) && color_green(c) == color_blue(c);
}

}  // namespace

PixelArea whole_area(const Bitmap& picture) {
    return PixelArea{0, 0, picture.width, picture.height};
}

PixelArea clip_area(const Bitmap& picture, PixelArea area) {
    area.x0 = std::max(area.x0, 0);
    area.y0 = std::max(area.y0, 0);
    area.x1 = std::min(area.x1, picture.width);
    area.y1 = std::min(area.y1, picture.height);
    if (picture.bpp != 24 && picture.bpp != 32) area = PixelArea{};
    return area;
}

Color picture_pixel(const Bitmap& picture, int x, int y) {
    const std::uint8_t* p = picture.row(y) + x * (picture.bpp / 8);
    return rgba(p[2], p[1], p[0], picture.bpp == 32 ? p[3] : 255);
}

PictureColours picture_colours(const Bitmap& picture, PixelArea area, std::size_t limit, bool skip_transparent) {
    std::unordered_map<Color, Seen> seen;
    std::vector<Color> order;  // distinct colours in order of first appearance
    std::uint64_t index = 0;
    Color last = 0;
    Seen* last_seen = nullptr;
    // Runs of one colour, the usual case in pixel art, skip the hash lookup.
    for_each_pixel(picture, area, [&](Color c) {
        if (skip_transparent && (c >> 24) == 0) return;
        if (!last_seen || c != last) {
            auto [it, added] = seen.try_emplace(c, Seen{index, 0});
            if (added) order.push_back(c);
            last = c;
            last_seen = &it->second;
        }
        ++last_seen->count;
        ++index;
    });
    PictureColours result;
    result.distinct = order.size();
    if (order.size() > limit) {
        // The most used, the earlier seen first among equals, back in order of appearance.
        std::vector<Color> ranked = order;
        std::stable_sort(ranked.begin(), ranked.end(),
                         [&](Color a, Color b) { return seen[a].count > seen[b].count; });
        ranked.resize(limit);
        std::sort(ranked.begin(), ranked.end(), [&](Color a, Color b) { return seen[a].first < seen[b].first; });
        order = std::move(ranked);
    }
    result.colours = std::move(order);
    return result;
}

std::vector<std::uint64_t> colour_use(const Bitmap& picture, PixelArea area, const std::vector<Color>& colours) {
    std::vector<std::uint64_t> use(colours.size(), 0);
    std::unordered_map<Color, std::size_t> slot;
    for (std::size_t i = 0; i < colours.size(); ++i) slot.try_emplace(colours[i], i);
    std::unordered_map<Color, std::uint64_t> counted;
    Color last = 0;
    std::uint64_t* last_count = nullptr;
    for_each_pixel(picture, area, [&](Color c) {
        if (!last_count || c != last) {
            last = c;
            last_count = &counted[c];
        }
        ++*last_count;
    });
    for (std::size_t i = 0; i < colours.size(); ++i) {
        auto it = counted.find(colours[i]);
        if (it != counted.end()) use[i] = it->second;
    }
    return use;
}

void sort_by_hue(std::vector<Color>& colours) {
    std::stable_sort(colours.begin(), colours.end(), [](Color a, Color b) {
        const bool ga = grey(a), gb = grey(b);
        if (ga != gb) return ga;
        if (!ga) {
            const double ha = hue(a), hb = hue(b);
            if (ha != hb) return ha < hb;
        }
        return luma(a) < luma(b);
    });
}

void sort_by_lightness(std::vector<Color>& colours) {
    std::stable_sort(colours.begin(), colours.end(), [](Color a, Color b) { return luma(a) < luma(b); });
}

void sort_by_use(std::vector<Color>& colours, const std::vector<std::uint64_t>& use) {
    std::vector<std::size_t> order(colours.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto count = [&](std::size_t i) { return i < use.size() ? use[i] : 0; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return count(a) > count(b); });
    std::vector<Color> sorted;
    sorted.reserve(colours.size());
    for (std::size_t i : order) sorted.push_back(colours[i]);
    colours = std::move(sorted);
}

}  // namespace morvane
