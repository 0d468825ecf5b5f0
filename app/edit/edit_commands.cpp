// The Edition menu's selection, clipboard, flip and turn commands.
#include "app/edit/edit_commands.h"

#include "shell/menu.h"

namespace morvane {

void edit_menu_items() {
    menu_item(MenuCut, "Cut\tCtrl+X");
    menu_item(MenuCopy, "Copy\tCtrl+C");
    menu_item(MenuPaste, "Paste\tCtrl+V");
    menu_item(MenuPasteAsNew, "Paste as New Image\tCtrl+Shift+V");
    menu_item(MenuDelete, "Delete\tDel");
    menu_separator();
    menu_item(MenuSelectAll, "Select All\tCtrl+A");
    menu_item(MenuDeselect, "Deselect\tCtrl+Shift+A");
    menu_item(MenuCropToSelection, "Crop to Selection");
    menu_separator();
    menu_item(MenuFlipHorizontal, "Flip Horizontal\tShift+H");
    menu_item(MenuFlipVertical, "Flip Vertical\tShift+V");
    menu_item(MenuRotateClockwise, "Rotate 90\u00b0 Clockwise\tCtrl+R");
    menu_item(MenuRotateCounterClockwise, "Rotate 90\u00b0 Counter-clockwise\tCtrl+Shift+R");
    menu_item(MenuRotate180, "Rotate 180\u00b0");
    menu_separator();
}

bool edit_menu_event(EditorState&, std::int64_t) {
    return false;
}

void edit_menu_refresh(EditorState&) {}

}  // namespace morvane
