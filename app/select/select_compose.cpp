// Floating pixels and the selection's outline in the composed view.
#include "app/select/select_compose.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace morvane {

namespace {

std::int64_t ceil_div(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Straight-alpha "over": `src` over `dst`, both 0xAARRGGBB as stored (BGRA bytes).
std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
    const std::uint32_t sa = src >> 24;
    if (sa == 255) return src;
    if (sa == 0) return dst;
    const std::uint32_t da = dst >> 24;
    // Alpha of the result x 255, and each channel weighted by its alpha.
    const std::uint32_t dw = da * (255 - sa);  // destination weight x 255
    const std::uint32_t a255 = sa * 255 + dw;
    std::uint32_t out = ((a255 + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        const std::uint32_t c = (s * sa * 255 + d * dw + a255 / 2) / a255;
        out |= std::min<std::uint32_t>(c, 255) << shift;
    }
    return out;
}

}  // namespace

void selection_view_span(std::int64_t d0, std::int64_t d1, int zoom, std::int64_t* v0, std::int64_t* v1) {
    *v0 = ceil_div(d0 * zoom, 100);
    *v1 = ceil_div(d1 * zoom, 100);
}

void selection_compose_floating(const SelectionLayer& layer, int zoom, std::int64_t x0, std::int64_t y0,
                                Bitmap& scaled) {
    const Bitmap* f = layer.floating;
    if (!f || f->bpp != 32 || !f->bits || zoom <= 0 || layer.rect.empty()) return;
    // The floating pixels' view rectangle, cut to the composed one.
    std::int64_t vx0, vx1, vy0, vy1;
    selection_view_span(layer.rect.x0, layer.rect.x0 + f->width, zoom, &vx0, &vx1);
    selection_view_span(layer.rect.y0, layer.rect.y0 + f->height, zoom, &vy0, &vy1);
    const std::int64_t c0 = std::max(vx0, x0) - x0, c1 = std::min(vx1, x0 + scaled.width) - x0;
    const std::int64_t r0 = std::max(vy0, y0) - y0, r1 = std::min(vy1, y0 + scaled.height) - y0;
    if (c1 <= c0 || r1 <= r0) return;
    // The floating column under each composed column.
    std::vector<std::int32_t> column(static_cast<std::size_t>(c1 - c0));
    for (std::int64_t c = c0; c < c1; ++c)
        column[std::size_t(c - c0)] = static_cast<std::int32_t>(floor_div((x0 + c) * 100, zoom) - layer.rect.x0);
    std::int64_t previous = -1;
    for (std::int64_t r = r0; r < r1; ++r) {
        auto* to = reinterpret_cast<std::uint32_t*>(scaled.row(static_cast<std::int32_t>(r))) + c0;
        const std::int64_t source_row = floor_div((y0 + r) * 100, zoom) - layer.rect.y0;
        // Rows of one document row are alike before and after: the first is copied.
        if (source_row == previous) {
            std::memcpy(to, reinterpret_cast<const std::uint32_t*>(scaled.row(static_cast<std::int32_t>(r - 1))) + c0,
                        std::size_t(c1 - c0) * 4);
            continue;
        }
        previous = source_row;
        const auto* from = reinterpret_cast<const std::uint32_t*>(f->row(static_cast<std::int32_t>(source_row)));
        for (std::size_t i = 0; i < column.size(); ++i) to[i] = over(from[column[i]], to[i]);
    }
}

bool selection_ant_black(std::int64_t x, std::int64_t y, int phase) {
    std::int64_t k = (x + y - phase) % 8;
    if (k < 0) k += 8;
    return k < 4;
}

void selection_draw_ants(const SelectionLayer& layer, int zoom, std::int64_t x0, std::int64_t y0,
                         Bitmap& ground) {
    if (layer.rect.empty() || zoom <= 0 || ground.bpp != 24) return;
    std::int64_t vx0, vx1, vy0, vy1;
    selection_view_span(layer.rect.x0, layer.rect.x1, zoom, &vx0, &vx1);
    selection_view_span(layer.rect.y0, layer.rect.y1, zoom, &vy0, &vy1);
    if (vx1 <= vx0 || vy1 <= vy0) return;
    const std::int64_t x1 = x0 + ground.width, y1 = y0 + ground.height;
    auto put = [&](std::int64_t x, std::int64_t y) {
        std::uint8_t* p = ground.row(static_cast<std::int32_t>(y - y0)) + (x - x0) * 3;
        std::memset(p, selection_ant_black(x, y, layer.ants_phase) ? 0 : 255, 3);
    };
    const std::int64_t ra = std::max(vy0, y0), rb = std::min(vy1, y1);
    const std::int64_t ca = std::max(vx0, x0), cb = std::min(vx1, x1);
    if (ca >= cb || ra >= rb) return;
    for (std::int64_t y = ra; y < rb; ++y) {
        if (y == vy0 || y == vy1 - 1) {
            for (std::int64_t x = ca; x < cb; ++x) put(x, y);
            continue;
        }
        if (vx0 >= x0 && vx0 < x1) put(vx0, y);
        if (vx1 - 1 >= x0 && vx1 - 1 < x1) put(vx1 - 1, y);
    }
}

}  // namespace morvane
