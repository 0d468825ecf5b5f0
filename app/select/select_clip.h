// Painting inside the selection: while something is selected, a painting step changes only
// the selected pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "app/document/paint_region.h"
#include "app/editor_state.h"

namespace morvane {

struct Bitmap;
struct DrawingSession;

/// One painting step clipped to the selection, for its lifetime. The pixels outside the
/// selection that the step can reach are kept and written back when it ends, so the tools
/// paint inside it exactly what they paint without one. The fill gets a drawing session that
/// covers only the selected part of the picture (document coordinates kept): its region is
/// found inside the selection.
class SelectionClip {
  public:
    /// For the painting step of canvas `subtype` at document pixel (x, y).
    SelectionClip(EditorState& state, std::int64_t subtype, int x, int y);
    ~SelectionClip();
    SelectionClip(const SelectionClip&) = delete;
    SelectionClip& operator=(const SelectionClip&) = delete;

    /// A prepared drawing session on the document picture, cut to the selection when there
    /// is one (null when the picture is missing).
    DrawingSession* output() const;

  private:
    struct Kept {
        Rect rect;
        std::vector<std::uint8_t> bytes;
    };
    void keep(const Rect& rect);

    Bitmap* picture_ = nullptr;
    ObjectNumber image_ = 0;  // the document picture's number, for its drawing session
    bool clipping_ = false;  // something is selected
    bool confined_ = false;  // the session covers only the selection
    Rect clip_;              // the selected part of the picture
    std::vector<Kept> kept_;
};

}  // namespace morvane
