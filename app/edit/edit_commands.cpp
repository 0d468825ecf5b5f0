// The Edition menu's selection, clipboard, flip and turn commands: their items, dispatch
// and greying.
#include "app/edit/edit_commands.h"

#include <algorithm>
#include <initializer_list>

#include "app/document/document_commands.h"
#include "app/edit/edit_parts.h"
#include "app/view/view.h"
#include "image/image.h"
#include "shell/clipboard.h"
#include "shell/menu.h"

namespace morvane {

namespace {

// Whether the clipboard holds a picture, as last reported by the clipboard: asking the
// system on every canvas event would cost a round trip to the owner each time.
bool& clipboard_has_picture() {
    static bool has = false;
    return has;
}

// Greys or restores `ids` together; they are looked up only when the first one changes, as
// the refresh runs after every canvas event.
void set_enabled(std::initializer_list<int> ids, bool enabled) {
    if ((menu_item_enabled(MainMenu, *ids.begin()) != 0) == enabled) return;
    for (const int id : ids) menu_set_item_enabled(MainMenu, id, enabled);
}

void grey_paste(bool has_image) {
    clipboard_has_picture() = has_image;
    set_enabled({MenuPaste, MenuPasteAsNew}, has_image);
}

}  // namespace

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

bool edit_menu_event(EditorState& state, std::int64_t id) {
    switch (id) {
        case MenuSelectAll:
            edit_select_all(state);
            break;
        case MenuDeselect:
            edit_deselect(state);
            break;
        case MenuDelete:
            edit_delete(state);
            break;
        case MenuCropToSelection:
            edit_crop(state);
            break;
        case MenuCopy:
            edit_copy(state);
            break;
        case MenuCut:
            edit_cut(state);
            break;
        case MenuPaste:
            edit_paste(state);
            break;
        case MenuPasteAsNew:
            edit_paste_as_new(state);
            break;
        case MenuFlipHorizontal:
            edit_turn(state, Turn::FlipHorizontal);
            break;
        case MenuFlipVertical:
            edit_turn(state, Turn::FlipVertical);
            break;
        case MenuRotateClockwise:
            edit_turn(state, Turn::Clockwise);
            break;
        case MenuRotateCounterClockwise:
            edit_turn(state, Turn::CounterClockwise);
            break;
        case MenuRotate180:
            edit_turn(state, Turn::HalfTurn);
            break;
        default:
            return false;
    }
    document_state_changed(state);
    edit_menu_refresh(state);
    return true;
}

void edit_menu_refresh(EditorState& state) {
    // The clipboard reports its changes from the first refresh on; until then it is asked.
    static bool watching = false;
    if (!watching) {
        watching = true;
        clipboard_has_picture() = clipboard_has_image();
        clipboard_watch(grey_paste);
    }
    grey_paste(clipboard_has_picture());
    set_enabled({MenuCut, MenuCopy, MenuDelete, MenuCropToSelection}, state.document.selection.active());
    set_enabled({MenuFlipHorizontal, MenuFlipVertical, MenuRotateClockwise, MenuRotateCounterClockwise,
                 MenuRotate180},
                image_exists(state.document.image()) != 0);
}

// ---- helpers shared by the parts ----

Rect edit_selected_rect(const EditorState& state) {
    const Rect& rect = state.document.selection.rect;
    const Rect clipped{std::max<std::int64_t>(rect.x0, 0), std::max<std::int64_t>(rect.y0, 0),
                       std::min<std::int64_t>(rect.x1, state.document.width()),
                       std::min<std::int64_t>(rect.y1, state.document.height())};
    return clipped.empty() ? Rect{} : clipped;
}

Bitmap edit_window_on(const Bitmap& picture, const Rect& rect) {
    Bitmap window;
    window.kind = Bitmap::Kind::Pixels;
    window.width = static_cast<std::int32_t>(rect.x1 - rect.x0);
    window.height = static_cast<std::int32_t>(rect.y1 - rect.y0);
    window.bpp = picture.bpp;
    window.stride = picture.stride;
    // Rows run upward in memory: the window's first memory row is its bottom line.
    window.bits = picture.row(static_cast<std::int32_t>(rect.y1 - 1)) + rect.x0 * (picture.bpp / 8);
    return window;
}

void edit_replace_storage(ObjectNumber picture, Bitmap* fresh) {
    Image* record = image_record(picture);
    if (!record) {
        bitmap_destroy(fresh);
        return;
    }
    bitmap_destroy(bitmap_from_handle(record->handle));
    record->handle = bitmap_handle(fresh);
    record->width = static_cast<std::int16_t>(fresh->width);
    record->height = static_cast<std::int16_t>(fresh->height);
    record->depth = static_cast<std::uint8_t>(fresh->bpp);
}

void edit_picture_resized(EditorState& state) {
    state.view.base_width = state.document.width();
    state.view.base_height = state.document.height();
    state.view.view_width = state.view.base_width * state.view.zoom / 100;
    state.view.view_height = state.view.base_height * state.view.zoom / 100;
    status_update(state);
    view_layout(state, true);
    view_redraw(state);
}

}  // namespace morvane
