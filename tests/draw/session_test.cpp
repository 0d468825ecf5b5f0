// Session lifecycle: image outputs, begin and end, the reset on creation, the release
// routine, colour changes and the fill scratch space.
#include <vector>

#include "draw/draw_test_support.h"
#include "draw/pixel_ops.h"
#include "image/image.h"

namespace morvane {
namespace {

TEST(Session, BeginWithoutImageOrSessionFails) {
    EXPECT_EQ(drawing_begin(nullptr), 0);
    image_free(412);
    EXPECT_EQ(image_output(412), nullptr);
    EXPECT_EQ(drawing_begin(image_output(412)), 0);
    EXPECT_EQ(drawing_current(), nullptr);
    drawing_end();  // nothing current: no effect
    draw_box(0, 0, 5, 5, rgb(1, 2, 3));
    EXPECT_EQ(drawing_current(), nullptr);
}

TEST(Session, DrawsInPlaceIntoImagePixels) {
    ASSERT_NE(image_create(411, 5, 3, 32, BackgroundTransparent), 0);
    ASSERT_NE(drawing_begin(image_output(411)), 0);
    ASSERT_NE(drawing_current(), nullptr);
    drawing_mode_set(WriteAlpha);
    draw_box(1, 0, 2, 1, rgba(10, 20, 30, 40));
    drawing_end();
    EXPECT_EQ(drawing_current(), nullptr);
    const Bitmap* b = bitmap_from_handle(image_handle(411));
    // Row 0 of the picture is the last memory row; bytes blue, green, red, alpha.
    const std::uint8_t* top = b->bits + 2 * b->stride;
    EXPECT_EQ(std::vector<std::uint8_t>(top, top + 16),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 30, 20, 10, 40, 30, 20, 10, 40, 0, 0, 0, 0}));
    for (int i = 0; i < 2 * b->stride; ++i) EXPECT_EQ(b->bits[i], 0) << "byte " << i;
    image_free(411);
}

TEST(Session, IconsAreNeverOutputs) {
    ASSERT_NE(image_create(410, 2, 2, 32), 0);
    Image* record = image_record(410);
    Bitmap icon{Bitmap::Kind::Icon, 2, 2, 32, 8, bitmap_from_handle(record->handle)->bits};
    const std::intptr_t saved = record->handle;
    record->handle = bitmap_handle(&icon);
    EXPECT_EQ(image_output(410), nullptr);
    record->handle = saved;
    image_free(410);
}

TEST(Session, ResetOnCreation) {
    test::Target t(4, 4, 32);
    t.fill(rgba(50, 60, 70, 80));
    t.begin();
    drawing_mode_set(Blend | Outline);
    draw_box(0, 0, 1, 1, rgba(255, 255, 255, 200));
    drawing_end();
    t.begin();
    DrawingSession* s = drawing_current();
    EXPECT_EQ(s->mode, Default);
    EXPECT_EQ(s->front, 0u);
    // Colour 0 in Default: black, alpha untouched, filled (not outlined).
    draw_box(1, 1, 3, 3, 0);
    EXPECT_EQ(t.pixel(2, 2), rgba(0, 0, 0, 80));
}

std::vector<int> g_released;
int g_front_changes = 0;
void counting_front(DrawingSession& s, Color c) {
    ++g_front_changes;
    op_set_front(s, c);
}

TEST(Session, ReleaseRoutineAndColourChanges) {
    std::vector<std::uint8_t> pixels(4 * 8 * 8, 0);
    g_released.clear();
    // No pixel memory: begin fails, the release hears 0, nothing stays current.
    EXPECT_EQ(
        drawing_begin(drawing_output_prepare(nullptr, 8, 8, 32, 32, [](int v) { g_released.push_back(v); })),
        0);
    EXPECT_EQ(drawing_current(), nullptr);
    EXPECT_EQ(drawing_output_prepare(pixels.data(), 8, 8, 16, 32, nullptr), nullptr);  // pitch too small
    EXPECT_EQ(drawing_output_prepare(pixels.data(), 8, 8, 32, 16, nullptr), nullptr);
    ASSERT_NE(drawing_begin(drawing_output_prepare(pixels.data(), 8, 8, 32, 32,
                                                   [](int v) {
                                                       // At the end the fill scratch space is already
                                                       // released.
                                                       if (v == 1) {
                                                           EXPECT_EQ(drawing_current()->fill, nullptr);
                                                       }
                                                       g_released.push_back(v);
                                                   })),
              0);
    DrawingSession* s = drawing_current();
    s->ops.set_front = counting_front;
    g_front_changes = 0;
    draw_box(0, 0, 1, 1, rgb(1, 2, 3));
    draw_line_xy(0, 1, 5, 1, rgb(1, 2, 3));
    fill_area(4, 4, -1, rgb(1, 2, 3));
    const FillScratch* scratch = s->fill.get();
    EXPECT_NE(scratch, nullptr);
    fill_area(4, 4, -1, rgb(1, 2, 4));
    EXPECT_EQ(s->fill.get(), scratch);  // kept for the whole session
    EXPECT_EQ(g_front_changes, 2);
    // Preparing another session ends this one first.
    std::vector<std::uint8_t> other(3 * 4, 0);
    ASSERT_NE(drawing_begin(drawing_output_prepare(other.data(), 1, 1, 4, 24, nullptr)), 0);
    EXPECT_EQ(g_released, (std::vector<int>{0, 1}));
    drawing_end();
    EXPECT_EQ(drawing_current(), nullptr);
}

}  // namespace
}  // namespace morvane
