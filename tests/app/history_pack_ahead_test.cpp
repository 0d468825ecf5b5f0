// Tiles packed ahead of commit (pack_finished) against the same edits recorded the plain way
// on a twin picture: same changed rectangles, same stored bytes, and undo, redo and the revert
// of a step too large give back the pictures copied before and after.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/document/history.h"
#include "image/bitmap.h"
#include "image/image.h"

namespace morvane::testing {
namespace {

constexpr ObjectNumber Ahead = 710, Plain = 711;

std::vector<std::uint8_t> bytes_of(ObjectNumber number) {
    const Bitmap* b = bitmap_from_handle(image_handle(number));
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(b->width), static_cast<std::uint8_t>(b->height)};
    const std::size_t row = static_cast<std::size_t>(b->width) * static_cast<std::size_t>(b->bpp / 8);
    for (int y = 0; y < b->height; ++y) out.insert(out.end(), b->row(y), b->row(y) + row);
    return out;
}

// Every pixel of `r` (or every third one when `sparse`) takes `value`.
void paint(ObjectNumber number, const Rect& r, std::uint32_t value, bool sparse) {
    const Bitmap* b = bitmap_from_handle(image_handle(number));
    const int px = b->bpp / 8;
    for (std::int64_t y = std::max<std::int64_t>(r.y0, 0); y < std::min<std::int64_t>(r.y1, b->height); ++y)
        for (std::int64_t x = std::max<std::int64_t>(r.x0, 0); x < std::min<std::int64_t>(r.x1, b->width); ++x)
            if (!sparse || (x + 2 * y) % 3 == 0) std::memcpy(b->row(static_cast<int>(y)) + x * px, &value, px);
}

struct Op {
    char kind;  // 's' save, 'p' paint, 'q' paint sparse, 'f' pack_finished (ahead only), 'w' whole + resize
    Rect r;
    std::uint32_t value = 0;
};

TEST(HistoryPackAhead, SameStepsAsPackingAtCommit) {
    struct Case {
        const char* name;
        int width, height, depth;
        std::size_t limit, raw_limit;
        std::vector<Op> ops;
        bool revert = false;  // a step too large: revert it
    };
    const Rect a{0, 0, 64, 64}, b{64, 0, 128, 64}, edge{128, 64, 150, 100}, all{0, 0, 150, 100};
    const std::size_t big = 64 << 20;
    const Case cases[] = {
        {"tile by tile, edge tiles", 150, 100, 32, big, big,
         {{'s', a}, {'q', a, 0x11}, {'f', a}, {'s', b}, {'q', b, 0x22}, {'f', b}, {'s', edge}, {'q', edge, 0x33},
          {'f', edge}, {'s', {0, 64, 64, 100}}, {'p', {0, 64, 64, 100}, 0x5A5A5A5A}, {'f', all}}},
        {"packed tile saved and painted again", 150, 100, 32, big, big,
         {{'s', a}, {'q', a, 0x11}, {'s', b}, {'q', b, 0x12}, {'f', {0, 0, 150, 64}}, {'s', {30, 30, 90, 40}},
          {'p', {30, 30, 90, 40}, 0x44}}},
        {"unchanged packed tile saved and painted again", 150, 100, 24, big, big,
         {{'s', a}, {'f', a}, {'s', {5, 5, 6, 6}}, {'p', {5, 5, 6, 6}, 0x010203}}},
        {"rectangle short of a tile packs nothing there", 150, 100, 32, big, big,
         {{'s', a}, {'q', a, 0x11}, {'f', {0, 0, 63, 64}}, {'p', {63, 10, 64, 11}, 0x99}}},
        {"uniform tiles", 150, 100, 32, big, big,
         {{'s', all}, {'p', a, 0x77}, {'p', {64, 64, 128, 100}, 0x336699}, {'f', all}, {'s', {70, 70, 71, 71}},
          {'p', {70, 70, 71, 71}, 0x66}}},
        {"compressed while packing", 150, 100, 32, big, 4096,
         {{'s', all}, {'q', all, 0x11}, {'f', a}, {'f', b}, {'q', edge, 0x22}, {'f', all}}},
        {"expected compressed, ends below the raw allowance", 150, 100, 32, big, 25000,
         {{'s', a}, {'q', a, 0x11}, {'f', a}, {'s', b}, {'q', {64, 0, 128, 8}, 0x22}, {'f', b}}},
        {"whole picture saved after packing", 150, 100, 24, big, big,
         {{'s', a}, {'q', a, 0x11}, {'f', a}, {'w', {0, 0, 90, 120}}, {'p', {0, 0, 10, 10}, 0x22}}},
        {"too large, reverted", 150, 100, 32, 1000, 1000,
         {{'s', all}, {'q', all, 0x11}, {'f', a}, {'f', b}, {'s', {10, 10, 20, 20}}, {'p', {10, 10, 20, 20}, 0x33},
          {'f', all}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const ObjectNumber n : {Ahead, Plain}) {
            ASSERT_NE(image_create(n, c.width, c.height, c.depth, 0x336699), 0);
            paint(n, {100, 0, 150, 100}, 0x00808080, true);  // not uniform everywhere
        }
        const std::vector<std::uint8_t> start = bytes_of(Ahead);
        History ahead(c.limit, c.raw_limit), plain(c.limit, c.raw_limit);
        ahead.begin(*image_record(Ahead));
        plain.begin(*image_record(Plain));
        for (const Op& op : c.ops) {
            for (const ObjectNumber n : {Ahead, Plain}) {
                History& h = n == Ahead ? ahead : plain;
                if (op.kind == 's') h.save_before(op.r);
                if (op.kind == 'p' || op.kind == 'q') paint(n, op.r, op.value, op.kind == 'q');
                if (op.kind == 'f' && n == Ahead) h.pack_finished(op.r);
                if (op.kind == 'w') {
                    h.save_whole_before();
                    ASSERT_NE(image_resize(n, static_cast<int>(op.r.x1), static_cast<int>(op.r.y1), Nearest), 0);
                }
            }
        }
        const std::vector<std::uint8_t> after = bytes_of(Ahead);
        ASSERT_EQ(after, bytes_of(Plain));
        const Rect got = ahead.commit(), want = plain.commit();
        EXPECT_EQ(std::vector<std::int64_t>({got.x0, got.y0, got.x1, got.y1}),
                  std::vector<std::int64_t>({want.x0, want.y0, want.x1, want.y1}));
        EXPECT_EQ(ahead.bytes(), plain.bytes());
        EXPECT_EQ(ahead.too_large(), c.revert);
        EXPECT_EQ(plain.too_large(), c.revert);
        if (c.revert) {
            EXPECT_FALSE(ahead.revert_too_large().empty());
            EXPECT_EQ(bytes_of(Ahead), start);
        } else {
            ASSERT_EQ(ahead.steps(), 1u);
            EXPECT_FALSE(ahead.undo(*image_record(Ahead)).empty());
            EXPECT_EQ(bytes_of(Ahead), start);
            EXPECT_FALSE(ahead.redo(*image_record(Ahead)).empty());
            EXPECT_EQ(bytes_of(Ahead), after);
        }
        image_free(Ahead);
        image_free(Plain);
    }
}

}  // namespace
}  // namespace morvane::testing
