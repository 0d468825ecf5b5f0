// The palette panel: swatches beside the view, "+" and "-" buttons and the Recolour Picture
// toggle; a click takes a swatch as the brush colour, a double-click edits it.
#include "app/palette/palette_panel.h"

#include <algorithm>
#include <filesystem>

#include "app/startup/desktop.h"
#include "app/tools/painting.h"
#include "image/image.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/palette_view.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kPanelWidth = 124;
constexpr int kMargin = 5;
constexpr int kToolPanelRight = 60;  // the tool buttons and the brush preview end before this
constexpr int kTop = 50, kBottomMargin = 50;
constexpr int kButtonWidth = 28, kButtonHeight = 22, kCheckHeight = 20;

void keep(const EditorState& state) {
    const std::string path = palette_store_path();
    if (path.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // A convenience store, like Open Recent: a failed write only forgets the palette.
    if (!error) palette_save(path, Palette{state.palette.name, state.palette.colours});
}

void changed(EditorState& state) {
    palette_view_set_colours(PaletteSwatches, state.palette.colours);
    palette_panel_mark(state);
    keep(state);
}

// The brush takes a swatch's colour; a swatch with alpha sets the opacity too.
void take_swatch(EditorState& state, int index) {
    const Color c = state.palette.colours[std::size_t(index)];
    const std::uint32_t alpha = c >> 24;
    state.tools.brush_color = rgba(color_red(c), color_green(c), color_blue(c), 255);
    if (alpha < 255) {
        state.tools.brush_alpha = static_cast<std::uint8_t>(alpha);
        widget_set_state(OpacityTrackbar, alpha);
    }
    brush_color_apply(state);
    widget_set_state(PaletteSwatches, index);
    replace_dialog_pick(state, c);
}

void add_brush_colour(EditorState& state) {
    if (state.palette.colours.size() >= MaxSwatches) {
        message_box("Palette", "The palette is full: a palette holds at most 256 colours.", 48);
        return;
    }
    // The eraser's packed colour has no alpha; the swatch is the colour painted with.
    const std::uint32_t alpha = state.tools.brush_tool == 2 ? 255 : state.tools.brush_alpha;
    const Color c = state.tools.brush_color;
    state.palette.colours.push_back(rgba(color_red(c), color_green(c), color_blue(c), alpha));
    changed(state);
    widget_set_state(PaletteSwatches, static_cast<std::int64_t>(state.palette.colours.size()) - 1);
}

void remove_swatch(EditorState& state, std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(state.palette.colours.size())) return;
    state.palette.colours.erase(state.palette.colours.begin() + index);
    changed(state);
}

void move_swatch(EditorState& state, std::int64_t from, std::int64_t to) {
    std::vector<Color>& colours = state.palette.colours;
    const auto n = static_cast<std::int64_t>(colours.size());
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
    const bool was_marked = widget_get_state(PaletteSwatches) == from;
    const Color c = colours[std::size_t(from)];
    colours.erase(colours.begin() + from);
    colours.insert(colours.begin() + to, c);
    changed(state);
    if (was_marked) widget_set_state(PaletteSwatches, to);
}

// A double-click edits the swatch with the colour dialog; with Recolour Picture on, the
// picture's pixels of the old colour take the new one in the same step.
void edit_swatch(EditorState& state, std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(state.palette.colours.size())) return;
    const Color old = state.palette.colours[std::size_t(index)];
    const std::int64_t chosen = color_dialog(static_cast<std::int32_t>(old & 0xFFFFFF));
    if (chosen == -1) return;
    // The dialog has no alpha: the swatch keeps its own.
    const Color fresh = (static_cast<Color>(chosen) & 0xFFFFFFu) | (old & 0xFF000000u);
    if (fresh == old) return;
    state.palette.colours[std::size_t(index)] = fresh;
    if (widget_get_state(RecolourCheck) != 0) {
        ColourReplacement r;
        r.from = old;
        r.to = fresh;
        r.tolerance = 0;
        r.area = PixelArea{0, 0, static_cast<std::int32_t>(state.view.base_width),
                           static_cast<std::int32_t>(state.view.base_height)};
        document_replace_colour(state, r);
    }
    changed(state);
    take_swatch(state, static_cast<int>(index));
}

}  // namespace

std::string palette_store_path() {
    const std::string recent = recent_list_path();
    if (recent.empty()) return {};
    return (std::filesystem::path(recent).parent_path() / "palette.txt").string();
}

int palette_panel_left(int inner_width) {
    return std::max(inner_width - kMargin - kPanelWidth, kToolPanelRight + kMargin);
}

