// image_resize and the nearest-pixel stretch.
#include <cstring>
#include <new>
#include <vector>

#include "image/image.h"
#include "image/resample.h"

namespace morvane {

bool stretch_nearest(const Bitmap& src, Bitmap& dst) {
    const int bytes = src.bpp / 8;
    std::vector<int> offsets;
    try {
        offsets.resize(dst.width);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int x = 0; x < dst.width; ++x) {
        offsets[x] = static_cast<int>(static_cast<long long>(x) * src.width / dst.width) * bytes;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(dst.width) * bytes;
    int previous = -1;
    for (int y = 0; y < dst.height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * src.height / dst.height);
        std::uint8_t* out = dst.row(y);
        // Repeated source rows are copied whole from the row just made.
        if (sy == previous) {
            std::memcpy(out, dst.row(y - 1), row_bytes);
            continue;
        }
        previous = sy;
        const std::uint8_t* in = src.row(sy);
        if (bytes == 4) {
            for (int x = 0; x < dst.width; ++x) std::memcpy(out + 4 * x, in + offsets[x], 4);
        } else {
            for (int x = 0; x < dst.width; ++x) std::memcpy(out + 3 * x, in + offsets[x], 3);
        }
    }
    return true;
}

std::intptr_t image_resize(ObjectNumber number, int width, int height, int mode) {
    Image* record = image_record(number);
    if (!record) return 0;
    Bitmap* old = bitmap_from_handle(record->handle);
    if (old->kind != Bitmap::Kind::Pixels) return 0;  // icons cannot be resized
    if (width == KeepSize) width = record->width;
    if (height == KeepSize) height = record->height;
    if (width == record->width && height == record->height) return record->handle;

    // Sizes the record cannot hold fail like storage that cannot be made.
    const bool valid = width > 0 && height > 0 && width <= 32767 && height <= 32767;
    Bitmap* resized = valid ? bitmap_create(width, height, old->bpp) : nullptr;
    bool filled = resized != nullptr;
    if (filled) {
        if (mode == Nearest) {
            filled = stretch_nearest(*old, *resized);
        } else if (old->bpp == 32) {
            filled = resample_cubic(old->bits, old->width, old->height, resized->bits, width, height);
        } else {
            filled = area_filter(*old, *resized);
        }
    }
    bitmap_destroy(old);
    record->handle = 0;
    if (!filled) {
        // The old pixels are gone either way: the number no longer names an image.
        bitmap_destroy(resized);
        return 0;
    }
    record->handle = bitmap_handle(resized);
    record->width = static_cast<std::int16_t>(width);
    record->height = static_cast<std::int16_t>(height);
    return record->handle;
}

}  // namespace morvane
