// BMP reading of hand-built files and writing checked byte by byte.
#include <gtest/gtest.h>

#include "codec_support.h"

namespace morvane::test {
namespace {

using Bmp = CodecTest;
using Px = std::array<int, 4>;

// Colour of pixel (x, y) in the 24-bit tests: distinct, hand-predictable bytes.
Px expected_color(int x, int y) {
    return {10 + x, 100 + y, 200 + x + y, 255};
}

TEST_F(Bmp, TwentyFourBitRowsArePaddedForWidthsOneToFive) {
    for (int width = 1; width <= 5; ++width) {
        const int height = 2;
        const int padding = (4 - (3 * width) % 4) % 4;
        std::vector<std::uint8_t> pixels;
        for (int row = 0; row < height; ++row) {  // file rows run from the bottom
            const int y = height - 1 - row;
            for (int x = 0; x < width; ++x) {
                const Px c = expected_color(x, y);
                pixels.insert(pixels.end(), {std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])});
            }
            pixels.insert(pixels.end(), padding, 0xEE);
        }
        const auto file = make_bmp(width, height, 24, 0, {}, pixels);
        ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0) << width;
        const Image* record = image_record(1);
        EXPECT_EQ(record->width, width);
        EXPECT_EQ(record->height, height);
        EXPECT_EQ(record->depth, 24);
        EXPECT_EQ(record->source_depth, 24);
        EXPECT_EQ(record->format_tag, 0x504D42u);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(pixel_at(1, x, y), expected_color(x, y)) << width << " " << x << "," << y;
    }
}

TEST_F(Bmp, ThirtyTwoBitDropsAlphaAndTopDownFilesAreUpright) {
    // 2 x 2, 32 bits, top-down (negative height): first file row is the top line.
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9};
    const auto file = make_bmp(2, -2, 32, 0, {}, pixels);
    ASSERT_NE(image_from_memory(2, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(2)->source_depth, 32);
    EXPECT_EQ(image_height(2), 2);
    EXPECT_EQ(pixel_at(2, 0, 0), (Px{1, 2, 3, 255}));
    EXPECT_EQ(pixel_at(2, 1, 0), (Px{4, 5, 6, 255}));
    EXPECT_EQ(pixel_at(2, 0, 1), (Px{7, 8, 9, 255}));
    EXPECT_EQ(pixel_at(2, 1, 1), (Px{10, 11, 12, 255}));
}

TEST_F(Bmp, ThirtyTwoBitRowsOfEveryWidthKeepTheirPixels) {
    // Widths around the 4-pixel steps of the row packing; the alpha byte is dropped and
    // never leaks into the next pixel.
    for (int width = 1; width <= 40; ++width) {
        const int height = 3;
        std::vector<std::uint8_t> pixels;
        for (int row = 0; row < height; ++row) {  // file rows run from the bottom
            const int y = height - 1 - row;
            for (int x = 0; x < width; ++x)
                pixels.insert(pixels.end(), {std::uint8_t(x), std::uint8_t(y), std::uint8_t((x * 7 + y) & 255), 0xAB});
        }
        const auto file = make_bmp(width, height, 32, 0, {}, pixels);
        ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0) << width;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(pixel_at(1, x, y), (Px{x, y, (x * 7 + y) & 255, 255})) << width << " " << x << "," << y;
    }
}

TEST_F(Bmp, SixteenBitFiveFiveFiveAndAssumedFiveSixFive) {
    // Width 1: each row is 2 pixel bytes and 2 padding bytes. Rows bottom-up.
    // 5-5-5: r=1 g=2 b=3 -> 0x0443; 5-6-5: r=1 g=2 b=3 -> 0x0843.
    const std::vector<std::uint8_t> rows = {0x43, 0x04, 0, 0, 0xFF, 0x7F, 0, 0};
    auto file = make_bmp(1, 2, 16, 0, {}, rows);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(1)->source_depth, 16);
    EXPECT_EQ(pixel_at(1, 0, 1), (Px{24, 16, 8, 255}));
    EXPECT_EQ(pixel_at(1, 0, 0), (Px{248, 248, 248, 255}));

    // Bit fields with masks claiming 5-5-5 are still read as 5-6-5.
    const std::vector<std::uint8_t> rows565 = {0x43, 0x08, 0, 0, 0xFF, 0xFF, 0, 0};
    file = make_bmp(1, 2, 16, 3, {0x7C00, 0x03E0, 0x001F}, rows565);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(pixel_at(1, 0, 1), (Px{24, 8, 8, 255}));
    EXPECT_EQ(pixel_at(1, 0, 0), (Px{248, 252, 248, 255}));

    // Any other compression decodes nothing: black.
    file = make_bmp(1, 2, 16, 2, {}, rows);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(pixel_at(1, 0, 0), (Px{0, 0, 0, 255}));
}

