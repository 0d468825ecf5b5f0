// Canvas input sequences driven through the window system path: enter and move, clicks and
// double clicks, capture across buttons, confinement, the wheel and the keyboard.
#include <QCursor>
#include <QWheelEvent>

#include "canvas_test_support.h"

namespace morvane {
namespace {

using testing_support::canvas_events;
using testing_support::canvas_subtypes;
using testing_support::CanvasRead;
using Subtypes = std::vector<std::int64_t>;
using CanvasInputTest = testing_support::CanvasWindowTest;

TEST_F(CanvasInputTest, FirstMovementEntersAndTheNextMoves) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(10, 11);
    auto first = canvas_events(kCanvas);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], (CanvasRead{MouseEnter, 10, 11}));
    move(12, 13);
    move(40, 41);
    EXPECT_EQ(canvas_events(kCanvas), (std::vector<CanvasRead>{{MouseMove, 12, 13}, {MouseMove, 40, 41}}));
    // Leaving and coming back enters again.
    QTest::mouseMove(window(), QPoint(300, 250));
    EXPECT_EQ(canvas_subtypes(kCanvas), (Subtypes{MouseLeave}));
    move(5, 5);
    EXPECT_EQ(canvas_subtypes(kCanvas), (Subtypes{MouseEnter}));
}

TEST_F(CanvasInputTest, SunkenEdgeReportsClientCoordinates) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, SunkenEdge), 0);
    move(2, 2);
    move(12, 7);
    EXPECT_EQ(canvas_events(kCanvas), (std::vector<CanvasRead>{{MouseEnter, 0, 0}, {MouseMove, 10, 5}}));
}

TEST_F(CanvasInputTest, LeftDoubleClickSequence) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(30, 30);
    canvas_events(kCanvas);
    QTest::mouseDClick(window(), Qt::LeftButton, {}, at(30, 30));
    EXPECT_EQ(canvas_subtypes(kCanvas), (Subtypes{LeftButtonDown, LeftButtonUp, LeftClick, LeftButtonDown,
                                                  LeftDoubleClick, LeftButtonUp, LeftClick}));
    QTest::mouseDClick(window(), Qt::RightButton, {}, at(30, 30));
    EXPECT_EQ(canvas_subtypes(kCanvas), (Subtypes{RightButtonDown, RightButtonUp, RightClick, RightButtonDown,
                                                  RightDoubleClick, RightButtonUp, RightClick}));
    // The middle button has neither clicks nor double clicks.
    QTest::mouseDClick(window(), Qt::MiddleButton, {}, at(30, 30));
    EXPECT_EQ(canvas_subtypes(kCanvas),
              (Subtypes{MiddleButtonDown, MiddleButtonUp, MiddleButtonDown, MiddleButtonUp}));
}

TEST_F(CanvasInputTest, DragOutAndReleaseGivesNoClick) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(30, 30);
    canvas_events(kCanvas);
    press(Qt::LeftButton, 30, 30);
    move(-10, 40);
    release(Qt::LeftButton, -10, 40);
    auto events = canvas_events(kCanvas);
    ASSERT_GE(events.size(), 3u);
    // Movements outside are reported while the canvas holds the capture.
    EXPECT_EQ(events[0], (CanvasRead{LeftButtonDown, 30, 30, ButtonLeft}));
    EXPECT_EQ(events[1], (CanvasRead{MouseMove, -10, 40, ButtonLeft}));
    EXPECT_EQ(events[2], (CanvasRead{LeftButtonUp, -10, 40, 0}));
    for (const CanvasRead& e : events) EXPECT_NE(e.subtype, LeftClick);
}

TEST_F(CanvasInputTest, ConfinedPointerStaysOnTheCanvas) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, ConfinePointer), 0);
    move(30, 30);
    canvas_events(kCanvas);
    press(Qt::LeftButton, 30, 30);
    EXPECT_EQ(widget_get_attribute(kCanvas, 10), 1);
    move(150, -5);
    release(Qt::LeftButton, 150, -5);
    EXPECT_EQ(widget_get_attribute(kCanvas, 10), 0);
    // Putting the pointer back may itself show up as a further movement to the edge; Qt
    // still thinks the pointer outside and reports leaving after the release.
    auto events = canvas_events(kCanvas);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], (CanvasRead{LeftButtonDown, 30, 30, ButtonLeft}));
    std::size_t up = 1;
    while (up < events.size() && events[up].subtype == MouseMove) {
        EXPECT_EQ(events[up], (CanvasRead{MouseMove, 99, 0, ButtonLeft}));
        ++up;
    }
    ASSERT_LT(up + 1, events.size());
    EXPECT_EQ(events[up], (CanvasRead{LeftButtonUp, 99, 0, 0}));
    EXPECT_EQ(events[up + 1], (CanvasRead{LeftClick, 99, 0, 0}));

    // Confinement set and cleared by the program.
    widget_set_attribute(kCanvas, 10, 1);
    EXPECT_EQ(widget_get_attribute(kCanvas, 10), 1);
    widget_set_attribute(kCanvas, 10, 0);
    EXPECT_EQ(widget_get_attribute(kCanvas, 10), 0);
}

