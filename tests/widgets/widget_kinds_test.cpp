// Each standard widget kind driven with real input: its state, text and events, and the
// silence of changes made by the program.
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include "widget_test_support.h"

namespace morvane {
namespace {

using testing_support::widget_events;
using testing_support::WidgetWindowTest;
using KindsTest = WidgetWindowTest;
using Events = std::vector<testing_support::Posted>;

// Where the style draws an arrow of a spin box.
QPoint arrow_point(QWidget* spin, QStyle::SubControl arrow) {
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.rect = spin->rect();
    option.frame = true;
    option.buttonSymbols = QAbstractSpinBox::UpDownArrows;
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxEditField;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, spin).center();
}

TEST_F(KindsTest, SpinArrowsMoveTheValueAtOnceAndReportFourAndFive) {
    ASSERT_NE(spin_create(11, 100, 5, 60, 24, 1, 100, SpinNumeric), 0);
    widget_set_state(11, 20);
    EXPECT_EQ(widget_get_text(11), "20");
    EXPECT_EQ(widget_get_state(11), 20);
    EXPECT_TRUE(widget_events().empty());

    QWidget* spin = widget_qt(11);
    QTest::mouseClick(spin, Qt::LeftButton, {}, arrow_point(spin, QStyle::SC_SpinBoxUp));
    EXPECT_EQ(widget_get_state(11), 21);
    EXPECT_EQ(widget_get_text(11), "21");
    EXPECT_EQ(widget_events(), (Events{posted(11, 4)}));

    QTest::mouseClick(spin, Qt::LeftButton, {}, arrow_point(spin, QStyle::SC_SpinBoxDown));
    QTest::mouseClick(spin, Qt::LeftButton, {}, arrow_point(spin, QStyle::SC_SpinBoxDown));
    EXPECT_EQ(widget_get_state(11), 19);
    // Two equal events in a row are one queue entry.
    EXPECT_EQ(widget_events(), (Events{posted(11, 5)}));

    // The range holds at its ends.
    widget_set_state(11, 100);
    QTest::mouseClick(spin, Qt::LeftButton, {}, arrow_point(spin, QStyle::SC_SpinBoxUp));
    EXPECT_EQ(widget_get_state(11), 100);
    widget_set_state(11, -7);
    EXPECT_EQ(widget_get_state(11), 1);
    EXPECT_EQ(widget_get_attribute(11, 1), 1);
    EXPECT_EQ(widget_get_attribute(11, 2), 100);
    widget_events();
}

TEST_F(KindsTest, SpinTypingReports768AndTheTypedValue) {
    ASSERT_NE(spin_create(11, 100, 5, 60, 24, 1, 100, SpinNumeric), 0);
    widget_set_state(11, 20);
    auto* field = widget_qt(11)->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "35");
    EXPECT_EQ(widget_get_text(11), "35");
    EXPECT_EQ(widget_get_state(11), 35);
    EXPECT_EQ(widget_events(), (Events{posted(11, 768)}));
    // The focus in the field counts as the spin.
    EXPECT_EQ(widget_focused(), 11);
}

TEST_F(KindsTest, ComboBoxWithoutSelectionReadsMinusOne) {
    ASSERT_NE(combo_box_create(14, 5, 5, 80, 120), 0);
    EXPECT_EQ(widget_get_state(14), -1);
    widget_add_item(14, 0, "Brush");
    widget_add_item(14, 1, "Pencil");
    widget_add_item(14, 2, "Eraser");
    EXPECT_EQ(widget_get_state(14), -1);
    EXPECT_EQ(widget_get_text(14), "");
    widget_set_state(14, 1);
    EXPECT_EQ(widget_get_text(14), "Pencil");
    widget_set_state(14, 7);
    EXPECT_EQ(widget_get_state(14), -1);
    EXPECT_TRUE(widget_events().empty());

    // The user moves the selection with the keyboard.
    widget_set_state(14, 0);
    QWidget* box = widget_qt(14);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(widget_get_state(14), 1);
    EXPECT_EQ(widget_get_text(14), "Pencil");
    EXPECT_EQ(widget_events(), (Events{posted(14, 768)}));
    // The closed box is one selection field high, whatever list height was asked for.
    EXPECT_EQ(box->height(), 21);
}

TEST_F(KindsTest, TrackbarReportsZeroOnMovementAndTakesNegativeLimitsAsZero) {
    ASSERT_NE(trackbar_create(13, 155, 5, 100, 20, 0, 255), 0);
    EXPECT_EQ(widget_get_state(13), 0);
    widget_set_state(13, 100);
    EXPECT_TRUE(widget_events().empty());
    QWidget* slider = widget_qt(13);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(widget_get_state(13), 101);
    EXPECT_EQ(widget_events(), (Events{posted(13, 0)}));

    ASSERT_NE(trackbar_create(16, 155, 40, 100, 20, -5, 10), 0);
    EXPECT_EQ(widget_get_attribute(16, 1), 0);
    EXPECT_EQ(widget_get_attribute(16, 2), 10);
}

