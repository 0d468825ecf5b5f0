// The View menu's tile work: the sheet's grid, tile mode, tile numbers, wrapping and the
// tile preview.
#include "app/tiles/tile_commands.h"

#include "app/tiles/tile_grid_dialog.h"
#include "app/tiles/tile_mode.h"
#include "app/tiles/tile_wrap.h"
#include "app/view/view.h"
#include "shell/menu.h"
#include "widgets/dialogs.h"

namespace morvane {

namespace {

// "Unlink Tile": the cells the selection touches, else the cell last under the pointer.
void unlink(EditorState& state) {
    const TileLinks* links = tile_links_current(state);
    if (!links) return;
    Rect cells = state.document.selection.rect;
    if (cells.empty()) {
        const std::int64_t cell = state.view.tile_pointer_cell;
        if (cell < 0 || cell >= links->grid.count()) {
            message_box("Unlink Tile", "Point at a tile of the picture, or select the tiles to unlink.", 48);
            return;
        }
        const SourceGrid& g = links->grid;
        const std::int64_t x = g.x(cell % g.columns), y = g.y(cell / g.columns);
        cells = Rect{x, y, x + g.tile_width, y + g.tile_height};
    }
    tile_unlink_cells(state, cells);
    // The group numbers and the status change with the new groups.
    tile_pointer_moved(state, canvas_to_document_x(state, state.view.mouse_x),
                       canvas_to_document_y(state, state.view.mouse_y));
    view_redraw(state);
}

}  // namespace

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
    // As EditorState starts: tile mode off, mirrored and turned copies linked, no numbers.
    menu_set_item_checked(MainMenu, MenuTileMode, 0);
    menu_set_item_checked(MainMenu, MenuLinkMirrored, 1);
    menu_set_item_checked(MainMenu, MenuShowTileNumbers, 0);
    menu_set_item_enabled(MainMenu, MenuRelinkTiles, 0);
    menu_set_item_enabled(MainMenu, MenuUnlinkTile, 0);
}

bool tile_menu_event(EditorState& state, std::int64_t id) {
    if (tile_wrap_menu_event(state, id)) return true;
    switch (id) {
        case MenuTileGrid:
            tile_grid_dialog_open(state);
            return true;
        case MenuTileMode:
            tile_mode_set(state, !state.tools.tile_mode);
            return true;
        case MenuRelinkTiles:
            if (state.tools.tile_mode) tile_relink(state);
            return true;
        case MenuLinkMirrored:
            state.tools.tile_link_mirrored = !state.tools.tile_link_mirrored;
            menu_set_item_checked(MainMenu, MenuLinkMirrored, state.tools.tile_link_mirrored ? 1 : 0);
            // The groups change at once in tile mode.
            if (state.tools.tile_mode) tile_relink(state);
            return true;
        case MenuUnlinkTile:
            if (state.tools.tile_mode) unlink(state);
            return true;
        case MenuShowTileNumbers:
            state.view.tile_numbers = !state.view.tile_numbers;
            menu_set_item_checked(MainMenu, MenuShowTileNumbers, state.view.tile_numbers ? 1 : 0);
            view_redraw(state);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
