// The Preferences window: smallest PNG files, grid cell size and grid colour, applied at once.
#include "app/dialogs/dialogs.h"
#include "app/dialogs/png_preference.h"
#include "app/view/view.h"
#include "image/png_optimize.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace preferences_window;

}  // namespace

void preferences_window_open(EditorState& state) {
    if (!window_open(PreferencesWindow, 0, 0, 400, 300, "Preferences", 0xC80001, MainWindow)) return;
    if (!panel_create(TabPanel, 5, 5, 390, 255)) return;
    widget_add_item(TabPanel, 0, "General");
    check_box_create(SmallestPngCheck, 10, 10, 150, 20, "Smallest PNG files");
    widget_set_tooltip(SmallestPngCheck,
                       "Palette, grey or RGB at the lowest bit depth that keeps every pixel. "
                       "Off: 8-bit RGBA, which some engines' loaders expect.");
    widget_set_state(SmallestPngCheck, png_smallest() ? 1 : 0);
    widget_add_item(TabPanel, 1, "Grille");
    spin_create(GridWidthSpin, 5, 10, 50, 20, 1, 500, 2);
    spin_create(GridHeightSpin, 60, 10, 50, 20, 1, 500, 2);
    button_create(GridColorButton, 120, 10, 60, 20, "Grid Color");
    widget_set_state(GridWidthSpin, state.view.grid_width);
    widget_set_state(GridHeightSpin, state.view.grid_height);
    widget_list_close();
    // Changes apply at once: Close (Enter and Escape too) only closes the window.
    button_create(CloseButton, 315, 268, 80, 24, "Close");
    dialog_keys_set(PreferencesWindow, CloseButton, CloseButton);
}

void preferences_window_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case GridWidthSpin:
            state.view.grid_width = static_cast<std::int16_t>(widget_get_state(GridWidthSpin));
            view_redraw(state);
            break;
        case GridHeightSpin:
            state.view.grid_height = static_cast<std::int16_t>(widget_get_state(GridHeightSpin));
            view_redraw(state);
            break;
        case SmallestPngCheck:
            smallest_png_choose(widget_get_state(SmallestPngCheck) != 0);
            break;
        case GridColorButton: {
            const std::int64_t chosen = color_dialog(state.view.grid_color);
            // A cancelled dialog keeps the grid colour there was.
            if (chosen != -1) state.view.grid_color = static_cast<std::int32_t>(chosen);
            view_redraw(state);
            break;
        }
        case CloseButton:
            window_close(PreferencesWindow);
            break;
        default:
            break;
    }
}

}  // namespace morvane
