// The shape tools (line, box, ellipse): each event puts back the picture of the press where
// the previous shape of the stroke lay, then draws the shape from the press point.
#pragma once

#include "app/document/stroke_backup.h"
#include "app/tools/tool.h"

namespace morvane {

class ShapeTool : public PaintTool {
  public:
    Rect press(EditorState& state, int x, int y) override;
    Rect move(EditorState& state, int x, int y) override;
    Rect release(EditorState& state, int x, int y) override;

  protected:
    /// The rectangle the shape from (sx, sy) to (x, y) can cover.
    virtual Rect bounds(const EditorState& state, int sx, int sy, int x, int y) const = 0;
    /// Draws the shape in the current mode.
    virtual void draw(const EditorState& state, int sx, int sy, int x, int y) const = 0;

  private:
    Rect step(EditorState& state, int x, int y);
    StrokeBackup backup_;
    Rect previous_;
    bool active_ = false;
};

}  // namespace morvane
