// The image table: fixed slots, growth, dynamic numbers, freeing and the queries.
#include "image/image_table.h"

#include <gtest/gtest.h>

#include "image/image.h"

namespace morvane {
namespace {

class ImageTableTest : public ::testing::Test {
  protected:
    void TearDown() override { image_free(-1); }
};

TEST_F(ImageTableTest, FixedNumberCreateQueryAndFree) {
    const std::intptr_t handle = image_create(3, 40, 30);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(image_handle(3), handle);
    EXPECT_EQ(image_width(3), 40);
    EXPECT_EQ(image_height(3), 30);
    EXPECT_NE(image_exists(3), 0);
    EXPECT_EQ(image_record(3)->depth, 24);
    EXPECT_EQ(image_record(3)->source_depth, 24);
    EXPECT_EQ(image_record(3)->format_tag, 0u);

    image_free(3);
    EXPECT_EQ(image_width(3), 0);
    EXPECT_EQ(image_height(3), 0);
    EXPECT_EQ(image_handle(3), 0);
    EXPECT_EQ(image_exists(3), 0);
    EXPECT_EQ(image_record(3), nullptr);
    // Numbers that never held an image.
    EXPECT_EQ(image_exists(4), 0);
    EXPECT_EQ(image_width(12345), 0);
    EXPECT_EQ(image_exists(-7), 0);
}

TEST_F(ImageTableTest, SlotsGrowToNumberPlusSixteenWithoutMovingRecords) {
    // The table starts with 16 slots; earlier tests in this process may have grown it.
    const auto start = static_cast<ObjectNumber>(image_slot_count());
    ASSERT_GE(start, 16);
    ASSERT_NE(image_create(2, 4, 4), 0);
    Image* before = image_record(2);
    ASSERT_NE(image_create(start - 1, 4, 4), 0);
    EXPECT_EQ(image_slot_count(), static_cast<std::size_t>(start));
    ASSERT_NE(image_create(start, 4, 4), 0);
    EXPECT_EQ(image_slot_count(), static_cast<std::size_t>(start + 16));
    ASSERT_NE(image_create(start + 100, 4, 4), 0);
    EXPECT_EQ(image_slot_count(), static_cast<std::size_t>(start + 116));
    EXPECT_EQ(image_record(2), before);
    EXPECT_EQ(image_width(start + 100), 4);
    // Numbers inside and beyond the table that were never created name nothing.
    EXPECT_EQ(image_exists(start + 115), 0);
    EXPECT_EQ(image_exists(start + 5000), 0);
}

TEST_F(ImageTableTest, CreatingOntoUsedNumberReplacesTheImage) {
    ASSERT_NE(image_create(5, 10, 10), 0);
    ASSERT_NE(image_create(5, 7, 9, 32), 0);
    EXPECT_EQ(image_width(5), 7);
    EXPECT_EQ(image_height(5), 9);
    EXPECT_EQ(image_record(5)->depth, 32);
    // A failed creation leaves the number empty: the old image was freed first.
    EXPECT_EQ(image_create(5, 0, 9), 0);
    EXPECT_EQ(image_exists(5), 0);
}

TEST_F(ImageTableTest, DynamicNumbersStayValidUntilFreed) {
    const std::intptr_t a = image_create(-1, 8, 8);
    const std::intptr_t b = image_create(-1, 9, 9, 32);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    // The result is the number, not the handle.
    EXPECT_NE(image_handle(a), a);
    EXPECT_EQ(image_width(a), 8);
    EXPECT_EQ(image_width(b), 9);
    // Many more dynamic images do not disturb the first two.
    std::intptr_t more[50];
    for (auto& n : more) n = image_create(-1, 3, 3);
    for (auto n : more) EXPECT_EQ(image_width(n), 3);
    for (auto n : more) image_free(n);
    EXPECT_EQ(image_width(a), 8);
    image_free(a);
    EXPECT_EQ(image_exists(a), 0);
    EXPECT_EQ(image_width(b), 9);
    // A failed dynamic creation returns 0 and leaves nothing behind.
    EXPECT_EQ(image_create(-1, 0, 5), 0);
    // Creating onto a live dynamic number replaces its image under the same number.
    ASSERT_NE(image_create(b, 4, 6), 0);
    EXPECT_EQ(image_width(b), 4);
    EXPECT_EQ(image_record(b)->depth, 24);
    EXPECT_EQ(image_create(b, 4, 0), 0);
    EXPECT_EQ(image_exists(b), 0);
}

TEST_F(ImageTableTest, FreeAllEmptiesFixedAndDynamic) {
    ASSERT_NE(image_create(1, 2, 2), 0);
    ASSERT_NE(image_create(40, 2, 2), 0);
    const std::intptr_t d = image_create(-1, 2, 2);
    ASSERT_NE(d, 0);
    image_free(-1);
    EXPECT_EQ(image_exists(1), 0);
    EXPECT_EQ(image_exists(40), 0);
    EXPECT_EQ(image_exists(d), 0);
    // The table works again afterwards.
    EXPECT_NE(image_create(1, 2, 2), 0);
}

TEST_F(ImageTableTest, SizesOutsideSigned16BitFail) {
    EXPECT_EQ(image_create(1, 32768, 1), 0);
    EXPECT_EQ(image_create(1, 1, 32768), 0);
    EXPECT_EQ(image_create(1, -5, 4), 0);
    EXPECT_EQ(image_create(1, 4, 0), 0);
    EXPECT_EQ(image_create(-1, 70000, 2), 0);
    EXPECT_EQ(image_exists(1), 0);
    ASSERT_NE(image_create(1, 32767, 1), 0);
    EXPECT_EQ(image_width(1), 32767);
    // Negative numbers other than -1, and absurdly large fixed numbers, cannot be created.
    EXPECT_EQ(image_create(-2, 4, 4), 0);
    EXPECT_EQ(image_create(MaxFixedImageNumber + 1, 4, 4), 0);
}

}  // namespace
}  // namespace morvane
