// Shared set-up of the canvas tests: a window with a canvas, real input through the
// window system path, and the canvas events read back with their attributes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "canvas/canvas.h"
#include "shell/events.h"
#include "shell/shell.h"
#include "shell/window.h"
#include "support/test_window.h"
#include "widgets/widget.h"

namespace morvane::testing_support {

/// One canvas event as the editor reads it: subtype and the captured attributes.
struct CanvasRead {
    std::int64_t subtype = 0;
    std::int64_t x = 0, y = 0, buttons = 0, key = 0, modifiers = 0, wheel = 0, character = 0;
    bool operator==(const CanvasRead&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const CanvasRead& r) {
    return out << "{" << r.subtype << " at " << r.x << "," << r.y << " b" << r.buttons << " k" << r.key
               << " m" << r.modifiers << " w" << r.wheel << " c" << r.character << "}";
}

/// Takes every queued event; for the canvas's own, reads the attributes while it is current.
inline std::vector<CanvasRead> canvas_events(ObjectNumber canvas) {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    std::vector<CanvasRead> out;
    while (event_queue_size() > 0) {
        std::int64_t kind = event_wait(0);
        if (kind != WidgetEvent || event_source() != canvas) continue;
        CanvasRead r;
        r.subtype = event_subtype();
        r.x = widget_get_attribute(canvas, 2);
        r.y = widget_get_attribute(canvas, 3);
        r.buttons = widget_get_attribute(canvas, 4);
        r.key = widget_get_attribute(canvas, 5);
        r.modifiers = widget_get_attribute(canvas, 6);
        r.wheel = widget_get_attribute(canvas, 8);
        r.character = widget_get_attribute(canvas, 9);
        out.push_back(r);
    }
    return out;
}

/// Only the subtypes of the canvas's events.
inline std::vector<std::int64_t> canvas_subtypes(ObjectNumber canvas) {
    std::vector<std::int64_t> out;
    for (const CanvasRead& r : canvas_events(canvas)) out.push_back(r.subtype);
    return out;
}

class CanvasWindowTest : public ::testing::Test {
  protected:
    static constexpr ObjectNumber kWindow = 41;
    static constexpr ObjectNumber kCanvas = 1;

    void SetUp() override {
        top = open_active_window(kWindow, "Canvas");
        ASSERT_NE(top, nullptr);
        // Park the pointer away from where the tests put canvases: Qt drops a movement to
        // the position the pointer already has.
        QTest::mouseMove(top->windowHandle(), QPoint(395, 295));
        canvas_events(-1);
    }
    void TearDown() override {
        // Release any button a failed test left down in QTest's own button state.
        widgets_free_all();
        window_close(kWindow);
        canvas_events(-1);
    }

    QWidget* canvas() const { return widget_qt(kCanvas); }
    QWindow* window() const { return top->windowHandle(); }
    /// A canvas-widget point in the window's coordinates.
    QPoint at(int x, int y) const { return canvas()->mapTo(top, QPoint(x, y)); }

    void move(int x, int y) { QTest::mouseMove(window(), at(x, y)); }
    void press(Qt::MouseButton b, int x, int y) { QTest::mousePress(window(), b, {}, at(x, y)); }
    void release(Qt::MouseButton b, int x, int y) { QTest::mouseRelease(window(), b, {}, at(x, y)); }

    QWidget* top = nullptr;
};

}  // namespace morvane::testing_support
