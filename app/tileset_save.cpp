// Saving a tile set under the name the user types, and "Save the tileSet".
#include "app/commands.h"
#include "app/desktop.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

bool tileset_save_dialog(ObjectNumber number, const std::string& default_file, TileSetTarget* target,
                         bool* saved) {
    const std::string typed = save_file_dialog("Save Image...", default_file, TileSetPatterns, 0);
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

void tileset_save_command(EditorState& state) {
    // The document is saved as it is: it is always at its own size.
    if (!image_exists(DocumentImage)) return;
    TileSetTarget target;
    bool saved = false;
    tileset_save_dialog(DocumentImage, "", &target, &saved);
    if (saved) {
        state.document.file = target.file();
        state.document.modified = false;
    }
}

}  // namespace morvane
