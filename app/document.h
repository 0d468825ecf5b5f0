// The document: the picture at its own size (image DocumentImage, the only copy), the file it
// belongs to and whether it changed since.
#pragma once

#include <string>

namespace morvane {

struct Document {
    std::string file;       // the file opened or last saved, empty for a new picture
    bool modified = false;  // changed since it was opened, made or saved
};

}  // namespace morvane
