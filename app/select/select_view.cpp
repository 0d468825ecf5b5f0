// The selection on screen: what the view composes for it, the repaints its changes need,
// the outline's animation and the status bar field.
#include <algorithm>
#include <chrono>
#include <string>

#include "app/document/document_commands.h"
#include "app/document/selection.h"
#include "app/select/select_compose.h"
#include "app/select/select_tool.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "shell/statusbar.h"

namespace morvane {

namespace {

constexpr int kAntsPeriodMs = 120;  // one step of the dashes

using Clock = std::chrono::steady_clock;

int g_ants_phase = 0;
Clock::time_point g_ants_step;
SelectionLayer g_layer;

// Repaints the view rectangle [vx0, vx1) x [vy0, vy1), cut to what the canvas shows.
void invalidate_view(const EditorState& state, std::int64_t vx0, std::int64_t vy0, std::int64_t vx1,
                     std::int64_t vy1) {
    const std::int64_t x0 = std::max({vx0, std::int64_t{0}, state.view.scroll_x});
    const std::int64_t y0 = std::max({vy0, std::int64_t{0}, state.view.scroll_y});
    const std::int64_t x1 =
        std::min({vx1, state.view.view_width, state.view.scroll_x + view_visible_width()});
    const std::int64_t y1 =
        std::min({vy1, state.view.view_height, state.view.scroll_y + view_visible_height()});
    if (x1 <= x0 || y1 <= y0) return;
    canvas_invalidate(ViewCanvas, static_cast<int>(x0 - state.view.scroll_x),
                      static_cast<int>(y0 - state.view.scroll_y), static_cast<int>(x1 - x0),
                      static_cast<int>(y1 - y0));
}

// Repaints only the outline: the four sides of the selection's view rectangle.
void invalidate_outline(const EditorState& state) {
    const Rect& r = state.document.selection.rect;
    std::int64_t vx0, vx1, vy0, vy1;
    selection_view_span(r.x0, r.x1, state.view.zoom, &vx0, &vx1);
    selection_view_span(r.y0, r.y1, state.view.zoom, &vy0, &vy1);
    invalidate_view(state, vx0, vy0, vx1, vy0 + 1);
    invalidate_view(state, vx0, vy1 - 1, vx1, vy1);
    invalidate_view(state, vx0, vy0, vx0 + 1, vy1);
    invalidate_view(state, vx1 - 1, vy0, vx1, vy1);
}

}  // namespace

const SelectionLayer* selection_layer(const EditorState& state) {
    const Selection& selection = state.document.selection;
    if (!selection.active()) return nullptr;
    g_layer.rect = selection.rect;
    g_layer.floating = selection.floating.get();
    g_layer.ants_phase = g_ants_phase;
    return &g_layer;
}

void select_changed(EditorState& state, const Rect& before) {
    const Rect both = before.united(state.document.selection.rect);
    if (!both.empty()) view_show_document_rect(state, both.x0, both.y0, both.x1, both.y1);
    document_state_changed(state);
    select_refresh(state);
}

void select_status(EditorState& state) {
    const Rect& r = state.document.selection.rect;
    std::string text;
    if (!r.empty()) {
        text = "Sel : " + std::to_string(r.x0) + "," + std::to_string(r.y0) + " " + std::to_string(r.x1 - r.x0) +
               " x " + std::to_string(r.y1 - r.y0);
    }
    status_part_set(state, StatusPart::Selection, text);
}

void select_tick(EditorState& state) {
    select_refresh(state);
    if (!state.document.selection.active()) return;
    const Clock::time_point now = Clock::now();
    if (now - g_ants_step < std::chrono::milliseconds(kAntsPeriodMs)) return;
    g_ants_step = now;
    g_ants_phase = (g_ants_phase + 1) % 8;
    invalidate_outline(state);
}

bool select_settle(EditorState& state) {
    const Rect before = state.document.selection.rect;
    if (!selection_drop(state)) return false;
    select_changed(state, before);
    return true;
}

bool select_undo_floating(EditorState& state) {
    const Selection& selection = state.document.selection;
    if (!selection.is_floating()) return false;
    const Rect before = selection.rect.united(selection.origin);
    selection_put_back(state);
    select_changed(state, before);
    return true;
}

}  // namespace morvane
