// Undo and redo of a stroke covering 200 x 200 pixels: the history alone on a 1024 x 1024
// picture, and the whole Undo/Redo command of the editor (history, zoom source and canvas
// repaint of the changed rectangle). Baseline: copying one 200 x 200 rectangle between two
// pictures, the least any undo of that stroke has to move.
#include "app/history.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "app/editor.h"
#include "app/menu_items.h"
#include "app/paint_region.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/events.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr ObjectNumber kPicture = 900, kOther = 901;

void BM_Baseline_CopyRect200(benchmark::State& bench) {
    image_create(kPicture, 1024, 1024, 32, 0x203040);
    image_create(kOther, 1024, 1024, 32, 0x405060);
    for (auto _ : bench) {
        copy_image_rect(kPicture, kOther, Rect{100, 100, 300, 300});
        benchmark::ClobberMemory();
    }
    image_free(kPicture);
    image_free(kOther);
}

// A stroke of 20-pixel square dabs along the diagonal from (100, 100) to (280, 280), each
// saved before it is painted as a tool does.
void record_stroke(History& history) {
    history.begin(kPicture);
    const Bitmap* b = bitmap_from_handle(image_handle(kPicture));
    for (int d = 0; d <= 180; d += 2) {
        const int x0 = 100 + d, y0 = 100 + d;
        history.save_before(Rect{x0, y0, x0 + 20, y0 + 20});
        for (int y = y0; y < y0 + 20; ++y) std::memset(b->row(y) + 4 * x0, 0xC8, 4 * 20);
    }
    history.commit();
}

void BM_History_UndoRedo_Stroke200(benchmark::State& bench) {
    image_create(kPicture, 1024, 1024, 32, 0x203040);
    History history;
    record_stroke(history);
    for (auto _ : bench) {
        history.undo(kPicture);
        history.redo(kPicture);
        benchmark::ClobberMemory();
    }
    bench.counters["history_bytes"] = static_cast<double>(history.bytes());
    image_free(kPicture);
}

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        return s;
    }();
    return *state;
}

// One Undo and one Redo command of the editor after a brush stroke through the canvas
// handlers on a 1024 x 1024 document at 100 %.
void BM_Editor_UndoRedo_Stroke200(benchmark::State& bench) {
    EditorState& s = editor();
    s.zoom = 100;
    s.base_width = s.base_height = s.view_width = s.view_height = 1024;
    document_images_recreate(s);
    view_zoom_apply(s);
    widget_resize(1, KeepSize, KeepSize, 1024, 1024);
    s.current_tool = 3;
    s.brush_size = 20;
    s.brush_color = rgba(200, 40, 40, 255);
    stamp_rebuild(s, true);
    document_start(s, "");
    s.mouse_x = s.mouse_y = 100;
    canvas_event(s, 65540);
    for (int d = 2; d <= 180; d += 2) paint_at(s, 100 + d, 100 + d, 65539);
    s.mouse_x = s.mouse_y = 280;
    canvas_event(s, 65541);
    document_stroke_ended(s);
    if (!s.document.history.can_undo()) std::abort();
    for (auto _ : bench) {
        dispatch_event(s, MenuEvent, MainWindow, MenuUndo, 0);
        dispatch_event(s, MenuEvent, MainWindow, MenuRedo, 0);
    }
    bench.counters["history_bytes"] = static_cast<double>(s.document.history.bytes());
}

BENCHMARK(BM_Baseline_CopyRect200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_History_UndoRedo_Stroke200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Editor_UndoRedo_Stroke200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
