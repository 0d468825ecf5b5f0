// View > "Tile Grid...": the sheet's cell size, the offset of the first cell and the gap
// between cells, and where the offset and gap are kept between runs.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor_state.h"

namespace morvane {

/// Opens the Tile Grid window (TileGridWindow) with the grid now in use.
void tile_grid_dialog_open(EditorState& state);
/// A WidgetEvent of the Tile Grid window.
void tile_grid_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

/// The file that keeps the grid's offset and gap, beside the recent files' list; "" when the
/// user has no configuration folder.
std::string tile_grid_place_path();
/// Reads the offset and gap at start; a missing file, line or value out of range keeps 0.
void tile_grid_place_load(EditorState& state);
/// Writes the offset and gap; false when the file cannot be written.
bool tile_grid_place_save(const EditorState& state);

}  // namespace morvane
