// Font sizes from points and resolution, face names, and fonts given to widgets.
#include <QComboBox>
#include <QFont>
#include <QScreen>

#include "widget_test_support.h"

namespace morvane {
namespace {

using FontsTest = testing_support::WidgetWindowTest;

TEST(FontSizeTest, PointsBecomePixelsRoundedToNearest) {
    EXPECT_EQ(font_pixel_size(7, 96), 9);    // 9.33
    EXPECT_EQ(font_pixel_size(9, 96), 12);   // 12 exactly
    EXPECT_EQ(font_pixel_size(10, 96), 13);  // 13.33
    EXPECT_EQ(font_pixel_size(11, 96), 15);  // 14.67
    EXPECT_EQ(font_pixel_size(8, 120), 13);  // 13.33
    EXPECT_EQ(font_pixel_size(1, 108), 2);   // 1.5 rounds up
    EXPECT_EQ(font_pixel_size(-7, 96), -9);
    EXPECT_EQ(font_pixel_size(0, 96), 0);
}

TEST(FontSizeTest, FaceNamesDropATrailingTtf) {
    EXPECT_EQ(font_family("Arial.ttf"), "Arial");
    EXPECT_EQ(font_family("Tahoma.TTF"), "Tahoma");
    EXPECT_EQ(font_family("Courier New"), "Courier New");
    EXPECT_EQ(font_family("ttf"), "ttf");
    EXPECT_EQ(font_family("a.ttf.ttf"), "a.ttf");
}

TEST_F(FontsTest, LoadedFontsGoToWidgetsByHandle) {
    std::intptr_t handle = font_load(1, "Arial.ttf", 7, FontBold | FontItalic);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(font_handle(1), handle);
    EXPECT_EQ(font_handle(2), 0);
    ASSERT_NE(combo_box_create(14, 5, 5, 60, 20), 0);
    QWidget* box = widget_qt(14);
    const QFont inherited = box->font();
    widget_set_font(14, font_handle(1));
    QScreen* screen = QGuiApplication::primaryScreen();
    int dpi = screen ? int(std::lround(screen->logicalDotsPerInchY())) : 96;
    EXPECT_EQ(box->font().pixelSize(), font_pixel_size(7, dpi > 0 ? dpi : 96));
    EXPECT_EQ(box->font().family(), QString("Arial"));
    EXPECT_TRUE(box->font().bold());
    EXPECT_TRUE(box->font().italic());
    EXPECT_FALSE(box->font().underline());

    // Unknown handles are ignored; -1 gives the default font back.
    widget_set_font(14, 12345);
    EXPECT_TRUE(box->font().bold());
    widget_set_font(14, -1);
    EXPECT_EQ(box->font(), inherited);

    // Loading under a used number replaces the font; -1 gives a dynamic number.
    std::intptr_t again = font_load(1, "Arial", 12, FontUnderline);
    ASSERT_NE(again, 0);
    EXPECT_EQ(font_handle(1), again);
    widget_set_font(14, again);
    EXPECT_TRUE(box->font().underline());
    EXPECT_FALSE(box->font().bold());
    std::intptr_t dynamic = font_load(-1, "Arial", 8, 0);
    ASSERT_NE(dynamic, 0);
    EXPECT_NE(font_handle(dynamic), 0);
    font_free(dynamic);
    EXPECT_EQ(font_handle(dynamic), 0);
    EXPECT_EQ(font_load(3, "", 8, 0), 0);
}

}  // namespace
}  // namespace morvane
