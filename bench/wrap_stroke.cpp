// Wrap Within Tiles against plain painting: the same brush stroke (a press and 20 moves that
// cross a cell's right edge, then the release) on a 4096 x 4096 picture with 16 x 16 cells at
// 100 % in a 1600 x 1200 view, each event with the canvas repaint it causes. Both strokes
// run in every iteration, so the ratio compares times taken under the same machine load.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdlib>

#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/window.h"

namespace morvane {
namespace {

constexpr int kViewportWidth = 1600, kViewportHeight = 1200;

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

void prepare(EditorState& s) {
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = 4096;
    document_recreate(s);
    Bitmap* doc = s.document.picture_or_null();
    for (int y = 0; y < doc->height; ++y) {
        std::uint8_t* row = doc->row(y);
        for (int x = 0; x < doc->width; ++x) {
            row[4 * x] = std::uint8_t(x), row[4 * x + 1] = std::uint8_t(y), row[4 * x + 2] = 90;
            row[4 * x + 3] = 255;
        }
    }
    s.view.zoom_before_command = 100;
    view_zoom_apply(s);
    view_layout(s, true);
    view_scroll_to(s, 0, 0);
    s.view.grid_width = s.view.grid_height = 16;
    s.tools.current_tool = ToolPaint;
    s.tools.brush_tool = 0;
    s.tools.brush_size = 8;
    s.tools.brush_alpha = 200;
    s.tools.brush_color = rgba(200, 40, 40, 200);
    stamp_rebuild(s, true);
    flush();
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

// One stroke from the middle of the cell at (800, 592) over its right edge; seconds taken.
double stroke(EditorState& s, int round) {
    const auto start = std::chrono::steady_clock::now();
    const int y = 592 + 4 + round % 8;
    canvas_input(s, 808, y, LeftButtonDown);
    for (int m = 1; m <= 20; ++m) canvas_input(s, 808 + m, y + (m & 1), MouseMove);
    canvas_input(s, 828, y, LeftButtonUp);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WrappedStroke_4096_Cells16(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s);
    double plain = 0, wrapped = 0;
    int round = 0;
    for (auto _ : bench) {
        s.tools.wrap_within_tiles = 0;
        plain += stroke(s, round);
        s.tools.wrap_within_tiles = 1;
        wrapped += stroke(s, round);
        ++round;
    }
    s.tools.wrap_within_tiles = 0;
    // The dabs past the cell's right edge came back in at its left edge (x 800..803 is out of
    // reach of the unwrapped stroke, which starts at 808 with a tip of 8).
    const Bitmap* doc = s.document.picture_or_null();
    int wrapped_in = 0;
    for (int x = 800; doc && x < 804; ++x) wrapped_in += doc->row(600)[4 * x + 2] != 90;
    if (wrapped_in == 0) bench.SkipWithError("the stroke did not wrap");
    // 22 events per stroke.
    bench.counters["plain_us_per_event"] = plain / (22.0 * round) * 1e6;
    bench.counters["wrapped_us_per_event"] = wrapped / (22.0 * round) * 1e6;
    bench.counters["wrapped_over_plain"] = plain > 0 ? wrapped / plain : 0;
}
BENCHMARK(BM_WrappedStroke_4096_Cells16)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace morvane