TEST_F(Bmp, PaletteFilesOfEightFourAndOneBits) {
    const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
    for (int width = 1; width <= 5; ++width) {
        // 8 bits: one index per byte, pixel x has index x; rows padded to 4 bytes.
        std::vector<std::uint8_t> rows8;
        for (int x = 0; x < width; ++x) rows8.push_back(static_cast<std::uint8_t>(x));
        rows8.resize((width + 3) / 4 * 4, 0);
        auto file = make_bmp(width, 1, 8, 0, palette, rows8);
        ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = palette[x];
            EXPECT_EQ(pixel_at(1, x, 0), (Px{int(c & 255), int((c >> 8) & 255), int(c >> 16), 255}))
                << width << "/" << x;
        }
        // 4 bits: pixel x has index 4 - x, high nibble first.
        std::vector<std::uint8_t> rows4((((width + 1) / 2) + 3) / 4 * 4, 0);
        for (int x = 0; x < width; ++x)
            rows4[x / 2] |= static_cast<std::uint8_t>((4 - x) << ((x & 1) ? 0 : 4));
        file = make_bmp(width, 1, 4, 0, palette, rows4);
        ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
        EXPECT_EQ(image_record(1)->source_depth, 4);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = palette[4 - x];
            EXPECT_EQ(pixel_at(1, x, 0), (Px{int(c & 255), int((c >> 8) & 255), int(c >> 16), 255}))
                << width << "/" << x;
        }
    }
    // 1 bit: bits 1,0,1,1,0 (MSB first) with a red/green palette still read black and white.
    const auto file = make_bmp(5, 1, 1, 0, {0x0000FF, 0x00FF00}, {0xB0, 0, 0, 0});
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    const int expected[5] = {255, 0, 255, 255, 0};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(pixel_at(1, x, 0), (Px{expected[x], expected[x], expected[x], 255}));
}

TEST_F(Bmp, RunLengthEightBitsWithLiteralsDeltaAndEnd) {
    const std::vector<std::uint32_t> palette = {0x000000, 0x112233, 0x445566, 0x778899};
    // Width 6, height 3; rows count from the bottom (y = 0 is picture row 2).
    const std::vector<std::uint8_t> stream = {
        3, 1,              // three of colour 1 at (0..2, 0)
        0, 3, 2, 2, 2, 0,  // three literal colour-2 pixels at (3..5, 0) and a pad byte
        0, 0,              // end of line: y = 1
        0, 2, 1, 1,        // delta: (1, 2)
        2, 3,              // two of colour 3 at (1..2, 2)
        9, 1,              // a run reaching past the right edge is cut there
        0, 1,              // end of picture
        5, 2};             // ignored
    const auto file = make_bmp(6, 3, 8, 1, palette, stream);
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    const Px black{0, 0, 0, 255}, c1{0x33, 0x22, 0x11, 255}, c2{0x66, 0x55, 0x44, 255},
        c3{0x99, 0x88, 0x77, 255};
    const Px bottom[6] = {c1, c1, c1, c2, c2, c2};
    const Px top[6] = {black, c3, c3, c1, c1, c1};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(pixel_at(1, x, 2), bottom[x]) << x;
        EXPECT_EQ(pixel_at(1, x, 1), black) << x;  // skipped by the delta
        EXPECT_EQ(pixel_at(1, x, 0), top[x]) << x;
    }
}

TEST_F(Bmp, UnsupportedVariantsLoadBlackAtTheirSize) {
    // 4-bit run-length data and a pixel data offset past the end both leave black pixels.
    auto file = make_bmp(3, 2, 4, 2, {0xFFFFFF, 0xFFFFFF}, {4, 0x11, 0, 0, 4, 0x11, 0, 1});
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_width(1), 3);
    EXPECT_EQ(image_height(1), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixel_at(1, x, y), (Px{0, 0, 0, 255}));
    file = make_bmp(2, 2, 24, 0, {}, std::vector<std::uint8_t>(16, 0xFF));
    file[10] = 0x88, file[11] = 0x13;  // pixel data offset 5000, past the 70-byte file
    ASSERT_NE(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(pixel_at(1, 1, 1), (Px{0, 0, 0, 255}));
    // Non-zero reserved words: not a BMP, and no other decoder takes it.
    file[6] = 1;
    EXPECT_EQ(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_exists(1), 0);
}

