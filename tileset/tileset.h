// The tile-set library: reading a sheet of tiles, choosing the tiles to keep, laying them out
// again (the classic layout of the editor's dialog, or a grid), assembling the picture in
// memory, and the metadata texts (TileList, Tiled TSX, JSON hash frames, tile maps).
//
// Use in four steps, each cheap to redo when only later options change (a preview):
//   1. source_grid: where the whole tiles of the input lie (no pixels needed);
//   2. tileset_select: which tiles are kept (pixels needed only for dedup and skip-empty);
//   3. tileset_plan: the output sheet's size and cell positions (no pixels needed);
//   4. tileset_assemble: the pixels, into a caller-provided 32-bit picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"

namespace morvane {

/// Largest side of a picture the image layer can hold.
inline constexpr std::int64_t TileSetMaxSide = 32767;

enum class SheetKind : std::uint8_t {
    Classic,  // the editor's dialog: height from the picture's area, spacing before and between
    Grid,     // exactly the kept tiles, ceil(tiles / columns) rows, margin around, spacing between
};

/// Every choice of a tile-set run. Sizes in pixels.
struct TileSetOptions {
    SheetKind kind = SheetKind::Classic;
    std::int64_t tile_width = 32, tile_height = 32;
    std::int64_t columns = 10;
    std::int64_t spacing = 0;     // output: between cells (classic: also before the first)
    std::int64_t margin = 0;      // output, grid: around the sheet
    std::int64_t in_margin = 0;   // input: around the sheet read
    std::int64_t in_spacing = 0;  // input: between its tiles
    std::int64_t extrude = 0;     // grid: edge pixels repeated this many times around each tile
    bool dedup = false;           // identical tiles kept once
    bool dedup_flips = false;     // ... also mirrored and rotated copies (implies dedup)
    bool skip_empty = false;      // fully transparent tiles dropped
    bool pot = false;             // width and height rounded up to powers of two
};

/// The problem with options that cannot work for a picture of this size (a tile size,
/// margin or spacing that leaves no whole tile, an option the layout does not take, a value
/// out of range), as one sentence; empty when they are usable.
std::string tileset_options_problem(const TileSetOptions& options, std::int64_t width, std::int64_t height);

/// Where the whole tiles of a sheet lie: tile (c, r) starts at x(c), y(r). Tiles are numbered
/// left to right, then top to bottom; partial tiles at the right and bottom are not tiles.
struct SourceGrid {
    std::int64_t tile_width = 0, tile_height = 0, margin = 0, spacing = 0;
    std::int64_t columns = 0, rows = 0;

    std::int64_t count() const { return columns * rows; }
    std::int64_t x(std::int64_t column) const { return margin + column * (tile_width + spacing); }
    std::int64_t y(std::int64_t row) const { return margin + row * (tile_height + spacing); }
};
SourceGrid source_grid(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                       std::int64_t tile_height, std::int64_t margin = 0, std::int64_t spacing = 0);

/// The classic layout's arithmetic, in floating point as the dialog has always done it:
/// rows_px from the picture's area at the export width, raised when the tiles need more rows
/// so that no tile is cut off; the spacing adds space pixels per column and per tile row.
struct ClassicLayout {
    std::int64_t picture_width = 0, picture_height = 0;
    std::int64_t tile_width = 0, tile_height = 0, columns = 0, space = 0;
    std::int64_t rows_px = 0;                          // tile rows' height in pixels, without spacing
    std::int64_t export_width = 0, export_height = 0;  // size of the tile-set picture
    std::int64_t grab_columns = 0, grab_rows = 0;      // whole tiles across and down the picture
    std::int64_t last_row = 0;                         // cell rows run 0..last_row
    std::int64_t tile_capacity = 0;                    // room the dialog reserves for tile numbers

    std::int64_t tile_count() const { return grab_columns * grab_rows; }
    std::int64_t cell_count() const { return (last_row + 1) * columns; }
    std::int64_t cell_x(std::int64_t column) const { return (column + 1) * space + column * tile_width; }
    std::int64_t cell_y(std::int64_t row) const { return (row + 1) * space + row * tile_height; }
};
/// `tile_count` is the number of tiles laid out (the whole tiles of the picture).
ClassicLayout classic_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space,
                             std::int64_t tile_count);
/// The classic layout of a picture read without margin or spacing.
ClassicLayout classic_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space);

/// Tiled's flip flags, as stored in the high bits of a tile layer's tile numbers. A tile is
/// shown flipped diagonally (x and y swapped) first, then horizontally, then vertically.
enum TileFlip : std::uint8_t { FlipNone = 0, FlipDiagonal = 1, FlipVertical = 2, FlipHorizontal = 4 };
inline constexpr std::uint32_t TiledFlipHorizontalBit = 0x80000000u;
inline constexpr std::uint32_t TiledFlipVerticalBit = 0x40000000u;
inline constexpr std::uint32_t TiledFlipDiagonalBit = 0x20000000u;

