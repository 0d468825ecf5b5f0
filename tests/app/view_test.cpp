// The document view: grid lines at 100 and 200 percent, zooming large pictures freely,
// the checkerboard, the document images and the status texts.
#include "editor_fixture.h"
#include "shell/statusbar.h"

namespace morvane::testing {
namespace {

using ViewTest = EditorFixture;

const Color kWhite = rgb(255, 255, 255);
const Color kGrey = rgb(192, 192, 192);

Color checker(int x, int y) {
    return (x / 16 + y / 16) % 2 == 0 ? kWhite : kGrey;
}

TEST_F(ViewTest, GridAt200PercentEvery64PixelsAndClosedAtTheEdge) {
    choose_menu(66);
    ASSERT_EQ(state_.view.view_width, 512);
    auto on_line = [](int v) { return v % 64 == 0 || v == 511; };
    for (int x = 0; x < 512; ++x) {
        ASSERT_EQ(canvas_pixel(x, 5), on_line(x) ? 0u : checker(x, 5)) << x;
        ASSERT_EQ(canvas_pixel(5, x), on_line(x) ? 0u : checker(5, x)) << x;
    }
    EXPECT_EQ(statusbar_text(0, 0), "Zoom : 200 %");
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 256/256");
}

TEST_F(ViewTest, GridOfOddCellClosesAtLastPixel) {
    // 256 / 30 = 8.53 cells: lines at 0, 30, ..., 240 (and 270, off the canvas), then 255.
    state_.view.grid_width = 30;
    view_redraw(state_);
    for (int x = 0; x < 256; ++x) {
        const bool line = x % 30 == 0 || x == 255;
        ASSERT_EQ(canvas_pixel(x, 5), line ? 0u : checker(x, 5)) << x;
    }
}

TEST_F(ViewTest, OnePixelGridLinesEveryPixel) {
    state_.view.grid_width = 1;
    state_.view.grid_height = 1;
    view_redraw(state_);
    for (int i = 0; i < 256; i += 7) {
        ASSERT_EQ(canvas_pixel(i, 255 - i), 0u) << i;
    }
}

TEST_F(ViewTest, GridCellBelowOneDoesNotDivideByZero) {
    state_.view.grid_width = 0;
    state_.view.grid_height = -4;
    view_redraw(state_);
    EXPECT_EQ(canvas_pixel(77, 200), 0u);  // drawn as a one-pixel grid
}

TEST_F(ViewTest, WithoutGridOnlyCheckerboard) {
    choose_menu(70);
    for (int y = 0; y < 256; y += 5) {
        for (int x = 0; x < 256; x += 3) ASSERT_EQ(canvas_pixel(x, y), checker(x, y)) << x << "," << y;
    }
}

TEST_F(ViewTest, ZoomTurnsEachDocumentPixelIntoABlock) {
    // One document pixel at (10, 10): a box from (10, 10) to (11, 11) covers exactly it.
    click(5);
    drag(10, 10, 11, 11);
    ASSERT_EQ(pixel(DocumentImage, 10, 10), 0xFF000000u);
    ASSERT_EQ(pixel(DocumentImage, 11, 10), 0u);
    choose_menu(66);
    for (int y = 18; y < 24; ++y) {
        for (int x = 18; x < 24; ++x) {
            const bool inside = x >= 20 && x < 22 && y >= 20 && y < 22;
            EXPECT_EQ(canvas_pixel(x, y), inside ? 0u : checker(x, y)) << x << "," << y;
        }
    }
}

TEST_F(ViewTest, PictureKeepsTheCanvasSizeAfterPaintingAtAnotherZoom) {
    choose_menu(66);  // 200 %
    click(5);
    drag(20, 20, 22, 22);  // document pixel (10, 10) at 200 %
    ASSERT_EQ(state_.document.width(), 256);
    EXPECT_EQ(pixel(DocumentImage, 10, 10), 0xFF000000u);
    EXPECT_EQ(pixel(DocumentImage, 11, 11), 0u);
    choose_menu(65);  // 300 %
    EXPECT_EQ(state_.view.view_width, 768);
    EXPECT_EQ(state_.document.width(), 256);
    // The painted document pixel is the 3 x 3 block at (30, 30).
    EXPECT_EQ(canvas_pixel(30, 30), 0u);
    EXPECT_EQ(canvas_pixel(32, 32), 0u);
    EXPECT_EQ(canvas_pixel(33, 32), kWhite);
    EXPECT_EQ(canvas_pixel(29, 30), kWhite);
    EXPECT_EQ(canvas_pixel(31, 31), 0u);
    EXPECT_EQ(canvas_pixel(34, 34), kWhite);
}

TEST_F(ViewTest, LargePicturesZoomToAnyLevelWithoutAQuestion) {
    // Once refused (a view of 29,000 pixels or more); the canvas no longer grows with the zoom.
    const struct {
        int width, height, menu, zoom;
        std::int64_t view_width, view_height;
    } cases[] = {
        {5800, 2, MenuZoom500, 500, 29000, 10},
        {9000, 2, MenuZoom3200, 3200, 288000, 64},
        {8192, 8192, MenuZoom1600, 1600, 131072, 131072},
    };
    for (const auto& c : cases) {
        state_.view.base_width = c.width;
        state_.view.base_height = c.height;
        document_recreate(state_);
        choose_menu(c.menu);
        EXPECT_EQ(state_.view.zoom, c.zoom);
        EXPECT_EQ(state_.view.view_width, c.view_width);
        EXPECT_EQ(state_.view.view_height, c.view_height);
        EXPECT_LE(canvas()->width(), 800);
        EXPECT_EQ(state_.document.width(), c.width);  // the picture is never held at view size
    }
    EXPECT_TRUE(requests_.empty());
}

TEST_F(ViewTest, DocumentRecreateGivesATransparentPictureOfTheDocumentSize) {
    state_.view.base_width = 300;
    state_.view.base_height = 200;
    document_recreate(state_);
    EXPECT_EQ(state_.document.width(), 300);
    EXPECT_EQ(state_.document.height(), 200);
    EXPECT_EQ(pixel(DocumentImage, 299, 199), 0u);
    EXPECT_EQ(state_.view.view_width, 300);
}

TEST_F(ViewTest, ClearShowsThePlainCheckerboard) {
    click(5);
    drag(0, 0, 100, 100);
    click(8);
    EXPECT_EQ(canvas_pixel(1, 1), kWhite);
    EXPECT_EQ(canvas_pixel(17, 1), kGrey);
    EXPECT_EQ(canvas_pixel(1, 17), kGrey);
    EXPECT_EQ(canvas_pixel(33, 5), kWhite);
}

TEST_F(ViewTest, PictureIsBlendedOverTheCheckerboard) {
    // Half-transparent red over white gives (255, 127, 127); over grey 192 the blend of a
    // 24-bit target: (192 * 127 + 255 * 128) / 255 = 223 for red, 192 * 127 / 255 = 95.
    change_widget(13, 128, 0);
    answer_color(rgb(255, 0, 0));
    click(2);
    click(5);
    drag(1, 1, 31, 15);
    EXPECT_EQ(canvas_pixel(5, 5), rgb(255, 127, 127));
    EXPECT_EQ(canvas_pixel(20, 5), rgb(223, 95, 95));
}

}  // namespace
}  // namespace morvane::testing
