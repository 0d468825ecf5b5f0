// Status bars: field geometry, shared widths, the field limit, texts and placement.
#include "shell/statusbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/statusbar_widget.h"
#include "shell/window.h"

namespace morvane {
namespace {

class StatusBarTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(shell_init()); }
    void TearDown() override { window_close_all(); }
};

TEST_F(StatusBarTest, FieldsEndAtRunningSums) {
    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    ASSERT_NE(statusbar_create(0, window_handle(0)), 0);
    for (int width : {100, 150, 100, 100}) statusbar_add_field(width);
    ASSERT_EQ(statusbar_field_count(0), 4);
    EXPECT_EQ(statusbar_field_end(0, 0), 100);
    EXPECT_EQ(statusbar_field_end(0, 1), 250);
    EXPECT_EQ(statusbar_field_end(0, 2), 350);
    EXPECT_EQ(statusbar_field_end(0, 3), 450);
    EXPECT_EQ(statusbar_field_end(0, 4), -1);
    EXPECT_EQ(statusbar_field_end(1, 0), -1);

    // A fitted field grows to its text (measured here with the bar's own font) and shrinks
    // back to its least width; the fields before it keep their places.
    const std::string text = "Sel : 1024,2048 512 x 512   Tile 12 of 87, 5 copies";
    statusbar_set_text(0, 3, text);
    statusbar_fit_field(0, 3, 100);
    const StatusBarWidget* bar = shell_window(0)->status_bar();
    ASSERT_NE(bar, nullptr);
    const int needed = bar->fontMetrics().horizontalAdvance(QString::fromStdString(text));
    EXPECT_GT(statusbar_field_end(0, 3) - 350, needed);
    EXPECT_EQ(statusbar_field_end(0, 2), 350);
    statusbar_set_text(0, 3, "");
    statusbar_fit_field(0, 3, 100);
    EXPECT_EQ(statusbar_field_end(0, 3), 450);
}

TEST_F(StatusBarTest, BarIsBelowTheClientAreaAndFollowsTheWindow) {
    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    ASSERT_NE(statusbar_create(0, window_handle(0)), 0);
    ShellWindow* w = shell_window(0);
    StatusBarWidget* bar = w->status_bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_GE(bar->height(), 18);
    EXPECT_EQ(window_inner_width(0), 800);
    EXPECT_EQ(window_inner_height(0), 600);
    EXPECT_EQ(bar->geometry(), QRect(0, 600, 800, bar->height()));
    w->resize(640, 480 + bar->height());
    QApplication::processEvents();
    EXPECT_EQ(bar->geometry(), QRect(0, 480, 640, bar->height()));
    EXPECT_EQ(window_inner_height(0), 480);
    w->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(bar->geometry().bottom(), w->height() - 1);
    EXPECT_EQ(bar->width(), w->width());
}

TEST_F(StatusBarTest, FillWidthSharesTheRest) {
    // A fixed frame has no size grip: the whole 800 pixels are usable.
    ASSERT_NE(window_open(1, 0, 0, 800, 200, "d", 0xC80001), 0);
    ASSERT_NE(statusbar_create(5, window_handle(1)), 0);
    statusbar_add_field(100);
    statusbar_add_field(FillWidth);
    statusbar_add_field(FillWidth);
    statusbar_add_field(50);
    EXPECT_EQ(statusbar_field_end(5, 0), 100);
    EXPECT_EQ(statusbar_field_end(5, 1), 425);  // (800 - 150) / 2 = 325 each
    EXPECT_EQ(statusbar_field_end(5, 2), 750);
    EXPECT_EQ(statusbar_field_end(5, 3), 800);
}

TEST_F(StatusBarTest, SizeGripTakesBarHeightMinusThree) {
    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    ASSERT_NE(statusbar_create(0, window_handle(0)), 0);
    statusbar_add_field(FillWidth);
    const int h = shell_window(0)->status_bar()->height();
    EXPECT_EQ(statusbar_field_end(0, 0), 800 - (h - 3));
    shell_window(0)->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(statusbar_field_end(0, 0), shell_window(0)->width()) << "no grip while maximized";
}

TEST_F(StatusBarTest, FieldLimitTextsAndUnknownNumbers) {
    ASSERT_NE(window_open(1, 0, 0, 800, 200, "d", 0xC80001), 0);
    ASSERT_NE(statusbar_create(2, window_handle(1)), 0);
    for (int i = 0; i < 260; ++i) statusbar_add_field(3);
    EXPECT_EQ(statusbar_field_count(2), 256);
    EXPECT_EQ(statusbar_field_end(2, 255), 768);

    statusbar_set_text(2, 1, "Zoom: 4", 0);
    statusbar_set_text(2, 256, "ignored", 0);
    statusbar_set_text(9, 0, "ignored", 0);
    EXPECT_EQ(statusbar_text(2, 1), "Zoom: 4");
    EXPECT_EQ(statusbar_text(2, 0), "");
    EXPECT_EQ(statusbar_create(3, 4242), 0);
    EXPECT_EQ(statusbar_field_count(3), 0);

    // Closing the window releases its bar.
    window_close(1);
    EXPECT_EQ(statusbar_field_count(2), 0);
}

TEST_F(StatusBarTest, FieldTextIsPaintedInsideItsField) {
    ASSERT_NE(window_open(1, 0, 0, 400, 100, "d", 0xC80001), 0);
    ASSERT_NE(statusbar_create(2, window_handle(1)), 0);
    statusbar_add_field(100);
    statusbar_add_field(150);
    statusbar_set_text(2, 1, "WWWW", 0);
    StatusBarWidget* bar = shell_window(1)->status_bar();
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Dark, Qt::white);
    pal.setColor(QPalette::Light, Qt::white);
    bar->setPalette(pal);
    const QImage img = bar->grab().toImage();
    int lo = -1, hi = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) < 128) {
                if (lo < 0) lo = x;
                hi = x;
            }
    EXPECT_GE(lo, 100);
    EXPECT_LT(lo, 110) << "left-aligned in the second field";
    EXPECT_LT(hi, 250);
}

}  // namespace
}  // namespace morvane
