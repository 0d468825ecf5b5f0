// image_resize: kept sizes, same size, failures, icons; the nearest-pixel stretch and the
// 24-bit area average.
#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"
#include "image/resample.h"

namespace morvane {
namespace {

class ResizeTest : public ::testing::Test {
  protected:
    void TearDown() override { image_free(-1); }
};

Bitmap* storage(ObjectNumber number) {
    return bitmap_from_handle(image_handle(number));
}

// Pixel (x, y) of a picture as its bytes.
std::vector<int> pixel(ObjectNumber number, int x, int y) {
    const Bitmap* b = storage(number);
    const int bytes = b->bpp / 8;
    const std::uint8_t* p = b->row(y) + x * bytes;
    return std::vector<int>(p, p + bytes);
}

void set_pixel(ObjectNumber number, int x, int y, std::vector<int> v) {
    const Bitmap* b = storage(number);
    std::uint8_t* p = b->row(y) + x * (b->bpp / 8);
    for (std::size_t i = 0; i < v.size(); ++i) p[i] = static_cast<std::uint8_t>(v[i]);
}

TEST_F(ResizeTest, KeepSizeAndSameSize) {
    ASSERT_NE(image_create(1, 20, 10, 24, rgb(9, 8, 7)), 0);
    ASSERT_NE(image_resize(1, KeepSize, 100), 0);
    EXPECT_EQ(image_width(1), 20);
    EXPECT_EQ(image_height(1), 100);
    ASSERT_NE(image_resize(1, 30, KeepSize, Nearest), 0);
    EXPECT_EQ(image_width(1), 30);
    EXPECT_EQ(image_height(1), 100);

    // Same size: the handle is returned and not even a smoothing pass runs.
    ASSERT_NE(image_create(2, 3, 1, 32, BackgroundTransparent), 0);
    set_pixel(2, 1, 0, {255, 255, 255, 255});
    const std::intptr_t h = image_handle(2);
    EXPECT_EQ(image_resize(2, 3, 1, Smooth), h);
    EXPECT_EQ(image_resize(2, KeepSize, KeepSize, Smooth), h);
    EXPECT_EQ(pixel(2, 0, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(2, 1, 0), (std::vector<int>{255, 255, 255, 255}));
}

TEST_F(ResizeTest, FailureDestroysTheImage) {
    for (auto [w, h] : {std::pair{0, 5}, {5, -3}, {32768, 5}, {5, 40000}}) {
        ASSERT_NE(image_create(3, 4, 4, 32), 0);
        EXPECT_EQ(image_resize(3, w, h), 0) << w << "x" << h;
        EXPECT_EQ(image_exists(3), 0);
        EXPECT_EQ(image_width(3), 0);
    }
    // A number without an image is left alone.
    EXPECT_EQ(image_resize(3, 5, 5), 0);
    EXPECT_EQ(image_exists(3), 0);
    // A dynamic image that failed can still be freed by its number.
    const std::intptr_t d = image_create(-1, 4, 4, 24);
    EXPECT_EQ(image_resize(d, 0, 0), 0);
    EXPECT_EQ(image_exists(d), 0);
    image_free(d);
}

TEST_F(ResizeTest, IconsAreNotResized) {
    const std::intptr_t h = image_create(4, 2, 2, 32);
    storage(4)->kind = Bitmap::Kind::Icon;
    EXPECT_EQ(image_resize(4, 4, 4), 0);
    EXPECT_EQ(image_handle(4), h);
    EXPECT_EQ(image_width(4), 2);
}

TEST_F(ResizeTest, NearestRepeatsWholeRowsAndColumns) {
    for (int depth : {24, 32}) {
        ASSERT_NE(image_create(1, 3, 2, depth), 0);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) set_pixel(1, x, y, {10 * x + 1, 10 * y + 2, 99});
        }
        ASSERT_NE(image_resize(1, 6, 4, Nearest), 0);
        // Each source pixel becomes a 2 x 2 block.
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                std::vector<int> want = {10 * (x / 2) + 1, 10 * (y / 2) + 2, 99};
                if (depth == 32) want.push_back(255);
                EXPECT_EQ(pixel(1, x, y), want) << depth << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(ResizeTest, NearestDropsRowsAndColumnsAndCopiesAlpha) {
    ASSERT_NE(image_create(1, 6, 3, 32, BackgroundTransparent), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) set_pixel(1, x, y, {x, y, 0, 40 * x + y});
    }
    ASSERT_NE(image_resize(1, 2, 2, Nearest), 0);
    // Columns 0 and 3 (x * 6 / 2), rows 0 and 1 (y * 3 / 2).
    EXPECT_EQ(pixel(1, 0, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(1, 1, 0), (std::vector<int>{3, 0, 0, 120}));
    EXPECT_EQ(pixel(1, 0, 1), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(pixel(1, 1, 1), (std::vector<int>{3, 1, 0, 121}));

    // 5 -> 3 columns: 0, 1, 3.
    ASSERT_NE(image_create(2, 5, 1, 24), 0);
    for (int x = 0; x < 5; ++x) set_pixel(2, x, 0, {x + 1, 0, 0});
    ASSERT_NE(image_resize(2, 3, 1, Nearest), 0);
    EXPECT_EQ(pixel(2, 0, 0)[0], 1);
    EXPECT_EQ(pixel(2, 1, 0)[0], 2);
    EXPECT_EQ(pixel(2, 2, 0)[0], 4);
}

TEST_F(ResizeTest, AreaAverageOfBlocks) {
    // 4 x 2 -> 2 x 1: each result is the mean of a 2 x 2 block, rounded to nearest.
    ASSERT_NE(image_create(1, 4, 2, 24), 0);
    const int left[4] = {10, 20, 30, 40};     // mean 25
    const int right[4] = {0, 0, 0, 1};        // mean 0.25 -> 0
    const int green_left[4] = {1, 1, 1, 0};   // 0.75 -> 1
    const int green_right[4] = {0, 0, 1, 1};  // 0.5 -> 1
    for (int i = 0; i < 4; ++i) {
        set_pixel(1, i % 2, i / 2, {left[i], green_left[i], 200});
        set_pixel(1, 2 + i % 2, i / 2, {right[i], green_right[i], 201});
    }
    ASSERT_NE(image_resize(1, 2, 1, Smooth), 0);
    EXPECT_EQ(pixel(1, 0, 0), (std::vector<int>{25, 1, 200}));
    EXPECT_EQ(pixel(1, 1, 0), (std::vector<int>{0, 1, 201}));

    // 3 -> 2: cell 0 covers source 0 and half of 1; cell 1 half of 1 and all of 2.
    ASSERT_NE(image_create(2, 3, 1, 24), 0);
    set_pixel(2, 0, 0, {30, 0, 0});
    set_pixel(2, 1, 0, {90, 0, 0});
    set_pixel(2, 2, 0, {150, 0, 0});
    ASSERT_NE(image_resize(2, 2, 1, Smooth), 0);
    EXPECT_EQ(pixel(2, 0, 0)[0], 50);   // (2 * 30 + 90) / 3
    EXPECT_EQ(pixel(2, 1, 0)[0], 130);  // (90 + 2 * 150) / 3

    // 2 -> 3: the middle cell straddles both pixels equally.
    ASSERT_NE(image_create(3, 2, 1, 24), 0);
    set_pixel(3, 0, 0, {0, 100, 7});
    set_pixel(3, 1, 0, {200, 50, 7});
    ASSERT_NE(image_resize(3, 3, 2, Smooth), 0);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(pixel(3, 0, y), (std::vector<int>{0, 100, 7}));
        EXPECT_EQ(pixel(3, 1, y), (std::vector<int>{100, 75, 7}));
        EXPECT_EQ(pixel(3, 2, y), (std::vector<int>{200, 50, 7}));
    }
}

TEST_F(ResizeTest, AreaAverageKeepsConstantAndMatchesBruteForce) {
    ASSERT_NE(image_create(1, 17, 13, 24, rgb(3, 128, 254)), 0);
    ASSERT_NE(image_resize(1, 5, 29, Smooth), 0);
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 5; ++x) ASSERT_EQ(pixel(1, x, y), (std::vector<int>{254, 128, 3}));
    }
    // Brute force over a fine grid: the source and the destination cells both cut into
    // sw * dw by sh * dh sub-cells, averaged by counting.
    const int sw = 7, sh = 5, dw = 3, dh = 4;
    ASSERT_NE(image_create(2, sw, sh, 24), 0);
    std::vector<int> values;
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
            values.push_back((x * 53 + y * 97) % 256);
            set_pixel(2, x, y, {values.back(), 0, 0});
        }
    }
    ASSERT_NE(image_resize(2, dw, dh, Smooth), 0);
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            long long sum = 0, n = 0;
            for (int fy = y * sw * sh; fy < (y + 1) * sw * sh; ++fy) {
                for (int fx = x * sw * sh; fx < (x + 1) * sw * sh; ++fx) {
                    // Fine grid of sw * dw * sh columns across the picture, likewise down.
                    const int sx = static_cast<int>(static_cast<long long>(fx) / (dw * sh));
                    const int sy = static_cast<int>(static_cast<long long>(fy) / (dh * sw));
                    sum += values[sy * sw + sx];
                    ++n;
                }
            }
            EXPECT_EQ(pixel(2, x, y)[0], static_cast<int>((2 * sum + n) / (2 * n))) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace morvane