TEST_F(CanvasInputTest, TwoButtonsKeepTheCaptureUntilTheLastIsReleased) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(30, 30);
    canvas_events(kCanvas);
    press(Qt::LeftButton, 30, 30);
    press(Qt::RightButton, 30, 30);
    release(Qt::LeftButton, 30, 30);
    EXPECT_EQ(canvas_events(kCanvas),
              (std::vector<CanvasRead>{{LeftButtonDown, 30, 30, ButtonLeft},
                                       {RightButtonDown, 30, 30, ButtonLeft | ButtonRight},
                                       {LeftButtonUp, 30, 30, ButtonRight},
                                       {LeftClick, 30, 30, ButtonRight}}));
    // Still captured: a movement outside is reported, and the right release clicks.
    move(140, 30);
    move(33, 31);
    release(Qt::RightButton, 33, 31);
    EXPECT_EQ(canvas_events(kCanvas), (std::vector<CanvasRead>{{MouseMove, 140, 30, ButtonRight},
                                                               {MouseMove, 33, 31, ButtonRight},
                                                               {RightButtonUp, 33, 31, 0},
                                                               {RightClick, 33, 31, 0}}));
}

TEST(WheelAccumulatorTest, NotchesTruncateTowardZeroAndTheRestCarriesOver) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.add(60), 0);
    EXPECT_EQ(wheel.add(60), 1);
    EXPECT_EQ(wheel.add(-240), -2);
    EXPECT_EQ(wheel.units, 0);
    EXPECT_EQ(wheel.add(-100), 0);
    EXPECT_EQ(wheel.add(-50), -1);
    EXPECT_EQ(wheel.units, -30);
    EXPECT_EQ(wheel.add(400), 3);
    EXPECT_EQ(wheel.units, 10);
}

TEST_F(CanvasInputTest, WheelPostsWholeNotchesAcrossCanvases) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    ASSERT_NE(canvas_create(2, 150, 20, 100, 80, 0), 0);
    auto turn = [](QWidget* canvas, int delta) {
        QWheelEvent wheel(QPointF(7, 9), canvas->mapToGlobal(QPointF(7, 9)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
    };
    turn(canvas(), 60);
    EXPECT_TRUE(canvas_events(kCanvas).empty());
    turn(canvas(), 60);
    EXPECT_EQ(canvas_events(kCanvas),
              (std::vector<CanvasRead>{{MouseWheel, 7, 9, 0, 0, ModifierShift, 1, 0}}));
    turn(canvas(), -240);
    EXPECT_EQ(canvas_events(kCanvas),
              (std::vector<CanvasRead>{{MouseWheel, 7, 9, 0, 0, ModifierShift, -2, 0}}));
    // Half a notch here and half on the other canvas make one notch there.
    turn(canvas(), 60);
    turn(widget_qt(2), 60);
    std::vector<std::int64_t> sources;
    for (QApplication::processEvents(); event_queue_size() > 0;) {
        if (event_wait(0) == WidgetEvent) sources.push_back(event_source());
    }
    EXPECT_EQ(sources, (std::vector<std::int64_t>{2}));
}

TEST_F(CanvasInputTest, KeysAndCharactersWhileFocused) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, TakesFocus), 0);
    move(30, 30);
    press(Qt::LeftButton, 30, 30);
    release(Qt::LeftButton, 30, 30);
    EXPECT_EQ(canvas_subtypes(kCanvas),
              (Subtypes{MouseEnter, FocusGained, LeftButtonDown, LeftButtonUp, LeftClick}));
    EXPECT_EQ(widget_focused(), kCanvas);

    // Key events carry where the pointer is now.
    QCursor::setPos(canvas()->mapToGlobal(QPoint(30, 30)));
    canvas_events(kCanvas);
    QTest::keyClick(window(), Qt::Key_Backspace);
    EXPECT_EQ(canvas_events(kCanvas),
              (std::vector<CanvasRead>{{KeyDown, 30, 30, 0, 8}, {KeyUp, 30, 30, 0, 8}}));
    QTest::keyClick(window(), 'q');
    EXPECT_EQ(canvas_events(kCanvas),
              (std::vector<CanvasRead>{
                  {KeyDown, 30, 30, 0, 'Q'}, {Input, 30, 30, 0, 0, 0, 0, 'q'}, {KeyUp, 30, 30, 0, 'Q'}}));
    // The Control key itself is reported too, with its own state.
    QTest::keyClick(window(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(canvas_events(kCanvas), (std::vector<CanvasRead>{{KeyDown, 30, 30, 0, 0x11, ModifierControl},
                                                               {KeyDown, 30, 30, 0, 0x25, ModifierControl},
                                                               {KeyUp, 30, 30, 0, 0x25, ModifierControl},
                                                               {KeyUp, 30, 30, 0, 0x11, 0}}));
    // Keys with Alt belong to the platform.
    QTest::keyClick(window(), Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(window(), Qt::Key_F10);
    EXPECT_EQ(canvas_events(kCanvas), (std::vector<CanvasRead>{}));
}

TEST_F(CanvasInputTest, CanvasWithoutTakesFocusGetsNoKeys) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(30, 30);
    press(Qt::LeftButton, 30, 30);
    release(Qt::LeftButton, 30, 30);
    QTest::keyClick(window(), Qt::Key_B);
    EXPECT_EQ(canvas_subtypes(kCanvas), (Subtypes{MouseEnter, LeftButtonDown, LeftButtonUp, LeftClick}));
    EXPECT_NE(widget_focused(), kCanvas);
}

TEST(VirtualKeyTest, QtKeysGiveTheirVirtualKeyCodes) {
    EXPECT_EQ(virtual_key_code(Qt::Key_Backspace, false), 0x08);
    EXPECT_EQ(virtual_key_code(Qt::Key_Return, false), 0x0D);
    EXPECT_EQ(virtual_key_code(Qt::Key_Escape, false), 0x1B);
    EXPECT_EQ(virtual_key_code(Qt::Key_Space, false), 0x20);
    EXPECT_EQ(virtual_key_code(Qt::Key_Delete, false), 0x2E);
    EXPECT_EQ(virtual_key_code(Qt::Key_Q, false), 'Q');
    EXPECT_EQ(virtual_key_code(Qt::Key_7, false), '7');
    EXPECT_EQ(virtual_key_code(Qt::Key_7, true), 0x67);
    EXPECT_EQ(virtual_key_code(Qt::Key_Plus, true), 0x6B);
    EXPECT_EQ(virtual_key_code(Qt::Key_F1, false), 0x70);
    EXPECT_EQ(virtual_key_code(Qt::Key_F12, false), 0x7B);
    EXPECT_EQ(virtual_key_code(Qt::Key_Down, false), 0x28);
    EXPECT_EQ(virtual_key_code(Qt::Key_Minus, false), 0xBD);
    EXPECT_EQ(virtual_key_code(Qt::Key_BracketLeft, false), 0xDB);
    EXPECT_EQ(virtual_key_code(Qt::Key_unknown, false), 0);
}

TEST_F(CanvasInputTest, InputAttributesReadZeroOutsideTheCanvasEvents) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    move(30, 30);
    move(31, 32);
    ASSERT_EQ(canvas_events(kCanvas).size(), 2u);
    // The last canvas event is still current: its data stays readable.
    EXPECT_EQ(widget_get_attribute(kCanvas, 2), 31);
    event_post(WidgetEvent, 99, kWindow, 0);
    ASSERT_EQ(event_wait(0), WidgetEvent);
    EXPECT_EQ(widget_get_attribute(kCanvas, 2), 0);
    EXPECT_EQ(widget_get_attribute(kCanvas, 3), 0);
    EXPECT_EQ(widget_get_attribute(kCanvas, 12), 0);
}

