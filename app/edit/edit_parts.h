// The parts of the Edition menu's commands, one file per concern: the selection's own
// commands, the clipboard, and the flips and turns.
#pragma once

#include "app/document/paint_region.h"
#include "app/editor_state.h"
#include "image/bitmap.h"
#include "image/transform.h"

namespace morvane {

/// The selection clipped to the picture; empty without one.
Rect edit_selected_rect(const EditorState& state);
/// A picture that shows `rect` (inside `picture`) of `picture` without copying it: its rows
/// are the picture's own memory. Never to be destroyed; valid while the picture is.
Bitmap edit_window_on(const Bitmap& picture, const Rect& rect);
/// Gives numbered picture `picture` the storage `fresh` (the old one is released): size and
/// depth follow, the file format and source depth stay.
void edit_replace_storage(ObjectNumber picture, Bitmap* fresh);
/// After the picture's size changed: the sizes, the status bar and the view follow.
void edit_picture_resized(EditorState& state);

void edit_select_all(EditorState& state);
void edit_deselect(EditorState& state);
/// Clears the selected pixels to transparent (a floating selection's pixels are discarded)
/// as one undo step. False without a selection.
bool edit_delete(EditorState& state);
void edit_crop(EditorState& state);

/// Puts the selected pixels (the floating ones when floating) on the clipboard. False
/// without a selection or when the clipboard refused them.
bool edit_copy(EditorState& state);
void edit_cut(EditorState& state);
void edit_paste(EditorState& state);
void edit_paste_as_new(EditorState& state);

/// Turns the selection, or the whole picture without one, as one undo step.
void edit_turn(EditorState& state, Turn turn);

}  // namespace morvane
