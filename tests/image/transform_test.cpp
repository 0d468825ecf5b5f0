// Mirrors and quarter turns against pictures worked by hand, at both depths, for rectangles
// and for whole pictures turned where they are.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "image/transform.h"

namespace morvane {
namespace {

// A picture whose pixel (x, y) holds the letter of `rows[y][x]` in its first byte and a
// marker in the others, so that a wrong byte order shows too.
Bitmap* letters(const std::vector<std::string>& rows, int bpp) {
    Bitmap* b = bitmap_create(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()), bpp);
    for (std::int32_t y = 0; y < b->height; ++y)
        for (std::int32_t x = 0; x < b->width; ++x) {
            std::uint8_t* p = b->row(y) + x * (bpp / 8);
            p[0] = static_cast<std::uint8_t>(rows[y][x]);
            p[1] = 1;
            p[2] = 2;
            if (bpp == 32) p[3] = 3;
        }
    return b;
}

std::vector<std::string> read_letters(const Bitmap& b) {
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < b.height; ++y) {
        std::string row;
        for (std::int32_t x = 0; x < b.width; ++x) {
            const std::uint8_t* p = b.row(y) + x * (b.bpp / 8);
            const bool marked = p[1] == 1 && p[2] == 2 && (b.bpp == 24 || p[3] == 3);
            row += marked ? static_cast<char>(p[0]) : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct Worked {
    Turn turn;
    std::vector<std::string> whole;   // the 4 x 3 picture below, turned
    std::vector<std::string> middle;  // its rectangle (1, 0, 2, 3) "bc fg jk", turned
};

// abcd        Turned by hand.
// efgh
// ijkl
const std::vector<std::string> Picture = {"abcd", "efgh", "ijkl"};
const Worked Cases[] = {
    {Turn::FlipHorizontal, {"dcba", "hgfe", "lkji"}, {"cb", "gf", "kj"}},
    {Turn::FlipVertical, {"ijkl", "efgh", "abcd"}, {"jk", "fg", "bc"}},
    {Turn::Clockwise, {"iea", "jfb", "kgc", "lhd"}, {"jfb", "kgc"}},
    {Turn::CounterClockwise, {"dhl", "cgk", "bfj", "aei"}, {"cgk", "bfj"}},
    {Turn::HalfTurn, {"lkji", "hgfe", "dcba"}, {"kj", "gf", "cb"}},
};

TEST(TransformTest, WorkedTurnsOfRectanglesAndWholePictures) {
    for (const int bpp : {24, 32}) {
        for (const Worked& c : Cases) {
            SCOPED_TRACE("depth " + std::to_string(bpp) + ", turn " + std::to_string(static_cast<int>(c.turn)));
            Bitmap* source = letters(Picture, bpp);
            Bitmap* part = bitmap_turned(*source, 1, 0, 2, 3, c.turn);
            ASSERT_NE(part, nullptr);
            EXPECT_EQ(read_letters(*part), c.middle);
            EXPECT_EQ(read_letters(*source), Picture) << "the source is left alone";
            ASSERT_TRUE(bitmap_turn(*source, c.turn));
            EXPECT_EQ(read_letters(*source), c.whole);
            EXPECT_EQ(source->stride, bitmap_stride(source->width, bpp));
            ASSERT_TRUE(bitmap_turn(*source, turn_inverse(c.turn)));
            EXPECT_EQ(read_letters(*source), Picture) << "the inverse turn gives the picture back";
            bitmap_destroy(part);
            bitmap_destroy(source);
        }
    }
}

// Odd and even sides, across the 64-pixel blocks of the quarter turn: four clockwise turns,
// two half turns and flips in both directions give back every byte; quarter turns are checked
// pixel by pixel against the picture's columns.
TEST(TransformTest, LargePicturesComeBackByteForByte) {
    std::mt19937 random(3);
    for (const auto& [w, h] : {std::pair{1, 1}, {1, 130}, {129, 64}, {200, 77}, {130, 130}, {128, 128}}) {
        Bitmap* b = bitmap_create(w, h, 32);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < 4 * w; ++x) b->row(y)[x] = static_cast<std::uint8_t>(random());
        Bitmap* original = bitmap_turned(*b, 0, 0, w, h, Turn::FlipVertical);
        ASSERT_TRUE(bitmap_turn(*original, Turn::FlipVertical));
        Bitmap* clockwise = bitmap_turned(*b, 0, 0, w, h, Turn::Clockwise);
        Bitmap* counter = bitmap_turned(*b, 0, 0, w, h, Turn::CounterClockwise);
        ASSERT_TRUE(clockwise && counter);
        ASSERT_EQ(clockwise->width, h);
        // Column x of the picture, read upwards, is row x of the clockwise turn; read downwards
        // from its right end, row w - 1 - x of the counter-clockwise turn.
        for (std::int32_t y = 0; y < w; ++y)
            for (std::int32_t x = 0; x < h; ++x) {
                ASSERT_EQ(std::memcmp(clockwise->row(y) + 4 * x, b->row(h - 1 - x) + 4 * y, 4), 0);
                ASSERT_EQ(std::memcmp(counter->row(w - 1 - y) + 4 * x, b->row(x) + 4 * y, 4), 0);
            }
        // Turned where it is (a square turns without a second picture), the same bytes.
        for (const auto& [turn, expected] : {std::pair{Turn::Clockwise, clockwise}, {Turn::CounterClockwise, counter}}) {
            Bitmap* copy = bitmap_turned(*b, 0, 0, w, h, Turn::FlipVertical);
            ASSERT_TRUE(copy && bitmap_turn(*copy, Turn::FlipVertical) && bitmap_turn(*copy, turn));
            ASSERT_EQ(copy->width, h);
            for (std::int32_t y = 0; y < w; ++y)
                ASSERT_EQ(std::memcmp(copy->row(y), expected->row(y), static_cast<std::size_t>(4 * h)), 0);
            bitmap_destroy(copy);
        }
        bitmap_destroy(counter);
        for (const Turn t : {Turn::Clockwise, Turn::Clockwise, Turn::Clockwise, Turn::Clockwise, Turn::HalfTurn,
                             Turn::HalfTurn, Turn::FlipHorizontal, Turn::FlipHorizontal})
            ASSERT_TRUE(bitmap_turn(*b, t));
        for (std::int32_t y = 0; y < h; ++y)
            ASSERT_EQ(std::memcmp(b->row(y), original->row(y), static_cast<std::size_t>(4 * w)), 0);
        bitmap_destroy(clockwise);
        bitmap_destroy(original);
        bitmap_destroy(b);
    }
}

TEST(TransformTest, RefusesRectanglesOutsideThePictureAndOtherDepths) {
    Bitmap* b = letters(Picture, 32);
    for (const auto& [x, y, w, h] : {std::tuple{-1, 0, 2, 2}, {0, 0, 5, 1}, {3, 2, 2, 1}, {0, 0, 0, 3}})
        EXPECT_EQ(bitmap_turned(*b, x, y, w, h, Turn::Clockwise), nullptr);
    Bitmap* mask = bitmap_create(8, 8, 1);
    EXPECT_FALSE(bitmap_turn(*mask, Turn::HalfTurn));
    bitmap_destroy(mask);
    bitmap_destroy(b);
}

}  // namespace
}  // namespace morvane
