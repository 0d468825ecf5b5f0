// The brush tip and its preview, the tip at other zooms, the custom brush files, the quick
// eraser, and the colour button with its swatch.
#include <QImage>
#include <filesystem>

#include "draw/draw.h"
#include "editor_fixture.h"
#include "image/codec.h"

namespace morvane::testing {
namespace {

constexpr Color kBlack = 0xFF000000u;

class BrushTest : public EditorFixture {
  protected:
    // Writes a uniform opaque PNG of size x size as brush/Quillrat/brush<index>.png.
    void write_brush(int index, int size, Color c) {
        std::filesystem::create_directories("brush/Quillrat");
        ASSERT_NE(image_create(40, size, size, 32), 0);
        ASSERT_NE(drawing_begin(image_output(40)), 0);
        drawing_mode_set(WriteAlpha);
        draw_box(0, 0, size, size, c);
        drawing_end();
        ASSERT_EQ(image_save(40, "brush/Quillrat/brush" + std::to_string(index) + ".png", FormatPng, 0, 32),
                  1);
        image_free(40);
    }
    void dab(int x, int y) {
        press(x, y);
        release(x, y);
    }
};

TEST_F(BrushTest, TipIsInDocumentPixelsAndCentredByItsSize) {
    change_widget(12, 1);  // Box tip
    change_widget(11, 7, 4);
    choose_menu(66);  // 200 %
    ASSERT_EQ(image_width(BrushImage), 7);
    ASSERT_EQ(image_height(BrushImage), 7);
    dab(30, 30);  // document pixel (15, 15)
    // 7 document pixels from 15 - 3 = 12 to 18: 14 pixels on the screen.
    for (int x = 8; x < 22; ++x) {
        ASSERT_EQ(pixel(DocumentImage, x, 15), x >= 12 && x <= 18 ? kBlack : 0u) << x;
        ASSERT_EQ(pixel(DocumentImage, 15, x), x >= 12 && x <= 18 ? kBlack : 0u) << x;
    }
    choose_menu(68);  // 50 %
    EXPECT_EQ(image_width(BrushImage), 7);
}

TEST_F(BrushTest, ShrinkingTheTipClearsItWhole) {
    change_widget(12, 1);
    change_widget(11, 9, 4);
    change_widget(12, 0);  // Circle of size 9: radius 3 around (4, 4)
    EXPECT_EQ(pixel(BrushImage, 4, 4), kBlack);
    EXPECT_EQ(pixel(BrushImage, 8, 8) >> 24, 0u);  // the box's corner is gone
    EXPECT_EQ(pixel(BrushImage, 0, 4) >> 24, 0u);
    EXPECT_EQ(pixel(BrushImage, 1, 4), kBlack);
}

TEST_F(BrushTest, EraserRadiusIsInDocumentPixels) {
    change_widget(14, 2);
    change_widget(11, 5, 4);
    choose_menu(66);
    // Fill the picture, then erase at (50, 50): radius 10 at 200 %.
    answer_color(rgb(9, 9, 9));
    click(2);
    change_widget(14, 0);
    click(7);
    dab(200, 200);
    change_widget(14, 2);
    click(3);
    dab(50, 50);  // document pixel (25, 25), radius 5 there (10 on the screen)
    EXPECT_EQ(pixel(DocumentImage, 20, 25) >> 24, 0u);
    EXPECT_EQ(pixel(DocumentImage, 19, 25) >> 24, 255u);
    EXPECT_EQ(pixel(DocumentImage, 25, 30) >> 24, 0u);
    EXPECT_EQ(pixel(DocumentImage, 25, 31) >> 24, 255u);
}

TEST_F(BrushTest, PreviewIsTheTipAt48Pixels) {
    change_widget(12, 1);
    EXPECT_EQ(image_width(BrushPreviewImage), 48);
    EXPECT_EQ(pixel(BrushPreviewImage, 0, 0), kBlack);
    EXPECT_EQ(pixel(BrushPreviewImage, 47, 47), kBlack);
    EXPECT_EQ(widget_get_state(10), image_handle(BrushPreviewImage));
}

TEST_F(BrushTest, WithoutBrushPicturesCustomIsGreyedAndPaintsNothing) {
    EXPECT_EQ(combo_box_item_enabled(12, 3), 1);  // the build tree's brushes
    exit_editor();
    write_file("pref.ini", "brushdir = Nowhere\r\nbrushtype = 3\r\n");
    state_ = EditorState{};
    ASSERT_TRUE(start());
    EXPECT_EQ(combo_box_item_enabled(12, 3), 0);
    EXPECT_EQ(combo_box_item_enabled(12, 2), 1);
    dab(40, 40);
    for (int x = 20; x < 60; ++x) ASSERT_EQ(pixel(DocumentImage, x, 40), 0u) << x;
    choose_menu(42);
    EXPECT_EQ(state_.tools.brush_index, 0);
}

TEST_F(BrushTest, ShippedBrushesPaintTheirPicturesAndStep) {
    // The pictures as a PNG reader other than the editor's sees them.
    const auto shipped = [](int n) {
        return QImage(QString(MORVANE_SOURCE_DIR "/data/brush/Quillrat/brush%1.png").arg(n))
            .convertToFormat(QImage::Format_ARGB32);
    };
    const QImage first = shipped(0);
    ASSERT_EQ(first.width(), 32);
    change_widget(11, 32, 4);
    change_widget(12, 3);
    dab(50, 50);  // over transparent: each covered pixel becomes the picture's pixel
    int painted = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb c = first.pixel(x, y);
            const Color want = qAlpha(c) == 0 ? 0u : rgba(qRed(c), qGreen(c), qBlue(c), qAlpha(c));
            ASSERT_EQ(pixel(DocumentImage, 34 + x, 34 + y), want) << x << "," << y;
            painted += want != 0;
        }
    }
    EXPECT_GT(painted, 300);
    // C and X step through brush0..brush3 and stay at the ends.
    const int steps[][2] = {{42, 1}, {42, 2}, {42, 3}, {42, 3}, {41, 2}, {41, 1}, {41, 0}, {41, 0}};
    for (const auto& step : steps) {
        choose_menu(step[0]);
        ASSERT_EQ(state_.tools.brush_index, step[1]);
        const QImage tip = shipped(step[1]);
        for (int y = 0; y < 32; y += 3)
            for (int x = 0; x < 32; x += 3)
                ASSERT_EQ(pixel(BrushImage, x, y) >> 24, std::uint32_t(qAlpha(tip.pixel(x, y))))
                    << "brush " << step[1] << " at " << x << "," << y;
    }
}

