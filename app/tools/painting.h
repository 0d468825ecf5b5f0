// Painting: the brush tip, colour and opacity, the canvas handler, the tool panel and one
// painting step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"

namespace morvane {

void stamp_rebuild(EditorState& state, bool size_changed);
void color_repack(EditorState& state);
/// After a change of brush_color: packs it with the brush opacity, repaints the colour swatch
/// and rebuilds the brush tip.
void brush_color_apply(EditorState& state);
/// The canvas handler: a WidgetEvent of the canvas with the position already in mouse_x/y.
void canvas_event(EditorState& state, std::int64_t subtype);
/// Lays the tool panel's top row out left to right so that controls grown to their captions
/// do not overlap, and gives every tool button a tooltip naming the tool and its key.
void tool_panel_arrange();
/// Tool panel: a WidgetEvent of the main window's widgets 2..15 (except the canvas).
void tool_panel_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// "Previous Brush" (step -1) and "Next Brush" (step +1).
void brush_step(EditorState& state, int step);
/// Side of the brush tip in document pixels: the brush size, 1..100.
int brush_tip_size(const EditorState& state);
/// The custom brush file for the current brush folder and index.
std::string custom_brush_path(const EditorState& state);
/// The brush folder found for brush_dir ("" when none holds a brushN.png) and its numbers N.
struct BrushFolder {
    std::string path;
    std::vector<int> indices;
};
BrushFolder brush_folder(const EditorState& state);
/// Greys "Custom" in the tip list when no brush picture is found.
void brush_tips_refresh(const EditorState& state);
/// One painting step at document pixel x, y for a canvas subtype (65539 move, 65540 left
/// down, 65541 left up); repaints what changed.
void paint_at(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t subtype);

}  // namespace morvane
