// The editor right after start-up: windows, widgets, menu check, status texts, images and
// the first picture on the canvas.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QStyleOptionComboBox>

#include "editor_fixture.h"
#include "shell/menu.h"
#include "shell/statusbar.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

using StartupTest = EditorFixture;

TEST_F(StartupTest, MainWindowWidgetsAndTheirPlaces) {
    EXPECT_NE(window_handle(MainWindow), 0);
    EXPECT_EQ(window_inner_width(MainWindow), 800);
    EXPECT_EQ(window_inner_height(MainWindow), 600);

    struct Expected {
        ObjectNumber number;
        int kind, x, y, w, h;
    };
    // The brush controls keep their order, top and height and at least their width; they
    // move right as far as the captions before them grew.
    const Expected row[] = {
        {14, ComboBoxWidget, 5, 5, 40, 20}, {12, ComboBoxWidget, 48, 5, 50, 20}, {11, SpinWidget, 100, 5, 50, 20},
        {13, TrackbarWidget, 155, 5, 100, 20}, {15, CheckBoxWidget, 260, 5, 75, 20},
    };
    int right = 0;
    for (const Expected& e : row) {
        SCOPED_TRACE(e.number);
        EXPECT_EQ(widget_kind(e.number), e.kind);
        const WidgetRect r = widget_rect(e.number);
        EXPECT_GE(r.x, e.x);
        EXPECT_GT(r.x, right);
        EXPECT_EQ(r.y, e.y);
        EXPECT_EQ(r.height, e.h);
        EXPECT_GE(r.width, e.w);
        right = r.x + r.width - 1;
    }
    EXPECT_LT(right, 800);
    const Expected widgets[] = {
        {3, ImageButtonWidget, 5, 50, 25, 25},
        {4, ImageButtonWidget, 31, 50, 25, 25},  {5, ImageButtonWidget, 5, 79, 25, 25},
        {6, ImageButtonWidget, 31, 79, 25, 25},  {7, ImageButtonWidget, 5, 108, 25, 25},
        {9, ImageButtonWidget, 31, 108, 25, 25}, {8, ImageButtonWidget, 5, 137, 25, 25},
        {2, ImageButtonWidget, 5, 166, 30, 30},  {10, ImageWidget, 5, 201, 48, 48},
    };
    for (const Expected& e : widgets) {
        SCOPED_TRACE(e.number);
        EXPECT_EQ(widget_kind(e.number), e.kind);
        ASSERT_NE(widget_qt(e.number), nullptr);
        EXPECT_EQ(widget_qt(e.number)->geometry(), QRect(e.x, e.y, e.w, e.h));
    }
    EXPECT_EQ(widget_kind(0), ScrollAreaWidget);
    EXPECT_EQ(widget_kind(1), CanvasWidget);
    // Created at 336 x 336; the window's first size event may already have fitted it to
    // 606 x 500 (the client area less the margins and the palette panel).
    EXPECT_EQ(widget_qt(0)->pos(), QPoint(60, 50));
    EXPECT_TRUE(widget_qt(0)->size() == QSize(336, 336) || widget_qt(0)->size() == QSize(606, 500))
        << widget_qt(0)->width() << "x" << widget_qt(0)->height();
    // The canvas fills the scroll area's visible part (its inner window), the picture in its
    // middle.
    const QRect inner(0, 0, int(widget_get_attribute(0, 1)), int(widget_get_attribute(0, 2)));
    EXPECT_EQ(inner.size(), static_cast<QAbstractScrollArea*>(widget_qt(0))->viewport()->size());
    EXPECT_EQ(widget_qt(1)->geometry(), inner);
    EXPECT_EQ(view_on_canvas(), centred(256, 256));

    auto* tools = qobject_cast<QComboBox*>(widget_qt(14));
    ASSERT_NE(tools, nullptr);
    ASSERT_EQ(tools->count(), 3);
    EXPECT_EQ(tools->itemText(0), "Brush");
    EXPECT_EQ(tools->itemText(1), "Pencil");
    EXPECT_EQ(tools->itemText(2), "Eraser");
    auto* tips = qobject_cast<QComboBox*>(widget_qt(12));
    ASSERT_NE(tips, nullptr);
    ASSERT_EQ(tips->count(), 4);
    EXPECT_EQ(tips->itemText(0), "Circle");
    EXPECT_EQ(tips->itemText(3), "Custom");
    EXPECT_EQ(widget_qt(11)->toolTip(), "Size of the brush");
    EXPECT_EQ(widget_qt(13)->toolTip(), "Transparence of the brush");
    EXPECT_EQ(widget_get_text(15), "Keep Alpha");
}

