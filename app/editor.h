// Operations of the editor's spine, document view, settings and painting, called by the
// dispatch table and by the dialogs and commands.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor_state.h"

namespace morvane {

// Start-up and main loop.
int editor_start(EditorState& state);  // returns the exit code (always 0)
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
/// Recomposes only the canvas rectangle x, y, w, h (clipped to the view); the result is the
/// same as a full view_redraw over that rectangle.
void view_redraw_region(EditorState& state, int x, int y, int w, int h);

// Document: file, unsaved changes, undo and redo.
/// The image that holds the picture the history records and the file receives.
ObjectNumber document_picture(const EditorState& state);
/// A new history for the picture now shown, `file` as its file, nothing unsaved.
void document_start(EditorState& state, const std::string& file);
/// Shows the file and unsaved state in the title and greys Undo/Redo when unavailable.
void document_state_changed(EditorState& state);
void document_undo(EditorState& state);
void document_redo(EditorState& state);
/// Saves the picture: to the document's file without a dialog when it has one whose
/// extension names a format and `ask` is false, otherwise through the save dialog. True
/// when the picture was written.
bool document_save(EditorState& state, bool ask);
/// Before the document is closed or replaced: with unsaved changes asks Save, Discard or
/// Cancel. True when the caller may go on (nothing unsaved, saved, or discarded).
bool document_settle(EditorState& state);
/// After the release that ends a stroke on the canvas: the stroke becomes one undo step.
void document_stroke_ended(EditorState& state);

// Settings.
void settings_load(EditorState& state);
void settings_save(const EditorState& state);
void preferences_window_open(EditorState& state);

// Painting.
void stamp_rebuild(EditorState& state, bool size_changed);
void color_repack(EditorState& state);
/// The canvas handler: a WidgetEvent of the canvas with the position already in mouse_x/y.
void canvas_event(EditorState& state, std::int64_t subtype);
/// Tool panel: a WidgetEvent of the main window's widgets 2..15 (except the canvas).
void tool_panel_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// "Previous Brush" (step -1) and "Next Brush" (step +1).
void brush_step(EditorState& state, int step);
/// Side of the brush tip in canvas pixels: the brush size at the current zoom, at least 1.
int brush_tip_size(const EditorState& state);
/// The custom brush file for the current brush folder and index.
std::string custom_brush_path(const EditorState& state);
/// Handler of the Preferences window's widgets (39, 40, 41).
void preferences_window_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// One painting step at canvas pixel x, y for a canvas subtype (65539 move, 65540 left down, 65541 left up).
void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype);

}  // namespace morvane