TEST_F(BrushTest, CustomBrushFilesAndStepping) {
    write_brush(0, 2, rgba(255, 0, 0, 255));
    write_brush(1, 2, rgba(0, 0, 255, 255));
    change_widget(11, 4, 4);
    change_widget(12, 3);
    // The 2 x 2 file is scaled to the 4 x 4 tip: an even colour stays even.
    ASSERT_EQ(image_width(BrushImage), 4);
    dab(20, 20);
    for (int x = 16; x < 24; ++x)
        ASSERT_EQ(pixel(DocumentImage, x, 20), x >= 18 && x <= 21 ? 0xFF0000FFu : 0u) << x;
    choose_menu(42);
    EXPECT_EQ(state_.tools.brush_index, 1);
    dab(40, 20);
    EXPECT_EQ(pixel(DocumentImage, 40, 20), 0xFFFF0000u);
    // No brush2.png: Next Brush stays at the last picture.
    choose_menu(42);
    EXPECT_EQ(state_.tools.brush_index, 1);
    dab(60, 20);
    EXPECT_EQ(pixel(DocumentImage, 60, 20), 0xFFFF0000u);
    choose_menu(41);
    choose_menu(41);
    EXPECT_EQ(state_.tools.brush_index, 0);
    dab(80, 20);
    EXPECT_EQ(pixel(DocumentImage, 80, 20), 0xFF0000FFu);
}

