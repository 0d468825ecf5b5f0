// The Select tool on the canvas: a drag selects a rectangle (snapped to the cells with "Snap
// to Grid"), a click outside the selection deselects, a double click selects a cell, and a
// drag from inside the selection lifts and moves it (Ctrl: a copy).
#include <algorithm>

#include "app/document/selection.h"
#include "app/select/select_geometry.h"
#include "app/select/select_tool.h"
#include "app/tiles/tile_grid.h"
#include "canvas/canvas.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

enum class Gesture { None, Selecting, Moving };

// The drag under way: its press pixel, the selection's corner then, and what it did so far.
struct Drag {
    Gesture gesture = Gesture::None;
    std::int64_t press_x = 0, press_y = 0;
    std::int64_t corner_x = 0, corner_y = 0;
    bool copy = false;
    bool moved = false;
    bool dropped = false;  // the press put floating pixels down: its click does not deselect
};
Drag g_drag;

bool contains(const Rect& r, std::int64_t x, std::int64_t y) {
    return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1;
}

int canvas_state(CanvasAttribute attribute) {
    return static_cast<int>(widget_get_attribute(ViewCanvas, static_cast<int>(attribute)));
}

Rect selection_rect_for(const EditorState& state, const Rect& dragged) {
    const Rect on_picture = rect_clipped(dragged, state.view.base_width, state.view.base_height);
    if (!state.tools.snap_to_grid || on_picture.empty()) return on_picture;
    return rect_snapped(on_picture, tile_grid(state));
}

void press(EditorState& state, std::int64_t x, std::int64_t y) {
    Selection& selection = state.document.selection;
    g_drag = Drag{};
    g_drag.press_x = x, g_drag.press_y = y;
    g_drag.copy = (canvas_state(CanvasAttribute::Modifiers) & ModifierControl) != 0;
    if (selection.active() && contains(selection.rect, x, y)) {
        g_drag.gesture = Gesture::Moving;
        g_drag.corner_x = selection.rect.x0, g_drag.corner_y = selection.rect.y0;
    } else {
        // A press outside floating pixels puts them down first.
        g_drag.dropped = select_settle(state);
        g_drag.gesture = Gesture::Selecting;
    }
    state.view.mouse_down = 1;
}

void drag_select(EditorState& state, std::int64_t x, std::int64_t y) {
    if (!g_drag.moved && x == g_drag.press_x && y == g_drag.press_y) return;
    g_drag.moved = true;
    const Rect wanted = selection_rect_for(state, rect_from_corners(g_drag.press_x, g_drag.press_y, x, y));
    Selection& selection = state.document.selection;
    const Rect before = selection.rect;
    if (wanted.x0 == before.x0 && wanted.y0 == before.y0 && wanted.x1 == before.x1 && wanted.y1 == before.y1)
        return;
    if (wanted.empty()) {
        selection_clear(state);
    } else {
        selection_set(state, wanted);
    }
    select_changed(state, before);
}

void drag_move(EditorState& state, std::int64_t x, std::int64_t y) {
    std::int64_t dx = x - g_drag.press_x, dy = y - g_drag.press_y;
    if (state.tools.snap_to_grid) {
        const std::int64_t gap = std::max<std::int64_t>(0, state.view.grid_gap);
        dx = delta_in_cells(dx, std::max<std::int64_t>(1, state.view.grid_width) + gap);
        dy = delta_in_cells(dy, std::max<std::int64_t>(1, state.view.grid_height) + gap);
    }
    Selection& selection = state.document.selection;
    const Rect before = selection.rect;
    if (!g_drag.moved) {
        if (dx == 0 && dy == 0) return;
        g_drag.moved = true;
        // Ctrl+drag of floating pixels leaves a copy of them where they are.
        if (g_drag.copy && selection.is_floating()) {
            selection_drop(state);
            selection_lift(state, true);
        }
    }
    const std::int64_t to_x = g_drag.corner_x + dx, to_y = g_drag.corner_y + dy;
    if (selection.is_floating() && selection.rect.x0 == to_x && selection.rect.y0 == to_y) return;
    selection_move_to(state, to_x, to_y, g_drag.copy);
    select_changed(state, before);
}

void release(EditorState& state) {
    if (g_drag.gesture == Gesture::Selecting && !g_drag.moved && !g_drag.dropped &&
        state.document.selection.active()) {
        const Rect before = state.document.selection.rect;
        selection_clear(state);
        select_changed(state, before);
    }
    g_drag = Drag{};
    state.view.mouse_down = 0;
}

void double_click(EditorState& state, std::int64_t x, std::int64_t y) {
    g_drag = Drag{};  // the release that ends the double click does not deselect
    Rect cell;
    if (tile_cell_at(tile_grid(state), x, y, &cell) < 0) return;
    const Rect before = state.document.selection.rect;
    selection_set(state, cell);
    select_changed(state, before);
}

}  // namespace

bool select_canvas_event(EditorState& state, std::int64_t subtype, std::int64_t x, std::int64_t y) {
    if (state.tools.current_tool != ToolSelect) {
        // Painting puts floating pixels down before it begins.
        if (subtype == LeftButtonDown) select_settle(state);
        return false;
    }
    switch (subtype) {
        case LeftButtonDown:
            press(state, x, y);
            return true;
        case MouseMove:
            if (g_drag.gesture == Gesture::None || !(canvas_state(CanvasAttribute::Buttons) & ButtonLeft))
                return true;
            if (g_drag.gesture == Gesture::Selecting) {
                drag_select(state, x, y);
            } else {
                drag_move(state, x, y);
            }
            return true;
        case LeftButtonUp:
            release(state);
            return true;
        case LeftDoubleClick:
            double_click(state, x, y);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
