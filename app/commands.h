// The editor's commands and dialogs: New Image, Open, tile sets, resize.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/editor_state.h"

namespace morvane {

void new_image_dialog_open(EditorState& state);
/// A WidgetEvent of the New Image window (1).
void new_image_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

void open_image_command(EditorState& state);

/// "Open an image and convert it to TileSet": runs its own dialog loop until done.
void tileset_convert_command(EditorState& state);

void resize_dialog_open(EditorState& state);
/// A WidgetEvent of the resize window (4).
void resize_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

/// The seven embedded tool icon PNG files, in image order 0..6.
struct EmbeddedFile {
    const unsigned char* data;
    std::size_t size;
};
EmbeddedFile tool_icon_png(int index);

/// The number typed in a text field: blanks and tabs skipped, an optional sign, then decimal
/// digits ("$" hexadecimal, "%" binary) up to the first other character; 0 without digits.
std::int64_t string_to_integer(const std::string& text);

// ---- Tile sets: the arithmetic and the steps, callable without dialogs ----

/// Where the tiles of a picture go: sizes of the tile set, the grab grid and the cells.
struct TileSetLayout {
    std::int64_t picture_width = 0, picture_height = 0;
    std::int64_t tile_width = 0, tile_height = 0, columns = 0, space = 0;
    std::int64_t rows_px = 0;                          // height needed for the picture's area
    std::int64_t export_width = 0, export_height = 0;  // size of the tile-set picture
    std::int64_t grab_columns = 0, grab_rows = 0;      // whole tiles across and down the picture
    std::int64_t last_row = 0;                         // cell rows run 0..last_row
    std::int64_t tile_capacity = 0;                    // room reserved for tile numbers

    std::int64_t tile_count() const { return grab_columns * grab_rows; }
    std::int64_t cell_count() const { return (last_row + 1) * columns; }
    std::int64_t cell_x(std::int64_t column) const { return (column + 1) * space + column * tile_width; }
    std::int64_t cell_y(std::int64_t row) const { return (row + 1) * space + row * tile_height; }
};

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

/// The file a typed name is saved as under a pattern (0 PNG, 1 JPEG, 2 BMP).
struct TileSetTarget {
    std::string base;       // typed name without a trailing extension of the pattern
    std::string extension;  // ".png", ".jpg" or ".bmp"
    std::uint32_t tag = 0;  // FormatTag of the encoder
    std::string file() const { return base + extension; }
};
/// False for a pattern other than 0, 1 or 2.
bool tileset_target(const std::string& typed, int pattern, TileSetTarget* target);

/// The text after the last "/" or "\" of a path (the whole path when it has neither).
std::string file_part(const std::string& path);
/// Size in bytes of a file, 0 for a folder, -1 when nothing of that name exists.
std::int64_t file_size(const std::string& path);

/// One line of a TileList (without its line end): prefix__NNN.ext:x:y:w:h.
std::string tileset_list_line(const std::string& prefix, std::int64_t number, const std::string& extension,
                              std::int64_t x, std::int64_t y, std::int64_t tile_width,
                              std::int64_t tile_height);
/// Name of the TileList written beside a tile set saved under `base`.
std::string tileset_list_name(const std::string& base);
/// The TileList text of a layout: a line per cell in row-major order, CR LF after each.
std::string tileset_list_text(const std::string& prefix, const std::string& extension,
                              const TileSetLayout& layout);
/// Writes a text file from its start, replacing any older, longer file. False on failure.
bool text_file_write(const std::string& path, const std::string& text);

/// Asks for the file name of a tile set (save dialog with the tile-set patterns, `default_file`
/// proposed under pattern `pattern_index`), asks before overwriting the file that will be written, and saves
/// image `number` there. Returns false when the user declined; otherwise fills `target` and `saved` (false
/// after the "Cannot save image: " message).
bool tileset_save_dialog(ObjectNumber number, const std::string& default_file, TileSetTarget* target,
                         bool* saved, int pattern_index = 0);

}  // namespace morvane
