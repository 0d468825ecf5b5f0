// Creation, copy and grab: pixel bytes, depths, fields and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/image.h"

namespace morvane {
namespace {

class ImageCreateTest : public ::testing::Test {
  protected:
    void TearDown() override { image_free(-1); }
};

Bitmap* storage(ObjectNumber number) {
    return bitmap_from_handle(image_handle(number));
}

// Every byte of the storage, padding included.
std::vector<std::uint8_t> all_bytes(const Bitmap* b) {
    return std::vector<std::uint8_t>(b->bits, b->bits + static_cast<std::size_t>(b->stride) * b->height);
}

TEST(BitmapTest, StrideRule) {
    EXPECT_EQ(bitmap_stride(1, 24), 4);
    EXPECT_EQ(bitmap_stride(3, 24), 12);
    EXPECT_EQ(bitmap_stride(5, 24), 16);
    EXPECT_EQ(bitmap_stride(7, 32), 28);
    EXPECT_EQ(bitmap_stride(1, 1), 4);
    EXPECT_EQ(bitmap_stride(33, 1), 8);
    EXPECT_EQ(bitmap_stride(9, 4), 8);
    EXPECT_EQ(bitmap_stride(5, 8), 8);
    EXPECT_EQ(bitmap_stride(3, 16), 8);
    EXPECT_EQ(bitmap_stride(int64_t{1} << 40, 32), -1);
}

TEST(BitmapTest, CreateRejectsBadSizesAndDepths) {
    EXPECT_EQ(bitmap_create(0, 4, 24), nullptr);
    EXPECT_EQ(bitmap_create(4, -1, 24), nullptr);
    EXPECT_EQ(bitmap_create(4, 4, 33), nullptr);
    EXPECT_EQ(bitmap_create(4, 4, 0), nullptr);
    // 2^30 x 2^30 32-bit pixels: the byte count is checked before anything is allocated.
    EXPECT_EQ(bitmap_create(1 << 30, 1 << 30, 32), nullptr);
    Bitmap* b = bitmap_create(5, 3, 8);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->bpp, 24);
    EXPECT_EQ(b->stride, 16);
    EXPECT_EQ(all_bytes(b), std::vector<std::uint8_t>(48, 0));
    bitmap_destroy(b);
}

TEST(BitmapTest, LargeStorageIsZeroedWritableAndReleased) {
    // Sizes around the point where storage is mapped from the system rather than the heap,
    // each created and released twice so a recycled block is checked as well.
    for (int round = 0; round < 2; ++round) {
        for (const int height : {10922, 10923, 10924, 16000}) {
            Bitmap* b = bitmap_create(1023, height, 24);
            ASSERT_NE(b, nullptr);
            const std::size_t bytes = static_cast<std::size_t>(b->stride) * b->height;
            std::size_t nonzero = 0;
            for (std::size_t i = 0; i < bytes; i += 509) nonzero += b->bits[i] != 0;
            nonzero += b->bits[bytes - 1] != 0;
            EXPECT_EQ(nonzero, 0u) << height;
            std::memset(b->bits, 0xA5, bytes);
            EXPECT_EQ(b->row(0)[0], 0xA5);
            EXPECT_EQ(b->row(height - 1)[3068], 0xA5);
            bitmap_destroy(b);
        }
    }
}

TEST_F(ImageCreateTest, ThirtyTwoBitBackgrounds) {
    ASSERT_NE(image_create(1, 3, 2, 32, BackgroundTransparent), 0);
    EXPECT_EQ(all_bytes(storage(1)), std::vector<std::uint8_t>(24, 0));

    ASSERT_NE(image_create(1, 3, 2, 32, rgba(10, 20, 30, 0)), 0);
    std::vector<std::uint8_t> expected(24, 255);
    for (int i = 0; i < 6; ++i) expected[4 * i] = 30, expected[4 * i + 1] = 20, expected[4 * i + 2] = 10;
    EXPECT_EQ(all_bytes(storage(1)), expected);

    // The default background 0 becomes opaque black.
    ASSERT_NE(image_create(1, 1, 1, 32), 0);
    EXPECT_EQ(all_bytes(storage(1)), (std::vector<std::uint8_t>{0, 0, 0, 255}));
}

TEST_F(ImageCreateTest, TwentyFourBitFillLeavesPaddingZero) {
    ASSERT_NE(image_create(2, 3, 2, 24, rgb(1, 2, 3)), 0);
    const std::vector<std::uint8_t> row = {3, 2, 1, 3, 2, 1, 3, 2, 1, 0, 0, 0};
    std::vector<std::uint8_t> expected = row;
    expected.insert(expected.end(), row.begin(), row.end());
    EXPECT_EQ(all_bytes(storage(2)), expected);
}

TEST_F(ImageCreateTest, DepthsUpTo24GiveTwentyFourBits) {
    for (int depth : {1, 8, 16, 24}) {
        ASSERT_NE(image_create(3, 2, 2, depth), 0) << depth;
        EXPECT_EQ(image_record(3)->depth, 24) << depth;
        EXPECT_EQ(image_record(3)->source_depth, 24) << depth;
        EXPECT_EQ(storage(3)->bpp, 24) << depth;
    }
    EXPECT_EQ(image_create(3, 2, 2, 33), 0);
    EXPECT_EQ(image_create(3, 2, 2, 48), 0);
    EXPECT_EQ(image_exists(3), 0);
}

TEST_F(ImageCreateTest, CopyDuplicatesPixelsAndFields) {
    ASSERT_NE(image_create(1, 5, 3, 32, rgba(1, 2, 3, 4)), 0);
    storage(1)->row(0)[0] = 99;
    image_record(1)->source_depth = 8;
    image_record(1)->format_tag = 0x474E50;
    const std::intptr_t h = image_copy(1, 2);
    ASSERT_NE(h, 0);
    EXPECT_EQ(h, image_handle(2));
    EXPECT_NE(h, image_handle(1));
    EXPECT_EQ(all_bytes(storage(2)), all_bytes(storage(1)));
    EXPECT_EQ(image_width(2), 5);
    EXPECT_EQ(image_height(2), 3);
    EXPECT_EQ(image_record(2)->depth, 32);
    EXPECT_EQ(image_record(2)->source_depth, 8);
    EXPECT_EQ(image_record(2)->format_tag, 0x474E50u);
    // The copy has its own storage.
    storage(2)->row(0)[0] = 7;
    EXPECT_EQ(storage(1)->row(0)[0], 99);

    const std::intptr_t d = image_copy(1, -1);
    ASSERT_NE(d, 0);
    EXPECT_EQ(all_bytes(storage(d)), all_bytes(storage(1)));
    EXPECT_EQ(image_copy(9, 4), 0);
    EXPECT_EQ(image_exists(4), 0);
}

TEST_F(ImageCreateTest, CopyOntoItselfKeepsThePixels) {
    ASSERT_NE(image_create(6, 4, 4, 24, rgb(200, 100, 50)), 0);
    storage(6)->row(3)[5] = 17;
    const auto before = all_bytes(storage(6));
    const std::intptr_t h = image_copy(6, 6);
    ASSERT_NE(h, 0);
    EXPECT_EQ(image_handle(6), h);
    EXPECT_EQ(all_bytes(storage(6)), before);
    EXPECT_EQ(image_width(6), 4);
}

TEST_F(ImageCreateTest, CopyOfAnIconStaysAnIcon) {
    ASSERT_NE(image_create(1, 2, 2, 32), 0);
    storage(1)->kind = Bitmap::Kind::Icon;
    image_record(1)->format_tag = 0x4E4F4349;
    ASSERT_NE(image_copy(1, 2), 0);
    EXPECT_EQ(storage(2)->kind, Bitmap::Kind::Icon);
    EXPECT_EQ(image_record(2)->format_tag, 0x4E4F4349u);
    image_free(2);
    EXPECT_EQ(image_exists(2), 0);
}

// Source 4 x 3, 32-bit, pixel (x, y) = {x, y, 7, 255}.
void make_grab_source(ObjectNumber n) {
    ASSERT_NE(image_create(n, 4, 3, 32), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* p = storage(n)->row(y) + 4 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 7;
        }
    }
}

