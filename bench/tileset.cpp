// Tile-set conversion: cutting, assembling, saving and listing large pictures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"

namespace morvane {
namespace {

constexpr ObjectNumber Picture = 9, TileSet = 17;

void codecs_ready() {
    static const bool ready = [] {
        image_codecs_init();
        bmp_codec_register();
        return png_decoder_register() && png_encoder_register();
    }();
    if (!ready) std::abort();
}

// Random bytes in all four channels.
void random_picture(ObjectNumber number, int side, std::uint32_t seed) {
    image_create(number, side, side, 32);
    Bitmap* b = bitmap_from_handle(image_handle(number));
    std::mt19937 random(seed);
    auto* words = reinterpret_cast<std::uint32_t*>(b->bits);
    for (std::size_t i = 0, n = static_cast<std::size_t>(b->stride) / 4 * b->height; i < n; ++i)
        words[i] = random();
}

// Peak resident memory of the process since the last reset, in MiB.
double peak_mib() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(f);
    return kib / 1024.0;
}
void peak_reset() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Grab and assemble only: everything before the PNG save.
void BM_Tileset4096_BeforeSave(benchmark::State& state) {
    codecs_ready();
    random_picture(Picture, 4096, 1);
    const TileSetLayout layout = tileset_layout(4096, 4096, 16, 16, 256, 2);
    peak_reset();
    for (auto _ : state) {
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        image_free(TileSet);
    }
    state.counters["peak_MiB"] = peak_mib();
    state.counters["tiles"] = static_cast<double>(layout.tile_count());
    image_free(Picture);
}
BENCHMARK(BM_Tileset4096_BeforeSave)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reference for the figure above on the same machine: copying the picture's 64 MiB into
// fresh memory of the tile set's size.
void BM_Tileset4096_MemcpyBaseline(benchmark::State& state) {
    random_picture(Picture, 4096, 1);
    const Bitmap* b = bitmap_from_handle(image_handle(Picture));
    const std::size_t bytes = static_cast<std::size_t>(b->stride) * b->height;
    for (auto _ : state) {
        std::vector<std::uint8_t> out(4608u * 4608u * 4u);
        std::memcpy(out.data(), b->bits, bytes);
        benchmark::DoNotOptimize(out.data());
    }
    image_free(Picture);
}
BENCHMARK(BM_Tileset4096_MemcpyBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole conversion: grab, assemble, PNG save and TileList.
void BM_Tileset4096_Whole(benchmark::State& state) {
    codecs_ready();
    random_picture(Picture, 4096, 2);
    const TileSetLayout layout = tileset_layout(4096, 4096, 16, 16, 256, 2);
    peak_reset();
    for (auto _ : state) {
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        if (!image_save(TileSet, "tileset_bench_4096.png", FormatPng)) state.SkipWithError("save failed");
        image_free(TileSet);
        text_file_write("tileset_bench_4096 subimages.txt",
                        tileset_list_text("tileset_bench_4096", ".png", layout));
    }
    state.counters["peak_MiB"] = peak_mib();
    image_free(Picture);
    std::remove("tileset_bench_4096.png");
    std::remove("tileset_bench_4096 subimages.txt");
}
BENCHMARK(BM_Tileset4096_Whole)->Unit(benchmark::kMillisecond)->Iterations(2);

// The command as a user runs it on tileset_in_2048.png (written once, random pixels): load,
// grab, assemble, PNG save, TileList. The ImageMagick comparison script uses the same file.
void BM_Tileset2048_Command(benchmark::State& state) {
    codecs_ready();
    const std::string input = "tileset_in_2048.png";
    random_picture(50, 2048, 3);
    if (!image_save(50, input, FormatPng)) state.SkipWithError("cannot write the input picture");
    image_free(50);
    peak_reset();
    for (auto _ : state) {
        if (!image_load(Picture, input)) state.SkipWithError("load failed");
        const TileSetLayout layout =
            tileset_layout(image_width(Picture), image_height(Picture), 16, 16, 128, 2);
        if (!tileset_assemble(Picture, layout, TileSet)) state.SkipWithError("assembly failed");
        if (!image_save(TileSet, "tileset_out_2048.png", FormatPng)) state.SkipWithError("save failed");
        image_free(TileSet);
        image_free(Picture);
        text_file_write("tileset_out_2048 subimages.txt",
                        tileset_list_text("tileset_out_2048", ".png", layout));
    }
    state.counters["peak_MiB"] = peak_mib();
}
BENCHMARK(BM_Tileset2048_Command)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace morvane
