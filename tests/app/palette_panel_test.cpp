// The palette panel, the Palette menu and Replace Colour, driven through the editor's loop
// with real input on the offscreen platform.
#include "app/palette/palette_panel.h"

#include "editor_fixture.h"
#include "shell/window.h"
#include "widgets/palette_view.h"

namespace morvane::testing {
namespace {

constexpr Color opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return rgba(r, g, b, 255);
}

class PalettePanelTest : public EditorFixture {
  protected:
    QWidget* swatches() { return widget_qt(PaletteSwatches); }
    QPoint swatch(int i) {
        const WidgetRect r = palette_view_swatch_rect(PaletteSwatches, i);
        return QPoint(r.x + r.width / 2, r.y + r.height / 2);
    }
    void click_swatch(int i) {
        QTest::mouseClick(swatches(), Qt::LeftButton, Qt::NoModifier, swatch(i));
        pump(pump_ms_);
    }
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(p), swatches()->mapToGlobal(QPointF(p)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(swatches(), &event);
    }
    std::vector<Color> shown() { return palette_view_colours(PaletteSwatches); }
    static void set_pixel(int x, int y, Color c) {
        std::uint8_t* p = bitmap_from_handle(image_handle(DocumentImage))->row(y) + 4 * x;
        p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c)),
        p[2] = std::uint8_t(color_red(c));
        p[3] = std::uint8_t(c >> 24);
    }
    std::vector<Color> document() {
        std::vector<Color> all;
        for (int y = 0; y < state_.view.base_height; ++y)
            for (int x = 0; x < state_.view.base_width; ++x) all.push_back(pixel(DocumentImage, x, y));
        return all;
    }
};

TEST_F(PalettePanelTest, ClickAddDeleteDragAndRecolourSwap) {
    // The first run shows DawnBringer 32.
    ASSERT_EQ(shown().size(), 32u);
    EXPECT_EQ(shown()[5], opaque(0xdf, 0x71, 0x26));
    // A click makes the swatch the brush colour and marks it; the opacity stays.
    click_swatch(5);
    EXPECT_EQ(state_.tools.brush_color, opaque(0xdf, 0x71, 0x26));
    EXPECT_EQ(widget_get_state(PaletteSwatches), 5);
    // The colour button's colour marks its swatch too (white is swatch 21).
    answer_color(rgb(255, 255, 255));
    click(ColourButton);
    EXPECT_EQ(widget_get_state(PaletteSwatches), 21);

    // "+" adds the brush colour at a chosen opacity and marks it; a click on it sets the
    // opacity back from its alpha.
    answer_color(rgb(1, 2, 3));
    click(ColourButton);
    EXPECT_EQ(widget_get_state(PaletteSwatches), -1);
    change_widget(OpacityTrackbar, 90);
    click(PaletteAddButton);
    ASSERT_EQ(shown().size(), 33u);
    EXPECT_EQ(shown()[32], rgba(1, 2, 3, 90));
    EXPECT_EQ(widget_get_state(PaletteSwatches), 32);
    change_widget(OpacityTrackbar, 255);
    click_swatch(32);
    EXPECT_EQ(state_.tools.brush_alpha, 90);
    EXPECT_EQ(widget_get_state(OpacityTrackbar), 90);

    // Delete removes the marked swatch.
    swatches()->setFocus();
    QTest::keyClick(swatches(), Qt::Key_Delete);
    pump(pump_ms_);
    EXPECT_EQ(shown().size(), 32u);
    EXPECT_EQ(state_.palette.colours.size(), 32u);

    // A drag from swatch 0 onto swatch 3 puts it there.
    const std::vector<Color> before = shown();
    send(QEvent::MouseButtonPress, swatch(0), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, swatch(2), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, swatch(3), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, swatch(3), Qt::LeftButton, Qt::NoButton);
    pump(pump_ms_);
    const std::vector<Color> after = shown();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ((std::vector<Color>(after.begin(), after.begin() + 5)),
              (std::vector<Color>{before[1], before[2], before[3], before[0], before[4]}));
    EXPECT_EQ(widget_get_state(PaletteSwatches), 3);  // the mark went with it

    // Recolour Picture: a double-click edit swaps the colour in the picture, alpha kept,
    // as one undo step.
    const Color old = shown()[4];
    set_pixel(0, 0, old);
    set_pixel(1, 0, (old & 0xFFFFFFu) | 0x40000000u);  // the colour at alpha 64: not the swatch's
    set_pixel(2, 0, opaque(9, 9, 9));
    set_pixel(3, 0, old);
    const std::vector<Color> picture_before = document();
    click(RecolourCheck);
    ASSERT_EQ(widget_get_state(RecolourCheck), 1);
    answer_color(rgb(200, 100, 50));
    QTest::mouseDClick(swatches(), Qt::LeftButton, Qt::NoModifier, swatch(4));
    pump(pump_ms_);
    EXPECT_EQ(shown()[4], opaque(200, 100, 50));
    EXPECT_EQ(pixel(DocumentImage, 0, 0), opaque(200, 100, 50));
    EXPECT_EQ(pixel(DocumentImage, 1, 0), (old & 0xFFFFFFu) | 0x40000000u);
    EXPECT_EQ(pixel(DocumentImage, 2, 0), opaque(9, 9, 9));
    EXPECT_EQ(pixel(DocumentImage, 3, 0), opaque(200, 100, 50));
    EXPECT_EQ(state_.tools.brush_color, rgba(200, 100, 50, 90));  // the opacity chosen above stays
    choose_menu(MenuUndo);
    EXPECT_EQ(document(), picture_before);

    // The palette is kept beside Open Recent for the next run.
    const std::vector<Color> kept = shown();
    exit_editor();
    EXPECT_TRUE(file_exists((dir_ / "config" / "morvane" / "palette.txt").string()));
    state_ = EditorState{};
    ASSERT_TRUE(start());
    EXPECT_EQ(shown(), kept);
}

