// Creating images: create, copy and grab.
#include <algorithm>
#include <cstring>

#include "image/image.h"
#include "image/image_table.h"

namespace morvane {

namespace {

// The record keeps sizes as signed 16-bit values.
bool valid_size(int width, int height) {
    return width > 0 && height > 0 && width <= 32767 && height <= 32767;
}

// What a creating operation returns: the handle for a fixed target, the number for -1.
std::intptr_t creation_result(ObjectNumber requested, ObjectNumber number, const Image* record) {
    return requested == -1 ? number : record->handle;
}

void fill(Bitmap* bitmap, Color background) {
    const std::uint8_t b = static_cast<std::uint8_t>(background >> 16);
    const std::uint8_t g = static_cast<std::uint8_t>(background >> 8);
    const std::uint8_t r = static_cast<std::uint8_t>(background);
    const std::uint8_t a = static_cast<std::uint8_t>(background >> 24);
    if (bitmap->bpp == 32 && background == 0) return;  // storage is already zero
    if (bitmap->bpp == 24 && (background & 0xFFFFFFu) == 0) return;
    const int bytes = bitmap->bpp / 8;
    const std::uint8_t pixel[4] = {b, g, r, a};
    // Build one row, then copy it to the others.
    std::uint8_t* first = bitmap->bits;
    for (int x = 0; x < bitmap->width; ++x) std::memcpy(first + x * bytes, pixel, bytes);
    for (int y = 1; y < bitmap->height; ++y) {
        std::memcpy(first + static_cast<std::ptrdiff_t>(y) * bitmap->stride, first,
                    static_cast<std::size_t>(bitmap->width) * bytes);
    }
}

}  // namespace

std::intptr_t image_create(ObjectNumber number, int width, int height, int depth, Color background) {
    ObjectNumber result_number = 0;
    Image* record = image_take_record(number, &result_number);
    if (!record) return 0;

    int bpp = 0;
    if (depth == 32) {
        bpp = 32;
        background = background == BackgroundTransparent ? 0 : background | 0xFF000000u;
    } else if (depth <= 24) {
        bpp = 24;
    }
    Bitmap* bitmap = bpp && valid_size(width, height) ? bitmap_create(width, height, bpp) : nullptr;
    if (!bitmap) {
        image_release_record(result_number);
        return 0;
    }
    fill(bitmap, background);
    record->handle = bitmap_handle(bitmap);
    record->width = static_cast<std::int16_t>(width);
    record->height = static_cast<std::int16_t>(height);
    record->depth = static_cast<std::uint8_t>(bpp);
    record->source_depth = static_cast<std::uint8_t>(bpp);
    record->format_tag = 0;
    return creation_result(number, result_number, record);
}

std::intptr_t image_copy(ObjectNumber source, ObjectNumber target) {
    const Image* source_record = image_record(source);
    if (!source_record) return 0;
    // Make the copy before the target record is taken, so that copying an image onto its
    // own number never reads storage that taking the record has freed.
    const Image saved = *source_record;
    const Bitmap* from = bitmap_from_handle(saved.handle);
    Bitmap* copy = bitmap_create(from->width, from->height, from->bpp);
    if (copy) {
        copy->kind = from->kind;
        std::memcpy(copy->bits, from->bits, static_cast<std::size_t>(from->stride) * from->height);
    }

    ObjectNumber result_number = 0;
    Image* record = image_take_record(target, &result_number);
    if (!record) {
        bitmap_destroy(copy);
        return 0;
    }
    if (!copy) {
        image_release_record(result_number);
        return 0;
    }
    *record = saved;
    record->handle = bitmap_handle(copy);
    return creation_result(target, result_number, record);
}

std::intptr_t image_grab(ObjectNumber source, ObjectNumber target, int x, int y, int width, int height) {
    const Image* source_record = image_record(source);
    if (!source_record || !valid_size(width, height)) return 0;
    const Bitmap* from = bitmap_from_handle(source_record->handle);
    if (from->kind != Bitmap::Kind::Pixels) return 0;
    Bitmap* grabbed = bitmap_create(width, height, from->bpp);
    if (!grabbed) return 0;

    // Copy the part of the rectangle that lies inside the source; the rest stays zero.
    const int bytes = from->bpp / 8;
    const int x0 = std::max(x, 0);
    const int x1 = static_cast<int>(std::min<long long>(static_cast<long long>(x) + width, from->width));
    const int y0 = std::max(y, 0);
    const int y1 = static_cast<int>(std::min<long long>(static_cast<long long>(y) + height, from->height));
    if (x0 < x1) {
        const std::size_t length = static_cast<std::size_t>(x1 - x0) * bytes;
        for (int sy = y0; sy < y1; ++sy) {
            std::memcpy(grabbed->row(sy - y) + static_cast<std::ptrdiff_t>(x0 - x) * bytes,
                        from->row(sy) + static_cast<std::ptrdiff_t>(x0) * bytes, length);
        }
    }

    // Taking the target may free the source (grab onto its own number): read it first.
    const std::uint8_t source_depth = source_record->source_depth;
    ObjectNumber result_number = 0;
    Image* record = image_take_record(target, &result_number);
    if (!record) {
        bitmap_destroy(grabbed);
        return 0;
    }
    record->handle = bitmap_handle(grabbed);
    record->width = static_cast<std::int16_t>(width);
    record->height = static_cast<std::int16_t>(height);
    record->depth = static_cast<std::uint8_t>(grabbed->bpp);
    record->source_depth = source_depth;
    record->format_tag = 0;
    return creation_result(target, result_number, record);
}

}  // namespace morvane
