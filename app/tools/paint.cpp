// The canvas handler: pointer positions become document pixels and each event goes to the
// current tool, inside a drawing session on the document; what changed is repainted.
#include <algorithm>

#include "app/document/document_commands.h"
#include "app/document/painter.h"
#include "app/select/select_clip.h"
#include "app/select/select_tool.h"
#include "app/tiles/tile_mode.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "image/image.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

// Pointer positions are canvas pixels; while the mouse is captured they can lie far outside.
// Clamped to a range that keeps every document coordinate below in 32 bits.
std::int64_t clamp_coordinate(std::int64_t v) {
    return std::clamp<std::int64_t>(v, -65000, 65000);
}

// The tool's answer to one event, painted on `output` (the document's picture); what it may
// have changed.
Rect tool_event(EditorState& state, PaintTool& tool, DrawingSession* output, int x, int y, std::int64_t subtype) {
    Painter painter{output};
    if (!painter) return {};
    switch (subtype) {
        case LeftButtonDown:
            return tool.press(state, x, y);
        case MouseMove:
            return tool.move(state, x, y);
        case LeftButtonUp:
            return tool.release(state, x, y);
        default:
            return {};
    }
}

}  // namespace

void document_will_change(EditorState& state, const Rect& rect) {
    state.document.history.save_before(rect);
}

int paint_mode(const EditorState& state) {
    if (state.tools.brush_tool == KindEraser) return AlphaOnly | BlendKeepAlpha;
    return state.tools.keep_alpha ? BlendKeepAlpha : Blend;
}

PaintTool* paint_tool_for(std::uint8_t button) {
    switch (button) {
        case ToolPaint:
            return &dab_tool();
        case ToolLine:
            return &line_tool();
        case ToolBox:
            return &box_tool();
        case ToolEllipse:
            return &ellipse_tool();
        case ToolFill:
            return &fill_tool();
        default:
            return nullptr;
    }
}

void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype) {
    PaintTool* tool = paint_tool_for(state.tools.current_tool);
    if (!tool) return;
    const int px = static_cast<int>(std::clamp<std::int64_t>(x, -1000000, 1000000));
    const int py = static_cast<int>(std::clamp<std::int64_t>(y, -1000000, 1000000));
    // While something is selected, only the selected pixels change.
    const SelectionClip clip(state, subtype, px, py);
    Rect changed = tool_event(state, *tool, clip.output(), px, py, subtype);
    // Only what lies on the picture counts as a change.
    changed.x0 = std::max<std::int64_t>(changed.x0, 0);
    changed.y0 = std::max<std::int64_t>(changed.y0, 0);
    changed.x1 = std::min<std::int64_t>(changed.x1, state.view.base_width);
    changed.y1 = std::min<std::int64_t>(changed.y1, state.view.base_height);
    changed = changed.united(tile_mode_propagate(state, changed));
    if (changed.empty()) return;
    if (!state.document.history.recording()) state.document.unrecorded_change = true;
    view_show_document_rect(state, changed.x0, changed.y0, changed.x1, changed.y1);
}

void canvas_event(EditorState& state, std::int64_t subtype) {
    if (view_navigate_event(state, subtype)) return;
    // The canvas shows the view from its scroll position on.
    const int x = static_cast<int>(canvas_to_document_x(state, clamp_coordinate(state.view.mouse_x)));
    const int y = static_cast<int>(canvas_to_document_y(state, clamp_coordinate(state.view.mouse_y)));
    if (subtype == MouseMove || subtype == LeftButtonDown) tile_pointer_moved(state, x, y);
    if (select_canvas_event(state, subtype, x, y)) return;
    switch (subtype) {
        case LeftButtonDown:
            // A stroke, a shape or a fill is one undo step, from the press to the release.
            state.document.history.begin(state.document.record());
            state.tools.stroke_start_x = x;
            state.tools.stroke_start_y = y;
            paint_at(state, x, y, LeftButtonDown);
            state.view.mouse_down = 1;
            break;
        case LeftButtonUp:
            if (state.view.mouse_down == 1) {
                paint_at(state, x, y, LeftButtonUp);
                state.view.mouse_down = 0;
                document_step_end(state);
            }
            break;
        case MouseMove:
            if (state.view.mouse_down == 1 &&
                (widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Buttons)) & ButtonLeft))
                paint_at(state, x, y, MouseMove);
            break;
        default:
            break;
    }
}

}  // namespace morvane
