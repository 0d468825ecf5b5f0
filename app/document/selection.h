// The document's selection: a rectangle of document pixels, and pixels lifted from it or
// pasted that float above the picture until they are put down.
//
// A lift opens the undo step that the drop closes, so a lift with its moves and its drop is
// one step: the place the pixels left becomes transparent at the lift (not for a copy), and
// the drop writes them over the picture where they are. Putting them back (Escape, Undo
// while floating) gives the picture back exactly as before the lift. Pasted pixels float
// without a step; their drop is one step.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "image/bitmap.h"
#include "image/transform.h"

namespace morvane {

struct EditorState;

struct Selection {
    /// The selected pixels; empty when nothing is selected. A floating selection's rectangle
    /// is where its pixels show, and may reach outside the picture.
    Rect rect;
    /// The floating pixels (32 bits, straight alpha, the rectangle's size), null when the
    /// selection is not floating.
    BitmapPtr floating;
    /// The floating pixels were lifted inside the open undo step (false for a paste).
    bool lifted = false;
    /// Where lifted pixels came from, for putting them back.
    Rect origin;
    /// The lifted pixels as they were at the origin (not for a copy): the floating ones may
    /// have been turned since.
    BitmapPtr original;

    bool active() const { return !rect.empty(); }
    bool is_floating() const { return floating != nullptr; }
};

/// Selects `rect` (clipped to the picture; an empty result deselects). A floating selection is
/// put down first.
void selection_set(EditorState& state, const Rect& rect);
/// Deselects, putting a floating selection down first.
void selection_clear(EditorState& state);
/// Lifts the selected pixels into a floating selection: the place they leave becomes
/// transparent unless `copy`. False when there is no selection, it is floating already, or
/// memory runs out.
bool selection_lift(EditorState& state, bool copy);
/// Makes `pixels` (32 bits) a floating selection with its top-left corner at document pixel
/// (x, y), as a paste: a floating selection is put down first. Takes ownership.
void selection_float(EditorState& state, BitmapPtr pixels, std::int64_t x, std::int64_t y);
/// Moves the selection so that its top-left corner is at (x, y), lifting it first when it is
/// not floating (`copy` as for selection_lift).
void selection_move_to(EditorState& state, std::int64_t x, std::int64_t y, bool copy = false);
/// Puts a floating selection down: its pixels are drawn over the picture (alpha composed
/// over what is there), the undo step closes, and the part on the picture stays selected.
/// False when nothing was floating (or the step was refused).
bool selection_drop(EditorState& state);
/// Puts a floating selection back where it came from: a lifted one leaves the picture as
/// before the lift and selects its origin again; a pasted one is discarded (its rectangle
/// stays selected, clipped to the picture). False when nothing was floating.
bool selection_put_back(EditorState& state);
/// Mirrors or turns the selection about its centre (a quarter turn swaps its sides). A
/// selection that was not floating is lifted, turned and put down again as one undo step; a
/// floating one stays floating. False without a selection or when memory runs out.
bool selection_turn(EditorState& state, Turn turn);

}  // namespace morvane
