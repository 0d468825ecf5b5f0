// Push button and check box: 0 on every click; a check box's state is 1 checked, 0 clear.
#include <QCheckBox>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

std::string caption(QWidget* w) {
    return ustr(static_cast<QAbstractButton*>(w)->text());
}

// A button or check box grows to show its whole caption; it keeps at least the width the
// program asked for.
void fit_caption(QAbstractButton* button) {
    const int wanted = button->property("morvane_width").toInt();
    int needed = button->sizeHint().width();
    if (qobject_cast<QPushButton*>(button)) {
        // A push button's size hint has a minimum width of the style's; only the caption
        // with the button's margins and frame counts here.
        const QStyle* style = button->style();
        needed = button->fontMetrics().horizontalAdvance(button->text()) +
                 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                      style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    }
    const int width = std::max(wanted, needed);
    if (width != button->width()) button->resize(width, button->height());
}

void set_caption(QWidget* w, const std::string& text) {
    auto* button = static_cast<QAbstractButton*>(w);
    button->setText(qstr(text));
    fit_caption(button);
}

void place(QWidget* w, int x, int y, int width, int height) {
    w->setProperty("morvane_width", std::max(width, 0));
    w->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    fit_caption(static_cast<QAbstractButton*>(w));
}

const WidgetOps kCheckOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t {
        return static_cast<QCheckBox*>(w)->isChecked() ? 1 : 0;
    };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        static_cast<QCheckBox*>(w)->setChecked(value != 0);
    };
    ops.get_text = caption;
    ops.set_text = set_caption;
    ops.resize = place;
    return ops;
}();

const WidgetOps kButtonOps = [] {
    WidgetOps ops;
    ops.get_text = caption;
    ops.set_text = set_caption;
    ops.resize = place;
    return ops;
}();

template <typename Button>
std::intptr_t make(ObjectNumber number, int kind, const WidgetOps* ops, int x, int y, int width, int height,
                   const std::string& text) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* button = new Button(qstr(text), parent);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button]() { widget_post(button, WidgetClicked); });
    const std::intptr_t result = widget_finish(number, kind, button, ops, x, y, width, height);
    if (result) place(button, x, y, width, height);
    return result;
}

}  // namespace

std::intptr_t check_box_create(ObjectNumber number, int x, int y, int width, int height,
                               const std::string& text) {
    return make<QCheckBox>(number, CheckBoxWidget, &kCheckOps, x, y, width, height, text);
}

std::intptr_t button_create(ObjectNumber number, int x, int y, int width, int height,
                            const std::string& text) {
    return make<QPushButton>(number, ButtonWidget, &kButtonOps, x, y, width, height, text);
}

}  // namespace morvane
