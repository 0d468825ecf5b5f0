// Moving around the document with the mouse and keys: the wheel scrolls (Shift sideways),
// Ctrl+wheel and the zoom keys step through the zoom presets around the pointer or the view
// centre, Space+drag and the middle button pan, Alt+click picks the brush colour, and the
// status bar follows the document pixel under the pointer.
#include <cmath>
#include <string>

#include "app/editor.h"
#include "app/view_compose.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/statusbar.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kZoomPresets[] = {10, 25, 50, 100, 200, 300, 400, 500};
constexpr int kWheelLines = 3;  // scroll steps per wheel notch, as desktop scroll areas do
constexpr int kSpaceKey = 0x20;

// Scroll-area attributes.
constexpr int kScrollX = 3, kScrollY = 4, kScrollStep = 5, kVisibleWidth = 16, kVisibleHeight = 17;

std::int64_t canvas_attribute(CanvasAttribute a) {
    return widget_get_attribute(ViewCanvas, static_cast<int>(a));
}

// The pointer's place in the scroll area's visible part, from its canvas position.
void pointer_in_area(const EditorState& state, std::int64_t& x, std::int64_t& y) {
    const WidgetRect canvas = widget_rect(ViewCanvas);
    x = canvas.x + state.mouse_x - widget_get_attribute(ViewScrollArea, kScrollX);
    y = canvas.y + state.mouse_y - widget_get_attribute(ViewScrollArea, kScrollY);
}

void scroll_by(std::int64_t dx, std::int64_t dy) {
    if (dx != 0)
        widget_set_attribute(ViewScrollArea, kScrollX, widget_get_attribute(ViewScrollArea, kScrollX) + dx);
    if (dy != 0)
        widget_set_attribute(ViewScrollArea, kScrollY, widget_get_attribute(ViewScrollArea, kScrollY) + dy);
}

void wheel(EditorState& state) {
    const std::int64_t notches = canvas_attribute(CanvasAttribute::WheelDelta);
    const std::int64_t sideways = canvas_attribute(CanvasAttribute::WheelDeltaX);
    const std::int64_t modifiers = canvas_attribute(CanvasAttribute::Modifiers);
    const std::int64_t notch = kWheelLines * widget_get_attribute(ViewScrollArea, kScrollStep);
    // A sideways wheel (tilt, touchpad) scrolls sideways in any case.
    if (sideways != 0 && !(modifiers & ModifierControl)) scroll_by(-sideways * notch, 0);
    if (notches == 0) return;
    if (modifiers & ModifierControl) {
        std::int64_t x = 0, y = 0;
        pointer_in_area(state, x, y);
        // One preset per notch, applied as one zoom so that no rounding adds up.
        const int direction = notches > 0 ? 1 : -1;
        int target = state.zoom;
        for (std::int64_t i = 0; i < std::abs(notches); ++i) {
            const int next = zoom_preset_step(target, direction);
            if (next == 0) break;
            target = next;
        }
        if (target != state.zoom && view_zoom_at(state, target, static_cast<int>(x), static_cast<int>(y))) {
            // The pointer is over another canvas pixel of the same document pixel now.
            const WidgetRect canvas = widget_rect(ViewCanvas);
            state.mouse_x = x + widget_get_attribute(ViewScrollArea, kScrollX) - canvas.x;
            state.mouse_y = y + widget_get_attribute(ViewScrollArea, kScrollY) - canvas.y;
            status_mouse_document(state);
        }
        return;
    }
    // A notch away from the user moves the view up (or left with Shift).
    const std::int64_t distance = -notches * notch;
    if (modifiers & ModifierShift) {
        scroll_by(distance, 0);
    } else {
        scroll_by(0, distance);
    }
}

