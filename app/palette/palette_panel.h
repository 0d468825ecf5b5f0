// The palette panel beside the view, the Palette menu and the Replace Colour dialog.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor_state.h"
#include "palette/palette.h"
#include "palette/replace.h"

namespace morvane {

// ---- the panel ----
/// The panel's left edge for a main window `inner_width` wide: the view ends before it, and
/// it never comes left of the tool panel.
int palette_panel_left(int inner_width);
/// Creates the panel with the palette kept from the last run (DawnBringer 32 the first time).
void palette_panel_create(EditorState& state);
/// Places the panel along the right edge of the main window's client area.
void palette_panel_layout();
/// A WidgetEvent of the main window: true when it was the panel's.
bool palette_panel_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// Marks the swatch of the brush colour (none when no swatch has it).
void palette_panel_mark(const EditorState& state);
/// Shows `palette` and keeps it for the next run.
void palette_panel_show(EditorState& state, Palette palette);
/// The file that keeps the palette between runs, beside Open Recent's list; "" when none.
std::string palette_store_path();

// ---- commands ----
/// Adds "Replace Colour..." to the menu being built (the Edition menu).
void palette_edition_items();
/// Appends the "Palette" menu to the menu bar being built.
void palette_menu_build();
/// A MenuEvent id of the palette's commands: handled and true, or false.
bool palette_menu_event(EditorState& state, std::int64_t id);
/// Loads a palette file; a bad file shows its message and the palette stays. True when loaded.
bool palette_load_file(EditorState& state, const std::string& path);

// ---- replacing colours in the picture ----
/// Replaces in the document picture as one undo step and repaints what changed. Returns the
/// number of pixels that matched.
std::uint64_t document_replace_colour(EditorState& state, const ColourReplacement& replacement);
void replace_dialog_open(EditorState& state);
/// A WidgetEvent of the Replace Colour window.
void replace_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// While the dialog is open: gives it a picked colour (into "from" or "to" as chosen). False
/// when the dialog is closed.
bool replace_dialog_pick(EditorState& state, Color colour);
/// A canvas event while the dialog is open: Alt+click picks the document pixel under the
/// pointer (its alpha too) into the dialog. True when it was taken.
bool replace_dialog_canvas_event(EditorState& state, std::int64_t subtype);

}  // namespace morvane
