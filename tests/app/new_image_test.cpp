// The New Image dialog through the editor's loop.
#include <QLineEdit>

#include "editor_fixture.h"
#include "shell/statusbar.h"
#include "shell/window.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

class NewImage : public EditorFixture {
  protected:
    void open_dialog() {
        choose_menu(0);
        ASSERT_NE(window_handle(NewImageWindow), 0);
    }
    void set_fields(const std::string& width, const std::string& height) {
        widget_set_text(18, width);
        widget_set_text(19, height);
    }
    // Every pixel of the working image is transparent black.
    bool picture_is_empty() {
        for (int y = 0; y < state_.document.height(); ++y) {
            for (int x = 0; x < state_.document.width(); ++x) {
                if (image_pixel(DocumentImage, x, y) != 0) return false;
            }
        }
        return true;
    }
    // Marks the document so that a later replacement shows.
    void mark_picture() {
        std::uint8_t* p = state_.document.picture_or_null()->row(3) + 4 * 5;
        p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    }
};

TEST_F(NewImage, DialogShowsTheProposedSize) {
    open_dialog();
    auto* window = reinterpret_cast<QWidget*>(window_handle(NewImageWindow));
    EXPECT_EQ(window->windowTitle().toStdString(), "New Image");
    EXPECT_EQ(widget_get_text(18), "256");
    EXPECT_EQ(widget_get_text(19), "256");
    EXPECT_EQ(widget_get_text(17), "Image Dimension");
    EXPECT_EQ(widget_get_text(21), "Ok");
    EXPECT_EQ(widget_get_text(22), "Cancel");
    EXPECT_EQ(widget_kind(18), TextFieldWidget);
}

TEST_F(NewImage, OkWithTheProposedValuesGivesAnEmptyDocumentAtZoom100) {
    mark_picture();
    choose_menu(66);  // zoom 200 first
    ASSERT_EQ(state_.view.zoom, 200);
    open_dialog();
    click(21);
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    EXPECT_EQ(state_.view.zoom, 100);
    EXPECT_EQ(state_.view.view_width, 256);
    EXPECT_EQ(state_.view.view_height, 256);
    EXPECT_EQ(state_.view.base_width, 256);
    EXPECT_EQ(state_.document.width(), 256);
    EXPECT_EQ(view_on_canvas(), centred(256, 256));
    EXPECT_TRUE(picture_is_empty());
    EXPECT_EQ(statusbar_text(0, 0), "Zoom : 100 %");
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 256/256");
    EXPECT_TRUE(requests_.empty());
}

TEST_F(NewImage, NewSizeThenZoomStepScalesTheNewDocument) {
    open_dialog();
    set_fields("64", "32");
    click(21);
    EXPECT_EQ(state_.view.view_width, 64);
    EXPECT_EQ(state_.view.view_height, 32);
    EXPECT_EQ(state_.document.width(), 64);
    EXPECT_EQ(state_.document.height(), 32);
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 64/32");
    EXPECT_EQ(view_on_canvas(), centred(64, 32));
    choose_menu(61);                   // Zoom +
    EXPECT_EQ(state_.view.view_width, 67);  // 64 x 105 / 100
    EXPECT_EQ(state_.view.view_height, 33);
    EXPECT_EQ(state_.document.width(), 64);  // the document keeps its own size
}

TEST_F(NewImage, ZeroOrEmptyValuesAreRefusedAndTheDialogStays) {
    mark_picture();
    open_dialog();
    set_fields("0", "20");
    answer_message(1);
    click(21);
    set_fields("20", "");
    answer_message(1);
    click(21);
    ASSERT_EQ(requests_.size(), 2u);
    for (const DialogRequest& r : requests_) {
        EXPECT_EQ(r.kind, DialogKind::Message);
        EXPECT_EQ(r.title, "Error");
        EXPECT_EQ(r.text, "The width and Height should be > 0");
        EXPECT_EQ(r.flags, 0);
    }
    EXPECT_NE(window_handle(NewImageWindow), 0);
    EXPECT_EQ(widget_get_text(18), "20");
    EXPECT_EQ(state_.view.view_width, 256);
    EXPECT_EQ(image_pixel(DocumentImage, 5, 3), rgba(30, 20, 10, 255));
}

TEST_F(NewImage, SizesBeyondAPictureSideAreRefused) {
    open_dialog();
    set_fields("40000", "20");
    answer_message(1);
    click(21);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].text, "The width and Height should be <= 32767");
    EXPECT_EQ(state_.view.view_width, 256);
    EXPECT_NE(window_handle(NewImageWindow), 0);
}

TEST_F(NewImage, CloseBoxAndCancelLeaveTheDocument) {
    mark_picture();
    open_dialog();
    event_post(CloseWindowEvent, 0, NewImageWindow, 0, PostRepeated);
    pump();
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    open_dialog();
    set_fields("10", "10");
    click(22);
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    EXPECT_EQ(state_.view.view_width, 256);
    EXPECT_EQ(image_pixel(DocumentImage, 5, 3), rgba(30, 20, 10, 255));
    EXPECT_TRUE(requests_.empty());
}

TEST_F(NewImage, TypedFieldsAreKeptAsEntries) {
    open_dialog();
    auto* field = qobject_cast<QLineEdit*>(widget_qt(18));
    ASSERT_NE(field, nullptr);
    field->selectAll();
    QTest::keyClicks(field, "77");
    pump();
    EXPECT_EQ(state_.dialogs.new_width_entry, 77);
    auto* height = qobject_cast<QLineEdit*>(widget_qt(19));
    ASSERT_NE(height, nullptr);
    height->selectAll();
    QTest::keyClicks(height, "5");
    pump();
    EXPECT_EQ(state_.dialogs.new_height_entry, 5);
    click(21);
    EXPECT_EQ(state_.view.view_width, 77);
    EXPECT_EQ(state_.view.view_height, 5);
}

}  // namespace
}  // namespace morvane::testing
