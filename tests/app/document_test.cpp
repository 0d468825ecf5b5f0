// The document at its own size: painting at any zoom changes only the document pixels under
// the tool, zoom round trips change nothing, strokes are continuous, and the mends of resize,
// new pictures, the fill's exact colour and the 1-pixel tips.
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "editor_fixture.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

class DocumentTest : public EditorFixture {
  protected:
    // A picture of 1-pixel checkers, opaque dark red and transparent, the hardest case for
    // any rescaling.
    void fill_one_pixel_checkers() {
        Bitmap* doc = state_.document.picture_or_null();
        for (int y = 0; y < doc->height; ++y) {
            for (int x = 0; x < doc->width; ++x) {
                // Stored blue, green, red, alpha: opaque red 120 or transparent black.
                const std::uint8_t v[4] = {0, 0, std::uint8_t((x + y) % 2 == 0 ? 120 : 0),
                                           std::uint8_t((x + y) % 2 == 0 ? 255 : 0)};
                std::memcpy(doc->row(y) + 4 * x, v, 4);
            }
        }
    }
    std::vector<Color> document_pixels() {
        std::vector<Color> out;
        for (int y = 0; y < state_.document.height(); ++y)
            for (int x = 0; x < state_.document.width(); ++x) out.push_back(pixel(DocumentImage, x, y));
        return out;
    }
    // The first canvas pixel that shows document pixel d at zoom z (below 100 % only some
    // document pixels are shown; the test picks those).
    static int canvas_of(int d, int z) {
        const int c = (d * z + 99) / 100;
        EXPECT_EQ(c * 100 / z, d) << "document pixel " << d << " is not shown at " << z;
        return c;
    }
    void zoom_to(int zoom) {
        // Presets through their menu items, other values through + and - steps from a preset.
        const struct {
            int zoom, item;
        } presets[] = {{500, 63}, {400, 64}, {300, 65}, {200, 66}, {100, 67}, {50, 68}, {25, 69}};
        for (const auto& p : presets) {
            if (p.zoom == zoom) return choose_menu(p.item);
        }
        choose_menu(67);
        while (state_.view.zoom < zoom) choose_menu(61);
        while (state_.view.zoom > zoom) choose_menu(62);
    }
};

TEST_F(DocumentTest, PaintingAtAnyZoomChangesOnlyThePaintedDocumentPixels) {
    // A box from document (20, 40) to (60, 80) drawn at each zoom through the canvas; after
    // the way back to 100 % every other pixel of the checkers is as it was.
    const Color kBlue = rgba(0, 0, 255, 255);
    for (int zoom : {25, 50, 105, 200, 300, 400, 500, 10, 15, 95, 135}) {
        SCOPED_TRACE(zoom);
        fill_one_pixel_checkers();
        const std::vector<Color> before = document_pixels();
        zoom_to(zoom);
        ASSERT_EQ(state_.view.zoom, zoom);
        answer_color(rgb(0, 0, 255));
        click(2);
        click(5);
        drag(canvas_of(20, zoom), canvas_of(40, zoom), canvas_of(60, zoom), canvas_of(80, zoom));
        for (int step : {61, 62, 63, 69, 66}) choose_menu(step);
        choose_menu(67);
        const std::vector<Color> after = document_pixels();
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const bool painted = x >= 20 && x < 60 && y >= 40 && y < 80;  // box of width 40
                ASSERT_EQ(after[std::size_t(y) * 256 + x], painted ? kBlue : before[std::size_t(y) * 256 + x])
                    << x << "," << y;
            }
        }
    }
}

TEST_F(DocumentTest, FillThatChangesNothingAtAnyZoomLeavesThePicture) {
    // Filling an opaque pixel with its own opaque colour changes no byte, whatever the zoom.
    fill_one_pixel_checkers();
    const std::vector<Color> before = document_pixels();
    for (int zoom : {105, 25, 500}) {
        zoom_to(zoom);
        answer_color(rgb(120, 0, 0));
        click(2);
        click(7);
        press(canvas_of(40, zoom), canvas_of(40, zoom));
        release(canvas_of(40, zoom), canvas_of(40, zoom));
        choose_menu(67);
        EXPECT_TRUE(document_pixels() == before) << zoom;
    }
}

