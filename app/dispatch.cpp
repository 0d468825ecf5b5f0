// The dispatch table: every event the editor acts on, by kind, window, source and subtype.
#include "app/commands.h"
#include "app/editor.h"
#include "app/menu_items.h"
#include "shell/events.h"
#include "shell/menu.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr const char* kAboutText =
    "Morvane is a tool made by Quillrat, in Kestrix, to create easily a tileset or spritesheet.\n"
    "Date : 16 feb 2017\nVersion : 0.02";

constexpr std::int64_t kLeftButtonUp = 65541;  // canvas subtype of the left button's release

void set_zoom(EditorState& state, int zoom) {
    state.zoom_before_command = state.zoom;
    state.zoom = static_cast<std::int16_t>(zoom);
    view_zoom_apply(state);
}

void menu_event(EditorState& state, std::int64_t id) {
    switch (id) {
        case MenuNewImage:
            if (document_settle(state)) new_image_dialog_open(state);
            break;
        case MenuOpen:
            open_image_command(state);
            break;
        case MenuConvertTileSet:
            tileset_convert_command(state);
            break;
        case MenuSave:
            document_save(state, false);
            break;
        case MenuSaveAs:
            document_save(state, true);
            break;
        case MenuExit:
            ask_to_close(state);
            break;
        case MenuUndo:
            document_undo(state);
            break;
        case MenuRedo:
            document_redo(state);
            break;
        case MenuResize:
            resize_dialog_open(state);
            break;
        case MenuPreferences:
            preferences_window_open(state);
            break;
        case 70:
            state.grid_visible = static_cast<std::uint8_t>(1 - state.grid_visible);
            menu_set_item_checked(0, 70, state.grid_visible);
            view_redraw(state);
            break;
        // The zoom field is 16 bits wide, so the steps stay within it before the clamp.
        case 61:
            set_zoom(state, state.zoom + 5);
            break;
        case 62:
            set_zoom(state, state.zoom - 5);
            break;
        case 63:
        case 64:
        case 65:
        case 66:
        case 67:
            set_zoom(state, static_cast<int>(68 - id) * 100);
            break;
        case 68:
            set_zoom(state, 50);
            break;
        case 69:
            set_zoom(state, 25);
            break;
        case MenuAbout:
            message_box("About", kAboutText, 64);
            break;
        case 41:
            brush_step(state, -1);
            break;
        case 42:
            brush_step(state, +1);
            break;
        default:
            break;
    }
}

void main_window_widget_event(EditorState& state, std::int64_t source, std::int64_t subtype) {
    if (source == 1) {
        state.mouse_x = widget_get_attribute(1, 2);
        state.mouse_y = widget_get_attribute(1, 3);
        state.canvas_subtype = subtype;
        const bool stroke_ends = subtype == kLeftButtonUp && state.mouse_down == 1;
        canvas_event(state, subtype);
        if (stroke_ends) document_stroke_ended(state);
        return;
    }
    tool_panel_event(state, source, subtype);
}

}  // namespace

void dispatch_event(EditorState& state, std::int64_t kind, std::int64_t window, std::int64_t source,
                    std::int64_t subtype) {
    switch (kind) {
        case CloseWindowEvent:
            if (window == MainWindow) {
                ask_to_close(state);
            } else {
                window_close(window);
            }
            break;
        case MenuEvent:
            menu_event(state, source);
            break;
        case SizeWindowEvent:
        case MaximizeWindowEvent:
            view_layout(state, true);
            break;
        case WidgetEvent:
            switch (window) {
                case MainWindow:
                    main_window_widget_event(state, source, subtype);
                    break;
                case NewImageWindow:
                    new_image_dialog_event(state, source, subtype);
                    break;
                case ResizeWindow:
                    resize_dialog_event(state, source, subtype);
                    break;
                case PreferencesWindow:
                    preferences_window_event(state, source, subtype);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
}

}  // namespace morvane
