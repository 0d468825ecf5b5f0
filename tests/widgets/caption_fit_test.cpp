// Combo boxes, check boxes and buttons show their whole captions: they grow to the text
// (measured with the widget's own font) and keep any larger width the program asked for.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include "widget_test_support.h"

namespace morvane {
namespace {

using CaptionFitTest = testing_support::WidgetWindowTest;

// The room the style gives a combo box's text: its edit field less the label's 1-pixel
// margins on each side.
int combo_text_room(QComboBox* box) {
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = false;
    opt.frame = true;
    opt.rect = box->rect();
    return box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width() - 2;
}

int check_text_room(QCheckBox* box) {
    QStyleOptionButton opt;
    opt.initFrom(box);
    opt.rect = box->rect();
    opt.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, box).width();
}

TEST_F(CaptionFitTest, ComboBoxesGrowToTheirLongestItem) {
    font_load(1, "Arial.ttf", 7);
    struct Case {
        int width;
        bool small_font;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {40, true, {"Brush", "Pencil", "Eraser"}},
        {50, true, {"Circle", "Box", "Ellipse", "Custom"}},
        {120, false, {"Smooth mode", "Hard mode"}},
        {20, false, {"Begining of the image", "End of the image"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items.front());
        ASSERT_NE(combo_box_create(50, 5, 5, c.width, 100), 0);
        for (std::size_t i = 0; i < c.items.size(); ++i) widget_add_item(50, static_cast<int>(i), c.items[i]);
        // The font comes after the items, as the editor gives it.
        if (c.small_font) widget_set_font(50, font_handle(1));
        auto* box = qobject_cast<QComboBox*>(widget_qt(50));
        ASSERT_NE(box, nullptr);
        const QFontMetrics fm(box->font());
        for (const std::string& item : c.items)
            EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(item)), combo_text_room(box)) << item;
        EXPECT_GE(box->width(), c.width);
        EXPECT_EQ(box->x(), 5);
        EXPECT_EQ(box->maxVisibleItems(), (100 - 21) / 15);
        // A move that keeps the size keeps the fitted width and the list's length.
        const int fitted = box->width();
        widget_resize(50, 30, KeepSize, KeepSize, KeepSize);
        EXPECT_EQ(box->geometry(), QRect(30, 5, fitted, 21));
        EXPECT_EQ(box->maxVisibleItems(), (100 - 21) / 15);
        widget_free(50);
    }
}

TEST_F(CaptionFitTest, WideRequestIsKept) {
    ASSERT_NE(combo_box_create(50, 5, 5, 300, 60), 0);
    widget_add_item(50, 0, "Box");
    EXPECT_EQ(widget_rect(50).width, 300);
    ASSERT_NE(check_box_create(51, 5, 40, 250, 20, "Keep Alpha"), 0);
    EXPECT_EQ(widget_rect(51).width, 250);
    EXPECT_EQ(widget_rect(51).x, 5);
    EXPECT_EQ(widget_rect(51).y, 40);
    EXPECT_EQ(widget_rect(51).height, 20);
    EXPECT_EQ(widget_rect(99).width, 0);  // no widget
}

TEST_F(CaptionFitTest, CheckBoxesAndButtonsGrowToTheirCaption) {
    struct Case {
        int width;
        std::string text;
        std::string later_text;
    };
    const Case cases[] = {
        {75, "Keep Alpha", "Keep Alpha and more"},
        {120, "Constraint proportion", "Constraint Proportion, long"},
        {130, "Constraint Proportion", "Create a New image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_NE(check_box_create(51, 10, 10, c.width, 20, c.text), 0);
        auto* box = qobject_cast<QCheckBox*>(widget_qt(51));
        ASSERT_NE(box, nullptr);
        const QFontMetrics fm(box->font());
        EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(c.text)), check_text_room(box));
        widget_set_text(51, c.later_text);
        EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(c.later_text)), check_text_room(box));
        EXPECT_GE(box->width(), c.width);

        ASSERT_NE(button_create(52, 10, 40, 30, 20, c.text), 0);
        auto* button = qobject_cast<QPushButton*>(widget_qt(52));
        ASSERT_NE(button, nullptr);
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.rect = button->rect();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
        EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(c.text)), room.width());
        widget_free(51);
        widget_free(52);
    }
}

}  // namespace
}  // namespace morvane