TEST_F(DocumentTest, DabLandsOnTheDocumentPixelUnderThePointer) {
    // A 1-pixel box tip at 400 %: canvas (41..43, 81..83) are all document pixel (10, 20).
    change_widget(12, 1);
    change_widget(11, 1, 4);
    choose_menu(64);
    click(3);
    for (int c : {0, 1, 2}) {
        press(41 + c, 81 + c);
        release(41 + c, 81 + c);
    }
    int painted = 0;
    for (Color c : document_pixels()) painted += c != 0;
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(pixel(DocumentImage, 10, 20), rgba(0, 0, 0, 255));
    EXPECT_EQ(image_width(BrushImage), 1);  // the tip is in document pixels at every zoom
}

TEST_F(DocumentTest, FastStrokeLeavesNoGap) {
    // Two moves 30 document pixels apart with a 5-pixel brush: every pixel of the segment is
    // painted, at 100 % and at 200 %.
    for (int zoom : {100, 200}) {
        SCOPED_TRACE(zoom);
        click(8);
        zoom_to(zoom);
        change_widget(11, 5, 4);
        click(3);
        const int f = zoom / 100;
        press(20 * f, 40 * f);
        move(50 * f, 40 * f);
        move(50 * f, 70 * f);
        release(50 * f, 70 * f);
        for (int x = 20; x <= 50; ++x) ASSERT_EQ(pixel(DocumentImage, x, 40) >> 24, 255u) << x;
        for (int y = 40; y <= 70; ++y) ASSERT_EQ(pixel(DocumentImage, 50, y) >> 24, 255u) << y;
        EXPECT_EQ(pixel(DocumentImage, 35, 46), 0u);  // nothing beyond the tip's reach
    }
}

TEST_F(DocumentTest, ResizeOkWithoutEditingKeepsTheSizeAtEveryZoom) {
    for (int zoom : {105, 95, 25, 300, 15, 135}) {
        zoom_to(zoom);
        choose_menu(7);
        ASSERT_NE(window_handle(ResizeWindow), 0);
        click(44);
        EXPECT_EQ(state_.view.base_width, 256) << zoom;
        EXPECT_EQ(state_.view.base_height, 256) << zoom;
        EXPECT_EQ(state_.document.width(), 256) << zoom;
    }
}

TEST_F(DocumentTest, NewPictureShowsTheCheckerboardEverywhere) {
    choose_menu(70);  // no grid
    choose_menu(0);
    widget_set_text(18, "900");
    widget_set_text(19, "700");
    click(21);
    ASSERT_EQ(state_.document.width(), 900);
    auto checker = [](int x, int y) {
        const std::uint32_t v = (x / 16 + y / 16) % 2 == 0 ? 255 : 192;
        return rgb(v, v, v);
    };
    for (auto [x, y] : {std::pair{899, 699}, {300, 650}, {880, 20}, {450, 350}, {16, 690}})
        EXPECT_EQ(canvas_pixel(x, y), checker(x, y)) << x << "," << y;
}

