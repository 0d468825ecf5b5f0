// The one widget numbering across windows, operations on missing numbers, focus, resizing
// and tooltips.
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "widget_test_support.h"

namespace morvane {
namespace {

using testing_support::widget_events;
using TableTest = testing_support::WidgetWindowTest;

TEST_F(TableTest, CreatingOntoAUsedNumberReleasesTheOlderWidgetInAnyWindow) {
    // The New Image and Resize dialogs both number their "Cancel" button 22.
    ASSERT_NE(button_create(22, 10, 10, 80, 24, "Cancel"), 0);
    QPointer<QWidget> first = widget_qt(22);
    ASSERT_NE(window_open(42, 300, 10, 200, 100, "Second", 0xCF0001), 0);
    ASSERT_NE(button_create(22, 10, 10, 80, 24, "Cancel"), 0);
    EXPECT_TRUE(first.isNull());
    QWidget* second = widget_qt(22);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(window_of(second), 42);
    EXPECT_EQ(widget_kind(22), ButtonWidget);

    // The second window's button posts with its own window number.
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(widget_events(), (std::vector<testing_support::Posted>{{WidgetEvent, 22, 42, 0}}));

    // Closing a window forgets its widgets.
    window_close(42);
    EXPECT_EQ(widget_kind(22), 0);
    EXPECT_EQ(widget_qt(22), nullptr);
}

TEST_F(TableTest, MissingNumbersReadZeroAndIgnoreWrites) {
    EXPECT_EQ(widget_get_state(77), 0);
    EXPECT_EQ(widget_get_text(77), "");
    EXPECT_EQ(widget_get_attribute(77, 1), 0);
    widget_set_state(77, 5);
    widget_set_text(77, "x");
    widget_add_item(77, 0, "x");
    widget_set_attribute(77, 1, 5);
    widget_set_tooltip(77, "x");
    widget_set_font(77, -1);
    widget_set_focus(77);
    widget_resize(77, 1, 2, 3, 4);
    widget_free(77);
    EXPECT_EQ(widget_kind(77), 0);
    EXPECT_TRUE(widget_events().empty());
    // A button has no state and ignores a set.
    ASSERT_NE(button_create(5, 10, 10, 80, 24, "OK"), 0);
    widget_set_state(5, 3);
    EXPECT_EQ(widget_get_state(5), 0);
}

TEST_F(TableTest, DynamicNumbersAreReturnedAndUsable) {
    std::intptr_t number = text_field_create(-1, 10, 10, 80, 22, "7", TextDigitsOnly);
    ASSERT_NE(number, 0);
    ASSERT_NE(number, -1);
    EXPECT_EQ(widget_kind(number), TextFieldWidget);
    EXPECT_EQ(widget_get_text(number), "7");
    widget_free(number);
    EXPECT_EQ(widget_kind(number), 0);
}

TEST_F(TableTest, CreationNeedsAWidgetList) {
    window_close(kWindow);
    if (widget_list_parent() != nullptr) GTEST_SKIP() << "another window is still open";
    EXPECT_EQ(button_create(5, 0, 0, 10, 10, "x"), 0);
    EXPECT_EQ(widget_kind(5), 0);
}

TEST_F(TableTest, FocusIsReportedByNumber) {
    ASSERT_NE(text_field_create(30, 10, 10, 80, 22, "", 0), 0);
    ASSERT_NE(combo_box_create(14, 10, 40, 80, 120), 0);
    ASSERT_NE(text_create(50, 10, 80, 80, 20, "label"), 0);
    widget_set_focus(30);
    EXPECT_EQ(widget_focused(), 30);
    widget_set_focus(14);
    EXPECT_EQ(widget_focused(), 14);
    // Focus on something that is no numbered widget.
    auto* stray = new QLineEdit(window_client(kWindow));
    stray->show();
    stray->setFocus();
    EXPECT_EQ(widget_focused(), -1);
    delete stray;
}

TEST_F(TableTest, ResizeKeepsWhatIsGivenAsMinus65535) {
    ASSERT_NE(button_create(5, 10, 20, 80, 24, "OK"), 0);
    widget_resize(5, 15, KeepSize, KeepSize, 30);
    EXPECT_EQ(widget_qt(5)->geometry(), QRect(15, 20, 80, 30));
    widget_resize(5, KeepSize, 40, 60, KeepSize);
    EXPECT_EQ(widget_qt(5)->geometry(), QRect(15, 40, 60, 30));
}

TEST_F(TableTest, TooltipReplacesTheFormerOne) {
    ASSERT_NE(spin_create(11, 100, 5, 50, 20, 1, 100, SpinNumeric), 0);
    widget_set_tooltip(11, "Size");
    widget_set_tooltip(11, "Size of the brush");
    EXPECT_EQ(widget_qt(11)->toolTip(), QString("Size of the brush"));
}

}  // namespace
}  // namespace morvane
