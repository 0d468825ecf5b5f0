// The document: the picture at its own size (image DocumentImage, the only copy), the file it
// belongs to, whether it changed since, and its undo history.
#pragma once

#include <string>

#include "app/history.h"

namespace morvane {

struct Document {
    std::string file;                        // the file opened or last saved, empty for a new picture
    bool modified = false;                   // changed since it was opened, made or saved
    History history{History::DefaultLimit};  // undo steps: a stroke, a fill or a shape each
};

}  // namespace morvane
