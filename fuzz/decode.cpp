// Fuzz target: image_from_memory over every registered decoder and the icon reader.
#include <cstddef>
#include <cstdint>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"

namespace {

bool set_up() {
    morvane::image_codecs_init();
    morvane::bmp_codec_register();
    morvane::png_decoder_register();
    morvane::png_encoder_register();
    morvane::jpeg_decoder_register();
    morvane::jpeg_encoder_register();
    // Large enough for every header path, small enough for the fuzzer's memory limit.
    morvane::image_codecs_set_pixel_limit(std::int64_t{1} << 18);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = set_up();
    (void)ready;
    if (size > 0x7FFFFFFF) return 0;
    if (morvane::image_from_memory(1, data, static_cast<std::int32_t>(size)) != 0) {
        const morvane::Image* record = morvane::image_record(1);
        const morvane::Bitmap* bitmap = morvane::bitmap_from_handle(record->handle);
        if (bitmap->width != record->width || bitmap->height != record->height || bitmap->width <= 0 ||
            bitmap->height <= 0 || (bitmap->bpp != 24 && bitmap->bpp != 32)) {
            __builtin_trap();
        }
        // Touch the first and last rows so that the sanitizers check the storage's extent.
        unsigned sum = 0;
        for (std::int32_t x = 0; x < bitmap->stride; ++x)
            sum += bitmap->row(0)[x] + bitmap->row(bitmap->height - 1)[x];
        volatile unsigned sink = sum;
        (void)sink;
    }
    morvane::image_free(1);
    return 0;
}
