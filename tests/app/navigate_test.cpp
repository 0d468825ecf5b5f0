// Moving around the document: wheel scrolling, zoom steps around the pointer and the view
// centre, panning, the colour picker, the Mouse field and crisp pixels at a display scale.
#include <QAbstractScrollArea>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>

#include "app/startup/desktop.h"
#include "canvas/canvas.h"
#include "editor_fixture.h"
#include "shell/statusbar.h"

namespace morvane::testing {
namespace {

class NavigateTest : public EditorFixture {
  protected:
    // The view pixel at the canvas's top-left corner; the scroll bars show the same.
    std::int64_t scroll_x() {
        EXPECT_EQ(widget_get_attribute(ViewScrollArea, 3), std::max<std::int64_t>(state_.view.scroll_x, 0));
        return state_.view.scroll_x;
    }
    std::int64_t scroll_y() {
        EXPECT_EQ(widget_get_attribute(ViewScrollArea, 4), std::max<std::int64_t>(state_.view.scroll_y, 0));
        return state_.view.scroll_y;
    }
    void scroll_to(std::int64_t x, std::int64_t y) { view_scroll_to(state_, x, y); }
    // A wheel turn at canvas point (x, y).
    void wheel(int x, int y, int delta, Qt::KeyboardModifiers mods, int sideways = 0) {
        QWidget* w = canvas();
        const QPointF local(x, y);
        QWheelEvent event(local, w->mapToGlobal(local), QPoint(), QPoint(sideways, delta), Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
        pump(pump_ms_);
    }
    void set_document_pixel(int x, int y, Color c) {
        const Bitmap* b = state_.document.picture_or_null();
        std::uint8_t* p = b->row(y) + x * 4;
        p[0] = std::uint8_t(color_blue(c));
        p[1] = std::uint8_t(color_green(c));
        p[2] = std::uint8_t(color_red(c));
        p[3] = std::uint8_t(c >> 24);
    }
};

TEST_F(NavigateTest, WheelScrollsThreeStepsPerNotchShiftSideways) {
    choose_menu(MenuZoom400);  // a 1024 x 1024 view, larger than the canvas
    struct Case {
        int delta;
        Qt::KeyboardModifiers mods;
        std::int64_t dx, dy;  // 3 x the 16-pixel scroll step per notch
        int sideways = 0;     // a tilt wheel's notches
    };
    const Case cases[] = {
        {-120, Qt::NoModifier, 0, 48},
        {120, Qt::NoModifier, 0, -48},
        {-240, Qt::NoModifier, 0, 96},
        {-120, Qt::ShiftModifier, 48, 0},
        {120, Qt::ShiftModifier, -48, 0},
        {60, Qt::NoModifier, 0, 0},  // half a notch waits for the other half
        {60, Qt::NoModifier, 0, -48},
        {0, Qt::NoModifier, 48, 0, -120},
        {0, Qt::NoModifier, -96, 0, 240},
        {-120, Qt::NoModifier, 48, 48, -120},
    };
    scroll_to(200, 200);
    ASSERT_EQ(scroll_x(), 200);
    ASSERT_EQ(scroll_y(), 200);
    for (const Case& c : cases) {
        const std::int64_t x0 = scroll_x(), y0 = scroll_y();
        wheel(300, 300, c.delta, c.mods, c.sideways);
        EXPECT_EQ(scroll_x() - x0, c.dx) << c.delta << " " << c.mods << " " << c.sideways;
        EXPECT_EQ(scroll_y() - y0, c.dy) << c.delta << " " << c.mods;
        EXPECT_EQ(state_.view.zoom, 400);
    }
}

TEST_F(NavigateTest, CtrlWheelStepsThroughPresetsKeepingThePixelUnderThePointer) {
    struct Case {
        int start;
        int x, y;  // pointer on the canvas, over document point (1500, 1400)
        int delta;
        int expected;
    };
    const Case cases[] = {
        {100, 100, 80, 120, 200},     {200, 301, 257, 120, 300}, {300, 333, 444, -120, 200},
        {105, 90, 70, 120, 200},      {105, 90, 70, -120, 100},  {400, 500, 350, -120, 300},
        {100, 200, 100, -120, 50},    {50, 40, 60, -120, 25},    {25, 20, 30, -120, 10},
        {25, 20, 30, 240, 100},  // two notches: two presets
        {500, 300, 200, 120, 600},    {600, 300, 200, 120, 800}, {1600, 77, 99, 120, 2400},
        {2400, 500, 400, -240, 1200},                          // down two presets
        {10, 250, 120, 120, 25},      {10, 20, 12, -120, 10},  // nothing below 10: nothing moves
        {3200, 300, 200, 120, 3200},                           // nothing above 3200
    };
    // A document larger than the canvas from 25 % on, so that the point can stay in place.
    state_.view.base_width = 3000;
    state_.view.base_height = 3000;
    document_recreate(state_);
    for (const Case& c : cases) {
        state_.view.zoom_before_command = state_.view.zoom;
        state_.view.zoom = static_cast<std::int16_t>(c.start);
        view_zoom_apply(state_);
        // Document point (1500, 1400) under the pointer, where the view is large enough.
        scroll_to(1500 * c.start / 100 - c.x, 1400 * c.start / 100 - c.y);
        pump();
        const std::int64_t sx = scroll_x(), sy = scroll_y();
        // The view pixel under the pointer (where the scroll stopped at the picture's edge).
        const int vx = c.x + int(sx), vy = c.y + int(sy);
        hover(vx, vy);
        wheel(c.x, c.y, c.delta, Qt::ControlModifier);
        ASSERT_EQ(state_.view.zoom, c.expected) << c.start << " " << c.delta;
        if (c.expected == c.start) {
            EXPECT_EQ(scroll_x(), sx);
            EXPECT_EQ(scroll_y(), sy);
            continue;
        }
        EXPECT_EQ(state_.view.view_width, 3000 * c.expected / 100);
        // The centre of the screen pixel under the pointer, in document pixels, stays within
        // one screen pixel of where it was, unless the picture's edge stops the view there; a
        // view smaller than the canvas is centred instead.
        const double fx = (vx + 0.5) * 100.0 / c.start, fy = (vy + 0.5) * 100.0 / c.start;
        const int view = 3000 * c.expected / 100;
        const double keep_x = fx * c.expected / 100.0 - c.x - 0.5,
                     keep_y = fy * c.expected / 100.0 - c.y - 0.5;
        const double last_x = view - canvas()->width(), last_y = view - canvas()->height();
        if (last_x >= 0) {
            EXPECT_NEAR(scroll_x(), std::clamp(keep_x, 0.0, last_x), 1.0) << c.start << " -> " << c.expected;
        } else {
            EXPECT_EQ(scroll_x(), -(canvas()->width() - view) / 2);
        }
        if (last_y >= 0) {
            EXPECT_NEAR(scroll_y(), std::clamp(keep_y, 0.0, last_y), 1.0) << c.start << " -> " << c.expected;
        } else {
            EXPECT_EQ(scroll_y(), -(canvas()->height() - view) / 2);
        }
        // The Mouse field names a document pixel within the screen pixel under the pointer.
        int mx = -1, my = -1;
        ASSERT_EQ(std::sscanf(statusbar_text(0, 2).c_str(), "Mouse : %d/%d", &mx, &my), 2);
        const double span = std::max(1.0, 100.0 / c.expected);
        if (keep_x >= 0 && keep_x <= last_x) {
            EXPECT_NEAR(mx, fx, span) << statusbar_text(0, 2);
        }
        if (keep_y >= 0 && keep_y <= last_y) {
            EXPECT_NEAR(my, fy, span) << statusbar_text(0, 2);
        }
    }
}

TEST_F(NavigateTest, CtrlWheelZoomsLargePicturesWithoutAQuestion) {
    // Once refused past the zoom limit (7000 x 500 % = 3.5 million view pixels).
    state_.view.base_width = 7000;
    state_.view.base_height = 100;
    document_recreate(state_);
    choose_menu(MenuZoom400);
    ASSERT_EQ(state_.view.zoom, 400);
    scroll_to(2000, 100);
    hover(2300, 150);
    const QPoint at = canvas_point(2300, 150);
    ASSERT_EQ(at.x(), 300);
    wheel(at.x(), at.y(), 120, Qt::ControlModifier);
    EXPECT_EQ(state_.view.zoom, 500);
    EXPECT_TRUE(requests_.empty());
    // Document pixel 575 (view 2300 at 400 %) stays under the pointer: view 2875 at 500 %.
    EXPECT_NEAR(300 + scroll_x(), 2875, 1);
}

TEST_F(NavigateTest, ZoomKeysStepAroundTheViewCentreAndLeaveSpinBoxesTheirText) {
    struct Case {
        int focus;  // widget with the keyboard focus
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int start, expected;
    };
    const Case cases[] = {
        {ViewCanvas, Qt::Key_Equal, Qt::ControlModifier, 100, 200},
        {ViewCanvas, Qt::Key_Plus, Qt::ControlModifier, 200, 300},
        {ViewCanvas, Qt::Key_Plus, Qt::NoModifier, 300, 400},
        {ViewCanvas, Qt::Key_Minus, Qt::ControlModifier, 400, 300},
        {ViewCanvas, Qt::Key_Minus, Qt::NoModifier, 105, 100},
        {ViewCanvas, Qt::Key_0, Qt::ControlModifier, 300, 100},
        {ToolButtonFirst, Qt::Key_Plus, Qt::NoModifier, 100, 200},
        {ToolButtonFirst, Qt::Key_Minus, Qt::ControlModifier, 200, 100},
        {SizeSpin, Qt::Key_Minus, Qt::NoModifier, 200, 200},  // typed into the spin box
        {SizeSpin, Qt::Key_Plus, Qt::NoModifier, 200, 200},
    };
    // A picture larger than the canvas at every zoom of the table, shown from its middle.
    state_.view.base_width = 3000;
    state_.view.base_height = 3000;
    document_recreate(state_);
    for (const Case& c : cases) {
        state_.view.zoom_before_command = state_.view.zoom;
        state_.view.zoom = static_cast<std::int16_t>(c.start);
        view_zoom_apply(state_);
        scroll_to(state_.view.view_width / 2 - 200, state_.view.view_height / 2 - 100);
        pump();
        const int cx = canvas()->width() / 2, cy = canvas()->height() / 2;
        const QPoint before(cx + int(scroll_x()), cy + int(scroll_y()));  // the view pixel there
        widget_set_focus(c.focus);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, c.key, c.mods);
        pump();
        EXPECT_EQ(state_.view.zoom, c.expected) << c.focus << " " << c.key << " " << c.mods;
        if (c.expected == c.start) continue;
        const QPoint after(cx + int(scroll_x()), cy + int(scroll_y()));
        EXPECT_NEAR(after.x() + 0.5, (before.x() + 0.5) * c.expected / c.start, 1.0) << c.key;
        EXPECT_NEAR(after.y() + 0.5, (before.y() + 0.5) * c.expected / c.start, 1.0) << c.key;
    }
    // The menu items keep their 5 % steps.
    choose_menu(MenuZoomIn);
    EXPECT_EQ(state_.view.zoom, 205);
}

TEST_F(NavigateTest, MiddleButtonAndSpaceDragPanWithoutPainting) {
    choose_menu(MenuZoom400);
    struct Case {
        bool space;
        Qt::MouseButton button;
    };
    for (const Case c : {Case{false, Qt::MiddleButton}, Case{true, Qt::LeftButton}}) {
        scroll_to(100, 120);
        const std::int64_t sx = scroll_x(), sy = scroll_y();
        widget_set_focus(ViewCanvas);
        if (c.space) QTest::keyPress(canvas(), Qt::Key_Space);
        pump();
        const std::int64_t cursor =
            widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor));
        send_canvas_mouse(QEvent::MouseButtonPress, QPoint(400, 300), c.button, c.button, Qt::NoModifier);
        pump();
        EXPECT_EQ(widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor)),
                  static_cast<int>(CanvasCursor::Hand));
        send_canvas_mouse(QEvent::MouseMove, QPoint(350, 270), Qt::NoButton, c.button, Qt::NoModifier);
        pump();
        EXPECT_EQ(scroll_x() - sx, 50) << c.space;
        EXPECT_EQ(scroll_y() - sy, 30) << c.space;
        // The view follows the pointer: back at the start, the view is back too.
        send_canvas_mouse(QEvent::MouseMove, QPoint(380, 300), Qt::NoButton, c.button, Qt::NoModifier);
        pump();
        EXPECT_EQ(scroll_x() - sx, 20) << c.space;
        EXPECT_EQ(scroll_y() - sy, 0) << c.space;
        send_canvas_mouse(QEvent::MouseButtonRelease, QPoint(380, 300), c.button, Qt::NoButton,
                          Qt::NoModifier);
        if (c.space) QTest::keyRelease(canvas(), Qt::Key_Space);
        pump();
        EXPECT_EQ(widget_get_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor)), cursor);
        EXPECT_FALSE(state_.document.history.can_undo()) << "the pan painted";
        for (int x = 80; x < 120; ++x) ASSERT_EQ(pixel(DocumentImage, x, 75), 0u) << x;
    }
    // Once Space is up the left button paints again.
    drag(400, 300, 480, 300);
    EXPECT_TRUE(state_.document.history.can_undo());
}