TEST_F(StartupTest, InitialStatesFollowTheDefaults) {
    EXPECT_EQ(widget_get_state(3), 1);
    for (ObjectNumber n : {4, 5, 6, 7, 9}) EXPECT_EQ(widget_get_state(n), 0) << n;
    EXPECT_EQ(widget_get_state(11), 20);
    EXPECT_EQ(widget_get_state(13), 255);
    EXPECT_EQ(widget_get_state(12), 0);
    EXPECT_EQ(widget_get_state(14), 0);
    EXPECT_EQ(widget_get_state(15), 0);
    EXPECT_EQ(widget_get_attribute(1, 7), 1);  // cross-hair
    EXPECT_EQ(state_.tools.current_tool, 3);
    EXPECT_EQ(state_.view.zoom, 100);
    EXPECT_EQ(state_.tools.brush_color, 0xFF000000u);
    EXPECT_EQ(menu_item_checked(0, 70), 1);
}

TEST_F(StartupTest, StatusBarFieldsAndTexts) {
    ASSERT_EQ(statusbar_field_count(0), 4);
    EXPECT_EQ(statusbar_field_end(0, 0), 100);
    EXPECT_EQ(statusbar_field_end(0, 1), 250);
    EXPECT_EQ(statusbar_field_end(0, 2), 350);
    EXPECT_EQ(statusbar_field_end(0, 3), 450);
    EXPECT_EQ(statusbar_text(0, 0), "Zoom : 100 %");
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 256/256");
    EXPECT_EQ(statusbar_text(0, 2).rfind("Mouse : ", 0), 0u);
    EXPECT_EQ(statusbar_text(0, 3), "");
}

TEST_F(StartupTest, ImagesOfTheDocumentAndThePanel) {
    const int icon_sizes[] = {24, 24, 16, 16, 16, 24, 16};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(image_width(i), icon_sizes[i]) << i;
        EXPECT_EQ(image_height(i), icon_sizes[i]) << i;
    }
    EXPECT_EQ(image_width(ColorSwatchImage), 25);
    EXPECT_EQ(image_record(ColorSwatchImage)->depth, 24);
    EXPECT_EQ(image_width(BrushImage), 20);
    EXPECT_EQ(image_width(BrushPreviewImage), 48);
    EXPECT_EQ(image_height(BrushPreviewImage), 48);
    EXPECT_EQ(state_.document.width(), 256);
    EXPECT_EQ(state_.document.height(), 256);
    EXPECT_EQ(state_.document.record().depth, 32);
    // The picture is held once: no other image of its size or of the view's.
    for (ObjectNumber n : {7, 11, 16}) EXPECT_EQ(image_exists(n), 0) << n;
    // The picture starts fully transparent.
    EXPECT_EQ(pixel(DocumentImage, 0, 0), 0u);
    EXPECT_EQ(pixel(DocumentImage, 255, 255), 0u);
    // The default tip: a black circle of radius 9 centred on (10, 10).
    EXPECT_EQ(pixel(BrushImage, 10, 10), 0xFF000000u);
    EXPECT_EQ(pixel(BrushImage, 1, 10), 0xFF000000u);
    EXPECT_EQ(pixel(BrushImage, 0, 10) >> 24, 0u);
    EXPECT_EQ(pixel(BrushImage, 0, 0) >> 24, 0u);
}

TEST_F(StartupTest, CanvasShowsCheckerboardAndGrid) {
    const Color white = rgb(255, 255, 255), grey = rgb(192, 192, 192), black = 0;
    auto on_line = [](int v) { return v % 32 == 0 || v == 255; };
    for (int y : {3, 17, 100, 254}) {
        for (int x = 0; x < 256; ++x) {
            const Color expected =
                on_line(x) || on_line(y) ? black : ((x / 16 + y / 16) % 2 == 0 ? white : grey);
            ASSERT_EQ(canvas_pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(StartupTest, CanvasHoldsTheFocus) {
    EXPECT_EQ(widget_focused(), 1);
}

TEST_F(StartupTest, ToolPanelShowsWholeCaptionsAndNamesEveryTool) {
    // Each item of the two small-font combo boxes fits the box's text field.
    for (const ObjectNumber number : {14, 12}) {
        auto* box = qobject_cast<QComboBox*>(widget_qt(number));
        ASSERT_NE(box, nullptr);
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        opt.rect = box->rect();
        const int room =
            box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width() - 2;
        const QFontMetrics fm(box->font());
        for (int i = 0; i < box->count(); ++i) EXPECT_LE(fm.horizontalAdvance(box->itemText(i)), room) << number;
    }
    auto* keep = qobject_cast<QCheckBox*>(widget_qt(15));
    ASSERT_NE(keep, nullptr);
    EXPECT_LE(keep->fontMetrics().horizontalAdvance("Keep Alpha") + 20, keep->width());

    const std::pair<ObjectNumber, const char*> tips[] = {
        {3, "Brush (B)"}, {4, "Line (L)"}, {5, "Box (U)"}, {6, "Ellipse (Shift+U)"}, {7, "Fill (G)"}, {9, "Eraser (E)"},
    };
    for (const auto& [button, tip] : tips) {
        ASSERT_NE(widget_qt(button), nullptr);
        EXPECT_EQ(widget_qt(button)->toolTip(), tip);
    }
    EXPECT_FALSE(widget_qt(8)->toolTip().isEmpty());
    EXPECT_FALSE(widget_qt(2)->toolTip().isEmpty());
}

}  // namespace
}  // namespace morvane::testing