TEST_F(PalettePanelTest, NeverOverlapsToolPanelOrViewAtAnySize) {
    auto* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
    auto overlap = [](const WidgetRect& a, const WidgetRect& b) {
        return a.width > 0 && b.width > 0 && a.height > 0 && b.height > 0 && a.x < b.x + b.width &&
               b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    };
    for (const QSize size : {QSize(800, 600), QSize(1400, 900), QSize(500, 400), QSize(300, 260)}) {
        window->resize(size);
        pump(40);
        const int inner = window_inner_width(MainWindow);
        for (int panel : {PaletteSwatches, PaletteAddButton, PaletteRemoveButton, RecolourCheck}) {
            const WidgetRect p = widget_rect(panel);
            ASSERT_GT(p.width, 0) << panel;
            EXPECT_LE(p.x + p.width, inner) << panel << " at " << size.width();
            for (int other = ColourButton; other <= KeepAlphaCheck; ++other)
                EXPECT_FALSE(overlap(p, widget_rect(other)))
                    << panel << " covers " << other << " at " << size.width();
            EXPECT_FALSE(overlap(p, widget_rect(ViewScrollArea)))
                << panel << " covers the view at " << size.width();
        }
        // The swatches grow with the window.
        if (size.height() >= 600) {
            EXPECT_GT(widget_rect(PaletteSwatches).height, 400) << size.height();
        }
    }
}

