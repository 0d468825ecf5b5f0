// Copy, Cut, Paste and Paste as New Image through the system clipboard.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/document/document_commands.h"
#include "app/edit/edit_parts.h"
#include "app/view/view.h"
#include "image/image.h"
#include "shell/clipboard.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

// A picture side is a 16-bit value.
constexpr std::int64_t MaxSide = 32767;

// The clipboard's picture, or null with the reason told.
BitmapPtr take_clipboard_picture(const std::string& title) {
    BitmapPtr pixels(clipboard_take_image());
    if (!pixels) {
        message_box(title, "The clipboard holds no picture that can be read.", 48);
        return nullptr;
    }
    if (pixels->width > MaxSide || pixels->height > MaxSide) {
        message_box(title,
                    "The clipboard's picture is " + std::to_string(pixels->width) + " x " +
                        std::to_string(pixels->height) + " pixels: a picture side must be at most 32767.",
                    48);
        return nullptr;
    }
    return pixels;
}

// Grows the picture to width x height (at least its size), the new part transparent, as one
// undo step. False when memory runs out.
bool enlarge_picture(EditorState& state, std::int32_t width, std::int32_t height) {
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture) return false;
    Bitmap* grown = bitmap_create(width, height, picture->bpp);
    if (!grown) {
        message_box("Paste", "Not enough memory to enlarge the picture.", 16);
        return false;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->bpp / 8);
    for (std::int32_t y = 0; y < picture->height; ++y) std::memcpy(grown->row(y), picture->row(y), row_bytes);
    History& history = state.document.history;
    history.begin(state.document.record());
    history.save_whole_before();
    edit_replace_storage(state.document.image(), grown);
    document_step_end(state);
    edit_picture_resized(state);
    return true;
}

// The Select tool becomes the current tool, its button pressed and the others raised.
void select_tool_current(EditorState& state) {
    for (int button = ToolButtonFirst; button <= ToolButtonLast; ++button) widget_set_state(button, 0);
    widget_set_state(SelectButton, 1);
    state.tools.current_tool = ToolSelect;
}

// Where a paste goes: the selection's top-left corner, else the document pixel at the
// canvas's top-left corner (0 on an axis where the whole picture shows).
void paste_place(const EditorState& state, std::int64_t& x, std::int64_t& y) {
    const Selection& selection = state.document.selection;
    if (selection.active()) {
        x = selection.rect.x0;
        y = selection.rect.y0;
        return;
    }
    x = std::clamp<std::int64_t>(canvas_to_document_x(state, 0), 0,
                                 std::max<std::int64_t>(state.view.base_width - 1, 0));
    y = std::clamp<std::int64_t>(canvas_to_document_y(state, 0), 0,
                                 std::max<std::int64_t>(state.view.base_height - 1, 0));
}

}  // namespace

bool edit_copy(EditorState& state) {
    const Selection& selection = state.document.selection;
    if (!selection.active()) return false;
    bool put = false;
    if (selection.is_floating()) {
        put = clipboard_put_image(*selection.floating);
    } else {
        const Rect rect = edit_selected_rect(state);
        const Bitmap* picture = state.document.picture_or_null();
        if (rect.empty() || !picture) return false;
        put = clipboard_put_image(edit_window_on(*picture, rect));
    }
    if (!put) message_box("Copy", "The selection could not be put on the clipboard.", 16);
    return put;
}

void edit_cut(EditorState& state) {
    if (edit_copy(state)) edit_delete(state);
}

void edit_paste(EditorState& state) {
    BitmapPtr pixels = take_clipboard_picture("Paste");
    if (!pixels) return;
    std::int64_t x = 0, y = 0;
    paste_place(state, x, y);
    if (pixels->width > state.view.base_width || pixels->height > state.view.base_height) {
        const int answer = choice_box("Paste", "The pasted image is larger than the picture. Enlarge the picture to fit?",
                                      {"Enlarge", "Keep Size", "Cancel"});
        if (answer == 2) return;
        if (answer == 0) {
            // What floats is put down before the picture grows under it.
            if (state.document.selection.is_floating()) selection_drop(state);
            const std::int32_t width =
                std::max(pixels->width, static_cast<std::int32_t>(state.view.base_width));
            const std::int32_t height =
                std::max(pixels->height, static_cast<std::int32_t>(state.view.base_height));
            if (!enlarge_picture(state, width, height)) return;
            // The pasted picture lies wholly on the grown one.
            x = std::clamp<std::int64_t>(x, 0, width - pixels->width);
            y = std::clamp<std::int64_t>(y, 0, height - pixels->height);
        }
    }
    selection_float(state, std::move(pixels), x, y);
    select_tool_current(state);
    view_redraw(state);
}

void edit_paste_as_new(EditorState& state) {
    BitmapPtr pixels = take_clipboard_picture("Paste as New Image");
    if (!pixels) return;
    if (state.document.selection.is_floating()) selection_drop(state);
    if (!document_settle(state)) return;
    selection_clear(state);
    state.document.selection = Selection{};
    state.view.base_width = pixels->width;
    state.view.base_height = pixels->height;
    document_recreate(state);
    Bitmap* picture = state.document.picture_or_null();
    if (!picture || picture->bpp != 32) {
        message_box("Paste as New Image", "Not enough memory for the new picture.", 16);
        // The old picture is gone (saved or discarded): an empty one of the usual size, not none.
        state.view.base_width = state.dialogs.new_image_default_width;
        state.view.base_height = state.dialogs.new_image_default_height;
        document_recreate(state);
        document_start(state, "");
        state.view.laid_out_width = state.view.laid_out_height = -1;
        edit_picture_resized(state);
        return;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(pixels->width) * 4;
    for (std::int32_t y = 0; y < pixels->height; ++y) std::memcpy(picture->row(y), pixels->row(y), row_bytes);
    document_start(state, "");
    // A new picture that no file holds yet: unsaved until it is saved.
    state.document.unrecorded_change = true;
    state.view.laid_out_width = state.view.laid_out_height = -1;
    edit_picture_resized(state);
    document_state_changed(state);
}

}  // namespace morvane
