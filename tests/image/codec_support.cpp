// Helpers for the picture-file tests.
#include "codec_support.h"

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <dirent.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <tuple>

namespace morvane::test {

void CodecTest::SetUp() {
    image_codecs_init();
    bmp_codec_register();
    ASSERT_NE(png_decoder_register(), 0);
    ASSERT_NE(png_encoder_register(), 0);
    ASSERT_NE(jpeg_decoder_register(), 0);
    ASSERT_NE(jpeg_encoder_register(), 0);
}

void CodecTest::TearDown() {
    image_free(-1);
    if (!dir_.empty()) {
        for (const std::string& name : list_dir(dir_)) ::unlink((dir_ + "/" + name).c_str());
        ::rmdir(dir_.c_str());
    }
}

std::string CodecTest::temp_dir() {
    if (dir_.empty()) {
        char pattern[] = "/tmp/morvane_codec_XXXXXX";
        const char* made = ::mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        dir_ = made ? made : "/tmp";
    }
    return dir_;
}

std::array<int, 4> pixel_at(ObjectNumber number, int x, int y) {
    const Image* record = image_record(number);
    if (!record || !record->handle) return {-1, -1, -1, -1};
    const Bitmap* b = bitmap_from_handle(record->handle);
    const std::uint8_t* p = b->row(y) + x * (b->bpp / 8);
    return {p[0], p[1], p[2], b->bpp == 32 ? p[3] : 255};
}

namespace {

void png_append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void png_flush(png_structp) {}

}  // namespace

std::vector<std::uint8_t> make_png(const PngPicture& picture) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test file";
        return {};
    }
    png_set_write_fn(png, &out, png_append, png_flush);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bit_depth, picture.color_type,
                 picture.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    std::vector<png_color> palette;
    for (std::uint32_t c : picture.palette)
        palette.push_back(png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                    static_cast<png_byte>(c)});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_color_16 trans{};
    if (!picture.trns_alpha.empty()) {
        png_set_tRNS(png, info, picture.trns_alpha.data(), static_cast<int>(picture.trns_alpha.size()), nullptr);
    } else if (picture.trns_gray >= 0) {
        trans.gray = static_cast<png_uint_16>(picture.trns_gray);
        png_set_tRNS(png, info, nullptr, 0, &trans);
    } else if (picture.trns_rgb[0] >= 0) {
        trans.red = static_cast<png_uint_16>(picture.trns_rgb[0]);
        trans.green = static_cast<png_uint_16>(picture.trns_rgb[1]);
        trans.blue = static_cast<png_uint_16>(picture.trns_rgb[2]);
        png_set_tRNS(png, info, nullptr, 0, &trans);
    }
    std::vector<png_bytep> rows;
    for (const auto& row : picture.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> make_jpeg(int width, int height, int components, int in_space, int file_space,
                                    const std::vector<std::uint8_t>& samples, int quality, bool progressive) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = static_cast<J_COLOR_SPACE>(in_space);
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, static_cast<J_COLOR_SPACE>(file_space));
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row =
            const_cast<JSAMPROW>(samples.data() + static_cast<std::size_t>(y) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<std::uint8_t> make_bmp(int width, int height, int bits, int compression,
                                   const std::vector<std::uint32_t>& palette,
                                   const std::vector<std::uint8_t>& pixels, int offset) {
    const int data_at = offset >= 0 ? offset : 54 + 4 * static_cast<int>(palette.size());
    Bytes b;
    b.u8('B').u8('M').u32(data_at + static_cast<std::int64_t>(pixels.size())).u16(0).u16(0).u32(data_at);
    b.u32(40).u32(width).u32(height).u16(1).u16(bits).u32(compression).u32(pixels.size());
    b.u32(0).u32(0).u32(palette.size()).u32(0);
    for (std::uint32_t c : palette) b.u8(c & 255).u8((c >> 8) & 255).u8((c >> 16) & 255).u8(0);
    while (static_cast<int>(b.data.size()) < data_at) b.u8(0);
    b.raw(pixels);
    return b.data;
}

namespace {

// An icon file of the given entries, each (width byte, height byte, bit count, data).
std::vector<std::uint8_t> icon_of(
    const std::vector<std::tuple<int, int, int, std::vector<std::uint8_t>>>& entries) {
    Bytes b;
    b.u16(0).u16(1).u16(static_cast<int>(entries.size()));
    std::size_t offset = 6 + 16 * entries.size();
    for (const auto& [w, h, bits, data] : entries) {
        b.u8(w).u8(h).u8(0).u8(0).u16(1).u16(bits).u32(data.size()).u32(offset);
        offset += data.size();
    }
    for (const auto& entry : entries) b.raw(std::get<3>(entry));
    return b.data;
}

// A bitmap icon entry of 2 x 2 pixels at `bits` per pixel with a two-colour palette
// for depths up to 8 and a mask making pixel (1, 0) transparent.
std::vector<std::uint8_t> dib_of(int bits) {
    Bytes b;
    b.u32(40).u32(2).u32(4).u16(1).u16(bits).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i) b.u32(i % 2 ? 0x00C08040 : 0x00102030);
    }
    const int stride = (2 * bits + 31) / 32 * 4;
    for (int i = 0; i < 2 * stride; ++i) b.u8(0x5C + i);
    b.u8(0x40).u8(0).u8(0).u8(0).u32(0);  // mask: pixel 1 of the bottom row is transparent
    return b.data;
}

}  // namespace

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> sample_files() {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> out;
    out.emplace_back("rgb24.bmp", make_bmp(5, 3, 24, 0, {}, std::vector<std::uint8_t>(48, 0x5A)));
    out.emplace_back("topdown32.bmp", make_bmp(2, -2, 32, 0, {}, std::vector<std::uint8_t>(16, 0x91)));
    out.emplace_back("rle8.bmp", make_bmp(6, 3, 8, 1, {0x112233, 0x445566, 0x778899, 0xAABBCC},
                                          {3, 1, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 3, 0, 1}));
    out.emplace_back("pal4.bmp", make_bmp(7, 2, 4, 0, {0xFF0000, 0x00FF00},
                                          {0x01, 0x10, 0x01, 0x10, 0x10, 0x01, 0x10, 0x01}));
    out.emplace_back("mono.bmp", make_bmp(9, 2, 1, 0, {0, 0xFFFFFF}, {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0}));
    out.emplace_back("bits565.bmp", make_bmp(3, 1, 16, 3, {0xF800, 0x07E0, 0x001F},
                                             {0x43, 0x08, 0xFF, 0xFF, 0, 0x7C, 0, 0}));
    PngPicture png;
    png.width = 5, png.height = 4, png.color_type = PNG_COLOR_TYPE_RGB_ALPHA, png.interlace = true;
    for (int y = 0; y < 4; ++y) {
        std::vector<std::uint8_t> row(20);
        for (int i = 0; i < 20; ++i) row[i] = static_cast<std::uint8_t>(i * 13 + y * 41);
        png.rows.push_back(row);
    }
    const auto rgba_png = make_png(png);
    out.emplace_back("rgba_interlaced.png", rgba_png);
    PngPicture pal;
    pal.width = 6, pal.height = 3, pal.color_type = PNG_COLOR_TYPE_PALETTE, pal.bit_depth = 2;
    pal.palette = {0x000000, 0x808080, 0xFFFFFF};
    pal.trns_alpha = {0, 255};
    pal.rows.assign(3, std::vector<std::uint8_t>{0x1B, 0x60});
    out.emplace_back("palette2.png", make_png(pal));
    PngPicture grey;
    grey.width = 3, grey.height = 2, grey.color_type = PNG_COLOR_TYPE_GRAY, grey.bit_depth = 16,
    grey.trns_gray = 0x1234;
    grey.rows = {{0x12, 0x34, 0xFF, 0x00, 0x80, 0x80}, {0, 0, 1, 1, 2, 2}};
    out.emplace_back("grey16_trns.png", make_png(grey));
    std::vector<std::uint8_t> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
    out.emplace_back("baseline.jpg", make_jpeg(16, 16, 3, JCS_RGB, JCS_YCbCr, rgb, 80));
    out.emplace_back("progressive.jpg", make_jpeg(16, 16, 3, JCS_RGB, JCS_YCbCr, rgb, 80, true));
    std::vector<std::uint8_t> cmyk(8 * 8 * 4);
    for (std::size_t i = 0; i < cmyk.size(); ++i) cmyk[i] = static_cast<std::uint8_t>(255 - i * 3);
    out.emplace_back("ycck.jpg", make_jpeg(8, 8, 4, JCS_CMYK, JCS_YCCK, cmyk, 90));
    out.emplace_back(
        "grey.jpg", make_jpeg(8, 8, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, std::vector<std::uint8_t>(64, 100), 90));
    out.emplace_back("bmp_and_png.ico", icon_of({{2, 2, 24, dib_of(24)}, {2, 2, 32, rgba_png}}));
    out.emplace_back("palettes.ico",
                     icon_of({{2, 2, 1, dib_of(1)}, {2, 2, 4, dib_of(4)}, {2, 2, 8, dib_of(8)}}));
    out.emplace_back("alpha32.ico", icon_of({{2, 2, 32, dib_of(32)}, {16, 16, 16, dib_of(16)}}));
    return out;
}

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::vector<std::uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_dir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

std::vector<std::uint8_t> encode_to_memory(ImageWriter writer, const Bitmap& bitmap, int parameter,
                                           int depth) {
    const std::intptr_t result =
        writer(nullptr, bitmap.bits, bitmap.width, bitmap.height, bitmap.stride, BottomUp, parameter, depth);
    auto* block = reinterpret_cast<EncodedBlock*>(result);
    if (!block) return {};
    std::vector<std::uint8_t> out(block->data, block->data + block->size);
    encoded_block_free(block);
    return out;
}

}  // namespace morvane::test
