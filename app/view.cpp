// The document view: scroll area and canvas, layout, zoom, the document images, the
// checkerboard and the status bar texts.
#include <string>

#include "app/editor.h"
#include "draw/canvas.h"
#include "draw/draw.h"
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
    const int iw = static_cast<int>(widget_get_attribute(0, 1));
    const int ih = static_cast<int>(widget_get_attribute(0, 2));
    const int x = iw / 2 - vw(state) / 2;
    const int y = ih / 2 - vh(state) / 2;
    if (move_canvas) widget_resize(1, x, y, vw(state), vh(state));
    widget_set_attribute(0, 3, x - 30);
    widget_set_attribute(0, 4, y - 25);
}

}  // namespace

void view_create(EditorState& state) {
    scroll_area_create(0, 60, 50, vw(state) + 80, vh(state) + 80, 4 * vw(state), 4 * vh(state), 16);
    const int iw = static_cast<int>(widget_get_attribute(0, 1));
    const int ih = static_cast<int>(widget_get_attribute(0, 2));
    canvas_create(1, iw / 2 - vw(state) / 2, ih / 2 - vh(state) / 2, vw(state), vh(state), 6);
    centre_canvas(state, false);
    widget_list_close();
}

void view_layout(EditorState& state, bool forced) {
    if (!forced && widget_focused() != 0) return;
    widget_resize(0, 60, 50, window_inner_width(MainWindow) - 120, window_inner_height(MainWindow) - 100);
    widget_set_attribute(0, 1, 4 * state.view_width);
    widget_set_attribute(0, 2, 4 * state.view_height);
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
        // The picture keeps the canvas size: it is rebuilt at the document size times the zoom.
        const std::int64_t w = state.base_width * state.zoom / 100;
        const std::int64_t h = state.base_height * state.zoom / 100;
        if (!image_copy(ZoomSourceImage, WorkingImage) ||
            !image_resize(WorkingImage, static_cast<int>(w), static_cast<int>(h), Nearest)) {
            // No memory for the new size: refused like a zoom over the limit, old view kept.
            message_box(
                "Error",
                "Your document is too big to be zoomed over this zoom (" + std::to_string(state.zoom) + ").",
                0);
            state.zoom = previous;
            if (image_copy(ZoomSourceImage, WorkingImage))
                image_resize(WorkingImage, vw(state), vh(state), Nearest);
        } else {
            state.view_width = w;
            state.view_height = h;
            if (state.zoom >= 100) {
                widget_resize(1, KeepSize, KeepSize, vw(state), vh(state));
            } else {
                widget_resize(1, 10, 10, vw(state), vh(state));
            }
            widget_set_attribute(0, 1, 4 * state.view_width);
            widget_set_attribute(0, 2, 4 * state.view_height);
            checker_rebuild(state);
            // The brush tip follows the zoom.
            if (image_exists(BrushImage)) stamp_rebuild(state, true);
        }
    }
    status_update(state);
    view_redraw(state);
}

void checker_rebuild(EditorState& state) {
    image_resize(CheckerImage, vw(state), vh(state));
    if (!drawing_begin(image_output(CheckerImage))) return;
    drawing_mode_set(Default);
    const int rows = (vh(state) + 15) / 16;
    const int cols = (vw(state) + 15) / 16;
    for (int i = 0; i <= rows; ++i) {
        for (int j = 0; j <= cols; ++j) {
            const std::uint32_t v = (i + j) % 2 == 0 ? 255 : 192;
            draw_box(16 * j, 16 * i, 16, 16, rgba(v, v, v, 255));
        }
    }
    drawing_end();
}

void view_clear(EditorState&) {
    if (!drawing_begin(canvas_output(1))) return;
    drawing_mode_set(Default);
    draw_image(image_handle(CheckerImage), 0, 0);
    drawing_end();
}

void document_images_recreate(EditorState& state) {
    image_free(StrokeSnapshotImage);
    image_free(WorkingImage);
    image_free(ZoomSourceImage);
    image_create(StrokeSnapshotImage, vw(state), vh(state), 32, BackgroundTransparent);
    if (image_create(WorkingImage, vw(state), vh(state), 32, BackgroundTransparent)) {
        image_copy(WorkingImage, ZoomSourceImage);
    }
}

void document_images_resize(EditorState& state, int mode) {
    image_resize(StrokeSnapshotImage, vw(state), vh(state), mode);
    image_resize(WorkingImage, vw(state), vh(state), mode);
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
