// The tool panel's handlers: brush controls, tool buttons, the quick eraser, the colour
// button and the clear button.
#include <algorithm>

#include "app/document/document_commands.h"
#include "app/document/painter.h"
#include "app/select/select_tool.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/view/view.h"
#include "draw/draw.h"
#include "image/image.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

void select_tool(EditorState& state, int tool) {
    state.tools.current_tool = static_cast<std::uint8_t>(tool);
    for (int button = ToolButtonFirst; button <= ToolButtonLast; ++button)
        widget_set_state(button, button == tool ? 1 : 0);
    select_tool_chosen(state, tool);
}

void set_paint_kind(EditorState& state, std::uint8_t kind) {
    state.tools.brush_tool = kind;
    widget_set_state(KindCombo, kind);
    color_repack(state);
    stamp_rebuild(state, false);
}

// The eraser button is a quick eraser: pressed, the paint kind becomes "Eraser" with the paint
// tool; released, the paint kind of before returns.
void eraser_button(EditorState& state) {
    if (widget_get_state(EraserButton) != 0) {
        state.tools.eraser_previous_tool = state.tools.brush_tool;
        set_paint_kind(state, KindEraser);
        select_tool(state, ToolPaint);
    } else {
        set_paint_kind(state, state.tools.eraser_previous_tool);
    }
}

}  // namespace

void paint_key(EditorState& state) {
    // The brush key paints: it ends the eraser, quick or chosen, and brings back the kind in
    // use before it (the brush when that was the eraser too).
    if (state.tools.brush_tool == KindEraser) {
        const bool quick = widget_get_state(EraserButton) != 0;
        widget_set_state(EraserButton, 0);
        const std::uint8_t before = quick ? state.tools.eraser_previous_tool : std::uint8_t{KindBrush};
        set_paint_kind(state, before == KindEraser ? std::uint8_t{KindBrush} : before);
    }
    widget_set_state(ToolPaint, 1);
    select_tool(state, ToolPaint);
}

namespace {

void colour_button(EditorState& state) {
    const std::int64_t chosen = color_dialog(static_cast<std::int32_t>(state.tools.brush_color));
    // A cancelled dialog keeps the colour there was.
    if (chosen != -1) state.tools.brush_color = static_cast<Color>(chosen);
    brush_color_apply(state);
}

// The brush controls of the top row, left to right, and the gap kept between them.
constexpr int kTopRow[] = {14, 12, 11, 13, 15};
constexpr int kRowGap = 4;

struct ToolTip {
    int button;
    const char* text;
};
constexpr ToolTip kToolTips[] = {
    {3, "Brush (B)"}, {4, "Line (L)"},   {5, "Box (U)"},           {6, "Ellipse (Shift+U)"},
    {7, "Fill (G)"},  {9, "Eraser (E)"}, {8, "Clear the picture"}, {2, "Brush colour"},
};

}  // namespace

void brush_color_apply(EditorState& state) {
    color_repack(state);
    if (Painter painter{ColorSwatchImage}) {
        drawing_mode_set(Default);
        draw_box(0, 0, 30, 30, state.tools.brush_color);
        widget_set_attribute(ColourButton, 1, image_handle(ColorSwatchImage));
    }
    stamp_rebuild(state, false);
}

void tool_panel_arrange() {
    int x = widget_rect(kTopRow[0]).x;
    for (int number : kTopRow) {
        const WidgetRect r = widget_rect(number);
        if (r.width == 0) continue;  // not created
        if (r.x < x) widget_resize(number, x, KeepSize, KeepSize, KeepSize);
        x = std::max(x, r.x) + r.width + kRowGap;
    }
    for (const ToolTip& tip : kToolTips) widget_set_tooltip(tip.button, tip.text);
}

void tool_panel_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case KindCombo:
            state.tools.brush_tool = static_cast<std::uint8_t>(widget_get_state(KindCombo));
            // Choosing a paint kind by hand ends the quick eraser.
            widget_set_state(EraserButton, 0);
            color_repack(state);
            stamp_rebuild(state, false);
            break;
        case TipCombo:
            state.tools.brush_type = static_cast<std::uint8_t>(widget_get_state(TipCombo));
            stamp_rebuild(state, false);
            break;
        case SizeSpin:
            state.tools.brush_size = static_cast<std::int16_t>(widget_get_state(SizeSpin));
            stamp_rebuild(state, true);
            break;
        case OpacityTrackbar:
            state.tools.brush_alpha = static_cast<std::uint8_t>(widget_get_state(OpacityTrackbar));
            color_repack(state);
            stamp_rebuild(state, false);
            break;
        case KeepAlphaCheck:
            state.tools.keep_alpha = static_cast<std::uint8_t>(widget_get_state(KeepAlphaCheck) != 0);
            break;
        case ToolPaint:
        case ToolLine:
        case ToolBox:
        case ToolEllipse:
        case ToolFill:
            select_tool(state, static_cast<int>(source));
            break;
        case SelectButton:
            select_tool(state, ToolSelect);
            break;
        case EraserButton:
            eraser_button(state);
            break;
        case ClearButton: {
            // Clearing is one undo step.
            select_settle(state);
            History& history = state.document.history;
            history.begin(state.document.record());
            history.save_whole_before();
            document_recreate(state);
            view_redraw(state);
            document_step_end(state);
            break;
        }
        case ColourButton:
            colour_button(state);
            break;
        default:
            break;
    }
}

}  // namespace morvane