TEST_F(DocumentTest, FillTakesTheSeedColourWithItsAlpha) {
    // An opaque black ring (10..20 square outline) on the transparent picture: filling inside
    // paints only the 9 x 9 inside; filling outside stops at the ring.
    click(4);  // lines
    change_widget(11, 1, 4);
    drag(10, 10, 20, 10);
    drag(10, 20, 20, 20);
    drag(10, 10, 10, 20);
    drag(20, 10, 20, 20);
    answer_color(rgb(0, 200, 0));
    click(2);
    click(7);
    press(15, 15);
    release(15, 15);
    const Color kGreen = rgba(0, 200, 0, 255), kBlack = rgba(0, 0, 0, 255);
    for (int y = 5; y < 26; ++y) {
        for (int x = 5; x < 26; ++x) {
            const bool ring =
                x >= 10 && x <= 20 && y >= 10 && y <= 20 && (x == 10 || x == 20 || y == 10 || y == 20);
            const bool inside = x > 10 && x < 20 && y > 10 && y < 20;
            ASSERT_EQ(pixel(DocumentImage, x, y), ring ? kBlack : inside ? kGreen : 0u) << x << "," << y;
        }
    }
    answer_color(rgb(0, 0, 200));
    click(2);
    press(100, 100);
    release(100, 100);
    EXPECT_EQ(pixel(DocumentImage, 15, 15), kGreen);
    EXPECT_EQ(pixel(DocumentImage, 10, 15), kBlack);
    EXPECT_EQ(pixel(DocumentImage, 5, 5), rgba(0, 0, 200, 255));
}

TEST_F(DocumentTest, OnePixelTipOfEveryShapePaintsOnePixel) {
    change_widget(11, 1, 4);
    click(3);
    // Circle, Box and Ellipse tips of the brush, then the eraser on an opaque picture.
    for (int type : {0, 1, 2}) {
        click(8);
        change_widget(12, type);
        press(30, 40);
        release(30, 40);
        int painted = 0;
        for (Color c : document_pixels()) painted += c != 0;
        EXPECT_EQ(painted, 1) << type;
        EXPECT_EQ(pixel(DocumentImage, 30, 40), rgba(0, 0, 0, 255)) << type;
    }
    click(8);
    click(7);
    press(5, 5);  // opaque black everywhere
    release(5, 5);
    change_widget(11, 1, 4);
    change_widget(14, 2);
    click(3);
    press(30, 40);
    release(30, 40);
    int erased = 0;
    for (Color c : document_pixels()) erased += (c >> 24) == 0;
    EXPECT_EQ(erased, 1);
    EXPECT_EQ(pixel(DocumentImage, 30, 40) >> 24, 0u);
}

TEST_F(DocumentTest, RandomStrokesAtRandomZoomsUndoAndRedoExactly) {
    // Every tool, tip, kind and opacity at random zooms; each stroke is one step. Undoing
    // them all gives the starting bytes back, redoing them all the painted bytes.
    fill_one_pixel_checkers();
    const std::vector<Color> start = document_pixels();
    pump_ms_ = 0;
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int zooms[] = {25, 50, 100, 105, 200, 300, 400, 500, 10, 95};
    int strokes = 0;
    for (int s = 0; s < 24; ++s) {
        zoom_to(zooms[pick(0, 9)]);
        click(3 + pick(0, 4));
        change_widget(12, pick(0, 2));
        change_widget(11, pick(1, 30), 4);
        change_widget(13, pick(0, 255), 0);
        change_widget(14, pick(0, 2));
        answer_color(rgb(pick(0, 255), pick(0, 255), pick(0, 255)));
        click(2);
        const int side = static_cast<int>(std::min<std::int64_t>(state_.view.view_width, 600));
        press(pick(0, side - 1), pick(0, side - 1));
        for (int m = pick(0, 4); m > 0; --m) move(pick(-20, side + 20), pick(-20, side + 20));
        release(pick(0, side - 1), pick(0, side - 1));
        ++strokes;
    }
    const std::vector<Color> painted = document_pixels();
    ASSERT_FALSE(painted == start);
    History& history = state_.document.history;
    ASSERT_LE(history.steps(), std::size_t(strokes));
    while (history.can_undo()) history.undo(state_.document.record());
    EXPECT_TRUE(document_pixels() == start);
    while (history.can_redo()) history.redo(state_.document.record());
    EXPECT_TRUE(document_pixels() == painted);
}

}  // namespace
}  // namespace morvane::testing
