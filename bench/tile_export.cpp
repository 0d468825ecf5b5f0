// "Export as Tiled Map..." of a 4096 x 4096 sheet of 16 x 16 cells, half of them mirrored or
// turned copies of the other half. Two figures: the work before the sheet's PNG is encoded
// (tiles chosen, pixels outside the cells looked for, sheet assembled, TSX and TMX written in
// memory), and the whole command as the user waits for it (the same, PNG encoding and the
// three files written). The editor runs on Qt's offscreen platform. Baseline in the same run:
// one copy of the 64 MiB picture.
#include "app/tiles/tile_export.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/ids.h"
#include "app/startup/desktop.h"
#include "app/startup/startup.h"
#include "app/tiles/tile_grid.h"
#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "tileset/tiled_map.h"
#include "widgets/dialogs.h"

namespace morvane {
namespace {

constexpr int kSide = 4096, kCell = 16;
const char* const kSheet = "/tmp/morvane_bench_tile_export_4096.png";
const char* const kOut = "/tmp/morvane_bench_tile_export";

// Cell (x, y) of a square tile turned by orientation k (bit 0: across, 1: down, 2: transposed).
int oriented(int k, int x, int y, int* ox) {
    if (k & 4) std::swap(x, y);
    if (k & 1) x = kCell - 1 - x;
    if (k & 2) y = kCell - 1 - y;
    *ox = x;
    return y;
}

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Settings and the recent list go to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_config", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        // Even cells random opaque tiles; each odd cell a turned or mirrored copy of one of them.
        if (!image_create(60, kSide, kSide, 32)) std::abort();
        const Bitmap* b = bitmap_from_handle(image_handle(60));
        std::mt19937 random(11);
        const int columns = kSide / kCell, cells = columns * columns;
        auto at = [b](int cell, int x, int y) {
            return reinterpret_cast<std::uint32_t*>(b->row((cell / (kSide / kCell)) * kCell + y)) +
                   (cell % (kSide / kCell)) * kCell + x;
        };
        for (int cell = 0; cell < cells; cell += 2) {
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) *at(cell, x, y) = random() | 0xFF000000u;
        }
        for (int cell = 1; cell < cells; cell += 2) {
            const int from = static_cast<int>(random() % static_cast<unsigned>((cell + 1) / 2)) * 2;
            const int k = 1 + static_cast<int>(random() % 7);
            for (int y = 0; y < kCell; ++y) {
                for (int x = 0; x < kCell; ++x) {
                    int ox = 0;
                    const int oy = oriented(k, x, y, &ox);
                    *at(cell, ox, oy) = *at(from, x, y);
                }
            }
        }
        if (!image_save(60, kSheet, FormatPng)) std::abort();
        image_free(60);
        if (!open_image_file(*s, kSheet)) std::abort();
        s->view.grid_width = s->view.grid_height = kCell;
        s->view.grid_offset = s->view.grid_gap = 0;
        std::filesystem::create_directories(kOut);
        return s;
    }();
    return *state;
}

void BM_Copy4096Picture(benchmark::State& bench) {
    std::vector<std::uint32_t> from(std::size_t(kSide) * kSide, 0x12345678u), to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
    }
}

void BM_TiledMapBeforeItsPng(benchmark::State& bench) {
    EditorState& s = editor();
    const Bitmap* picture = s.document.picture_or_null();
    const TiledMapNames names = tiled_map_names(std::string(kOut) + "/level");
    std::int64_t kept = 0;
    for (auto _ : bench) {
        const SourceGrid grid = tile_grid(s);
        Result<TiledMapPlan> plan = tiled_map_plan(*picture, grid);
        if (!plan.ok() || tiled_map_stray_pixels(*picture, grid).count != 0) bench.SkipWithError("no plan");
        Result<TiledMap> map = tiled_map_build(*picture, *plan.value, names);
        if (!map.ok()) bench.SkipWithError("no map");
        kept = plan.value->selection.kept_count();
        benchmark::DoNotOptimize(map.value->tmx.data());
    }
    bench.counters["tiles"] = static_cast<double>(kept);
}

void BM_ExportTiledMapCommand(benchmark::State& bench) {
    EditorState& s = editor();
    const std::string tmx = std::string(kOut) + "/level.tmx";
    // The dialog answers the name; the question about replacing the last run's files, Yes.
    dialog_set_responder([](const DialogRequest& request) {
        return request.kind == DialogKind::SaveFile ? DialogReply{0, std::string(kOut) + "/level", 0}
                                                    : DialogReply{6, "", 0};
    });
    for (auto _ : bench) {
        std::filesystem::remove(tmx);
        tile_export_menu_event(s, MenuExportTiledMap);
        if (!std::filesystem::exists(tmx)) bench.SkipWithError("the map was not written");
    }
    dialog_set_responder({});
    bench.counters["png_bytes"] =
        static_cast<double>(std::filesystem::file_size(std::string(kOut) + "/level.png"));
}

BENCHMARK(BM_Copy4096Picture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TiledMapBeforeItsPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTiledMapCommand)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
