// The document's own picture (made, resampled, undone through its record) and the painter
// that ends its drawing session with its scope.
#include <gtest/gtest.h>

#include <cstring>

#include "app/document/document.h"
#include "app/document/painter.h"
#include "draw/draw.h"
#include "draw/session.h"

namespace morvane::testing {
namespace {

std::uint32_t at(const Bitmap& b, int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.row(y) + 4 * x, 4);
    return v;
}

void put(Bitmap& b, int x, int y, std::uint32_t v) {
    std::memcpy(b.row(y) + 4 * x, &v, 4);
}

void expect_rect(const Rect& r, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    EXPECT_EQ(r.x0, x0);
    EXPECT_EQ(r.y0, y0);
    EXPECT_EQ(r.x1, x1);
    EXPECT_EQ(r.y1, y1);
}

class DocumentPicture : public ::testing::Test {
  protected:
    void TearDown() override { document_.release(); }
    Document document_;
};

TEST_F(DocumentPicture, MadeResampledAndUndoneThroughItsRecord) {
    document_.release();
    EXPECT_FALSE(document_.has_picture());
    EXPECT_EQ(document_.picture_or_null(), nullptr);
    EXPECT_EQ(document_.width(), 0);
    document_.history.begin(document_.record());  // nothing to record on
    EXPECT_FALSE(document_.history.recording());
    EXPECT_FALSE(document_.recreate(0, 5));
    EXPECT_FALSE(document_.has_picture());

    // A new picture is transparent black, 32-bit.
    ASSERT_TRUE(document_.recreate(3, 2));
    const Image* record = &document_.record();
    EXPECT_EQ(document_.picture().bpp, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(at(document_.picture(), x, y), 0u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) put(document_.picture(), x, y, 0x10u * (3 * y + x) + 1);

    // Doubled by nearest neighbour as one undo step; undo gives the 3 x 2 bytes back into
    // the same record, redo the doubled ones.
    document_.history.begin(document_.record());
    document_.history.save_whole_before();
    ASSERT_TRUE(document_.resize(6, 4, Nearest));
    expect_rect(document_.history.commit(), 0, 0, 6, 4);
    const std::uint32_t doubled[4][6] = {{0x01, 0x01, 0x11, 0x11, 0x21, 0x21},
                                         {0x01, 0x01, 0x11, 0x11, 0x21, 0x21},
                                         {0x31, 0x31, 0x41, 0x41, 0x51, 0x51},
                                         {0x31, 0x31, 0x41, 0x41, 0x51, 0x51}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(at(document_.picture(), x, y), doubled[y][x]) << x << "," << y;
    expect_rect(document_.history.undo(document_.record()), 0, 0, 3, 2);
    EXPECT_EQ(&document_.record(), record);
    ASSERT_EQ(document_.width(), 3);
    ASSERT_EQ(document_.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(at(document_.picture(), x, y), 0x10u * (3 * y + x) + 1);
    expect_rect(document_.history.redo(document_.record()), 0, 0, 6, 4);
    EXPECT_EQ(at(document_.picture(), 5, 3), 0x51u);
}

TEST_F(DocumentPicture, PainterDrawsWhileItLivesAndEndsItsOwnSessionOnly) {
    ASSERT_TRUE(document_.recreate(4, 4));
    {
        Painter painter{document_};
        ASSERT_TRUE(painter);
        drawing_mode_set(WriteAlpha);
        draw_box(1, 1, 2, 2, rgba(10, 20, 30, 40));
    }
    EXPECT_EQ(drawing_current(), nullptr);
    EXPECT_EQ(at(document_.picture(), 1, 1), 0x280A141Eu);  // stored B 30, G 20, R 10, A 40
    EXPECT_EQ(at(document_.picture(), 3, 3), 0u);
    draw_box(0, 0, 4, 4, rgba(1, 1, 1, 255));  // no session: nothing drawn
    EXPECT_EQ(at(document_.picture(), 0, 0), 0u);

    // A painter made inside another ends the outer session; the outer one then ends nothing.
    std::uint32_t pixel = 0;
    {
        Painter outer{document_};
        { Painter inner{document_}; }
        EXPECT_EQ(drawing_current(), nullptr);
        draw_box(0, 0, 4, 4, rgba(1, 1, 1, 255));
        ASSERT_NE(drawing_begin(
                      drawing_output_prepare(reinterpret_cast<std::uint8_t*>(&pixel), 1, 1, 4, 32, nullptr)),
                  0);
    }
    EXPECT_NE(drawing_current(), nullptr);
    drawing_end();
    EXPECT_EQ(at(document_.picture(), 0, 0), 0u);

    // Without a picture there is nothing to paint on.
    document_.release();
    EXPECT_FALSE(Painter{document_});
    EXPECT_EQ(drawing_current(), nullptr);
}

}  // namespace
}  // namespace morvane::testing
