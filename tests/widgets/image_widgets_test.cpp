// Image buttons and image widgets: toggling, the image attribute, and the picture shown
// with its alpha and in the right row order.
#include <QImage>
#include <cstring>

#include "image/bitmap.h"
#include "widget_test_support.h"

namespace morvane {
namespace {

using testing_support::widget_events;
using Events = std::vector<testing_support::Posted>;
using ImageWidgetsTest = testing_support::WidgetWindowTest;

// A bitmap of one colour (blue, green, red, alpha bytes), with the top row in another.
Bitmap* make_bitmap(int size, int bpp, const std::uint8_t (&fill)[4], const std::uint8_t (&top_row)[4]) {
    Bitmap* b = bitmap_create(size, size, bpp);
    const int step = bpp / 8;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            std::memcpy(b->row(y) + x * step, y == 0 ? top_row : fill, std::size_t(step));
    return b;
}

QRgb shown(QWidget* w, int x, int y) {
    return w->grab().toImage().pixel(x, y);
}

TEST_F(ImageWidgetsTest, ToggleImageButtonsKeepTheirState) {
    Bitmap* icon = make_bitmap(16, 32, {0, 0, 255, 255}, {0, 0, 255, 255});
    ASSERT_NE(image_button_create(3, 5, 50, 25, 25, bitmap_handle(icon), ImageButtonToggle), 0);
    ASSERT_NE(image_button_create(8, 5, 137, 25, 25, bitmap_handle(icon), 0), 0);
    widget_set_state(3, 1);
    EXPECT_EQ(widget_get_state(3), 1);
    EXPECT_TRUE(widget_events().empty());
    QTest::mouseClick(widget_qt(3), Qt::LeftButton);
    EXPECT_EQ(widget_get_state(3), 0);
    QTest::mouseClick(widget_qt(8), Qt::LeftButton);
    QTest::mouseClick(widget_qt(3), Qt::LeftButton);
    EXPECT_EQ(widget_get_state(3), 1);
    EXPECT_EQ(widget_events(), (Events{posted(3, 0), posted(8, 0), posted(3, 0)}));
    // A push button has no pressed state to keep.
    widget_set_state(8, 1);
    EXPECT_EQ(widget_get_state(8), 0);
    EXPECT_EQ(widget_get_attribute(3, 1), bitmap_handle(icon));
    bitmap_destroy(icon);
}

TEST_F(ImageWidgetsTest, ImageButtonShowsItsImageWithAlpha) {
    // Opaque red, except a transparent top row; a second button shows half-transparent red.
    Bitmap* icon = make_bitmap(16, 32, {0, 0, 255, 255}, {0, 0, 255, 0});
    Bitmap* half = make_bitmap(16, 32, {0, 0, 255, 128}, {0, 0, 255, 128});
    ASSERT_NE(image_button_create(2, 5, 10, 30, 30, bitmap_handle(icon), 0), 0);
    ASSERT_NE(image_button_create(9, 45, 10, 30, 30, 0, 0), 0);
    // The picture is centred: 16 x 16 in 30 x 30 starts at (7, 7).
    EXPECT_EQ(shown(widget_qt(2), 15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(shown(widget_qt(2), 7, 8), qRgb(255, 0, 0));
    // Where the picture is transparent the button looks as it does without a picture.
    QRgb face = shown(widget_qt(9), 10, 7);
    EXPECT_EQ(shown(widget_qt(2), 10, 7), face);

    // Attribute 1 puts another picture on the button.
    widget_set_attribute(2, 1, bitmap_handle(half));
    EXPECT_EQ(widget_get_attribute(2, 1), bitmap_handle(half));
    QRgb mixed = shown(widget_qt(2), 15, 15);
    QRgb under = shown(widget_qt(9), 15, 15);
    // Half of red over the face: (255 * 128 + c * 127) / 255, give or take the rounding.
    EXPECT_NEAR(qRed(mixed), (255 * 128 + qRed(under) * 127) / 255, 2);
    EXPECT_NEAR(qGreen(mixed), qGreen(under) * 127 / 255, 2);
    EXPECT_NEAR(qBlue(mixed), qBlue(under) * 127 / 255, 2);
    bitmap_destroy(icon);
    bitmap_destroy(half);
}

TEST_F(ImageWidgetsTest, ImageWidgetShowsTheImageTopDownInsideItsSunkenBorder) {
    // 24-bit: blue picture with a green top row.
    Bitmap* preview = make_bitmap(8, 24, {255, 0, 0, 0}, {0, 255, 0, 0});
    Bitmap* other = make_bitmap(8, 24, {0, 0, 0, 0}, {0, 0, 0, 0});
    ASSERT_NE(image_widget_create(10, 5, 201, 48, 48, bitmap_handle(preview), ImageSunkenBorder), 0);
    EXPECT_EQ(widget_get_state(10), bitmap_handle(preview));
    QWidget* view = widget_qt(10);
    // A one-pixel sunken border, then the picture at its natural size.
    EXPECT_EQ(shown(view, 1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(shown(view, 8, 1), qRgb(0, 255, 0));
    EXPECT_EQ(shown(view, 1, 2), qRgb(0, 0, 255));
    EXPECT_EQ(shown(view, 8, 8), qRgb(0, 0, 255));
    EXPECT_NE(shown(view, 9, 9), qRgb(0, 0, 255));
    EXPECT_NE(shown(view, 0, 0), qRgb(0, 255, 0));

    widget_set_state(10, bitmap_handle(other));
    EXPECT_EQ(widget_get_state(10), bitmap_handle(other));
    EXPECT_EQ(shown(view, 1, 1), qRgb(0, 0, 0));
    EXPECT_TRUE(widget_events().empty());
    bitmap_destroy(preview);
    bitmap_destroy(other);
}

}  // namespace
}  // namespace morvane
