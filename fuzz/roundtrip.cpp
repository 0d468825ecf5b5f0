// Fuzz target: decode, then encode to every format and decode again. BMP and PNG at the
// picture's own depth (PNG also at its smallest) must give back the same pixels (BMP drops
// alpha); every other output must decode to the same size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "image/png_optimize.h"

namespace {

using morvane::Bitmap;

bool set_up() {
    morvane::image_codecs_init();
    morvane::bmp_codec_register();
    morvane::png_decoder_register();
    morvane::png_encoder_register();
    morvane::jpeg_decoder_register();
    morvane::jpeg_encoder_register();
    morvane::image_codecs_set_pixel_limit(std::int64_t{1} << 16);  // encoders are slower than decoders
    return true;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// Encodes `source` with one writer and decodes the block into image 2; returns its bitmap.
const Bitmap* through(std::uint32_t tag, const Bitmap& source, int depth, int parameter) {
    const morvane::ImageEncoder* encoder = morvane::encoder_find(tag);
    morvane::ImageWriter writer =
        (source.bpp == 32 && encoder->write32 && depth == 32) ? encoder->write32 : encoder->write24;
    if (source.bpp == 32 && writer == encoder->write24) return nullptr;  // image_save would flatten first
    auto* block =
        reinterpret_cast<morvane::EncodedBlock*>(writer(nullptr, source.bits, source.width, source.height,
                                                        source.stride, morvane::BottomUp, parameter, depth));
    check(block != nullptr);
    const std::intptr_t ok =
        morvane::image_from_memory(2, block->data, static_cast<std::int32_t>(block->size));
    morvane::encoded_block_free(block);
    check(ok != 0);
    const Bitmap* out = morvane::bitmap_from_handle(morvane::image_handle(2));
    check(out->width == source.width && out->height == source.height);
    return out;
}

bool same_colors(const Bitmap& a, const Bitmap& b, bool with_alpha) {
    const int sa = a.bpp / 8, sb = b.bpp / 8;
    for (std::int32_t y = 0; y < a.height; ++y)
        for (std::int32_t x = 0; x < a.width; ++x) {
            const std::uint8_t* p = a.row(y) + sa * x;
            const std::uint8_t* q = b.row(y) + sb * x;
            if (std::memcmp(p, q, with_alpha ? 4 : 3) != 0) return false;
        }
    return true;
}

bool opaque(const Bitmap& b) {
    if (b.bpp != 32) return true;
    for (std::int32_t y = 0; y < b.height; ++y)
        for (std::int32_t x = 0; x < b.width; ++x)
            if (b.row(y)[4 * x + 3] != 255) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = set_up();
    (void)ready;
    if (size > 0x7FFFFFFF) return 0;
    if (morvane::image_from_memory(1, data, static_cast<std::int32_t>(size)) == 0) return 0;
    const Bitmap* source = morvane::bitmap_from_handle(morvane::image_handle(1));
    if (source->kind != Bitmap::Kind::Pixels) {
        morvane::image_free(1);
        return 0;
    }
    const Bitmap* out = through(morvane::FormatBmp, *source, source->bpp, 7);
    check(out && same_colors(*source, *out, false));
    out = through(morvane::FormatPng, *source, source->bpp, 7);
    check(out && out->bpp == source->bpp && same_colors(*source, *out, source->bpp == 32));
    // The smallest PNG gives back the same pixels (a file without alpha reads as 24 bits).
    morvane::png_smallest_set(true);
    out = through(morvane::FormatPng, *source, source->bpp, 7);
    morvane::png_smallest_set(false);
    check(out && same_colors(*source, *out, out->bpp == 32) && (out->bpp == 32) == !opaque(*source));
    if (source->bpp == 24) {
        // Palette depth from the data; JPEG at a quality step from the data.
        const int depth = 1 + data[size / 2] % 8;
        through(morvane::FormatPng, *source, depth, 7);
        if (depth == 1 || depth == 4 || depth == 8) through(morvane::FormatBmp, *source, depth, 7);
        through(morvane::FormatJpeg, *source, 24, data[size - 1] % 11);
    }
    morvane::image_free(2);
    morvane::image_free(1);
    return 0;
}