TEST_F(ImageCreateTest, GrabPastTheEdgesLeavesZeros) {
    make_grab_source(1);
    image_record(1)->source_depth = 16;
    ASSERT_NE(image_grab(1, 2, 2, 1, 4, 3), 0);
    EXPECT_EQ(image_width(2), 4);
    EXPECT_EQ(image_height(2), 3);
    EXPECT_EQ(image_record(2)->source_depth, 16);
    EXPECT_EQ(image_record(2)->format_tag, 0u);
    // Rows top to bottom; only (2..3, 1..2) of the source is inside.
    const std::vector<std::uint8_t> expected = {
        2, 1, 7, 255, 3, 1, 7, 255, 0, 0, 0, 0, 0, 0, 0, 0,  // y 0
        2, 2, 7, 255, 3, 2, 7, 255, 0, 0, 0, 0, 0, 0, 0, 0,  // y 1
        0, 0, 0, 0,   0, 0, 0, 0,   0, 0, 0, 0, 0, 0, 0, 0,  // y 2
    };
    std::vector<std::uint8_t> got;
    for (int y = 0; y < 3; ++y) got.insert(got.end(), storage(2)->row(y), storage(2)->row(y) + 16);
    EXPECT_EQ(got, expected);

    // Above and left of the source.
    ASSERT_NE(image_grab(1, 3, -1, -2, 3, 3), 0);
    const std::uint8_t* bottom = storage(3)->row(2);
    const std::vector<std::uint8_t> last_row(bottom, bottom + 12);
    EXPECT_EQ(last_row, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 7, 255, 1, 0, 7, 255}));
    EXPECT_EQ(std::vector<std::uint8_t>(storage(3)->row(0), storage(3)->row(0) + 12),
              std::vector<std::uint8_t>(12, 0));

    // Entirely outside: all zero.
    ASSERT_NE(image_grab(1, 4, 10, 10, 2, 2), 0);
    EXPECT_EQ(all_bytes(storage(4)), std::vector<std::uint8_t>(16, 0));
}

