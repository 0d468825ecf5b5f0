// Truncated, corrupted and oversized inputs: every decode ends with 0 or a sound picture.
// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <gtest/gtest.h>
#include <png.h>

#include <random>

#include "codec_support.h"

namespace morvane::test {
namespace {

class Robustness : public CodecTest {
  protected:
    void SetUp() override {
        CodecTest::SetUp();
        saved_limit_ = image_codecs_pixel_limit();
        image_codecs_set_pixel_limit(1 << 20);  // keeps corrupted size fields cheap
    }
    void TearDown() override {
        image_codecs_set_pixel_limit(saved_limit_);
        CodecTest::TearDown();
    }

  private:
    std::int64_t saved_limit_ = 0;
};

// Decodes a block and checks the outcome is a failure or a consistent picture.
void decode_and_check(const std::vector<std::uint8_t>& data, const std::string& label) {
    const std::intptr_t result = image_from_memory(1, data.data(), static_cast<std::int32_t>(data.size()));
    if (result == 0) {
        ASSERT_EQ(image_exists(1), 0) << label;
        return;
    }
    const Image* record = image_record(1);
    ASSERT_NE(record, nullptr) << label;
    const Bitmap* b = bitmap_from_handle(record->handle);
    ASSERT_EQ(b->width, record->width) << label;
    ASSERT_EQ(b->height, record->height) << label;
    ASSERT_GT(b->width, 0) << label;
    ASSERT_GT(b->height, 0) << label;
    ASSERT_TRUE(b->bpp == 24 || b->bpp == 32) << label;
}

TEST_F(Robustness, SamplesDecodeWhole) {
    for (const auto& [name, s] : sample_files())
        EXPECT_NE(image_from_memory(1, s.data(), static_cast<std::int32_t>(s.size())), 0);
}

TEST_F(Robustness, EveryPrefixDecodesOrFails) {
    for (const auto& [name, s] : sample_files())
        for (std::size_t n = 1; n < s.size(); ++n) {
            const std::vector<std::uint8_t> prefix(s.begin(), s.begin() + n);
            decode_and_check(prefix, "prefix " + std::to_string(n) + " of " + std::to_string(s.size()));
        }
}

TEST_F(Robustness, SeededCorruptionDecodesOrFails) {
    std::mt19937 random(20261208);
    int decoded = 0, failed = 0;
    for (const auto& [name, s] : sample_files())
        for (int round = 0; round < 400; ++round) {
            auto copy = s;
            const int changes = 1 + static_cast<int>(random() % 8);
            for (int k = 0; k < changes; ++k)
                copy[random() % copy.size()] = static_cast<std::uint8_t>(random());
            decode_and_check(copy, "round " + std::to_string(round));
            (image_exists(1) ? decoded : failed) += 1;
        }
    // Both outcomes occur: corruption is neither always fatal nor always ignored.
    EXPECT_GT(decoded, 0);
    EXPECT_GT(failed, 0);
}

TEST_F(Robustness, OversizedHeadersFailBeforeAllocating) {
    image_codecs_set_pixel_limit(INT64_MAX);  // only the 32767 side limit applies here
    // BMP claiming 40000 x 1 and 1 x -40000.
    auto bmp = make_bmp(40000, 1, 24, 0, {}, {1, 2, 3});
    EXPECT_EQ(image_from_memory(1, bmp.data(), static_cast<std::int32_t>(bmp.size())), 0);
    bmp = make_bmp(1, -40000, 24, 0, {}, {1, 2, 3});
    EXPECT_EQ(image_from_memory(1, bmp.data(), static_cast<std::int32_t>(bmp.size())), 0);
    // PNG 32768 wide (written with libpng, whose default limits are higher).
    PngPicture png;
    png.width = 32768, png.height = 1, png.color_type = PNG_COLOR_TYPE_GRAY, png.bit_depth = 1;
    png.rows.assign(1, std::vector<std::uint8_t>(4096, 0));
    const auto wide = make_png(png);
    EXPECT_EQ(image_from_memory(1, wide.data(), static_cast<std::int32_t>(wide.size())), 0);
    // JPEG 32768 high.
    const auto tall =
        make_jpeg(1, 32768, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, std::vector<std::uint8_t>(32768, 9), 50);
    EXPECT_EQ(image_from_memory(1, tall.data(), static_cast<std::int32_t>(tall.size())), 0);
    // The pixel limit turns away pictures within the side limit.
    image_codecs_set_pixel_limit(100);
    bmp = make_bmp(11, 10, 24, 0, {}, {});
    EXPECT_EQ(image_from_memory(1, bmp.data(), static_cast<std::int32_t>(bmp.size())), 0);
    bmp = make_bmp(10, 10, 24, 0, {}, {});
    EXPECT_NE(image_from_memory(1, bmp.data(), static_cast<std::int32_t>(bmp.size())), 0);
}

}  // namespace
}  // namespace morvane::test
