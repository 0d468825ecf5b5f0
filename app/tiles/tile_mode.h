// Tile mode: the cells of the sheet that hold the same tile (mirrored or turned too) are
// linked, and whatever a tool paints in one cell is painted into every copy in the same step.
#pragma once

#include <cstdint>
#include <string>

#include "app/document/paint_region.h"
#include "app/editor_state.h"
#include "tileset/links.h"

namespace morvane {

/// Enters (true) or leaves tile mode; entering links the tiles of the picture now shown.
/// False, with a message, when the tiles cannot be linked (tile mode is then off).
bool tile_mode_set(EditorState& state, bool on);
/// Links the tiles of the picture anew ("Relink Tiles"). False, with a message, on failure.
bool tile_relink(EditorState& state);
/// The links of the picture now shown, built again when they are missing or were made for
/// another picture size or grid; null outside tile mode or when they cannot be built (tile
/// mode is then left with a message).
const TileLinks* tile_links_current(EditorState& state);
/// The links when they are up to date, without building anything (for the view's paint).
const TileLinks* tile_links_if_current(const EditorState& state);
/// Makes each cell of `cells` (document pixels) a group of its own; the number of cells
/// that left a group.
std::int64_t tile_unlink_cells(EditorState& state, const Rect& cells);

/// After a painting step changed `changed` (document pixels) in tile mode: the part of it in
/// each cell it touches is carried to every copy of that cell's tile, each copy's pixels
/// saved for undo first. Returns the rectangle covering every copy written; empty outside
/// tile mode.
Rect tile_mode_propagate(EditorState& state, const Rect& changed);

/// The fill tool's press in tile mode: fills only inside the cell at (x, y), or only the
/// pixels outside every cell when (x, y) lies in none. False outside tile mode (the fill
/// goes on as usual); `changed` receives what may have changed. Called inside the drawing
/// session that the press opened on the document.
bool tile_fill(EditorState& state, int x, int y, Rect* changed);

/// The pointer moved over document pixel (x, y): the status bar shows its tile, and the
/// outline of its group follows it.
void tile_pointer_moved(EditorState& state, std::int64_t x, std::int64_t y);
/// "Tile 12 of 87, 5 copies" for `cell` (its group's number, the number of groups, the cells
/// of its group); "No tile" for a transparent cell, "" for a pixel in no cell.
std::string tile_status_text(const TileLinks& links, std::int64_t cell);

}  // namespace morvane
