// File > "Export as Tiled Map...": the picture's kept tiles as a sheet, its TSX and a TMX map.
#include "app/tiles/tile_export.h"

#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/document/selection.h"
#include "app/ids.h"
#include "app/tiles/tile_grid.h"
#include "image/bitmap.h"
#include "image/file.h"
#include "image/image.h"
#include "tileset/tiled_map.h"
#include "widgets/dialogs.h"
#include "widgets/progress.h"

namespace morvane {

namespace {

constexpr const char* kTitle = "Export as Tiled Map";
constexpr const char* kDialogTitle = "Export as Tiled Map...";
constexpr const char* kPatterns = "Tiled map|*.tmx";
// Message box flags: error and warning icons; Yes/No with No as the default button.
constexpr int kErrorIcon = 16;
constexpr int kWarningIcon = 48;
constexpr int kAskReplace = 4 | kWarningIcon | MessageDefaultSecond;
constexpr int kYes = 6;

// "Cannot export the Tiled map." and the reason as a sentence of its own.
std::string cannot(std::string reason) {
    if (reason.empty()) return "Cannot export the Tiled map.";
    reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    if (reason.back() != '.') reason += '.';
    return "Cannot export the Tiled map.\n" + reason;
}

// The map proposed in the dialog: beside the picture's file, named after it. The sheet gets
// the map's name with .png, so the picture's own name would make the sheet replace it.
std::string default_map_file(const std::string& document_file) {
    if (document_file.empty()) return "map.tmx";
    std::filesystem::path path(document_file);
    return (path.parent_path() / (path.stem().string() + "-map.tmx")).string();
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

void export_tiled_map(EditorState& state) {
    // What the user sees is what the map shows: floating pixels are put down first.
    if (state.document.selection.is_floating()) selection_drop(state);
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture) return;
    const SourceGrid grid = tile_grid(state);
    StrayPixels stray;
    Result<TiledMapPlan> plan = [&] {
        BusyWork busy(kTitle, "Choosing the tiles");
        stray = tiled_map_stray_pixels(*picture, grid);
        return tiled_map_plan(*picture, grid);
    }();
    if (!plan.ok()) {
        message_box(kTitle, cannot(plan.error), kErrorIcon);
        return;
    }
    // A map holds whole cells only: pixels in the margin, the gaps or a partial last row or
    // column would be lost, so the user decides before anything is written.
    if (stray.count > 0) {
        const std::string text =
            std::to_string(stray.count) + (stray.count == 1 ? " pixel" : " pixels") +
            " of the picture (the first at " + std::to_string(stray.first_x) + ", " +
            std::to_string(stray.first_y) + ")" + (stray.count == 1 ? " lies" : " lie") +
            " outside every cell of the grid, in its offset, its gaps or a partial last row or "
            "column. The map shows only the cells: Tiled will not draw these pixels.\nExport the map "
            "anyway?";
        if (continue_box(kTitle, text) != ContinueAction) return;
    }

    const std::string typed =
        save_file_dialog(kDialogTitle, default_map_file(state.document.file), kPatterns, 0);
    if (typed.empty()) return;
    const TiledMapNames names = tiled_map_names(typed);
    const std::vector<std::string> paths{names.png, names.tsx, names.tmx};
    for (const std::string& path : paths) {
        if (!state.document.file.empty() && same_file(path, state.document.file)) {
            message_box(kTitle,
                        "The map's files cannot replace the picture they are made from: " + path +
                            "\nChoose another name.",
                        kWarningIcon);
            return;
        }
    }
    std::string existing;
    for (const std::string& path : paths) {
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored)) existing += "\n" + path;
    }
    // No is the default answer, so two presses of Enter replace nothing.
    if (!existing.empty() &&
        message_box(kTitle, "These files exist. Replace them?" + existing, kAskReplace) != kYes) {
        return;
    }
    for (const std::string& path : paths) {
        if (const std::string problem = file_write_problem(path); !problem.empty()) {
            message_box(kTitle,
                        cannot("cannot write " + path + ": " + problem) + "\nNo file was written or changed.",
                        kErrorIcon);
            return;
        }
    }
    std::string error;
    bool written = false;
    {
        BusyWork busy(kTitle, "Assembling the sheet");
        Result<TiledMap> map = tiled_map_build(*picture, *plan.value, names);
        busy.set_text("Encoding " + file_part(names.png));
        Result<std::vector<OutputFile>> files = map.ok()
                                                    ? tiled_map_files(std::move(*map.value))
                                                    : Result<std::vector<OutputFile>>::failure(map.error);
        busy.set_text("Writing the files");
        error = files.error;
        written = files.ok() && files_write_together(*files.value, &error);
    }
    if (!written) {
        message_box(kTitle, cannot(error) + "\nNo file was written or changed.", kErrorIcon);
    }
}

}  // namespace

bool tile_export_menu_event(EditorState& state, std::int64_t id) {
    if (id != MenuExportTiledMap) return false;
    export_tiled_map(state);
    return true;
}

}  // namespace morvane
