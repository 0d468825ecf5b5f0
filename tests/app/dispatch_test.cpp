// The dispatch table: close requests, menu items, shortcuts, tool buttons, layout and the
// Preferences window's handlers.
#include <QAbstractScrollArea>

#include "editor_fixture.h"
#include "shell/menu.h"
#include "shell/statusbar.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

using DispatchTest = EditorFixture;

QWidget* main_window() {
    return reinterpret_cast<QWidget*>(window_handle(MainWindow));
}

TEST_F(DispatchTest, CloseBoxAsksAndNoKeepsRunning) {
    answer_message(7);
    event_post(CloseWindowEvent, MainWindow, MainWindow, 0);
    pump();
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, DialogKind::Message);
    EXPECT_EQ(requests_[0].title, "Info");
    EXPECT_EQ(requests_[0].text, "Do you want to close the application ?");
    EXPECT_EQ(requests_[0].flags, 52);
    EXPECT_EQ(state_.quit_requested, 0);
    EXPECT_NE(window_handle(MainWindow), 0);

    answer_message(6);
    choose_menu(5);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].text, "Do you want to close the application ?");
    EXPECT_EQ(state_.quit_requested, 1);
}

TEST_F(DispatchTest, ClosingAnotherWindowClosesOnlyIt) {
    choose_menu(6);
    ASSERT_NE(window_handle(PreferencesWindow), 0);
    event_post(CloseWindowEvent, PreferencesWindow, PreferencesWindow, 0);
    pump();
    EXPECT_EQ(window_handle(PreferencesWindow), 0);
    EXPECT_NE(window_handle(MainWindow), 0);
    EXPECT_TRUE(requests_.empty());
}

TEST_F(DispatchTest, AboutBox) {
    answer_message(1);
    choose_menu(8);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].title, "About");
    EXPECT_EQ(requests_[0].text,
              "Morvane is a tool made by Quillrat, in Kestrix, to create easily a tileset or spritesheet.\n"
              "Date : 16 feb 2017\nVersion : 0.02");
    EXPECT_EQ(requests_[0].flags, 64);
}

TEST_F(DispatchTest, GridItemTogglesCheckAndCanvas) {
    ASSERT_EQ(canvas_pixel(32, 5), 0u);
    choose_menu(70);
    EXPECT_EQ(state_.view.grid_visible, 0);
    EXPECT_EQ(menu_item_checked(0, 70), 0);
    EXPECT_EQ(canvas_pixel(32, 5), rgb(255, 255, 255));
    EXPECT_EQ(canvas_pixel(16, 5), rgb(192, 192, 192));
    EXPECT_EQ(canvas_pixel(0, 0), rgb(255, 255, 255));
    choose_menu(70);
    EXPECT_EQ(state_.view.grid_visible, 1);
    EXPECT_EQ(menu_item_checked(0, 70), 1);
    EXPECT_EQ(canvas_pixel(32, 5), 0u);
}

TEST_F(DispatchTest, ZoomItemsAndClamps) {
    const struct {
        int id, zoom;
    } presets[] = {{71, 3200}, {72, 1600}, {73, 800}, {63, 500}, {64, 400},
                   {65, 300},  {66, 200},  {67, 100}, {68, 50},  {69, 25}};
    for (const auto& p : presets) {
        choose_menu(p.id);
        EXPECT_EQ(state_.view.zoom, p.zoom) << p.id;
        EXPECT_EQ(state_.view.view_width, 256 * p.zoom / 100) << p.id;
        // The canvas is the visible part of the view, whatever the zoom.
        EXPECT_EQ(canvas()->size(), static_cast<QAbstractScrollArea*>(widget_qt(0))->viewport()->size())
            << p.id;
        EXPECT_EQ(state_.document.width(), 256) << p.id;
    }
    // Zoom + goes on past 500 % and stops at 3200 %.
    choose_menu(63);
    choose_menu(61);
    EXPECT_EQ(state_.view.zoom, 505);
    EXPECT_EQ(statusbar_text(0, 0), "Zoom : 505 %");
    choose_menu(71);
    choose_menu(61);
    EXPECT_EQ(state_.view.zoom, 3200);
    choose_menu(67);
    for (int i = 0; i < 18; ++i) choose_menu(62);
    EXPECT_EQ(state_.view.zoom, 10);
    EXPECT_EQ(state_.view.view_width, 25);
    choose_menu(62);
    EXPECT_EQ(state_.view.zoom, 10);
    choose_menu(61);
    EXPECT_EQ(state_.view.zoom, 15);
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 256/256");  // the picture's own size
    EXPECT_TRUE(requests_.empty());
}