TEST_F(Bmp, SavingWidthOneWritesTheHeaderAndPaddedRows) {
    // 1 x 2 24-bit picture: rows of 4 bytes (3 pixel bytes and the storage's zero pad).
    ASSERT_NE(image_create(1, 1, 2, 24, 0), 0);
    Bitmap* b = bitmap_from_handle(image_handle(1));
    b->row(0)[0] = 1, b->row(0)[1] = 2, b->row(0)[2] = 3;
    b->row(1)[0] = 4, b->row(1)[1] = 5, b->row(1)[2] = 6;
    const std::string path = temp_dir() + "/one.bmp";
    ASSERT_EQ(image_save(1, path), 1);
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40,  0,   0,  0, 1, 0, 0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,
        8,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  // resolutions and colour counts
        4,   5,   6,  0,                                                    // bottom row first
        1,   2,   3,  0};
    EXPECT_EQ(read_file(path), expected);
}

TEST_F(Bmp, ThirtyTwoBitSaveKeepsAlphaBytesAndReloadsAsTwentyFour) {
    ASSERT_NE(image_create(1, 2, 1, 32, BackgroundTransparent), 0);
    Bitmap* b = bitmap_from_handle(image_handle(1));
    const std::uint8_t px[8] = {10, 20, 30, 40, 50, 60, 70, 255};
    std::copy(px, px + 8, b->row(0));
    const std::string path = temp_dir() + "/alpha.bmp";
    ASSERT_EQ(image_save(1, path), 1);
    const auto bytes = read_file(path);
    ASSERT_EQ(bytes.size(), 54u + 8u);
    EXPECT_EQ(bytes[28], 32);
    EXPECT_TRUE(std::equal(px, px + 8, bytes.begin() + 54));
    ASSERT_NE(image_load(2, path), 0);
    EXPECT_EQ(image_record(2)->depth, 24);
    EXPECT_EQ(image_record(2)->source_depth, 32);
    EXPECT_EQ(pixel_at(2, 0, 0), (Px{10, 20, 30, 255}));

    // Depth 24 composes onto white: (100,50,0) at alpha 128 -> 177, 152, 127 (hand computed).
    b->row(0)[0] = 100, b->row(0)[1] = 50, b->row(0)[2] = 0, b->row(0)[3] = 128;
    ASSERT_EQ(image_save(1, path, FormatBmp, 7, 24), 1);
    ASSERT_NE(image_load(2, path), 0);
    EXPECT_EQ(pixel_at(2, 0, 0), (Px{177, 152, 127, 255}));
    EXPECT_EQ(read_file(path).size(), 54u + 8u);
}

TEST_F(Bmp, PaletteOutputRoundTripsFewColoursExactly) {
    const Px colors[4] = {{0, 0, 0, 255}, {255, 255, 255, 255}, {12, 34, 56, 255}, {200, 100, 50, 255}};
    for (int depth : {1, 4, 8}) {
        const int used = depth == 1 ? 2 : 4;
        ASSERT_NE(image_create(1, 7, 3, 24, 0), 0);
        Bitmap* b = bitmap_from_handle(image_handle(1));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                const Px& c = colors[(x + 2 * y) % used];
                for (int k = 0; k < 3; ++k) b->row(y)[3 * x + k] = static_cast<std::uint8_t>(c[k]);
            }
        const std::string path = temp_dir() + "/pal.bmp";
        ASSERT_EQ(image_save(1, path, FormatBmp, 7, depth), 1) << depth;
        const auto bytes = read_file(path);
        const std::size_t row_length = depth == 8 ? 8 : 4;
        EXPECT_EQ(bytes.size(), 54 + 4 * (std::size_t{1} << depth) + 3 * row_length) << depth;
        ASSERT_NE(image_load(2, path), 0);
        EXPECT_EQ(image_record(2)->source_depth, depth);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                // The 1-bit reader always uses black and white, which are the colours here.
                EXPECT_EQ(pixel_at(2, x, y), colors[(x + 2 * y) % used]) << depth << " " << x << "," << y;
            }
    }
}

TEST_F(Bmp, UnsupportedDepthFailsBeforeCreatingAFile) {
    ASSERT_NE(image_create(1, 4, 4, 24, 0), 0);
    const std::string path = temp_dir() + "/no.bmp";
    EXPECT_EQ(image_save(1, path, FormatBmp, 7, 16), 0);
    EXPECT_FALSE(file_exists(path));
    EXPECT_TRUE(list_dir(temp_dir()).empty());
}

}  // namespace
}  // namespace morvane::test
