// The View menu's tile work: the sheet's grid, tile mode, tile numbers, wrapping and the
// tile preview.
#include "app/tiles/tile_commands.h"

#include "app/tiles/tile_wrap.h"
#include "shell/menu.h"

namespace morvane {

void tile_view_items() {
    menu_item(MenuTileGrid, "Tile Grid...");
    menu_separator();
    menu_item(MenuTileMode, "Tile Mode\tT");
    menu_item(MenuRelinkTiles, "Relink Tiles");
    menu_item(MenuLinkMirrored, "Link Mirrored and Turned Copies");
    menu_item(MenuUnlinkTile, "Unlink Tile");
    menu_item(MenuShowTileNumbers, "Show Tile Numbers");
    menu_separator();
    menu_item(MenuWrapWithinTiles, "Wrap Within Tiles\tShift+W");
    menu_item(MenuTilePreview, "Tile Preview\tShift+P");
}

bool tile_menu_event(EditorState& state, std::int64_t id) {
    if (tile_wrap_menu_event(state, id)) return true;
    return false;
}

}  // namespace morvane
