// Select All, Deselect, Delete and Crop to Selection.
#include <cstring>

#include "app/document/document_commands.h"
#include "app/edit/edit_parts.h"
#include "app/view/view.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

void edit_select_all(EditorState& state) {
    selection_set(state, Rect{0, 0, state.document.width(), state.document.height()});
}

void edit_deselect(EditorState& state) {
    selection_clear(state);
}

bool edit_delete(EditorState& state) {
    Selection& selection = state.document.selection;
    if (!selection.active()) return false;
    if (selection.is_floating()) {
        // The floating pixels become transparent and are put down: a lift's hole stays, as one
        // step with the lift; a paste leaves the picture as it was.
        const Bitmap& floating = *selection.floating;
        for (std::int32_t y = 0; y < floating.height; ++y)
            std::memset(floating.row(y), 0, static_cast<std::size_t>(floating.width) * 4);
        selection_drop(state);
        return true;
    }
    const Rect rect = edit_selected_rect(state);
    Bitmap* picture = state.document.picture_or_null();
    if (rect.empty() || !picture) return false;
    History& history = state.document.history;
    history.begin(state.document.record());
    history.save_before(rect);
    const Bitmap window = edit_window_on(*picture, rect);
    const std::size_t row_bytes = static_cast<std::size_t>(window.width) * static_cast<std::size_t>(window.bpp / 8);
    for (std::int32_t y = 0; y < window.height; ++y) std::memset(window.row(y), 0, row_bytes);
    document_step_end(state);
    view_show_document_rect(state, rect.x0, rect.y0, rect.x1, rect.y1);
    return true;
}

void edit_crop(EditorState& state) {
    if (state.document.selection.is_floating()) selection_drop(state);
    const Rect rect = edit_selected_rect(state);
    const Bitmap* picture = state.document.picture_or_null();
    if (rect.empty() || !picture) return;
    if (rect.x0 == 0 && rect.y0 == 0 && rect.x1 == picture->width && rect.y1 == picture->height) return;
    const Bitmap window = edit_window_on(*picture, rect);
    Bitmap* cropped = bitmap_create(window.width, window.height, window.bpp);
    if (!cropped) {
        message_box("Crop to Selection", "Not enough memory to crop the picture.", 16);
        return;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(window.width) * static_cast<std::size_t>(window.bpp / 8);
    for (std::int32_t y = 0; y < window.height; ++y) std::memcpy(cropped->row(y), window.row(y), row_bytes);
    selection_clear(state);
    // One undo step that gives the whole picture back at its size.
    History& history = state.document.history;
    history.begin(state.document.record());
    history.save_whole_before();
    edit_replace_storage(state.document.image(), cropped);
    document_step_end(state);
    edit_picture_resized(state);
}

}  // namespace morvane
