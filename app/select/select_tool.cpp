// The Select tool: its button and keys, "Snap to Grid", and the keys that move, put down
// or put back a selection.
#include "app/select/select_tool.h"

#include <algorithm>
#include <iterator>

#include "app/document/selection.h"
#include "app/startup/desktop.h"
#include "app/tools/painting.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/menu.h"
#include "shell/window.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kIconSide = 16;

// Which selection keys are on (the bits of select_refresh), -1 before the first refresh.
int g_keys_on = -1;

struct SelectKey {
    const char* keys;
    int id;
};

// Arrows move by a pixel, Shift+arrows by a cell; Return and Enter put the floating pixels
// down, Escape puts them back.
constexpr SelectKey kSelectKeys[] = {
    {"Left", SelectKeyLeft},           {"Right", SelectKeyRight},         {"Up", SelectKeyUp},
    {"Down", SelectKeyDown},           {"Shift+Left", SelectKeyCellLeft}, {"Shift+Right", SelectKeyCellRight},
    {"Shift+Up", SelectKeyCellUp},     {"Shift+Down", SelectKeyCellDown}, {"Return", SelectKeyDrop},
    {"Enter", SelectKeyDrop},          {"Escape", SelectKeyPutBack},
};

// The main window's controls that use the arrows, Return or Escape themselves.
constexpr ObjectNumber kKeyControls[] = {SizeSpin, TipCombo, KindCombo, OpacityTrackbar, PaletteSwatches};

// A marquee: a square of two-pixel black dashes on white, on a transparent ground.
void draw_icon() {
    if (!image_create(SelectIconImage, kIconSide, kIconSide, 32, BackgroundTransparent)) return;
    Bitmap* icon = bitmap_from_handle(image_handle(SelectIconImage));
    if (!icon || icon->bpp != 32) return;
    auto put = [&](int x, int y) {
        const bool black = ((x + y) / 2) % 2 == 0;
        std::uint8_t* p = icon->row(y) + x * 4;
        p[0] = p[1] = p[2] = black ? 0 : 255;
        p[3] = 255;
    };
    for (int i = 1; i < kIconSide - 1; ++i) {
        put(i, 1), put(i, kIconSide - 2);
        put(1, i), put(kIconSide - 2, i);
    }
}

// Moves the selection by (dx, dy), lifting it first when it is not floating.
void move_by(EditorState& state, std::int64_t dx, std::int64_t dy) {
    const Selection& selection = state.document.selection;
    if (!selection.active()) return;
    const Rect before = selection.rect;
    selection_move_to(state, before.x0 + dx, before.y0 + dy);
    select_changed(state, before);
}

bool selection_key(EditorState& state, std::int64_t id) {
    Selection& selection = state.document.selection;
    const std::int64_t cell_x =
        std::max<std::int64_t>(1, state.view.grid_width) + std::max<std::int64_t>(0, state.view.grid_gap);
    const std::int64_t cell_y =
        std::max<std::int64_t>(1, state.view.grid_height) + std::max<std::int64_t>(0, state.view.grid_gap);
    const Rect before = selection.rect;
    switch (id) {
        case SelectKeyLeft:
            move_by(state, -1, 0);
            return true;
        case SelectKeyRight:
            move_by(state, 1, 0);
            return true;
        case SelectKeyUp:
            move_by(state, 0, -1);
            return true;
        case SelectKeyDown:
            move_by(state, 0, 1);
            return true;
        case SelectKeyCellLeft:
            move_by(state, -cell_x, 0);
            return true;
        case SelectKeyCellRight:
            move_by(state, cell_x, 0);
            return true;
        case SelectKeyCellUp:
            move_by(state, 0, -cell_y);
            return true;
        case SelectKeyCellDown:
            move_by(state, 0, cell_y);
            return true;
        case SelectKeyDrop:
            if (selection_drop(state)) select_changed(state, before);
            return true;
        case SelectKeyPutBack:
            // Escape puts floating pixels back; a selection that does not float goes.
            if (!selection_put_back(state)) selection_clear(state);
            select_changed(state, before.united(selection.origin));
            return true;
        default:
            return false;
    }
}

}  // namespace

void select_view_items() {
    menu_item(MenuSnapToGrid, "Snap to Grid\tShift+S");
}

bool select_menu_event(EditorState& state, std::int64_t id) {
    if (id == MenuSnapToGrid) {
        state.tools.snap_to_grid = !state.tools.snap_to_grid;
        menu_set_item_checked(MainMenu, MenuSnapToGrid, state.tools.snap_to_grid ? 1 : 0);
        return true;
    }
    if (id == tool_key_id(ToolSelect)) {
        tool_panel_event(state, SelectButton, 0);
        return true;
    }
    return selection_key(state, id);
}

void select_button_create() {
    draw_icon();
    // Beside the clear button, the free place of the tool buttons' last row.
    image_button_create(SelectButton, 31, 137, 25, 25, image_handle(SelectIconImage), 0x1003);
    widget_set_tooltip(SelectButton, "Select (M)");
}

void select_keys_install() {
    window_add_shortcut(MainWindow, "M", tool_key_id(ToolSelect));
    for (const SelectKey& key : kSelectKeys) window_add_shortcut(MainWindow, key.keys, key.id);
    g_keys_on = -1;
}

void select_refresh(EditorState& state) {
    const Selection& selection = state.document.selection;
    // Bit 0: arrows and Escape; bit 1: Return and Enter (only floating pixels go down). A
    // focused control that takes those keys itself keeps them.
    const ObjectNumber focus = widget_focused();
    const bool control = std::find(std::begin(kKeyControls), std::end(kKeyControls), focus) != std::end(kKeyControls);
    const int wanted = control ? 0 : (selection.active() ? 1 : 0) | (selection.is_floating() ? 2 : 0);
    if (wanted != g_keys_on) {
        for (const SelectKey& key : kSelectKeys) {
            const int bit = key.id == SelectKeyDrop ? 2 : 1;
            window_enable_shortcut(MainWindow, key.id, (wanted & bit) != 0);
        }
        g_keys_on = wanted;
    }
    select_status(state);
}

void select_tool_chosen(EditorState& state, int tool) {
    widget_set_state(SelectButton, tool == ToolSelect ? 1 : 0);
    if (tool != ToolSelect) select_settle(state);
}

}  // namespace morvane
