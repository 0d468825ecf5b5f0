// Tile sets: the conversion command, and the dialog's steps over the tile-set library,
// callable without dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor_state.h"
#include "tileset/tileset.h"

namespace morvane {

/// "Open an image and convert it to TileSet": runs its own dialog loop until done.
void tileset_convert_command(EditorState& state);

/// The dialog's layout: the classic layout of the tile-set library.
using TileSetLayout = ClassicLayout;

/// The layout for a picture of width x height cut into tile_width x tile_height tiles laid out
/// in `columns` columns with `space` pixels around them. All sizes must be at least 1 (space 0).
TileSetLayout tileset_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space);

/// Cuts image `source` into tiles and draws them into a new fully transparent 32-bit image
/// `target` laid out as `layout` says. Returns false (and no target) when the target cannot be
/// created.
bool tileset_assemble(ObjectNumber source, const TileSetLayout& layout, ObjectNumber target);

/// The save-dialog patterns of tile sets and their files.
inline constexpr const char* TileSetPatterns = "PNG Images|*.png|JPEG Images|*.jpeg|BMP Images|*.bmp";

/// Size in bytes of a file, 0 for a folder, -1 when nothing of that name exists.
std::int64_t file_size(const std::string& path);
/// Writes a text file from its start, replacing any older, longer file. False on failure.
bool text_file_write(const std::string& path, const std::string& text);

/// Asks for the file name of a tile set (save dialog with the tile-set patterns, `default_file`
/// proposed under pattern `pattern_index`), asks before overwriting the file that will be written, and saves
/// image `number` there. Returns false when the user declined; otherwise fills `target` and `saved`
/// (false after the "Cannot save image: " message with the reason on a second line; a file the
/// user may not write is refused so, before any question, and left as it is). With `typed_extension` a known
/// extension typed at the end of the name decides the format (Save As); otherwise the chosen pattern does
/// (the tile-set dialog).
bool tileset_save_dialog(ObjectNumber number, const std::string& default_file, TileSetTarget* target,
                         bool* saved, int pattern_index = 0, bool typed_extension = false);

/// A message's first line followed, when there is one, by the reason on a second line, its
/// first letter capitalised.
std::string message_with_reason(const std::string& first, const std::string& reason);

}  // namespace morvane