TEST_F(DispatchTest, ToolButtonsFormOneGroup) {
    click(5);
    EXPECT_EQ(state_.tools.current_tool, 5);
    for (ObjectNumber b = 3; b <= 7; ++b) EXPECT_EQ(widget_get_state(b), b == 5 ? 1 : 0) << b;
    click(5);  // the pressed one stays pressed
    EXPECT_EQ(state_.tools.current_tool, 5);
    EXPECT_EQ(widget_get_state(5), 1);
    click(7);
    EXPECT_EQ(state_.tools.current_tool, 7);
    for (ObjectNumber b = 3; b <= 7; ++b) EXPECT_EQ(widget_get_state(b), b == 7 ? 1 : 0) << b;
}

TEST_F(DispatchTest, ShortcutsOfTheMenuCaptions) {
    QWidget* w = main_window();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);
    pump();
    EXPECT_EQ(state_.view.grid_visible, 0);
    QTest::keyClick(w, Qt::Key_C);
    pump();
    QTest::keyClick(w, Qt::Key_C);
    pump();
    EXPECT_EQ(state_.tools.brush_index, 2);
    QTest::keyClick(w, Qt::Key_X);
    pump();
    EXPECT_EQ(state_.tools.brush_index, 1);
}

TEST_F(DispatchTest, BrushIndexStepsAndStopsAtZero) {
    choose_menu(41);
    EXPECT_EQ(state_.tools.brush_index, 0);
    choose_menu(42);
    choose_menu(42);
    choose_menu(42);
    EXPECT_EQ(state_.tools.brush_index, 3);
    choose_menu(41);
    EXPECT_EQ(state_.tools.brush_index, 2);
}

TEST_F(DispatchTest, SizeEventLaysTheViewOut) {
    widget_resize(0, 0, 0, 100, 100);
    event_post(SizeWindowEvent, 0, MainWindow, 0);
    pump();
    // 800 x 600 less the margins 60 at the left and 100 in height, and at the right the
    // palette panel (124) with a 5-pixel gap on each side.
    EXPECT_EQ(widget_qt(0)->geometry(), QRect(60, 50, 606, 500));
    // The canvas fills the visible part; the picture sits in its middle.
    const QSize visible = static_cast<QAbstractScrollArea*>(widget_qt(0))->viewport()->size();
    EXPECT_EQ(widget_qt(1)->geometry(), QRect(QPoint(0, 0), visible));
    EXPECT_EQ(view_on_canvas(), centred(256, 256));
}

TEST_F(DispatchTest, PreferencesWindowAppliesAtOnce) {
    choose_menu(6);
    ASSERT_NE(window_handle(PreferencesWindow), 0);
    EXPECT_EQ(window_inner_width(PreferencesWindow), 400);
    EXPECT_EQ(widget_kind(38), PanelWidget);
    EXPECT_EQ(widget_get_state(39), 32);
    EXPECT_EQ(widget_get_state(40), 32);
    EXPECT_EQ(widget_get_text(41), "Grid Color");

    change_widget(39, 8, 768, PreferencesWindow);
    EXPECT_EQ(state_.view.grid_width, 8);
    EXPECT_EQ(canvas_pixel(8, 5), 0u);
    EXPECT_EQ(canvas_pixel(9, 5), rgb(255, 255, 255));
    change_widget(40, 10, 4, PreferencesWindow);
    EXPECT_EQ(state_.view.grid_height, 10);
    EXPECT_EQ(canvas_pixel(3, 10), 0u);

    answer_color(rgb(255, 0, 0));
    click(41);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, DialogKind::Color);
    EXPECT_EQ(requests_[0].color, 0);
    EXPECT_EQ(state_.view.grid_color, 255);
    EXPECT_EQ(canvas_pixel(8, 5), rgb(255, 0, 0));

    // A cancelled colour dialog keeps the grid colour.
    answer_color(-1);
    click(41);
    EXPECT_EQ(state_.view.grid_color, 255);
    EXPECT_EQ(canvas_pixel(8, 5), rgb(255, 0, 0));
}

}  // namespace
}  // namespace morvane::testing
