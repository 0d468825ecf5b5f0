// JPEG files written with libjpeg: RGB, grey, CMYK, YCCK, progressive, and the writer.
// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdlib>

#include "codec_support.h"

namespace morvane::test {
namespace {

using Jpeg = CodecTest;
using Px = std::array<int, 4>;

std::vector<std::uint8_t> uniform(int width, int height, std::vector<std::uint8_t> value) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < width * height; ++i) out.insert(out.end(), value.begin(), value.end());
    return out;
}

// Every pixel within `tolerance` of `want` (a lossy codec on uniform blocks is near exact).
void expect_all_near(ObjectNumber number, Px want, int tolerance) {
    for (int y = 0; y < image_height(number); ++y)
        for (int x = 0; x < image_width(number); ++x) {
            const Px got = pixel_at(number, x, y);
            for (int k = 0; k < 4; ++k)
                ASSERT_NEAR(got[k], want[k], tolerance) << x << "," << y << " channel " << k;
        }
}

TEST_F(Jpeg, RgbAndGreyFilesLoadAsTwentyFourBits) {
    auto file = make_jpeg(16, 8, 3, JCS_RGB, JCS_YCbCr, uniform(16, 8, {200, 100, 50}), 100);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(1)->depth, 24);
    EXPECT_EQ(image_record(1)->source_depth, 24);
    EXPECT_EQ(image_record(1)->format_tag, 0x4745504Au);
    EXPECT_EQ(image_width(1), 16);
    EXPECT_EQ(image_height(1), 8);
    expect_all_near(1, {50, 100, 200, 255}, 2);

    file = make_jpeg(9, 3, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, uniform(9, 3, {77}), 100);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(1)->source_depth, 24);  // decoded as three components
    expect_all_near(1, {77, 77, 77, 255}, 1);

    file = make_jpeg(8, 8, 3, JCS_RGB, JCS_RGB, uniform(8, 8, {10, 20, 240}), 100, true);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    expect_all_near(1, {240, 20, 10, 255}, 2);
}

TEST_F(Jpeg, CmykAndYcckUseTheInkTimesKeyConversion) {
    // C=200 M=100 Y=50 K=128: red 200*128/255 = 100, green 50, blue 25 (hand computed).
    for (int space : {JCS_CMYK, JCS_YCCK}) {
        const auto file = make_jpeg(16, 16, 4, JCS_CMYK, space, uniform(16, 16, {200, 100, 50, 128}), 100);
        ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0) << space;
        EXPECT_EQ(image_record(1)->depth, 24);
        EXPECT_EQ(image_record(1)->source_depth, 32);
        expect_all_near(1, {25, 50, 100, 255}, 2);
    }
}

// A progressive file whose scan script refines every AC coefficient `levels` times.
std::vector<std::uint8_t> many_scans(int components, int levels) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 8;
    cinfo.image_height = 8;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    std::vector<jpeg_scan_info> script;
    jpeg_scan_info dc{};
    dc.comps_in_scan = components;
    for (int c = 0; c < components; ++c) dc.component_index[c] = c;
    script.push_back(dc);
    for (int c = 0; c < components; ++c)
        for (int k = 1; k < 64; ++k)
            for (int al = levels - 1; al >= 0; --al) {
                jpeg_scan_info s{};
                s.comps_in_scan = 1;
                s.component_index[0] = c;
                s.Ss = k, s.Se = k;
                s.Ah = al == levels - 1 ? 0 : al + 1;
                s.Al = al;
                script.push_back(s);
            }
    cinfo.scan_info = script.data();
    cinfo.num_scans = static_cast<int>(script.size());
    const std::vector<std::uint8_t> samples(64 * components, 99);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < 8; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + y * 8 * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

TEST_F(Jpeg, ProgressiveFilesAboveAThousandScansAreRefused) {
    // 1 + 63 x 6 = 379 scans decode; 1 + 3 x 63 x 6 = 1135 scans are refused.
    auto file = many_scans(1, 6);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    expect_all_near(1, {99, 99, 99, 255}, 1);
    file = many_scans(3, 6);
    EXPECT_EQ(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_exists(1), 0);
}

// First entry of the first quantisation table (8-bit precision) of a JPEG file.
int first_quant_entry(const std::vector<std::uint8_t>& file) {
    for (std::size_t i = 2; i + 5 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDB) return file[i + 4] >> 4 == 0 ? file[i + 5] : -1;
    return -1;
}

TEST_F(Jpeg, WriterQualityIsTheStepTimesTen) {
    ASSERT_NE(image_create(1, 16, 16, 24, rgb(30, 60, 90)), 0);
    const std::string path = temp_dir() + "/q.jpg";
    // Luminance DC entry 16 scaled: quality 70 -> (16 x 60 + 50) / 100 = 10; quality 100 -> 1.
    ASSERT_EQ(image_save(1, path, FormatJpeg), 1);
    EXPECT_EQ(first_quant_entry(read_file(path)), 10);
    ASSERT_EQ(image_save(1, path, FormatJpeg, 10), 1);
    EXPECT_EQ(first_quant_entry(read_file(path)), 1);
    ASSERT_EQ(image_save(1, path, FormatJpeg, 25), 1);  // clamped to 10
    EXPECT_EQ(first_quant_entry(read_file(path)), 1);
    ASSERT_NE(image_load(2, path), 0);
    expect_all_near(2, {90, 60, 30, 255}, 2);
}

TEST_F(Jpeg, ThirtyTwoBitPicturesAreFlattenedOntoWhite) {
    // Left half fully transparent, right half opaque; 16 x 16 blocks keep each MCU uniform.
    ASSERT_NE(image_create(1, 32, 16, 32, BackgroundTransparent), 0);
    Bitmap* b = bitmap_from_handle(image_handle(1));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = b->row(y) + 4 * x;
            p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 0;  // transparent: colour must not show
            std::uint8_t* q = b->row(y) + 4 * (x + 16);
            q[0] = 40, q[1] = 120, q[2] = 200, q[3] = 255;
        }
    const std::string path = temp_dir() + "/flat.jpg";
    ASSERT_EQ(image_save(1, path, FormatJpeg, 10), 1);
    ASSERT_NE(image_load(2, path), 0);
    EXPECT_EQ(image_record(2)->depth, 24);
    // Columns away from the seam, where chroma upsampling mixes the halves.
    for (int y = 0; y < 16; y += 5)
        for (int x : {0, 4, 8, 12}) {
            const Px white = pixel_at(2, x, y), color = pixel_at(2, 31 - x, y);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(white[k], 255, 2);
                EXPECT_NEAR(color[k], (std::array<int, 3>{40, 120, 200}[k]), 3);
            }
        }
}

TEST_F(Jpeg, DamagedHeadersFail) {
    const auto good = make_jpeg(8, 8, 3, JCS_RGB, JCS_YCbCr, uniform(8, 8, {1, 2, 3}), 90);
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + 20);
    EXPECT_EQ(image_from_memory(1, cut.data(), static_cast<std::int32_t>(cut.size())), 0);
    const std::uint8_t two[2] = {0xFF, 0xD8};
    EXPECT_EQ(image_from_memory(1, two, 2), 0);
}

}  // namespace
}  // namespace morvane::test
