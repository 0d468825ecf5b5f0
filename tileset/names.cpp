// Output names: the saved picture's file, its TileList beside it, relative paths.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "image/codec.h"
#include "tileset/tileset.h"

namespace morvane {

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

bool tileset_target_from_name(const std::string& path, TileSetTarget* target) {
    const std::string name = file_part(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    std::string lower = name.substr(dot);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::uint32_t tag = 0;
    if (lower == ".png") {
        tag = FormatPng;
    } else if (lower == ".bmp") {
        tag = FormatBmp;
    } else if (lower == ".jpg" || lower == ".jpeg") {
        tag = FormatJpeg;
    } else {
        return false;
    }
    target->tag = tag;
    target->extension = name.substr(dot);
    target->base = path.substr(0, path.size() - target->extension.size());
    return true;
}

bool typed_target(const std::string& typed, int pattern, TileSetTarget* target) {
    if (pattern < 0 || pattern > 2) return false;
    return tileset_target_from_name(typed, target) || tileset_target(typed, pattern, target);
}

std::string file_part(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string tileset_list_name(const std::string& base) {
    return base + " subimages.txt";
}

std::string relative_path(const std::string& from_file, const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::absolute(fs::path(file), error).lexically_normal();
    if (error) return file;
    const fs::path folder = fs::absolute(fs::path(from_file), error).lexically_normal().parent_path();
    if (error) return file;
    const fs::path relative = target.lexically_relative(folder);
    return relative.empty() ? target.generic_string() : relative.generic_string();
}

}  // namespace morvane
