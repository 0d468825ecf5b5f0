// Start-up, the main loop and the way out: what the program's main() and the dispatch
// table call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"

namespace morvane {

/// Starts the editor, opens the first of `files` (the command line's pictures) and runs the
/// loop; returns the exit code (always 0).
int editor_start(EditorState& state, const std::vector<std::string>& files = {});
/// Start-up without the loop: shell, codecs, main window, settings, document, menu, tool
/// panel, view, icons and status bar. Returns false after a start-up failure (its message
/// has been shown and everything released); settings are then never written.
bool editor_init(EditorState& state);
void main_loop(EditorState& state);
/// One pass of the main loop: event_wait(timeout_ms), then dispatch of the event taken.
void main_loop_once(EditorState& state, int timeout_ms);
/// Asks "Do you want to close the application ?"; a Yes sets quit_requested.
void ask_to_close(EditorState& state);
/// Handles one event taken by event_wait (kind, window, source, subtype).
void dispatch_event(EditorState& state, std::int64_t kind, std::int64_t window, std::int64_t source,
                    std::int64_t subtype);
/// The normal way out after the loop: settings written, then editor_shutdown.
void editor_exit(EditorState& state);
/// Releases everything the editor and the shell hold.
void editor_shutdown(EditorState& state);

}  // namespace morvane
