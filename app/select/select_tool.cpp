// The Select tool: rectangular selections on the canvas, snapping to the tile grid, and the
// moves of a floating selection.
#include "app/select/select_tool.h"

#include "shell/menu.h"

namespace morvane {

void select_view_items() {
    menu_item(MenuSnapToGrid, "Snap to Grid\tShift+S");
}

bool select_menu_event(EditorState&, std::int64_t) {
    return false;
}

}  // namespace morvane
