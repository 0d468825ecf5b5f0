// The Edition menu's selection, clipboard, flip and turn commands.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Adds Cut, Copy, Paste, Paste as New Image, Delete, Select All, Deselect, Crop to Selection,
/// the flips and the turns to the menu being built (the Edition menu).
void edit_menu_items();
/// Runs an Edition command of those items; false for any other id.
bool edit_menu_event(EditorState& state, std::int64_t id);
/// Greys the items that cannot act now (no selection, no picture on the clipboard).
void edit_menu_refresh(EditorState& state);

}  // namespace morvane
