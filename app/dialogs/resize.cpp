// The resize dialog (window 4): a new size for the picture, resampled smooth or hard.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/dialogs/dialogs.h"
#include "app/document/document_commands.h"
#include "app/document/selection.h"
#include "app/view/view.h"
#include "image/image.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace resize_window;

constexpr std::int64_t MaxSide = 32767;

// With "Constraint proportion" checked, the other field follows the picture's aspect ratio.
void keep_proportion(const EditorState& state, std::int64_t typed, bool typed_width) {
    if (widget_get_state(ConstrainCheck) != 1 || typed <= 0 || state.view.view_width <= 0 ||
        state.view.view_height <= 0) {
        return;
    }
    const double ratio =
        typed_width
            ? static_cast<double>(state.view.view_height) / static_cast<double>(state.view.view_width)
            : static_cast<double>(state.view.view_width) / static_cast<double>(state.view.view_height);
    const double other = std::nearbyint(static_cast<double>(typed) * ratio);
    const std::int64_t value = other < 1      ? 1
                               : other > 1e15 ? static_cast<std::int64_t>(1e15)
                                              : static_cast<std::int64_t>(other);
    widget_set_text(typed_width ? HeightField : WidthField, std::to_string(value));
}

// The document side shown as `view` pixels at `zoom` percent: the nearest whole number, at least 1.
std::int64_t document_side(std::int64_t view, int zoom) {
    return std::max<std::int64_t>(1, (view * 200 / zoom + 1) / 2);
}

void resize_ok(EditorState& state) {
    const std::int64_t width = string_to_integer(widget_get_text(WidthField));
    const std::int64_t height = string_to_integer(widget_get_text(HeightField));
    const std::int64_t mode = widget_get_state(ModeCombo);
    state.dialogs.resize_mode = mode == 1 ? Nearest : Smooth;
    window_close(ResizeWindow);
    widget_set_focus(ViewScrollArea);
    // The typed sizes are view sizes at the current zoom; the document takes the size that
    // shows at that zoom, and a value left as shown keeps the document's size exactly.
    // A value that is not a usable picture side leaves that dimension as it is.
    std::int64_t doc_width = state.view.base_width, doc_height = state.view.base_height;
    if (width > 0 && width != state.view.view_width) doc_width = document_side(width, state.view.zoom);
    if (height > 0 && height != state.view.view_height) doc_height = document_side(height, state.view.zoom);
    if (doc_width <= MaxSide && doc_height <= MaxSide &&
        (doc_width != state.view.base_width || doc_height != state.view.base_height)) {
        // The selection does not survive the scaling: floating pixels go down first.
        selection_clear(state);
        // One undo step: the whole picture before and after.
        History& history = state.document.history;
        history.begin(state.document.record());
        history.save_whole_before();
        if (state.document.resize(static_cast<int>(doc_width), static_cast<int>(doc_height),
                                  static_cast<int>(state.dialogs.resize_mode))) {
            state.view.base_width = doc_width;
            state.view.base_height = doc_height;
            state.view.view_width = state.view.base_width * state.view.zoom / 100;
            state.view.view_height = state.view.base_height * state.view.zoom / 100;
        }
        document_step_end(state);
    }
    status_update(state);

    // The canvas must take the picture's new size whatever holds the focus.
    view_layout(state, true);
    view_redraw(state);
    document_state_changed(state);
}

}  // namespace

void resize_dialog_open(EditorState& state) {
    if (!window_open(ResizeWindow, DefaultPosition, DefaultPosition, 400, 300, "", 0xC80001, MainWindow))
        return;
    frame_create(PixelFrame, 10, 10, 250, 200, "Pixel Dimension");
    text_create(WidthLabel, 20, 32, 55, 20, "Width :");
    text_create(HeightLabel, 20, 62, 55, 20, "Height :");
    text_field_create(WidthField, 80, 30, 50, 20, std::to_string(state.view.view_width), TextDigitsOnly);
    text_field_create(HeightField, 80, 60, 50, 20, std::to_string(state.view.view_height), TextDigitsOnly);
    check_box_create(ConstrainCheck, 40, 90, 120, 20, "Constraint proportion");
    combo_box_create(ModeCombo, 40, 120, 120, 20);
    widget_add_item(ModeCombo, 0, "Smooth mode");
    widget_add_item(ModeCombo, 1, "Hard mode");
    widget_set_state(ModeCombo, 0);
    button_create(OkButton, 330, 20, 60, 20, "Ok");
    button_create(CancelButton, 330, 45, 60, 20, "Cancel");
    dialog_keys_set(ResizeWindow, OkButton, CancelButton);
}

void resize_dialog_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case WidthField:
            state.dialogs.resize_width_entry = string_to_integer(widget_get_text(WidthField));
            keep_proportion(state, state.dialogs.resize_width_entry, true);
            break;
        case HeightField:
            state.dialogs.resize_height_entry = string_to_integer(widget_get_text(HeightField));
            keep_proportion(state, state.dialogs.resize_height_entry, false);
            break;
        case ModeCombo:
            state.dialogs.resize_mode = widget_get_state(ModeCombo) == 1 ? Nearest : Smooth;
            break;
        case OkButton:
            resize_ok(state);
            break;
        case CancelButton:
            window_close(ResizeWindow);
            break;
        default:
            break;
    }
}

}  // namespace morvane
