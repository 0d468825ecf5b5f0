// Loading and saving a 2048 x 2048 picture through our codecs, each beside the same work
// done with direct libpng / libjpeg calls (and BMP beside memcpy of the same bytes).
// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"

namespace {

using namespace morvane;

constexpr int Side = 2048;

// A 32-bit picture with smooth areas and some texture, as sprite sheets have.
struct Fixture {
    Bitmap* picture32 = nullptr;
    Bitmap* picture24 = nullptr;
    std::vector<std::uint8_t> png, jpeg, bmp24, bmp32;

    Fixture() {
        image_codecs_init();
        bmp_codec_register();
        png_decoder_register();
        png_encoder_register();
        jpeg_decoder_register();
        jpeg_encoder_register();
        picture32 = bitmap_create(Side, Side, 32);
        picture24 = bitmap_create(Side, Side, 24);
        std::uint32_t seed = 1;
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                seed = seed * 1103515245u + 12345u;
                const int tile = ((x / 32) + (y / 32)) % 5;
                std::uint8_t* p = picture32->row(y) + 4 * x;
                p[0] = static_cast<std::uint8_t>(x / 8 + tile * 20);
                p[1] = static_cast<std::uint8_t>(y / 8 + ((seed >> 24) & 7));
                p[2] = static_cast<std::uint8_t>(tile * 50);
                p[3] = static_cast<std::uint8_t>(tile == 0 ? 0 : 255);
                std::memcpy(picture24->row(y) + 3 * x, p, 3);
            }
        png = encode(FormatPng, picture32, 32, 7);
        jpeg = encode(FormatJpeg, picture24, 24, 7);
        bmp24 = encode(FormatBmp, picture24, 24, 7);
        bmp32 = encode(FormatBmp, picture32, 32, 7);
    }

    static std::vector<std::uint8_t> encode(std::uint32_t tag, const Bitmap* b, int depth, int parameter) {
        const ImageEncoder* encoder = encoder_find(tag);
        ImageWriter writer = depth == 32 ? encoder->write32 : encoder->write24;
        auto* block = reinterpret_cast<EncodedBlock*>(
            writer(nullptr, b->bits, b->width, b->height, b->stride, BottomUp, parameter, depth));
        std::vector<std::uint8_t> out(block->data, block->data + block->size);
        encoded_block_free(block);
        return out;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// --- direct libpng ---------------------------------------------------------------------

struct Reader {
    const std::uint8_t* data;
    std::size_t at;
};
void png_read_mem(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
}
void png_write_mem(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void png_flush_mem(png_structp) {}

void direct_png_load(const std::vector<std::uint8_t>& file) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Reader reader{file.data(), 0};
    png_set_read_fn(png, &reader, png_read_mem);
    png_read_info(png, info);
    const int w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        png_read_row(png, pixels.data() + static_cast<std::size_t>(h - 1 - y) * w * 4, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
}

std::size_t direct_png_save(const Bitmap* b) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(b->width) * b->height * 4 + 32768);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, png_write_mem, png_flush_mem);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, b->width, b->height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < b->height; ++y) png_write_row(png, b->row(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out.size();
}

// --- direct libjpeg --------------------------------------------------------------------

void direct_jpeg_load(const std::vector<std::uint8_t>& file) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), file.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.out_color_space = JCS_EXT_BGR;  // the library swaps the channels itself
    jpeg_start_decompress(&cinfo);
    const std::size_t w = cinfo.output_width, h = cinfo.output_height, stride = (w * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> pixels(stride * h);
    for (std::size_t y = 0; y < h; ++y) {
        JSAMPROW row = pixels.data() + (h - 1 - y) * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.data());
}

std::size_t direct_jpeg_save(const Bitmap* b) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = b->width;
    cinfo.image_height = b->height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 70, FALSE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < b->height; ++y) {
        JSAMPROW row = b->row(y);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return size;
}

// --- benchmarks ------------------------------------------------------------------------

void load(benchmark::State& state, const std::vector<std::uint8_t>& file) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())));
        image_free(1);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}

void save(benchmark::State& state, std::uint32_t tag, const Bitmap* b, int depth) {
    const ImageEncoder* encoder = encoder_find(tag);
    ImageWriter writer = depth == 32 && encoder->write32 ? encoder->write32 : encoder->write24;
    for (auto _ : state) {
        auto* block = reinterpret_cast<EncodedBlock*>(
            writer(nullptr, b->bits, b->width, b->height, b->stride, BottomUp, 7, depth));
        benchmark::DoNotOptimize(block);
        encoded_block_free(block);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}

void BM_PngLoad(benchmark::State& s) {
    load(s, fixture().png);
}
void BM_PngLoadDirect(benchmark::State& s) {
    for (auto _ : s) direct_png_load(fixture().png);
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}
void BM_PngSave(benchmark::State& s) {
    save(s, FormatPng, fixture().picture32, 32);
}
void BM_PngSaveDirect(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(direct_png_save(fixture().picture32));
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}
void BM_JpegLoad(benchmark::State& s) {
    load(s, fixture().jpeg);
}
void BM_JpegLoadDirect(benchmark::State& s) {
    for (auto _ : s) direct_jpeg_load(fixture().jpeg);
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}
void BM_JpegSave(benchmark::State& s) {
    save(s, FormatJpeg, fixture().picture24, 24);
}
void BM_JpegSaveDirect(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(direct_jpeg_save(fixture().picture24));
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}
void BM_BmpLoad24(benchmark::State& s) {
    load(s, fixture().bmp24);
}
void BM_BmpLoad32(benchmark::State& s) {
    load(s, fixture().bmp32);
}
void BM_BmpSave24(benchmark::State& s) {
    save(s, FormatBmp, fixture().picture24, 24);
}
void BM_BmpSave32(benchmark::State& s) {
    save(s, FormatBmp, fixture().picture32, 32);
}
// The same bytes as the 32-bit file copied into a block allocated per iteration, as loads
// and saves allocate theirs.
void BM_Memcpy(benchmark::State& s) {
    const std::vector<std::uint8_t>& file = fixture().bmp32;
    for (auto _ : s) {
        auto* out = static_cast<std::uint8_t*>(std::malloc(file.size()));
        std::memcpy(out, file.data(), file.size());
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(Side) * Side * 4);
}

BENCHMARK(BM_PngLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLoadDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngSaveDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLoadDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegSaveDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpLoad24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpLoad32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpSave24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpSave32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace
