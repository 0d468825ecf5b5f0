// Saving a PNG with "Smallest PNG files" on, beside the same save with it off (8-bit RGBA,
// the baseline of the same run): Tiled's beach and desert example sheets and a 2048 x 2048
// sheet of the beach sheet's tiles in a shuffled order (fixed seed). Counters: the file
// size and its share of the RGBA file's. The comparison with optipng is
// bench/png_vs_optipng.sh.
#include "image/png_optimize.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"

namespace {

using namespace morvane;

constexpr const char* Examples = "/usr/share/doc/tiled/examples/";
enum Picture : ObjectNumber { Beach = 1, Desert = 2, Sheet = 3 };

bool setup() {
    static const bool ready = [] {
        image_codecs_init();
        bmp_codec_register();
        png_decoder_register();
        png_encoder_register();
        if (!image_load(Beach, std::string(Examples) + "rpg/beach_tileset.png") ||
            !image_load(Desert, std::string(Examples) + "tmw_desert_spacing.png") ||
            !image_create(Sheet, 2048, 2048, 32))
            return false;
        // 64 x 64 tiles of 32 x 32 pixels: the beach tiles over and over, shuffled.
        const Bitmap* beach = bitmap_from_handle(image_handle(Beach));
        Bitmap* sheet = bitmap_from_handle(image_handle(Sheet));
        if (beach->bpp != 32) return false;
        const int across = beach->width / 32, count = across * (beach->height / 32);
        std::vector<int> order(64 * 64);
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i) % count;
        std::shuffle(order.begin(), order.end(), std::mt19937(2048));
        for (int t = 0; t < 64 * 64; ++t) {
            const int sx = order[t] % across * 32, sy = order[t] / across * 32;
            for (int y = 0; y < 32; ++y)
                std::memcpy(sheet->row(t / 64 * 32 + y) + (t % 64) * 32 * 4, beach->row(sy + y) + sx * 4,
                            32 * 4);
        }
        return true;
    }();
    return ready;
}

std::size_t encoded_size(ObjectNumber picture) {
    const Bitmap* b = bitmap_from_handle(image_handle(picture));
    const ImageEncoder* encoder = encoder_find(FormatPng);
    auto* block = reinterpret_cast<EncodedBlock*>((b->bpp == 32 ? encoder->write32 : encoder->write24)(
        nullptr, b->bits, b->width, b->height, b->stride, BottomUp, 7, b->bpp));
    const std::size_t size = block ? block->size : 0;
    encoded_block_free(block);
    return size;
}

void BM_PngSave(benchmark::State& state) {
    const auto picture = static_cast<ObjectNumber>(state.range(0));
    const bool smallest = state.range(1) != 0;
    if (!setup()) {
        state.SkipWithError("Tiled's example sheets are missing (Debian package tiled)");
        return;
    }
    png_smallest_set(false);
    const std::size_t rgba = encoded_size(picture);
    png_smallest_set(smallest);
    std::size_t size = 0;
    for (auto _ : state) size = encoded_size(picture);
    png_smallest_set(false);
    if (!size) state.SkipWithError("encoding failed");
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["of_rgba"] = static_cast<double>(size) / static_cast<double>(rgba);
}

BENCHMARK(BM_PngSave)
    ->ArgNames({"picture", "smallest"})
    ->Args({Beach, 0})
    ->Args({Beach, 1})
    ->Args({Desert, 0})
    ->Args({Desert, 1})
    ->Args({Sheet, 0})
    ->Args({Sheet, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