void palette_panel_create(EditorState& state) {
    palette_view_create(PaletteSwatches, 0, 0, kPanelWidth, 100);
    button_create(PaletteAddButton, 0, 0, kButtonWidth, kButtonHeight, "+");
    button_create(PaletteRemoveButton, 0, 0, kButtonWidth, kButtonHeight, "-");
    check_box_create(RecolourCheck, 0, 0, kPanelWidth, kCheckHeight, "Recolour Picture");
    widget_set_tooltip(PaletteAddButton, "Add the brush colour to the palette");
    widget_set_tooltip(PaletteRemoveButton, "Remove the marked swatch (Delete)");
    widget_set_tooltip(RecolourCheck, "Editing a swatch also recolours its pixels in the picture");
    widget_set_tooltip(PaletteSwatches,
                       "Click: brush colour. Double-click: edit. Drag: reorder. Delete: remove.");
    Palette kept;
    const std::string path = palette_store_path();
    Result<Palette> read = path.empty() ? Result<Palette>::failure("") : palette_load(path);
    kept = read.ok() ? std::move(*read.value) : default_palette();
    state.palette.name = kept.name;
    state.palette.colours = std::move(kept.colours);
    palette_view_set_colours(PaletteSwatches, state.palette.colours);
    palette_panel_mark(state);
    palette_panel_layout();
}

void palette_panel_layout() {
    const int x = palette_panel_left(window_inner_width(MainWindow));
    const int bottom = window_inner_height(MainWindow) - kBottomMargin;
    widget_resize(PaletteAddButton, x, kTop, kButtonWidth, kButtonHeight);
    widget_resize(PaletteRemoveButton, x + kButtonWidth + 4, kTop, kButtonWidth, kButtonHeight);
    widget_resize(RecolourCheck, x, kTop + kButtonHeight + 4, kPanelWidth, kCheckHeight);
    const int y = kTop + kButtonHeight + 4 + kCheckHeight + 4;
    widget_resize(PaletteSwatches, x, y, kPanelWidth, std::max(0, bottom - y));
}

void palette_panel_mark(const EditorState& state) {
    const Color brush = state.tools.brush_color;
    const std::uint32_t alpha = state.tools.brush_tool == 2 ? 255 : state.tools.brush_alpha;
    const std::vector<Color>& colours = state.palette.colours;
    // The swatch of the exact colour and opacity ranks first, then an opaque one of the same
    // colour (a click on an opaque swatch leaves the opacity as it was).
    auto rank = [&](std::int64_t i) {
        if (i < 0 || i >= static_cast<std::int64_t>(colours.size())) return 0;
        const Color c = colours[std::size_t(i)];
        if ((c & 0xFFFFFFu) != (brush & 0xFFFFFFu)) return 0;
        return c >> 24 == alpha ? 2 : c >> 24 == 255 ? 1 : 0;
    };
    std::int64_t found = -1;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(colours.size()); ++i)
        if (rank(i) > rank(found)) found = i;
    // Of equal swatches, the one marked stays marked.
    const std::int64_t marked = widget_get_state(PaletteSwatches);
    if (found >= 0 && rank(marked) == rank(found)) return;
    if (marked != found) widget_set_state(PaletteSwatches, found);
}

void palette_panel_show(EditorState& state, Palette palette) {
    state.palette.name = std::move(palette.name);
    state.palette.colours = std::move(palette.colours);
    changed(state);
}

bool palette_panel_event(EditorState& state, std::int64_t source, std::int64_t subtype) {
    switch (source) {
        case PaletteSwatches: {
            const std::int64_t index =
                widget_get_attribute(PaletteSwatches, static_cast<int>(PaletteAttribute::Index));
            switch (subtype) {
                case SwatchClicked:
                    if (index >= 0 && index < static_cast<std::int64_t>(state.palette.colours.size()))
                        take_swatch(state, static_cast<int>(index));
                    break;
                case SwatchDoubleClicked:
                    edit_swatch(state, index);
                    break;
                case SwatchMoved:
                    move_swatch(
                        state, index,
                        widget_get_attribute(PaletteSwatches, static_cast<int>(PaletteAttribute::Target)));
                    break;
                case SwatchDeleteKey:
                    remove_swatch(state, index);
                    break;
                default:
                    break;
            }
            return true;
        }
        case PaletteAddButton:
            add_brush_colour(state);
            return true;
        case PaletteRemoveButton:
            remove_swatch(state, widget_get_state(PaletteSwatches));
            return true;
        case RecolourCheck:
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
