// Helpers for tests of commands that run their own dialog loop: steps run from a timer
// inside that loop, and small pictures with known pixels.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "image/codec.h"
#include "image/image.h"
#include "shell/events.h"
#include "shell/window.h"
#include "widgets/widget.h"

namespace morvane::testing {

/// Runs steps, one per timer tick, while `window` is open and the event queue is empty. When
/// the steps have not all run after a few seconds the window is asked to close, so that a
/// command waiting in its loop ends and the test fails instead of hanging.
class LoopScript {
  public:
    explicit LoopScript(ObjectNumber window) : window_(window) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(10);
        started_ = std::chrono::steady_clock::now();
    }
    ~LoopScript() { EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps never ran"; }

    LoopScript& then(std::function<void()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    /// A spin or check box changed by the user to `value`.
    LoopScript& change(ObjectNumber widget, std::int64_t value, std::int64_t subtype = 768) {
        return then([=, this] {
            widget_set_state(widget, value);
            event_post(WidgetEvent, widget, window_, subtype, PostRepeated);
        });
    }
    /// A real left click on a widget.
    LoopScript& click(ObjectNumber widget) {
        return then([=] {
            QWidget* w = widget_qt(widget);
            ASSERT_NE(w, nullptr) << "no widget " << widget;
            QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
        });
    }

  private:
    void tick() {
        if (!window_handle(window_)) return;
        if (steps_.empty()) return;
        if (std::chrono::steady_clock::now() - started_ > std::chrono::seconds(20)) {
            ADD_FAILURE() << "the dialog never took its steps";
            steps_.clear();
            event_post(CloseWindowEvent, 0, window_, 0, PostRepeated);
            return;
        }
        if (event_queue_size() != 0) return;
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step();
    }

    ObjectNumber window_;
    QTimer timer_;
    std::deque<std::function<void()>> steps_;
    std::chrono::steady_clock::time_point started_;
};

/// The known colour of pixel (x, y) of test pictures: never fully transparent.
inline Color test_pixel(int x, int y) {
    return rgba((x * 7 + 3) & 255, (y * 5 + 1) & 255, (x ^ y) & 255, 40 + (x * 3 + y) % 216);
}

/// Writes a 32-bit PNG of test_pixel colours (through image number 50).
inline void write_test_picture(const std::string& path, int width, int height) {
    ASSERT_NE(image_create(50, width, height, 32), 0);
    const Bitmap* b = bitmap_from_handle(image_handle(50));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color c = test_pixel(x, y);
            std::uint8_t* p = b->row(y) + 4 * x;
            p[0] = color_blue(c);
            p[1] = color_green(c);
            p[2] = color_red(c);
            p[3] = static_cast<std::uint8_t>(c >> 24);
        }
    }
    ASSERT_EQ(image_save(50, path, FormatPng), 1);
    image_free(50);
}

/// Pixel (x, y) of a live image as a Color (alpha 0 for 24-bit images).
inline Color image_pixel(ObjectNumber image, int x, int y) {
    const Bitmap* b = bitmap_from_handle(image_handle(image));
    if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0xDEADBEEF;
    const std::uint8_t* p = b->row(y) + x * (b->bpp / 8);
    return rgba(p[2], p[1], p[0], b->bpp == 32 ? p[3] : 0);
}

}  // namespace morvane::testing
