// The line tool: a straight line from the press point.
#include <algorithm>

#include "app/tools/tool_shape.h"
#include "draw/draw.h"

namespace morvane {

namespace {

class LineTool final : public ShapeTool {
  protected:
    Rect bounds(const EditorState&, int sx, int sy, int x, int y) const override {
        return Rect{std::min(sx, x), std::min(sy, y), std::max(sx, x) + 1, std::max(sy, y) + 1};
    }
    void draw(const EditorState& state, int sx, int sy, int x, int y) const override {
        draw_line_xy(sx, sy, x, y, state.brush_color);
    }
};

}  // namespace

PaintTool& line_tool() {
    static LineTool tool;
    return tool;
}

}  // namespace morvane
