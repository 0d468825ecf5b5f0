// Painting on the picture: the canvas handler with the stroke snapshot, and paint_at for
// every tool and paint kind.
#include <algorithm>
#include <cstdlib>

#include "app/editor.h"
#include "app/paint_region.h"
#include "draw/draw.h"
#include "image/image.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr std::int64_t kMouseMove = 65539;
constexpr std::int64_t kLeftButtonDown = 65540;
constexpr std::int64_t kLeftButtonUp = 65541;

int paint_mode(const EditorState& state) {
    if (state.brush_tool == 2) return AlphaOnly | BlendKeepAlpha;
    return state.keep_alpha ? BlendKeepAlpha : Blend;
}

// Pointer positions are canvas pixels; while the mouse is captured they can lie far outside.
// Clamped to a range that keeps every product below in 32 bits.
int clamp_coordinate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -65000, 65000));
}

// Puts back the part of the picture that the previous shape of this stroke covered.
void restore_previous_shape(EditorState& state, Rect& dirty) {
    const Rect previous{state.shape_x0, state.shape_y0, state.shape_x1, state.shape_y1};
    if (state.partial_redraw && copy_image_rect(StrokeSnapshotImage, WorkingImage, previous)) {
        dirty = dirty.united(previous);
        return;
    }
    // The whole picture of the press, all four channels.
    drawing_mode_set(WriteAlpha);
    draw_image(image_handle(StrokeSnapshotImage), 0, 0);
    dirty = Rect::everything();
}

void remember_shape(EditorState& state, const Rect& shape) {
    state.shape_x0 = shape.x0;
    state.shape_y0 = shape.y0;
    state.shape_x1 = shape.x1;
    state.shape_y1 = shape.y1;
}

// Draws the current tool's mark for one event and returns the canvas rectangle it changed.
Rect paint_tool(EditorState& state, int x, int y, std::int64_t subtype) {
    const int mode = paint_mode(state);
    const int sx = clamp_coordinate(state.stroke_start_x);
    const int sy = clamp_coordinate(state.stroke_start_y);
    const Color color = state.brush_color;
    Rect dirty;
    switch (state.current_tool) {
        case 3: {
            if (subtype != kLeftButtonDown && subtype != kMouseMove) break;
            drawing_mode_set(mode);
            if (state.brush_tool == 2) {
                // The eraser's radius is the brush size at the current zoom.
                const int r = brush_tip_size(state);
                draw_circle(x, y, r, rgba(255, 255, 255, 0));
                dirty = Rect{x - r, y - r, x + r + 1, y + r + 1};
            } else {
                // Each dab is centred on the pointer by the tip's real size.
                const int tw = image_width(BrushImage);
                const int th = image_height(BrushImage);
                draw_image(image_handle(BrushImage), x - tw / 2, y - th / 2);
                dirty = Rect{x - tw / 2, y - th / 2, x - tw / 2 + tw, y - th / 2 + th};
            }
            break;
        }
        case 4:
        case 5:
        case 6: {
            // A shape belongs to a stroke begun by a press on the canvas; without one there is
            // no picture of the press to restore from.
            if (state.mouse_down != 1 && subtype != kLeftButtonDown) break;
            restore_previous_shape(state, dirty);
            drawing_mode_set(mode);
            Rect shape;
            if (state.current_tool == 4) {
                draw_line_xy(sx, sy, x, y, color);
                shape = Rect{std::min(sx, x), std::min(sy, y), std::max(sx, x) + 1, std::max(sy, y) + 1};
            } else if (state.current_tool == 5) {
                draw_box(sx, sy, x - sx, y - sy, color);
                shape = Rect{std::min(sx, x), std::min(sy, y), std::max(sx, x) + 1, std::max(sy, y) + 1};
            } else {
                const int rx = std::abs(x - sx);
                int ry = std::abs(y - sy);
                if (widget_get_attribute(1, 6) & 4) ry = rx;  // Control held: a circle
                draw_ellipse(sx, sy, rx, ry, color);
                shape = Rect{sx - rx, sy - ry, sx + rx + 1, sy + ry + 1};
            }
            remember_shape(state, shape);
            dirty = dirty.united(shape);
            break;
        }
        case 7:
            if (subtype != kLeftButtonDown) break;
            drawing_mode_set(mode);
            fill_area(x, y, -1, color);
            dirty = Rect::everything();
            break;
        default:
            break;
    }
    return dirty;
}

}  // namespace

void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype) {
    Rect dirty = Rect::everything();
    if (drawing_begin(image_output(WorkingImage))) {
        dirty = paint_tool(state, clamp_coordinate(x), clamp_coordinate(y), subtype);
        drawing_end();
        if (!state.partial_redraw) dirty = Rect::everything();
        // The zoom source follows the picture; only the changed rows when the sizes agree.
        if (dirty.is_everything() || !copy_image_rect(WorkingImage, ZoomSourceImage, dirty)) {
            image_copy(WorkingImage, ZoomSourceImage);
        }
    }
    if (dirty.is_everything()) {
        view_redraw(state);
    } else if (!dirty.empty()) {
        view_redraw_region(state, static_cast<int>(dirty.x0), static_cast<int>(dirty.y0),
                           static_cast<int>(dirty.x1 - dirty.x0), static_cast<int>(dirty.y1 - dirty.y0));
    }
}

void canvas_event(EditorState& state, std::int64_t subtype) {
    switch (subtype) {
        case kLeftButtonDown:
            // The snapshot is an exact copy of the picture at the press: shapes restore from it.
            if (!copy_image_rect(WorkingImage, StrokeSnapshotImage, Rect::everything())) {
                image_copy(WorkingImage, StrokeSnapshotImage);
            }
            state.stroke_start_x = state.mouse_x;
            state.stroke_start_y = state.mouse_y;
            remember_shape(state, Rect{});
            paint_at(state, state.mouse_x, state.mouse_y, kLeftButtonDown);
            state.mouse_down = 1;
            break;
        case kLeftButtonUp:
            if (state.mouse_down == 1) {
                paint_at(state, state.mouse_x, state.mouse_y, kLeftButtonUp);
                state.mouse_down = 0;
                remember_shape(state, Rect{});
            }
            break;
        case kMouseMove:
            if (widget_get_attribute(1, 4) & 1) paint_at(state, state.mouse_x, state.mouse_y, kMouseMove);
            break;
        default:
            break;
    }
}

}  // namespace morvane
