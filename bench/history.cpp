// Undo and redo of a stroke covering 200 x 200 pixels in the history alone, on a 1024 x 1024
// picture (the editor's whole command, with its repaint, is in editor_paint). Baseline: copying one 200 x 200
// rectangle between two pictures, the least any undo of that stroke has to move.
#include "app/document/history.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "app/document/paint_region.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {
namespace {

constexpr ObjectNumber kPicture = 900, kOther = 901;

void BM_Baseline_CopyRect200(benchmark::State& bench) {
    image_create(kPicture, 1024, 1024, 32, 0x203040);
    image_create(kOther, 1024, 1024, 32, 0x405060);
    const Bitmap* from = bitmap_from_handle(image_handle(kPicture));
    const Bitmap* to = bitmap_from_handle(image_handle(kOther));
    for (auto _ : bench) {
        for (int y = 100; y < 300; ++y) std::memcpy(to->row(y) + 4 * 100, from->row(y) + 4 * 100, 4 * 200);
        benchmark::ClobberMemory();
    }
    image_free(kPicture);
    image_free(kOther);
}

// A stroke of 20-pixel square dabs along the diagonal from (100, 100) to (280, 280), each
// saved before it is painted as a tool does.
void record_stroke(History& history) {
    history.begin(*image_record(kPicture));
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
        history.undo(*image_record(kPicture));
        history.redo(*image_record(kPicture));
        benchmark::ClobberMemory();
    }
    bench.counters["history_bytes"] = static_cast<double>(history.bytes());
    image_free(kPicture);
}

BENCHMARK(BM_Baseline_CopyRect200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_History_UndoRedo_Stroke200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
