// Saving a picture under the name the user types, named as tile sets are.
#include "app/commands.h"
#include "app/desktop.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

bool tileset_save_dialog(ObjectNumber number, const std::string& default_file, TileSetTarget* target,
                         bool* saved, int pattern_index) {
    const std::string typed = save_file_dialog("Save Image...", default_file, TileSetPatterns, pattern_index);
    if (typed.empty()) return false;
    if (!tileset_target(typed, file_dialog_pattern(), target)) return false;

    // The question names the file that will really be written, and only that one; Enter
    // answers No, so that accepting the proposed name twice cannot replace the source picture.
    const std::string file = target->file();
    if (file_size(file) != -1 &&
        message_box("Save an image", "Overwrite this file? " + file, 4 | MessageDefaultSecond) != 6) {
        return false;
    }
    *saved = image_save(number, file, target->tag) != 0;
    if (*saved) recent_note(file);
    if (!*saved) message_box("Save Image", "Cannot save image: " + typed);
    return true;
}

}  // namespace morvane