void pan_start(EditorState& state) {
    state.panning = true;
    pointer_in_area(state, state.pan_x, state.pan_y);
    state.pan_scroll_x = widget_get_attribute(ViewScrollArea, kScrollX);
    state.pan_scroll_y = widget_get_attribute(ViewScrollArea, kScrollY);
    state.pan_cursor = canvas_attribute(CanvasAttribute::Cursor);
    widget_set_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor),
                         static_cast<int>(CanvasCursor::Hand));
}

void pan_move(EditorState& state) {
    // Measured in the scroll area, which stays put while the canvas moves under the pointer.
    std::int64_t x = 0, y = 0;
    pointer_in_area(state, x, y);
    widget_set_attribute(ViewScrollArea, kScrollX, state.pan_scroll_x - (x - state.pan_x));
    widget_set_attribute(ViewScrollArea, kScrollY, state.pan_scroll_y - (y - state.pan_y));
}

void pan_end(EditorState& state) {
    if (!state.panning) return;
    state.panning = false;
    widget_set_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor),
                         state.pan_cursor < 0 ? 0 : state.pan_cursor);
}

// The brush takes the colour of the document pixel under the pointer; its opacity stays.
void pick_colour(EditorState& state, std::int64_t x, std::int64_t y) {
    const Bitmap* picture = bitmap_from_handle(image_handle(DocumentImage));
    if (!picture || picture->bpp != 32 || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return;
    const std::uint8_t* p = picture->row(static_cast<int>(y)) + x * 4;
    state.brush_color = rgb(p[2], p[1], p[0]);
    brush_color_apply(state);
}

}  // namespace

int zoom_preset_step(int zoom, int direction) {
    if (direction > 0) {
        for (int preset : kZoomPresets) {
            if (preset > zoom) return preset;
        }
    } else {
        for (auto it = std::rbegin(kZoomPresets); it != std::rend(kZoomPresets); ++it) {
            if (*it < zoom) return *it;
        }
    }
    return 0;
}

void view_zoom_key(EditorState& state, int direction) {
    const int next = direction == 0 ? 100 : zoom_preset_step(state.zoom, direction);
    if (next == 0 || next == state.zoom) return;
    view_zoom_at(state, next, static_cast<int>(widget_get_attribute(ViewScrollArea, kVisibleWidth) / 2),
                 static_cast<int>(widget_get_attribute(ViewScrollArea, kVisibleHeight) / 2));
}

void status_mouse_document(const EditorState& state) {
    statusbar_set_text(0, 2,
                       "Mouse : " + std::to_string(view_to_document(state.mouse_x, state.zoom)) + "/" +
                           std::to_string(view_to_document(state.mouse_y, state.zoom)),
                       0);
}

bool view_navigate_event(EditorState& state, std::int64_t subtype) {
    switch (subtype) {
        case MouseWheel:
            wheel(state);
            return true;
        case KeyDown:
            if (canvas_attribute(CanvasAttribute::Key) != kSpaceKey) return false;
            state.space_held = true;
            return true;
        case KeyUp:
            if (canvas_attribute(CanvasAttribute::Key) != kSpaceKey) return false;
            state.space_held = false;
            return true;
        case FocusLost:
            state.space_held = false;
            return false;
        case MiddleButtonDown:
            if (state.mouse_down == 0 && !state.panning) pan_start(state);
            return true;
        case MiddleButtonUp:
            pan_end(state);
            return true;
        case LeftButtonDown:
            if (state.mouse_down != 0 || state.panning) return state.panning;
            if (state.space_held) {
                pan_start(state);
                return true;
            }
            if (canvas_attribute(CanvasAttribute::Modifiers) & ModifierAlt) {
                pick_colour(state, view_to_document(state.mouse_x, state.zoom),
                            view_to_document(state.mouse_y, state.zoom));
                return true;
            }
            return false;
        case LeftButtonUp:
            if (!state.panning) return false;
            pan_end(state);
            return true;
        case MouseEnter:
        case MouseMove:
            status_mouse_document(state);
            if (!state.panning) return false;
            pan_move(state);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
