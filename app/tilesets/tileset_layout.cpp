// The dialog's layout and the small file helpers of the tile-set command.
#include <filesystem>
#include <system_error>

#include "app/tilesets/tileset_commands.h"
#include "image/file.h"

namespace morvane {

TileSetLayout tileset_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space) {
    return classic_layout(width, height, tile_width, tile_height, columns, space);
}

std::int64_t file_size(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(std::filesystem::path(path), error);
    if (error || !std::filesystem::exists(status)) return -1;
    if (!std::filesystem::is_regular_file(status)) return 0;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

bool text_file_write(const std::string& path, const std::string& text) {
    // Replaced whole: an older, longer file leaves nothing behind.
    return file_write_atomic(path.c_str(), text.data(), text.size());
}

}  // namespace morvane
