// What the three shape tools share: the stroke's backup of the press picture.
#include "app/tools/tool_shape.h"

#include <algorithm>

#include "app/tiles/tile_wrap.h"
#include "draw/draw.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

namespace {

int clamp_point(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -1000000, 1000000));
}

}  // namespace

Rect ShapeTool::press(EditorState& state, int x, int y) {
    backup_.clear();
    previous_ = Rect{};
    active_ = true;
    return step(state, x, y);
}

Rect ShapeTool::move(EditorState& state, int x, int y) {
    // A shape belongs to a stroke begun by a press on the canvas.
    if (!active_ || state.view.mouse_down != 1) return {};
    return step(state, x, y);
}

Rect ShapeTool::release(EditorState& state, int x, int y) {
    if (!active_) return {};
    const Rect changed = step(state, x, y);
    active_ = false;
    backup_.clear();
    previous_ = Rect{};
    return changed;
}

Rect ShapeTool::step(EditorState& state, int x, int y) {
    Bitmap* picture = state.document.picture_or_null();
    if (!picture) return {};
    const int sx = clamp_point(state.tools.stroke_start_x), sy = clamp_point(state.tools.stroke_start_y);
    const Rect drawn = bounds(state, sx, sy, x, y), shape = tile_wrap_cover(state, drawn);
    // Everything the new shape touches is saved before it changes; the old shape goes away.
    if (!backup_.save(*picture, shape)) return {};
    document_will_change(state, shape);
    backup_.restore(*picture, previous_);
    drawing_mode_set(paint_mode(state));
    tile_wrap_draw(state, drawn, [&] { draw(state, sx, sy, x, y); });
    const Rect changed = previous_.united(shape);
    previous_ = shape;
    return changed;
}

}  // namespace morvane
