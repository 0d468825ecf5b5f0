// Painting with every tool through the canvas: exact pixels of the worked examples.
#include "editor_fixture.h"

namespace morvane::testing {
namespace {

constexpr Color kBlack = 0xFF000000u;

class PaintToolsTest : public EditorFixture {
  protected:
    void choose_color(Color c) {
        answer_color(c);
        click(2);
    }
    // Fills the whole transparent picture with an opaque colour.
    void fill_picture(Color c) {
        choose_color(c);
        click(7);
        press(100, 100);
        release(100, 100);
    }
    static std::uint32_t alpha(Color c) { return c >> 24; }
};

TEST_F(PaintToolsTest, EraserCircleOfRadiusFive) {
    fill_picture(rgb(255, 0, 0));
    ASSERT_EQ(pixel(DocumentImage, 10, 10), 0xFF0000FFu);
    change_widget(14, 2);
    change_widget(11, 5, 4);
    click(3);
    press(10, 10);
    release(10, 10);
    // Half-widths of the midpoint circle of radius 5, rows 0..5 from the centre.
    const int half[] = {5, 5, 5, 4, 3, 2};
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const int dy = y > 10 ? y - 10 : 10 - y;
            const bool erased = dy <= 5 && (x > 10 ? x - 10 : 10 - x) <= half[dy];
            // Mode 40 writes alpha 0 and keeps red, green and blue.
            ASSERT_EQ(pixel(DocumentImage, x, y), erased ? 0x000000FFu : 0xFF0000FFu) << x << "," << y;
        }
    }
}

TEST_F(PaintToolsTest, BrushTipCornerAtPressMinusHalfSize) {
    change_widget(12, 1);  // "Box": the tip is covered completely
    change_widget(11, 7, 4);
    press(10, 10);
    release(10, 10);
    for (int y = 5; y < 16; ++y) {
        for (int x = 5; x < 16; ++x) {
            const bool inside = x >= 7 && x <= 13 && y >= 7 && y <= 13;
            ASSERT_EQ(pixel(DocumentImage, x, y), inside ? kBlack : 0u) << x << "," << y;
        }
    }
}

TEST_F(PaintToolsTest, EllipseRadiiTenAndThirtyAfterALargerMove) {
    click(6);
    press(50, 50);
    move(80, 55);  // an intermediate ellipse 30 x 5 that must not remain
    move(60, 80);
    release(60, 80);
    EXPECT_EQ(pixel(DocumentImage, 40, 50), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 60, 50), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 39, 50), 0u);
    EXPECT_EQ(pixel(DocumentImage, 61, 50), 0u);
    EXPECT_EQ(pixel(DocumentImage, 50, 20), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 50, 80), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 50, 19), 0u);
    EXPECT_EQ(pixel(DocumentImage, 50, 81), 0u);
    EXPECT_EQ(pixel(DocumentImage, 75, 50), 0u);  // only the intermediate ellipse reached it
    EXPECT_EQ(pixel(DocumentImage, 65, 50), 0u);
}

TEST_F(PaintToolsTest, ControlAtReleaseMakesACircle) {
    click(6);
    press(50, 50);
    move(60, 80);
    release(60, 80, Qt::ControlModifier);
    EXPECT_EQ(pixel(DocumentImage, 50, 40), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 50, 60), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 50, 39), 0u);
    EXPECT_EQ(pixel(DocumentImage, 50, 61), 0u);
    EXPECT_EQ(pixel(DocumentImage, 50, 70), 0u);
}

TEST_F(PaintToolsTest, BoxDraggedUpAndLeftHasNegativeSize) {
    click(5);
    press(20, 20);
    move(30, 30);
    release(10, 15);
    // draw_box(20, 20, -10, -5): columns 10..19, rows 15..19.
    for (int y = 12; y < 25; ++y) {
        for (int x = 8; x < 33; ++x) {
            const bool inside = x >= 10 && x <= 19 && y >= 15 && y <= 19;
            ASSERT_EQ(pixel(DocumentImage, x, y), inside ? kBlack : 0u) << x << "," << y;
        }
    }
}

TEST_F(PaintToolsTest, LineFromPressToRelease) {
    click(4);
    press(0, 0);
    move(40, 3);
    release(3, 1);
    // Both end points and the Bresenham steps between them.
    EXPECT_EQ(pixel(DocumentImage, 0, 0), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 1, 0), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 2, 1), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 3, 1), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 2, 0), 0u);
    EXPECT_EQ(pixel(DocumentImage, 1, 1), 0u);
    EXPECT_EQ(pixel(DocumentImage, 40, 3), 0u);  // the intermediate line is gone
}

TEST_F(PaintToolsTest, FillOnlyOnThePress) {
    // A red box over columns and rows 10..29 (a black one would match the transparent black
    // around it: the fill compares red, green and blue only).
    choose_color(rgb(255, 0, 0));
    click(5);
    drag(10, 10, 30, 30);
    choose_color(rgb(0, 255, 0));
    click(7);
    press(15, 15);
    move(100, 100);
    release(120, 120);
    EXPECT_EQ(pixel(DocumentImage, 15, 15), 0xFF00FF00u);
    EXPECT_EQ(pixel(DocumentImage, 29, 29), 0xFF00FF00u);
    EXPECT_EQ(pixel(DocumentImage, 30, 29), 0u);
    EXPECT_EQ(pixel(DocumentImage, 100, 100), 0u);
    EXPECT_EQ(pixel(DocumentImage, 120, 120), 0u);
}

