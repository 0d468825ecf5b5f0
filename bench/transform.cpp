// Turning a whole 8192 x 8192 picture where it is, beside copying its bytes once.
#include <benchmark/benchmark.h>

#include <cstring>

#include "image/transform.h"

namespace morvane {
namespace {

constexpr int Side = 8192;

Bitmap* filled_picture() {
    Bitmap* b = bitmap_create(Side, Side, 32);
    for (std::int32_t y = 0; y < Side; ++y) std::memset(b->row(y), y & 0xFF, static_cast<std::size_t>(4 * Side));
    return b;
}

void BM_Turn8192(benchmark::State& state) {
    const auto turn = static_cast<Turn>(state.range(0));
    Bitmap* b = filled_picture();
    for (auto _ : state) {
        if (!bitmap_turn(*b, turn)) state.SkipWithError("turn failed");
        benchmark::DoNotOptimize(b->bits);
    }
    bitmap_destroy(b);
}
BENCHMARK(BM_Turn8192)
    ->Arg(static_cast<int>(Turn::Clockwise))
    ->Arg(static_cast<int>(Turn::CounterClockwise))
    ->Arg(static_cast<int>(Turn::HalfTurn))
    ->Arg(static_cast<int>(Turn::FlipHorizontal))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

// Baseline: the 256 MiB of pixels copied once into fresh memory.
void BM_Turn8192_CopyBaseline(benchmark::State& state) {
    Bitmap* b = filled_picture();
    for (auto _ : state) {
        Bitmap* copy = bitmap_create(Side, Side, 32);
        std::memcpy(copy->bits, b->bits, static_cast<std::size_t>(b->stride) * Side);
        benchmark::DoNotOptimize(copy->bits);
        bitmap_destroy(copy);
    }
    bitmap_destroy(b);
}
BENCHMARK(BM_Turn8192_CopyBaseline)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
}  // namespace morvane
