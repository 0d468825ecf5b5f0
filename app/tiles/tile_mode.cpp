// Tile mode's links and the copying of each painting step into the copies of the tiles it
// touched.
#include "app/tiles/tile_mode.h"

#include <algorithm>
#include <new>

#include "app/ids.h"
#include "app/tiles/tile_grid.h"
#include "app/view/view.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/menu.h"
#include "shell/statusbar.h"
#include "widgets/dialogs.h"

namespace morvane {

namespace {

// The status bar field that shows the tile under the pointer.

bool same_grid(const SourceGrid& a, const SourceGrid& b) {
    return a.tile_width == b.tile_width && a.tile_height == b.tile_height && a.margin == b.margin &&
           a.spacing == b.spacing && a.columns == b.columns && a.rows == b.rows;
}

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

void leave(EditorState& state) {
    state.tools.tile_mode = false;
    state.document.tiles.reset();
    state.view.tile_pointer_cell = -1;
    menu_set_item_checked(MainMenu, MenuTileMode, 0);
    menu_set_item_enabled(MainMenu, MenuRelinkTiles, 0);
    menu_set_item_enabled(MainMenu, MenuUnlinkTile, 0);
    status_part_set(state, StatusPart::Tile, "");
}

bool build(EditorState& state) {
    const Bitmap* picture = state.document.picture_or_null();
    TileLinks links;
    bool built = false;
    if (picture) {
        try {
            built = tile_links_build(*picture, tile_grid(state), state.tools.tile_link_mirrored, &links);
        } catch (const std::bad_alloc&) {
            built = false;
        }
    }
    if (!built) {
        leave(state);
        view_redraw(state);
        message_box("Tile Mode", "There is not enough memory to link the tiles of this picture.", 16);
        return false;
    }
    state.document.tiles = std::move(links);
    state.view.tile_links_width = state.view.base_width;
    state.view.tile_links_height = state.view.base_height;
    return true;
}

// The rectangle that the part `part` (document pixels, inside cell `from`) of a tile takes
// in cell `to`, through both cells' flips.
Rect copy_rect(const TileLinks& links, std::int64_t from, std::int64_t to, const Rect& part) {
    const SourceGrid& g = links.grid;
    const std::int64_t fx = g.x(from % g.columns), fy = g.y(from / g.columns);
    const std::int64_t tx = g.x(to % g.columns), ty = g.y(to / g.columns);
    const auto w = static_cast<std::int32_t>(g.tile_width), h = static_cast<std::int32_t>(g.tile_height);
    const std::uint8_t from_flips = links.flips[static_cast<std::size_t>(from)];
    const std::uint8_t to_flips = links.flips[static_cast<std::size_t>(to)];
    std::int32_t ax = static_cast<std::int32_t>(part.x0 - fx), ay = static_cast<std::int32_t>(part.y0 - fy);
    std::int32_t bx = static_cast<std::int32_t>(part.x1 - 1 - fx), by = static_cast<std::int32_t>(part.y1 - 1 - fy);
    tile_unflip_point(from_flips, w, h, &ax, &ay);
    tile_flip_point(to_flips, w, h, &ax, &ay);
    tile_unflip_point(from_flips, w, h, &bx, &by);
    tile_flip_point(to_flips, w, h, &bx, &by);
    return Rect{tx + std::min(ax, bx), ty + std::min(ay, by), tx + std::max(ax, bx) + 1, ty + std::max(ay, by) + 1};
}

}  // namespace

bool tile_mode_set(EditorState& state, bool on) {
    if (!on) {
        leave(state);
        view_redraw(state);
        return true;
    }
    if (tile_grid(state).count() == 0) {
        leave(state);
        message_box("Tile Mode", "The picture holds no whole tile of the grid. Choose a smaller grid in Tile Grid.",
                    48);
        return false;
    }
    state.tools.tile_mode = true;
    if (!build(state)) return false;
    menu_set_item_checked(MainMenu, MenuTileMode, 1);
    menu_set_item_enabled(MainMenu, MenuRelinkTiles, 1);
    menu_set_item_enabled(MainMenu, MenuUnlinkTile, 1);
    tile_pointer_moved(state, canvas_to_document_x(state, state.view.mouse_x),
                       canvas_to_document_y(state, state.view.mouse_y));
    view_redraw(state);
    return true;
}

bool tile_relink(EditorState& state) {
    return tile_mode_set(state, true);
}

const TileLinks* tile_links_if_current(const EditorState& state) {
    if (!state.tools.tile_mode || !state.document.tiles) return nullptr;
    if (state.view.tile_links_width != state.view.base_width ||
        state.view.tile_links_height != state.view.base_height ||
        !same_grid(state.document.tiles->grid, tile_grid(state)))
        return nullptr;
    return &*state.document.tiles;
}

const TileLinks* tile_links_current(EditorState& state) {
    if (!state.tools.tile_mode) return nullptr;
    if (const TileLinks* links = tile_links_if_current(state)) return links;
    // The picture or the grid changed since the links were made: link again.
    if (!build(state)) return nullptr;
    return &*state.document.tiles;
}

std::int64_t tile_unlink_cells(EditorState& state, const Rect& cells) {
    const TileLinks* current = tile_links_current(state);
    if (!current || cells.empty()) return 0;
    TileLinks& links = *state.document.tiles;
    const SourceGrid& g = links.grid;
    const std::int64_t pitch_x = g.tile_width + g.spacing, pitch_y = g.tile_height + g.spacing;
    // Cells whose pixels meet the rectangle.
    const std::int64_t c0 = std::max<std::int64_t>(0, floor_div(cells.x0 - g.margin - g.tile_width + 1, pitch_x) + 1);
    const std::int64_t r0 = std::max<std::int64_t>(0, floor_div(cells.y0 - g.margin - g.tile_height + 1, pitch_y) + 1);
    const std::int64_t c1 = std::min(g.columns - 1, floor_div(cells.x1 - 1 - g.margin, pitch_x));
    const std::int64_t r1 = std::min(g.rows - 1, floor_div(cells.y1 - 1 - g.margin, pitch_y));
    std::int64_t unlinked = 0;
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t c = c0; c <= c1; ++c) {
            const std::int64_t cell = r * g.columns + c;
            const std::int32_t group = links.group[static_cast<std::size_t>(cell)];
            if (group < 0 || links.members[static_cast<std::size_t>(group)].size() < 2) continue;
            tile_links_unlink(links, cell);
            ++unlinked;
        }
    }
    return unlinked;
}

