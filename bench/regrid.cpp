// One option change in the re-grid window on a 2048 x 2048 sheet of random pixels in 16 x 16
// tiles: the whole event as the user waits for it (re-plan, re-assembly, size text, command
// line, preview drawn and the canvas repainted). The editor runs on Qt's offscreen platform.
// Baseline in the same run: one copy of the 16 MiB picture.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "app/regrid/regrid_window.h"
#include "app/startup/startup.h"
#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr int kSide = 2048;
const char* const kSheet = "/tmp/morvane_bench_regrid_2048.png";

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Settings and the recent list go to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_config", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        // The sheet: random opaque pixels, written once.
        if (!image_create(60, kSide, kSide, 32)) std::abort();
        const Bitmap* b = bitmap_from_handle(image_handle(60));
        std::mt19937 random(7);
        for (int y = 0; y < kSide; ++y) {
            std::uint32_t* row = reinterpret_cast<std::uint32_t*>(b->row(y));
            for (int x = 0; x < kSide; ++x) row[x] = random() | 0xFF000000u;
        }
        if (!image_save(60, kSheet, FormatPng)) std::abort();
        image_free(60);
        return s;
    }();
    return *state;
}

// Opens the window on the sheet with 16 x 16 tiles, the grid layout and 128 columns.
void open_window(EditorState& s, bool dedup_flips) {
    dialog_set_responder([](const DialogRequest&) { return DialogReply{0, kSheet, 0}; });
    regrid_window_open(s);
    dialog_set_responder({});
    if (!window_handle(RegridWindow)) std::abort();
    auto change = [&s](int widget, std::int64_t value) {
        widget_set_state(widget, value);
        regrid_window_event(s, widget, 768);
    };
    change(regrid::TileWidthSpin, 16);
    change(regrid::TileHeightSpin, 16);
    change(regrid::LayoutCombo, 1);
    change(regrid::ColumnsSpin, 128);
    if (dedup_flips) change(regrid::DedupFlipsCheck, 1);
}

// Each iteration is one user change of `widget` between two values.
void option_change(benchmark::State& bench, int widget, std::int64_t a, std::int64_t b, bool dedup_flips) {
    EditorState& s = editor();
    open_window(s, dedup_flips);
    bool flip = false;
    for (auto _ : bench) {
        widget_set_state(widget, flip ? a : b);
        regrid_window_event(s, widget, 768);
        flip = !flip;
    }
    if (widget_enabled(regrid::SaveButton) != 1) bench.SkipWithError("the sheet was not made");
    regrid_window_close();
}

void BM_Copy2048Picture(benchmark::State& bench) {
    std::vector<std::uint32_t> from(std::size_t(kSide) * kSide, 0x12345678u), to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
    }
}
void BM_SpacingChange_Grid(benchmark::State& b) {
    option_change(b, regrid::SpacingSpin, 2, 3, false);
}
void BM_ExtrudeChange_Grid(benchmark::State& b) {
    option_change(b, regrid::ExtrudeSpin, 0, 1, false);
}
void BM_LayoutChange_ClassicGrid(benchmark::State& b) {
    option_change(b, regrid::LayoutCombo, 0, 1, false);
}
void BM_SpacingChange_DedupFlips(benchmark::State& b) {
    option_change(b, regrid::SpacingSpin, 2, 3, true);
}
// A change of the input grid compares all 16,384 tiles again.
void BM_InMarginChange_DedupFlips(benchmark::State& b) {
    option_change(b, regrid::InMarginSpin, 0, 1, true);
}

BENCHMARK(BM_Copy2048Picture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpacingChange_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtrudeChange_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutChange_ClassicGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpacingChange_DedupFlips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InMarginChange_DedupFlips)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
