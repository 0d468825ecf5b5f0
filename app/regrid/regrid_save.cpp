// Saving the re-grid window's tile set: the name asked for, the sheet itself refused, existing
// files replaced only after a question, and every file written together or none.
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/regrid/regrid.h"
#include "widgets/dialogs.h"

namespace morvane {

namespace {

constexpr const char* kTitle = "Re-grid a Tile Set";
constexpr const char* kSavePatterns = "PNG Images|*.png|JPEG Images|*.jpeg|BMP Images|*.bmp";
// Message box flags: error and warning icons; Yes/No with No as the default button.
constexpr int kErrorIcon = 16;
constexpr int kWarningIcon = 48;
constexpr int kAskReplace = 4 | kWarningIcon | MessageDefaultSecond;
constexpr int kYes = 6;

bool same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) || a == b;
}

}  // namespace

bool regrid_save(RegridModel& model, std::string* output) {
    if (!model.problem.empty()) {
        message_box(kTitle, "Cannot save the tile set: " + model.problem, kWarningIcon);
        return false;
    }
    const std::string typed = save_file_dialog("Save the Tile Set...", *output, kSavePatterns, model.format);
    if (typed.empty()) return false;
    TileSetTarget target;
    const int pattern = file_dialog_pattern();
    if (!tileset_target(typed, pattern, &target)) return false;
    // The format follows the pattern chosen in the dialog.
    model.format = pattern;
    const std::string file = target.file();
    Result<std::vector<OutputFile>> outputs = regrid_outputs(model, file);
    if (!outputs.ok()) {
        message_box(kTitle, "Cannot save the tile set: " + outputs.error, kErrorIcon);
        return false;
    }
    const std::vector<OutputFile> files = std::move(*outputs.value);
    std::string error;
    for (const OutputFile& f : files) {
        if (same_file(f.path, model.input)) {
            message_box(
                kTitle,
                "The tile set cannot replace the sheet it is made from: " + f.path + "\nChoose another name.",
                kWarningIcon);
            return false;
        }
    }
    std::string existing;
    for (const OutputFile& f : files) {
        std::error_code ignored;
        if (std::filesystem::exists(f.path, ignored)) existing += "\n" + f.path;
    }
    // No is the default answer, so two presses of Enter replace nothing.
    if (!existing.empty() &&
        message_box(kTitle, "These files exist. Replace them?" + existing, kAskReplace) != kYes) {
        return false;
    }
    if (!files_write_together(files, &error)) {
        message_box(kTitle, "Cannot save the tile set: " + error + "\nNo file was written or changed.",
                    kErrorIcon);
        return false;
    }
    *output = file;
    return true;
}

}  // namespace morvane
