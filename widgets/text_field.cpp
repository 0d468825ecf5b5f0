// One-line text field: 768 on every change of its text by the user, 256 / 512 when it gains
// or loses the keyboard focus; flags 0x2000 admit digits only.
#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

class TextField : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        widget_post(this, FieldFocusGained);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        widget_post(this, FieldFocusLost);
    }
};

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget* w) { return ustr(static_cast<QLineEdit*>(w)->text()); };
    ops.set_text = [](QWidget* w, const std::string& text) {
        auto* field = static_cast<QLineEdit*>(w);
        field->setText(qstr(text));
        // A read-only line is read from its start.
        if (field->isReadOnly()) field->setCursorPosition(0);
    };
    return ops;
}();

}  // namespace

std::intptr_t text_field_create(ObjectNumber number, int x, int y, int width, int height,
                                const std::string& text, int flags) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* field = new TextField(parent);
    field->setFocusPolicy(Qt::StrongFocus);
    if ((flags & TextDigitsOnly) == TextDigitsOnly) {
        // Typing refuses anything but the digits 0-9; the program may still set any text.
        field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), field));
    }
    field->setReadOnly((flags & TextReadOnly) == TextReadOnly);
    field->setText(qstr(text));
    field->setCursorPosition(0);
    QObject::connect(field, &QLineEdit::textChanged, field, [field]() { widget_post(field, WidgetChanged); });
    return widget_finish(number, TextFieldWidget, field, &kOps, x, y, width, height);
}

}  // namespace morvane
