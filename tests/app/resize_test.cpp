// The resize dialog: sizes, both resampling modes, the proportion box and the zoom basis.
#include "editor_fixture.h"
#include "shell/statusbar.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

class Resize : public EditorFixture {
  protected:
    void open_picture(const std::string& name, int width, int height) {
        write_test_picture(name, width, height);
        answer_file((dir_ / name).string());
        choose_menu(3);
        ASSERT_EQ(state_.view.view_width, width);
    }
    void open_dialog() {
        choose_menu(7);
        ASSERT_NE(window_handle(ResizeWindow), 0);
    }
    void resize_to(const std::string& width, const std::string& height, int mode) {
        open_dialog();
        widget_set_text(42, width);
        widget_set_text(43, height);
        if (mode != 0) change_widget(48, mode, 768, ResizeWindow);
        click(44);
    }
    // A typed change of a field, as the user's typing would post it.
    void type(ObjectNumber field, const std::string& text) {
        widget_set_text(field, text);
        event_post(WidgetEvent, field, ResizeWindow, 768, PostRepeated);
        pump();
    }
};

TEST_F(Resize, DialogShowsTheViewSizeAndSmoothMode) {
    open_dialog();
    EXPECT_EQ(reinterpret_cast<QWidget*>(window_handle(ResizeWindow))->windowTitle().toStdString(), "");
    EXPECT_EQ(widget_get_text(42), "256");
    EXPECT_EQ(widget_get_text(43), "256");
    EXPECT_EQ(widget_get_text(46), "Pixel Dimension");
    EXPECT_EQ(widget_get_text(47), "Constraint proportion");
    EXPECT_EQ(widget_get_state(47), 0);
    EXPECT_EQ(widget_get_state(48), 0);
    EXPECT_EQ(widget_get_text(48), "Smooth mode");
    EXPECT_EQ(widget_get_text(44), "Ok");
    EXPECT_EQ(widget_get_text(resize_window::CancelButton), "Cancel");
    // Hard mode chosen, then cancelled: the next dialog starts in smooth mode again.
    change_widget(48, 1, 768, ResizeWindow);
    EXPECT_EQ(state_.dialogs.resize_mode, 1);
    click(resize_window::CancelButton);
    EXPECT_EQ(window_handle(ResizeWindow), 0);
    open_dialog();
    EXPECT_EQ(widget_get_state(48), 0);
}

TEST_F(Resize, OkWithoutEditingKeepsThePicture) {
    open_picture("pic.png", 40, 30);
    resize_to("40", "30", 0);
    EXPECT_EQ(window_handle(ResizeWindow), 0);
    ASSERT_EQ(state_.document.width(), 40);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) ASSERT_EQ(image_pixel(DocumentImage, x, y), test_pixel(x, y));
    }
}

TEST_F(Resize, HardModeDoublingGivesBlocksAndCarriesIntoTheZoom) {
    open_picture("pic.png", 16, 16);
    resize_to("32", "32", 1);
    EXPECT_EQ(state_.view.view_width, 32);
    EXPECT_EQ(state_.view.view_height, 32);
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 32/32");
    EXPECT_EQ(view_on_canvas(), centred(32, 32));
    ASSERT_EQ(state_.document.width(), 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) ASSERT_EQ(image_pixel(DocumentImage, x, y), test_pixel(x / 2, y / 2));
    }
    // The next zoom step starts from the resized picture.
    EXPECT_EQ(state_.view.base_width, 32);
    choose_menu(66);
    EXPECT_EQ(state_.view.view_width, 64);
    ASSERT_EQ(state_.document.width(), 32);
    for (int y = 0; y < 32; y += 3) {
        for (int x = 0; x < 32; x += 5) ASSERT_EQ(image_pixel(DocumentImage, x, y), test_pixel(x / 2, y / 2));
    }
}

TEST_F(Resize, ResizeAtAZoomKeepsTheDocumentScale) {
    open_picture("pic.png", 20, 10);
    choose_menu(66);  // 200 %: view 40 x 20
    resize_to("80", "40", 1);
    EXPECT_EQ(state_.view.base_width, 40);
    EXPECT_EQ(state_.view.base_height, 20);
    choose_menu(67);  // back to 100 %: the document is now 40 x 20
    EXPECT_EQ(state_.view.view_width, 40);
    ASSERT_EQ(state_.document.width(), 40);
    EXPECT_EQ(image_pixel(DocumentImage, 7, 5), test_pixel(3, 2));
}

TEST_F(Resize, SmoothModeInterpolates) {
    // Columns 0-2 black, 3-7 white, all opaque: doubling the width puts 62 at column 5.
    ASSERT_NE(image_create(50, 8, 8, 32), 0);
    const Bitmap* b = bitmap_from_handle(image_handle(50));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            std::uint8_t* p = b->row(y) + 4 * x;
            p[0] = p[1] = p[2] = x < 3 ? 0 : 255;
            p[3] = 255;
        }
    }
    ASSERT_EQ(image_save(50, "edge.png", FormatPng), 1);
    image_free(50);
    answer_file((dir_ / "edge.png").string());
    choose_menu(3);
    resize_to("16", "8", 0);
    ASSERT_EQ(state_.document.width(), 16);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(image_pixel(DocumentImage, 5, y), rgba(62, 62, 62, 255)) << y;
    EXPECT_EQ(image_pixel(DocumentImage, 0, 0), rgba(0, 0, 0, 255));
    EXPECT_EQ(image_pixel(DocumentImage, 15, 0), rgba(255, 255, 255, 255));
}

TEST_F(Resize, EmptyOrZeroFieldKeepsThatDimension) {
    resize_to("512", "", 0);
    EXPECT_EQ(state_.view.view_width, 512);
    EXPECT_EQ(state_.view.view_height, 256);
    EXPECT_EQ(state_.document.width(), 512);
    EXPECT_EQ(state_.document.height(), 256);
    resize_to("0", "100", 0);
    EXPECT_EQ(state_.view.view_width, 512);
    EXPECT_EQ(state_.view.view_height, 100);
    resize_to("40000", "-5", 1);
    EXPECT_EQ(state_.view.view_width, 512);
    EXPECT_EQ(state_.view.view_height, 100);
    EXPECT_TRUE(requests_.empty());
}

TEST_F(Resize, ConstraintKeepsTheAspectRatioRoundedToNearest) {
    open_picture("pic.png", 100, 60);
    open_dialog();
    type(42, "50");
    EXPECT_EQ(widget_get_text(43), "60") << "unchecked: the fields are independent";
    click(47);
    ASSERT_EQ(widget_get_state(47), 1);
    type(42, "50");
    EXPECT_EQ(widget_get_text(43), "30");
    type(42, "33");  // 19.8
    EXPECT_EQ(widget_get_text(43), "20");
    type(43, "45");
    EXPECT_EQ(widget_get_text(42), "75");
    EXPECT_EQ(state_.dialogs.resize_height_entry, 45);
    click(44);
    EXPECT_EQ(state_.view.view_width, 75);
    EXPECT_EQ(state_.view.view_height, 45);
}

}  // namespace
}  // namespace morvane::testing
