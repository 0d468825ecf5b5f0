// The editor's state in records by concern: the tool settings, the view, the dialogs'
// entries, the document and the palette.
#pragma once

#include <cstdint>
#include <string>

#include "app/document/document.h"
#include "app/ids.h"
#include "app/palette/palette_state.h"
#include "image/color.h"

namespace morvane {

/// The paint tools, the brush and the stroke under way.
struct ToolSettings {
    Color brush_color = rgba(0, 0, 0, 255);
    std::int16_t brush_size = 20;
    std::uint8_t brush_type = 0;  // 0 Circle, 1 Box, 2 Ellipse, 3 Custom
    std::uint8_t brush_alpha = 255;
    std::uint8_t brush_tool = 0;  // 0 Brush, 1 Pencil, 2 Eraser
    std::uint8_t keep_alpha = 0;
    std::int16_t brush_index = 0;
    std::uint8_t current_tool = 3;  // tool button number: 3 free-hand, 4 line, 5 box, 6 ellipse, 7 fill
    std::string brush_dir = "Quillrat";
    std::uint8_t eraser_previous_tool = 0;  // paint kind restored when the quick eraser is released
    std::int64_t stroke_start_x = 0, stroke_start_y = 0;  // document pixel of the last press
    // "Snap to Grid": selections cover whole cells of the tile grid, moves go by whole cells.
    bool snap_to_grid = false;
    // "Wrap Within Tiles": strokes that begin in a cell wrap around within it.
    std::uint8_t wrap_within_tiles = 0;
    // Tile mode: painting in a cell reaches every copy of its tile (the links live in the
    // document), mirrored and turned copies included when tile_link_mirrored.
    bool tile_mode = false;
    bool tile_link_mirrored = true;
};

/// How the document is shown: zoom, grid, sizes, scrolling, panning and the pointer.
struct ViewState {
    std::int16_t zoom = 100;
    std::int16_t zoom_before_command = 100;  // restored when a zoom is refused
    std::uint8_t grid_visible = 1;
    std::int16_t grid_width = 32, grid_height = 32;
    std::int32_t grid_color = 0;
    // The sheet's grid beyond its cell size: cells at offset + k x (size + gap). Kept beside
    // the recent files, not with the preferences.
    std::int16_t grid_offset = 0, grid_gap = 0;
    std::int64_t view_width = 256, view_height = 256;  // the document's size x zoom / 100
    // The document's own size: the size a new picture is made at, then kept equal to the
    // picture's (Document::width(), height()).
    std::int64_t base_width = 256, base_height = 256;
    // The canvas is the visible part of the view: the view pixel at its top-left corner
    // (negative where a picture smaller than the canvas is centred), and the document size the
    // view was last laid out for (a new document starts at its top-left corner).
    std::int64_t scroll_x = 0, scroll_y = 0;
    std::int64_t laid_out_width = -1, laid_out_height = -1;
    // Tile mode's view: the group numbers shown, the cell under the pointer (-1 for none)
    // whose group is outlined, and the picture size the links were built on.
    bool tile_numbers = false;
    std::int64_t tile_pointer_cell = -1;
    std::int64_t tile_links_width = 0, tile_links_height = 0;
    // The two texts of the status bar's last field (selection, tile under the pointer).
    std::string status_parts[2];
    // The Tile Preview window's zoom in percent; 0 until the window first chooses one.
    std::int16_t tile_preview_zoom = 0;
    // Moving around the view: Space held on the canvas, and a pan under way (its start in
    // scroll-area pixels, the scroll position then and the pointer shape to restore).
    bool space_held = false;
    bool panning = false;
    std::int64_t pan_x = 0, pan_y = 0, pan_scroll_x = 0, pan_scroll_y = 0, pan_cursor = 0;
    // The pointer on the canvas: its document pixel, a button held, the last event's kind.
    std::int64_t mouse_x = 0, mouse_y = 0;
    std::int64_t mouse_down = 0;
    std::int64_t canvas_subtype = 0;
};

/// What the dialogs show when they open again.
struct DialogEntries {
    std::int64_t new_width_entry = 0, new_height_entry = 0;
    std::int64_t new_image_default_width = 256, new_image_default_height = 256;
    std::int64_t resize_width_entry = 0, resize_height_entry = 0;
    std::int64_t resize_mode = 0;  // 0 smooth, 1 hard
};

struct EditorState {
    // Declared so that EditorState{} value-initialises: as an aggregate of records, GCC 12
    // wrongly warns that the string inside a temporary may be used uninitialised.
    EditorState() = default;

    std::int64_t quit_requested = 0;
    ToolSettings tools;
    ViewState view;
    DialogEntries dialogs;
    Document document;
    PaletteState palette;  // the palette panel's swatches and the Replace Colour dialog
};

}  // namespace morvane
