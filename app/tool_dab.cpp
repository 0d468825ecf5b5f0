// Brush, pencil and eraser: dabs of the tip along the stroke, never further apart than a
// quarter of the tip, so a fast movement leaves no gap.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/editor.h"
#include "app/tool.h"
#include "draw/draw.h"
#include "image/image.h"

namespace morvane {

namespace {

class DabTool final : public PaintTool {
  public:
    Rect press(EditorState& state, int x, int y) override {
        has_last_ = false;
        return stroke_to(state, x, y);
    }
    Rect move(EditorState& state, int x, int y) override { return stroke_to(state, x, y); }
    Rect release(EditorState&, int, int) override {
        has_last_ = false;
        return {};
    }

  private:
    // One tip with its centre at (x, y).
    static Rect dab(EditorState& state, int x, int y) {
        if (state.brush_tool == KindEraser) {
            // The eraser's radius is the whole brush size; a 1-pixel eraser takes one pixel.
            const int size = brush_tip_size(state);
            const int r = size == 1 ? 0 : size;
            const Rect area{x - r, y - r, x + r + 1, y + r + 1};
            document_will_change(state, area);
            draw_circle(x, y, r, rgba(255, 255, 255, 0));
            return area;
        }
        const int tw = image_width(BrushImage);
        const int th = image_height(BrushImage);
        const Rect area{x - tw / 2, y - th / 2, x - tw / 2 + tw, y - th / 2 + th};
        document_will_change(state, area);
        draw_image(image_handle(BrushImage), x - tw / 2, y - th / 2);
        return area;
    }

    // Dabs from the last position (exclusive) to (x, y), evenly spaced at most a quarter of
    // the tip apart; the first dab of a stroke is placed alone.
    Rect stroke_to(EditorState& state, int x, int y) {
        drawing_mode_set(paint_mode(state));
        Rect changed;
        if (!has_last_) {
            changed = dab(state, x, y);
        } else {
            const double dx = double(x) - last_x_, dy = double(y) - last_y_;
            const double spacing = std::max(1, brush_tip_size(state) / 4);
            const auto steps =
                static_cast<std::int64_t>(std::ceil(std::max(std::abs(dx), std::abs(dy)) / spacing));
            for (std::int64_t i = 1; i <= steps; ++i) {
                const double t = double(i) / double(steps);
                const int px = static_cast<int>(std::lround(last_x_ + dx * t));
                const int py = static_cast<int>(std::lround(last_y_ + dy * t));
                changed = changed.united(dab(state, px, py));
            }
        }
        has_last_ = true;
        last_x_ = x;
        last_y_ = y;
        return changed;
    }

    bool has_last_ = false;
    int last_x_ = 0, last_y_ = 0;
};

}  // namespace

PaintTool& dab_tool() {
    static DabTool tool;
    return tool;
}

}  // namespace morvane
