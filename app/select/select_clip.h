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

/// One painting step clipped to the selection, for its lifetime. The drawing session it
/// gives covers only the selected part of the picture with document coordinates kept, so
/// shapes, the eraser and the fill stop at the selection's edge; the brush stamps the picture
/// directly, so the pixels outside the selection that the step can reach are kept and
/// written back when the step ends.
class SelectionClip {
  public:
    /// For the painting step of canvas `subtype` at document pixel (x, y).
    SelectionClip(const EditorState& state, std::int64_t subtype, int x, int y);
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
    bool clipping_ = false;  // something is selected
    Rect clip_;              // the selected part of the picture
    std::vector<Kept> kept_;
};

}  // namespace morvane
