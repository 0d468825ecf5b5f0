// The main loop: waits for events with a 5 millisecond limit and hands each to the dispatch
// table until a Yes to the close question.
#include "app/document/document_commands.h"
#include "app/select/select_tool.h"
#include "app/startup/startup.h"
#include "shell/events.h"
#include "widgets/dialogs.h"

namespace morvane {

void ask_to_close(EditorState& state) {
    // Unsaved work is offered to be saved first; a cancel or a failed save keeps the program open.
    if (state.document.modified()) {
        if (document_settle(state)) state.quit_requested = 1;
        return;
    }
    if (message_box("Info", "Do you want to close the application ?", 52) == 6) state.quit_requested = 1;
}

void main_loop_once(EditorState& state, int timeout_ms) {
    const std::int64_t kind = event_wait(timeout_ms);
    if (kind != 0) dispatch_event(state, kind, event_window(), event_source(), event_subtype());
    select_tick(state);
}

void main_loop(EditorState& state) {
    while (state.quit_requested != 1) main_loop_once(state, 5);
}

}  // namespace morvane
