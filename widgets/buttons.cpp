// Push button and check box: 0 on every click; a check box's state is 1 checked, 0 clear.
#include <QCheckBox>
#include <QPushButton>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

std::string caption(QWidget* w) {
    return ustr(static_cast<QAbstractButton*>(w)->text());
}
void set_caption(QWidget* w, const std::string& text) {
    static_cast<QAbstractButton*>(w)->setText(qstr(text));
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
    return ops;
}();

const WidgetOps kButtonOps = [] {
    WidgetOps ops;
    ops.get_text = caption;
    ops.set_text = set_caption;
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
    return widget_finish(number, kind, button, ops, x, y, width, height);
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