TEST_F(PaintToolsTest, OpacityReachesTheShapes) {
    fill_picture(rgb(255, 255, 255));
    choose_color(rgb(255, 0, 0));
    change_widget(13, 128, 0);
    EXPECT_EQ(state_.tools.brush_color, rgba(255, 0, 0, 128));
    click(5);
    drag(10, 10, 20, 20);
    // Red at alpha 128 blended over opaque white.
    EXPECT_EQ(pixel(DocumentImage, 12, 12), rgba(255, 127, 127, 255));
    click(4);
    drag(30, 40, 60, 40);
    EXPECT_EQ(pixel(DocumentImage, 45, 40), rgba(255, 127, 127, 255));
}

TEST_F(PaintToolsTest, FastMovesLeaveAJoinedStroke) {
    change_widget(11, 5, 4);
    press(20, 20);
    move(50, 20);
    release(50, 20);
    EXPECT_EQ(pixel(DocumentImage, 20, 20), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 50, 20), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 35, 20), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 25, 20), kBlack);
}

TEST_F(PaintToolsTest, OverlappingDabsOfAStrokeDoNotPileUp) {
    change_widget(12, 1);
    change_widget(11, 8, 4);
    change_widget(13, 117, 0);  // 46 %
    // A click over transparent: black at alpha 117, as one blend of the tip always gave.
    press(40, 40);  // tip over 36..43
    release(40, 40);
    EXPECT_EQ(pixel(DocumentImage, 36, 40), rgba(0, 0, 0, 117));
    EXPECT_EQ(pixel(DocumentImage, 43, 43), rgba(0, 0, 0, 117));
    EXPECT_EQ(pixel(DocumentImage, 44, 40), 0u);
    change_widget(13, 128, 0);
    press(10, 10);  // tip over 6..13
    move(12, 10);   // 2 pixels: one more dab (a quarter of the tip apart), over 8..15
    release(12, 10);
    // Two dabs used to give alpha (128*255 + 127*128) / 255 = 191 where they overlap; a
    // stroke takes the tip once.
    EXPECT_EQ(pixel(DocumentImage, 6, 10), rgba(0, 0, 0, 128));
    EXPECT_EQ(pixel(DocumentImage, 10, 10), rgba(0, 0, 0, 128));
    EXPECT_EQ(pixel(DocumentImage, 15, 10), rgba(0, 0, 0, 128));
    // A second stroke over the first blends over it once more.
    drag(10, 10, 10, 10);
    EXPECT_EQ(pixel(DocumentImage, 10, 10), rgba(0, 0, 0, 191));
}

TEST_F(PaintToolsTest, NothingWithoutThePressOrTheButton) {
    move(40, 40);  // no button held
    EXPECT_EQ(pixel(DocumentImage, 40, 40), 0u);
    click(5);
    release(30, 30);  // no press on the canvas before
    EXPECT_EQ(pixel(DocumentImage, 30, 30), 0u);
    EXPECT_EQ(pixel(DocumentImage, 20, 20), 0u);
    click(3);
    press(100, 100);
    release(140, 140);  // the paint tool draws nothing on a release
    EXPECT_EQ(pixel(DocumentImage, 100, 100), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 140, 140), 0u);
}

TEST_F(PaintToolsTest, KeepAlphaLeavesTheAlphaOfThePicture) {
    choose_color(rgb(0, 0, 255));
    change_widget(15, 1, 0);
    click(5);
    drag(10, 10, 20, 20);
    EXPECT_EQ(pixel(DocumentImage, 15, 15), rgba(0, 0, 255, 0));
}

TEST_F(PaintToolsTest, BrushAndPencilGiveTheSameResult) {
    change_widget(11, 9, 4);
    change_widget(13, 200, 0);
    press(20, 20);
    release(20, 20);
    change_widget(14, 1);
    press(60, 20);
    release(60, 20);
    int painted = 0;
    for (int y = 10; y < 31; ++y) {
        for (int x = 10; x < 31; ++x) {
            ASSERT_EQ(pixel(DocumentImage, x, y), pixel(DocumentImage, x + 40, y)) << x << "," << y;
            painted += pixel(DocumentImage, x, y) != 0;
        }
    }
    // The midpoint circle of radius 3: rows of 7, 7, 7, 5, 5, 3, 3 pixels.
    EXPECT_EQ(painted, 37);
}

TEST_F(PaintToolsTest, ShapesNeverBringBackErasedPixels) {
    fill_picture(rgb(255, 0, 0));
    change_widget(14, 2);
    click(3);
    change_widget(11, 5, 4);
    press(10, 10);
    release(10, 10);
    ASSERT_EQ(pixel(DocumentImage, 10, 10) >> 24, 0u);
    change_widget(14, 0);
    choose_color(rgb(0, 255, 0));
    click(5);
    press(100, 100);
    move(5, 5);  // the box covers the erased circle for a moment
    release(120, 120);
    EXPECT_EQ(pixel(DocumentImage, 10, 10), 0x000000FFu);
    EXPECT_EQ(pixel(DocumentImage, 110, 110), 0xFF00FF00u);
}

TEST_F(PaintToolsTest, CanvasShowsThePaintedPicture) {
    click(5);
    drag(40, 40, 50, 50);
    EXPECT_EQ(canvas_pixel(45, 45), 0u);
    EXPECT_EQ(canvas_pixel(50, 50), rgb(255, 255, 255));  // square (3, 3) is white
    EXPECT_EQ(pixel(DocumentImage, 45, 45), kBlack);
}

}  // namespace
}  // namespace morvane::testing
