// The Select tool: rectangular selections on the canvas, snapping to the tile grid, and the
// moves of a floating selection.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "app/editor_state.h"

namespace morvane {

struct SelectionLayer;

/// Adds "Snap to Grid" to the menu being built (the View menu, after "Grid").
void select_view_items();
/// Runs "Snap to Grid", the Select tool's key and its selection keys; false for any other id.
bool select_menu_event(EditorState& state, std::int64_t id);

/// Makes the Select tool's button (with its icon) in the tool panel.
void select_button_create();
/// Installs the Select tool's key (M) and the selection keys (arrows, Shift+arrows, Return,
/// Enter, Escape); the selection keys stay off while nothing is selected.
void select_keys_install();
/// After the current tool changed to `tool`: the Select button shows whether it is the one,
/// and any other tool puts a floating selection down.
void select_tool_chosen(EditorState& state, int tool);

/// The canvas events of the Select tool (document pixel x, y); true when taken. With any other
/// tool a press first puts a floating selection down, and false is returned.
bool select_canvas_event(EditorState& state, std::int64_t subtype, std::int64_t x, std::int64_t y);

/// Puts a floating selection down (before a save, a clear, another tool). False when none.
bool select_settle(EditorState& state);
/// Undo while floating: the floating pixels go back. False when nothing floats.
bool select_undo_floating(EditorState& state);

/// Repaints the document rectangle `before` (where the selection was) and the selection now,
/// then brings the status field and the selection keys up to date.
void select_changed(EditorState& state, const Rect& before);
/// The status field and the selection keys follow the selection.
void select_refresh(EditorState& state);
/// Shows the selection's place and size in the status bar ("Sel : x,y w x h", empty with none).
void select_status(EditorState& state);
/// Called at every turn of the main loop: steps the outline's dashes every 120 ms, repainting
/// only the outline, and keeps the status field and keys up to date.
void select_tick(EditorState& state);
/// What the view composes for the selection, null when nothing is selected. The record
/// stays valid until the next call.
const SelectionLayer* selection_layer(const EditorState& state);

}  // namespace morvane
