// Fuzz target for the palette readers: any bytes under any of the known file names read to a
// palette of 1..256 colours or to a message naming the file; a palette read writes and reads
// back to the same colours in Paint.NET form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "image/codec.h"
#include "palette/palette.h"

namespace {

bool init() {
    morvane::image_codecs_init();
    morvane::bmp_codec_register();
    morvane::png_decoder_register();
    morvane::image_codecs_set_pixel_limit(1 << 20);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = init();
    (void)ready;
    if (size == 0) return 0;
    // The first byte chooses the file name, so that the extension rules are reached too.
    static const char* const names[] = {"f.gpl", "f.hex", "f.pal", "f.txt", "f.png", "f"};
    const std::string name = names[data[0] % 6];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const morvane::Result<morvane::Palette> read = morvane::palette_parse(bytes, name);
    if (!read.ok()) {
        if (read.error.rfind(name, 0) != 0) std::abort();
        return 0;
    }
    const auto& colours = read.value->colours;
    if (colours.empty() || colours.size() > morvane::MaxSwatches) std::abort();
    const std::string text = morvane::palette_format(*read.value, morvane::PaletteFormat::Txt);
    const morvane::Result<morvane::Palette> back = morvane::palette_parse(text, "back.txt");
    if (!back.ok() || back.value->colours != colours) std::abort();
    return 0;
}
