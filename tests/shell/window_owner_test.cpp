// Owned windows: they stay in front of their owner, a blocking one keeps the owner from
// taking input until it closes, they close with their owner; and windows fit the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "shell/events.h"
#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/statusbar.h"
#include "shell/statusbar_widget.h"
#include "shell/widget_list.h"
#include "shell/window.h"

namespace morvane {
namespace {

constexpr std::uint32_t kMainFlags = 0xCF0001;
constexpr std::uint32_t kDialogFlags = 0xC80001;

// Left-button clicks on window `number`'s client area that reached the queue.
int clicks_of(ObjectNumber number) {
    int clicks = 0;
    while (event_queue_size() > 0)
        if (event_wait(0) == LeftClickWindowEvent && event_window() == number) ++clicks;
    return clicks;
}

// A click through the window system, where Qt drops input to blocked windows.
void click_client(ObjectNumber number) {
    QWidget* client = window_client(number);
    QWindow* handle = client->window()->windowHandle();
    const QPoint at = client->mapTo(client->window(), QPoint(200, 150));
    QTest::mouseClick(handle, Qt::LeftButton, {}, at);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

class WindowOwnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", kMainFlags), 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shell_window(0)));
        event_queue_clear();
    }
    void TearDown() override {
        window_close_all();
        event_queue_clear();
    }
};

TEST_F(WindowOwnerTest, OwnedWindowsAreDialogsOfTheirOwner) {
    struct Case {
        ObjectNumber number;
        std::uint32_t flags;
        ObjectNumber parent;
        bool owned;
        Qt::WindowModality modality;
    };
    const Case cases[] = {
        {1, kDialogFlags, 0, true, Qt::NonModal},
        {2, 0xCC0001 | BlockOwner, 0, true, Qt::WindowModal},
        {3, kDialogFlags, -1, false, Qt::NonModal},
        // Blocking needs an owner; a missing one leaves a free window.
        {4, kDialogFlags | BlockOwner, 7, false, Qt::NonModal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        ASSERT_NE(window_open(c.number, DefaultPosition, DefaultPosition, 400, 300, "dialog", c.flags, c.parent), 0);
        ShellWindow* w = shell_window(c.number);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->windowHandle(), nullptr);
        EXPECT_EQ(w->windowHandle()->transientParent(), c.owned ? shell_window(0)->windowHandle() : nullptr);
        EXPECT_EQ(w->windowType(), c.owned ? Qt::Dialog : Qt::Window);
        EXPECT_EQ(w->windowModality(), c.modality);
        EXPECT_TRUE(w->isWindow());
        window_close(c.number);
    }
}

TEST_F(WindowOwnerTest, BlockingWindowKeepsClicksFromItsOwnerUntilItCloses) {
    struct Case {
        std::uint32_t flags;
        int clicks_while_open;
    };
    const Case cases[] = {{kDialogFlags | BlockOwner, 0}, {kDialogFlags, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        click_client(0);
        ASSERT_EQ(clicks_of(0), 1);  // the owner takes clicks before

        ASSERT_NE(window_open(2, DefaultPosition, DefaultPosition, 400, 300, "dialog", c.flags, 0), 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shell_window(2)));
        event_queue_clear();
        click_client(0);
        EXPECT_EQ(clicks_of(0), c.clicks_while_open);
        click_client(2);
        EXPECT_EQ(clicks_of(2), 1);  // the dialog itself takes input

        window_close(2);
        click_client(0);
        EXPECT_EQ(clicks_of(0), 1);
    }
}

TEST_F(WindowOwnerTest, ClosingTheOwnerClosesItsWindowsAndTheirEvents) {
    ASSERT_NE(window_open(1, DefaultPosition, DefaultPosition, 400, 300, "one", kDialogFlags, 0), 0);
    ASSERT_NE(window_open(2, DefaultPosition, DefaultPosition, 400, 300, "two", kDialogFlags | BlockOwner, 1), 0);
    ASSERT_NE(window_open(3, DefaultPosition, DefaultPosition, 400, 300, "free", kDialogFlags), 0);
    event_post(CloseWindowEvent, 2, 2, 0);
    window_close(0);
    EXPECT_EQ(window_handle(0), 0);
    EXPECT_EQ(window_handle(1), 0);
    EXPECT_EQ(window_handle(2), 0);  // owned by an owned window
    EXPECT_NE(window_handle(3), 0);
    while (event_queue_size() > 0) {
        event_wait(0);
        EXPECT_EQ(event_window(), 3);
    }
}

TEST_F(WindowOwnerTest, WindowLargerThanTheScreenShrinksToItsAvailableArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        int width, height;
        std::uint32_t flags;
    };
    // Wider, taller and both; sizable and fixed frames; centred and placed at the origin.
    const Case cases[] = {{area.width() + 300, 200, kMainFlags},
                          {300, area.height() + 50, kDialogFlags},
                          {area.width() * 2, area.height() * 2, 0xCE0000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_NE(window_open(5, 0, 0, c.width, c.height, "big", c.flags), 0);
        ASSERT_NE(statusbar_create(0, window_handle(5)), 0);
        statusbar_add_field(100);
        ShellWindow* w = shell_window(5);
        EXPECT_TRUE(area.contains(w->frameGeometry())) << w->frameGeometry().x() << "," << w->frameGeometry().y()
                                                       << " " << w->frameGeometry().width() << "x"
                                                       << w->frameGeometry().height();
        // The status bar is inside the window, at its bottom.
        ASSERT_NE(w->status_bar(), nullptr);
        EXPECT_EQ(w->status_bar()->geometry().bottom(), w->height() - 1);
        EXPECT_GT(w->status_bar()->height(), 0);
        window_close(5);
    }
    // A window that fits keeps its size.
    ASSERT_NE(window_open(5, 0, 0, 800, 600, "fits", kMainFlags), 0);
    EXPECT_EQ(window_client(5)->size(), QSize(800, 600));
}

}  // namespace
}  // namespace morvane
