// Reading palette files: GIMP .gpl, Lospec .hex, JASC .pal, Paint.NET .txt and pictures.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/file.h"
#include "image/image.h"
#include "palette/palette.h"
#include "palette/picture_colours.h"

namespace morvane {

namespace {

struct Line {
    int number = 0;
    std::string_view text;  // without the line break and trailing blanks
};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<Line> split_lines(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::vector<Line> lines;
    int number = 1;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        lines.push_back({number++, trim(bytes.substr(0, end))});
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// A line quoted for a message, shortened and with control bytes shown as '?'.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += c < 32 || c == 127 ? '?' : static_cast<char>(c);
    }
    if (text.size() > 40) out += "...";
    return out + "\"";
}

class Reader {
  public:
    explicit Reader(const std::string& file) : file_(file) {}

    Result<Palette> fail(int line, const std::string& problem) const {
        return Result<Palette>::failure(file_ + ", line " + std::to_string(line) + ": " + problem);
    }
    // Adds a colour; false (and the message) when the palette is full.
    bool add(Color c, int line) {
        if (palette_.colours.size() >= MaxSwatches) {
            error_ = fail(line, "more than " + std::to_string(MaxSwatches) + " colours (a palette holds at most " +
                                    std::to_string(MaxSwatches) + ")");
            return false;
        }
        palette_.colours.push_back(c);
        return true;
    }
    Result<Palette> finish(int last_line) {
        if (palette_.colours.empty()) return fail(last_line, "no colours in this palette");
        return Result<Palette>::success(std::move(palette_));
    }

    Palette palette_;
    Result<Palette> error_;

  private:
    std::string file_;
};

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// `digits` hexadecimal digits and nothing else, into `value`.
bool parse_hex(std::string_view s, std::size_t digits, std::uint32_t& value) {
    if (s.size() != digits) return false;
    value = 0;
    for (char c : s) {
        const int d = hex_digit(c);
        if (d < 0) return false;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return true;
}

// A decimal number 0..255 at the start of `s` (after blanks); `s` moves past it.
bool take_channel(std::string_view& s, std::uint32_t& value) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    std::size_t n = 0;
    value = 0;
    while (n < s.size() && n < 4 && std::isdigit(static_cast<unsigned char>(s[n]))) {
        value = value * 10 + static_cast<std::uint32_t>(s[n] - '0');
        ++n;
    }
    if (n == 0 || n > 3 || value > 255) return false;
    if (n < s.size() && s[n] != ' ' && s[n] != '\t') return false;
    s.remove_prefix(n);
    return true;
}

// "R G B" and, when `rest_allowed`, anything after (a GIMP colour's name).
bool parse_rgb(std::string_view s, bool rest_allowed, Color& c) {
    std::uint32_t r = 0, g = 0, b = 0;
    if (!take_channel(s, r) || !take_channel(s, g) || !take_channel(s, b)) return false;
    if (!rest_allowed && !trim(s).empty()) return false;
    c = rgba(r, g, b, 255);
    return true;
}

Result<Palette> read_gpl(const std::vector<Line>& lines, Reader& reader) {
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.text.empty() || line.text.front() == '#') continue;
        if (line.text.starts_with("Name:")) {
            reader.palette_.name = std::string(trim(line.text.substr(5)));
            continue;
        }
        if (line.text.starts_with("Columns:")) continue;
        Color c = 0;
        if (!parse_rgb(line.text, true, c))
            return reader.fail(line.number, quoted(line.text) + " is not a colour (three numbers 0-255, then an optional name)");
        if (!reader.add(c, line.number)) return reader.error_;
    }
    return reader.finish(lines.back().number);
}

Result<Palette> read_pal(const std::vector<Line>& lines, Reader& reader) {
    if (lines.size() < 2 || lines[1].text != "0100")
        return reader.fail(2, "a JASC palette has the version \"0100\" on its second line");
    std::uint32_t count = 0;
    std::string_view count_text = lines.size() > 2 ? lines[2].text : std::string_view();
    std::size_t digits = 0;
    while (digits < count_text.size() && std::isdigit(static_cast<unsigned char>(count_text[digits])) && count < 100000)
        count = count * 10 + static_cast<std::uint32_t>(count_text[digits++] - '0');
    if (digits == 0 || digits != count_text.size())
        return reader.fail(3, "a JASC palette has its number of colours on its third line, found " + quoted(count_text));
    if (count > MaxSwatches)
        return reader.fail(3, std::to_string(count) + " colours announced: more than " + std::to_string(MaxSwatches) +
                                  " colours (a palette holds at most " + std::to_string(MaxSwatches) + ")");
    std::size_t i = 3;
    for (std::uint32_t k = 0; k < count; ++k, ++i) {
        if (i >= lines.size() || lines[i].text.empty())
            return reader.fail(i < lines.size() ? lines[i].number : lines.back().number + 1,
                               "the header announces " + std::to_string(count) + " colours, only " +
                                   std::to_string(k) + " found");
        Color c = 0;
        if (!parse_rgb(lines[i].text, false, c))
            return reader.fail(lines[i].number, quoted(lines[i].text) + " is not a colour (three numbers 0-255)");
        if (!reader.add(c, lines[i].number)) return reader.error_;
    }
    for (; i < lines.size(); ++i)
        if (!lines[i].text.empty())
            return reader.fail(lines[i].number, "more lines than the " + std::to_string(count) + " colours announced");
    return reader.finish(lines.back().number);
}

