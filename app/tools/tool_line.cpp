// The line tool: a straight line from the press point.
#include <algorithm>

#include "app/tiles/tile_wrap.h"
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
        tile_wrap_line(state, sx, sy, x, y, state.tools.brush_color);
    }
};

}  // namespace

PaintTool& line_tool() {
    static LineTool tool;
    return tool;
}

}  // namespace morvane
