// shell_init makes the application object when none exists, and shell_shutdown closes
// every window, empties the queue and destroys what shell_init made.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/events.h"
#include "shell/menu.h"
#include "shell/shell.h"
#include "shell/statusbar.h"
#include "shell/window.h"

namespace morvane {
namespace {

TEST(ShellStart, InitCreatesTheApplicationAndShutdownReleasesEverything) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // the test's choice of platform
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(window_open(0, 0, 0, 100, 100, "x", 0xC80001), 0) << "no windows before start-up";

    ASSERT_NE(shell_init(), 0);
    QCoreApplication* app = QCoreApplication::instance();
    ASSERT_NE(qobject_cast<QApplication*>(app), nullptr);
    ASSERT_NE(shell_init(), 0);
    EXPECT_EQ(QCoreApplication::instance(), app) << "a second call keeps the same object";

    ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
    ASSERT_NE(menu_create_drawn(0, window_handle(0), GradientStyle), 0);
    menu_title("File");
    menu_item(1, "New");
    ASSERT_NE(statusbar_create(0, window_handle(0)), 0);
    statusbar_add_field(100);
    event_post(MenuEvent, 1, 0, 0);

    shell_shutdown();
    EXPECT_EQ(window_handle(0), 0);
    EXPECT_EQ(statusbar_field_count(0), 0);
    EXPECT_EQ(event_queue_size(), 0);
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(event_wait(0), 0) << "waiting without an application returns at once";

    // The shell can start again after a shutdown.
    ASSERT_NE(shell_init(), 0);
    ASSERT_NE(window_open(2, 0, 0, 50, 40, "again", 0xC80001), 0);
    EXPECT_EQ(window_inner_width(2), 50);
    shell_shutdown();
}

}  // namespace
}  // namespace morvane
