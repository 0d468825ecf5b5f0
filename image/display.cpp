// Display copies and masks for widgets that show images.

#include "image/image.h"

namespace morvane {

namespace {

// Greyed look: luminance pulled toward the middle, scaled by alpha in single precision.
std::uint8_t grey_level(std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a) {
    int level = (3 * r + 6 * g + b) / 10;
    if (level < 64) level = 64 + ((level - 64) * 7) / 10;
    if (level > 192) level = 192 + ((level - 192) * 7) / 10;
    const float opacity = static_cast<float>(a) / 255.0f;
    return static_cast<std::uint8_t>(static_cast<int>(opacity * static_cast<float>(level)));
}

}  // namespace

Bitmap* display_copy(std::intptr_t handle, bool greyed) {
    const Bitmap* source = bitmap_from_handle(handle);
    if (!source || (source->bpp != 24 && source->bpp != 32)) return nullptr;
    Bitmap* copy = bitmap_create(source->width, source->height, 32);
    if (!copy) return nullptr;
    for (int y = 0; y < source->height; ++y) {
        const std::uint8_t* in = source->row(y);
        std::uint8_t* out = copy->row(y);
        for (int x = 0; x < source->width; ++x, out += 4) {
            std::uint8_t b, g, r, a;
            if (source->bpp == 32) {
                b = in[4 * x], g = in[4 * x + 1], r = in[4 * x + 2], a = in[4 * x + 3];
            } else {
                // 24-bit pixels carry no alpha; they are shown opaque.
                b = in[3 * x], g = in[3 * x + 1], r = in[3 * x + 2], a = 255;
            }
            if (greyed) {
                b = g = r = grey_level(b, g, r, a);
            } else if (a < 255) {
                b = static_cast<std::uint8_t>((b * a) >> 8);
                g = static_cast<std::uint8_t>((g * a) >> 8);
                r = static_cast<std::uint8_t>((r * a) >> 8);
            }
            out[0] = b, out[1] = g, out[2] = r, out[3] = a;
        }
    }
    return copy;
}

Bitmap* mask_bitmap(std::intptr_t handle) {
    const Bitmap* source = bitmap_from_handle(handle);
    if (!source) return nullptr;
    // New storage is all zero bits: black, visible.
    Bitmap* mask = bitmap_create(source->width, source->height, 1);
    if (!mask || source->bpp != 32) return mask;

    bool any_alpha = false;
    for (int y = 0; y < source->height && !any_alpha; ++y) {
        const std::uint8_t* in = source->row(y);
        for (int x = 0; x < source->width; ++x) {
            if (in[4 * x + 3] != 0) {
                any_alpha = true;
                break;
            }
        }
    }
    if (!any_alpha) return mask;
    // Leftmost pixel in the highest bit of each byte; 1 (white) marks a transparent pixel.
    for (int y = 0; y < source->height; ++y) {
        const std::uint8_t* in = source->row(y);
        std::uint8_t* out = mask->row(y);
        for (int x = 0; x < source->width; ++x) {
            if (in[4 * x + 3] == 0) out[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        }
    }
    return mask;
}

}  // namespace morvane