TEST_F(KindsTest, CheckBoxAndButtonReportEveryClick) {
    ASSERT_NE(check_box_create(15, 260, 5, 90, 20, "Keep Alpha"), 0);
    ASSERT_NE(button_create(22, 10, 100, 80, 24, "Cancel"), 0);
    EXPECT_EQ(widget_get_text(15), "Keep Alpha");
    EXPECT_EQ(widget_get_text(22), "Cancel");
    widget_set_state(15, 1);
    EXPECT_EQ(widget_get_state(15), 1);
    widget_set_state(15, 0);
    EXPECT_TRUE(widget_events().empty());

    QTest::mouseClick(widget_qt(15), Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_EQ(widget_get_state(15), 1);
    EXPECT_EQ(widget_events(), (Events{posted(15, 0)}));
    QTest::mouseClick(widget_qt(22), Qt::LeftButton);
    QTest::mouseClick(widget_qt(15), Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_EQ(widget_get_state(15), 0);
    EXPECT_EQ(widget_events(), (Events{posted(22, 0), posted(15, 0)}));
    widget_set_text(22, "Close");
    EXPECT_EQ(widget_get_text(22), "Close");
}

TEST_F(KindsTest, DigitsOnlyFieldRefusesLetters) {
    ASSERT_NE(text_field_create(30, 10, 10, 80, 22, "", TextDigitsOnly), 0);
    ASSERT_NE(text_field_create(31, 10, 40, 80, 22, "free", 0), 0);
    QWidget* digits = widget_qt(30);
    digits->setFocus();
    EXPECT_EQ(widget_events(), (Events{posted(30, 256)}));
    QTest::keyClicks(digits, "a");
    EXPECT_EQ(widget_get_text(30), "");
    EXPECT_TRUE(widget_events().empty());
    QTest::keyClicks(digits, "4x2");
    EXPECT_EQ(widget_get_text(30), "42");
    EXPECT_EQ(widget_events(), (Events{posted(30, 768)}));

    // The program may set any text, silently; the other field takes letters.
    widget_set_text(30, "12a");
    EXPECT_EQ(widget_get_text(30), "12a");
    EXPECT_TRUE(widget_events().empty());
    widget_qt(31)->setFocus();
    QTest::keyClick(widget_qt(31), Qt::Key_End);
    QTest::keyClicks(widget_qt(31), "y");
    EXPECT_EQ(widget_get_text(31), "freey");
    EXPECT_EQ(widget_events(), (Events{posted(30, 512), posted(31, 256), posted(31, 768)}));
}

TEST_F(KindsTest, ReadOnlyFieldAndDisabledButtonTakeNoInput) {
    ASSERT_NE(text_field_create(32, 10, 10, 200, 22, "morvane-tileset a b", TextReadOnly), 0);
    ASSERT_NE(button_create(22, 10, 100, 80, 24, "Save"), 0);
    QWidget* field = widget_qt(32);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, "xy");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(widget_get_text(32), "morvane-tileset a b");
    // The program still sets its text, shown from its start.
    widget_set_text(32, "morvane-tileset c d");
    EXPECT_EQ(widget_get_text(32), "morvane-tileset c d");
    EXPECT_EQ(static_cast<QLineEdit*>(field)->cursorPosition(), 0);

    EXPECT_EQ(widget_enabled(22), 1);
    widget_set_enabled(22, 0);
    EXPECT_EQ(widget_enabled(22), 0);
    widget_events();
    QTest::mouseClick(widget_qt(22), Qt::LeftButton);
    EXPECT_TRUE(widget_events().empty());
    widget_set_enabled(22, 1);
    QTest::mouseClick(widget_qt(22), Qt::LeftButton);
    // The click takes the focus from the field.
    EXPECT_EQ(widget_events(), (Events{posted(32, 512), posted(22, 0)}));
    EXPECT_EQ(widget_enabled(999), 0);
    widget_set_enabled(999, 1);  // no widget: nothing happens
}

TEST_F(KindsTest, TextAndFrameKeepTheirCaptions) {
    ASSERT_NE(text_create(50, 10, 10, 100, 20, "Width && Height & more"), 0);
    ASSERT_NE(frame_create(51, 5, 5, 200, 100, "Grid"), 0);
    EXPECT_EQ(widget_get_text(50), "Width && Height & more");
    EXPECT_EQ(widget_get_text(51), "Grid");
    widget_set_text(50, "Tile width");
    EXPECT_EQ(widget_get_text(50), "Tile width");
    EXPECT_EQ(widget_get_state(50), 0);
    EXPECT_TRUE(widget_events().empty());
}

}  // namespace
}  // namespace morvane
