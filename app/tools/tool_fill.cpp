// The fill tool: on the press only, the region of the seed pixel's exact colour, alpha
// included, so a transparent background stops at an opaque outline of any colour.
#include <cstring>

#include "app/tiles/tile_mode.h"
#include "app/tiles/tile_wrap.h"
#include "app/tools/tool.h"
#include "draw/draw.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

namespace {

class FillTool final : public PaintTool {
  public:
    Rect press(EditorState& state, int x, int y) override {
        const Bitmap* picture = state.document.picture_or_null();
        if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height) return {};
        if (Rect cell; tile_wrap_fill(state, x, y, &cell)) return cell;
        if (Rect in_tiles; tile_fill(state, x, y, &in_tiles)) return in_tiles;
        // The region is not known before the fill, but only pixels of the seed's exact stored
        // value can change: the step saves the tiles that hold one (and keeps only those that
        // really changed).
        std::uint32_t seed = 0;
        std::memcpy(&seed, picture->row(y) + static_cast<std::ptrdiff_t>(picture->bpp / 8) * x,
                    static_cast<std::size_t>(picture->bpp / 8));
        const Rect whole{0, 0, picture->width, picture->height};
        state.document.history.save_before_holding(whole, seed);
        drawing_mode_set(paint_mode(state));
        fill_area_exact(x, y, state.tools.brush_color);
        return whole;
    }
    Rect move(EditorState&, int, int) override { return {}; }
    Rect release(EditorState&, int, int) override { return {}; }
};

}  // namespace

PaintTool& fill_tool() {
    static FillTool tool;
    return tool;
}

}  // namespace morvane
