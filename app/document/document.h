// The document: the picture at its own size (the only copy), the file it belongs to, its undo
// history and whether it changed since it was opened, made or saved.
#pragma once

#include <optional>
#include <string>

#include "app/document/history.h"
#include "app/document/selection.h"
#include "tileset/links.h"
#include "app/ids.h"
#include "image/bitmap.h"
#include "image/image.h"

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

    /// The picture's pixels (32-bit, rows through Bitmap::row). An empty bitmap (no bits,
    /// size 0 x 0) while there is no picture. Valid until the picture is recreated, resized
    /// or replaced, or an undo step changes its size: never keep it across those.
    Bitmap& picture();
    const Bitmap& picture() const;
    /// The picture's pixels, or null while there is no picture.
    Bitmap* picture_or_null() { return has_picture() ? &picture() : nullptr; }
    const Bitmap* picture_or_null() const { return has_picture() ? &picture() : nullptr; }
    bool has_picture() const { return picture().bits != nullptr; }
    int width() const { return picture().width; }
    int height() const { return picture().height; }

    /// The picture with its file format, as the history records it; a record without
    /// storage while there is no picture. The record itself lasts as long as the document.
    Image& record();
    const Image& record() const;
    /// The numbered image that holds the picture, for the platform calls that take a number
    /// (drawing sessions, showing, the codecs).
    ObjectNumber image() const { return image_; }

    /// A new transparent picture of `width` x `height` in place of the old one. False (and
    /// no picture) when the size cannot be made.
    bool recreate(int width, int height);
    /// Resamples the picture to `width` x `height` (mode Smooth or Nearest). False, the
    /// picture unchanged, when it cannot.
    bool resize(int width, int height, int mode);
    /// The picture is dropped (a new one comes with recreate).
    void release();

  private:
    ObjectNumber image_ = DocumentImage;
};

/// Window title of a document: "Morvane", or "name.png - Morvane" with a file (its name
/// only), with a leading "*" while there are unsaved changes.
std::string document_title(const Document& document);

}  // namespace morvane
