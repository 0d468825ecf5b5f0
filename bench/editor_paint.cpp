// One canvas move event with the left button held (paint_at plus the redraw) for the paint
// tool and the box tool, on documents of 256 and 1024 pixels at 100 % and 1024 at 400 %.
// The editor runs on Qt's offscreen platform with its real canvas.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/editor.h"
#include "image/image.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        return s;
    }();
    return *state;
}

// A fresh transparent document of `side` pixels shown at `zoom` percent.
void prepare(EditorState& s, int side, int zoom, int tool) {
    s.zoom = 100;
    s.base_width = s.base_height = s.view_width = s.view_height = side;
    document_images_recreate(s);
    s.zoom_before_command = 100;
    s.zoom = static_cast<std::int16_t>(zoom);
    view_zoom_apply(s);
    widget_resize(1, KeepSize, KeepSize, static_cast<int>(s.view_width), static_cast<int>(s.view_height));
    s.current_tool = static_cast<std::uint8_t>(tool);
    s.brush_size = 20;
    s.brush_alpha = 200;
    s.brush_color = rgba(200, 40, 40, 200);
    stamp_rebuild(s, true);
}

void move_event(benchmark::State& bench, int side, int zoom, int tool) {
    EditorState& s = editor();
    prepare(s, side, zoom, tool);
    const int view = static_cast<int>(s.view_width);
    // The press that starts the stroke (and takes the snapshot) near the middle.
    s.mouse_x = s.mouse_y = view / 2;
    canvas_event(s, 65540);
    int step = 0;
    for (auto _ : bench) {
        // A pointer walking a diagonal across the middle half of the canvas, 200 steps.
        const int d = step++ % 200;
        paint_at(s, view / 4 + d * view / 400, view / 4 + d * view / 800, 65539);
    }
    s.mouse_down = 0;
    bench.counters["canvas_px"] = view;
}

void BM_BrushMove_256_at100(benchmark::State& b) {
    move_event(b, 256, 100, 3);
}
void BM_BrushMove_1024_at100(benchmark::State& b) {
    move_event(b, 1024, 100, 3);
}
void BM_BrushMove_1024_at400(benchmark::State& b) {
    move_event(b, 1024, 400, 3);
}
void BM_BoxMove_256_at100(benchmark::State& b) {
    move_event(b, 256, 100, 5);
}
void BM_BoxMove_1024_at100(benchmark::State& b) {
    move_event(b, 1024, 100, 5);
}
void BM_BoxMove_1024_at400(benchmark::State& b) {
    move_event(b, 1024, 400, 5);
}

// The full recompose path on the same canvases, for comparison.
void full_redraw(benchmark::State& bench, int side, int zoom) {
    EditorState& s = editor();
    prepare(s, side, zoom, 3);
    for (auto _ : bench) view_redraw(s);
}
void BM_FullRedraw_1024_at100(benchmark::State& b) {
    full_redraw(b, 1024, 100);
}
void BM_FullRedraw_1024_at400(benchmark::State& b) {
    full_redraw(b, 1024, 400);
}

BENCHMARK(BM_BrushMove_256_at100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrushMove_1024_at100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrushMove_1024_at400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMove_256_at100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMove_1024_at100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxMove_1024_at400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw_1024_at100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw_1024_at400)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
