// The re-grid window: every option of the tile-set command line, a preview that follows
// each change, the equivalent command, and Save. Not modal: its events come through the
// editor's main loop like those of the other tool windows.
#include "app/regrid/regrid_window.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/document/painter.h"
#include "app/regrid/regrid.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "image/codec.h"
#include "image/image.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace regrid;

constexpr const char* kTitle = "Re-grid a Tile Set";
constexpr const char* kOpenPatterns = "PNG Images|*.png|JPEG Images|*.jpeg|All Files|*.*";
constexpr int kWindowWidth = 900, kWindowHeight = 560;
constexpr int kPreviewX = 320, kPreviewY = 40, kPreviewWidth = 570, kPreviewHeight = 430;
constexpr int kZoomSteps[] = {0, 25, 50, 100, 200, 400, 800};  // 0: fit
constexpr int kZoomCount = static_cast<int>(sizeof kZoomSteps / sizeof kZoomSteps[0]);
// The spins' arrows stop where the command line's ranges do.
constexpr std::int64_t kMaxEntry = TileSetMaxSide;
constexpr int kErrorIcon = 16;  // message box icon

// The open window's model and view.
struct RegridSession {
    RegridModel model;
    RegridView view;
    std::string output;  // proposed or last saved picture
    // Until the user sets the column count, it follows the sheet's columns at the tile size.
    bool columns_chosen = false;
    int drag_x = 0, drag_y = 0;
    std::int64_t drag_pan_x = 0, drag_pan_y = 0;
};

RegridSession& session() {
    static RegridSession* s = new RegridSession;
    return *s;
}

const Bitmap* source_picture() {
    return bitmap_from_handle(image_handle(RegridSourceImage));
}

// The picture's proposed name: beside the sheet, never the sheet itself.
std::string proposed_output(const std::string& input, int format) {
    namespace fs = std::filesystem;
    const fs::path path(input);
    return (path.parent_path() / (path.stem().string() + "_regrid" + regrid_extension(format))).string();
}

std::string with_format(const std::string& output, int format) {
    TileSetTarget target;
    const std::string base = tileset_target_from_name(output, &target) ? target.base : output;
    return base + regrid_extension(format);
}

void label(int& next, int x, int y, int width, const char* text) {
    text_create(next++, x, y + 2, width, 20, text);
}

void spin(ObjectNumber number, int x, int y, std::int64_t low, std::int64_t high, std::int64_t value) {
    spin_create(number, x, y, 60, 20, low, high, SpinNumeric);
    widget_set_state(number, value);
}

void check(ObjectNumber number, int x, int y, int width, const char* text, bool value) {
    check_box_create(number, x, y, width, 20, text);
    widget_set_state(number, value ? 1 : 0);
}

