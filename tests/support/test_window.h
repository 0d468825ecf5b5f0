// An open, active top-level window for tests that put widgets in one.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <string>

#include "shell/shell.h"
#include "shell/window.h"

namespace morvane::testing_support {

/// Opens window `number` (400 x 300 at 10, 10), activates it and waits until the window
/// system says it is active. Returns its Qt widget, or null if any step fails.
inline QWidget* open_active_window(ObjectNumber number, const std::string& title) {
    if (!shell_init() || !window_open(number, 10, 10, 400, 300, title, 0xCF0001)) return nullptr;
    auto* top = reinterpret_cast<QWidget*>(window_handle(number));
    if (!top) return nullptr;
    window_activate(number);
    QApplication::setActiveWindow(top);
    return QTest::qWaitForWindowActive(top) ? top : nullptr;
}

}  // namespace morvane::testing_support
