// The brush tip and its preview, and the packed brush colour.
#include <algorithm>
#include <string>

#include "app/document/painter.h"
#include "app/tools/painting.h"
#include "draw/draw.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/widget.h"

namespace morvane {

int brush_tip_size(const EditorState& state) {
    // The size spin allows 1..100; a settings file may hold anything in 16 bits.
    return static_cast<int>(std::clamp<std::int64_t>(state.tools.brush_size, 1, 100));
}

void stamp_rebuild(EditorState& state, bool size_changed) {
    // The tip is in document pixels: the zoom only changes how it is shown.
    const int t = brush_tip_size(state);
    if (size_changed || image_width(BrushImage) != t || image_height(BrushImage) != t) {
        image_resize(BrushImage, t, t, Nearest);
        if (!image_exists(BrushImage)) image_create(BrushImage, t, t, 32);
    }
    Color c = 0;
    if (state.tools.brush_tool == 0 || state.tools.brush_tool == 1) {
        c = rgba(color_red(state.tools.brush_color), color_green(state.tools.brush_color),
                 color_blue(state.tools.brush_color), state.tools.brush_alpha);
    } else if (state.tools.brush_tool == 2) {
        c = rgba(0, 0, 0, 255);
    }
    if (Painter painter{BrushImage}) {
        // Clear the whole tip, then draw its shape.
        drawing_mode_set(AlphaOnly);
        draw_box(0, 0, t, t, rgba(0, 0, 0, 0));
        drawing_mode_set(Blend);
        switch (state.tools.brush_type) {
            case 0:
                // A 1-pixel tip is one pixel, not an empty circle of radius -1.
                draw_circle(t / 2, t / 2, std::max(0, t / 2 - 1), c);
                break;
            case 1:
                draw_box(0, 0, t, t, c);
                break;
            case 2:
                draw_ellipse(t / 2, t / 2, t / 2, t / 4, c);
                break;
            default:
                break;
        }
    }
    if (state.tools.brush_type == 3) {
        // A missing file leaves the transparent tip: no stale picture from an earlier load.
        image_free(CustomBrushImage);
        if (image_load(CustomBrushImage, custom_brush_path(state)) && image_resize(CustomBrushImage, t, t)) {
            image_copy(CustomBrushImage, BrushImage);
        }
    }
    if (image_copy(BrushImage, BrushPreviewImage)) image_resize(BrushPreviewImage, 48, 48);
    widget_set_state(BrushPreview, image_handle(BrushPreviewImage));
}

void color_repack(EditorState& state) {
    const Color c = state.tools.brush_color;
    if (state.tools.brush_tool == 2) {
        state.tools.brush_color = rgb(color_red(c), color_green(c), color_blue(c));
    } else if (state.tools.brush_tool == 0 || state.tools.brush_tool == 1) {
        state.tools.brush_color = rgba(color_red(c), color_green(c), color_blue(c), state.tools.brush_alpha);
    }
}

}  // namespace morvane
