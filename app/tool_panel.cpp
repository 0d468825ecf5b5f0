// The tool panel's handlers: brush controls, tool buttons, the quick eraser, the colour
// button and the clear button.
#include "app/editor.h"
#include "draw/draw.h"
#include "image/image.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kEraserButton = 9;
constexpr std::uint8_t kEraserKind = 2;

void select_tool(EditorState& state, int tool) {
    state.current_tool = static_cast<std::uint8_t>(tool);
    for (int button = 3; button <= 7; ++button) widget_set_state(button, button == tool ? 1 : 0);
}

void set_paint_kind(EditorState& state, std::uint8_t kind) {
    state.brush_tool = kind;
    widget_set_state(14, kind);
    color_repack(state);
    stamp_rebuild(state, false);
}

// The eraser button is a quick eraser: pressed, the paint kind becomes "Eraser" with the paint
// tool; released, the paint kind of before returns.
void eraser_button(EditorState& state) {
    if (widget_get_state(kEraserButton) != 0) {
        state.eraser_previous_tool = state.brush_tool;
        set_paint_kind(state, kEraserKind);
        select_tool(state, 3);
    } else {
        set_paint_kind(state, state.eraser_previous_tool);
    }
}

void colour_button(EditorState& state) {
    const std::int64_t chosen = color_dialog(static_cast<std::int32_t>(state.brush_color));
    // A cancelled dialog keeps the colour there was.
    if (chosen != -1) state.brush_color = static_cast<Color>(chosen);
    color_repack(state);
    if (drawing_begin(image_output(ColorSwatchImage))) {
        drawing_mode_set(Default);
        draw_box(0, 0, 30, 30, state.brush_color);
        drawing_end();
        widget_set_attribute(2, 1, image_handle(ColorSwatchImage));
    }
    stamp_rebuild(state, false);
}

}  // namespace

void tool_panel_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case 14:
            state.brush_tool = static_cast<std::uint8_t>(widget_get_state(14));
            // Choosing a paint kind by hand ends the quick eraser.
            widget_set_state(kEraserButton, 0);
            color_repack(state);
            stamp_rebuild(state, false);
            break;
        case 12:
            state.brush_type = static_cast<std::uint8_t>(widget_get_state(12));
            stamp_rebuild(state, false);
            break;
        case 11:
            state.brush_size = static_cast<std::int16_t>(widget_get_state(11));
            stamp_rebuild(state, true);
            break;
        case 13:
            state.brush_alpha = static_cast<std::uint8_t>(widget_get_state(13));
            color_repack(state);
            stamp_rebuild(state, false);
            break;
        case 15:
            state.keep_alpha = static_cast<std::uint8_t>(widget_get_state(15) != 0);
            break;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            select_tool(state, static_cast<int>(source));
            break;
        case kEraserButton:
            eraser_button(state);
            break;
        case 8: {
            // Clearing is one undo step.
            History& history = state.document.history;
            history.begin(document_picture(state));
            history.save_whole_before();
            document_images_recreate(state);
            view_clear(state);
            view_redraw(state);
            history.commit();
            document_state_changed(state);
            break;
        }
        case 2:
            colour_button(state);
            break;
        default:
            break;
    }
}

}  // namespace morvane
