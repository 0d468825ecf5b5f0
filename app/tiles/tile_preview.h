// View > "Tile Preview": a small tool window in front of the main window that shows the cell
// under the pointer (or the last one shown) repeated 3 x 3 at a zoom of its own, so the
// seams between copies of a tile can be seen while it is painted.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Opens the window, or closes it when it is open (the menu item and Shift+P).
void tile_preview_toggle(EditorState& state);
/// Closes the window (its close box, Escape) and frees its picture.
void tile_preview_close();
/// A WidgetEvent of the window (its zoom list).
void tile_preview_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// Brings the window up to date after any event: another cell under the pointer, another
/// grid, or changed pixels of the cell shown. Cheap when nothing changed; nothing when the
/// window is closed.
void tile_preview_refresh(EditorState& state);

}  // namespace morvane
