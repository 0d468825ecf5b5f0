// Tile-set conversion: cutting, assembling, saving and listing large pictures.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/tilesets/tileset_commands.h"
#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "tileset/links.h"
#include "tileset/tileset.h"

extern char** environ;

namespace morvane {
namespace {

constexpr ObjectNumber Picture = 9, TileSet = 17;

void codecs_ready() {
    static const bool ready = [] {
        image_codecs_init();
        bmp_codec_register();
        return png_decoder_register() && png_encoder_register();
    }();
    if (!ready) std::abort();
}

// Random bytes in all four channels.
void random_picture(ObjectNumber number, int side, std::uint32_t seed) {
    image_create(number, side, side, 32);
    Bitmap* b = bitmap_from_handle(image_handle(number));
    std::mt19937 random(seed);
    auto* words = reinterpret_cast<std::uint32_t*>(b->bits);
    for (std::size_t i = 0, n = static_cast<std::size_t>(b->stride) / 4 * b->height; i < n; ++i)
        words[i] = random();
}

// Peak resident memory of the process since the last reset, in MiB.
double peak_mib() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(f);
    return kib / 1024.0;
}
void peak_reset() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Grab and assemble only: everything before the PNG save.
void BM_Tileset4096_BeforeSave(benchmark::State& state) {
    codecs_ready();
    random_picture(Picture, 4096, 1);
    const TileSetLayout layout = tileset_layout(4096, 4096, 16, 16, 256, 2);
    peak_reset();
    for (auto _ : state) {
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        image_free(TileSet);
    }
    state.counters["peak_MiB"] = peak_mib();
    state.counters["tiles"] = static_cast<double>(layout.tile_count());
    image_free(Picture);
}
BENCHMARK(BM_Tileset4096_BeforeSave)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reference for the figure above on the same machine: copying the picture's 64 MiB into
// fresh memory of the tile set's size.
void BM_Tileset4096_MemcpyBaseline(benchmark::State& state) {
    random_picture(Picture, 4096, 1);
    const Bitmap* b = bitmap_from_handle(image_handle(Picture));
    const std::size_t bytes = static_cast<std::size_t>(b->stride) * b->height;
    for (auto _ : state) {
        std::vector<std::uint8_t> out(4608u * 4608u * 4u);
        std::memcpy(out.data(), b->bits, bytes);
        benchmark::DoNotOptimize(out.data());
    }
    image_free(Picture);
}
BENCHMARK(BM_Tileset4096_MemcpyBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole conversion: grab, assemble, PNG save and TileList.
void BM_Tileset4096_Whole(benchmark::State& state) {
    codecs_ready();
    random_picture(Picture, 4096, 2);
    const TileSetLayout layout = tileset_layout(4096, 4096, 16, 16, 256, 2);
    peak_reset();
    for (auto _ : state) {
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        if (!image_save(TileSet, "tileset_bench_4096.png", FormatPng)) state.SkipWithError("save failed");
        image_free(TileSet);
        text_file_write("tileset_bench_4096 subimages.txt",
                        tileset_list_text("tileset_bench_4096", ".png", layout));
    }
    state.counters["peak_MiB"] = peak_mib();
    image_free(Picture);
    std::remove("tileset_bench_4096.png");
    std::remove("tileset_bench_4096 subimages.txt");
}
BENCHMARK(BM_Tileset4096_Whole)->Unit(benchmark::kMillisecond)->Iterations(2);

// The command as a user runs it on tileset_in_2048.png (written once, random pixels): load,
// grab, assemble, PNG save, TileList. The ImageMagick comparison script uses the same file.
void BM_Tileset2048_Command(benchmark::State& state) {
    codecs_ready();
    const std::string input = "tileset_in_2048.png";
    random_picture(50, 2048, 3);
    if (!image_save(50, input, FormatPng)) state.SkipWithError("cannot write the input picture");
    image_free(50);
    peak_reset();
    for (auto _ : state) {
        if (!image_load(Picture, input)) state.SkipWithError("load failed");
        const TileSetLayout layout =
            tileset_layout(image_width(Picture), image_height(Picture), 16, 16, 128, 2);
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        if (!image_save(TileSet, "tileset_out_2048.png", FormatPng)) state.SkipWithError("save failed");
        image_free(TileSet);
        image_free(Picture);
        text_file_write("tileset_out_2048 subimages.txt",
                        tileset_list_text("tileset_out_2048", ".png", layout));
    }
    state.counters["peak_MiB"] = peak_mib();
}
BENCHMARK(BM_Tileset2048_Command)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- morvane-tileset as a user runs it: a whole separate process ----

// Runs the command line with `args` and returns its peak resident memory in MiB (-1 when
// it could not run or failed). The peak is taken by /usr/bin/time from its own child: a
// process started straight from here would report at least this process's peak, which
// the kernel carries over into a child that replaces itself with another program.
double run_cli(const std::vector<std::string>& args) {
    const char* rss_file = "tileset_cli_rss.txt";
    const bool timed = access("/usr/bin/time", X_OK) == 0;
    std::vector<std::string> all;
    if (timed) all = {"/usr/bin/time", "-f", "%M", "-o", rss_file};
    all.insert(all.end(), {MORVANE_TILESET_CLI, "--quiet"});
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    double kib = static_cast<double>(usage.ru_maxrss);
    if (timed) {
        if (std::FILE* f = std::fopen(rss_file, "r")) {
            if (std::fscanf(f, "%lf", &kib) != 1) kib = -1024;
            std::fclose(f);
        }
        std::remove(rss_file);
    }
    return kib / 1024.0;
}

// The input of the comparison: 2048 x 2048 random bytes in all four channels, as PNG.
const std::string& input_2048() {
    static const std::string path = [] {
        codecs_ready();
        random_picture(50, 2048, 3);
        image_save(50, "tileset_in_2048.png", FormatPng);
        image_free(50);
        return std::string("tileset_in_2048.png");
    }();
    return path;
}

// 16 x 16 tiles, 128 columns, spacing 2, written as PNG; extra options by benchmark.
void BM_TilesetCli2048(benchmark::State& state, std::vector<std::string> options) {
    options.insert(options.end(), {"--tile", "16x16", "--columns", "128", "--spacing", "2", input_2048(),
                                   "tileset_cli_2048.png"});
    double peak = 0;
    for (auto _ : state) {
        peak = run_cli(options);
        if (peak < 0) state.SkipWithError("morvane-tileset failed");
    }
    state.counters["peak_MiB"] = peak;
    std::remove("tileset_cli_2048.png");
}
BENCHMARK_CAPTURE(BM_TilesetCli2048, Classic, std::vector<std::string>{})
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_TilesetCli2048, Grid, std::vector<std::string>{"--layout", "grid"})
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_TilesetCli2048, GridExtrude1, std::vector<std::string>{"--layout", "grid", "--extrude", "1"})
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A 4096 x 4096 sheet of 16 x 16 tiles: the first half random, each tile of the second half
// a copy of an earlier one, turned or mirrored one of eight ways.
Bitmap* half_duplicate_sheet() {
    constexpr int side = 4096, n = 16, across = side / n;
    Bitmap* b = bitmap_create(side, side, 32);
    std::mt19937 random(5);
    const int tiles = across * across;
    for (int t = 0; t < tiles; ++t) {
        const int tx = (t % across) * n, ty = (t / across) * n;
        if (t < tiles / 2) {
            for (int y = 0; y < n; ++y) {
                auto* row = reinterpret_cast<std::uint32_t*>(b->row(ty + y)) + tx;
                for (int x = 0; x < n; ++x) row[x] = random() | 0xFF000000u;
            }
            continue;
        }
        const int from = static_cast<int>(random() % (tiles / 2)), how = static_cast<int>(random() % 8);
        const int fx = (from % across) * n, fy = (from / across) * n;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                int sx = how & 1 ? n - 1 - x : x, sy = how & 2 ? n - 1 - y : y;
                if (how & 4) std::swap(sx, sy);
                std::memcpy(b->row(ty + y) + 4 * (tx + x), b->row(fy + sy) + 4 * (fx + sx), 4);
            }
        }
    }
    return b;
}

