// The document: the picture at its own size (image DocumentImage, the only copy), the file it
// belongs to, its undo history and whether it changed since it was opened, made or saved.
#pragma once

#include <optional>
#include <string>

#include "app/document/history.h"
#include "app/document/selection.h"
#include "tileset/links.h"

namespace morvane {

struct Document {
    std::string file;  // the file opened or last saved; "" when none
    History history;   // undo steps: a stroke, a fill, a shape, a clear or a resize each
    Selection selection;
    // A change that no undo step holds (a step larger than the history's bound, paint outside
    // a stroke): the document stays modified until it is saved or replaced.
    bool unrecorded_change = false;
    // Tile mode's links between the cells that hold the same tile; empty when none were built
    // for the picture now shown (a new or opened picture), to be built before the next use.
    std::optional<TileLinks> tiles;

    /// Unsaved changes: the history is away from the state that was opened or saved.
    bool modified() const { return unrecorded_change || !history.at_saved_point(); }
};

/// Window title of a document: "Morvane", or "name.png - Morvane" with a file (its name
/// only), with a leading "*" while there are unsaved changes.
std::string document_title(const Document& document);

}  // namespace morvane
