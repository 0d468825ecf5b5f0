// Fuzz target: the icon reader (directory, entry choice, bitmap and PNG entries).
#include <cstddef>
#include <cstdint>

#include "image/bitmap.h"
#include "image/codec.h"

namespace {

bool set_up() {
    morvane::image_codecs_set_pixel_limit(std::int64_t{1} << 18);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = set_up();
    (void)ready;
    int depth = 0;
    morvane::Bitmap* icon = morvane::icon_decode(data, size, &depth);
    if (icon) {
        if (icon->kind != morvane::Bitmap::Kind::Icon || icon->bpp != 32 || icon->width <= 0 ||
            icon->height <= 0 || depth <= 0 || depth > 32) {
            __builtin_trap();
        }
        unsigned sum = 0;
        for (std::int32_t y = 0; y < icon->height; ++y)
            for (std::int32_t x = 0; x < 4 * icon->width; ++x) sum += icon->row(y)[x];
        volatile unsigned sink = sum;
        (void)sink;
    }
    morvane::bitmap_destroy(icon);
    return 0;
}
