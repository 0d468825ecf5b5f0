// Operations of the editor's spine, document view, settings and painting, called by the
// dispatch table and by the dialogs and commands.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

// Start-up and main loop.
int editor_start(EditorState& state);  // returns the exit code (always 0)
void main_loop(EditorState& state);
/// Handles one event taken by event_wait (kind, window, source, subtype).
void dispatch_event(EditorState& state, std::int64_t kind, std::int64_t window, std::int64_t source,
                    std::int64_t subtype);
/// Releases everything the editor and the shell hold.
void editor_shutdown(EditorState& state);

// Document view.
void view_create(EditorState& state);
void view_layout(EditorState& state, bool forced);
void view_redraw(EditorState& state);
void view_zoom_apply(EditorState& state);
void view_clear(EditorState& state);
void checker_rebuild(EditorState& state);
void document_images_recreate(EditorState& state);
void document_images_resize(EditorState& state, int mode);
void status_update(EditorState& state);

// Settings.
void settings_load(EditorState& state);
void settings_save(const EditorState& state);
void preferences_window_open(EditorState& state);

// Painting.
void stamp_rebuild(EditorState& state, bool custom);
void color_repack(EditorState& state);
/// One painting step at canvas pixel x, y for a canvas subtype (65539 move, 65540 left down, 65541 left up).
void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype);

}  // namespace morvane
