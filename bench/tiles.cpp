// Tile mode on a 4096 x 4096 sheet of 16 x 16 cells (65,536 cells, half of them copies of
// another cell, 4,096 of those copies of one tile through the eight flips), in a 1600 x 1200
// view at 100 %: entering tile mode (the menu command with its repaint), and a brush stroke
// in a cell of the 4,096 copies, each press, move and release with its repaint. A copy of
// one 1600 x 1200 frame is the baseline for the ratios.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/startup/startup.h"
#include "app/tiles/tile_commands.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "image/image.h"
#include "shell/events.h"
#include "shell/window.h"
#include "tileset/links.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr int kViewportWidth = 1600, kViewportHeight = 1200;
constexpr int kSide = 4096, kCell = 16, kColumns = kSide / kCell;

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Settings and the recent list go to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_config", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        // The window sized so that the canvas is 1600 x 1200.
        auto* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
        window->resize(kViewportWidth + 120, kViewportHeight + 100);
        QApplication::processEvents();
        view_layout(*s, true);
        window->resize(window->width() + kViewportWidth - int(view_visible_width()),
                       window->height() + kViewportHeight - int(view_visible_height()));
        QApplication::processEvents();
        view_layout(*s, true);
        if (view_visible_width() != kViewportWidth || view_visible_height() != kViewportHeight) std::abort();
        return s;
    }();
    return *state;
}

void flush() {
    QApplication::processEvents();
}

// Even cells hold seeded noise, each its own tile; an odd cell c copies tile 0 through flips
// (c / 16) % 8 when c % 16 == 1, else the cell before it unflipped.
void prepare_sheet(EditorState& s) {
    s.tools.tile_mode = false;
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = kSide;
    s.view.grid_width = s.view.grid_height = kCell;
    s.view.grid_offset = s.view.grid_gap = 0;
    document_recreate(s);
    Bitmap* doc = s.document.picture_or_null();
    auto cell_pixel = [&](int cell, int x, int y) {
        return reinterpret_cast<std::uint32_t*>(doc->row((cell / kColumns) * kCell + y)) + (cell % kColumns) * kCell + x;
    };
    std::uint32_t seed = 1;
    for (int cell = 0; cell < kColumns * kColumns; ++cell) {
        if (cell % 2 == 0) {
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    seed = seed * 1664525u + 1013904223u;
                    *cell_pixel(cell, x, y) = 0xFF000000u | (seed >> 8);
                }
            continue;
        }
        const bool of_tile0 = cell % 16 == 1;
        const auto flips = static_cast<std::uint8_t>(of_tile0 ? (cell / 16) % 8 : 0);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                std::int32_t tx = x, ty = y;
                tile_flip_point(flips, kCell, kCell, &tx, &ty);
                *cell_pixel(cell, tx, ty) = *cell_pixel(of_tile0 ? 0 : cell - 1, x, y);
            }
    }
    view_zoom_apply(s);
    view_layout(s, true);
    view_scroll_to(s, 0, 0);
    flush();
}

void BM_Baseline_CopyViewportFrame(benchmark::State& bench) {
    std::vector<std::uint32_t> from(std::size_t(kViewportWidth) * kViewportHeight, 0x11223344u);
    std::vector<std::uint32_t> to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// "Tile Mode" chosen on the sheet: the links of its 65,536 cells and the repaint.
void BM_EnterTileMode_4096(benchmark::State& bench) {
    EditorState& s = editor();
    prepare_sheet(s);
    for (auto _ : bench) {
        bench.PauseTiming();
        if (s.tools.tile_mode) tile_menu_event(s, MenuTileMode);
        flush();
        bench.ResumeTiming();
        tile_menu_event(s, MenuTileMode);
        flush();
    }
    // 32,768 noise tiles, and tile 0 with its 4,096 copies among them.
    if (!s.tools.tile_mode || !s.document.tiles || s.document.tiles->groups() != 32768)
        bench.SkipWithError("tile mode did not link the sheet as built");
}

void canvas_input(EditorState& s, int x, int y, std::int64_t subtype) {
    s.view.mouse_x = x;
    s.view.mouse_y = y;
    if (subtype == MouseMove) {
        paint_at(s, canvas_to_document_x(s, x), canvas_to_document_y(s, y), MouseMove);
    } else {
        canvas_event(s, subtype);
    }
    flush();
}

// A press, 6 moves and a release inside cell 9521 (a copy of tile 0) in the viewport's middle,
// with a 6-pixel brush: each copy of the tile gets the stroke in the same step.
void BM_TileModeStroke_4096Copies(benchmark::State& bench) {
    EditorState& s = editor();
    prepare_sheet(s);
    tile_menu_event(s, MenuTileMode);
    flush();
    constexpr int kStrokeCell = 37 * kColumns + 49;
    if (!s.document.tiles || s.document.tiles->members[std::size_t(s.document.tiles->group[kStrokeCell])].size() != 4097)
        bench.SkipWithError("the cell is not one of 4,097");
    s.tools.current_tool = 3;
    s.tools.brush_size = 6;
    s.tools.brush_color = rgba(200, 40, 40, 255);
    stamp_rebuild(s, true);
    const int left = (kStrokeCell % kColumns) * kCell - int(s.view.scroll_x),
              top = (kStrokeCell / kColumns) * kCell - int(s.view.scroll_y);
    int round = 0;
    for (auto _ : bench) {
        const int y = top + 4 + (round++ % 8);
        canvas_input(s, left + 4, y, LeftButtonDown);
        for (int m = 1; m <= 6; ++m) canvas_input(s, left + 4 + m, y + (m & 1), MouseMove);
        canvas_input(s, left + 11, y, LeftButtonUp);
    }
    // 8 events per stroke: seconds per event.
    bench.counters["per_event"] =
        benchmark::Counter(8, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_Baseline_CopyViewportFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterTileMode_4096)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TileModeStroke_4096Copies)->Unit(benchmark::kMillisecond);

}  // namespace morvane
