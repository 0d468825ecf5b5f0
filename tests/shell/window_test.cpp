// Windows: sizes, close requests, the purge on close, size and state events, Tab cycling,
// pointer position, the widget list and keyboard shortcuts, on real offscreen widgets.
#include "shell/window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <vector>

#include "shell/events.h"
#include "shell/menu.h"
#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/widget_list.h"

namespace morvane {
namespace {

// Lets Qt deliver pending window-system notifications.
void pump() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// The kinds queued for one window, in order, leaving out the noise of painting, moving
// and activation which the platform produces on its own schedule.
std::vector<std::int64_t> kinds_of(ObjectNumber window) {
    std::vector<std::int64_t> out;
    while (event_queue_size() > 0) {
        const std::int64_t kind = event_wait(0);
        if (event_window() != window) continue;
        if (kind == RepaintWindowEvent || kind == MoveWindowEvent || kind == ActivateWindowEvent ||
            kind == DeactivateWindowEvent)
            continue;
        out.push_back(kind);
    }
    return out;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        event_queue_clear();
    }
    void TearDown() override {
        window_close_all();
        event_queue_clear();
    }
};

TEST_F(WindowTest, ClientAreaHasTheRequestedSize) {
    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    EXPECT_NE(window_handle(0), 0);
    EXPECT_EQ(window_inner_width(0), 800);
    EXPECT_EQ(window_inner_height(0), 600);
    EXPECT_EQ(window_client(0)->size(), QSize(800, 600));
    EXPECT_EQ(shell_window(0)->windowTitle(), QString("Morvane"));
    // Numbers that are not open.
    EXPECT_EQ(window_handle(5), 0);
    EXPECT_EQ(window_inner_width(5), 0);
    EXPECT_EQ(window_inner_height(5), 0);
    EXPECT_EQ(window_client(5), nullptr);
}

TEST_F(WindowTest, TitleCanBeChangedAfterOpening) {
    ASSERT_NE(window_open(0, 10, 10, 200, 100, "Morvane", 0xCF0001), 0);
    EXPECT_EQ(window_title(0), "Morvane");
    window_set_title(0, "*caf\u00e9.png - Morvane");
    EXPECT_EQ(window_title(0), "*caf\u00e9.png - Morvane");
    EXPECT_EQ(reinterpret_cast<QWidget*>(window_handle(0))->windowTitle(),
              QString::fromUtf8("*caf\u00e9.png - Morvane"));
    window_set_title(5, "none");
    EXPECT_EQ(window_title(5), "");
}

TEST_F(WindowTest, InnerHeightIncludesTheMenuBar) {
    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    ASSERT_NE(menu_create_drawn(0, window_handle(0), GradientStyle), 0);
    menu_title("File");
    menu_item(1, "New");
    pump();
    const int bar = shell_window(0)->menu_bar()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(window_inner_height(0), 600);
    EXPECT_EQ(window_client(0)->height(), 600 - bar);
    EXPECT_EQ(window_client(0)->y(), bar);
}

TEST_F(WindowTest, CloseRequestLeavesTheWindowOpen) {
    ASSERT_NE(window_open(3, 0, 0, 400, 300, "Preferences", 0xC80001), 0);
    pump();
    event_queue_clear();
    QWidget* top = shell_window(3);
    EXPECT_FALSE(top->close());  // the user's close request
    pump();
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(window_handle(3), reinterpret_cast<std::intptr_t>(top));
    bool seen = false;
    while (event_queue_size() > 0) {
        if (event_wait(0) == CloseWindowEvent) {
            seen = true;
            EXPECT_EQ(event_window(), 3);
            EXPECT_EQ(event_source(), 3);
        }
    }
    EXPECT_TRUE(seen);
}

TEST_F(WindowTest, CloseRemovesPendingEventsOfThatWindowOnly) {
    ASSERT_NE(window_open(0, 0, 0, 200, 100, "a", 0xC80001), 0);
    ASSERT_NE(window_open(1, 0, 0, 200, 100, "b", 0xC80001, 0), 0);
    pump();
    event_queue_clear();
    event_post(WidgetEvent, 4, 1, 768);
    event_post(WidgetEvent, 4, 0, 768);
    event_post(MenuEvent, 9, 1, 0);
    event_post(MenuEvent, 9, 0, 0);
    window_close(1);
    EXPECT_EQ(window_handle(1), 0);
    std::vector<std::int64_t> windows;
    while (event_queue_size() > 0) {
        event_wait(0);
        windows.push_back(event_window());
    }
    EXPECT_EQ(windows, (std::vector<std::int64_t>{0, 0}));
    window_close(1);  // closing a closed number does nothing
}

TEST_F(WindowTest, BurstOfSizingLeavesOneSizeEventAtTheEnd) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xCF0001), 0);
    pump();
    event_queue_clear();
    QWidget* top = shell_window(0);
    top->resize(320, 200);
    pump();
    event_post(WidgetEvent, 1, 0, 0);
    top->resize(330, 210);
    pump();
    top->resize(340, 220);
    pump();
    EXPECT_EQ(kinds_of(0), (std::vector<std::int64_t>{WidgetEvent, SizeWindowEvent}));
    EXPECT_EQ(window_inner_width(0), 340);
    EXPECT_EQ(window_inner_height(0), 220);
}

