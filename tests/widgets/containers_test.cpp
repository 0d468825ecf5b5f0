// Widget lists of scroll areas and panel pages, and the scroll area's attributes.
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "widget_test_support.h"

namespace morvane {
namespace {

using ContainersTest = testing_support::WidgetWindowTest;

TEST_F(ContainersTest, ScrollAreaHoldsTheWidgetsCreatedUntilItsListIsClosed) {
    ASSERT_NE(scroll_area_create(0, 60, 50, 280, 230, 800, 600, 16), 0);
    auto* area = static_cast<QScrollArea*>(widget_qt(0));
    EXPECT_EQ(widget_get_attribute(0, 1), 800);
    EXPECT_EQ(widget_get_attribute(0, 2), 600);
    EXPECT_EQ(widget_get_attribute(0, 5), 16);
    EXPECT_EQ(area->horizontalScrollBar()->singleStep(), 16);

    ASSERT_NE(button_create(3, 330, 250, 40, 20, "in"), 0);
    EXPECT_EQ(widget_qt(3)->parentWidget(), area->widget());
    widget_list_close();
    ASSERT_NE(button_create(4, 5, 5, 40, 20, "out"), 0);
    EXPECT_EQ(widget_qt(4)->parentWidget(), window_client(kWindow));
    // A second close has nothing left to close.
    widget_list_close();
    ASSERT_NE(button_create(6, 5, 30, 40, 20, "out"), 0);
    EXPECT_EQ(widget_qt(6)->parentWidget(), window_client(kWindow));

    // Scrolling moves the inner window against the viewport.
    widget_set_attribute(0, 3, 100);
    widget_set_attribute(0, 4, 50);
    EXPECT_EQ(widget_get_attribute(0, 3), 100);
    EXPECT_EQ(widget_get_attribute(0, 4), 50);
    EXPECT_EQ(area->widget()->pos(), QPoint(-100, -50));
    EXPECT_EQ(widget_qt(3)->mapTo(area->viewport(), QPoint(0, 0)), QPoint(230, 200));

    widget_set_attribute(0, 1, 1000);
    widget_set_attribute(0, 2, 900);
    EXPECT_EQ(widget_get_attribute(0, 1), 1000);
    EXPECT_EQ(widget_get_attribute(0, 2), 900);
    widget_set_attribute(0, 5, 8);
    EXPECT_EQ(widget_get_attribute(0, 5), 8);
    EXPECT_EQ(area->verticalScrollBar()->singleStep(), 8);
    EXPECT_EQ(widget_get_attribute(0, 6), 0);
    EXPECT_TRUE(testing_support::widget_events().empty());
}

TEST_F(ContainersTest, PanelPagesTakeTheWidgetsCreatedAfterThem) {
    ASSERT_NE(panel_create(20, 5, 5, 300, 200), 0);
    auto* panel = static_cast<QTabWidget*>(widget_qt(20));
    // Widgets created before any page stay in the window.
    ASSERT_NE(check_box_create(21, 10, 10, 80, 20, "outside"), 0);
    EXPECT_EQ(widget_qt(21)->parentWidget(), window_client(kWindow));

    widget_add_item(20, 0, "General");
    ASSERT_NE(check_box_create(22, 10, 10, 80, 20, "first"), 0);
    widget_add_item(20, 1, "Grid");
    ASSERT_NE(spin_create(23, 10, 10, 60, 20, 1, 64, SpinNumeric), 0);
    widget_list_close();
    ASSERT_NE(button_create(24, 10, 250, 60, 20, "OK"), 0);

    ASSERT_EQ(panel->count(), 2);
    EXPECT_EQ(panel->tabText(0), QString("General"));
    EXPECT_EQ(panel->tabText(1), QString("Grid"));
    EXPECT_EQ(widget_qt(22)->parentWidget(), panel->widget(0));
    EXPECT_EQ(widget_qt(23)->parentWidget(), panel->widget(1));
    EXPECT_EQ(widget_qt(24)->parentWidget(), window_client(kWindow));

    EXPECT_EQ(widget_get_state(20), 0);
    widget_set_state(20, 1);
    EXPECT_EQ(widget_get_state(20), 1);
    EXPECT_TRUE(widget_qt(23)->isVisible());
    EXPECT_FALSE(widget_qt(22)->isVisible());
}

TEST_F(ContainersTest, ScrollAreaInViewportModeScrollsAContentNothingHolds) {
    ASSERT_NE(scroll_area_create(0, 60, 50, 300, 200, 800, 600, 16), 0);
    ASSERT_NE(button_create(3, 10, 10, 40, 20, "in"), 0);
    auto* area = static_cast<QScrollArea*>(widget_qt(0));
    widget_set_attribute(0, ScrollContentWidth, 100000);
    widget_set_attribute(0, ScrollContentHeight, 50);
    ASSERT_NE(button_create(4, 20, 20, 40, 20, "in too"), 0);
    widget_list_close();
    const QSize visible = area->viewport()->size();
    EXPECT_EQ(widget_get_attribute(0, ScrollVisibleWidth), visible.width());
    // The inner window is the visible part and keeps the widgets made before and after.
    EXPECT_EQ(widget_get_attribute(0, ScrollInnerWidth), visible.width());
    EXPECT_EQ(widget_get_attribute(0, ScrollInnerHeight), visible.height());
    EXPECT_EQ(widget_qt(3)->parentWidget(), widget_qt(4)->parentWidget());
    EXPECT_EQ(widget_qt(3)->mapTo(area->viewport(), QPoint(0, 0)), QPoint(10, 10));
    // Both bars show; they run over the content less the visible part (none for 50 rows).
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 100000 - visible.width());
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
    testing_support::widget_events();
    // The program's scrolling is silent and moves no widget; the user's posts WidgetScrolled.
    widget_set_attribute(0, ScrollX, 5000);
    EXPECT_EQ(widget_get_attribute(0, ScrollX), 5000);
    EXPECT_EQ(widget_qt(3)->mapTo(area->viewport(), QPoint(0, 0)), QPoint(10, 10));
    EXPECT_TRUE(testing_support::widget_events().empty());
    area->horizontalScrollBar()->setValue(7000);
    EXPECT_EQ(testing_support::widget_events(),
              std::vector<testing_support::Posted>{posted(0, WidgetScrolled)});
    EXPECT_EQ(widget_get_attribute(0, ScrollX), 7000);
    EXPECT_EQ(widget_qt(3)->mapTo(area->viewport(), QPoint(0, 0)), QPoint(10, 10));
}

TEST_F(ContainersTest, FreeingAScrollAreaClosesItsList) {
    ASSERT_NE(scroll_area_create(0, 60, 50, 200, 150, 400, 300, 16), 0);
    ASSERT_NE(button_create(3, 5, 5, 40, 20, "in"), 0);
    widget_free(0);
    EXPECT_EQ(widget_kind(3), 0);
    ASSERT_NE(button_create(4, 5, 5, 40, 20, "out"), 0);
    EXPECT_EQ(widget_qt(4)->parentWidget(), window_client(kWindow));
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

TEST(HiddenContainersTest, ScrollPositionsTakeEffectBeforeTheWindowIsShown) {
    ASSERT_TRUE(shell_init());
    ASSERT_NE(window_open(43, 0, 0, 400, 300, "Hidden", 0xCF0001 | OpenHidden), 0);
    ASSERT_NE(scroll_area_create(0, 60, 50, 200, 150, 800, 600, 16), 0);
    widget_list_close();
    widget_set_attribute(0, 3, 120);
    widget_set_attribute(0, 4, 70);
    EXPECT_EQ(widget_get_attribute(0, 3), 120);
    EXPECT_EQ(widget_get_attribute(0, 4), 70);
    widget_set_attribute(0, 1, 1600);
    widget_set_attribute(0, 3, 900);
    EXPECT_EQ(widget_get_attribute(0, 3), 900);
    widgets_free_all();
    window_close(43);
    testing_support::widget_events();
}

}  // namespace
}  // namespace morvane
