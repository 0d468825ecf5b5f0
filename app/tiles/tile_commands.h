// The View menu's tile work: the sheet's grid, tile mode, tile numbers, wrapping and the
// tile preview.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Adds the tile items to the menu being built (the View menu, after the zoom items).
void tile_view_items();
/// Runs a tile item; false for any other id.
bool tile_menu_event(EditorState& state, std::int64_t id);

}  // namespace morvane