TEST_F(NavigateTest, AltClickTakesThePixelColourAndKeepsTheOpacity) {
    choose_menu(MenuZoom200);
    const Color red = rgba(200, 30, 40, 255), half = rgba(10, 220, 90, 128);
    set_document_pixel(50, 60, red);
    set_document_pixel(51, 60, half);
    state_.tools.brush_alpha = 100;
    color_repack(state_);
    struct Case {
        int x, y;  // canvas pixels at 200 %
        Color expected;
    };
    const Case cases[] = {
        {100, 120, rgba(200, 30, 40, 100)},
        {103, 121, rgba(10, 220, 90, 100)},
        {10, 10, rgba(0, 0, 0, 100)},  // a transparent pixel gives its colour, black
    };
    for (const Case& c : cases) {
        press(c.x, c.y, Qt::AltModifier);
        release(c.x, c.y, Qt::AltModifier);
        EXPECT_EQ(state_.tools.brush_color, c.expected) << c.x;
        EXPECT_EQ(state_.tools.brush_alpha, 100);
        // The swatch shows the colour (24 bits, no alpha).
        EXPECT_EQ(pixel(ColorSwatchImage, 15, 15) & 0xFFFFFFu, c.expected & 0xFFFFFFu) << c.x;
    }
    EXPECT_FALSE(state_.document.history.can_undo()) << "the picker painted";
    EXPECT_EQ(pixel(DocumentImage, 50, 60), red);
}

