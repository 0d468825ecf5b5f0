// Replace Colour: the dialog (window 16, not modal, so that the picture and the swatches stay
// at hand for picking) and the replacement in the document as one undo step.
#include "app/document/document_commands.h"
#include "app/document/painter.h"
#include "app/palette/palette_panel.h"
#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "palette/picture_colours.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr int kSwatchWidth = 40, kSwatchHeight = 24;

bool dialog_open() {
    return window_handle(ReplaceColourWindow) != 0;
}

// Paints a colour button's picture (red, green and blue; alpha is not shown).
void show_colour(ObjectNumber button, ObjectNumber image, Color c) {
    if (!image_exists(image) && !image_create(image, kSwatchWidth - 8, kSwatchHeight - 8, 24)) return;
    if (Painter painter{image}) {
        drawing_mode_set(Default);
        draw_box(0, 0, kSwatchWidth, kSwatchHeight, c | 0xFF000000u);
    }
    widget_set_attribute(button, 1, image_handle(image));
    const std::string tip = "Red " + std::to_string(color_red(c)) + ", green " +
                            std::to_string(color_green(c)) + ", blue " + std::to_string(color_blue(c)) +
                            ", alpha " + std::to_string(c >> 24);
    widget_set_tooltip(button, tip);
}

void show_colours(const EditorState& state) {
    show_colour(ReplaceFromButton, ReplaceFromImage, state.palette.replace_from);
    show_colour(ReplaceToButton, ReplaceToImage, state.palette.replace_to);
}

// The colour dialog for one of the two colours; it gives an opaque colour.
void choose(EditorState& state, bool to) {
    Color& colour = to ? state.palette.replace_to : state.palette.replace_from;
    const std::int64_t chosen = color_dialog(static_cast<std::int32_t>(colour & 0xFFFFFF));
    if (chosen == -1) return;
    colour = (static_cast<Color>(chosen) & 0xFFFFFFu) | 0xFF000000u;
    show_colours(state);
}

void apply(EditorState& state) {
    ColourReplacement r;
    r.from = state.palette.replace_from;
    r.to = state.palette.replace_to;
    r.tolerance = static_cast<int>(widget_get_state(ReplaceToleranceSpin));
    // The whole picture: the rectangle is where a selection will go.
    r.area = PixelArea{0, 0, static_cast<std::int32_t>(state.view.base_width),
                       static_cast<std::int32_t>(state.view.base_height)};
    window_close(ReplaceColourWindow);
    window_activate(MainWindow);
    if (document_replace_colour(state, r) == 0)
        message_box("Replace Colour",
                    "No pixel of the picture has the \"from\" colour within this tolerance.", 64);
}

}  // namespace

std::uint64_t document_replace_colour(EditorState& state, const ColourReplacement& replacement) {
    Bitmap* picture = state.document.picture_or_null();
    if (!picture) return 0;
    History& history = state.document.history;
    history.begin(state.document.record());
    // The replacement goes tile by tile and is done with a tile when it reports the next one:
    // each tile is packed for the undo step right after its replacement, while in the cache.
    Rect last;
    const std::uint64_t matched = replace_colour(*picture, replacement, [&history, &last](const PixelArea& a) {
        history.pack_finished(last);
        last = Rect{a.x0, a.y0, a.x1, a.y1};
        history.save_before(last);
    });
    history.pack_finished(last);
    const Rect changed = history.commit();
    document_state_changed(state);
    if (!changed.empty()) view_show_document_rect(state, changed.x0, changed.y0, changed.x1, changed.y1);
    return matched;
}

void replace_dialog_open(EditorState& state) {
    if (!window_open(ReplaceColourWindow, DefaultPosition, DefaultPosition, 330, 180, "Replace Colour",
                     0xC80001, MainWindow))
        return;
    // Both colours start as the brush colour (its swatch's, with alpha, when one is marked).
    const std::int64_t marked = widget_get_state(PaletteSwatches);
    const Color brush = (state.tools.brush_color & 0xFFFFFFu) | 0xFF000000u;
    const Color start = marked >= 0 && marked < static_cast<std::int64_t>(state.palette.colours.size())
                            ? state.palette.colours[std::size_t(marked)]
                            : brush;
    state.palette.replace_from = state.palette.replace_to = start;
    state.palette.pick_to = false;
    text_create(ReplaceFirstLabel, 10, 14, 70, 20, "From:");
    image_button_create(ReplaceFromButton, 90, 10, kSwatchWidth, kSwatchHeight, 0, 0);
    text_create(ReplaceFirstLabel + 1, 10, 46, 70, 20, "To:");
    image_button_create(ReplaceToButton, 90, 42, kSwatchWidth, kSwatchHeight, 0, 0);
    text_create(ReplaceFirstLabel + 2, 10, 80, 75, 20, "Tolerance:");
    spin_create(ReplaceToleranceSpin, 90, 78, 60, 20, 0, 255, SpinNumeric);
    widget_set_tooltip(
        ReplaceToleranceSpin,
        "Largest difference of red, green, blue or alpha that still matches (0: the exact colour)");
    text_create(ReplaceFirstLabel + 3, 10, 112, 75, 20, "Picks go to:");
    combo_box_create(ReplacePickCombo, 90, 110, 110, 20);
    widget_add_item(ReplacePickCombo, 0, "From colour");
    widget_add_item(ReplacePickCombo, 1, "To colour");
    widget_set_state(ReplacePickCombo, 0);
    text_create(ReplaceFirstLabel + 4, 10, 145, 310, 20,
                "Alt+click the picture or click a swatch to pick a colour.");
    button_create(ReplaceApplyButton, 240, 10, 80, 24, "Replace");
    button_create(ReplaceCloseButton, 240, 42, 80, 24, "Close");
    widget_set_state(ReplaceToleranceSpin, 0);
    show_colours(state);
}

void replace_dialog_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case ReplaceFromButton:
            choose(state, false);
            break;
        case ReplaceToButton:
            choose(state, true);
            break;
        case ReplacePickCombo:
            state.palette.pick_to = widget_get_state(ReplacePickCombo) == 1;
            break;
        case ReplaceApplyButton:
            apply(state);
            break;
        case ReplaceCloseButton:
            window_close(ReplaceColourWindow);
            break;
        default:
            break;
    }
}

bool replace_dialog_pick(EditorState& state, Color colour) {
    if (!dialog_open()) return false;
    (state.palette.pick_to ? state.palette.replace_to : state.palette.replace_from) = colour;
    show_colours(state);
    return true;
}

bool replace_dialog_canvas_event(EditorState& state, std::int64_t subtype) {
    if (!dialog_open() || subtype != LeftButtonDown ||
        !(widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Modifiers)) & ModifierAlt))
        return false;
    const Bitmap* picture = state.document.picture_or_null();
    const std::int64_t x = canvas_to_document_x(state, state.view.mouse_x);
    const std::int64_t y = canvas_to_document_y(state, state.view.mouse_y);
    if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height) return true;
    replace_dialog_pick(state, picture_pixel(*picture, static_cast<int>(x), static_cast<int>(y)));
    return true;
}

}  // namespace morvane
