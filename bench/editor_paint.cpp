// What the user waits for while painting and looking around a document, each with the
// canvas repaint it causes (the offscreen platform paints the exposed part of the canvas
// into the window's backing store): a whole brush stroke, a zoom step and a scroll step on a
// 5000 x 5000 document at 500 %, the same stroke and zoom step on an 8192 x 8192 picture at
// 500 % and at 3200 %, and the peak resident memory. A copy of one 1600 x 1200 frame is the
// baseline for the ratios.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/events.h"
#include "shell/window.h"
#include "widgets/widget.h"

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
        // The window sized so that the canvas (the scroll area's visible part, inside its
        // frame and scroll bars) is 1600 x 1200.
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

// Runs the repaints that the last events asked for.
void flush() {
    QApplication::processEvents();
}

// Peak resident memory of the process in MiB (VmHWM).
double peak_rss_mib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

// A fresh transparent document of `side` pixels shown at `zoom` percent, centred.
void prepare(EditorState& s, int side, int zoom, int tool) {
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = side;
    document_recreate(s);
    // A picture in every pixel, so that all of its memory is really in use.
    Bitmap* doc = s.document.picture_or_null();
    for (int y = 0; y < doc->height; ++y) {
        std::uint8_t* row = doc->row(y);
        for (int x = 0; x < doc->width; ++x) {
            row[4 * x] = std::uint8_t(x), row[4 * x + 1] = std::uint8_t(y), row[4 * x + 2] = 90;
            row[4 * x + 3] = std::uint8_t((x + y) & 255);
        }
    }
    s.view.zoom_before_command = 100;
    s.view.zoom = static_cast<std::int16_t>(zoom);
    view_zoom_apply(s);
    view_layout(s, true);
    view_scroll_to(s, 0, 0);  // the picture's top-left corner in view, as after opening it
    s.tools.current_tool = static_cast<std::uint8_t>(tool);
    s.tools.brush_size = 20;
    s.tools.brush_alpha = 200;
    s.tools.brush_color = rgba(200, 40, 40, 200);
    stamp_rebuild(s, true);
    flush();
}

// The canvas position of the viewport's centre (the canvas is the viewport).
void viewport_centre(int* x, int* y) {
    *x = kViewportWidth / 2;
    *y = kViewportHeight / 2;
}

void canvas_input(EditorState& s, int x, int y, std::int64_t subtype) {
    s.view.mouse_x = x;
    s.view.mouse_y = y;
    if (subtype == MouseMove) {
        // The handler reads the held buttons from the canvas event; paint straight away.
        paint_at(s, canvas_to_document_x(s, x), canvas_to_document_y(s, y), MouseMove);
    } else {
        canvas_event(s, subtype);
    }
    flush();
}

// Forgets the peak resident memory so far (Linux 4.0 and later), so that a benchmark's peak is
// its own: the document it made and what its events took.
void reset_peak_rss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

// Press, 20 moves 12 screen pixels apart and release in the viewport's middle.
void stroke_events(benchmark::State& bench, EditorState& s) {
    int cx = 0, cy = 0;
    viewport_centre(&cx, &cy);
    int round = 0;
    for (auto _ : bench) {
        const int y = cy - 200 + (round++ % 40) * 10;
        canvas_input(s, cx - 120, y, LeftButtonDown);
        for (int m = 1; m <= 20; ++m) canvas_input(s, cx - 120 + 12 * m, y + m, MouseMove);
        canvas_input(s, cx + 120, y + 20, LeftButtonUp);
    }
    // 22 events per stroke: seconds per event.
    bench.counters["per_event"] =
        benchmark::Counter(22, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    bench.counters["peak_rss_MiB"] = peak_rss_mib();
}

void BM_BrushStroke_5000_at500(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 500, 3);
    stroke_events(bench, s);
}

// The same strokes on an 8192 x 8192 picture at the zoom of the argument, deep in the
// picture; the peak memory is this benchmark's own (the picture is 256 MiB).
void BM_BrushStroke_8192(benchmark::State& bench) {
    EditorState& s = editor();
    reset_peak_rss();
    prepare(s, 8192, static_cast<int>(bench.range(0)), 3);
    view_scroll_to(s, s.view.view_width / 2, s.view.view_height / 2);
    flush();
    stroke_events(bench, s);
}

// One zoom step with the repaint of the 1600 x 1200 viewport, on an 8192 x 8192 picture
// around the view's centre: 2400 % <-> 3200 % (argument 3200) or 400 % <-> 500 % (500).
void BM_ZoomStep_8192(benchmark::State& bench) {
    EditorState& s = editor();
    reset_peak_rss();
    const int top = static_cast<int>(bench.range(0));
    const int below = zoom_preset_step(top, -1);
    prepare(s, 8192, top, 3);
    view_scroll_to(s, s.view.view_width / 2, s.view.view_height / 2);
    flush();
    bool in = false;
    for (auto _ : bench) {
        s.view.zoom_before_command = s.view.zoom;
        s.view.zoom = static_cast<std::int16_t>(in ? top : below);
        in = !in;
        view_zoom_apply(s);
        flush();
    }
    if (s.view.zoom != top && s.view.zoom != below) bench.SkipWithError("the zoom did not step");
    bench.counters["peak_rss_MiB"] = peak_rss_mib();
}

// One zoom step (400 % <-> 500 %) with the repaint of the 1600 x 1200 viewport.
void BM_ZoomStep_5000(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 500, 3);
    bool in = false;
    for (auto _ : bench) {
        s.view.zoom_before_command = s.view.zoom;
        s.view.zoom = static_cast<std::int16_t>(in ? 500 : 400);
        in = !in;
        view_zoom_apply(s);
        flush();
    }
    bench.counters["peak_rss_MiB"] = peak_rss_mib();
}