Rect tile_mode_propagate(EditorState& state, const Rect& changed) {
    if (!state.tools.tile_mode || changed.empty()) return {};
    const TileLinks* current = tile_links_current(state);
    Bitmap* picture = state.document.picture_or_null();
    if (!current || !picture) return {};
    const TileLinks& links = *current;
    const SourceGrid& g = links.grid;
    if (g.count() == 0) return {};
    const std::int64_t pitch_x = g.tile_width + g.spacing, pitch_y = g.tile_height + g.spacing;
    const std::int64_t c0 = std::max<std::int64_t>(0, floor_div(changed.x0 - g.margin, pitch_x));
    const std::int64_t r0 = std::max<std::int64_t>(0, floor_div(changed.y0 - g.margin, pitch_y));
    const std::int64_t c1 = std::min(g.columns - 1, floor_div(changed.x1 - 1 - g.margin, pitch_x));
    const std::int64_t r1 = std::min(g.rows - 1, floor_div(changed.y1 - 1 - g.margin, pitch_y));
    History& history = state.document.history;
    Rect written;
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t c = c0; c <= c1; ++c) {
            const std::int64_t cell = r * g.columns + c;
            const std::int32_t group = links.group[static_cast<std::size_t>(cell)];
            if (group < 0 || links.members[static_cast<std::size_t>(group)].size() < 2) continue;
            const Rect part{std::max(changed.x0, g.x(c)), std::max(changed.y0, g.y(r)),
                            std::min(changed.x1, g.x(c) + g.tile_width), std::min(changed.y1, g.y(r) + g.tile_height)};
            if (part.empty()) continue;  // the change lies in the gap beside this cell
            // Each copy's pixels are kept for undo before they are written.
            for (const std::int32_t other : links.members[static_cast<std::size_t>(group)])
                if (other != cell) history.save_before(copy_rect(links, cell, other, part));
            const CellRect from{part.x0, part.y0, part.x1 - part.x0, part.y1 - part.y0};
            for (const CellRect& w : tile_links_propagate(links, *picture, cell, from))
                written = written.united(Rect{w.x, w.y, w.x + w.width, w.y + w.height});
        }
    }
    if (!history.recording() && !written.empty()) state.document.unrecorded_change = true;
    return written;
}

void tile_pointer_moved(EditorState& state, std::int64_t x, std::int64_t y) {
    if (!state.tools.tile_mode) return;
    const TileLinks* links = tile_links_current(state);
    if (!links) return;
    const std::int64_t cell = links->cell_at(x, y);
    status_part_set(state, StatusPart::Tile, tile_status_text(*links, cell));
    const auto group_of = [&](std::int64_t c) {
        return c < 0 || c >= links->grid.count() ? -1 : links->group[static_cast<std::size_t>(c)];
    };
    const std::int32_t before = group_of(state.view.tile_pointer_cell), now = group_of(cell);
    state.view.tile_pointer_cell = cell;
    // The outline follows the group under the pointer.
    if (before != now) view_redraw(state);
}

std::string tile_status_text(const TileLinks& links, std::int64_t cell) {
    if (cell < 0 || cell >= links.grid.count()) return "";
    const std::int32_t group = links.group[static_cast<std::size_t>(cell)];
    if (group < 0) return "No tile";
    const std::size_t copies = links.members[static_cast<std::size_t>(group)].size();
    return "Tile " + std::to_string(group + 1) + " of " + std::to_string(links.groups()) + ", " +
           std::to_string(copies) + (copies == 1 ? " copy" : " copies");
}

}  // namespace morvane
