// The box tool: a filled rectangle from the press point (width and height may be negative).
#include <algorithm>

#include "app/tiles/tile_wrap.h"
#include "app/tools/tool_shape.h"
#include "draw/draw.h"

namespace morvane {

namespace {

class BoxTool final : public ShapeTool {
  protected:
    Rect bounds(const EditorState&, int sx, int sy, int x, int y) const override {
        return Rect{std::min(sx, x), std::min(sy, y), std::max(sx, x) + 1, std::max(sy, y) + 1};
    }
    void draw(const EditorState& state, int sx, int sy, int x, int y) const override {
        tile_wrap_box(state, sx, sy, x - sx, y - sy, state.tools.brush_color);
    }
};

}  // namespace

PaintTool& box_tool() {
    static BoxTool tool;
    return tool;
}

}  // namespace morvane
