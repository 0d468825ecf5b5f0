// Display copies (premultiplied and greyed) and one-bit masks, from hand-made pixels.
#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"

namespace morvane {
namespace {

class DisplayTest : public ::testing::Test {
  protected:
    void TearDown() override {
        image_free(-1);
        for (Bitmap* b : made) bitmap_destroy(b);
    }
    Bitmap* keep(Bitmap* b) {
        made.push_back(b);
        return b;
    }
    std::vector<Bitmap*> made;
};

// A one-row 32-bit image holding the given B, G, R, A pixels.
ObjectNumber row_image(const std::vector<std::vector<int>>& pixels) {
    const ObjectNumber n = image_create(-1, static_cast<int>(pixels.size()), 1, 32, BackgroundTransparent);
    std::uint8_t* p = bitmap_from_handle(image_handle(n))->bits;
    for (const auto& px : pixels) {
        for (int v : px) *p++ = static_cast<std::uint8_t>(v);
    }
    return n;
}

std::vector<int> bytes_of(const Bitmap* b, int x, int y) {
    const std::uint8_t* p = b->row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(DisplayTest, NormalCopyPremultipliesTranslucentPixels) {
    const ObjectNumber n =
        row_image({{200, 100, 50, 128}, {200, 100, 50, 255}, {9, 9, 9, 0}, {255, 255, 255, 1}});
    Bitmap* d = keep(display_copy(image_handle(n), false));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->bpp, 32);
    EXPECT_EQ(d->width, 4);
    EXPECT_EQ(bytes_of(d, 0, 0), (std::vector<int>{100, 50, 25, 128}));   // (c * 128) >> 8
    EXPECT_EQ(bytes_of(d, 1, 0), (std::vector<int>{200, 100, 50, 255}));  // opaque: untouched
    EXPECT_EQ(bytes_of(d, 2, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(bytes_of(d, 3, 0), (std::vector<int>{0, 0, 0, 1}));  // 255 >> 8 = 0
}

TEST_F(DisplayTest, GreyedCopy) {
    // L = (3R + 6G + B) / 10, pulled toward 64..192 by 7/10, times A / 255.
    const ObjectNumber n = row_image({
        {200, 100, 50, 128},   // L 95 -> 95 * 128 / 255 = 47.68
        {255, 255, 255, 255},  // L 255 -> 192 + 441 / 10 = 236
        {0, 0, 0, 255},        // L 0 -> 64 - 448 / 10 = 20
        {0, 0, 0, 0},          // alpha 0 -> 0
        {10, 90, 250, 200},    // L 130 -> 130 * 200 / 255 = 101.96
        {100, 30, 20, 51},     // L 34 -> 64 - 210 / 10 = 43, * 0.2 = 8.6
    });
    Bitmap* d = keep(display_copy(image_handle(n), true));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(bytes_of(d, 0, 0), (std::vector<int>{47, 47, 47, 128}));
    EXPECT_EQ(bytes_of(d, 1, 0), (std::vector<int>{236, 236, 236, 255}));
    EXPECT_EQ(bytes_of(d, 2, 0), (std::vector<int>{20, 20, 20, 255}));
    EXPECT_EQ(bytes_of(d, 3, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(bytes_of(d, 4, 0), (std::vector<int>{101, 101, 101, 200}));
    EXPECT_EQ(bytes_of(d, 5, 0), (std::vector<int>{8, 8, 8, 51}));
}

TEST_F(DisplayTest, CopyKeepsRowsInPlaceAndShowsTwentyFourBitOpaque) {
    ASSERT_NE(image_create(1, 2, 3, 24), 0);
    const Bitmap* src = bitmap_from_handle(image_handle(1));
    src->row(0)[0] = 11;  // top-left blue
    src->row(2)[3] = 33;  // bottom-right blue
    Bitmap* d = keep(display_copy(image_handle(1), false));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->height, 3);
    EXPECT_EQ(bytes_of(d, 0, 0), (std::vector<int>{11, 0, 0, 255}));
    EXPECT_EQ(bytes_of(d, 1, 2), (std::vector<int>{33, 0, 0, 255}));
    EXPECT_EQ(bytes_of(d, 1, 0), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(display_copy(0, false), nullptr);
}

TEST_F(DisplayTest, MaskMarksTransparentPixelsWhite) {
    // 10 x 2: top row alpha 0 at x = 0, 3, 9; bottom row all visible but x = 8.
    ASSERT_NE(image_create(1, 10, 2, 32, rgba(1, 2, 3, 0)), 0);
    const Bitmap* src = bitmap_from_handle(image_handle(1));
    for (int x : {0, 3, 9}) src->row(0)[4 * x + 3] = 0;
    src->row(1)[4 * 8 + 3] = 0;
    src->row(1)[4 * 2 + 3] = 1;  // alpha 1 counts as visible
    Bitmap* m = keep(mask_bitmap(image_handle(1)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->bpp, 1);
    EXPECT_EQ(m->stride, 4);
    // Memory row 1 is the top row: bits 1001 0000 | 01.. ....
    EXPECT_EQ(std::vector<int>(m->bits + 4, m->bits + 8), (std::vector<int>{0x90, 0x40, 0, 0}));
    EXPECT_EQ(std::vector<int>(m->bits, m->bits + 4), (std::vector<int>{0x00, 0x80, 0, 0}));
}

TEST_F(DisplayTest, MaskAllBlackWithoutAlphaOrForTwentyFourBit) {
    ASSERT_NE(image_create(1, 9, 2, 32, BackgroundTransparent), 0);
    Bitmap* m = keep(mask_bitmap(image_handle(1)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(std::vector<int>(m->bits, m->bits + 8), std::vector<int>(8, 0));

    ASSERT_NE(image_create(2, 5, 5, 24, rgb(255, 255, 255)), 0);
    Bitmap* m24 = keep(mask_bitmap(image_handle(2)));
    ASSERT_NE(m24, nullptr);
    EXPECT_EQ(m24->width, 5);
    EXPECT_EQ(std::vector<int>(m24->bits, m24->bits + 20), std::vector<int>(20, 0));
}

}  // namespace
}  // namespace morvane