void build_window(const RegridSession& s, std::int64_t width, std::int64_t height) {
    const TileSetOptions& o = s.model.options;
    int next = FirstLabel;
    frame_create(ReadFrame, 10, 10, 300, 110, "Read the sheet");
    label(next, 20, 30, 85, "Tile width");
    spin(TileWidthSpin, 105, 30, 1, kMaxEntry, o.tile_width);
    label(next, 175, 30, 50, "height");
    spin(TileHeightSpin, 240, 30, 1, kMaxEntry, o.tile_height);
    label(next, 20, 60, 85, "Margin");
    spin(InMarginSpin, 105, 60, 0, kMaxEntry, o.in_margin);
    label(next, 175, 60, 60, "Spacing");
    spin(InSpacingSpin, 240, 60, 0, kMaxEntry, o.in_spacing);
    text_create(SourceText, 20, 90, 285, 20,
                "Sheet: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");

    frame_create(WriteFrame, 10, 125, 300, 180, "Write the tile set");
    label(next, 20, 145, 85, "Layout");
    combo_box_create(LayoutCombo, 105, 145, 80, 20);
    widget_add_item(LayoutCombo, 0, "Classic");
    widget_add_item(LayoutCombo, 1, "Grid");
    widget_set_state(LayoutCombo, o.kind == SheetKind::Grid ? 1 : 0);
    label(next, 20, 170, 85, "Columns");
    spin(ColumnsSpin, 105, 170, 1, kMaxEntry, o.columns);
    label(next, 175, 170, 60, "Extrude");
    spin(ExtrudeSpin, 240, 170, 0, kMaxEntry, o.extrude);
    label(next, 20, 195, 85, "Margin");
    spin(MarginSpin, 105, 195, 0, kMaxEntry, o.margin);
    label(next, 175, 195, 60, "Spacing");
    spin(SpacingSpin, 240, 195, 0, kMaxEntry, o.spacing);
    check(DedupCheck, 20, 220, 140, "Remove duplicates", o.dedup);
    check(DedupFlipsCheck, 165, 220, 140, "Also flipped copies", o.dedup_flips);
    check(SkipEmptyCheck, 20, 245, 140, "Skip empty tiles", o.skip_empty);
    check(PotCheck, 165, 245, 140, "Power-of-two size", o.pot);
    label(next, 20, 270, 85, "Format");
    combo_box_create(FormatCombo, 105, 270, 80, 20);
    widget_add_item(FormatCombo, 0, "PNG");
    widget_add_item(FormatCombo, 1, "JPEG");
    widget_add_item(FormatCombo, 2, "BMP");
    widget_set_state(FormatCombo, s.model.format);
    label(next, 195, 270, 45, "Quality");
    spin(QualitySpin, 240, 270, 0, 100, s.model.quality);

    frame_create(MetadataFrame, 10, 310, 300, 75, "Metadata files");
    check(ListCheck, 20, 330, 140, "TileList", s.model.write_list);
    check(TsxCheck, 165, 330, 140, "Tiled TSX", s.model.write_tsx);
    check(JsonCheck, 20, 355, 140, "JSON hash", s.model.write_json);
    check(MapCheck, 165, 355, 140, "Tile map (CSV)", s.model.write_map);

    label(next, kPreviewX, 10, 40, "Zoom");
    combo_box_create(ZoomCombo, kPreviewX + 40, 10, 80, 20);
    for (int i = 0; i < kZoomCount; ++i) {
        widget_add_item(ZoomCombo, i, kZoomSteps[i] == 0 ? "Fit" : std::to_string(kZoomSteps[i]) + " %");
    }
    widget_set_state(ZoomCombo, 0);
    text_create(SummaryText, kPreviewX + 130, 12, kPreviewWidth - 130, 20, "");
    canvas_create(PreviewCanvas, kPreviewX, kPreviewY, kPreviewWidth, kPreviewHeight, SunkenEdge);
    widget_set_tooltip(PreviewCanvas, "Drag to move, wheel to scroll, Ctrl+wheel to zoom");

    label(next, 10, 480, 60, "Command");
    text_field_create(CommandField, 75, 480, kWindowWidth - 85, 20, "", TextReadOnly);
    widget_set_tooltip(CommandField, "The same tile set from the command line");
    button_create(SaveButton, kWindowWidth - 170, 520, 75, 24, "Save...");
    button_create(CloseButton, kWindowWidth - 85, 520, 75, 24, "Close");
}

// Every option as the widgets show it now.
void read_widgets(RegridModel& m) {
    TileSetOptions& o = m.options;
    o.tile_width = widget_get_state(TileWidthSpin);
    o.tile_height = widget_get_state(TileHeightSpin);
    o.in_margin = widget_get_state(InMarginSpin);
    o.in_spacing = widget_get_state(InSpacingSpin);
    o.kind = widget_get_state(LayoutCombo) == 1 ? SheetKind::Grid : SheetKind::Classic;
    o.columns = widget_get_state(ColumnsSpin);
    o.extrude = widget_get_state(ExtrudeSpin);
    o.margin = widget_get_state(MarginSpin);
    o.spacing = widget_get_state(SpacingSpin);
    o.dedup_flips = widget_get_state(DedupFlipsCheck) == 1;
    o.dedup = widget_get_state(DedupCheck) == 1 || o.dedup_flips;
    o.skip_empty = widget_get_state(SkipEmptyCheck) == 1;
    o.pot = widget_get_state(PotCheck) == 1;
    const std::int64_t format = widget_get_state(FormatCombo);
    m.format = format >= RegridPng && format <= RegridBmp ? static_cast<int>(format) : RegridPng;
    m.quality = static_cast<int>(std::clamp<std::int64_t>(widget_get_state(QualitySpin), 0, 100));
    m.write_list = widget_get_state(ListCheck) == 1;
    m.write_tsx = widget_get_state(TsxCheck) == 1;
    m.write_json = widget_get_state(JsonCheck) == 1;
    m.write_map = widget_get_state(MapCheck) == 1;
}

