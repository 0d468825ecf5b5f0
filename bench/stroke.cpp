// A whole brush stroke as the user draws it: the press and 199 moves 8 pixels apart, 200
// dabs of a 32-pixel tip at 46 % opacity on a 2048 x 2048 picture at 100 %, each event with
// the canvas repaint it causes. The baseline is the same stroke drawn the way strokes were
// drawn before (each dab blended over the picture as it stands), in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/document/document_commands.h"
#include "app/document/painter.h"
#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/view/view.h"
#include "app/view/view_compose.h"
#include "canvas/canvas.h"
#include "draw/draw.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/events.h"
#include "shell/window.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr int kViewportWidth = 1600, kViewportHeight = 1200;
constexpr int kSide = 2048, kDabs = 200, kStep = 8;

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

double peak_rss_mib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0;
}

// A picture in every pixel, shown at 100 %, the brush at 46 %.
void prepare(EditorState& s) {
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = kSide;
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
    view_zoom_apply(s);
    view_layout(s, true);
    s.tools.current_tool = ToolPaint;
    s.tools.brush_tool = KindBrush;
    s.tools.brush_type = 0;
    s.tools.brush_size = 32;
    s.tools.brush_alpha = 117;
    s.tools.brush_color = rgba(200, 40, 40, 117);
    stamp_rebuild(s, true);
    QApplication::processEvents();
}

// The document point under the viewport's centre.
void centre(int* x, int* y) {
    QWidget* canvas = widget_qt(ViewCanvas);
    *x = static_cast<int>(widget_get_attribute(ViewScrollArea, 3)) + kViewportWidth / 2 - canvas->x();
    *y = static_cast<int>(widget_get_attribute(ViewScrollArea, 4)) + kViewportHeight / 2 - canvas->y();
}

// The event at document point (x, y), the way the canvas handler takes it.
void event(EditorState& s, int x, int y, std::int64_t subtype) {
    s.view.mouse_x = x, s.view.mouse_y = y;
    if (subtype == MouseMove) {
        paint_at(s, x, y, MouseMove);
    } else {
        canvas_event(s, subtype);
    }
    QApplication::processEvents();
}

// One dab blended over the picture as it stands, with its repaint: a stroke before.
void piled_dab(EditorState& s, int x, int y) {
    const int t = image_width(BrushImage);
    const Rect area{x - t / 2, y - t / 2, x - t / 2 + t, y - t / 2 + t};
    {
        Painter painter{s.document};
        if (!painter) return;
        drawing_mode_set(paint_mode(s));
        document_will_change(s, area);
        draw_image(image_handle(BrushImage), x - t / 2, y - t / 2);
    }
    view_show_document_rect(s, std::max<std::int64_t>(area.x0, 0), std::max<std::int64_t>(area.y0, 0),
                            std::min<std::int64_t>(area.x1, kSide), std::min<std::int64_t>(area.y1, kSide));
    QApplication::processEvents();
}

void BM_Stroke200Dabs_Baseline_Piled(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s);
    int cx = 0, cy = 0;
    centre(&cx, &cy);
    int round = 0;
    for (auto _ : bench) {
        const int y = cy - 200 + (round++ % 40) * 10, x0 = cx - kStep * kDabs / 2;
        s.document.history.begin(s.document.record());
        for (int i = 0; i < kDabs; ++i) piled_dab(s, x0 + kStep * i, y);
        s.document.history.commit();
        document_state_changed(s);
    }
    bench.counters["peak_rss_MiB"] = peak_rss_mib();
}

void BM_Stroke200Dabs_Even(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s);
    int cx = 0, cy = 0;
    centre(&cx, &cy);
    int round = 0;
    for (auto _ : bench) {
        const int y = cy - 200 + (round++ % 40) * 10, x0 = cx - kStep * kDabs / 2;
        event(s, x0, y, LeftButtonDown);
        for (int i = 1; i < kDabs; ++i) event(s, x0 + kStep * i, y, MouseMove);
        event(s, x0 + kStep * (kDabs - 1), y, LeftButtonUp);
    }
    bench.counters["peak_rss_MiB"] = peak_rss_mib();
}

BENCHMARK(BM_Stroke200Dabs_Baseline_Piled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stroke200Dabs_Even)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
