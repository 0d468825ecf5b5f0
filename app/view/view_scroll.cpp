// The canvas is the visible part of the view: the editor keeps which view pixel shows at its
// top-left corner, keeps the picture in view (centred when it is smaller than the canvas),
// mirrors the position on the scroll bars and repaints only what a scroll uncovers.
#include <algorithm>

#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

// Clamps and stores a scroll position and shows it on the bars; returns the movement.
void place(EditorState& state, std::int64_t x, std::int64_t y, std::int64_t& dx, std::int64_t& dy) {
    const std::int64_t nx = view_scroll_clamp(x, state.view.view_width, view_visible_width());
    const std::int64_t ny = view_scroll_clamp(y, state.view.view_height, view_visible_height());
    dx = nx - state.view.scroll_x;
    dy = ny - state.view.scroll_y;
    state.view.scroll_x = nx;
    state.view.scroll_y = ny;
    // The bars run over [0, view - visible]; a centred picture leaves them at 0. Each one set
    // lays the scroll area out again, so only a bar that moves is set.
    const std::int64_t bar_x = std::max<std::int64_t>(nx, 0), bar_y = std::max<std::int64_t>(ny, 0);
    if (widget_get_attribute(ViewScrollArea, ScrollX) != bar_x)
        widget_set_attribute(ViewScrollArea, ScrollX, bar_x);
    if (widget_get_attribute(ViewScrollArea, ScrollY) != bar_y)
        widget_set_attribute(ViewScrollArea, ScrollY, bar_y);
}

}  // namespace

std::int64_t view_scroll_clamp(std::int64_t wanted, std::int64_t view, std::int64_t visible) {
    if (view <= visible) return -((visible - view) / 2);
    return std::clamp<std::int64_t>(wanted, 0, view - visible);
}

std::int64_t view_visible_width() {
    return widget_get_attribute(ViewScrollArea, ScrollVisibleWidth);
}

std::int64_t view_visible_height() {
    return widget_get_attribute(ViewScrollArea, ScrollVisibleHeight);
}

std::int64_t canvas_to_document_x(const EditorState& state, std::int64_t x) {
    return view_to_document(x + state.view.scroll_x, state.view.zoom);
}

std::int64_t canvas_to_document_y(const EditorState& state, std::int64_t y) {
    return view_to_document(y + state.view.scroll_y, state.view.zoom);
}

void view_fit(EditorState& state, std::int64_t x, std::int64_t y) {
    widget_set_attribute(ViewScrollArea, ScrollContentWidth, state.view.view_width);
    widget_set_attribute(ViewScrollArea, ScrollContentHeight, state.view.view_height);
    widget_resize(ViewCanvas, 0, 0, static_cast<int>(view_visible_width()),
                  static_cast<int>(view_visible_height()));
    std::int64_t dx = 0, dy = 0;
    place(state, x, y, dx, dy);
    view_redraw(state);
}

void view_scroll_to(EditorState& state, std::int64_t x, std::int64_t y) {
    std::int64_t dx = 0, dy = 0;
    place(state, x, y, dx, dy);
    canvas_scroll(ViewCanvas, static_cast<int>(std::clamp<std::int64_t>(-dx, -1000000000, 1000000000)),
                  static_cast<int>(std::clamp<std::int64_t>(-dy, -1000000000, 1000000000)));
}

void view_scrollbars_moved(EditorState& state) {
    // Only an axis the picture overflows scrolls; a centred one stays centred.
    std::int64_t x = state.view.scroll_x, y = state.view.scroll_y;
    if (state.view.view_width > view_visible_width()) x = widget_get_attribute(ViewScrollArea, ScrollX);
    if (state.view.view_height > view_visible_height()) y = widget_get_attribute(ViewScrollArea, ScrollY);
    view_scroll_to(state, x, y);
}

}  // namespace morvane
