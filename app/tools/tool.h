// The painting tools: each gets the press, the moves and the release of a stroke in document
// pixels, draws on the document inside the drawing session the caller opened, and returns
// the document rectangle it changed. The canvas handler only converts and routes.
#pragma once

#include <cstdint>

#include "app/document/paint_region.h"
#include "app/editor_state.h"

namespace morvane {

/// Values of ToolSettings::brush_tool.
enum PaintKind : std::uint8_t { KindBrush = 0, KindPencil = 1, KindEraser = 2 };

class PaintTool {
  public:
    virtual ~PaintTool() = default;
    virtual Rect press(EditorState& state, int x, int y) = 0;
    virtual Rect move(EditorState& state, int x, int y) = 0;
    virtual Rect release(EditorState& state, int x, int y) = 0;
};

/// Tells the document that the pixels of `rect` are about to change (the undo step of the
/// stroke keeps what they were). Every tool calls it before drawing.
void document_will_change(EditorState& state, const Rect& rect);

/// The drawing mode of the paint kind: the eraser writes alpha only, Keep Alpha keeps it.
int paint_mode(const EditorState& state);

/// The brush key: the paint tool with a painting kind (the eraser ends).
void paint_key(EditorState& state);

/// The tool of a tool button, null for any other value.
PaintTool* paint_tool_for(std::uint8_t button);

PaintTool& dab_tool();
PaintTool& line_tool();
PaintTool& box_tool();
PaintTool& ellipse_tool();
PaintTool& fill_tool();

}  // namespace morvane
