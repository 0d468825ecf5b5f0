// BMP writer: 1, 4, 8 (palette through the quantiser), 24 and 32 bits per pixel.
#include <cstdlib>
#include <cstring>

#include "image/codec.h"
#include "image/quantize.h"

namespace morvane {

namespace {

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

std::int64_t row_length(std::int64_t width, int depth) {
    std::int64_t length = 0;
    switch (depth) {
        case 24:
        case 32:
            length = (depth / 8 * width + 3) & ~std::int64_t{3};
            break;
        case 1:
            length = ((width + 7) / 8 + 3) & ~std::int64_t{3};
            break;
        case 4:
            length = ((width + 1) / 2 + 3) & ~std::int64_t{3};
            break;
        case 8:
            length = (width + 3) & ~std::int64_t{3};
            break;
        default:
            return -1;
    }
    return (length == 0 && depth <= 8) ? 4 : length;
}

// Packed palette indices, bottom picture row first.
bool write_indexed(std::uint8_t* out, std::int64_t row_len, const std::uint8_t* pixels, std::int32_t width,
                   std::int32_t height, std::int32_t stride, int source_bpp, bool bottom_up, int depth) {
    QuantizedPicture q;
    if (!quantize_picture(pixels, width, height, stride, source_bpp, bottom_up, 1 << depth, q)) return false;
    for (std::size_t i = 0; i < q.palette.size(); ++i) {
        const std::uint32_t c = q.palette[i];
        std::uint8_t* e = out + 4 * i;
        e[0] = static_cast<std::uint8_t>(c);
        e[1] = static_cast<std::uint8_t>(c >> 8);
        e[2] = static_cast<std::uint8_t>(c >> 16);
        e[3] = 0;
    }
    std::uint8_t* rows = out + 4 * q.palette.size();
    const int per_byte = 8 / depth;
    for (std::int32_t r = 0; r < height; ++r) {
        const std::uint8_t* index = q.indices.data() + static_cast<std::size_t>(height - 1 - r) * width;
        std::uint8_t* row = rows + r * row_len;
        for (std::int32_t x = 0; x < width; ++x) {
            const int shift = 8 - depth * (x % per_byte + 1);
            row[x / per_byte] = static_cast<std::uint8_t>(row[x / per_byte] | index[x] << shift);
        }
    }
    return true;
}

std::intptr_t bmp_write(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                        std::int32_t height, std::int32_t stride, int flags, int depth, int source_bpp) {
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return 0;
    if (!pixels || width <= 0 || height <= 0 || stride <= 0) return 0;
    const std::int64_t row_len = row_length(width, depth);
    const std::int64_t palette_bytes = depth <= 8 ? 4 * (std::int64_t{1} << depth) : 0;
    const std::int64_t offset = 54 + palette_bytes;
    const std::int64_t image_size = row_len * height;
    const std::int64_t file_size = offset + image_size;
    if (file_size > UINT32_MAX) return 0;
    const bool bottom_up = (flags & BottomUp) != 0;

    auto* out = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(file_size), 1));
    if (!out) return 0;
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, static_cast<std::uint32_t>(file_size));
    put32(out + 10, static_cast<std::uint32_t>(offset));
    put32(out + 14, 40);
    put32(out + 18, static_cast<std::uint32_t>(width));
    put32(out + 22, static_cast<std::uint32_t>(height));
    put16(out + 26, 1);
    put16(out + 28, static_cast<std::uint32_t>(depth));
    put32(out + 34, static_cast<std::uint32_t>(image_size));

    std::uint8_t* rows = out + offset;
    if (depth <= 8) {
        if (!write_indexed(out + 54, row_len, pixels, width, height, stride, source_bpp, bottom_up, depth)) {
            std::free(out);
            return 0;
        }
    } else if (bottom_up && stride == row_len && source_bpp == depth) {
        // Same layout as the file: one piece.
        std::memcpy(rows, pixels, static_cast<std::size_t>(image_size));
    } else {
        const int in_step = source_bpp / 8, out_step = depth / 8;
        for (std::int32_t r = 0; r < height; ++r) {
            // File row r is the r-th row from the bottom.
            const std::int32_t memory_row = bottom_up ? r : height - 1 - r;
            const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(memory_row) * stride;
            std::uint8_t* o = rows + r * row_len;
            for (std::int32_t x = 0; x < width; ++x, in += in_step, o += out_step) {
                if (source_bpp == 32) {
                    const unsigned a = in[3];
                    for (int c = 0; c < 3; ++c)
                        o[c] = static_cast<std::uint8_t>((in[c] * a + 255u * (255u - a)) / 255u);
                } else {
                    o[0] = in[0];
                    o[1] = in[1];
                    o[2] = in[2];
                }
            }
        }
    }
    return encoded_output(file_name, out, static_cast<std::size_t>(file_size));
}

std::intptr_t bmp_write24(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                          std::int32_t height, std::int32_t stride, int flags, int, int depth) {
    return bmp_write(file_name, pixels, width, height, stride, flags, depth, 24);
}

std::intptr_t bmp_write32(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                          std::int32_t height, std::int32_t stride, int flags, int, int depth) {
    return bmp_write(file_name, pixels, width, height, stride, flags, depth, 32);
}

}  // namespace

extern const ImageDecoder bmp_decoder;
const ImageEncoder bmp_encoder{FormatBmp, bmp_write24, bmp_write32};

void bmp_codec_register() {
    codec_register_once(&bmp_decoder);
    codec_register_once(&bmp_encoder);
}

}  // namespace morvane
