// The fill tool: on the press only, the region of the seed pixel's exact colour, alpha
// included, so a transparent background stops at an opaque outline of any colour.
#include "app/tool.h"
#include "draw/draw.h"
#include "image/image.h"

namespace morvane {

namespace {

class FillTool final : public PaintTool {
  public:
    Rect press(EditorState& state, int x, int y) override {
        if (x < 0 || y < 0 || x >= image_width(DocumentImage) || y >= image_height(DocumentImage)) return {};
        // The region is not known before the fill: the whole picture may change (the step
        // keeps only the rectangle that really did).
        const Rect whole{0, 0, image_width(DocumentImage), image_height(DocumentImage)};
        document_will_change(state, whole);
        drawing_mode_set(paint_mode(state));
        fill_area_exact(x, y, state.brush_color);
        return whole;
    }
    Rect move(EditorState&, int, int) override { return {}; }
    Rect release(EditorState&, int, int) override { return {}; }
};

}  // namespace

PaintTool& fill_tool() {
    static FillTool tool;
    return tool;
}

}  // namespace morvane