// Scrolling down and up by one step (16 pixels) with the repaint of the exposed strip.
void BM_ScrollStep_5000_at500(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 500, 3);
    const std::int64_t start = s.view.scroll_y;
    int step = 0;
    for (auto _ : bench) {
        view_scroll_to(s, s.view.scroll_x, start + (step++ % 2 == 0 ? 16 : 0));
        flush();
    }
}

// A real wheel notch over the canvas at canvas point (x, y), taken through the editor's
// loop, with the repaint it asks for.
void wheel_notch(EditorState& s, int x, int y, int delta, Qt::KeyboardModifiers mods) {
    QWidget* canvas = widget_qt(ViewCanvas);
    const QPointF local(x, y);
    QWheelEvent event(local, canvas->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &event);
    while (event_queue_size() > 0) main_loop_once(s, 0);
    flush();
}

// Ctrl+wheel one preset in and out (400 % <-> 500 %) around a point left of and above the
// viewport's centre, with the repaint of the 1600 x 1200 viewport.
void BM_WheelZoomAroundPointer_5000(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 400, 3);
    bool in = true;
    for (auto _ : bench) {
        int cx = 0, cy = 0;
        viewport_centre(&cx, &cy);
        wheel_notch(s, cx - 300, cy - 200, in ? 120 : -120, Qt::ControlModifier);
        in = !in;
    }
    if (s.view.zoom != 400 && s.view.zoom != 500) bench.SkipWithError("the wheel did not zoom");
}

// One wheel notch down or up (three 16-pixel steps) with the repaint of the exposed strip.
void BM_WheelScrollStep_5000_at500(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 500, 3);
    int cx = 0, cy = 0;
    viewport_centre(&cx, &cy);
    const std::int64_t start = s.view.scroll_y;
    bool down = true;
    for (auto _ : bench) {
        wheel_notch(s, cx, cy, down ? -120 : 120, Qt::NoModifier);
        down = !down;
    }
    // After an odd number of notches the view is one notch (48 pixels) down.
    const std::int64_t moved = s.view.scroll_y - start;
    if (moved != (down ? 0 : 48)) bench.SkipWithError("the wheel did not scroll by one notch");
}

// Composing the whole 1600 x 1200 viewport from the document, without the platform's part.
void BM_ComposeViewport_5000_at500(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 5000, 500, 3);
    int cx = 0, cy = 0;
    viewport_centre(&cx, &cy);
    std::vector<std::uint32_t> out(std::size_t(kViewportWidth) * kViewportHeight);
    for (auto _ : bench) {
        view_compose_into(s, int(s.view.scroll_x) + cx - kViewportWidth / 2,
                          int(s.view.scroll_y) + cy - kViewportHeight / 2, kViewportWidth, kViewportHeight,
                          out.data(), kViewportWidth);
        benchmark::DoNotOptimize(out.data());
    }
}

// Undo and redo of one 200 x 200 box on a 5000 x 5000 document at the zoom of the second
// argument, each with the repaint of what it changed (1000 x 1000 screen pixels at 500 %).
void BM_UndoRedo_200Box(benchmark::State& bench) {
    EditorState& s = editor();
    const int zoom = static_cast<int>(bench.range(1));
    prepare(s, static_cast<int>(bench.range(0)), zoom, 5);
    int cx = 0, cy = 0;
    viewport_centre(&cx, &cy);
    const int half = zoom;  // 100 document pixels on each side of the centre
    s.view.mouse_down = 0;
    canvas_input(s, cx - half, cy - half, LeftButtonDown);
    s.view.mouse_down = 1;
    canvas_input(s, cx + half, cy + half, MouseMove);
    canvas_input(s, cx + half, cy + half, LeftButtonUp);
    History& history = s.document.history;
    if (!history.can_undo()) bench.SkipWithError("the box made no step");
    for (auto _ : bench) {
        const Rect undone = history.undo(s.document.record());
        view_show_document_rect(s, undone.x0, undone.y0, undone.x1, undone.y1);
        flush();
        const Rect redone = history.redo(s.document.record());
        view_show_document_rect(s, redone.x0, redone.y0, redone.x1, redone.y1);
        flush();
    }
    bench.counters["per_undo_or_redo"] =
        benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The baseline: one copy of a 1600 x 1200 frame of 32-bit pixels.
void BM_Baseline_CopyViewportFrame(benchmark::State& bench) {
    std::vector<std::uint32_t> from(std::size_t(kViewportWidth) * kViewportHeight, 0x11223344u);
    std::vector<std::uint32_t> to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// A shape move on a small document at 100 %, as before the document kept its own size.
void BM_BoxMove_1024_at100(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 1024, 100, 5);
    int cx = 0, cy = 0;
    viewport_centre(&cx, &cy);
    canvas_input(s, cx, cy, LeftButtonDown);
    int step = 0;
    for (auto _ : bench) {
        const int d = step++ % 200;
        canvas_input(s, cx - 300 + 3 * d, cy - 200 + 2 * d, MouseMove);
    }
    canvas_input(s, cx, cy, LeftButtonUp);
}

BENCHMARK(BM_Baseline_CopyViewportFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeViewport_5000_at500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrushStroke_5000_at500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStep_5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrushStroke_8192)->Arg(500)->Arg(3200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStep_8192)->Arg(500)->Arg(3200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo_200Box)->Args({5000, 500})->Args({5000, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep_5000_at500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelZoomAroundPointer_5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelScrollStep_5000_at500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMove_1024_at100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