TEST_F(BrushTest, CustomBrushIsInDocumentPixelsAtAZoom) {
    write_brush(0, 3, rgba(0, 255, 0, 255));
    change_widget(11, 4, 4);
    change_widget(12, 3);
    choose_menu(65);  // 300 %
    EXPECT_EQ(image_width(BrushImage), 4);
    dab(60, 60);  // document pixel (20, 20): the tip covers 18..21
    EXPECT_EQ(pixel(DocumentImage, 18, 20), 0xFF00FF00u);
    EXPECT_EQ(pixel(DocumentImage, 21, 20), 0xFF00FF00u);
    EXPECT_EQ(pixel(DocumentImage, 17, 20), 0u);
    EXPECT_EQ(pixel(DocumentImage, 22, 20), 0u);
}

TEST_F(BrushTest, QuickEraserButton) {
    change_widget(14, 1);
    click(5);
    click(9);
    EXPECT_EQ(widget_get_state(9), 1);
    EXPECT_EQ(state_.tools.brush_tool, 2);
    EXPECT_EQ(widget_get_state(14), 2);
    EXPECT_EQ(state_.tools.current_tool, 3);
    EXPECT_EQ(widget_get_state(3), 1);
    EXPECT_EQ(widget_get_state(5), 0);
    EXPECT_EQ(state_.tools.brush_color >> 24, 0u);
    click(9);
    EXPECT_EQ(widget_get_state(9), 0);
    EXPECT_EQ(state_.tools.brush_tool, 1);
    EXPECT_EQ(widget_get_state(14), 1);
    EXPECT_EQ(state_.tools.brush_color, kBlack);
}

TEST_F(BrushTest, ColourButtonPacksTheOpacityAndFillsTheSwatch) {
    change_widget(13, 100, 0);
    answer_color(rgb(10, 20, 30));
    click(2);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, DialogKind::Color);
    EXPECT_EQ(requests_[0].color, static_cast<std::int32_t>(rgba(0, 0, 0, 100)));
    EXPECT_EQ(state_.tools.brush_color, rgba(10, 20, 30, 100));
    EXPECT_EQ(pixel(ColorSwatchImage, 0, 0), rgb(10, 20, 30));
    EXPECT_EQ(pixel(ColorSwatchImage, 24, 24), rgb(10, 20, 30));
    EXPECT_EQ(widget_get_attribute(2, 1), image_handle(ColorSwatchImage));
    EXPECT_EQ(pixel(BrushImage, 10, 10), rgba(10, 20, 30, 100));

    // Cancelling keeps the colour (never opaque white).
    answer_color(-1);
    click(2);
    EXPECT_EQ(state_.tools.brush_color, rgba(10, 20, 30, 100));
    EXPECT_EQ(pixel(ColorSwatchImage, 5, 5), rgb(10, 20, 30));
}

TEST_F(BrushTest, EraserKindPacksAlphaZeroAndBack) {
    change_widget(13, 77, 0);
    change_widget(14, 2);
    EXPECT_EQ(state_.tools.brush_color, rgba(0, 0, 0, 0));
    EXPECT_EQ(pixel(BrushImage, 10, 10), kBlack);  // the eraser's tip is opaque black
    change_widget(14, 0);
    EXPECT_EQ(state_.tools.brush_color, rgba(0, 0, 0, 77));
}

TEST_F(BrushTest, ClearButtonEmptiesThePicture) {
    click(5);
    drag(10, 10, 100, 100);
    ASSERT_EQ(pixel(DocumentImage, 50, 50), kBlack);
    click(8);
    EXPECT_TRUE(requests_.empty());
    EXPECT_EQ(pixel(DocumentImage, 50, 50), 0u);
    EXPECT_EQ(canvas_pixel(50, 50), rgb(255, 255, 255));
}

}  // namespace
}  // namespace morvane::testing
