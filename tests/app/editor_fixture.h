// Test fixture that runs the editor through its own loop in a fresh temporary current
// directory, with every standard dialog answered from a queue that the test fills.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/dialogs/dialogs.h"
#include "app/document/document_commands.h"
#include "app/startup/desktop.h"
#include "app/startup/settings.h"
#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/events.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane::testing {

class EditorFixture : public ::testing::Test {
  protected:
    /// Set false (in a derived constructor) to write files before calling start().
    bool autostart_ = true;
    EditorState state_;
    /// Every standard dialog request, in order.
    std::vector<DialogRequest> requests_;
    /// Replies handed out in order; a dialog with no reply left fails the test.
    std::deque<DialogReply> replies_;
    std::filesystem::path dir_;
    bool running_ = false;
    /// Least time each input helper runs the loop afterwards (0: until the queue is empty).
    int pump_ms_ = 20;

    void SetUp() override {
        old_dir_ = std::filesystem::current_path();
        char pattern[] = "/tmp/morvane_editor_XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        dir_ = made;
        std::filesystem::current_path(dir_);
        // The user's configuration folder (Open Recent) lives in the test's folder.
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_config_ = old;
        had_config_ = std::getenv("XDG_CONFIG_HOME") != nullptr;
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        dialog_set_responder([this](const DialogRequest& request) { return respond(request); });
        if (autostart_) {
            ASSERT_TRUE(start());
        }
    }

