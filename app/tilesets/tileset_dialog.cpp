// "Open an image and convert it to TileSet": its dialog (window 2) and its own event loop.
#include <cstdio>

#include "app/tilesets/tileset_commands.h"
#include "image/codec.h"
#include "image/file.h"
#include "image/image.h"
#include "shell/events.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/dialogs.h"
#include "widgets/progress.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

constexpr const char* OpenPatterns = "PNG Images|*.png|JPEG Images|*.jpg;*.jpeg|All Files|*.*";

using namespace tileset_window;

// Values of one run of the command.
struct TileSetRun {
    std::string source_file;
    std::int64_t width = 0, height = 0;
    std::int16_t tile_width = 32, tile_height = 32;
    std::uint8_t columns = 10;
    std::int64_t constrain = 1;
    std::int64_t create_new = 1;
};

std::string export_width_text(const TileSetRun& run) {
    return "Export Width : " + std::to_string(static_cast<int>(run.columns) * run.tile_width);
}

// Labels end near the field column: each is placed 5 pixels per character left of x 130.
int label_x(const std::string& text) {
    return 130 - 5 * static_cast<int>(text.size());
}

void build_dialog(const TileSetRun& run) {
    if (frame_create(ExportFrame, 10, 10, 190, 130, "Export Dimension")) {
        text_create(WidthLabel, label_x("Width :"), 32, 120, 20, "Width :");
        text_create(HeightLabel, label_x("Height :"), 62, 120, 20, "Height :");
        spin_create(TileWidthSpin, 130, 30, 50, 20, 1, 256, SpinNumeric);
        widget_set_state(TileWidthSpin, run.tile_width);
        spin_create(TileHeightSpin, 130, 60, 50, 20, 1, 256, SpinNumeric);
        widget_set_state(TileHeightSpin, run.tile_height);
        spin_create(ColumnsSpin, 140, 90, 40, 20, 1, 50, SpinNumeric);
        widget_set_state(ColumnsSpin, run.columns);
        const std::string export_text = export_width_text(run);
        text_create(ExportWidthLabel, label_x(export_text), 92, 100, 20, export_text);
        text_create(SpaceLabel, label_x("Space :"), 120, 120, 20, "Space :");
        spin_create(SpaceSpin, 130, 120, 50, 20, 0, 1024, SpinNumeric);
        widget_set_state(SpaceSpin, 0);
    }
    if (frame_create(OptionsFrame, 10, 140, 190, 120, "Options")) {
        check_box_create(ConstrainCheck, 20, 160, 130, 20, "Constraint Proportion");
        widget_set_state(ConstrainCheck, 1);
        check_box_create(CreateNewCheck, 20, 180, 130, 20, "Create a New image");
        widget_set_state(CreateNewCheck, 1);
        combo_box_create(PlacementCombo, 20, 200, 130, 20);
        widget_add_item(PlacementCombo, 0, "Begining of the image");
        widget_add_item(PlacementCombo, 1, "End of the image");
    }
    button_create(OkButton, 160, 270, 60, 20, "OK");
    button_create(CancelButton, 230, 270, 60, 20, "Cancel");
    dialog_keys_set(TileSetWindow, OkButton, CancelButton);
}

// A spin of the tile size or the column count changed.
void tile_spin_changed(TileSetRun& run, std::int64_t source) {
    if (run.constrain == 1) {
        if (source == TileWidthSpin) widget_set_state(TileHeightSpin, widget_get_state(TileWidthSpin));
        if (source == TileHeightSpin) widget_set_state(TileWidthSpin, widget_get_state(TileHeightSpin));
    }
    run.tile_height = static_cast<std::int16_t>(widget_get_state(TileHeightSpin));
    run.tile_width = static_cast<std::int16_t>(widget_get_state(TileWidthSpin));
    run.columns = static_cast<std::uint8_t>(widget_get_state(ColumnsSpin));
    widget_set_text(ExportWidthLabel, export_width_text(run));
}

// Writes the TileList beside a saved tile set; the file is checked first, as the prefix
// message comes only once it can be written.
void write_tile_list(const TileSetTarget& target, const TileSetLayout& layout) {
    const std::string name = tileset_list_name(target.base);
    if (!file_write_problem(name).empty()) return;
    const std::string prefix = file_part(target.base);
    message_box("", prefix);
    text_file_write(name, tileset_list_text(prefix, target.extension, layout));
}

// "OK": builds, saves and lists the tile set. True when the dialog is done.
bool convert(const TileSetRun& run) {
    const std::int64_t space = widget_get_state(SpaceSpin);
    if (run.create_new == 0) {
        message_box("", "Sorry, not coed for the moment, choose 'new image' as option");
        return false;
    }
    if (run.tile_width < 1 || run.tile_height < 1 || run.columns < 1) return false;
    const TileSetLayout layout =
        tileset_layout(run.width, run.height, run.tile_width, run.tile_height, run.columns, space);
    const Sheet sheet = classic_sheet(layout);
    if (!sheet.fits()) {
        message_box("Convert to TileSet", tileset_too_large_message(sheet));
        return false;
    }
    bool assembled = false;
    {
        BusyWork busy("Convert to TileSet", "Cutting the tiles");
        assembled = tileset_assemble(OpenedImage, layout, TileSetImage);
    }
    if (!assembled) return false;

    TileSetTarget target;
    bool saved = false;
    if (!tileset_save_dialog(TileSetImage, run.source_file, &target, &saved)) {
        image_free(TileSetImage);
        return false;
    }
    image_free(TileSetImage);
    image_free(OpenedImage);
    write_tile_list(target, layout);
    return true;
}

}  // namespace

void tileset_convert_command(EditorState&) {
    TileSetRun run;
    run.source_file = open_file_dialog("Load Image...", "", OpenPatterns, 0);
    if (run.source_file.empty()) return;
    bool loaded = false;
    {
        BusyWork busy("Convert to TileSet", "Loading " + file_part(run.source_file));
        loaded = image_load(OpenedImage, run.source_file) != 0;
    }
    if (!loaded) return;
    if (!window_open(TileSetWindow, DefaultPosition, DefaultPosition, 400, 300, "Convert to TileSet",
                     0xCC0001 | BlockOwner, MainWindow)) {
        image_free(OpenedImage);
        return;
    }
    run.width = image_width(OpenedImage);
    run.height = image_height(OpenedImage);
    build_dialog(run);

    // The command's own loop: only this dialog reacts until it closes.
    bool quit = false;
    while (!quit) {
        const std::int64_t kind = event_wait(10);
        if (kind == WidgetEvent) {
            const std::int64_t source = event_source();
            switch (source) {
                case ConstrainCheck:
                    run.constrain = widget_get_state(ConstrainCheck);
                    break;
                case CreateNewCheck:
                    run.create_new = widget_get_state(CreateNewCheck);
                    break;
                case TileWidthSpin:
                case TileHeightSpin:
                case ColumnsSpin:
                    tile_spin_changed(run, source);
                    break;
                case OkButton:
                    quit = convert(run);
                    break;
                case CancelButton:
                    quit = true;
                    break;
                default:
                    break;
            }
        } else if (kind == CloseWindowEvent && event_window() == TileSetWindow) {
            quit = true;
        }
        // Nothing could end the loop once the window is gone some other way.
        if (!window_handle(TileSetWindow)) quit = true;
    }
    window_close(TileSetWindow);
    image_free(TileSetImage);
    image_free(OpenedImage);
}

}  // namespace morvane
