// The Tile Preview window: the cell under the pointer 3 x 3 times in TilePreviewImage and on
// its canvas at its zoom, following painting; a tool window owned by the main window that
// Escape, its close box and Shift+P close.
#include <QKeyEvent>

#include "editor_fixture.h"
#include "shell/menu.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

class WrapPreviewTest : public EditorFixture {
  protected:
    QWidget* preview() { return reinterpret_cast<QWidget*>(window_handle(TilePreviewWindow)); }
    // Every pixel of the preview picture is the cell pixel it repeats.
    int differing(int cx, int cy, int w, int h) {
        const Bitmap* b = bitmap_from_handle(image_handle(TilePreviewImage));
        if (!b || b->width != 3 * w || b->height != 3 * h) return -1;
        int n = 0;
        for (int y = 0; y < 3 * h; ++y)
            for (int x = 0; x < 3 * w; ++x)
                n += pixel(TilePreviewImage, x, y) != pixel(DocumentImage, cx + x % w, cy + y % h);
        return n;
    }
    Color preview_canvas_pixel(int x, int y) {
        const QImage shot = widget_qt(tile_preview_window::PreviewCanvas)->grab().toImage();
        const QRgb c = shot.pixel(x, y);
        return rgb(std::uint32_t(qRed(c)), std::uint32_t(qGreen(c)), std::uint32_t(qBlue(c)));
    }
};

TEST_F(WrapPreviewTest, ShowsTheCellThreeByThreeAndFollowsPointerAndPainting) {
    state_.view.grid_width = 16, state_.view.grid_height = 8;
    answer_color(rgb(255, 0, 0));
    click(ColourButton);
    click(ToolBox);
    drag(34, 17, 36, 18);  // a red box in cell column 2, row 2 (32, 16)
    choose_menu(MenuTilePreview);
    ASSERT_NE(preview(), nullptr);
    EXPECT_TRUE(preview()->windowFlags() & Qt::Tool);
    EXPECT_FALSE(preview()->isModal());
    EXPECT_EQ(menu_item_checked(MainMenu, MenuTilePreview), 1);
    hover(40, 20);
    EXPECT_EQ(differing(32, 16, 16, 8), 0);
    EXPECT_EQ(pixel(TilePreviewImage, 16 + 2, 8 + 1), 0xFF0000FFu);
    EXPECT_EQ(pixel(TilePreviewImage, 32 + 3, 16 + 1), 0xFF0000FFu);
    EXPECT_EQ(pixel(TilePreviewImage, 32 + 4, 16 + 1), 0u);  // the box ends before the release point
    // 800 % fits three cells of 16 in the 384-pixel canvas: preview pixel (x, y) covers
    // canvas pixels 8x..8x+7, 8y..8y+7, starting 96 pixels down (the copies are 192 high).
    EXPECT_EQ(preview_canvas_pixel(8 * 18 + 3, 96 + 8 * 9 + 5), rgb(255, 0, 0));
    EXPECT_EQ(preview_canvas_pixel(8 * 18 + 3, 96 + 8 * 11 + 5),
              rgb(0xCC, 0xCC, 0xCC));  // checker square 18 + 23
    EXPECT_EQ(preview_canvas_pixel(3, 3), rgb(0x50, 0x50, 0x50));
    // Painting in the cell shows during the stroke, before the release.
    answer_color(rgb(0, 0, 255));
    click(ColourButton);
    click(ToolLine);
    press(33, 22);
    move(46, 22);
    EXPECT_EQ(pixel(TilePreviewImage, 16 + 14, 8 + 6), 0xFFFF0000u);
    EXPECT_EQ(differing(32, 16, 16, 8), 0);
    release(46, 22);
    // Another cell under the pointer, then a point in no cell keeps it.
    hover(5, 60);
    EXPECT_EQ(differing(0, 56, 16, 8), 0);
    EXPECT_EQ(widget_get_text(tile_preview_window::InfoText), "Cell 113: 16 x 8 at 0, 56");
    // The zoom list: 200 % shows the 96 x 48 copies centred (from 144, 168).
    change_widget(tile_preview_window::ZoomCombo, 1, 768, TilePreviewWindow);
    hover(40, 20);
    EXPECT_EQ(preview_canvas_pixel(144 + 2 * 16 + 2 * 3, 168 + 2 * 8 + 2 * 1), rgb(255, 0, 0));
    EXPECT_EQ(preview_canvas_pixel(143, 200), rgb(0x50, 0x50, 0x50));
    EXPECT_EQ(preview_canvas_pixel(144, 200), rgb(0xCC, 0xCC, 0xCC));  // transparent: checker
}

TEST_F(WrapPreviewTest, EscapeCloseBoxAndShiftPCloseIt) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        choose_menu(MenuTilePreview);
        ASSERT_NE(preview(), nullptr);
        if (way == 0) {
            QWidget* zoom = widget_qt(tile_preview_window::ZoomCombo);
            zoom->window()->activateWindow();
            QApplication::processEvents();
            zoom->setFocus();
            QTest::keyClick(zoom, Qt::Key_Escape);
        } else if (way == 1) {
            event_post(CloseWindowEvent, TilePreviewWindow, TilePreviewWindow, 0);
        } else {
            event_post(MenuEvent, MenuTilePreview, TilePreviewWindow, 0, PostRepeated);
        }
        pump(pump_ms_);
        EXPECT_EQ(window_handle(TilePreviewWindow), 0);
        EXPECT_EQ(menu_item_checked(MainMenu, MenuTilePreview), 0);
        EXPECT_EQ(image_handle(TilePreviewImage), 0);
    }
}

}  // namespace
}  // namespace morvane::testing
