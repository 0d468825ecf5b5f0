// "Wrap Within Tiles": a stroke, a shape or a fill that begins in a cell of the sheet's grid
// stays in that cell, and what crosses one of its edges comes back in at the opposite edge,
// so a tile drawn this way joins seamlessly with copies of itself.
#pragma once

#include <cstdint>
#include <functional>

#include "app/document/paint_region.h"
#include "app/editor_state.h"
#include "image/bitmap.h"

namespace morvane {

class StrokeCoverage;

/// The cell the current stroke wraps within: the cell of the press point (stroke_start_x/y)
/// when Wrap Within Tiles is on; empty when it is off or the press was in no cell.
Rect tile_wrap_cell(const EditorState& state);

/// The part of the stroke's cell that `bounds`, folded into the cell, covers (a whole row or
/// column of the cell where it crosses an edge); `bounds` itself when not wrapping.
Rect tile_wrap_cover(const EditorState& state, const Rect& bounds);

/// Runs `draw`, which paints in document pixels through the current drawing session. When
/// wrapping, it runs once for every copy of `bounds` shifted by whole cell sizes that reaches
/// the cell, with the session clipped to the cell and moved by that shift.
void tile_wrap_draw(const EditorState& state, const Rect& bounds, const std::function<void()>& draw);

/// The line tool's line, drawn inside tile_wrap_draw. When wrapping it is walked once here,
/// as the drawing library walks a line that needs no clipping (clipped to the cell, the
/// library would walk from the clipped end points and take other pixels), and each pixel
/// folded into the cell is drawn once, however often the line crosses the cell.
void tile_wrap_line(const EditorState& state, int x1, int y1, int x2, int y2, Color color);

/// The box tool's box, drawn inside tile_wrap_draw: when wrapping, the box folded into the
/// cell is drawn once, so a box larger than the cell covers each pixel once.
void tile_wrap_box(const EditorState& state, int x, int y, int width, int height, Color color);

/// The brush tip with its top-left pixel at (x, y) stamped wrapped within the stroke's cell
/// (the undo step saves what it touches first). Returns the document rectangle that changed.
Rect tile_wrap_stamp(EditorState& state, StrokeCoverage& coverage, Bitmap& picture, const Bitmap& tip, int x,
                     int y, bool keep_alpha, bool ties);

/// The fill from (x, y) on the stroke's cell seen as a torus: the region of the seed's exact
/// stored value, 4-connected, where a pixel on an edge touches the one on the opposite edge.
/// False when not wrapping (the ordinary fill applies); otherwise `changed` gets the cell.
bool tile_wrap_fill(EditorState& state, int x, int y, Rect* changed);

/// "Wrap Within Tiles" and "Tile Preview" of the View menu; false for any other id.
bool tile_wrap_menu_event(EditorState& state, std::int64_t id);

}  // namespace morvane
