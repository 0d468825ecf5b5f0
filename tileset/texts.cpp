// Metadata texts: TileList, Tiled tileset, JSON hash frames and the tile map.
#include <cinttypes>
#include <cstdio>

#include "tileset/tileset.h"

namespace morvane {

namespace {

std::string xml_escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", u);
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string num(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace

std::string tileset_list_line(const std::string& prefix, std::int64_t number, const std::string& extension,
                              std::int64_t x, std::int64_t y, std::int64_t tile_width,
                              std::int64_t tile_height) {
    char digits[120];
    std::snprintf(digits, sizeof digits, "__%03" PRId64, number);
    std::string line = prefix + digits + extension;
    std::snprintf(digits, sizeof digits, ":%" PRId64 ":%" PRId64 ":%" PRId64 ":%" PRId64, x, y, tile_width,
                  tile_height);
    return line + digits;
}

std::string tileset_list_text(const std::string& prefix, const std::string& extension,
                              const ClassicLayout& layout) {
    std::string text;
    text.reserve(static_cast<std::size_t>(layout.cell_count()) * (prefix.size() + 40));
    std::int64_t i = 0;
    for (std::int64_t r = 0; r <= layout.last_row; ++r) {
        const std::int64_t y = layout.cell_y(r);
        for (std::int64_t c = 0; c < layout.columns; ++c, ++i) {
            text += tileset_list_line(prefix, i, extension, layout.cell_x(c), y, layout.tile_width,
                                      layout.tile_height);
            text += "\r\n";
        }
    }
    return text;
}

std::string tileset_list_text(const std::string& prefix, const std::string& extension, const Sheet& sheet) {
    if (sheet.kind == SheetKind::Classic) return tileset_list_text(prefix, extension, sheet.classic);
    std::string text;
    text.reserve(static_cast<std::size_t>(sheet.cells) * (prefix.size() + 40));
    for (std::int64_t i = 0; i < sheet.cells; ++i) {
        text += tileset_list_line(prefix, i, extension, sheet.tile_x(i), sheet.tile_y(i), sheet.tile_width,
                                  sheet.tile_height);
        text += "\r\n";
    }
    return text;
}

namespace {

// The <tileset> element of the sheet saved as `image`, indented by `indent`; `first_gid` is
// written when the element stands inside a map.
std::string tileset_element(const std::string& name, const std::string& image, const Sheet& sheet,
                            const std::string& indent, std::int64_t first_gid) {
    // Tiled reads an extruded tile's cell as margin + extrusion, spacing + twice the extrusion.
    std::string text = indent + "<tileset ";
    if (first_gid > 0) text += "firstgid=\"" + num(first_gid) + "\" ";
    if (first_gid == 0) text += "version=\"1.8\" tiledversion=\"1.8.2\" ";
    text += "name=\"" + xml_escaped(name) + "\" tilewidth=\"" + num(sheet.tile_width) + "\" tileheight=\"" +
            num(sheet.tile_height) + "\" spacing=\"" + num(sheet.tiled_spacing()) + "\" margin=\"" +
            num(sheet.tiled_margin()) + "\" tilecount=\"" + num(sheet.tiled_columns() * sheet.tiled_rows()) +
            "\" columns=\"" + num(sheet.tiled_columns()) + "\">\n";
    text += indent + " <image source=\"" + xml_escaped(image) + "\" width=\"" + num(sheet.width) +
            "\" height=\"" + num(sheet.height) + "\"/>\n";
    text += indent + "</tileset>\n";
    return text;
}

}  // namespace

std::string tileset_tsx_text(const std::string& name, const std::string& image, const Sheet& sheet) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + tileset_element(name, image, sheet, "", 0);
}

std::string tileset_tmx_text(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet,
                             const std::vector<bool>& empty, const TmxTileset& tileset) {
    const std::string w = num(grid.columns), h = num(grid.rows);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" "
            "renderorder=\"right-down\" width=\"" +
            w + "\" height=\"" + h + "\" tilewidth=\"" + num(grid.tile_width) + "\" tileheight=\"" +
            num(grid.tile_height) + "\" infinite=\"0\" nextlayerid=\"2\" nextobjectid=\"1\">\n";
    if (!tileset.tsx.empty())
        text += " <tileset firstgid=\"1\" source=\"" + xml_escaped(tileset.tsx) + "\"/>\n";
    else
        text += tileset_element(tileset.name, tileset.image, sheet, " ", 1);
    text += " <layer id=\"1\" name=\"" + xml_escaped(tileset.name) + "\" width=\"" + w + "\" height=\"" + h +
            "\">\n  <data encoding=\"csv\">\n";
    text.reserve(text.size() + static_cast<std::size_t>(grid.count()) * 6 + 64);
    for (std::int64_t t = 0; t < grid.count(); ++t) {
        const bool blank = static_cast<std::size_t>(t) < empty.size() && empty[static_cast<std::size_t>(t)];
        text += std::to_string(blank ? 0u : tiled_tile_number(selection, t, sheet));
        // Tiled's CSV: a comma after every number but the last, a line per map row.
        if (t + 1 < grid.count()) text += (t + 1) % grid.columns == 0 ? ",\n" : ",";
    }
    text += "\n</data>\n </layer>\n</map>\n";
    return text;
}

std::string tileset_json_text(const std::string& prefix, const std::string& extension,
                              const std::string& image, const Sheet& sheet) {
    const std::string w = num(sheet.tile_width), h = num(sheet.tile_height);
    std::string text = "{\n  \"frames\": {";
    for (std::int64_t i = 0; i < sheet.tiles; ++i) {
        const std::string name = tileset_list_line(prefix, i, extension, 0, 0, 0, 0);
        text += i == 0 ? "\n" : ",\n";
        text +=
            "    " + json_string(name.substr(0, name.find(':', prefix.size()))) +
            ": {\"frame\": {\"x\": " + num(sheet.tile_x(i)) + ", \"y\": " + num(sheet.tile_y(i)) +
            ", \"w\": " + w + ", \"h\": " + h +
            "}, \"rotated\": false, \"trimmed\": false, \"spriteSourceSize\": {\"x\": 0, \"y\": 0, \"w\": " +
            w + ", \"h\": " + h + "}, \"sourceSize\": {\"w\": " + w + ", \"h\": " + h + "}}";
    }
    text += "\n  },\n  \"meta\": {\"app\": \"morvane-tileset\", \"image\": " + json_string(image) +
            ", \"format\": \"RGBA8888\", \"size\": {\"w\": " + num(sheet.width) +
            ", \"h\": " + num(sheet.height) + "}, \"scale\": \"1\"}\n}\n";
    return text;
}

std::uint32_t tiled_tile_number(const TileSelection& selection, std::int64_t source, const Sheet& sheet) {
    const std::int64_t out = selection.output_of(source);
    if (out < 0) return 0;
    const std::uint8_t f = selection.flips_of(source);
    std::uint32_t number = static_cast<std::uint32_t>(sheet.tiled_id(out) + 1);
    if (f & FlipHorizontal) number |= TiledFlipHorizontalBit;
    if (f & FlipVertical) number |= TiledFlipVerticalBit;
    if (f & FlipDiagonal) number |= TiledFlipDiagonalBit;
    return number;
}

std::string tileset_map_csv(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet) {
    std::string text;
    for (std::int64_t r = 0; r < grid.rows; ++r) {
        for (std::int64_t c = 0; c < grid.columns; ++c) {
            if (c > 0) text += ',';
            text += std::to_string(tiled_tile_number(selection, r * grid.columns + c, sheet));
        }
        text += '\n';
    }
    return text;
}

std::string tileset_map_json(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet) {
    std::string text = "{\n  \"columns\": " + num(grid.columns) + ",\n  \"rows\": " + num(grid.rows) +
                       ",\n  \"tilewidth\": " + num(grid.tile_width) +
                       ",\n  \"tileheight\": " + num(grid.tile_height) +
                       ",\n  \"tilecount\": " + num(selection.kept_count()) + ",\n  \"tiles\": [";
    for (std::int64_t t = 0; t < grid.count(); ++t) {
        const std::uint8_t f = selection.flips_of(t);
        text += t == 0 ? "\n" : ",\n";
        text += "    {\"tile\": " + num(selection.output_of(t)) +
                ", \"flip_horizontal\": " + ((f & FlipHorizontal) ? "true" : "false") +
                ", \"flip_vertical\": " + ((f & FlipVertical) ? "true" : "false") +
                ", \"flip_diagonal\": " + ((f & FlipDiagonal) ? "true" : "false") +
                ", \"gid\": " + std::to_string(tiled_tile_number(selection, t, sheet)) + "}";
    }
    text += "\n  ]\n}\n";
    return text;
}

}  // namespace morvane