/// The tiles kept from a source grid. Without dedup or skip-empty every tile is kept in
/// order and the vectors stay empty (`identity`).
struct TileSelection {
    bool identity = true;
    std::int64_t source_count = 0;
    std::vector<std::int32_t> kept;    // per output tile: its source tile
    std::vector<std::int32_t> output;  // per source tile: its output tile, -1 when dropped
    std::vector<std::uint8_t> flips;   // per source tile: TileFlip bits turning output into source

    std::int64_t kept_count() const {
        return identity ? source_count : static_cast<std::int64_t>(kept.size());
    }
    std::int64_t source_of(std::int64_t tile) const {
        return identity ? tile : kept[static_cast<std::size_t>(tile)];
    }
    std::int64_t output_of(std::int64_t source) const {
        return identity ? source : output[static_cast<std::size_t>(source)];
    }
    std::uint8_t flips_of(std::int64_t source) const {
        return identity ? 0 : flips[static_cast<std::size_t>(source)];
    }
};

/// Chooses the tiles of `grid` in `source` (24 or 32 bits) to keep. Pixels are compared as
/// the assembly writes them (a pixel of alpha 0 counts as transparent black). Flips other than
/// horizontal and vertical need square tiles. False when memory runs out.
bool tileset_select(const Bitmap& source, const SourceGrid& grid, const TileSetOptions& options,
                    TileSelection* selection);

/// The output sheet: its size and where each cell lies. Cell i's tile (without extrusion)
/// starts at tile_x(i), tile_y(i). The classic layout is a sheet with margin = spacing = space.
struct Sheet {
    SheetKind kind = SheetKind::Classic;
    std::int64_t width = 0, height = 0;                // picture size (after rounding to powers of two)
    std::int64_t needed_width = 0, needed_height = 0;  // size before that rounding
    std::int64_t tile_width = 0, tile_height = 0;
    std::int64_t columns = 0, margin = 0, spacing = 0, extrude = 0;
    std::int64_t tiles = 0;  // tiles drawn, in cells 0..tiles-1
    std::int64_t cells = 0;  // cells listed in a TileList (classic: every cell of its rows)
    ClassicLayout classic;   // the classic arithmetic (Classic only)

    std::int64_t pitch_x() const { return tile_width + 2 * extrude + spacing; }
    std::int64_t pitch_y() const { return tile_height + 2 * extrude + spacing; }
    std::int64_t tile_x(std::int64_t cell) const { return margin + extrude + (cell % columns) * pitch_x(); }
    std::int64_t tile_y(std::int64_t cell) const { return margin + extrude + (cell / columns) * pitch_y(); }
    /// Tiled's view of the picture: it counts cells from the image size, with the extrusion
    /// taken into its margin and spacing, and numbers tiles row by row over those columns.
    std::int64_t tiled_margin() const { return margin + extrude; }
    std::int64_t tiled_spacing() const { return spacing + 2 * extrude; }
    std::int64_t tiled_columns() const { return (width - tiled_margin() + tiled_spacing()) / pitch_x(); }
    std::int64_t tiled_rows() const { return (height - tiled_margin() + tiled_spacing()) / pitch_y(); }
    /// Tiled's tile id of cell `cell`.
    std::int64_t tiled_id(std::int64_t cell) const {
        return (cell / columns) * tiled_columns() + cell % columns;
    }
    /// True when the picture can be made (both sides 1..TileSetMaxSide).
    bool fits() const {
        return width >= 1 && height >= 1 && width <= TileSetMaxSide && height <= TileSetMaxSide;
    }
};

/// The sheet of a classic layout (margin and spacing both its space), every cell listed.
Sheet classic_sheet(const ClassicLayout& layout, bool pot = false);

/// Per tile of `grid` in `source` (24 or 32 bits): whether every pixel is fully transparent.
/// Empty when memory runs out or the grid does not lie inside the picture.
std::vector<bool> tileset_empty_tiles(const Bitmap& source, const SourceGrid& grid);

/// Plans the sheet for a picture of width x height whose selection keeps `kept` tiles.
/// The options must be usable (tileset_options_problem empty).
Sheet tileset_plan(const TileSetOptions& options, std::int64_t width, std::int64_t height, std::int64_t kept);

/// The message for a sheet too large to make: the size it would need and what to change.
std::string tileset_too_large_message(const Sheet& sheet);

/// Draws the kept tiles into `target`, a 32-bit picture of the sheet's size. With `clear`
/// the target is made transparent first (a new picture already is). False when the target
/// does not match the sheet or the source is not 24 or 32 bits.
bool tileset_assemble(const Bitmap& source, const SourceGrid& grid, const TileSelection& selection,
                      const Sheet& sheet, Bitmap& target, bool clear = false);

// ---- Names of output files ----

