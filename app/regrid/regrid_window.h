// The re-grid window as the rest of the editor sees it: its menu item and its events.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Asks for a sheet, then opens the re-grid window (not modal: the editor stays usable).
void regrid_window_open(EditorState& state);
/// A WidgetEvent of the re-grid window.
void regrid_window_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// Closes the window and releases its pictures.
void regrid_window_close();

}  // namespace morvane
