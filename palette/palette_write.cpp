// Writing palette files, and the palette a new installation starts with.
#include <algorithm>
#include <cstdio>

#include "image/file.h"
#include "palette/palette.h"

namespace morvane {

namespace {

std::string hex_colour(Color c, bool alpha, bool upper) {
    char text[16];
    const char* format = upper ? "%02X%02X%02X%02X" : "%02x%02x%02x%02x";
    std::snprintf(text, sizeof text, format, c >> 24, color_red(c), color_green(c), color_blue(c));
    return alpha ? std::string(text) : std::string(text + 2);
}

std::string decimal_rgb(Color c, const char* separator) {
    return std::to_string(color_red(c)) + separator + std::to_string(color_green(c)) + separator +
           std::to_string(color_blue(c));
}

// A name on one line: line breaks and other control bytes become spaces.
std::string one_line(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return out.empty() ? "Morvane" : out;
}

}  // namespace

std::string palette_format(const Palette& palette, PaletteFormat format) {
    const std::size_t count = std::min(palette.colours.size(), MaxSwatches);
    std::string out;
    switch (format) {
        case PaletteFormat::Gpl:
            out = "GIMP Palette\nName: " + one_line(palette.name) + "\nColumns: 8\n#\n";
            for (std::size_t i = 0; i < count; ++i) {
                const Color c = palette.colours[i];
                char line[40];
                std::snprintf(line, sizeof line, "%3u %3u %3u\t#", color_red(c), color_green(c), color_blue(c));
                out += line + hex_colour(c, false, false) + "\n";
            }
            break;
        case PaletteFormat::Hex:
            for (std::size_t i = 0; i < count; ++i) out += hex_colour(palette.colours[i], false, false) + "\n";
            break;
        case PaletteFormat::Pal:
            out = "JASC-PAL\r\n0100\r\n" + std::to_string(count) + "\r\n";
            for (std::size_t i = 0; i < count; ++i) out += decimal_rgb(palette.colours[i], " ") + "\r\n";
            break;
        case PaletteFormat::Txt:
            out = "; paint.net Palette File\n; Name: " + one_line(palette.name) + "\n; Colors: " +
                  std::to_string(count) + "\n";
            for (std::size_t i = 0; i < count; ++i) out += hex_colour(palette.colours[i], true, true) + "\n";
            break;
    }
    return out;
}

Result<bool> palette_save(const std::string& path, const Palette& palette) {
    const std::string text = palette_format(palette, palette_format_for(path));
    if (!file_write_atomic(path.c_str(), text.data(), text.size()))
        return Result<bool>::failure(path + ": the palette cannot be written");
    return Result<bool>::success(true);
}

Palette default_palette() {
    static constexpr std::uint32_t kDawnBringer32[] = {
        0x000000, 0x222034, 0x45283c, 0x663931, 0x8f563b, 0xdf7126, 0xd9a066, 0xeec39a,
        0xfbf236, 0x99e550, 0x6abe30, 0x37946e, 0x4b692f, 0x524b24, 0x323c39, 0x3f3f74,
        0x306082, 0x5b6ee1, 0x639bff, 0x5fcde4, 0xcbdbfc, 0xffffff, 0x9badb7, 0x847e87,
        0x696a6a, 0x595652, 0x76428a, 0xac3232, 0xd95763, 0xd77bba, 0x8f974a, 0x8a6f30,
    };
    Palette palette{"DawnBringer 32", {}};
    for (std::uint32_t v : kDawnBringer32) palette.colours.push_back(rgba(v >> 16, v >> 8 & 255, v & 255, 255));
    return palette;
}

}  // namespace morvane