void show_preview(RegridSession& s) {
    Bitmap* buffer = bitmap_from_handle(static_cast<std::intptr_t>(
        widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::BackBuffer))));
    if (!buffer) return;
    regrid_clamp_pan(s.model, s.view, buffer->width, buffer->height);
    // The session makes the canvas repaint when it ends.
    Painter painter{canvas_output(PreviewCanvas)};
    if (!painter) return;
    regrid_render(s.model, s.view, *buffer);
}

void show_texts(const RegridSession& s) {
    widget_set_text(SummaryText, regrid_summary(s.model));
    widget_set_text(CommandField, regrid_command_line(s.model, s.output));
    widget_set_enabled(SaveButton, s.model.problem.empty());
    widget_set_enabled(QualitySpin, s.model.format == RegridJpeg);
}

// The column count proposed for the tile size and input grid that the widgets show.
void follow_sheet_columns(const RegridSession& s) {
    if (s.columns_chosen) return;
    const Bitmap* source = source_picture();
    if (!source) return;
    TileSetOptions o = s.model.options;
    o.tile_width = widget_get_state(TileWidthSpin);
    o.tile_height = widget_get_state(TileHeightSpin);
    o.in_margin = widget_get_state(InMarginSpin);
    o.in_spacing = widget_get_state(InSpacingSpin);
    widget_set_state(ColumnsSpin, regrid_sheet_columns(o, source->width, source->height));
}

// One option changed: re-plan, re-assemble, show.
void refresh(RegridSession& s) {
    read_widgets(s.model);
    s.output = with_format(s.output, s.model.format);
    const Bitmap* source = source_picture();
    if (source) {
        regrid_update(s.model, *source);
    } else {
        s.model.problem = "the sheet is no longer open";
    }
    show_texts(s);
    show_preview(s);
}

void save(RegridSession& s) {
    const int format = s.model.format;
    if (!regrid_save(s.model, &s.output)) return;
    if (s.model.format != format) widget_set_state(FormatCombo, s.model.format);
    show_texts(s);
    widget_set_text(SummaryText, regrid_summary(s.model) + ", saved as " + file_part(s.output));
}

// A new zoom keeps the sheet point at the view's centre where it is.
void set_zoom(RegridSession& s, int zoom) {
    const Bitmap* buffer = bitmap_from_handle(static_cast<std::intptr_t>(
        widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::BackBuffer))));
    if (buffer) {
        regrid_zoom(s.model, s.view, zoom, buffer->width, buffer->height);
    } else {
        s.view.zoom = zoom;
    }
    show_preview(s);
}

// Ctrl+wheel: the next listed zoom above or below the one shown (also from "Fit").
void step_zoom(RegridSession& s, std::int64_t notches) {
    if (notches == 0) return;
    const Bitmap* buffer = bitmap_from_handle(static_cast<std::intptr_t>(
        widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::BackBuffer))));
    const double percent =
        buffer ? 100.0 * regrid_scale(s.model, s.view, buffer->width, buffer->height) : 100.0;
    int index = 0;
    if (notches > 0) {
        index = kZoomCount - 1;
        for (int i = kZoomCount - 1; i >= 1; --i) {
            if (kZoomSteps[i] > percent + 0.5) index = i;
        }
    } else {
        index = 1;
        for (int i = 1; i < kZoomCount; ++i) {
            if (kZoomSteps[i] < percent - 0.5) index = i;
        }
    }
    widget_set_state(ZoomCombo, index);
    set_zoom(s, kZoomSteps[index]);
}

// Dropping tiles is for the grid layout only: checking such a box chooses it.
void choose_grid_when_checked(ObjectNumber check) {
    if (widget_get_state(check) == 1) widget_set_state(LayoutCombo, 1);
}

