// The Select tool: rectangular selections on the canvas, snapping to the tile grid, and the
// moves of a floating selection.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Adds "Snap to Grid" to the menu being built (the View menu, after "Grid").
void select_view_items();
/// Runs "Snap to Grid" and the Select tool's key ids; false for any other id.
bool select_menu_event(EditorState& state, std::int64_t id);

}  // namespace morvane