TEST_F(PalettePanelTest, MenuLoadsSavesTakesThePictureAndSorts) {
    const std::vector<Color> start = shown();
    // Bad files: the message names the file and the line; the palette stays.
    write_file("bad.gpl", "GIMP Palette\n1 2 3\n1 2 x\n");
    write_file("empty.hex", "");
    answer_file((dir_ / "bad.gpl").string());
    answer_message(1);
    answer_file((dir_ / "empty.hex").string());
    answer_message(1);
    choose_menu(MenuPaletteLoad);
    choose_menu(MenuPaletteLoad);
    ASSERT_EQ(requests_.size(), 4u);
    EXPECT_EQ(requests_[1].text,
              "Cannot load palette: " + (dir_ / "bad.gpl").string() +
                  ", line 3: \"1 2 x\" is not a colour (three numbers 0-255, then an optional name)");
    EXPECT_EQ(requests_[3].text,
              "Cannot load palette: " + (dir_ / "empty.hex").string() + ", line 1: the file is empty");
    EXPECT_EQ(shown(), start);

    // A good file replaces the palette; Save As writes the chosen kind.
    write_file("three.hex", "ff0000\n00ff00\n0000ff\n");
    answer_file((dir_ / "three.hex").string());
    choose_menu(MenuPaletteLoad);
    EXPECT_EQ(shown(), (std::vector<Color>{opaque(255, 0, 0), opaque(0, 255, 0), opaque(0, 0, 255)}));
    answer_file((dir_ / "out").string(), 2);  // JASC, no extension typed
    choose_menu(MenuPaletteSave);
    EXPECT_EQ(read_file("out.pal"), "JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n");

    // Sort by use counts the picture: blue x3, green x1, red x0.
    for (int x = 0; x < 3; ++x) set_pixel(x, 5, opaque(0, 0, 255));
    set_pixel(7, 7, opaque(0, 255, 0));
    choose_menu(MenuSortByUse);
    EXPECT_EQ(shown(), (std::vector<Color>{opaque(0, 0, 255), opaque(0, 255, 0), opaque(255, 0, 0)}));
    choose_menu(MenuSortByHue);
    EXPECT_EQ(shown(), (std::vector<Color>{opaque(255, 0, 0), opaque(0, 255, 0), opaque(0, 0, 255)}));

    // Palette from Picture: the colours in reading order, transparency left out.
    set_pixel(9, 0, rgba(5, 5, 5, 128));
    choose_menu(MenuPaletteFromPicture);
    EXPECT_EQ(shown(), (std::vector<Color>{rgba(5, 5, 5, 128), opaque(0, 0, 255), opaque(0, 255, 0)}));
    // More than 256: told how many, the 256 most used kept.
    auto many = [](int i) { return opaque(std::uint32_t(i & 255), std::uint32_t(i >> 8), 1); };
    for (int i = 0; i < 300; ++i) set_pixel(i % 256, 20 + i / 256, many(i));
    answer_message(1);
    choose_menu(MenuPaletteFromPicture);
    EXPECT_EQ(requests_.back().text,
              "The picture has 303 colours; a palette holds at most 256, so the 256 most used are kept.");
    // All but blue are used once: the first seen are kept, in order of appearance.
    std::vector<Color> kept = {rgba(5, 5, 5, 128), opaque(0, 0, 255), opaque(0, 255, 0)};
    for (int i = 0; i < 253; ++i) kept.push_back(many(i));
    EXPECT_EQ(shown(), kept);
}

TEST_F(PalettePanelTest, ReplaceColourDialogPicksReplacesWithToleranceAsOneUndoStep) {
    const Color from = rgba(100, 100, 100, 200);
    set_pixel(10, 10, from);
    set_pixel(11, 10, rgba(104, 100, 100, 200));  // 4 away
    set_pixel(12, 10, rgba(100, 100, 100, 196));  // 4 away in alpha
    set_pixel(13, 10, rgba(106, 100, 100, 200));  // 6 away
    const std::vector<Color> before = document();
    choose_menu(MenuReplaceColour);
    ASSERT_NE(window_handle(ReplaceColourWindow), 0);
    // Alt+click on the canvas picks "from" with its alpha; the colour dialog gives "to".
    press(10, 10, Qt::AltModifier);
    release(10, 10, Qt::AltModifier);
    EXPECT_EQ(state_.palette.replace_from, from);
    EXPECT_EQ(pixel(DocumentImage, 10, 10), from);  // nothing painted
    answer_color(rgb(0, 0, 250));
    change_widget(ReplaceToButton, 0, 0, ReplaceColourWindow);
    change_widget(ReplaceToleranceSpin, 4, 768, ReplaceColourWindow);
    change_widget(ReplaceApplyButton, 0, 0, ReplaceColourWindow);
    EXPECT_EQ(window_handle(ReplaceColourWindow), 0);
    EXPECT_EQ(pixel(DocumentImage, 10, 10), rgba(0, 0, 250, 200));
    EXPECT_EQ(pixel(DocumentImage, 11, 10), rgba(0, 0, 250, 200));
    EXPECT_EQ(pixel(DocumentImage, 12, 10), rgba(0, 0, 250, 196));
    EXPECT_EQ(pixel(DocumentImage, 13, 10), rgba(106, 100, 100, 200));
    // The transparent rest of the picture is more than 4 away and stays.
    EXPECT_EQ(pixel(DocumentImage, 0, 0), 0u);
    choose_menu(MenuUndo);
    EXPECT_EQ(document(), before);
    choose_menu(MenuRedo);
    EXPECT_EQ(pixel(DocumentImage, 12, 10), rgba(0, 0, 250, 196));

    // A swatch click while the dialog is open picks into the chosen colour.
    choose_menu(MenuReplaceColour);
    change_widget(ReplacePickCombo, 1, 768, ReplaceColourWindow);
    click_swatch(3);
    EXPECT_EQ(state_.palette.replace_to, shown()[3]);
    change_widget(ReplaceCloseButton, 0, 0, ReplaceColourWindow);
    EXPECT_EQ(window_handle(ReplaceColourWindow), 0);
}

}  // namespace
}  // namespace morvane::testing
