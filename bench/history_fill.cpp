// A fill of a whole empty 8192 x 8192 picture as the user waits for it: the press on the
// canvas, the fill, its undo step and the repaint of the 1600 x 1200 viewport; then its
// undo and redo with their repaints. The bytes the history keeps for the step are reported.
// Baseline: one copy of the whole picture (256 MiB), the least a step that saved the
// picture before and after would move twice.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/document/document_commands.h"
#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/window.h"

namespace morvane {
namespace {

constexpr int kSide = 8192;
constexpr int kViewportWidth = 1600, kViewportHeight = 1200;

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Settings and the recent list go to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_config", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        auto* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
        window->resize(kViewportWidth + 120, kViewportHeight + 100);
        QApplication::processEvents();
        view_layout(*s, true);
        return s;
    }();
    return *state;
}

// A new transparent picture at 100 %, nothing to undo, the fill tool chosen.
void new_empty_picture(EditorState& s) {
    s.document.history.clear();
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = kSide;
    document_recreate(s);
    view_layout(s, true);
    s.tools.current_tool = ToolFill;
    s.tools.brush_color = rgba(30, 140, 60, 255);
    QApplication::processEvents();
}

void fill_click(EditorState& s) {
    s.view.mouse_x = 300;
    s.view.mouse_y = 200;
    canvas_event(s, LeftButtonDown);
    canvas_event(s, LeftButtonUp);
    QApplication::processEvents();
}

void BM_Baseline_CopyPicture8192(benchmark::State& bench) {
    std::vector<std::uint32_t> from(std::size_t(kSide) * kSide, 0x11223344u), to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void BM_FillEmpty8192_WithStep(benchmark::State& bench) {
    EditorState& s = editor();
    for (auto _ : bench) {
        bench.PauseTiming();
        new_empty_picture(s);
        bench.ResumeTiming();
        fill_click(s);
    }
    const History& history = s.document.history;
    bench.counters["history_bytes"] = static_cast<double>(history.bytes());
    bench.counters["undoable"] = history.can_undo() ? 1 : 0;
}

void BM_FillEmpty8192_UndoRedo(benchmark::State& bench) {
    EditorState& s = editor();
    new_empty_picture(s);
    fill_click(s);
    if (!s.document.history.can_undo()) {
        bench.SkipWithError("the fill made no undo step");
        return;
    }
    for (auto _ : bench) {
        document_undo(s);
        QApplication::processEvents();
        document_redo(s);
        QApplication::processEvents();
    }
    bench.counters["per_undo_or_redo"] =
        benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Baseline_CopyPicture8192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillEmpty8192_WithStep)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FillEmpty8192_UndoRedo)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace morvane