TEST_F(ImageCreateTest, FailedGrabLeavesTheTargetAlone) {
    make_grab_source(1);
    const std::intptr_t old = image_create(2, 3, 3);
    ASSERT_NE(old, 0);
    EXPECT_EQ(image_grab(1, 2, 0, 0, 0, 2), 0);
    EXPECT_EQ(image_grab(1, 2, 0, 0, 2, -1), 0);
    EXPECT_EQ(image_grab(1, 2, 0, 0, 32768, 2), 0);
    EXPECT_EQ(image_grab(8, 2, 0, 0, 2, 2), 0);
    EXPECT_EQ(image_handle(2), old);
    EXPECT_EQ(image_width(2), 3);
}

TEST_F(ImageCreateTest, GrabOntoItsOwnNumberAndDynamic) {
    make_grab_source(1);
    ASSERT_NE(image_grab(1, 1, 1, 1, 2, 2), 0);
    EXPECT_EQ(image_width(1), 2);
    const std::uint8_t* p = storage(1)->row(1) + 4;
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 4), (std::vector<std::uint8_t>{2, 2, 7, 255}));

    const std::intptr_t d = image_grab(1, -1, 0, 0, 24, 1);
    ASSERT_NE(d, 0);
    EXPECT_EQ(image_width(d), 24);
    EXPECT_EQ(image_record(d)->depth, 32);
}

}  // namespace
}  // namespace morvane