TEST_F(WindowTest, MaximizeRestoreAndMinimizeEvents) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xCF0001), 0);
    pump();
    event_queue_clear();
    QWidget* top = shell_window(0);
    top->showMaximized();
    pump();
    EXPECT_EQ(kinds_of(0), (std::vector<std::int64_t>{MaximizeWindowEvent, SizeWindowEvent}));
    top->showNormal();
    pump();
    EXPECT_EQ(kinds_of(0), (std::vector<std::int64_t>{RestoreWindowEvent, SizeWindowEvent}));
    top->showMinimized();
    pump();
    EXPECT_EQ(kinds_of(0), (std::vector<std::int64_t>{MinimizeWindowEvent}));
}

TEST_F(WindowTest, TabAndShiftTabCycleThroughFocusableWidgetsWithWrap) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xC80001), 0);
    QWidget* parent = widget_list_parent();
    ASSERT_EQ(parent, window_client(0));
    auto* first = new QLineEdit(parent);
    new QLabel("label", parent);  // not focusable
    auto* second = new QPushButton("b", parent);
    auto* off = new QLineEdit(parent);
    off->setEnabled(false);              // skipped
    auto* third = new QSpinBox(parent);  // focus lands on its inner field
    for (QWidget* w : parent->findChildren<QWidget*>()) w->show();
    QApplication::setActiveWindow(shell_window(0));
    first->setFocus();
    pump();
    ASSERT_TRUE(first->hasFocus());

    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(second->hasFocus());
    QTest::keyClick(second, Qt::Key_Tab);
    EXPECT_TRUE(third->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(first->hasFocus()) << "wraps to the first";
    QTest::keyClick(first, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(third->hasFocus()) << "wraps back to the last";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_TRUE(first->text().isEmpty());  // the key never reached a field
}

TEST_F(WindowTest, PointerPositionRelativeToClientArea) {
    ASSERT_NE(window_open(0, 50, 60, 300, 200, "a", 0xC80001), 0);
    pump();
    const QPoint origin = window_client(0)->mapToGlobal(QPoint(0, 0));
    QCursor::setPos(origin + QPoint(10, 20));
    EXPECT_EQ(window_mouse_x(0), 10);
    EXPECT_EQ(window_mouse_y(0), 20);
    QCursor::setPos(origin + QPoint(299, 199));
    EXPECT_EQ(window_mouse_x(0), 299);
    EXPECT_EQ(window_mouse_y(0), 199);
    QCursor::setPos(origin + QPoint(300, 20));  // just beyond the right edge
    EXPECT_EQ(window_mouse_x(0), -1);
    EXPECT_EQ(window_mouse_y(0), -1);
    QCursor::setPos(origin + QPoint(5, -1));
    EXPECT_EQ(window_mouse_x(0), -1);
}

TEST_F(WindowTest, WidgetListFollowsWindowsAndNesting) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xC80001), 0);
    EXPECT_EQ(widget_list_window(), 0);
    ASSERT_NE(window_open(1, 0, 0, 100, 100, "b", 0xC80001), 0);
    EXPECT_EQ(widget_list_parent(), window_client(1));
    ASSERT_NE(window_open(2, 0, 0, 100, 100, "c", 0xC80001 | NoWidgetTarget), 0);
    EXPECT_EQ(widget_list_window(), 1) << "0x8 keeps the target";

    auto* inner = new QWidget(window_client(1));
    widget_list_push(inner);
    EXPECT_EQ(widget_list_parent(), inner);
    auto* child = new QLabel(widget_list_parent());
    EXPECT_EQ(window_of(child), 1);
    widget_list_pop();
    EXPECT_EQ(widget_list_parent(), window_client(1));
    widget_list_pop();  // nothing nested: harmless
    EXPECT_EQ(widget_list_parent(), window_client(1));

    // The hook stays registered for the rest of the run, so it records into a static.
    static std::vector<ObjectNumber> closed;
    closed.clear();
    window_on_close([](ObjectNumber n) { closed.push_back(n); });
    window_close(1);
    EXPECT_EQ(closed, std::vector<ObjectNumber>{1});
    EXPECT_EQ(widget_list_window(), 0) << "creation falls back to the last open window";
    EXPECT_EQ(window_of(nullptr), -1);
    QWidget loose;
    EXPECT_EQ(window_of(&loose), -1);
}

