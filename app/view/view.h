// The document view: creation, layout, zoom, repaint, the status bar and the composed
// picture the canvas shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "widgets/widget.h"

namespace morvane {

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
/// The status bar's last field, shared: the selection's place and size, and in tile mode the
/// tile under the pointer. Each sets its own part ("" for none); the field shows both.
enum class StatusPart : int { Selection = 0, Tile = 1 };
void status_part_set(EditorState& state, StatusPart part, const std::string& text);
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

}  // namespace morvane
