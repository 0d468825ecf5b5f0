// Copying a rectangle of pixels between two images of the same size.
#include "app/paint_region.h"

#include <cstring>

#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

bool copy_image_rect(ObjectNumber source, ObjectNumber target, const Rect& rect) {
    const Bitmap* from = bitmap_from_handle(image_handle(source));
    const Bitmap* to = bitmap_from_handle(image_handle(target));
    if (!from || !to || from == to) return false;
    if (from->kind != Bitmap::Kind::Pixels || to->kind != Bitmap::Kind::Pixels) return false;
    if (from->width != to->width || from->height != to->height || from->bpp != 32 || to->bpp != 32)
        return false;
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0);
    const std::int64_t y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, from->width);
    const std::int64_t y1 = std::min<std::int64_t>(rect.y1, from->height);
    if (x1 <= x0 || y1 <= y0) return true;
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 4;
    for (std::int64_t y = y0; y < y1; ++y) {
        const int row = static_cast<int>(y);
        std::memcpy(to->row(row) + x0 * 4, from->row(row) + x0 * 4, bytes);
    }
    return true;
}

}  // namespace morvane
