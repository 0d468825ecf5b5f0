// Saving a picture under the name the user types, named as tile sets are.
#include <cctype>

#include "app/startup/desktop.h"
#include "app/tilesets/tileset_commands.h"
#include "image/codec.h"
#include "image/file.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

std::string message_with_reason(const std::string& first, const std::string& reason) {
    std::string text = first;
    if (reason.empty()) return text;
    text += '\n';
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    text.append(reason, 1);
    return text;
}

bool tileset_save_dialog(ObjectNumber number, const std::string& default_file, TileSetTarget* target,
                         bool* saved, int pattern_index, bool typed_extension) {
    const std::string typed = save_file_dialog("Save Image...", default_file, TileSetPatterns, pattern_index);
    if (typed.empty()) return false;
    const int pattern = file_dialog_pattern();
    if (!(typed_extension ? typed_target(typed, pattern, target) : tileset_target(typed, pattern, target)))
        return false;

    // The question names the file that will really be written, and only that one; Enter
    // answers No, so that accepting the proposed name twice cannot replace the source picture.
    const std::string file = target->file();
    // A file that may not be written is refused before any question and left as it is; the
    // caller goes on as after a failed save.
    if (const std::string problem = file_write_problem(file); !problem.empty()) {
        message_box("Save Image", message_with_reason("Cannot save image: " + typed, problem));
        *saved = false;
        return true;
    }
    if (file_size(file) != -1 &&
        message_box("Save an image", "Overwrite this file? " + file, 4 | MessageDefaultSecond) != 6) {
        return false;
    }
    *saved = image_save(number, file, target->tag) != 0;
    if (*saved) recent_note(file);
    if (!*saved) {
        const std::string problem = file_write_problem(file);
        message_box("Save Image", message_with_reason("Cannot save image: " + typed, problem));
    }
    return true;
}

}  // namespace morvane
