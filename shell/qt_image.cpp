// Conversion of bottom-up BGR(A) storage into top-down QImage pixels.
#include "shell/qt_image.h"

#include <cstring>

#include "image/bitmap.h"

namespace morvane {

QImage qimage_from_handle(std::intptr_t handle) {
    const Bitmap* b = bitmap_from_handle(handle);
    if (!b || !b->bits || b->width <= 0 || b->height <= 0 || (b->bpp != 24 && b->bpp != 32)) return {};
    if (b->stride < b->width * (b->bpp / 8)) return {};
    QImage out(b->width, b->height, b->bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return {};
    for (int y = 0; y < b->height; ++y) {
        const std::uint8_t* src = b->row(y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < b->width; ++x) {
            const std::uint8_t* px = src + x * (b->bpp / 8);
            const int alpha = b->bpp == 32 ? px[3] : 255;
            dst[x] = qRgba(px[2], px[1], px[0], alpha);
        }
    }
    return out;
}

}  // namespace morvane
