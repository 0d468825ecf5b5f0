// Moving around the document with the mouse and keys: the wheel scrolls (Shift sideways),
// Ctrl+wheel and the zoom keys step through the zoom presets around the pointer or the view
// centre, Space+drag and the middle button pan, Alt+click picks the brush colour, and the
// status bar follows the document pixel under the pointer.
#include <cmath>
#include <string>

#include "app/tools/painting.h"
#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/statusbar.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kZoomPresets[] = {10, 25, 50, 100, 200, 300, 400, 500, 600, 800, 1200, 1600, 2400, 3200};
constexpr int kWheelLines = 3;  // scroll steps per wheel notch, as desktop scroll areas do
constexpr int kSpaceKey = 0x20;

std::int64_t canvas_attribute(CanvasAttribute a) {
    return widget_get_attribute(ViewCanvas, static_cast<int>(a));
}

void scroll_by(EditorState& state, std::int64_t dx, std::int64_t dy) {
    if (dx != 0 || dy != 0) view_scroll_to(state, state.view.scroll_x + dx, state.view.scroll_y + dy);
}

void wheel(EditorState& state) {
    const std::int64_t notches = canvas_attribute(CanvasAttribute::WheelDelta);
    const std::int64_t sideways = canvas_attribute(CanvasAttribute::WheelDeltaX);
    const std::int64_t modifiers = canvas_attribute(CanvasAttribute::Modifiers);
    const std::int64_t notch = kWheelLines * widget_get_attribute(ViewScrollArea, ScrollStep);
    // A sideways wheel (tilt, touchpad) scrolls sideways in any case.
    if (sideways != 0 && !(modifiers & ModifierControl)) scroll_by(state, -sideways * notch, 0);
    if (notches == 0) return;
    if (modifiers & ModifierControl) {
        // The canvas is the visible part: the pointer's canvas position is its place there.
        const std::int64_t x = state.view.mouse_x, y = state.view.mouse_y;
        // One preset per notch, applied as one zoom so that no rounding adds up.
        const int direction = notches > 0 ? 1 : -1;
        int target = state.view.zoom;
        for (std::int64_t i = 0; i < std::abs(notches); ++i) {
            const int next = zoom_preset_step(target, direction);
            if (next == 0) break;
            target = next;
        }
        // The pointer is over another view pixel of the same document pixel now.
        if (target != state.view.zoom &&
            view_zoom_at(state, target, static_cast<int>(x), static_cast<int>(y)))
            status_mouse_document(state);
        return;
    }
    // A notch away from the user moves the view up (or left with Shift).
    const std::int64_t distance = -notches * notch;
    if (modifiers & ModifierShift) {
        scroll_by(state, distance, 0);
    } else {
        scroll_by(state, 0, distance);
    }
}

void pan_start(EditorState& state) {
    state.view.panning = true;
    state.view.pan_x = state.view.mouse_x;
    state.view.pan_y = state.view.mouse_y;
    state.view.pan_scroll_x = state.view.scroll_x;
    state.view.pan_scroll_y = state.view.scroll_y;
    state.view.pan_cursor = canvas_attribute(CanvasAttribute::Cursor);
    widget_set_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor),
                         static_cast<int>(CanvasCursor::Hand));
}

void pan_move(EditorState& state) {
    // The canvas stays put while the view moves under the pointer.
    view_scroll_to(state, state.view.pan_scroll_x - (state.view.mouse_x - state.view.pan_x),
                   state.view.pan_scroll_y - (state.view.mouse_y - state.view.pan_y));
}

void pan_end(EditorState& state) {
    if (!state.view.panning) return;
    state.view.panning = false;
    widget_set_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor),
                         state.view.pan_cursor < 0 ? 0 : state.view.pan_cursor);
}

// The brush takes the colour of the document pixel under the pointer; its opacity stays.
void pick_colour(EditorState& state, std::int64_t x, std::int64_t y) {
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture || picture->bpp != 32 || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return;
    const std::uint8_t* p = picture->row(static_cast<int>(y)) + x * 4;
    state.tools.brush_color = rgb(p[2], p[1], p[0]);
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
    const int next = direction == 0 ? 100 : zoom_preset_step(state.view.zoom, direction);
    if (next == 0 || next == state.view.zoom) return;
    view_zoom_at(state, next, static_cast<int>(view_visible_width() / 2),
                 static_cast<int>(view_visible_height() / 2));
}

void status_mouse_document(const EditorState& state) {
    statusbar_set_text(MainStatusBar, 2,
                       "Mouse : " + std::to_string(canvas_to_document_x(state, state.view.mouse_x)) + "/" +
                           std::to_string(canvas_to_document_y(state, state.view.mouse_y)),
                       0);
}

bool view_navigate_event(EditorState& state, std::int64_t subtype) {
    switch (subtype) {
        case MouseWheel:
            wheel(state);
            return true;
        case KeyDown:
            if (canvas_attribute(CanvasAttribute::Key) != kSpaceKey) return false;
            state.view.space_held = true;
            return true;
        case KeyUp:
            if (canvas_attribute(CanvasAttribute::Key) != kSpaceKey) return false;
            state.view.space_held = false;
            return true;
        case FocusLost:
            state.view.space_held = false;
            return false;
        case MiddleButtonDown:
            if (state.view.mouse_down == 0 && !state.view.panning) pan_start(state);
            return true;
        case MiddleButtonUp:
            pan_end(state);
            return true;
        case LeftButtonDown:
            if (state.view.mouse_down != 0 || state.view.panning) return state.view.panning;
            if (state.view.space_held) {
                pan_start(state);
                return true;
            }
            if (canvas_attribute(CanvasAttribute::Modifiers) & ModifierAlt) {
                pick_colour(state, canvas_to_document_x(state, state.view.mouse_x),
                            canvas_to_document_y(state, state.view.mouse_y));
                return true;
            }
            return false;
        case LeftButtonUp:
            if (!state.view.panning) return false;
            pan_end(state);
            return true;
        case MouseEnter:
        case MouseMove:
            status_mouse_document(state);
            if (!state.view.panning) return false;
            pan_move(state);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
