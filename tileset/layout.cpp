// Layout arithmetic: the input grid, the classic layout and the planned output sheet.
#include <algorithm>
#include <cmath>

#include "tileset/tileset.h"

namespace morvane {

namespace {

// Nearest integer, halves to the even one (the default rounding mode).
std::int64_t round_even(double value) {
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int64_t ceil_div(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

std::int64_t power_of_two_at_least(std::int64_t value) {
    std::int64_t p = 1;
    while (p < value && p < (std::int64_t{1} << 40)) p *= 2;
    return p;
}

std::string size_text(std::int64_t w, std::int64_t h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

}  // namespace

SourceGrid source_grid(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                       std::int64_t tile_height, std::int64_t margin, std::int64_t spacing) {
    SourceGrid g;
    g.tile_width = tile_width;
    g.tile_height = tile_height;
    g.margin = margin;
    g.spacing = spacing;
    if (tile_width < 1 || tile_height < 1 || margin < 0 || spacing < 0) return g;
    // A tile is whole when it ends inside the picture; the margin is needed only before the
    // first tile, as Tiled counts them.
    if (width - margin >= tile_width) g.columns = (width - margin - tile_width) / (tile_width + spacing) + 1;
    if (height - margin >= tile_height)
        g.rows = (height - margin - tile_height) / (tile_height + spacing) + 1;
    return g;
}

ClassicLayout classic_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space,
                             std::int64_t tile_count) {
    ClassicLayout l;
    l.picture_width = width;
    l.picture_height = height;
    l.tile_width = tile_width;
    l.tile_height = tile_height;
    l.columns = columns;
    l.space = space > 0 ? space : 0;
    if (tile_width < 1 || tile_height < 1 || columns < 1) return l;

    // The height the picture's area needs at the export width, in floating point, raised to
    // the rows the tiles really take so that no tile is cut off.
    const double area = static_cast<double>(width) * static_cast<double>(height);
    l.rows_px = round_even(std::ceil(area / static_cast<double>(columns * tile_width)));
    l.rows_px = std::max(l.rows_px, ceil_div(tile_count, columns) * tile_height);
    l.export_width = columns * tile_width;
    l.export_height = l.rows_px;
    if (l.space > 0) {
        l.export_width += columns * l.space;
        l.export_height += round_even(static_cast<double>(l.rows_px) / static_cast<double>(tile_height) *
                                      static_cast<double>(l.space));
    }

    // Whole tiles only: a partial tile at the right or bottom edge is dropped.
    l.grab_columns = width / tile_width;
    l.grab_rows = height / tile_height;
    l.last_row = round_even(std::ceil(static_cast<double>(l.rows_px) / static_cast<double>(tile_height)));
    l.tile_capacity =
        round_even((std::ceil(static_cast<double>(width) / static_cast<double>(tile_width)) + 1) *
                   (std::ceil(static_cast<double>(height) / static_cast<double>(tile_height)) + 1)) +
        1;
    return l;
}

ClassicLayout classic_layout(std::int64_t width, std::int64_t height, std::int64_t tile_width,
                             std::int64_t tile_height, std::int64_t columns, std::int64_t space) {
    const std::int64_t count =
        tile_width > 0 && tile_height > 0 ? (width / tile_width) * (height / tile_height) : 0;
    return classic_layout(width, height, tile_width, tile_height, columns, space, count);
}

std::string tileset_options_problem(const TileSetOptions& o, std::int64_t width, std::int64_t height) {
    const struct {
        const char* name;
        std::int64_t value, low;
    } ranges[] = {{"tile width", o.tile_width, 1},
                  {"tile height", o.tile_height, 1},
                  {"columns", o.columns, 1},
                  {"spacing", o.spacing, 0},
                  {"margin", o.margin, 0},
                  {"input margin", o.in_margin, 0},
                  {"input spacing", o.in_spacing, 0},
                  {"extrusion", o.extrude, 0}};
    for (const auto& r : ranges) {
        if (r.value < r.low || r.value > TileSetMaxSide) {
            return "the " + std::string(r.name) + " " + std::to_string(r.value) + " is out of range (" +
                   std::to_string(r.low) + " to " + std::to_string(TileSetMaxSide) + ")";
        }
    }
    if (o.kind == SheetKind::Classic) {
        if (o.margin > 0) return "the classic layout takes no margin (use the grid layout)";
        if (o.extrude > 0) return "the classic layout takes no extrusion (use the grid layout)";
        if (o.dedup || o.dedup_flips || o.skip_empty) {
            return "the classic layout keeps every tile (use the grid layout to drop duplicate or empty "
                   "tiles)";
        }
    }
    if (source_grid(width, height, o.tile_width, o.tile_height, o.in_margin, o.in_spacing).count() == 0) {
        std::string text = "tiles of " + size_text(o.tile_width, o.tile_height);
        if (o.in_margin > 0 || o.in_spacing > 0) {
            text += " with input margin " + std::to_string(o.in_margin) + " and input spacing " +
                    std::to_string(o.in_spacing);
        }
        return text + " leave no whole tile in the " + size_text(width, height) + " picture";
    }
    return {};
}

Sheet classic_sheet(const ClassicLayout& layout, bool pot) {
    Sheet s;
    s.kind = SheetKind::Classic;
    s.classic = layout;
    s.tile_width = layout.tile_width;
    s.tile_height = layout.tile_height;
    s.columns = std::max<std::int64_t>(layout.columns, 1);
    s.margin = s.spacing = layout.space;
    s.needed_width = layout.export_width;
    s.needed_height = layout.export_height;
    s.cells = layout.cell_count();
    s.tiles = std::min(layout.tile_count(), s.cells);
    s.width = pot ? power_of_two_at_least(s.needed_width) : s.needed_width;
    s.height = pot ? power_of_two_at_least(s.needed_height) : s.needed_height;
    return s;
}

Sheet tileset_plan(const TileSetOptions& o, std::int64_t width, std::int64_t height, std::int64_t kept) {
    if (o.kind == SheetKind::Classic) {
        ClassicLayout layout = classic_layout(width, height, o.tile_width, o.tile_height,
                                              std::max<std::int64_t>(o.columns, 1), o.spacing, kept);
        Sheet s = classic_sheet(layout, o.pot);
        s.tiles = std::min(kept, s.cells);
        return s;
    }
    Sheet s;
    s.kind = o.kind;
    s.tile_width = o.tile_width;
    s.tile_height = o.tile_height;
    s.columns = std::max<std::int64_t>(o.columns, 1);
    s.margin = o.margin;
    s.spacing = o.spacing;
    s.extrude = o.extrude;
    s.tiles = s.cells = kept;
    const std::int64_t rows = ceil_div(kept, s.columns);
    s.needed_width = 2 * s.margin + s.columns * s.pitch_x() - s.spacing;
    s.needed_height = rows > 0 ? 2 * s.margin + rows * s.pitch_y() - s.spacing : 2 * s.margin;
    s.width = o.pot ? power_of_two_at_least(s.needed_width) : s.needed_width;
    s.height = o.pot ? power_of_two_at_least(s.needed_height) : s.needed_height;
    return s;
}

std::string tileset_too_large_message(const Sheet& s) {
    std::string text = "The tile set would be " + size_text(s.width, s.height) + " pixels, larger than " +
                       std::to_string(TileSetMaxSide) + " on a side: choose ";
    if (s.width > TileSetMaxSide && s.height <= TileSetMaxSide)
        return text + "fewer columns or a smaller spacing.";
    return text + "more columns or larger tiles.";
}

}  // namespace morvane
