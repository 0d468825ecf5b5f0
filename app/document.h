// The document: the file it was opened from or last saved to, and its undo history.
#pragma once

#include <string>

#include "app/history.h"

namespace morvane {

struct Document {
    std::string file;  // the file opened or last saved; "" when none
    History history;

    /// Unsaved changes: the history is away from the state that was opened or saved.
    bool modified() const { return !history.at_saved_point(); }
};

/// Window title of a document: "Morvane", or "name.png - Morvane" with a file (its name
/// only), with a leading "*" while there are unsaved changes.
std::string document_title(const Document& document);

}  // namespace morvane