// Duplicate removal with flips on 65,536 tiles: everything before the save (selection,
// plan, assembly into a new picture); with argument 1 also the export as a Tiled map (the
// empty cells and the TMX text).
void BM_TilesetDedupFlips4096_BeforeSave(benchmark::State& state) {
    const bool map = state.range(0) != 0;
    Bitmap* sheet = half_duplicate_sheet();
    TileSetOptions o;
    o.kind = SheetKind::Grid;
    o.tile_width = o.tile_height = 16;
    o.columns = 256;
    o.dedup_flips = true;
    std::int64_t kept = 0;
    std::size_t map_bytes = 0;
    for (auto _ : state) {
        const SourceGrid grid = source_grid(sheet->width, sheet->height, 16, 16);
        TileSelection selection;
        if (!tileset_select(*sheet, grid, o, &selection)) state.SkipWithError("selection failed");
        const Sheet plan = tileset_plan(o, sheet->width, sheet->height, selection.kept_count());
        Bitmap* out = bitmap_create(static_cast<std::int32_t>(plan.width), static_cast<std::int32_t>(plan.height), 32);
        if (!out || !tileset_assemble(*sheet, grid, selection, plan, *out)) state.SkipWithError("assembly failed");
        bitmap_destroy(out);
        if (map) {
            const std::vector<bool> empty = tileset_empty_tiles(*sheet, grid);
            map_bytes = tileset_tmx_text(grid, selection, plan, empty, TmxTileset{"sheet", "sheet.png", ""}).size();
        }
        kept = selection.kept_count();
    }
    state.counters["kept"] = static_cast<double>(kept);
    if (map) state.counters["tmx_bytes"] = static_cast<double>(map_bytes);
    bitmap_destroy(sheet);
}
BENCHMARK(BM_TilesetDedupFlips4096_BeforeSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// Peak memory of the whole command on a 4096 x 4096 input (BMP, 64 MiB of pixels) made into a
// classic tile set of 4608 x 4608 (81 MiB): the budget is input + output + 64 MiB.
void BM_TilesetCli4096_PeakMemory(benchmark::State& state) {
    codecs_ready();
    random_picture(50, 4096, 4);
    image_save(50, "tileset_in_4096.bmp", FormatBmp, 7, 32);
    image_free(50);
    double peak = 0;
    for (auto _ : state) {
        peak = run_cli({"--tile", "16x16", "--columns", "256", "--spacing", "2", "tileset_in_4096.bmp",
                        "tileset_cli_4096.png"});
        if (peak < 0) state.SkipWithError("morvane-tileset failed");
    }
    state.counters["peak_MiB"] = peak;
    state.counters["budget_MiB"] = 64.0 + 4608.0 * 4608.0 * 4.0 / 1048576.0 + 64.0;
    std::remove("tileset_in_4096.bmp");
    std::remove("tileset_cli_4096.png");
}
BENCHMARK(BM_TilesetCli4096_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Linking the cells of that sheet into groups of copies (mirrors and turns included), as
// entering tile mode does.
void BM_TileLinks4096_Build(benchmark::State& state) {
    Bitmap* sheet = half_duplicate_sheet();
    const SourceGrid grid = source_grid(sheet->width, sheet->height, 16, 16);
    TileLinks links;
    for (auto _ : state)
        if (!tile_links_build(*sheet, grid, true, &links)) state.SkipWithError("links failed");
    state.counters["groups"] = static_cast<double>(links.groups());
    bitmap_destroy(sheet);
}
BENCHMARK(BM_TileLinks4096_Build)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace morvane
