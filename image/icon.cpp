// Icon files: the entry is chosen from the directory and decoded into a 32-bit picture with
// straight alpha, from a PNG entry or from a bitmap entry with its transparency mask.
#include <algorithm>
#include <cstring>

#include "image/bitmap.h"
#include "image/codec.h"

namespace morvane {

namespace {

constexpr std::size_t DirectoryHeader = 6;
constexpr std::size_t EntrySize = 16;

std::uint32_t u16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Decodes a bitmap entry: header, palette, colour rows, then the 1-bit mask (1 = transparent).
Bitmap* decode_dib(const std::uint8_t* d, std::size_t size, int* depth) {
    if (size < 40) return nullptr;
    const std::uint32_t header = u32(d);
    const std::int64_t width = static_cast<std::int32_t>(u32(d + 4));
    const std::int64_t double_height = static_cast<std::int32_t>(u32(d + 8));
    const int bits = static_cast<int>(u16(d + 14));
    const std::uint32_t compression = u32(d + 16);
    const std::uint32_t used = u32(d + 32);
    if (header < 40 || header > size || compression != 0) return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
    const std::int64_t height = double_height / 2;
    if (!codec_size_allowed(width, height)) return nullptr;

    const std::int64_t palette_entries =
        bits <= 8 ? (used > 0 && used < (1u << bits) ? used : (1u << bits)) : 0;
    const std::int64_t palette_at = header;
    const std::int64_t color_at = palette_at + 4 * palette_entries;
    const std::int64_t color_stride = 4 * ((width * bits + 31) / 32);
    const std::int64_t mask_at = color_at + color_stride * height;
    const std::int64_t mask_stride = 4 * ((width + 31) / 32);
    // The colour rows must be complete; a missing mask leaves the picture opaque.
    if (mask_at > static_cast<std::int64_t>(size)) return nullptr;
    const bool has_mask = mask_at + mask_stride * height <= static_cast<std::int64_t>(size);

    Bitmap* out = bitmap_create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), 32);
    if (!out) return nullptr;
    bool any_alpha = false;
    for (std::int64_t r = 0; r < height; ++r) {  // r counts memory rows, bottom-up as in the file
        const std::uint8_t* in = d + color_at + r * color_stride;
        std::uint8_t* o = out->bits + r * out->stride;
        for (std::int64_t x = 0; x < width; ++x, o += 4) {
            std::uint32_t index = 0;
            switch (bits) {
                case 32:
                    std::memcpy(o, in + 4 * x, 4);
                    any_alpha = any_alpha || o[3] != 0;
                    continue;
                case 24:
                    std::memcpy(o, in + 3 * x, 3);
                    break;
                case 16: {
                    const std::uint32_t v = u16(in + 2 * x);
                    o[0] = static_cast<std::uint8_t>((v & 31) * 8);
                    o[1] = static_cast<std::uint8_t>(((v >> 5) & 31) * 8);
                    o[2] = static_cast<std::uint8_t>(((v >> 10) & 31) * 8);
                    break;
                }
                case 8:
                    index = in[x];
                    break;
                case 4:
                    index = (x & 1) ? in[x / 2] & 15 : in[x / 2] >> 4;
                    break;
                default:
                    index = (in[x / 8] >> (7 - x % 8)) & 1;
                    break;
            }
            if (bits <= 8 && index < palette_entries) std::memcpy(o, d + palette_at + 4 * index, 3);
            o[3] = 255;
        }
    }
    // Pictures without alpha of their own take it from the mask.
    if (!any_alpha) {
        for (std::int64_t r = 0; r < height; ++r) {
            std::uint8_t* o = out->bits + r * out->stride;
            const std::uint8_t* mask = d + mask_at + r * mask_stride;
            for (std::int64_t x = 0; x < width; ++x)
                o[4 * x + 3] = (has_mask && ((mask[x / 8] >> (7 - x % 8)) & 1)) ? 0 : 255;
        }
    }
    *depth = bits;
    return out;
}

}  // namespace

Bitmap* icon_decode(const std::uint8_t* data, std::size_t size, int* entry_depth) {
    if (!data || size < DirectoryHeader + EntrySize || u16(data) != 0 || u16(data + 2) != 1) return nullptr;
    const std::size_t count = u16(data + 4);
    const std::size_t listed = std::min(count, (size - DirectoryHeader) / EntrySize);
    if (listed == 0) return nullptr;

    // The first entry, or a later one of the same size with more bits per pixel.
    const std::uint8_t* first = data + DirectoryHeader;
    const std::uint8_t* chosen = first;
    for (std::size_t i = 1; i < listed; ++i) {
        const std::uint8_t* e = data + DirectoryHeader + i * EntrySize;
        if (e[0] == first[0] && e[1] == first[1] && u16(e + 6) > u16(chosen + 6)) chosen = e;
    }
    const std::uint64_t bytes = u32(chosen + 8);
    const std::uint64_t offset = u32(chosen + 12);
    if (offset > size || bytes > size - offset || bytes < 8) return nullptr;
    const std::uint8_t* image = data + offset;

    static const std::uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bitmap* out = nullptr;
    int depth = 0;
    if (std::memcmp(image, png_signature, 8) == 0) {
        out = png_decode_rgba(image, static_cast<std::size_t>(bytes));
        depth = 32;
    } else {
        out = decode_dib(image, static_cast<std::size_t>(bytes), &depth);
    }
    if (!out) return nullptr;
    out->kind = Bitmap::Kind::Icon;
    if (entry_depth) *entry_depth = depth;
    return out;
}

}  // namespace morvane
