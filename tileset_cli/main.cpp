// morvane-tileset: the tile-set conversion of the editor for build pipelines, without a display.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/file.h"
#include "image/image.h"
#include "image/png_optimize.h"
#include "tileset/tileset.h"

namespace morvane {
namespace {

constexpr const char* Program = "morvane-tileset";
constexpr const char* Version = MORVANE_VERSION;
enum ExitStatus : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

constexpr const char* Help = R"(Usage: morvane-tileset [options] INPUT OUTPUT
Cuts the picture INPUT into tiles and lays them out again as the tile set OUTPUT.
The format of OUTPUT follows its extension: .png, .bmp, .jpg or .jpeg.

Tiles:
  --tile WxH          tile size (default 32x32)
  --in-margin N       pixels around the tiles of INPUT (default 0)
  --in-spacing N      pixels between the tiles of INPUT (default 0)
Layout:
  --layout KIND       classic (default: the editor's dialog, byte for byte) or grid
  --columns N         tiles per row (default 10)
  --spacing N         pixels between tiles (classic: also before the first row and column)
  --margin N          grid: pixels around the sheet
  --extrude N         grid: repeat each tile's edge pixels N times around it
  --dedup             grid: keep identical tiles once
  --dedup-flips       grid: also count mirrored and rotated copies as the same tile
  --skip-empty        grid: drop fully transparent tiles
  --pot               round the width and height up to powers of two
  --quality N         JPEG quality 0..100, in steps of 10 (default 70)
  --optimize          PNG at its smallest, still lossless: palette, grey or RGB and the
                      lowest bit depth the pixels allow (default: 8-bit RGBA)
Metadata (several may be given):
  --list FILE         TileList text (one line per cell: name:x:y:width:height)
  --tsx FILE          Tiled tileset
  --json FILE         JSON hash frames document
  --map FILE          for each INPUT tile in reading order, its Tiled tile number (output
                      tile + 1, 0 when dropped) with Tiled's flip bits; .csv or .json
  --tmx FILE          Tiled map (.tmx) of INPUT's tiles over the sheet written (with --dedup or
                      --dedup-flips it reuses tiles); fully transparent tiles are empty cells
Other:
  --quiet             no progress
  --help, --version
Exit status: 0 done, 1 reading or writing failed, 2 bad usage. Either every output is
written or none is.
)";

struct Failure {
    int status;
    std::string message;
};

struct Command {
    TileSetOptions options;
    std::string input, output, list, tsx, json, map, tmx;
    int quality = 70;
    bool quiet = false;
    bool optimize = false;
};

// A whole decimal number within low..high. A negative number, or one too long to read, is
// out of range rather than not a number.
std::int64_t number(const std::string& option, const std::string& text, std::int64_t low, std::int64_t high) {
    const std::size_t digits = text.size() > 1 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() == digits || text.find_first_not_of("0123456789", digits) != std::string::npos) {
        throw Failure{ExitUsage, option + ": '" + text + "' is not a whole number"};
    }
    const std::size_t significant = text.find_first_not_of('0', digits);
    const bool huge = significant != std::string::npos && text.size() - significant > 12;
    const std::int64_t value = huge ? (text[0] == '-' ? low - 1 : high + 1) : std::stoll(text);
    if (value < low || value > high) {
        throw Failure{ExitUsage, option + ": " + text + " is out of range (" + std::to_string(low) + " to " +
                                     std::to_string(high) + ")"};
    }
    return value;
}

