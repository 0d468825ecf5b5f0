// Showing the document on the canvas: the canvas asks for its exposed part at each paint
// and gets it composed from the document; a change repaints only its rectangle.
#include <algorithm>

#include "app/tiles/tile_grid.h"
#include "app/tiles/tile_mode.h"
#include "app/select/select_tool.h"
#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {

namespace {

ViewSpec view_spec(const EditorState& state) {
    ViewSpec v;
    v.view_width = state.view.view_width;
    v.view_height = state.view.view_height;
    v.zoom = state.view.zoom;
    v.grid_visible = state.view.grid_visible != 0;
    v.grid_width = state.view.grid_width;
    v.grid_height = state.view.grid_height;
    v.grid_color = static_cast<Color>(state.view.grid_color);
    const SourceGrid cells = tile_grid(state);
    v.grid_offset = cells.margin;
    v.grid_gap = cells.spacing;
    v.grid_columns = cells.columns;
    v.grid_rows = cells.rows;
    v.tiles.links = tile_links_if_current(state);
    v.tiles.numbers = state.view.tile_numbers;
    v.tiles.pointer_cell = state.view.tile_pointer_cell;
    v.selection = selection_layer(state);
    return v;
}

}  // namespace

void view_compose_into(const EditorState& state, int x, int y, int w, int h, std::uint32_t* pixels,
                       int stride) {
    const Bitmap* picture = state.document.picture_or_null();
    if (picture && view_compose(*picture, view_spec(state), x, y, w, h, pixels, stride)) return;
    // No document (or no memory for the scratch rows): the canvas stays white.
    for (int r = 0; r < h; ++r) std::fill_n(pixels + std::ptrdiff_t{r} * stride, w, 0xFFFFFFFFu);
}

std::vector<std::uint32_t> view_compose_rect(const EditorState& state, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    view_compose_into(state, x, y, w, h, out.data(), w);
    return out;
}

std::vector<std::uint32_t> view_compose_all(const EditorState& state) {
    return view_compose_rect(state, 0, 0, static_cast<int>(state.view.view_width),
                             static_cast<int>(state.view.view_height));
}

void view_redraw(EditorState&) {
    canvas_invalidate(ViewCanvas, 0, 0, static_cast<int>(view_visible_width()),
                      static_cast<int>(view_visible_height()));
}

void view_show_document_rect(EditorState& state, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                             std::int64_t y1) {
    // Document pixel d covers view pixels from ceil(d * zoom / 100) up to ceil((d + 1) * zoom / 100);
    // the canvas shows the view from (scroll_x, scroll_y) on.
    const std::int64_t z = state.view.zoom;
    const std::int64_t vx0 =
        std::max<std::int64_t>(std::max<std::int64_t>(0, x0 * z / 100), state.view.scroll_x);
    const std::int64_t vy0 =
        std::max<std::int64_t>(std::max<std::int64_t>(0, y0 * z / 100), state.view.scroll_y);
    const std::int64_t vx1 =
        std::min({state.view.view_width, (x1 * z + 99) / 100, state.view.scroll_x + view_visible_width()});
    const std::int64_t vy1 =
        std::min({state.view.view_height, (y1 * z + 99) / 100, state.view.scroll_y + view_visible_height()});
    if (vx1 <= vx0 || vy1 <= vy0) return;
    canvas_invalidate(ViewCanvas, static_cast<int>(vx0 - state.view.scroll_x),
                      static_cast<int>(vy0 - state.view.scroll_y), static_cast<int>(vx1 - vx0),
                      static_cast<int>(vy1 - vy0));
}

}  // namespace morvane