TEST_F(CanvasInputTest, CursorAttributeSelectsTheStandardShapes) {
    ASSERT_NE(canvas_create(kCanvas, 20, 20, 100, 80, 0), 0);
    EXPECT_EQ(widget_get_attribute(kCanvas, 7), 0);
    EXPECT_EQ(canvas()->cursor().shape(), Qt::ArrowCursor);
    widget_set_attribute(kCanvas, 7, 1);
    EXPECT_EQ(canvas()->cursor().shape(), Qt::CrossCursor);
    widget_set_attribute(kCanvas, 7, 12);
    EXPECT_EQ(widget_get_attribute(kCanvas, 7), 1);
    const std::pair<int, Qt::CursorShape> shapes[] = {{2, Qt::IBeamCursor},      {3, Qt::PointingHandCursor},
                                                      {4, Qt::WaitCursor},       {5, Qt::ForbiddenCursor},
                                                      {6, Qt::SizeAllCursor},    {7, Qt::SizeHorCursor},
                                                      {8, Qt::SizeVerCursor},    {9, Qt::SizeFDiagCursor},
                                                      {10, Qt::SizeBDiagCursor}, {11, Qt::BlankCursor}};
    for (auto [index, shape] : shapes) {
        widget_set_attribute(kCanvas, 7, index);
        EXPECT_EQ(widget_get_attribute(kCanvas, 7), index);
        EXPECT_EQ(canvas()->cursor().shape(), shape) << index;
    }
    // A custom cursor reads -1 as the index; unknown handles are refused.
    widget_set_attribute(kCanvas, 11, 12345);
    EXPECT_EQ(widget_get_attribute(kCanvas, 11), 0);
    widget_set_attribute(kCanvas, 11, canvas_cursor_handle(3));
    EXPECT_EQ(widget_get_attribute(kCanvas, 7), -1);
    EXPECT_EQ(widget_get_attribute(kCanvas, 11), canvas_cursor_handle(3));
    EXPECT_EQ(canvas()->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace morvane
