// The Edition commands as the user waits for them, each with the repaint it causes: Copy of
// a 4096 x 4096 selection (until the command returns: the PNG is made only when a program
// asks), Paste of a 4096 x 4096 PNG put on the clipboard as another program's bytes (decode
// and float), and a quarter turn of a whole 8192 x 8192 picture and its undo. The baseline
// is one copy of the picture's bytes, measured in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/document/document_commands.h"
#include "app/edit/edit_commands.h"
#include "app/startup/startup.h"
#include "app/view/view.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {
namespace {

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Settings and the recent list go to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_config", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        QApplication::processEvents();
        return s;
    }();
    return *state;
}

void flush() {
    QApplication::processEvents();
}

// A fresh document of side x side with a different value in most bytes, shown at 100 %.
void prepare(EditorState& s, int side) {
    s.document.selection = Selection{};
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = side;
    document_recreate(s);
    document_start(s, "");
    Bitmap* doc = s.document.picture_or_null();
    for (int y = 0; y < doc->height; ++y) {
        std::uint8_t* row = doc->row(y);
        for (int x = 0; x < doc->width; ++x) {
            row[4 * x] = std::uint8_t(x), row[4 * x + 1] = std::uint8_t(y), row[4 * x + 2] = std::uint8_t(x ^ y);
            row[4 * x + 3] = std::uint8_t((x + y) & 255);
        }
    }
    view_layout(s, true);
    view_redraw(s);
    flush();
}

void BM_Baseline_CopyPicture(benchmark::State& bench) {
    const std::size_t bytes = std::size_t(bench.range(0)) * std::size_t(bench.range(0)) * 4;
    std::vector<std::uint8_t> from(bytes, 0x5A), to(bytes);
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void BM_Copy_4096(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 4096);
    s.document.selection.rect = Rect{0, 0, 4096, 4096};
    for (auto _ : bench) {
        edit_menu_event(s, MenuCopy);
        flush();
    }
    QGuiApplication::clipboard()->clear();
}

void BM_Paste_4096_Png(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 4096);
    // Another program's picture: PNG bytes made by Qt from the document's pixels with noise
    // in their low bits, so that the PNG is about as hard to decode as a photograph.
    QByteArray png;
    {
        const Bitmap* doc = s.document.picture_or_null();
        QImage image(4096, 4096, QImage::Format_ARGB32);
        std::uint32_t seed = 12345;
        for (int y = 0; y < 4096; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            std::memcpy(row, doc->row(y), 4096 * 4);
            for (int x = 0; x < 4096; ++x) {
                seed = seed * 1664525u + 1013904223u;
                row[x] ^= (seed >> 8) & 0x0F0F0F0Fu;
            }
        }
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    for (auto _ : bench) {
        bench.PauseTiming();
        auto* data = new QMimeData;
        data->setData("image/png", png);
        QGuiApplication::clipboard()->setMimeData(data);
        flush();
        bench.ResumeTiming();
        edit_menu_event(s, MenuPaste);
        flush();
        bench.PauseTiming();
        if (!s.document.selection.is_floating()) bench.SkipWithError("nothing floats after the paste");
        selection_put_back(s);
        s.document.selection = Selection{};
        bench.ResumeTiming();
    }
    bench.counters["png_MiB"] = double(png.size()) / (1 << 20);
    QGuiApplication::clipboard()->clear();
}

void BM_QuarterTurn_8192(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 8192);
    for (auto _ : bench) {
        edit_menu_event(s, MenuRotateClockwise);
        flush();
    }
    bench.counters["history_bytes"] = double(s.document.history.bytes());
}

void BM_QuarterTurnUndo_8192(benchmark::State& bench) {
    EditorState& s = editor();
    prepare(s, 8192);
    for (auto _ : bench) {
        bench.PauseTiming();
        edit_menu_event(s, MenuRotateClockwise);
        flush();
        bench.ResumeTiming();
        document_undo(s);
        flush();
    }
}

BENCHMARK(BM_Baseline_CopyPicture)->Arg(4096)->Arg(8192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy_4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste_4096_Png)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuarterTurn_8192)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuarterTurnUndo_8192)->Iterations(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
