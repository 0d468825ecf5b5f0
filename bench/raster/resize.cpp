// Resizing speed: image_resize Smooth and Nearest on 32-bit pictures, stb_image_resize's
// Mitchell filter on the same pictures, and a plain memcpy of the output's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

#include "image/image.h"

namespace {

using morvane::ObjectNumber;

constexpr ObjectNumber kSource = 60;
constexpr ObjectNumber kWork = 61;

// A 32-bit picture of smooth gradients with noise and varied alpha.
void make_source(int width, int height) {
    morvane::image_create(kSource, width, height, 32, morvane::BackgroundTransparent);
    morvane::Bitmap* b = morvane::bitmap_from_handle(morvane::image_handle(kSource));
    std::mt19937 rng(1234);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = b->row(y);
        for (int x = 0; x < width; ++x, p += 4) {
            const unsigned noise = rng() & 15;
            p[0] = static_cast<std::uint8_t>(x * 255 / width);
            p[1] = static_cast<std::uint8_t>(y * 255 / height);
            p[2] = static_cast<std::uint8_t>((x + y) * 4 + noise);
            p[3] = static_cast<std::uint8_t>(128 + ((x ^ y) & 127));
        }
    }
}

void set_rate(benchmark::State& state, int width, int height) {
    state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(width) * height / 1e6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

// image_resize from a fresh copy of the source each iteration (the copy is not timed).
void resize_case(benchmark::State& state, int sw, int sh, int dw, int dh, int mode) {
    make_source(sw, sh);
    for (auto _ : state) {
        state.PauseTiming();
        morvane::image_copy(kSource, kWork);
        state.ResumeTiming();
        benchmark::DoNotOptimize(morvane::image_resize(kWork, dw, dh, mode));
    }
    set_rate(state, dw, dh);
    morvane::image_free(-1);
}

void stb_case(benchmark::State& state, int sw, int sh, int dw, int dh) {
    make_source(sw, sh);
    const morvane::Bitmap* b = morvane::bitmap_from_handle(morvane::image_handle(kSource));
    std::vector<std::uint8_t> out(static_cast<std::size_t>(dw) * dh * 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(stbir_resize_uint8_generic(
            b->bits, sw, sh, sw * 4, out.data(), dw, dh, dw * 4, 4, -1, 0, STBIR_EDGE_CLAMP,
            STBIR_FILTER_MITCHELL, STBIR_COLORSPACE_LINEAR, nullptr));
        benchmark::ClobberMemory();
    }
    set_rate(state, dw, dh);
    morvane::image_free(-1);
}

void memcpy_case(benchmark::State& state, int dw, int dh) {
    const std::size_t bytes = static_cast<std::size_t>(dw) * dh * 4;
    std::vector<std::uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    set_rate(state, dw, dh);
}

void BM_ResizeSmooth_4096_to_2048(benchmark::State& s) {
    resize_case(s, 4096, 4096, 2048, 2048, morvane::Smooth);
}
void BM_StbMitchell_4096_to_2048(benchmark::State& s) {
    stb_case(s, 4096, 4096, 2048, 2048);
}
void BM_Memcpy_2048x2048(benchmark::State& s) {
    memcpy_case(s, 2048, 2048);
}
void BM_ResizeSmooth_512_to_2048(benchmark::State& s) {
    resize_case(s, 512, 512, 2048, 2048, morvane::Smooth);
}
void BM_StbMitchell_512_to_2048(benchmark::State& s) {
    stb_case(s, 512, 512, 2048, 2048);
}
void BM_ResizeNearest_256_to_2560(benchmark::State& s) {
    resize_case(s, 256, 256, 2560, 2560, morvane::Nearest);
}
void BM_Memcpy_2560x2560(benchmark::State& s) {
    memcpy_case(s, 2560, 2560);
}

BENCHMARK(BM_ResizeSmooth_4096_to_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbMitchell_4096_to_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_2048x2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeSmooth_512_to_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbMitchell_512_to_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeNearest_256_to_2560)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_2560x2560)->Unit(benchmark::kMillisecond);

}  // namespace
