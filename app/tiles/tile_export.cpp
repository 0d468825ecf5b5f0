// File > "Export as Tiled Map...": the picture's kept tiles as a sheet, its TSX and a TMX map.
#include "app/tiles/tile_export.h"

namespace morvane {

bool tile_export_menu_event(EditorState&, std::int64_t) {
    return false;
}

}  // namespace morvane
