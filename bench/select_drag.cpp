// Dragging a floating selection, as the user waits for it: each pointer move over the canvas
// goes through the editor's loop, moves the 2048 x 2048 floating pixels over an 8192 x 8192
// picture at 400 % and repaints the 1600 x 1200 viewport. A copy of one 1600 x 1200 frame is
// the baseline for the ratio.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/document/selection.h"
#include "app/select/select_tool.h"
#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
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

// Runs what the last input queued, then the repaints it asked for.
void settle(EditorState& s) {
    while (event_queue_size() > 0) main_loop_once(s, 0);
    QApplication::processEvents();
}

void mouse(EditorState& s, QEvent::Type type, int x, int y, Qt::MouseButtons held) {
    QWidget* canvas = widget_qt(ViewCanvas);
    const QPointF local(x, y);
    QMouseEvent event(type, local, canvas->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
    settle(s);
}

// An 8192 x 8192 picture with every pixel set, at 400 %, its middle in view, and a selection
// of 2048 x 2048 pixels around the document point at the viewport's centre.
void prepare(EditorState& s) {
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = 8192;
    document_recreate(s);
    Bitmap* doc = s.document.picture_or_null();
    for (int y = 0; y < doc->height; ++y) {
        std::uint8_t* row = doc->row(y);
        for (int x = 0; x < doc->width; ++x) {
            row[4 * x] = std::uint8_t(x), row[4 * x + 1] = std::uint8_t(y), row[4 * x + 2] = 90;
            row[4 * x + 3] = std::uint8_t((x + y) & 255);
        }
    }
    s.view.zoom_before_command = 100;
    s.view.zoom = 400;
    view_zoom_apply(s);
    view_layout(s, true);
    view_scroll_to(s, s.view.view_width / 2 - kViewportWidth / 2,
                   s.view.view_height / 2 - kViewportHeight / 2);
    tool_panel_event(s, SelectButton, 0);
    const std::int64_t cx = canvas_to_document_x(s, kViewportWidth / 2);
    const std::int64_t cy = canvas_to_document_y(s, kViewportHeight / 2);
    selection_set(s, Rect{cx - 1024, cy - 1024, cx + 1024, cy + 1024});
    settle(s);
}

void BM_DragFloating2048_8192_at400(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s);
    const int cx = kViewportWidth / 2, cy = kViewportHeight / 2;
    mouse(s, QEvent::MouseMove, cx, cy, Qt::NoButton);  // the first movement only enters the canvas
    mouse(s, QEvent::MouseButtonPress, cx, cy, Qt::LeftButton);
    // The first move lifts the pixels; the timed ones only move them.
    mouse(s, QEvent::MouseMove, cx + 8, cy + 8, Qt::LeftButton);
    if (!s.document.selection.is_floating()) bench.SkipWithError("the selection did not float");
    int step = 0;
    for (auto _ : bench) {
        // Back and forth along a diagonal, 12 screen pixels (3 document pixels) at a time.
        const int d = (step++ % 40) * 12;
        mouse(s, QEvent::MouseMove, cx - 240 + d, cy - 120 + d / 2, Qt::LeftButton);
    }
    mouse(s, QEvent::MouseButtonRelease, cx, cy, Qt::NoButton);
    selection_drop(s);
    selection_clear(s);
    settle(s);
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

BENCHMARK(BM_Baseline_CopyViewportFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFloating2048_8192_at400)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
