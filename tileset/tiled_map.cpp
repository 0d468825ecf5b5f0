// A picture as a Tiled map: the tiles chosen once, the sheet assembled, TSX and TMX written.
#include "tileset/tiled_map.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <utility>

#include "image/codec.h"

namespace morvane {

namespace {

// Sheets of up to this many columns keep the library's default; more tiles widen the sheet.
constexpr std::int64_t kDefaultColumns = 10;

struct Span {
    std::int64_t begin, end;  // x in [begin, end)
};

}  // namespace

StrayPixels tiled_map_stray_pixels(const Bitmap& source, const SourceGrid& grid) {
    StrayPixels stray;
    if ((source.bpp != 24 && source.bpp != 32) || !source.bits) return stray;
    const std::int64_t width = source.width, height = source.height;
    const bool cells = grid.columns > 0 && grid.rows > 0;
    // The columns of a cell row that no cell covers: the margin, the gaps, the partial rest.
    std::vector<Span> outside;
    if (cells) {
        std::int64_t x = 0;
        for (std::int64_t c = 0; c < grid.columns; ++c) {
            outside.push_back({x, std::min(width, grid.x(c))});
            x = grid.x(c) + grid.tile_width;
        }
        outside.push_back({x, width});
    }
    const Span whole{0, width};
    const std::int64_t pitch_y = grid.tile_height + grid.spacing;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t ry = y - grid.margin;
        const bool cell_row = cells && ry >= 0 && ry / pitch_y < grid.rows && ry % pitch_y < grid.tile_height;
        const Span* spans = cell_row ? outside.data() : &whole;
        const std::size_t span_count = cell_row ? outside.size() : 1;
        const std::uint8_t* row = source.row(static_cast<std::int32_t>(y));
        for (std::size_t s = 0; s < span_count; ++s) {
            for (std::int64_t x = spans[s].begin; x < spans[s].end; ++x) {
                if (source.bpp == 32 && row[4 * x + 3] == 0) continue;
                if (stray.count++ == 0) {
                    stray.first_x = x;
                    stray.first_y = y;
                }
            }
        }
    }
    return stray;
}

TiledMapNames tiled_map_names(const std::string& typed) {
    std::string base = typed, extension = ".tmx";
    if (base.size() > 4) {
        std::string end = base.substr(base.size() - 4);
        for (char& ch : end) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (end == ".tmx") {
            extension = base.substr(base.size() - 4);
            base.resize(base.size() - 4);
        }
    }
    return {base + ".png", base + ".tsx", base + extension};
}

Result<TiledMapPlan> tiled_map_plan(const Bitmap& source, const SourceGrid& grid) {
    using Plan = Result<TiledMapPlan>;
    if (source.bpp != 24 && source.bpp != 32) return Plan::failure("the picture has no colour pixels");
    TileSetOptions options;
    options.kind = SheetKind::Grid;
    options.tile_width = grid.tile_width;
    options.tile_height = grid.tile_height;
    options.in_margin = grid.margin;
    options.in_spacing = grid.spacing;
    options.dedup = options.dedup_flips = true;
    options.skip_empty = true;
    const std::string problem = tileset_options_problem(options, source.width, source.height);
    if (!problem.empty()) return Plan::failure(problem);
    TiledMapPlan plan;
    plan.grid = grid;
    try {
        if (!tileset_select(source, grid, options, &plan.selection))
            return Plan::failure("not enough memory");
    } catch (const std::bad_alloc&) {
        return Plan::failure("not enough memory");
    }
    const std::int64_t kept = plan.selection.kept_count();
    if (kept == 0)
        return Plan::failure("every cell of the picture is fully transparent: the map would be empty");
    // Near square for many tiles: ceil(sqrt(kept)) columns, found without rounding trouble.
    std::int64_t side = static_cast<std::int64_t>(std::sqrt(static_cast<double>(kept)));
    while (side * side < kept) ++side;
    while (side > 1 && (side - 1) * (side - 1) >= kept) --side;
    options.columns = std::min(kept, std::max(kDefaultColumns, side));
    plan.sheet = tileset_plan(options, source.width, source.height, kept);
    if (!plan.sheet.fits()) {
        return Plan::failure("the sheet of its " + std::to_string(kept) + " different tiles would be " +
                             std::to_string(plan.sheet.width) + "x" + std::to_string(plan.sheet.height) +
                             " pixels, larger than " + std::to_string(TileSetMaxSide) + " on a side");
    }
    return Plan::success(std::move(plan));
}

Result<TiledMap> tiled_map_build(const Bitmap& source, const TiledMapPlan& plan, const TiledMapNames& names) {
    using Map = Result<TiledMap>;
    TiledMap map;
    map.names = names;
    map.sheet.reset(bitmap_create(static_cast<std::int32_t>(plan.sheet.width),
                                  static_cast<std::int32_t>(plan.sheet.height), 32));
    if (!map.sheet) {
        return Map::failure("not enough memory for a " + std::to_string(plan.sheet.width) + "x" +
                            std::to_string(plan.sheet.height) + " picture");
    }
    if (!tileset_assemble(source, plan.grid, plan.selection, plan.sheet, *map.sheet))
        return Map::failure("the tiles cannot be assembled");
    try {
        const std::string name = file_part(names.tmx.substr(0, names.tmx.size() - 4));
        map.tsx = tileset_tsx_text(name, relative_path(names.tsx, names.png), plan.sheet);
        // Cells left out of the selection (fully transparent) are empty map cells.
        map.tmx = tileset_tmx_text(
            plan.grid, plan.selection, plan.sheet, {},
            TmxTileset{name, relative_path(names.tmx, names.png), relative_path(names.tmx, names.tsx)});
    } catch (const std::bad_alloc&) {
        return Map::failure("not enough memory");
    }
    return Map::success(std::move(map));
}

Result<std::vector<OutputFile>> tiled_map_files(TiledMap map) {
    using Files = Result<std::vector<OutputFile>>;
    EncodedPicture png = tileset_encode(*map.sheet, FormatPng);
    map.sheet.reset();
    if (!png) return Files::failure("the sheet cannot be encoded (not enough memory?): " + map.names.png);
    std::vector<OutputFile> files;
    files.push_back(OutputFile{map.names.png, {}, std::move(png)});
    files.push_back(OutputFile{map.names.tsx, std::move(map.tsx), nullptr});
    files.push_back(OutputFile{map.names.tmx, std::move(map.tmx), nullptr});
    return Files::success(std::move(files));
}

}  // namespace morvane
