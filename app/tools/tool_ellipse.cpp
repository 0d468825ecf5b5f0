// The ellipse tool: centred on the press point; Control makes it a circle.
#include <cstdlib>

#include "app/editor_state.h"
#include "app/tools/tool_shape.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

class EllipseTool final : public ShapeTool {
  protected:
    static void radii(int sx, int sy, int x, int y, int* rx, int* ry) {
        *rx = std::abs(x - sx);
        *ry = std::abs(y - sy);
        if (widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Modifiers)) & ModifierControl)
            *ry = *rx;
    }
    Rect bounds(const EditorState&, int sx, int sy, int x, int y) const override {
        int rx = 0, ry = 0;
        radii(sx, sy, x, y, &rx, &ry);
        return Rect{sx - rx, sy - ry, sx + rx + 1, sy + ry + 1};
    }
    void draw(const EditorState& state, int sx, int sy, int x, int y) const override {
        int rx = 0, ry = 0;
        radii(sx, sy, x, y, &rx, &ry);
        draw_ellipse(sx, sy, rx, ry, state.tools.brush_color);
    }
};

}  // namespace

PaintTool& ellipse_tool() {
    static EllipseTool tool;
    return tool;
}

}  // namespace morvane
