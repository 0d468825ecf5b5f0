// The document view: scroll area and canvas, layout, zoom, the document images, the
// checkerboard and the status bar texts.
#include <cmath>
#include <string>

#include "app/editor.h"
#include "app/palette_panel.h"
#include "app/view_compose.h"
#include "canvas/canvas.h"
#include "image/image.h"
#include "shell/statusbar.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kZoomMin = 10;
constexpr int kZoomMax = 500;
constexpr std::int64_t kZoomLimit = 2900000;

int vw(const EditorState& state) {
    return static_cast<int>(state.view_width);
}
int vh(const EditorState& state) {
    return static_cast<int>(state.view_height);
}

// Canvas position inside the scroll area's inner window, and the scroll position that shows
// it with the centring offsets.
void centre_canvas(const EditorState& state, bool move_canvas) {
    const int iw = static_cast<int>(widget_get_attribute(ViewScrollArea, 1));
    const int ih = static_cast<int>(widget_get_attribute(ViewScrollArea, 2));
    const int x = iw / 2 - vw(state) / 2;
    const int y = ih / 2 - vh(state) / 2;
    if (move_canvas) widget_resize(ViewCanvas, x, y, vw(state), vh(state));
    widget_set_attribute(ViewScrollArea, 3, x - 30);
    widget_set_attribute(ViewScrollArea, 4, y - 25);
}

}  // namespace

void view_create(EditorState& state) {
    scroll_area_create(ViewScrollArea, 60, 50, vw(state) + 80, vh(state) + 80, 4 * vw(state), 4 * vh(state),
                       16);
    const int iw = static_cast<int>(widget_get_attribute(ViewScrollArea, 1));
    const int ih = static_cast<int>(widget_get_attribute(ViewScrollArea, 2));
    canvas_create(ViewCanvas, iw / 2 - vw(state) / 2, ih / 2 - vh(state) / 2, vw(state), vh(state),
                  ConfinePointer | TakesFocus);
    // The canvas keeps no pixels: each paint composes the exposed part from the document.
    canvas_set_painter(ViewCanvas, [&state](int x, int y, int w, int h, std::uint32_t* pixels, int stride) {
        view_compose_into(state, x, y, w, h, pixels, stride);
    });
    centre_canvas(state, false);
    widget_list_close();
}

void view_layout(EditorState& state, bool forced) {
    if (!forced && widget_focused() != 0) return;
    // The palette panel takes the right edge: the view ends 5 pixels before it.
    const int right = palette_panel_left(window_inner_width(MainWindow)) - 5;
    widget_resize(ViewScrollArea, 60, 50, right - 60, window_inner_height(MainWindow) - 100);
    palette_panel_layout();
    widget_set_attribute(ViewScrollArea, 1, 4 * state.view_width);
    widget_set_attribute(ViewScrollArea, 2, 4 * state.view_height);
    centre_canvas(state, true);
}

void view_zoom_apply(EditorState& state) {
    const std::int16_t previous = state.zoom_before_command;
    if (state.zoom < kZoomMin || state.zoom > kZoomMax) {
        state.zoom = static_cast<std::int16_t>(state.zoom < kZoomMin ? kZoomMin : kZoomMax);
    } else if (state.base_width * state.zoom >= kZoomLimit || state.base_height * state.zoom >= kZoomLimit) {
        message_box(
            "Error",
            "Your document is too big to be zoomed over this zoom (" + std::to_string(state.zoom) + ").", 0);
        state.zoom = previous;
    } else {
        // Only the view's size changes: the canvas shows the document scaled at paint time.
        state.view_width = state.base_width * state.zoom / 100;
        state.view_height = state.base_height * state.zoom / 100;
        if (state.zoom >= 100) {
            widget_resize(ViewCanvas, KeepSize, KeepSize, vw(state), vh(state));
        } else {
            widget_resize(ViewCanvas, 10, 10, vw(state), vh(state));
        }
        widget_set_attribute(ViewScrollArea, 1, 4 * state.view_width);
        widget_set_attribute(ViewScrollArea, 2, 4 * state.view_height);
    }
    status_update(state);
    view_redraw(state);
}

bool view_zoom_at(EditorState& state, int zoom, int x, int y) {
    const int before = state.zoom;
    const WidgetRect canvas = widget_rect(ViewCanvas);
    // The document position at the centre of the screen pixel at (x, y), in document pixels.
    const double fx =
        (double(x) + double(widget_get_attribute(ViewScrollArea, 3)) - canvas.x + 0.5) * 100.0 / before;
    const double fy =
        (double(y) + double(widget_get_attribute(ViewScrollArea, 4)) - canvas.y + 0.5) * 100.0 / before;
    state.zoom_before_command = static_cast<std::int16_t>(before);
    state.zoom = static_cast<std::int16_t>(zoom);
    view_zoom_apply(state);
    if (state.zoom == before) return false;  // refused: nothing moves
    // The canvas goes to the middle of the scroll area's inner window (four times its size),
    // which leaves room to scroll any of its pixels under any point of the visible part.
    centre_canvas(state, true);
    const WidgetRect moved = widget_rect(ViewCanvas);
    const double cx = std::floor(fx * zoom / 100.0);
    const double cy = std::floor(fy * zoom / 100.0);
    widget_set_attribute(ViewScrollArea, 3, static_cast<std::int64_t>(moved.x + cx) - x);
    widget_set_attribute(ViewScrollArea, 4, static_cast<std::int64_t>(moved.y + cy) - y);
    return true;
}

void document_recreate(EditorState& state) {
    image_free(DocumentImage);
    image_create(DocumentImage, static_cast<int>(state.base_width), static_cast<int>(state.base_height), 32,
                 BackgroundTransparent);
    state.view_width = state.base_width * state.zoom / 100;
    state.view_height = state.base_height * state.zoom / 100;
}

void status_update(EditorState& state) {
    statusbar_set_text(
        0, 1, "Doc : " + std::to_string(state.view_width) + "/" + std::to_string(state.view_height), 0);
    statusbar_set_text(0, 0, "Zoom : " + std::to_string(state.zoom) + " %", 0);
    statusbar_set_text(0, 2,
                       "Mouse : " + std::to_string(window_mouse_x(MainWindow)) + "/" +
                           std::to_string(window_mouse_y(MainWindow)),
                       0);
}

}  // namespace morvane