void canvas_input(RegridSession& s, std::int64_t subtype) {
    const int x =
        static_cast<int>(widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::MouseX)));
    const int y =
        static_cast<int>(widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::MouseY)));
    const std::int64_t buttons =
        widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::Buttons));
    switch (subtype) {
        case LeftButtonDown:
            s.drag_x = x;
            s.drag_y = y;
            s.drag_pan_x = s.view.pan_x;
            s.drag_pan_y = s.view.pan_y;
            return;
        case MouseMove:
            if ((buttons & ButtonLeft) == 0) return;
            s.view.pan_x = s.drag_pan_x - (x - s.drag_x);
            s.view.pan_y = s.drag_pan_y - (y - s.drag_y);
            break;
        case MouseWheel: {
            const std::int64_t notches =
                widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::WheelDelta));
            const std::int64_t mods =
                widget_get_attribute(PreviewCanvas, static_cast<int>(CanvasAttribute::Modifiers));
            if (mods & ModifierControl) {
                step_zoom(s, notches);
                return;
            } else if (mods & ModifierShift) {
                s.view.pan_x -= notches * 48;
            } else {
                s.view.pan_y -= notches * 48;
            }
            break;
        }
        default:
            return;
    }
    show_preview(s);
}

}  // namespace

void regrid_window_open(EditorState&) {
    const std::string file = open_file_dialog("Load a Tile Set...", "", kOpenPatterns, 0);
    if (file.empty()) return;
    regrid_window_close();
    if (!image_load(RegridSourceImage, file)) {
        message_box(kTitle, "Cannot load the sheet: " + file, kErrorIcon);
        return;
    }
    if (!window_open(RegridWindow, DefaultPosition, DefaultPosition, kWindowWidth, kWindowHeight, kTitle,
                     Caption | SystemMenu | MinimizeBox | CenterOnParent, MainWindow)) {
        image_free(RegridSourceImage);
        message_box(kTitle, "Unable to open the window.", kErrorIcon);
        return;
    }
    // Every opening starts from the command line's defaults.
    RegridSession& s = session();
    s = RegridSession{};
    s.model.input = file;
    s.output = proposed_output(file, s.model.format);
    s.model.options.columns = regrid_sheet_columns(s.model.options, image_width(RegridSourceImage),
                                                   image_height(RegridSourceImage));
    build_window(s, image_width(RegridSourceImage), image_height(RegridSourceImage));
    dialog_keys_set(RegridWindow, SaveButton, CloseButton);
    refresh(s);
}

void regrid_window_event(EditorState&, std::int64_t source, std::int64_t subtype) {
    RegridSession& s = session();
    switch (source) {
        case SaveButton:
            save(s);
            break;
        case CloseButton:
            regrid_window_close();
            break;
        case ZoomCombo: {
            const std::int64_t index = widget_get_state(ZoomCombo);
            set_zoom(s, index >= 0 && index < kZoomCount ? kZoomSteps[index] : 0);
            break;
        }
        case PreviewCanvas:
            canvas_input(s, subtype);
            break;
        case DedupFlipsCheck:
            // Counting flipped copies as duplicates removes duplicates.
            if (widget_get_state(DedupFlipsCheck) == 1) widget_set_state(DedupCheck, 1);
            choose_grid_when_checked(DedupFlipsCheck);
            refresh(s);
            break;
        case DedupCheck:
            if (widget_get_state(DedupCheck) == 0) widget_set_state(DedupFlipsCheck, 0);
            choose_grid_when_checked(DedupCheck);
            refresh(s);
            break;
        case SkipEmptyCheck:
            choose_grid_when_checked(SkipEmptyCheck);
            refresh(s);
            break;
        case ExtrudeSpin:
        case MarginSpin:
        case SpacingSpin:
            // Only the grid layout takes them all: changing one chooses it.
            widget_set_state(LayoutCombo, 1);
            refresh(s);
            break;
        case ColumnsSpin:
            s.columns_chosen = true;
            refresh(s);
            break;
        case TileWidthSpin:
        case TileHeightSpin:
        case InMarginSpin:
        case InSpacingSpin:
            follow_sheet_columns(s);
            refresh(s);
            break;
        case LayoutCombo:
        case PotCheck:
        case FormatCombo:
        case QualitySpin:
        case ListCheck:
        case TsxCheck:
        case JsonCheck:
        case MapCheck:
            refresh(s);
            break;
        default:
            break;
    }
}

void regrid_window_close() {
    if (window_handle(RegridWindow)) window_close(RegridWindow);
    image_free(RegridSourceImage);
    RegridSession& s = session();
    regrid_forget(s.model);
    s.model.picture.reset();
}

}  // namespace morvane