/// The file a name typed in the save dialog is written as under a pattern (0 PNG, 1 JPEG,
/// 2 BMP): only an extension of the pattern at the very end of the name is taken off.
struct TileSetTarget {
    std::string base;       // typed name without a trailing extension of the pattern
    std::string extension;  // ".png", ".jpg" or ".bmp"
    std::uint32_t tag = 0;  // FormatTag of the encoder
    std::string file() const { return base + extension; }
};
/// False for a pattern other than 0, 1 or 2.
bool tileset_target(const std::string& typed, int pattern, TileSetTarget* target);
/// The target of a name typed in a Save As dialog: a known extension typed at the end (.png,
/// .jpg, .jpeg, .bmp, any case) decides the format whatever the pattern; without one, the
/// pattern's format and extension. False for a pattern other than 0, 1 or 2.
bool typed_target(const std::string& typed, int pattern, TileSetTarget* target);
/// The target for an output named on a command line, by its extension (.png, .bmp, .jpg,
/// .jpeg, any case). False for any other extension.
bool tileset_target_from_name(const std::string& path, TileSetTarget* target);

/// The text after the last "/" or "\" of a path (the whole path when it has neither).
std::string file_part(const std::string& path);
/// Name of the TileList the dialog writes beside a tile set saved under `base`.
std::string tileset_list_name(const std::string& base);
/// The path of `file` relative to the folder of `from_file` ("/" separators).
std::string relative_path(const std::string& from_file, const std::string& file);

// ---- Metadata texts ----

/// One TileList line (without its line end): prefix__NNN.ext:x:y:w:h.
std::string tileset_list_line(const std::string& prefix, std::int64_t number, const std::string& extension,
                              std::int64_t x, std::int64_t y, std::int64_t tile_width,
                              std::int64_t tile_height);
/// A TileList: one CR LF ended line per cell of the sheet.
std::string tileset_list_text(const std::string& prefix, const std::string& extension, const Sheet& sheet);
/// The same for a classic layout (every cell of rows 0..last_row).
std::string tileset_list_text(const std::string& prefix, const std::string& extension,
                              const ClassicLayout& layout);
/// A Tiled tileset (TSX) for the sheet saved as `image` (a path relative to the TSX file); its
/// tile count and columns are those Tiled finds in the image.
std::string tileset_tsx_text(const std::string& name, const std::string& image, const Sheet& sheet);
/// The tileset a Tiled map (TMX) uses: a TSX file (its path relative to the map) or, when
/// `tsx` is empty, the sheet embedded in the map as `image` (relative to the map) under `name`.
struct TmxTileset {
    std::string name;
    std::string image;
    std::string tsx;
};
/// A Tiled map of the source grid: orthogonal, one tile layer of CSV data in which each source
/// tile is its Tiled tile number in `sheet` with the flip bits, and a tile marked in `empty`
/// (fully transparent) or dropped is an empty cell. Drawn by Tiled it gives back every pixel of
/// the grid's tiles.
std::string tileset_tmx_text(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet,
                             const std::vector<bool>& empty, const TmxTileset& tileset);
/// A JSON hash frames document: one frame per tile named like the TileList's cells.
std::string tileset_json_text(const std::string& prefix, const std::string& extension,
                              const std::string& image, const Sheet& sheet);
/// The tile map: for each source tile in reading order, its Tiled tile number in `sheet`
/// (Tiled's id + 1, 0 for a dropped tile) with Tiled's flip bits; one CSV line per source row.
std::string tileset_map_csv(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet);
/// The same as JSON, with each tile's output number (-1 when dropped) and flips spelled out.
std::string tileset_map_json(const SourceGrid& grid, const TileSelection& selection, const Sheet& sheet);
/// Tiled's number for a source tile: Tiled's id of its output tile + 1 with the flip bits
/// (ids run over Tiled's columns, which differ from the sheet's after rounding to powers of
/// two); 0 when dropped.
std::uint32_t tiled_tile_number(const TileSelection& selection, std::int64_t source, const Sheet& sheet);

// ---- Writing ----

/// An encoded picture held in memory (released with it).
using EncodedPicture = std::shared_ptr<EncodedBlock>;

/// Encodes a 32-bit picture in memory as the encoder of `tag` writes it (alpha kept where the
/// format has it, else flattened onto white); `parameter` as for image_save (JPEG quality
/// step 0..10). Null on failure.
EncodedPicture tileset_encode(const Bitmap& picture, std::uint32_t tag, int parameter = 7);

/// One file of a group written together: a text, or an encoded picture kept without a copy.
struct OutputFile {
    std::string path;
    std::string text;
    EncodedPicture picture;

    const std::uint8_t* data() const {
        return picture ? picture->data : reinterpret_cast<const std::uint8_t*>(text.data());
    }
    std::size_t size() const { return picture ? picture->size : text.size(); }
};
/// Writes every file to a temporary file in its own folder, then renames them all into place:
/// either all appear (existing files replaced atomically) or, on failure, none does and
/// `error` names the file and the reason.
bool files_write_together(const std::vector<OutputFile>& files, std::string* error);

}  // namespace morvane
