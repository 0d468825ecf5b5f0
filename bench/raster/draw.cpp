// Drawing speed: Blend boxes, filled ellipses, seed fill and alpha images, each beside a
// plain memcpy of the same number of pixel bytes, all reported in Mpx/s.
#include "draw/draw.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "draw/session.h"
#include "image/bitmap.h"

namespace {

using namespace morvane;

// 32-bit pixel memory with varied colours and alpha (every alpha value occurs).
std::vector<std::uint8_t> varied_pixels(int width, int height, unsigned seed) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(width) * height * 4);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < v.size(); i += 4) {
        const std::uint32_t r = rng();
        v[i] = static_cast<std::uint8_t>(r), v[i + 1] = static_cast<std::uint8_t>(r >> 8);
        v[i + 2] = static_cast<std::uint8_t>(r >> 16), v[i + 3] = static_cast<std::uint8_t>(r >> 24);
    }
    return v;
}

void set_rate(benchmark::State& state, double pixels) {
    state.counters["Mpx/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

bool open(std::vector<std::uint8_t>& pixels, int width, int height) {
    return drawing_begin(drawing_output_prepare(pixels.data(), width, height, width * 4, 32, nullptr)) != 0;
}

// memcpy of `pixels` 32-bit pixels.
void memcpy_case(benchmark::State& state, std::size_t pixels) {
    std::vector<std::uint8_t> from(pixels * 4, 1), to(pixels * 4, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    set_rate(state, static_cast<double>(pixels));
}

constexpr int Big = 4096;

void BM_DrawMemcpy4096x4096(benchmark::State& state) {
    memcpy_case(state, std::size_t{Big} * Big);
}

// draw_box over the whole picture in Blend; the picture is restored (untimed) each time so
// the target alpha stays varied.
void BM_DrawBoxBlend4096x4096(benchmark::State& state) {
    const auto original = varied_pixels(Big, Big, 1);
    auto pixels = original;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(pixels.data(), original.data(), pixels.size());
        state.ResumeTiming();
        if (!open(pixels, Big, Big)) break;
        drawing_mode_set(Blend);
        draw_box(0, 0, Big, Big, rgba(200, 100, 50, 140));
        drawing_end();
    }
    set_rate(state, double{Big} * Big);
}

// Pixels of a filled ellipse of radius 1000: the rows' widths summed once.
std::size_t ellipse_pixels(int size) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4, 0);
    if (!open(pixels, size, size)) return 0;
    drawing_mode_set(WriteAlpha);
    draw_circle(size / 2, size / 2, 1000, rgba(1, 1, 1, 255));
    drawing_end();
    std::size_t n = 0;
    for (std::size_t i = 3; i < pixels.size(); i += 4) n += pixels[i] == 255;
    return n;
}

void BM_DrawMemcpyEllipse1000(benchmark::State& state) {
    memcpy_case(state, ellipse_pixels(2048));
}

void BM_DrawEllipseBlend1000(benchmark::State& state) {
    const auto original = varied_pixels(2048, 2048, 2);
    auto pixels = original;
    const std::size_t covered = ellipse_pixels(2048);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(pixels.data(), original.data(), pixels.size());
        state.ResumeTiming();
        if (!open(pixels, 2048, 2048)) break;
        drawing_mode_set(Blend);
        draw_circle(1024, 1024, 1000, rgba(30, 60, 90, 100));
        drawing_end();
    }
    set_rate(state, static_cast<double>(covered));
}

// fill_area of a uniform picture; the colours alternate so every fill covers it all.
void BM_DrawFillUniform4096x4096(benchmark::State& state) {
    std::vector<std::uint8_t> pixels(std::size_t{Big} * Big * 4, 0);
    Color colour = rgba(10, 20, 30, 255);
    for (auto _ : state) {
        if (!open(pixels, Big, Big)) break;
        fill_area(Big / 2, Big / 3, -1, colour);
        drawing_end();
        colour ^= 0x00FFFFFF;
    }
    set_rate(state, double{Big} * Big);
}

void BM_DrawMemcpy2048x2048(benchmark::State& state) {
    memcpy_case(state, std::size_t{2048} * 2048);
}

// draw_alpha_image of a 2048 x 2048 picture of varied alpha over another, in Blend.
void BM_DrawAlphaImageBlend2048x2048(benchmark::State& state) {
    auto source = varied_pixels(2048, 2048, 3);
    const Bitmap picture{Bitmap::Kind::Pixels, 2048, 2048, 32, 2048 * 4, source.data()};
    const auto original = varied_pixels(2048, 2048, 4);
    auto pixels = original;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(pixels.data(), original.data(), pixels.size());
        state.ResumeTiming();
        if (!open(pixels, 2048, 2048)) break;
        drawing_mode_set(Blend);
        draw_alpha_image(bitmap_handle(&picture), 0, 0);
        drawing_end();
    }
    set_rate(state, 2048.0 * 2048.0);
}

BENCHMARK(BM_DrawMemcpy4096x4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawBoxBlend4096x4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFillUniform4096x4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawMemcpyEllipse1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawEllipseBlend1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawMemcpy2048x2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawAlphaImageBlend2048x2048)->Unit(benchmark::kMillisecond);

}  // namespace
