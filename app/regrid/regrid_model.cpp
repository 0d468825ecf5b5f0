// The re-grid model: planning and assembling the sheet through the tile-set library, the
// equivalent command line and the files Save writes.
#include <algorithm>
#include <string>

#include "app/regrid/regrid.h"
#include "image/codec.h"
#include "image/png_optimize.h"

namespace morvane {

namespace {

// The options the tile selection depends on; the others only move tiles around.
bool same_selection_options(const TileSetOptions& a, const TileSetOptions& b) {
    return a.tile_width == b.tile_width && a.tile_height == b.tile_height && a.in_margin == b.in_margin &&
           a.in_spacing == b.in_spacing && a.dedup == b.dedup && a.dedup_flips == b.dedup_flips &&
           a.skip_empty == b.skip_empty;
}

const char* const kExtensions[] = {".png", ".jpg", ".bmp"};

// A word of the command line, quoted for a POSIX shell when it holds anything but plain
// characters.
std::string shell_word(const std::string& word) {
    bool plain = !word.empty();
    for (const char c : word) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' || c == ':' ||
                        c == '=' || c == '@' || c == '%';
        if (!ok) plain = false;
    }
    if (plain) return word;
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// The picture's file name for the model's format: the output with its extension replaced.
std::string base_of(const std::string& output) {
    TileSetTarget target;
    if (tileset_target_from_name(output, &target)) return target.base;
    return output;
}

}  // namespace

std::int64_t regrid_sheet_columns(const TileSetOptions& o, std::int64_t width, std::int64_t height) {
    const SourceGrid grid =
        source_grid(width, height, o.tile_width, o.tile_height, o.in_margin, o.in_spacing);
    return std::clamp<std::int64_t>(grid.columns, 1, TileSetMaxSide);
}

void regrid_forget(RegridModel& model) {
    model.selection_valid = false;
    model.selection_source = nullptr;
    model.selection = TileSelection{};
}

bool regrid_update(RegridModel& model, const Bitmap& source) {
    const TileSetOptions& o = model.options;
    const std::int64_t w = source.width, h = source.height;
    model.problem = tileset_options_problem(o, w, h);
    if (!model.problem.empty()) return false;

    model.grid = source_grid(w, h, o.tile_width, o.tile_height, o.in_margin, o.in_spacing);
    if (!model.selection_valid || model.selection_source != &source ||
        !same_selection_options(model.selection_options, o)) {
        model.selection = TileSelection{};
        model.selection_valid = false;
        if (!tileset_select(source, model.grid, o, &model.selection)) {
            model.problem =
                "not enough memory to compare the " + std::to_string(model.grid.count()) + " tiles";
            return false;
        }
        model.selection_valid = true;
        model.selection_options = o;
        model.selection_source = &source;
    }
    const std::int64_t kept = model.selection.kept_count();
    if (kept == 0) {
        model.problem = "every tile is empty: no tile is left to write";
        return false;
    }

    model.sheet = tileset_plan(o, w, h, kept);
    if (!model.sheet.fits()) {
        model.problem = tileset_too_large_message(model.sheet);
        return false;
    }
    // The picture is reused while the size stays; otherwise made anew (already transparent).
    const bool reuse = model.picture && model.picture->width == model.sheet.width &&
                       model.picture->height == model.sheet.height;
    if (!reuse) {
        model.picture.reset();
        model.picture.reset(bitmap_create(static_cast<std::int32_t>(model.sheet.width),
                                          static_cast<std::int32_t>(model.sheet.height), 32));
        if (!model.picture) {
            model.problem = "not enough memory for a " + std::to_string(model.sheet.width) + "x" +
                            std::to_string(model.sheet.height) + " picture";
            return false;
        }
    }
    if (!tileset_assemble(source, model.grid, model.selection, model.sheet, *model.picture, reuse)) {
        model.problem = "the tiles cannot be assembled from this picture";
        return false;
    }
    return true;
}

std::string regrid_summary(const RegridModel& model) {
    if (!model.problem.empty()) return "Cannot make the tile set: " + model.problem;
    const Sheet& s = model.sheet;
    std::string text = std::to_string(s.width) + " x " + std::to_string(s.height) + " pixels, " +
                       std::to_string(s.tiles) + (s.tiles == 1 ? " tile" : " tiles") + " in " +
                       std::to_string(s.columns) + (s.columns == 1 ? " column" : " columns");
    const std::int64_t dropped = model.grid.count() - model.selection.kept_count();
    if (dropped > 0)
        text += " (" + std::to_string(dropped) + " of " + std::to_string(model.grid.count()) + " dropped)";
    return text;
}

RegridFiles regrid_files(const RegridModel& model, const std::string& output) {
    RegridFiles f;
    const std::string base = base_of(output);
    f.picture = output;
    if (model.write_list) f.list = tileset_list_name(base);
    if (model.write_tsx) f.tsx = base + ".tsx";
    if (model.write_json) f.json = base + ".json";
    if (model.write_map) f.map = base + "_map.csv";
    return f;
}

std::string regrid_command_line(const RegridModel& model, const std::string& output) {
    const TileSetOptions& o = model.options;
    const RegridFiles files = regrid_files(model, output);
    std::string line =
        "morvane-tileset --tile " + std::to_string(o.tile_width) + "x" + std::to_string(o.tile_height);
    auto number = [&line](const char* name, std::int64_t value) {
        line += std::string(" ") + name + " " + std::to_string(value);
    };
    auto file = [&line](const char* name, const std::string& path) {
        if (!path.empty()) line += std::string(" ") + name + " " + shell_word(path);
    };
    if (o.in_margin != 0) number("--in-margin", o.in_margin);
    if (o.in_spacing != 0) number("--in-spacing", o.in_spacing);
    if (o.kind == SheetKind::Grid) line += " --layout grid";
    number("--columns", o.columns);
    if (o.margin != 0) number("--margin", o.margin);
    if (o.spacing != 0) number("--spacing", o.spacing);
    if (o.extrude != 0) number("--extrude", o.extrude);
    if (o.dedup_flips) {
        line += " --dedup-flips";
    } else if (o.dedup) {
        line += " --dedup";
    }
    if (o.skip_empty) line += " --skip-empty";
    if (o.pot) line += " --pot";
    if (model.format == RegridJpeg) number("--quality", model.quality);
    if (model.format == RegridPng && png_smallest()) line += " --optimize";  // the Preferences choice
    file("--list", files.list);
    file("--tsx", files.tsx);
    file("--json", files.json);
    file("--map", files.map);
    return line + " " + shell_word(model.input) + " " + shell_word(output);
}

Result<std::vector<OutputFile>> regrid_outputs(const RegridModel& model, const std::string& output) {
    using Outputs = Result<std::vector<OutputFile>>;
    if (!model.problem.empty() || !model.picture) {
        return Outputs::failure(model.problem.empty() ? "there is no tile set to save" : model.problem);
    }
    TileSetTarget target;
    if (!tileset_target_from_name(output, &target)) {
        return Outputs::failure("the picture's name must end in .png, .jpg, .jpeg or .bmp: " + output);
    }
    // JPEG quality goes to the encoder in steps of ten.
    const int parameter = target.tag == FormatJpeg ? (model.quality + 5) / 10 : 7;
    OutputFile picture{output, {}, tileset_encode(*model.picture, target.tag, parameter)};
    if (!picture.picture) {
        return Outputs::failure("the picture cannot be encoded (not enough memory?): " + output);
    }
    const RegridFiles names = regrid_files(model, output);
    const std::string prefix = file_part(target.base);
    std::vector<OutputFile> files;
    auto text_file = [&files](const std::string& path, std::string text) {
        files.push_back(OutputFile{path, std::move(text), nullptr});
    };
    files.push_back(std::move(picture));
    if (!names.list.empty()) text_file(names.list, tileset_list_text(prefix, target.extension, model.sheet));
    if (!names.tsx.empty()) {
        text_file(names.tsx, tileset_tsx_text(prefix, relative_path(names.tsx, output), model.sheet));
    }
    if (!names.json.empty()) {
        text_file(names.json, tileset_json_text(prefix, target.extension, relative_path(names.json, output),
                                                model.sheet));
    }
    if (!names.map.empty()) text_file(names.map, tileset_map_csv(model.grid, model.selection, model.sheet));
    return Outputs::success(std::move(files));
}

std::string regrid_extension(int format) {
    return kExtensions[format >= RegridPng && format <= RegridBmp ? format : RegridPng];
}

}  // namespace morvane
