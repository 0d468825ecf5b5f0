// Shared set-up of the widget tests: an open, active window to create widgets in and a
// reader of the events they post.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <tuple>
#include <vector>

#include "shell/events.h"
#include "shell/shell.h"
#include "shell/widget_list.h"
#include "shell/window.h"
#include "support/test_window.h"
#include "widgets/widget.h"

namespace morvane::testing_support {

/// kind, source, window, subtype of one event.
using Posted = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

/// Lets Qt deliver what is pending, then takes every queued widget event.
inline std::vector<Posted> widget_events() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    std::vector<Posted> out;
    while (event_queue_size() > 0) {
        std::int64_t kind = event_wait(0);
        if (kind == WidgetEvent) out.emplace_back(kind, event_source(), event_window(), event_subtype());
    }
    return out;
}

class WidgetWindowTest : public ::testing::Test {
  protected:
    static constexpr ObjectNumber kWindow = 40;

    void SetUp() override {
        top = open_active_window(kWindow, "Widgets");
        ASSERT_NE(top, nullptr);
        widget_events();
    }
    void TearDown() override {
        widgets_free_all();
        window_close(kWindow);
        widget_events();
    }

    /// The event as a widget of this window posts it.
    static Posted posted(ObjectNumber source, std::int64_t subtype) {
        return Posted{WidgetEvent, source, kWindow, subtype};
    }

    QWidget* top = nullptr;
};

}  // namespace morvane::testing_support
