// The document's selection and its floating pixels.
#include "app/document/selection.h"

#include "app/editor_state.h"

namespace morvane {

void selection_set(EditorState&, const Rect&) {}
void selection_clear(EditorState&) {}
bool selection_lift(EditorState&, bool) {
    return false;
}
void selection_float(EditorState&, BitmapPtr, std::int64_t, std::int64_t) {}
void selection_move_to(EditorState&, std::int64_t, std::int64_t, bool) {}
bool selection_drop(EditorState&) {
    return false;
}
bool selection_put_back(EditorState&) {
    return false;
}
bool selection_turn(EditorState&, Turn) {
    return false;
}

}  // namespace morvane
