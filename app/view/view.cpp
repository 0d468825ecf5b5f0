// The document view: scroll area and canvas, layout, zoom, the document images, the
// checkerboard and the status bar texts.
#include "app/view/view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/palette/palette_panel.h"
#include "app/select/select_tool.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "image/image.h"
#include "shell/statusbar.h"
#include "shell/window.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kZoomMin = 10;
constexpr int kZoomMax = 3200;

int vw(const EditorState& state) {
    return static_cast<int>(state.view.view_width);
}
int vh(const EditorState& state) {
    return static_cast<int>(state.view.view_height);
}

// Clamps the zoom and sizes the view for it; the scroll position is left to the caller.
void zoom_size(EditorState& state) {
    state.view.zoom = static_cast<std::int16_t>(std::clamp<int>(state.view.zoom, kZoomMin, kZoomMax));
    state.view.view_width = state.view.base_width * state.view.zoom / 100;
    state.view.view_height = state.view.base_height * state.view.zoom / 100;
}

// Zooms from `before` to state.view.zoom keeping the document point under (x, y) of the canvas
// where it is (as near as whole view pixels allow), then repaints.
void zoom_around(EditorState& state, int before, std::int64_t x, std::int64_t y) {
    // The document position at the centre of the screen pixel at (x, y).
    const double fx = (double(x + state.view.scroll_x) + 0.5) * 100.0 / before;
    const double fy = (double(y + state.view.scroll_y) + 0.5) * 100.0 / before;
    zoom_size(state);
    const auto sx = static_cast<std::int64_t>(std::floor(fx * state.view.zoom / 100.0)) - x;
    const auto sy = static_cast<std::int64_t>(std::floor(fy * state.view.zoom / 100.0)) - y;
    view_fit(state, sx, sy);
    status_update(state);
}

}  // namespace

WidgetRect view_area_rect(int window_width, int window_height) {
    // The palette panel takes the right edge: the view ends 5 pixels before it.
    return WidgetRect{60, 50, palette_panel_left(window_width) - 5 - 60, window_height - 100};
}

void view_create(EditorState& state) {
    scroll_area_create(ViewScrollArea, 60, 50, vw(state) + 80, vh(state) + 80, vw(state), vh(state), 16);
    // The scroll bars run over the view while the canvas is only its visible part.
    widget_set_attribute(ViewScrollArea, ScrollContentWidth, state.view.view_width);
    widget_set_attribute(ViewScrollArea, ScrollContentHeight, state.view.view_height);
    canvas_create(ViewCanvas, 0, 0, static_cast<int>(view_visible_width()),
                  static_cast<int>(view_visible_height()), ConfinePointer | TakesFocus);
    // The canvas keeps no pixels: each paint composes the exposed part from the document.
    canvas_set_painter(ViewCanvas, [&state](int x, int y, int w, int h, std::uint32_t* pixels, int stride) {
        view_compose_into(state, static_cast<int>(x + state.view.scroll_x),
                          static_cast<int>(y + state.view.scroll_y), w, h, pixels, stride);
    });
    widget_list_close();
    state.view.laid_out_width = state.view.base_width;
    state.view.laid_out_height = state.view.base_height;
    view_fit(state, 0, 0);
}

void view_layout(EditorState& state, bool forced) {
    if (!forced && widget_focused() != 0) return;
    const WidgetRect area = view_area_rect(window_inner_width(MainWindow), window_inner_height(MainWindow));
    widget_resize(ViewScrollArea, area.x, area.y, area.width, area.height);
    // A new document is shown from its top-left corner; the same one keeps its place.
    if (state.view.base_width != state.view.laid_out_width ||
        state.view.base_height != state.view.laid_out_height) {
        state.view.scroll_x = state.view.scroll_y = 0;
        state.view.laid_out_width = state.view.base_width;
        state.view.laid_out_height = state.view.base_height;
    }
    palette_panel_layout();
    view_fit(state, state.view.scroll_x, state.view.scroll_y);
}

void view_zoom_apply(EditorState& state) {
    // The menu's zoom items keep the document point at the view's centre in place.
    const int before = state.view.zoom_before_command > 0 ? state.view.zoom_before_command : state.view.zoom;
    zoom_around(state, before, view_visible_width() / 2, view_visible_height() / 2);
}

bool view_zoom_at(EditorState& state, int zoom, int x, int y) {
    const int before = state.view.zoom;
    state.view.zoom_before_command = static_cast<std::int16_t>(before);
    state.view.zoom = static_cast<std::int16_t>(std::clamp(zoom, kZoomMin, kZoomMax));
    if (state.view.zoom == before) return false;
    zoom_around(state, before, x, y);
    return true;
}

void document_recreate(EditorState& state) {
    state.document.recreate(static_cast<int>(state.view.base_width), static_cast<int>(state.view.base_height));
    state.view.view_width = state.view.base_width * state.view.zoom / 100;
    state.view.view_height = state.view.base_height * state.view.zoom / 100;
}

void status_part_set(EditorState& state, StatusPart part, const std::string& text) {
    state.view.status_parts[static_cast<int>(part)] = text;
    const std::string& a = state.view.status_parts[0];
    const std::string& b = state.view.status_parts[1];
    const std::string joined = a.empty() ? b : b.empty() ? a : a + "   " + b;
    if (statusbar_text(MainStatusBar, 3) == joined) return;
    statusbar_set_text(MainStatusBar, 3, joined, 0);
    // The field is 100 pixels wide at start; longer texts widen it rather than being cut.
    statusbar_fit_field(MainStatusBar, 3, 100);
}

void status_update(EditorState& state) {
    statusbar_set_text(
        MainStatusBar, 1,
        "Doc : " + std::to_string(state.view.base_width) + "/" + std::to_string(state.view.base_height), 0);
    statusbar_set_text(MainStatusBar, 0, "Zoom : " + std::to_string(state.view.zoom) + " %", 0);
    statusbar_set_text(MainStatusBar, 2,
                       "Mouse : " + std::to_string(window_mouse_x(MainWindow)) + "/" +
                           std::to_string(window_mouse_y(MainWindow)),
                       0);
    select_status(state);
}

}  // namespace morvane
