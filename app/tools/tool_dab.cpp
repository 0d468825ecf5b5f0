// Brush, pencil and eraser: dabs of the tip along the stroke's path, a quarter of the tip
// apart measured along the path from the press, so the same path gives the same dabs however
// fast it was drawn. Within a stroke a pixel takes the tip once, at the highest coverage any
// dab gives it, over the picture of the press: overlapping dabs do not pile up.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/tiles/tile_wrap.h"
#include "app/tools/painting.h"
#include "app/tools/stroke_coverage.h"
#include "app/tools/tool.h"
#include "draw/draw.h"
#include "image/image.h"

namespace morvane {

namespace {

// True when every pixel the tip covers has the same colour: equal coverage then cannot
// change a pixel, so ties are skipped.
bool single_coloured(const Bitmap& tip) {
    bool seen = false;
    std::uint8_t b = 0, g = 0, r = 0;
    for (int y = 0; y < tip.height; ++y) {
        const std::uint8_t* p = tip.row(y);
        for (int x = 0; x < tip.width; ++x, p += 4) {
            if (p[3] == 0) continue;
            if (!seen) {
                seen = true, b = p[0], g = p[1], r = p[2];
            } else if (p[0] != b || p[1] != g || p[2] != r) {
                return false;
            }
        }
    }
    return true;
}

class DabTool final : public PaintTool {
  public:
    Rect press(EditorState& state, int x, int y) override {
        begin_stroke(state);
        drawing_mode_set(paint_mode(state));
        last_x_ = x, last_y_ = y, travelled_ = 0;
        return dab(state, x, y);
    }
    Rect move(EditorState& state, int x, int y) override {
        if (!active_) return {};
        drawing_mode_set(paint_mode(state));
        return stroke_to(state, x, y);
    }
    Rect release(EditorState&, int, int) override {
        end_stroke();
        return {};
    }

  private:
    void begin_stroke(EditorState& state) {
        coverage_.clear();
        active_ = true;
        picture_ = state.document.picture_or_null();
        width_ = picture_ ? picture_->width : 0, height_ = picture_ ? picture_->height : 0;
        const Bitmap* tip = bitmap_from_handle(image_handle(BrushImage));
        ties_ = tip && tip->bpp == 32 && tip->bits && !single_coloured(*tip);
    }
    void end_stroke() {
        active_ = false;
        coverage_.clear();
        picture_ = nullptr;
    }

    // One tip with its centre at (x, y).
    Rect dab(EditorState& state, int x, int y) {
        if (state.tools.brush_tool == KindEraser) {
            // The eraser's radius is the whole brush size; a 1-pixel eraser takes one pixel.
            // It writes alpha 0 only, so a pixel erased twice is the pixel erased once.
            const int size = brush_tip_size(state);
            const int r = size == 1 ? 0 : size;
            const Rect area{x - r, y - r, x + r + 1, y + r + 1};
            document_will_change(state, tile_wrap_cover(state, area));
            tile_wrap_draw(state, area, [&] { draw_circle(x, y, r, rgba(255, 255, 255, 0)); });
            return tile_wrap_cover(state, area);
        }
        Bitmap* picture = state.document.picture_or_null();
        const Bitmap* tip = bitmap_from_handle(image_handle(BrushImage));
        if (!picture || !tip) return {};
        // A picture replaced under the stroke (a new document, an undo) starts its own stroke.
        if (picture != picture_ || picture->width != width_ || picture->height != height_) {
            coverage_.clear();
            picture_ = picture, width_ = picture->width, height_ = picture->height;
        }
        const int tw = tip->width, th = tip->height;
        const Rect area{x - tw / 2, y - th / 2, x - tw / 2 + tw, y - th / 2 + th};
        if (state.tools.wrap_within_tiles)
            return tile_wrap_stamp(state, coverage_, *picture, *tip, x - tw / 2, y - th / 2,
                                   state.tools.keep_alpha != 0, ties_);
        document_will_change(state, area);
        return coverage_.stamp(*picture, *tip, x - tw / 2, y - th / 2, state.tools.keep_alpha != 0, ties_);
    }

    // Dabs along the segment from the last position to (x, y), every `spacing` pixels of the
    // path since the last dab; what is left of the segment carries to the next move.
    Rect stroke_to(EditorState& state, int x, int y) {
        const double dx = double(x) - last_x_, dy = double(y) - last_y_;
        const double length = std::hypot(dx, dy);
        const double spacing = std::max(1, brush_tip_size(state) / 4);
        Rect changed;
        double at = spacing - travelled_;  // distance along the segment of the next dab
        for (; at <= length; at += spacing) {
            const double t = at / length;
            const int px = static_cast<int>(std::lround(last_x_ + dx * t));
            const int py = static_cast<int>(std::lround(last_y_ + dy * t));
            changed = changed.united(dab(state, px, py));
        }
        travelled_ = length - (at - spacing);
        last_x_ = x, last_y_ = y;
        return changed;
    }

    StrokeCoverage coverage_;
    bool active_ = false;
    bool ties_ = false;
    const Bitmap* picture_ = nullptr;
    int width_ = 0, height_ = 0;
    int last_x_ = 0, last_y_ = 0;
    double travelled_ = 0;  // path length since the last dab
};

}  // namespace

PaintTool& dab_tool() {
    static DabTool tool;
    return tool;
}

}  // namespace morvane
