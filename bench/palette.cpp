// What the user waits for with palettes, each with the repaint it causes: loading a
// 256-colour palette file into the panel, and replacing a colour in a 4096 x 4096 picture
// with its undo step. Baselines measured in the same run: reading the palette file's bytes,
// and one copy of the 4096 x 4096 picture (the least a whole-picture edit with undo touches).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/document/document_commands.h"
#include "app/palette/palette_panel.h"
#include "app/startup/startup.h"
#include "app/view/view.h"
#include "image/bitmap.h"
#include "image/file.h"
#include "image/image.h"
#include "shell/window.h"

namespace morvane {
namespace {

constexpr int kSide = 4096;

EditorState& editor() {
    static EditorState* state = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // The kept palette goes to a scratch folder, not the user's.
        setenv("XDG_CONFIG_HOME", "/tmp/morvane_bench_palette", 1);
        auto* s = new EditorState;
        if (!editor_init(*s)) std::abort();
        reinterpret_cast<QWidget*>(window_handle(MainWindow))->resize(1280, 900);
        QApplication::processEvents();
        view_layout(*s, true);
        return s;
    }();
    return *state;
}

void flush() {
    QApplication::processEvents();
}

const std::string& palette_file() {
    static const std::string path = [] {
        std::string text = "GIMP Palette\nName: Bench\nColumns: 16\n#\n";
        for (int i = 0; i < 256; ++i)
            text += std::to_string(i) + " " + std::to_string((i * 7) & 255) + " " + std::to_string(255 - i) +
                    "\tc\n";
        const std::string file = "/tmp/morvane_bench_palette.gpl";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }();
    return path;
}

void BM_Baseline_ReadPaletteFile(benchmark::State& bench) {
    std::vector<std::uint8_t> bytes;
    for (auto _ : bench) {
        file_read_all(palette_file().c_str(), bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

// Load Palette once the file is chosen: read, parse, show 256 swatches, keep, repaint.
void BM_LoadPalette256_AndShow(benchmark::State& bench) {
    EditorState& s = editor();
    for (auto _ : bench) {
        palette_load_file(s, palette_file());
        flush();
    }
}

// A pixel-art picture: 8 x 8 blocks of 16 colours, so that the replaced colour is in every
// 64 x 64 tile (the undo step holds every tile: the worst spread). With `region`, colour 5
// (the one replaced) appears only in the top-left 1024 x 1024 pixels.
void prepare_picture(EditorState& s, bool region = false) {
    s.view.zoom = 100;
    s.view.base_width = s.view.base_height = kSide;
    document_recreate(s);
    document_start(s, "");
    s.document.history = History(std::size_t{256} << 20);
    view_layout(s, true);
    Bitmap* doc = s.document.picture_or_null();
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = doc->row(y);
        for (int x = 0; x < kSide; ++x) {
            int k = ((x / 8) + 3 * (y / 8)) & 15;
            if (region && k == 5 && (x >= 1024 || y >= 1024)) k = 6;
            row[4 * x] = std::uint8_t(k * 16), row[4 * x + 1] = std::uint8_t(255 - k * 16),
                    row[4 * x + 2] = 40;
            row[4 * x + 3] = 255;
        }
    }
    flush();
}

void BM_Baseline_CopyPicture4096(benchmark::State& bench) {
    std::vector<std::uint8_t> from(std::size_t(kSide) * kSide * 4, 7), to(from.size());
    for (auto _ : bench) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}

// Replace Colour on the whole picture, one undo step, and the repaint. Alternating the two
// colours makes every round change the same pixels.
void replace_rounds(benchmark::State& bench, int tolerance, bool region = false) {
    EditorState& s = editor();
    prepare_picture(s, region);
    const Color a = rgba(40, 255 - 5 * 16, 5 * 16, 255), b = rgba(250, 0, 250, 255);
    bool forward = true;
    std::uint64_t matched = 0;
    for (auto _ : bench) {
        ColourReplacement r;
        r.from = forward ? a : b;
        r.to = forward ? b : a;
        r.tolerance = tolerance;
        r.area = PixelArea{0, 0, kSide, kSide};
        matched = document_replace_colour(s, r);
        flush();
        forward = !forward;
    }
    bench.counters["pixels_matched"] = static_cast<double>(matched);
}

void BM_ReplaceColour4096_Exact_WithUndoStep(benchmark::State& bench) {
    replace_rounds(bench, 0);
}
void BM_ReplaceColour4096_Tolerance8_WithUndoStep(benchmark::State& bench) {
    replace_rounds(bench, 8);
}
void BM_ReplaceColour4096_InOneSixteenth_WithUndoStep(benchmark::State& bench) {
    replace_rounds(bench, 0, true);
}

// The replacement alone, without the undo step and the repaint: the part this code owns.
void BM_ReplaceColour4096_Exact_PixelsOnly(benchmark::State& bench) {
    EditorState& s = editor();
    prepare_picture(s);
    Bitmap* doc = s.document.picture_or_null();
    const Color a = rgba(40, 255 - 5 * 16, 5 * 16, 255), b = rgba(250, 0, 250, 255);
    bool forward = true;
    for (auto _ : bench) {
        replace_colour(*doc,
                       ColourReplacement{forward ? a : b, forward ? b : a, 0, PixelArea{0, 0, kSide, kSide}});
        forward = !forward;
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Baseline_ReadPaletteFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadPalette256_AndShow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_CopyPicture4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceColour4096_Exact_PixelsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceColour4096_Exact_WithUndoStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceColour4096_Tolerance8_WithUndoStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceColour4096_InOneSixteenth_WithUndoStep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
