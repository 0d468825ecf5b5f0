// Input on windows: clicks on the client area, activation and the owner, and event_wait
// picking up events that arrive while it waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

#include "shell/events.h"
#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/widget_list.h"
#include "shell/window.h"

namespace morvane {
namespace {

std::vector<std::int64_t> kinds_except_noise() {
    std::vector<std::int64_t> out;
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    while (event_queue_size() > 0) {
        const std::int64_t kind = event_wait(0);
        if (kind == RepaintWindowEvent || kind == MoveWindowEvent || kind == ActivateWindowEvent ||
            kind == DeactivateWindowEvent || kind == SizeWindowEvent)
            continue;
        out.push_back(kind);
    }
    return out;
}

class WindowInputTest : public ::testing::Test {
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

TEST_F(WindowInputTest, ClicksOnTheClientAreaButNotOnWidgets) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xC80001), 0);
    auto* button = new QPushButton("b", widget_list_parent());
    button->setGeometry(200, 150, 80, 30);
    button->show();
    QWidget* client = window_client(0);
    kinds_except_noise();

    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(client, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseDClick(client, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));  // the button's own click
    const std::vector<std::int64_t> kinds = kinds_except_noise();
    ASSERT_GE(kinds.size(), 3u);
    EXPECT_EQ(kinds[0], LeftClickWindowEvent);
    EXPECT_EQ(kinds[1], RightClickWindowEvent);
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), LeftDoubleClickWindowEvent), kinds.end());
    for (std::int64_t k : kinds) EXPECT_NE(k, WidgetEvent);  // plain Qt buttons are not ours
}

TEST_F(WindowInputTest, EventsBeforeOpeningFinishedAreNotQueued) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "a", 0xCF0001 | OpenMaximized), 0);
    // The maximized show happened while the window was being built: no state events.
    const std::vector<std::int64_t> kinds = kinds_except_noise();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), MaximizeWindowEvent), 0);
}

TEST_F(WindowInputTest, WaitWithoutLimitReturnsAnEventPostedLater) {
    QTimer::singleShot(20, [] { event_post(MenuEvent, 77, 0, 0); });
    std::int64_t kind = 0;
    for (int calls = 0; calls < 100 && kind != MenuEvent; ++calls) kind = event_wait(-1);
    EXPECT_EQ(kind, MenuEvent);
    EXPECT_EQ(event_source(), 77);
}

TEST_F(WindowInputTest, WaitWithLimitPicksUpAnEventArrivingMeanwhile) {
    QTimer::singleShot(5, [] { event_post(WidgetEvent, 3, 0, 768); });
    std::int64_t kind = 0;
    // Each call returns within its limit; the event shows up after a few of them.
    for (int calls = 0; calls < 400 && kind != WidgetEvent; ++calls) kind = event_wait(5);
    EXPECT_EQ(kind, WidgetEvent);
    EXPECT_EQ(event_subtype(), 768);
}

TEST_F(WindowInputTest, ClosingAnOwnedWindowReactivatesTheOwner) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "main", 0xC80001), 0);
    ASSERT_NE(window_open(1, 0, 0, 100, 100, "dialog", 0xC80001, 0), 0);
    QApplication::setActiveWindow(shell_window(1));
    ASSERT_EQ(QApplication::activeWindow(), shell_window(1));
    window_close(1);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), shell_window(0));
}

TEST_F(WindowInputTest, ActivationPostsEventsAndRestoresTheFocusWidget) {
    ASSERT_NE(window_open(0, 0, 0, 300, 200, "main", 0xC80001), 0);
    auto* first = new QPushButton("1", widget_list_parent());
    auto* second = new QPushButton("2", widget_list_parent());
    first->show();
    second->show();
    ASSERT_NE(window_open(1, 0, 0, 100, 100, "other", 0xC80001), 0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell_window(1)));
    QApplication::setActiveWindow(shell_window(0));
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell_window(0)));
    second->setFocus();
    QTest::qWait(20);
    event_queue_clear();

    QApplication::setActiveWindow(shell_window(1));
    QApplication::setActiveWindow(shell_window(0));
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    // Qt may activate the new window before it deactivates the old one, so each window's
    // own sequence is checked.
    std::vector<std::int64_t> main_kinds, other_kinds;
    while (event_queue_size() > 0) {
        const std::int64_t kind = event_wait(0);
        if (kind != ActivateWindowEvent && kind != DeactivateWindowEvent) continue;
        (event_window() == 0 ? main_kinds : other_kinds).push_back(kind);
    }
    EXPECT_EQ(main_kinds, (std::vector<std::int64_t>{DeactivateWindowEvent, ActivateWindowEvent}));
    EXPECT_EQ(other_kinds, (std::vector<std::int64_t>{ActivateWindowEvent, DeactivateWindowEvent}));
    EXPECT_TRUE(second->hasFocus()) << "the widget focused at deactivation gets the focus back";
}

}  // namespace
}  // namespace morvane
