// Flip Horizontal, Flip Vertical and the three turns: of the selection when there is one,
// else of the whole picture in place.
#include "app/document/document_commands.h"
#include "app/edit/edit_parts.h"
#include "app/view/view.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

void edit_turn(EditorState& state, Turn turn) {
    if (state.document.selection.active()) {
        if (!selection_turn(state, turn)) message_box("Morvane", "Not enough memory to turn the selection.", 16);
        return;
    }
    History& history = state.document.history;
    // A step still open is closed on the picture as it is before the turn.
    if (history.recording()) document_step_end(state);
    if (!picture_turn(state.document.record(), turn)) {
        message_box("Morvane", "Not enough memory to turn the picture.", 16);
        return;
    }
    // The step keeps only the turn: undo turns the picture back.
    history.record_turn(state.document.record(), turn);
    if (turn_swaps_sides(turn) && state.view.base_width != state.view.base_height) {
        edit_picture_resized(state);
    } else {
        view_redraw(state);
    }
}

}  // namespace morvane