Command parse(int argc, char** argv, bool* done) {
    Command c;
    std::vector<std::string> files;
    const std::int64_t max = TileSetMaxSide;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        bool has_value = false;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
            has_value = true;
        }
        auto take = [&]() -> std::string {
            if (has_value) return value;
            if (i + 1 >= argc) throw Failure{ExitUsage, arg + " needs a value"};
            return argv[++i];
        };
        TileSetOptions& o = c.options;
        if (arg == "--help") {
            std::fputs(Help, stdout);
            *done = true;
            return c;
        } else if (arg == "--version") {
            std::printf("%s %s\n", Program, Version);
            *done = true;
            return c;
        } else if (arg == "--tile") {
            const std::string v = take();
            const std::size_t x = v.find_first_of("xX");
            if (x == std::string::npos)
                throw Failure{ExitUsage, "--tile: '" + v + "' is not a size like 32x32"};
            o.tile_width = number("--tile", v.substr(0, x), 1, max);
            o.tile_height = number("--tile", v.substr(x + 1), 1, max);
        } else if (arg == "--columns") {
            o.columns = number(arg, take(), 1, max);
        } else if (arg == "--spacing") {
            o.spacing = number(arg, take(), 0, max);
        } else if (arg == "--margin") {
            o.margin = number(arg, take(), 0, max);
        } else if (arg == "--in-margin") {
            o.in_margin = number(arg, take(), 0, max);
        } else if (arg == "--in-spacing") {
            o.in_spacing = number(arg, take(), 0, max);
        } else if (arg == "--extrude") {
            o.extrude = number(arg, take(), 0, max);
        } else if (arg == "--quality") {
            c.quality = static_cast<int>(number(arg, take(), 0, 100));
            if (c.quality % 10 != 0) {
                throw Failure{ExitUsage, "--quality: " + std::to_string(c.quality) +
                                             " is not a step of 10 (0, 10, 20 ... 100)"};
            }
        } else if (arg == "--layout") {
            const std::string v = take();
            if (v == "classic") {
                o.kind = SheetKind::Classic;
            } else if (v == "grid") {
                o.kind = SheetKind::Grid;
            } else {
                throw Failure{ExitUsage, "--layout: '" + v + "' is neither classic nor grid"};
            }
        } else if (arg == "--dedup" || arg == "--dedup-flips" || arg == "--skip-empty" || arg == "--pot" ||
                   arg == "--quiet" || arg == "--optimize") {
            if (has_value) throw Failure{ExitUsage, arg + " takes no value"};
            if (arg == "--dedup") o.dedup = true;
            if (arg == "--dedup-flips") o.dedup_flips = true;
            if (arg == "--skip-empty") o.skip_empty = true;
            if (arg == "--pot") o.pot = true;
            if (arg == "--quiet") c.quiet = true;
            if (arg == "--optimize") c.optimize = true;
        } else if (arg == "--list" || arg == "--tsx" || arg == "--json" || arg == "--map" || arg == "--tmx") {
            std::string& target = arg == "--list"   ? c.list
                                  : arg == "--tsx"  ? c.tsx
                                  : arg == "--json" ? c.json
                                  : arg == "--tmx"  ? c.tmx
                                                    : c.map;
            target = take();
            if (target.empty()) throw Failure{ExitUsage, arg + " needs a file name"};
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw Failure{ExitUsage, "unknown option " + arg + " (see --help)"};
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) throw Failure{ExitUsage, "expected INPUT and OUTPUT (see --help)"};
    c.input = files[0];
    c.output = files[1];
    return c;
}

// Files are the same when they name one existing file, or the same path.
bool same_file(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, error), error);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, error), error);
    return !error && pa == pb;
}

void check_writable(const std::string& path) {
    const std::string problem = file_write_problem(path);
    if (!problem.empty()) throw Failure{ExitFailed, "cannot write " + path + ": " + problem};
}

class Progress {
  public:
    explicit Progress(bool quiet) : shown_(!quiet && ::isatty(STDERR_FILENO)) {}
    ~Progress() {
        if (shown_ && said_) std::fputs("\n", stderr);
    }
    void say(const std::string& step) {
        if (!shown_) return;
        std::fprintf(stderr, "\r%s: %-40s", Program, step.c_str());
        std::fflush(stderr);
        said_ = true;
    }
    void end() {
        if (shown_ && said_) std::fputs("\n", stderr);
        said_ = false;
    }

  private:
    bool shown_;
    bool said_ = false;
};

// The extension of a path's file name with its dot, in lower case ("" without one).
std::string lower_extension(const std::string& path) {
    const std::string name = file_part(path);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return extension;
}