TEST_F(WindowTest, ReplacingANumberClosesTheOlderWindow) {
    ASSERT_NE(window_open(4, 0, 0, 100, 100, "old", 0xC80001), 0);
    QPointer<QWidget> old = shell_window(4);
    ASSERT_NE(window_open(4, 0, 0, 120, 90, "new", 0xC80001), 0);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(window_inner_width(4), 120);
    EXPECT_EQ(window_inner_height(4), 90);
}

TEST_F(WindowTest, HiddenFlagAndFixedFrame) {
    ASSERT_NE(window_open(2, 0, 0, 150, 80, "hidden", 0xC80001 | OpenHidden), 0);
    EXPECT_FALSE(shell_window(2)->isVisible());
    EXPECT_EQ(window_inner_width(2), 150);
    // Without a sizable frame the user cannot resize.
    EXPECT_EQ(shell_window(2)->minimumSize(), shell_window(2)->maximumSize());
}

TEST_F(WindowTest, ShortcutPostsMenuEventUnlessATextFieldTakesTheKey) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xC80001), 0);
    auto* field = new QLineEdit(widget_list_parent());
    auto* button = new QPushButton("b", widget_list_parent());
    field->show();
    button->show();
    ASSERT_NE(window_add_shortcut(0, "Ctrl+G", 0x10046), 0);
    ASSERT_NE(window_add_shortcut(0, "X", 12), 0);
    EXPECT_EQ(window_add_shortcut(7, "X", 12), 0);
    QApplication::setActiveWindow(shell_window(0));
    button->setFocus();
    pump();
    event_queue_clear();

    QTest::keyClick(button, Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_X);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_X);  // typed into the field instead
    std::vector<std::int64_t> sources;
    while (event_queue_size() > 0) {
        if (event_wait(0) == MenuEvent) {
            EXPECT_EQ(event_window(), 0);
            sources.push_back(event_source());
        }
    }
    EXPECT_EQ(sources, (std::vector<std::int64_t>{0x46, 12}));
    EXPECT_EQ(field->text(), QString("x"));
}

}  // namespace
}  // namespace morvane
