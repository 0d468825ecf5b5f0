// Operations of the editor's spine, document view, settings and painting, called by the
// dispatch table and by the dialogs and commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "widgets/widget.h"

namespace morvane {

// Start-up and main loop.
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

// Document view.
void view_create(EditorState& state);
/// The scroll area's place in the main window for a client area of this size: the one
/// layout computation of the view.
WidgetRect view_area_rect(int window_width, int window_height);
void view_layout(EditorState& state, bool forced);
void view_redraw(EditorState& state);
/// Applies a zoom command (zoom set, zoom_before_command the zoom before it): clamps it to
/// 10..3200 % and keeps the document point at the view's centre in place.
void view_zoom_apply(EditorState& state);
/// Zooms to `zoom` (clamped) keeping the document point under (x, y) of the canvas where it
/// is. False when the zoom stays as it was: nothing moved then.
bool view_zoom_at(EditorState& state, int zoom, int x, int y);
/// The scroll position on one axis for a view of `view` pixels in `visible` canvas pixels:
/// centred (negative) when the view fits, else `wanted` kept within [0, view - visible].
std::int64_t view_scroll_clamp(std::int64_t wanted, std::int64_t view, std::int64_t visible);
/// The canvas's size: the scroll area's visible part.
std::int64_t view_visible_width();
std::int64_t view_visible_height();
/// Sizes the canvas and the scroll bars to the view, scrolls to (x, y) kept in range, and
/// repaints the canvas.
void view_fit(EditorState& state, std::int64_t x, std::int64_t y);
/// Scrolls so that view pixel (x, y), kept in range, shows at the canvas's top-left corner;
/// repaints only what the scroll uncovers.
void view_scroll_to(EditorState& state, std::int64_t x, std::int64_t y);
/// The user moved a scroll bar: the view follows it.
void view_scrollbars_moved(EditorState& state);
/// The document column (row) under canvas column x (row y): floor((x + scroll_x) x 100 / zoom).
std::int64_t canvas_to_document_x(const EditorState& state, std::int64_t x);
std::int64_t canvas_to_document_y(const EditorState& state, std::int64_t y);
/// The zoom preset (10, 25, 50, 100, 200, 300, 400, 500, 600, 800, 1200, 1600, 2400, 3200)
/// after `zoom` in `direction` (+1 in, -1 out), 0 when there is none.
int zoom_preset_step(int zoom, int direction);
/// The zoom keys: one preset in (+1) or out (-1), or 100 % (0), around the view's centre.
void view_zoom_key(EditorState& state, int direction);
/// Wheel, pan, Space and Alt+click on the canvas, and the Mouse field: true when the event
/// was taken here and must not reach the tools.
bool view_navigate_event(EditorState& state, std::int64_t subtype);
/// Shows the document pixel under the pointer in the status bar's Mouse field.
void status_mouse_document(const EditorState& state);
/// A new fully transparent document of base_width x base_height (the history starts anew).
void document_recreate(EditorState& state);
void status_update(EditorState& state);
/// Repaints the part of the canvas that shows the document rectangle [x0, x1) x [y0, y1).
void view_show_document_rect(EditorState& state, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                             std::int64_t y1);
/// Composes the whole view into rows of 0xFFRRGGBB (view_width x view_height, view pixels,
/// whatever part the canvas shows), the checking path beside the canvas's own partial
/// compose. Empty when the document is missing.
std::vector<std::uint32_t> view_compose_all(const EditorState& state);
/// Fills rows of 0xFFRRGGBB (stride pixels apart) with the view rectangle x, y, w x h (view
/// pixels): what the canvas paints where it shows that part of the view.
void view_compose_into(const EditorState& state, int x, int y, int w, int h, std::uint32_t* pixels,
                       int stride);
/// Composes the view rectangle x, y, w x h the way the canvas shows it.
std::vector<std::uint32_t> view_compose_rect(const EditorState& state, int x, int y, int w, int h);

// Document: file, unsaved changes, undo and redo.
/// The image that holds the picture the history records and the file receives.
ObjectNumber document_picture(const EditorState& state);
/// A new history for the picture now shown, `file` as its file, nothing unsaved.
void document_start(EditorState& state, const std::string& file);
/// Shows the file and unsaved state in the title and greys Undo/Redo when unavailable.
void document_state_changed(EditorState& state);
/// Closes the undo step of an edit. A step too large for the history asks first whether to
/// go on without undo: Cancel gives the picture back as it was before the edit, Continue
/// keeps the edit and forgets the history. False when the edit was cancelled.
bool document_step_end(EditorState& state);
void document_undo(EditorState& state);
void document_redo(EditorState& state);
/// Saves the picture: to the document's file without a dialog when it has one whose
/// extension names a format and `ask` is false, otherwise through the save dialog. True
/// when the picture was written.
bool document_save(EditorState& state, bool ask);
/// Before the document is closed or replaced: with unsaved changes asks Save, Discard or
/// Cancel. True when the caller may go on (nothing unsaved, saved, or discarded).
bool document_settle(EditorState& state);

// Settings.
void settings_load(EditorState& state);
void settings_save(const EditorState& state);
void preferences_window_open(EditorState& state);

// Painting.
void stamp_rebuild(EditorState& state, bool size_changed);
void color_repack(EditorState& state);
/// After a change of brush_color: packs it with the brush opacity, repaints the colour swatch
/// and rebuilds the brush tip.
void brush_color_apply(EditorState& state);
/// The canvas handler: a WidgetEvent of the canvas with the position already in mouse_x/y.
void canvas_event(EditorState& state, std::int64_t subtype);
/// Lays the tool panel's top row out left to right so that controls grown to their captions
/// do not overlap, and gives every tool button a tooltip naming the tool and its key.
void tool_panel_arrange();
/// Tool panel: a WidgetEvent of the main window's widgets 2..15 (except the canvas).
void tool_panel_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// "Previous Brush" (step -1) and "Next Brush" (step +1).
void brush_step(EditorState& state, int step);
/// Side of the brush tip in document pixels: the brush size, 1..100.
int brush_tip_size(const EditorState& state);
/// The custom brush file for the current brush folder and index.
std::string custom_brush_path(const EditorState& state);
/// The brush folder found for brush_dir ("" when none holds a brushN.png) and its numbers N.
struct BrushFolder {
    std::string path;
    std::vector<int> indices;
};
BrushFolder brush_folder(const EditorState& state);
/// Greys "Custom" in the tip list when no brush picture is found.
void brush_tips_refresh(const EditorState& state);
/// Handler of the Preferences window's widgets (39, 40, 41).
void preferences_window_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// One painting step at document pixel x, y for a canvas subtype (65539 move, 65540 left
/// down, 65541 left up); repaints what changed.
void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype);

}  // namespace morvane
