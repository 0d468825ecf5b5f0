// Tile-set arithmetic, file naming and the TileList text.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/commands.h"
#include "image/codec.h"

namespace morvane {

namespace {

// Nearest integer, halves to the even one (the default rounding mode).
std::int64_t round_even(double value) {
    return static_cast<std::int64_t>(std::nearbyint(value));
}

}  // namespace

TileSetLayout tileset_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space) {
    TileSetLayout l;
    l.picture_width = width;
    l.picture_height = height;
    l.tile_width = tile_width;
    l.tile_height = tile_height;
    l.columns = columns;
    l.space = space > 0 ? space : 0;

    // The height the picture's area needs at the export width, in floating point.
    const double area = static_cast<double>(width) * static_cast<double>(height);
    l.rows_px = round_even(std::ceil(area / static_cast<double>(columns * tile_width)));
    l.export_width = columns * tile_width;
    l.export_height = l.rows_px;
    if (l.space > 0) {
        l.export_width += columns * l.space;
        l.export_height += round_even(static_cast<double>(l.rows_px) / static_cast<double>(tile_height) *
                                      static_cast<double>(l.space));
    }

    // Whole tiles only: a partial tile at the right or bottom edge is dropped.
    l.grab_columns = width / tile_width;
    l.grab_rows = height / tile_height;
    l.last_row = round_even(std::ceil(static_cast<double>(l.rows_px) / static_cast<double>(tile_height)));
    l.tile_capacity = round_even((std::ceil(static_cast<double>(width) / tile_width) + 1) *
                                 (std::ceil(static_cast<double>(height) / tile_height) + 1)) +
                      1;
    return l;
}

bool tileset_target(const std::string& typed, int pattern, TileSetTarget* target) {
    static const struct {
        const char* extension;
        std::uint32_t tag;
    } kinds[] = {{".png", FormatPng}, {".jpg", FormatJpeg}, {".bmp", FormatBmp}};
    if (pattern < 0 || pattern > 2) return false;
    target->extension = kinds[pattern].extension;
    target->tag = kinds[pattern].tag;
    // Only an extension at the very end is taken off; folder names keep theirs.
    const std::string& ext = target->extension;
    if (typed.size() >= ext.size() && typed.compare(typed.size() - ext.size(), ext.size(), ext) == 0) {
        target->base = typed.substr(0, typed.size() - ext.size());
    } else {
        target->base = typed;
    }
    return true;
}

std::string file_part(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::int64_t file_size(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(std::filesystem::path(path), error);
    if (error || !std::filesystem::exists(status)) return -1;
    if (!std::filesystem::is_regular_file(status)) return 0;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

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

std::string tileset_list_name(const std::string& base) {
    return base + " subimages.txt";
}

std::string tileset_list_text(const std::string& prefix, const std::string& extension,
                              const TileSetLayout& layout) {
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

bool text_file_write(const std::string& path, const std::string& text) {
    // "wb" truncates: an older, longer file leaves nothing behind.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace morvane
