// The re-grid preview: the assembled sheet scaled by nearest neighbour over a checkerboard,
// with each cell's tile outlined. Only the view's own pixels are computed, so the cost does
// not grow with the zoom or the sheet's size.
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/regrid/regrid.h"

namespace morvane {

namespace {

constexpr double kMinScale = 1.0 / 64.0;
constexpr double kMaxScale = 8.0;
constexpr int kCheckerSide = 8;
constexpr std::uint8_t kCheckerLight = 255, kCheckerDark = 204, kOutside = 96;
// Outlines are left out when cells would be closer than this on screen (a solid colour).
constexpr double kMinOutlinedCell = 4.0;
struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kCellLine{255, 0, 200};
constexpr Rgb kSheetLine{0, 0, 0};

// Where the zoomed sheet's left or top edge lies in the view: centred when it is smaller
// than the view, else moved by the pan.
std::int64_t origin(std::int64_t zoomed, int view, std::int64_t pan) {
    return zoomed <= view ? (view - zoomed) / 2 : -pan;
}

std::int64_t zoomed_size(std::int64_t side, double scale) {
    return std::max<std::int64_t>(1,
                                  static_cast<std::int64_t>(std::floor(static_cast<double>(side) * scale)));
}

void put(Bitmap& target, std::int64_t x, std::int64_t y, Rgb c) {
    if (x < 0 || y < 0 || x >= target.width || y >= target.height) return;
    std::uint8_t* p = target.row(static_cast<std::int32_t>(y)) + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// Outline of the rectangle [x0, x1] x [y0, y1] (view pixels, inclusive), clipped to the view.
void outline(Bitmap& target, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Rgb c) {
    if (x1 < 0 || y1 < 0 || x0 >= target.width || y0 >= target.height) return;
    const std::int64_t cx0 = std::max<std::int64_t>(x0, 0),
                       cx1 = std::min<std::int64_t>(x1, target.width - 1);
    const std::int64_t cy0 = std::max<std::int64_t>(y0, 0),
                       cy1 = std::min<std::int64_t>(y1, target.height - 1);
    for (std::int64_t x = cx0; x <= cx1; ++x) {
        put(target, x, y0, c);
        put(target, x, y1, c);
    }
    for (std::int64_t y = cy0; y <= cy1; ++y) {
        put(target, x0, y, c);
        put(target, x1, y, c);
    }
}

}  // namespace

double regrid_scale(const RegridModel& model, const RegridView& view, int view_w, int view_h) {
    if (view.zoom > 0) return std::clamp(view.zoom / 100.0, kMinScale, kMaxScale);
    if (!model.picture || view_w < 1 || view_h < 1) return 1.0;
    const double fit = std::min(static_cast<double>(view_w) / model.picture->width,
                                static_cast<double>(view_h) / model.picture->height);
    return std::clamp(fit, kMinScale, kMaxScale);
}

void regrid_clamp_pan(const RegridModel& model, RegridView& view, int view_w, int view_h) {
    if (!model.picture) {
        view.pan_x = view.pan_y = 0;
        return;
    }
    const double scale = regrid_scale(model, view, view_w, view_h);
    const std::int64_t zw = zoomed_size(model.picture->width, scale);
    const std::int64_t zh = zoomed_size(model.picture->height, scale);
    view.pan_x = std::clamp<std::int64_t>(view.pan_x, 0, std::max<std::int64_t>(0, zw - view_w));
    view.pan_y = std::clamp<std::int64_t>(view.pan_y, 0, std::max<std::int64_t>(0, zh - view_h));
}

void regrid_zoom(const RegridModel& model, RegridView& view, int zoom, int view_w, int view_h) {
    if (!model.picture) {
        view.zoom = zoom;
        return;
    }
    const double before = regrid_scale(model, view, view_w, view_h);
    const std::int64_t ox = origin(zoomed_size(model.picture->width, before), view_w, view.pan_x);
    const std::int64_t oy = origin(zoomed_size(model.picture->height, before), view_h, view.pan_y);
    // The sheet point under the view's centre, before and after.
    const double cx = (view_w / 2.0 - static_cast<double>(ox)) / before;
    const double cy = (view_h / 2.0 - static_cast<double>(oy)) / before;
    view.zoom = zoom;
    const double after = regrid_scale(model, view, view_w, view_h);
    view.pan_x = static_cast<std::int64_t>(std::floor(cx * after - view_w / 2.0));
    view.pan_y = static_cast<std::int64_t>(std::floor(cy * after - view_h / 2.0));
    regrid_clamp_pan(model, view, view_w, view_h);
}

void regrid_render(const RegridModel& model, const RegridView& view, Bitmap& target) {
    if (target.bpp != 24 || !target.bits || target.width < 1 || target.height < 1) return;
    const Bitmap* sheet = model.problem.empty() ? model.picture.get() : nullptr;
    const int vw = target.width, vh = target.height;
    if (!sheet) {
        for (int y = 0; y < vh; ++y) std::fill_n(target.row(y), 3 * static_cast<std::size_t>(vw), kOutside);
        return;
    }
    const double scale = regrid_scale(model, view, vw, vh);
    const std::int64_t zw = zoomed_size(sheet->width, scale), zh = zoomed_size(sheet->height, scale);
    const std::int64_t ox = origin(zw, vw, view.pan_x), oy = origin(zh, vh, view.pan_y);

    // Source column of every view column (-1 outside the sheet).
    std::vector<std::int32_t> columns(static_cast<std::size_t>(vw));
    for (int x = 0; x < vw; ++x) {
        const std::int64_t zx = x - ox;
        columns[std::size_t(x)] =
            zx < 0 || zx >= zw
                ? -1
                : std::min<std::int32_t>(sheet->width - 1,
                                         static_cast<std::int32_t>(static_cast<double>(zx) / scale));
    }
    for (int y = 0; y < vh; ++y) {
        std::uint8_t* out = target.row(y);
        const std::int64_t zy = y - oy;
        if (zy < 0 || zy >= zh) {
            std::fill_n(out, 3 * static_cast<std::size_t>(vw), kOutside);
            continue;
        }
        const std::int32_t sy = std::min<std::int32_t>(
            sheet->height - 1, static_cast<std::int32_t>(static_cast<double>(zy) / scale));
        const std::uint8_t* in = sheet->row(sy);
        for (int x = 0; x < vw; ++x, out += 3) {
            const std::int32_t sx = columns[std::size_t(x)];
            if (sx < 0) {
                out[0] = out[1] = out[2] = kOutside;
                continue;
            }
            const unsigned back =
                (((x / kCheckerSide) ^ (y / kCheckerSide)) & 1) ? kCheckerDark : kCheckerLight;
            const std::uint8_t* p = in + 4 * sx;
            const unsigned a = p[3];
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>((p[k] * a + back * (255 - a) + 127) / 255);
        }
    }

    // The sheet's edge, then each cell's tile (without its extrusion) outlined.
    outline(target, ox - 1, oy - 1, ox + zw, oy + zh, kSheetLine);
    const Sheet& s = model.sheet;
    if (s.tile_width * scale < kMinOutlinedCell || s.tile_height * scale < kMinOutlinedCell) return;
    for (std::int64_t i = 0; i < s.cells; ++i) {
        const std::int64_t tx = s.tile_x(i), ty = s.tile_y(i);
        if (tx >= sheet->width || ty >= sheet->height) continue;  // classic cells below the picture
        const std::int64_t x0 = ox + static_cast<std::int64_t>(std::floor(static_cast<double>(tx) * scale));
        const std::int64_t y0 = oy + static_cast<std::int64_t>(std::floor(static_cast<double>(ty) * scale));
        const std::int64_t x1 =
            ox + static_cast<std::int64_t>(std::floor(static_cast<double>(tx + s.tile_width) * scale)) - 1;
        const std::int64_t y1 =
            oy + static_cast<std::int64_t>(std::floor(static_cast<double>(ty + s.tile_height) * scale)) - 1;
        outline(target, x0, y0, std::min(x1, ox + zw - 1), std::min(y1, oy + zh - 1), kCellLine);
    }
}

}  // namespace morvane