// Lospec .hex (RRGGBB, an optional '#') or Paint.NET .txt (AARRGGBB, ';' comments).
Result<Palette> read_hex_lines(const std::vector<Line>& lines, Reader& reader, bool with_alpha) {
    for (const Line& line : lines) {
        if (line.text.empty() || (with_alpha && line.text.front() == ';')) continue;
        std::uint32_t v = 0;
        std::string_view digits = line.text;
        if (!with_alpha && digits.starts_with('#')) digits.remove_prefix(1);
        if (!parse_hex(digits, with_alpha ? 8 : 6, v))
            return reader.fail(line.number, quoted(line.text) + " is not a colour (" +
                                                (with_alpha ? "AARRGGBB" : "RRGGBB") + " in hexadecimal)");
        const std::uint32_t a = with_alpha ? v >> 24 : 255;
        if (!reader.add(rgba(v >> 16 & 255, v >> 8 & 255, v & 255, a), line.number)) return reader.error_;
    }
    return reader.finish(lines.back().number);
}

Result<Palette> read_picture(std::string_view bytes, const std::string& file_name) {
    const ObjectNumber number = static_cast<ObjectNumber>(
        image_from_memory(-1, bytes.data(), static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFE))));
    const Bitmap* picture = number ? bitmap_from_handle(image_handle(number)) : nullptr;
    if (!picture) {
        image_free(number);
        return Result<Palette>::failure(file_name + ": not a palette (the picture cannot be read)");
    }
    PictureColours found = picture_colours(*picture, whole_area(*picture), MaxSwatches);
    image_free(number);
    if (found.distinct > MaxSwatches)
        return Result<Palette>::failure(file_name + ": the picture has " + std::to_string(found.distinct) +
                                        " colours, more than " + std::to_string(MaxSwatches) +
                                        " (a palette holds at most " + std::to_string(MaxSwatches) + ")");
    return Result<Palette>::success(Palette{{}, std::move(found.colours)});
}

std::string lower_extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string stem(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

PaletteFormat palette_format_for(const std::string& path) {
    const std::string ext = lower_extension(path);
    if (ext == ".hex") return PaletteFormat::Hex;
    if (ext == ".pal") return PaletteFormat::Pal;
    if (ext == ".txt") return PaletteFormat::Txt;
    return PaletteFormat::Gpl;
}

Result<Palette> palette_parse(std::string_view bytes, const std::string& file_name) {
    Reader reader(file_name);
    if (bytes.empty()) return reader.fail(1, "the file is empty");
    if (bytes.starts_with("\x89PNG\r\n\x1A\n") || bytes.starts_with("BM")) {
        Result<Palette> read = read_picture(bytes, file_name);
        if (read.ok()) read.value->name = stem(file_name);
        return read;
    }
    const std::vector<Line> lines = split_lines(bytes);
    // The first line that is not blank tells the kind when no header does.
    const Line* first = nullptr;
    for (const Line& line : lines) {
        if (!line.text.empty()) {
            first = &line;
            break;
        }
    }
    if (!first) return reader.fail(lines.empty() ? 1 : lines.back().number, "no colours in this palette");
    const std::string ext = lower_extension(file_name);
    Result<Palette> read;
    std::uint32_t ignored = 0;
    if (lines.front().text == "GIMP Palette") {
        read = read_gpl(lines, reader);
    } else if (lines.front().text == "JASC-PAL") {
        read = read_pal(lines, reader);
    } else if (ext == ".gpl") {
        return reader.fail(1, "not a GIMP palette (its first line must be \"GIMP Palette\")");
    } else if (ext == ".pal") {
        return reader.fail(1, "not a JASC palette (its first line must be \"JASC-PAL\")");
    } else if (ext == ".hex") {
        read = read_hex_lines(lines, reader, false);
    } else if (ext == ".txt" || first->text.front() == ';' || parse_hex(first->text, 8, ignored)) {
        read = read_hex_lines(lines, reader, true);
    } else if (parse_hex(first->text.starts_with('#') ? first->text.substr(1) : first->text, 6, ignored)) {
        read = read_hex_lines(lines, reader, false);
    } else {
        return reader.fail(first->number, "not a palette: " + quoted(first->text) +
                                              " is no GIMP, JASC, hex or Paint.NET palette line");
    }
    if (read.ok() && read.value->name.empty()) read.value->name = stem(file_name);
    return read;
}

Result<Palette> palette_load(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!file_read_all(path.c_str(), bytes)) return Result<Palette>::failure(path + ": the file cannot be read");
    return palette_parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

}  // namespace morvane
