// The Palette menu: loading and saving palette files, the palette of the picture, sorting.
#include <filesystem>

#include "app/editor_state.h"
#include "app/palette/palette_panel.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "palette/picture_colours.h"
#include "shell/menu.h"
#include "widgets/dialogs.h"

namespace morvane {

namespace {

constexpr const char* kLoadPatterns =
    "Palettes|*.gpl;*.hex;*.pal;*.txt;*.png;*.bmp|GIMP Palette|*.gpl|Hex Palette|*.hex|JASC Palette|*.pal|"
    "Paint.NET Palette|*.txt|Pictures|*.png;*.bmp|All Files|*.*";
constexpr const char* kSavePatterns =
    "GIMP Palette|*.gpl|Hex Palette|*.hex|JASC Palette|*.pal|Paint.NET Palette|*.txt";
constexpr const char* kSaveExtensions[] = {".gpl", ".hex", ".pal", ".txt"};

void load_command(EditorState& state) {
    const std::string path = open_file_dialog("Load Palette", "", kLoadPatterns, 0);
    if (!path.empty()) palette_load_file(state, path);
}

bool has_palette_extension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known : kSaveExtensions)
        if (ext == known) return true;
    return false;
}

void save_command(const EditorState& state) {
    if (state.palette.colours.empty()) {
        message_box("Error", "The palette is empty: there is nothing to save.", 0);
        return;
    }
    const std::string name = state.palette.name.empty() ? "palette" : state.palette.name;
    std::string path = save_file_dialog("Save Palette As", name + ".gpl", kSavePatterns, 0);
    if (path.empty()) return;
    // A name without a palette extension gets the one of the pattern chosen.
    if (!has_palette_extension(path)) {
        const int pattern = file_dialog_pattern();
        path += kSaveExtensions[pattern >= 0 && pattern < 4 ? pattern : 0];
    }
    std::error_code error;
    if (std::filesystem::exists(path, error) &&
        message_box("Save Palette As", path + " already exists.\nDo you want to replace it?", 52) != 6)
        return;
    const Result<bool> saved = palette_save(path, Palette{state.palette.name, state.palette.colours});
    if (!saved.ok()) message_box("Error", "Cannot save palette: " + saved.error, 0);
}

void from_picture_command(EditorState& state) {
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture) return;
    PictureColours found = picture_colours(*picture, whole_area(*picture), MaxSwatches, true);
    if (found.colours.empty()) {
        message_box("Palette from Picture", "The picture is fully transparent: it has no colours.", 64);
        return;
    }
    if (found.distinct > MaxSwatches)
        message_box("Palette from Picture",
                    "The picture has " + std::to_string(found.distinct) +
                        " colours; a palette holds at most " + std::to_string(MaxSwatches) + ", so the " +
                        std::to_string(MaxSwatches) + " most used are kept.",
                    64);
    palette_panel_show(state, Palette{"Picture", std::move(found.colours)});
}

enum class SortKey { Hue, Lightness, Use };

void sort_command(EditorState& state, SortKey key) {
    Palette palette{state.palette.name, state.palette.colours};
    switch (key) {
        case SortKey::Hue:
            sort_by_hue(palette.colours);
            break;
        case SortKey::Lightness:
            sort_by_lightness(palette.colours);
            break;
        case SortKey::Use:
            if (const Bitmap* picture = state.document.picture_or_null())
                sort_by_use(palette.colours, colour_use(*picture, whole_area(*picture), palette.colours));
            break;
    }
    palette_panel_show(state, std::move(palette));
}

}  // namespace

bool palette_load_file(EditorState& state, const std::string& path) {
    Result<Palette> read = palette_load(path);
    if (!read.ok()) {
        message_box("Error", "Cannot load palette: " + read.error, 0);
        return false;
    }
    palette_panel_show(state, std::move(*read.value));
    return true;
}

void palette_edition_items() {
    menu_item(MenuReplaceColour, "Replace Colour...");
}

void palette_menu_build() {
    menu_title("Palette");
    menu_item(MenuPaletteLoad, "Load Palette...");
    menu_item(MenuPaletteSave, "Save Palette As...");
    menu_separator();
    menu_item(MenuPaletteFromPicture, "Palette from Picture");
    menu_open_submenu("Sort Palette");
    menu_item(MenuSortByHue, "By Hue");
    menu_item(MenuSortByLightness, "By Lightness");
    menu_item(MenuSortByUse, "By Use");
    menu_close_submenu();
}

bool palette_menu_event(EditorState& state, std::int64_t id) {
    switch (id) {
        case MenuPaletteLoad:
            load_command(state);
            return true;
        case MenuPaletteSave:
            save_command(state);
            return true;
        case MenuPaletteFromPicture:
            from_picture_command(state);
            return true;
        case MenuSortByHue:
            sort_command(state, SortKey::Hue);
            return true;
        case MenuSortByLightness:
            sort_command(state, SortKey::Lightness);
            return true;
        case MenuSortByUse:
            sort_command(state, SortKey::Use);
            return true;
        case MenuReplaceColour:
            replace_dialog_open(state);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
