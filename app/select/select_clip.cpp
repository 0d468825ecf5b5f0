// Painting clipped to the selection.
#include "app/select/select_clip.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/select/select_geometry.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "draw/session.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

namespace {

// The brush's last position in the stroke: a move stamps from there to the new point.
int g_last_x = 0, g_last_y = 0;

}  // namespace

SelectionClip::SelectionClip(EditorState& state, std::int64_t subtype, int x, int y) {
    const int from_x = subtype == MouseMove ? g_last_x : x, from_y = subtype == MouseMove ? g_last_y : y;
    g_last_x = x, g_last_y = y;
    picture_ = state.document.picture_or_null();
    image_ = state.document.image();
    const Rect selected = state.document.selection.rect;
    if (!picture_ || picture_->bpp != 32 || !picture_->bits || selected.empty()) return;
    // A selection wholly off the picture lets nothing be painted.
    clipping_ = true;
    clip_ = rect_clipped(selected, picture_->width, picture_->height);
    const PaintTool* tool = paint_tool_for(state.tools.current_tool);
    // The fill's region is found inside the selection only.
    confined_ = tool == &fill_tool();
    if (confined_ || clip_.empty()) return;
    // The other tools paint as without a selection, and what they can reach outside it this
    // step is written back afterwards: the brush its segment from the last point grown by the
    // tip, a shape a square around the press that holds it whatever its kind.
    const Bitmap* tip = bitmap_from_handle(image_handle(BrushImage));
    const std::int64_t tip_side = std::max<std::int64_t>(tip ? std::max(tip->width, tip->height) : 0,
                                                         2 * std::int64_t{brush_tip_size(state)} + 1);
    Rect reach;
    if (tool == &dab_tool()) {
        const std::int64_t grow = tip_side + 2;
        reach = Rect{std::min(from_x, x) - grow, std::min(from_y, y) - grow, std::max(from_x, x) + grow + 1,
                     std::max(from_y, y) + grow + 1};
    } else {
        const std::int64_t sx = state.tools.stroke_start_x, sy = state.tools.stroke_start_y;
        const std::int64_t half = std::max(std::llabs(x - sx), std::llabs(y - sy)) + tip_side + 2;
        reach = Rect{sx - half, sy - half, sx + half + 1, sy + half + 1};
    }
    reach = rect_clipped(reach, picture_->width, picture_->height);
    if (reach.empty()) return;
    // The reach less the selection: the bands above and below it, and left and right of it.
    const Rect& s = clip_;
    keep(Rect{reach.x0, reach.y0, reach.x1, std::min(reach.y1, s.y0)});
    keep(Rect{reach.x0, std::max(reach.y0, s.y1), reach.x1, reach.y1});
    const std::int64_t my0 = std::max(reach.y0, s.y0), my1 = std::min(reach.y1, s.y1);
    keep(Rect{reach.x0, my0, std::min(reach.x1, s.x0), my1});
    keep(Rect{std::max(reach.x0, s.x1), my0, reach.x1, my1});
}

void SelectionClip::keep(const Rect& rect) {
    if (rect.empty()) return;
    Kept k{rect, {}};
    const std::size_t row_bytes = static_cast<std::size_t>(rect.x1 - rect.x0) * 4;
    k.bytes.resize(row_bytes * static_cast<std::size_t>(rect.y1 - rect.y0));
    for (std::int64_t y = rect.y0; y < rect.y1; ++y)
        std::memcpy(k.bytes.data() + static_cast<std::size_t>(y - rect.y0) * row_bytes,
                    picture_->row(static_cast<std::int32_t>(y)) + rect.x0 * 4, row_bytes);
    kept_.push_back(std::move(k));
}

SelectionClip::~SelectionClip() {
    for (const Kept& k : kept_) {
        const std::size_t row_bytes = static_cast<std::size_t>(k.rect.x1 - k.rect.x0) * 4;
        for (std::int64_t y = k.rect.y0; y < k.rect.y1; ++y)
            std::memcpy(picture_->row(static_cast<std::int32_t>(y)) + k.rect.x0 * 4,
                        k.bytes.data() + static_cast<std::size_t>(y - k.rect.y0) * row_bytes, row_bytes);
    }
}

DrawingSession* SelectionClip::output() const {
    if (!clipping_) return image_output(image_);
    if (clip_.empty()) return nullptr;
    if (!confined_) return image_output(image_);
    // Memory row 0 of the bottom-up picture is its last row: the session's is the selection's.
    DrawingSession* session = drawing_output_prepare(
        picture_->row(static_cast<std::int32_t>(clip_.y1 - 1)) + clip_.x0 * 4, static_cast<int>(clip_.x1 - clip_.x0),
        static_cast<int>(clip_.y1 - clip_.y0), picture_->stride, 32, nullptr);
    if (!session) return nullptr;
    session->origin_x = static_cast<int>(-clip_.x0);
    session->origin_y = static_cast<int>(-clip_.y0);
    return session;
}

}  // namespace morvane
