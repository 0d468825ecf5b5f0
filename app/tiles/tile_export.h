// File > "Export as Tiled Map...": the picture's kept tiles as a sheet, its TSX and a TMX map.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Runs "Export as Tiled Map..."; false for any other id.
bool tile_export_menu_event(EditorState& state, std::int64_t id);

}  // namespace morvane