    void TearDown() override {
        if (running_) editor_shutdown(state_);
        running_ = false;
        dialog_set_responder({});
        EXPECT_TRUE(replies_.empty()) << replies_.size() << " dialog replies were never asked for";
        std::filesystem::current_path(old_dir_);
        if (had_config_) {
            setenv("XDG_CONFIG_HOME", old_config_.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    /// Runs the start-up (no loop). True when the editor came up.
    bool start() {
        running_ = editor_init(state_);
        if (running_) {
            pump(30);
            hover();
        }
        return running_;
    }

    /// The normal way out after a Yes: settings written, everything released.
    void exit_editor() {
        ASSERT_TRUE(running_);
        editor_exit(state_);
        running_ = false;
    }

    void write_file(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    std::string read_file(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

    // ---- dialogs ----
    void answer_message(int button) { replies_.push_back(DialogReply{button, "", 0}); }
    void answer_file(const std::string& path, int pattern = 0) {
        replies_.push_back(DialogReply{0, path, pattern});
    }
    void answer_color(std::int64_t color) { replies_.push_back(DialogReply{color, "", 0}); }

    // ---- the loop ----
    /// Runs main_loop_once for at least `ms` milliseconds, then on while events are queued
    /// (at most two more seconds), and stops early once the editor asked to quit.
    void pump(int ms = 20) {
        using Clock = std::chrono::steady_clock;
        const auto start_time = Clock::now();
        const auto soft = start_time + std::chrono::milliseconds(ms);
        const auto hard = soft + std::chrono::seconds(2);
        while (running_ && state_.quit_requested != 1) {
            const auto now = Clock::now();
            if (now >= hard || (now >= soft && event_queue_size() == 0)) break;
            main_loop_once(state_, 5);
        }
    }

    // ---- input ----
    /// Chooses a menu item (or fires its shortcut) of the main window.
    void choose_menu(int id) {
        event_post(MenuEvent, id, MainWindow, 0, PostRepeated);
        pump(pump_ms_);
    }
    /// A user change of a widget: the value is set as the program would, then the widget's
    /// event arrives as the user's action would post it.
    void change_widget(ObjectNumber number, std::int64_t value, std::int64_t subtype = 768,
                       ObjectNumber window = MainWindow) {
        widget_set_state(number, value);
        event_post(WidgetEvent, number, window, subtype, PostRepeated);
        pump(pump_ms_);
    }
    /// A real left click on a widget's centre.
    void click(ObjectNumber number) {
        QWidget* w = widget_qt(number);
        ASSERT_NE(w, nullptr) << "no widget " << number;
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
        pump(pump_ms_);
    }
    QWidget* canvas() { return widget_qt(1); }
    /// The canvas point that shows view pixel (x, y) (the view is the document at the zoom:
    /// document pixel = view pixel x 100 / zoom). A view pixel of the picture that the canvas
    /// does not show is scrolled into view first, as a user would.
    QPoint canvas_point(int x, int y) {
        const std::int64_t w = view_visible_width(), h = view_visible_height();
        std::int64_t sx = state_.view.scroll_x, sy = state_.view.scroll_y;
        if (x >= 0 && x < state_.view.view_width && (x < sx || x >= sx + w)) sx = x - w / 2;
        if (y >= 0 && y < state_.view.view_height && (y < sy || y >= sy + h)) sy = y - h / 2;
        if (sx != state_.view.scroll_x || sy != state_.view.scroll_y) view_scroll_to(state_, sx, sy);
        return QPoint(x - int(state_.view.scroll_x), y - int(state_.view.scroll_y));
    }
    /// Where the canvas shows the view (the picture at the zoom), in canvas pixels.
    QRect view_on_canvas() {
        return QRect(-int(state_.view.scroll_x), -int(state_.view.scroll_y), int(state_.view.view_width),
                     int(state_.view.view_height));
    }
    /// A view of w x h pixels in the middle of the canvas, by whole pixels.
    QRect centred(int w, int h) {
        return QRect((canvas()->width() - w) / 2, (canvas()->height() - h) / 2, w, h);
    }
    /// A mouse event delivered to the canvas as the platform would, at view pixel (x, y) (any
    /// point, also outside the canvas while the button is held).
    void send_mouse(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held,
                    Qt::KeyboardModifiers mods) {
        send_canvas_mouse(type, canvas_point(x, y), button, held, mods);
    }
    /// A mouse event at a canvas point (client pixels of the canvas widget).
    void send_canvas_mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                           Qt::KeyboardModifiers mods) {
        QWidget* w = canvas();
        ASSERT_NE(w, nullptr);
        const QPointF local(at);
        QMouseEvent event(type, local, w->mapToGlobal(local), button, held, mods);
        QApplication::sendEvent(w, &event);
    }
    /// The pointer comes over the canvas (its first movement there only enters it).
    void hover(int x = 128, int y = 128) {
        send_mouse(QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        pump(0);
    }
    void press(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        left_held_ = true;
        send_mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton, mods);
        pump(pump_ms_);
    }
    /// Pointer moved to (x, y); with the left button held after press().
    void move(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        send_mouse(QEvent::MouseMove, x, y, Qt::NoButton, left_held_ ? Qt::LeftButton : Qt::NoButton, mods);
        pump(pump_ms_);
    }
    void release(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        left_held_ = false;
        send_mouse(QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton, mods);
        pump(pump_ms_);
    }
    /// press, then moves to each point with the button held, then release at the last.
    void drag(int x0, int y0, int x1, int y1, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        press(x0, y0, mods);
        move(x1, y1, mods);
        release(x1, y1, mods);
    }

    // ---- pixels ----
    /// Pixel (x, y) of a 24- or 32-bit image as a Color (alpha 0 for 24-bit images).
    static Color pixel(ObjectNumber image, int x, int y) {
        const Bitmap* b = bitmap_from_handle(image_handle(image));
        if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0xDEADBEEF;
        return bitmap_pixel(*b, x, y);
    }
    /// View pixel (x, y) as the canvas widget paints it, as a Color with alpha 0 (scrolled
    /// into view first when the canvas does not show it).
    Color canvas_pixel(int x, int y) {
        QWidget* w = canvas();
        if (!w) return 0xDEADBEEF;
        const QPoint at = canvas_point(x, y);
        if (at.x() < 0 || at.y() < 0 || at.x() >= w->width() || at.y() >= w->height()) return 0xDEADBEEF;
        const QImage shot = w->grab(QRect(at.x(), at.y(), 1, 1)).toImage();
        const QRgb c = shot.pixel(0, 0);
        return rgb(static_cast<std::uint32_t>(qRed(c)), static_cast<std::uint32_t>(qGreen(c)),
                   static_cast<std::uint32_t>(qBlue(c)));
    }
    static Color bitmap_pixel(const Bitmap& b, int x, int y) {
        const std::uint8_t* p = b.row(y) + x * (b.bpp / 8);
        return rgba(p[2], p[1], p[0], b.bpp == 32 ? p[3] : 0);
    }

  private:
    std::filesystem::path old_dir_;
    std::string old_config_;
    bool had_config_ = false;
    bool left_held_ = false;

    DialogReply respond(const DialogRequest& request) {
        requests_.push_back(request);
        if (replies_.empty()) {
            ADD_FAILURE() << "unexpected dialog \"" << request.title << "\": " << request.text;
            // Harmless answers: No, cancel.
            return DialogReply{request.kind == DialogKind::Color ? -1 : 7, "", 0};
        }
        DialogReply reply = replies_.front();
        replies_.pop_front();
        return reply;
    }
};

}  // namespace morvane::testing
