// The dispatch table: every event the editor acts on, by kind, window, source and subtype.
#include "app/dialogs/dialogs.h"
#include "app/document/document_commands.h"
#include "app/edit/edit_commands.h"
#include "app/palette/palette_panel.h"
#include "app/regrid/regrid_window.h"
#include "app/select/select_tool.h"
#include "app/startup/desktop.h"
#include "app/startup/startup.h"
#include "app/tiles/tile_commands.h"
#include "app/tiles/tile_grid_dialog.h"
#include "app/tiles/tile_export.h"
#include "app/tiles/tile_preview.h"
#include "app/tilesets/tileset_commands.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
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

void set_zoom(EditorState& state, int zoom) {
    state.view.zoom_before_command = state.view.zoom;
    state.view.zoom = static_cast<std::int16_t>(zoom);
    view_zoom_apply(state);
}

void menu_event(EditorState& state, std::int64_t id) {
    switch (id) {
        case MenuNewImage:
            if (document_settle(state)) new_image_dialog_open(state);
            break;
        case MenuOpenImage:
            open_image_command(state);
            break;
        case MenuConvertTileSet:
            tileset_convert_command(state);
            break;
        case MenuSaveTileSet:
            document_save(state, false);
            break;
        case MenuSaveAs:
            document_save(state, true);
            break;
        case RegridMenuItem:
            regrid_window_open(state);
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
        case MenuResizeImage:
            resize_dialog_open(state);
            break;
        case MenuPreferences:
            preferences_window_open(state);
            break;
        case MenuGrid:
            state.view.grid_visible = static_cast<std::uint8_t>(1 - state.view.grid_visible);
            menu_set_item_checked(MainMenu, MenuGrid, state.view.grid_visible);
            view_redraw(state);
            break;
        // The zoom field is 16 bits wide, so the steps stay within it before the clamp.
        case MenuZoomIn:
            set_zoom(state, state.view.zoom + 5);
            break;
        case MenuZoomOut:
            set_zoom(state, state.view.zoom - 5);
            break;
        case MenuZoom3200:
            set_zoom(state, 3200);
            break;
        case MenuZoom1600:
            set_zoom(state, 1600);
            break;
        case MenuZoom800:
            set_zoom(state, 800);
            break;
        case MenuZoom500:
        case MenuZoom400:
        case MenuZoom300:
        case MenuZoom200:
        case MenuZoom100:
            set_zoom(state, static_cast<int>(MenuZoom100 + 1 - id) * 100);
            break;
        case MenuZoom50:
            set_zoom(state, 50);
            break;
        case MenuZoom25:
            set_zoom(state, 25);
            break;
        case MenuAbout:
            message_box("About", kAboutText, 64);
            break;
        case MenuPreviousBrush:
            brush_step(state, -1);
            break;
        case MenuNextBrush:
            brush_step(state, +1);
            break;
        default:
            if (!palette_menu_event(state, id) && !edit_menu_event(state, id) && !select_menu_event(state, id) &&
                !tile_menu_event(state, id) && !tile_export_menu_event(state, id))
                desktop_menu_event(state, id);
            break;
    }
}

void main_window_widget_event(EditorState& state, std::int64_t source, std::int64_t subtype) {
    if (source == ViewCanvas) {
        state.view.mouse_x = widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::MouseX));
        state.view.mouse_y = widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::MouseY));
        state.view.canvas_subtype = subtype;
        if (!replace_dialog_canvas_event(state, subtype)) canvas_event(state, subtype);
        edit_menu_refresh(state);
    } else if (source == ViewScrollArea) {
        if (subtype == WidgetScrolled) view_scrollbars_moved(state);
        return;
    } else if (!palette_panel_event(state, source, subtype)) {
        tool_panel_event(state, source, subtype);
    }
    // The swatch of the brush colour stays marked whatever changed the colour.
    palette_panel_mark(state);
}

}  // namespace

void dispatch_event(EditorState& state, std::int64_t kind, std::int64_t window, std::int64_t source,
                    std::int64_t subtype) {
    switch (kind) {
        case CloseWindowEvent:
            if (window == MainWindow) {
                ask_to_close(state);
            } else if (window == RegridWindow) {
                regrid_window_close();
            } else if (window == TilePreviewWindow) {
                tile_preview_close();
            } else {
                window_close(window);
            }
            break;
        case MenuEvent:
            menu_event(state, source);
            edit_menu_refresh(state);
            break;
        case DropFilesEvent:
            if (window == MainWindow) open_image_file(state, event_dropped_file());
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
                case RegridWindow:
                    regrid_window_event(state, source, subtype);
                    break;
                case ReplaceColourWindow:
                    replace_dialog_event(state, source, subtype);
                    break;
                case TileGridWindow:
                    tile_grid_dialog_event(state, source, subtype);
                    break;
                case TilePreviewWindow:
                    tile_preview_event(state, source, subtype);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    // The preview follows the pointer and the cell's pixels whatever the event changed.
    tile_preview_refresh(state);
}

}  // namespace morvane