TEST_F(NavigateTest, MouseFieldShowsTheDocumentPixelUnderThePointer) {
    struct Case {
        int menu;
        int x, y;
        const char* text;
    };
    const Case cases[] = {
        {MenuZoom100, 17, 203, "Mouse : 17/203"},
        {MenuZoom400, 17, 203, "Mouse : 4/50"},
        {MenuZoom300, 299, 300, "Mouse : 99/100"},
        {MenuZoom25, 63, 1, "Mouse : 252/4"},
    };
    for (const Case& c : cases) {
        choose_menu(c.menu);
        hover(c.x, c.y);
        EXPECT_EQ(statusbar_text(0, 2), c.text);
    }
}

// Run by ctest entries with QT_SCALE_FACTOR 2 and 1.5 (skipped at scale 1): every device
// pixel shows one of the screen pixels it lies on, never a blend of neighbours; at scale 2
// each document pixel at 300 % is a uniform 6 x 6 block.
TEST_F(NavigateTest, ScaledDisplayShowsWholeDevicePixelBlocks) {
    const qreal ratio = canvas()->devicePixelRatioF();
    if (ratio <= 1) GTEST_SKIP() << "needs a display scale above 1";
    choose_menu(MenuZoom300);
    choose_menu(MenuGrid);  // no grid lines
    set_document_pixel(10, 10, rgba(255, 0, 0, 255));
    set_document_pixel(11, 10, rgba(0, 0, 255, 255));
    set_document_pixel(10, 11, rgba(0, 255, 0, 128));
    set_document_pixel(9, 10, rgba(255, 255, 255, 255));
    view_redraw(state_);
    pump();
    // Screen pixels 27..38 (document pixels 9..12) as composed, and as the canvas shows them.
    const std::vector<std::uint32_t> logical = view_compose_rect(state_, 27, 27, 12, 12);
    ASSERT_EQ(logical.size(), 144u);
    const QImage shot = canvas()
                            ->grab(QRect(canvas_point(27, 27), QSize(12, 12)))
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.width(), int(std::ceil(12 * ratio)));
    auto range = [ratio](int d, int& first, int& last) {
        first = std::clamp(int(std::floor(d / ratio)), 0, 11);
        last = std::clamp(int(std::ceil((d + 1) / ratio)) - 1, 0, 11);
    };
    for (int y = 0; y < shot.height(); ++y) {
        int y0 = 0, y1 = 0;
        range(y, y0, y1);
        for (int x = 0; x < shot.width(); ++x) {
            int x0 = 0, x1 = 0;
            range(x, x0, x1);
            bool found = false;
            for (int ly = y0; ly <= y1; ++ly) {
                for (int lx = x0; lx <= x1; ++lx)
                    found |= shot.pixel(x, y) == logical[std::size_t(ly * 12 + lx)];
            }
            ASSERT_TRUE(found) << "device pixel " << x << "," << y << " is " << std::hex << shot.pixel(x, y);
        }
    }
    if (ratio == 2) {
        for (int y = 6; y < 12; ++y) {
            for (int x = 6; x < 12; ++x) ASSERT_EQ(shot.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace morvane::testing
