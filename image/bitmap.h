// Pixel storage owned by the image layer: what an image's handle points to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace morvane {

/// One block of pixel memory, or an icon picture.
///
/// Layout (bitmaps): rows bottom-up (memory row 0 is the picture's bottom line, so pixel
/// (x, y) is in memory row height - 1 - y); bytes blue, green, red (, alpha); stride by
/// `bitmap_stride`. Bits per pixel is 24 or 32 for images, 1 for masks. New storage is
/// all zero bytes.
///
/// An icon (kind Icon) holds a 32-bit picture with straight alpha in the same layout; it
/// can be shown and drawn as a source but is never an output, never resized or saved.
struct Bitmap {
    enum class Kind : std::uint8_t { Pixels, Icon };
    Kind kind = Kind::Pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bpp = 0;     // bits per pixel: 1, 24 or 32
    std::int32_t stride = 0;  // bytes per memory row
    std::uint8_t* bits = nullptr;
    std::uint64_t mapped_bytes = 0;  // length of a mapping made for large storage, else 0

    /// Address of the first byte of picture row y (0 = top).
    std::uint8_t* row(std::int32_t y) const {
        return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
    }
};

/// Bytes per storage row for a width and bits per pixel: the one stride rule,
/// 4 * ((width * bpp + 31) / 32). Returns -1 when it would not fit in 32 bits.
std::int64_t bitmap_stride(std::int64_t width, int bpp);

/// New zeroed storage, or null for a non-positive size, an unsupported depth, a size whose
/// byte count overflows, or no memory. `bpp` 1, 24 or 32 (values 2..23 become 24).
Bitmap* bitmap_create(std::int32_t width, std::int32_t height, int bpp);

/// Releases storage made by bitmap_create (null does nothing).
void bitmap_destroy(Bitmap* bitmap);

/// Owns storage made by bitmap_create.
struct BitmapDeleter {
    void operator()(Bitmap* bitmap) const { bitmap_destroy(bitmap); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

/// The storage behind a handle value, or null for 0.
inline Bitmap* bitmap_from_handle(std::intptr_t handle) {
    return reinterpret_cast<Bitmap*>(handle);
}
inline std::intptr_t bitmap_handle(const Bitmap* bitmap) {
    return reinterpret_cast<std::intptr_t>(bitmap);
}

}  // namespace morvane
