// Palettes of up to 256 colours: the value, reading every supported file kind, writing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/color.h"
#include "image/result.h"

namespace morvane {

/// A palette holds at most this many swatches.
inline constexpr std::size_t MaxSwatches = 256;

/// Colours in swatch order (packed as image/color.h says, alpha included) and a name.
struct Palette {
    std::string name;
    std::vector<Color> colours;
};

/// The file kinds written: GIMP ("GIMP Palette" header, "R G B name" lines), Lospec hex
/// (one RRGGBB a line), JASC-PAL (header, version, count, "R G B" lines, CRLF) and
/// Paint.NET (';' comments, one AARRGGBB a line: the one that keeps alpha).
enum class PaletteFormat { Gpl, Hex, Pal, Txt };

/// Reads a palette from the bytes of a file named `file_name` (the name appears in every
/// message and its extension helps tell .hex and .txt apart). Accepts GIMP .gpl, .hex,
/// JASC .pal, Paint.NET .txt, and a PNG or BMP picture whose distinct colours, in reading
/// order, are the palette (PNG and BMP decoders must be registered). A failure message
/// names the file and, for text, the line: `name, line 4: ...`.
Result<Palette> palette_parse(std::string_view bytes, const std::string& file_name);
/// palette_parse of a file's contents; a file that cannot be read gives its message.
Result<Palette> palette_load(const std::string& path);

/// The text of `palette` in `format` (colours beyond MaxSwatches are not written; GIMP,
/// hex and JASC files hold no alpha, so theirs is dropped).
std::string palette_format(const Palette& palette, PaletteFormat format);
/// The format that a file name's extension names (.gpl, .hex, .pal, .txt; case ignored);
/// GIMP for any other name.
PaletteFormat palette_format_for(const std::string& path);
/// Writes `palette` to `path` in the format of its extension, atomically (an existing file
/// is kept on failure). The error names the file.
Result<bool> palette_save(const std::string& path, const Palette& palette);

/// DawnBringer's 32-colour palette, the first palette of a new installation.
Palette default_palette();

}  // namespace morvane