int run(const Command& c) {
    const TileSetOptions& o = c.options;
    TileSetTarget target;
    if (!tileset_target_from_name(c.output, &target)) {
        throw Failure{ExitUsage, "the output " + c.output + " has no .png, .bmp, .jpg or .jpeg extension"};
    }
    std::string map_kind;
    if (!c.map.empty()) {
        map_kind = lower_extension(c.map);
        if (map_kind != ".csv" && map_kind != ".json") {
            throw Failure{ExitUsage, "the map " + c.map + " has no .csv or .json extension"};
        }
    }
    if (!c.tmx.empty() && lower_extension(c.tmx) != ".tmx") {
        throw Failure{ExitUsage, "the map " + c.tmx + " has no .tmx extension"};
    }
    std::vector<std::string> outputs{c.output};
    for (const std::string* extra : {&c.list, &c.tsx, &c.json, &c.map, &c.tmx}) {
        if (!extra->empty()) outputs.push_back(*extra);
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (same_file(outputs[i], c.input))
            throw Failure{ExitUsage, "the output " + outputs[i] + " is the input"};
        for (std::size_t j = 0; j < i; ++j) {
            if (same_file(outputs[i], outputs[j])) {
                throw Failure{ExitUsage, "the output " + outputs[i] + " is named twice"};
            }
        }
    }
    for (const std::string& path : outputs) check_writable(path);

    Progress progress(c.quiet);
    progress.say("reading " + file_part(c.input));
    image_codecs_init();
    bmp_codec_register();
    png_decoder_register();
    png_encoder_register();
    png_smallest_set(c.optimize);
    jpeg_decoder_register();
    jpeg_encoder_register();
    const LoadResult loaded = image_load_result(-1, c.input);
    if (!loaded.value) throw Failure{ExitFailed, "cannot read " + c.input + ": " + load_failure_text(loaded)};
    const auto picture = static_cast<ObjectNumber>(loaded.value);
    const Bitmap* source = bitmap_from_handle(image_handle(picture));
    if (!source || (source->bpp != 24 && source->bpp != 32)) {
        throw Failure{ExitFailed,
                      "cannot read " + c.input + ": " + load_failure_text({0, LoadFailure::NotPicture, {}})};
    }

    const std::string problem = tileset_options_problem(o, source->width, source->height);
    if (!problem.empty()) throw Failure{ExitUsage, problem};
    const SourceGrid grid =
        source_grid(source->width, source->height, o.tile_width, o.tile_height, o.in_margin, o.in_spacing);
    progress.say("choosing among " + std::to_string(grid.count()) + " tiles");
    TileSelection selection;
    if (!tileset_select(*source, grid, o, &selection)) throw Failure{ExitFailed, "not enough memory"};
    if (selection.kept_count() == 0) throw Failure{ExitFailed, "every tile of " + c.input + " is empty"};
    const Sheet sheet = tileset_plan(o, source->width, source->height, selection.kept_count());
    if (!sheet.fits()) throw Failure{ExitUsage, tileset_too_large_message(sheet)};

    std::vector<bool> empty;  // the tiles a map leaves as empty cells
    if (!c.tmx.empty()) {
        empty = tileset_empty_tiles(*source, grid);
        if (empty.empty()) throw Failure{ExitFailed, "not enough memory"};
    }

    progress.say("assembling " + std::to_string(sheet.tiles) + " tiles");
    Bitmap* out =
        bitmap_create(static_cast<std::int32_t>(sheet.width), static_cast<std::int32_t>(sheet.height), 32);
    if (!out) {
        throw Failure{ExitFailed, "not enough memory for a " + std::to_string(sheet.width) + "x" +
                                      std::to_string(sheet.height) + " picture"};
    }
    const bool assembled = tileset_assemble(*source, grid, selection, sheet, *out);
    image_free(picture);
    progress.say("encoding " + std::to_string(sheet.width) + "x" + std::to_string(sheet.height));
    std::vector<OutputFile> files;
    if (assembled) files.push_back({c.output, {}, tileset_encode(*out, target.tag, (c.quality + 5) / 10)});
    bitmap_destroy(out);
    if (!assembled || !files[0].picture) throw Failure{ExitFailed, "cannot encode " + c.output};

    const std::string prefix = file_part(target.base);
    if (!c.list.empty())
        files.push_back({c.list, tileset_list_text(prefix, target.extension, sheet), nullptr});
    if (!c.tsx.empty()) {
        files.push_back({c.tsx, tileset_tsx_text(prefix, relative_path(c.tsx, c.output), sheet), nullptr});
    }
    if (!c.json.empty()) {
        files.push_back({c.json,
                         tileset_json_text(prefix, target.extension, relative_path(c.json, c.output), sheet),
                         nullptr});
    }
    if (!c.map.empty()) {
        files.push_back({c.map,
                         map_kind == ".csv" ? tileset_map_csv(grid, selection, sheet)
                                            : tileset_map_json(grid, selection, sheet),
                         nullptr});
    }
    if (!c.tmx.empty()) {
        const TmxTileset tileset{prefix, relative_path(c.tmx, c.output),
                                 c.tsx.empty() ? std::string() : relative_path(c.tmx, c.tsx)};
        files.push_back({c.tmx, tileset_tmx_text(grid, selection, sheet, empty, tileset), nullptr});
    }
    progress.say("writing " + std::to_string(files.size()) + (files.size() == 1 ? " file" : " files"));
    std::string failure;
    if (!files_write_together(files, &failure)) throw Failure{ExitFailed, failure};
    progress.end();
    return ExitOk;
}

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    using namespace morvane;
    try {
        bool done = false;
        const Command command = parse(argc, argv, &done);
        if (done) return ExitOk;
        return run(command);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s: %s\n", Program, failure.message.c_str());
        return failure.status;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: not enough memory\n", Program);
        return ExitFailed;
    }
}
