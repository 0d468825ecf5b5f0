// Pixel storage: zeroed, bottom-up blocks of memory with the one stride rule.
#include "image/bitmap.h"

#include <cstdlib>
#include <new>

namespace morvane {

std::int64_t bitmap_stride(std::int64_t width, int bpp) {
    if (width < 0 || bpp <= 0 || bpp > 64) return -1;
    // width * bpp cannot overflow 64 bits for a 32-bit result, so check the width first.
    if (width > (std::int64_t{1} << 36)) return -1;
    const std::int64_t stride = 4 * ((width * bpp + 31) / 32);
    if (stride > INT32_MAX) return -1;
    return stride;
}

Bitmap* bitmap_create(std::int32_t width, std::int32_t height, int bpp) {
    if (width <= 0 || height <= 0) return nullptr;
    if (bpp >= 2 && bpp < 24) bpp = 24;
    if (bpp != 1 && bpp != 24 && bpp != 32) return nullptr;
    const std::int64_t stride = bitmap_stride(width, bpp);
    if (stride <= 0) return nullptr;
    // stride < 2^31 and height < 2^31, so the product fits in 62 bits.
    const std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
    if (bytes > static_cast<std::uint64_t>(PTRDIFF_MAX)) return nullptr;

    auto* bitmap = new (std::nothrow) Bitmap;
    if (!bitmap) return nullptr;
    bitmap->bits = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1));
    if (!bitmap->bits) {
        delete bitmap;
        return nullptr;
    }
    bitmap->kind = Bitmap::Kind::Pixels;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bpp = bpp;
    bitmap->stride = static_cast<std::int32_t>(stride);
    return bitmap;
}

void bitmap_destroy(Bitmap* bitmap) {
    if (!bitmap) return;
    std::free(bitmap->bits);
    delete bitmap;
}

}  // namespace morvane
