// Numeric field with up and down arrows. The arrows move the value by one step at once and
// report 4 (up) or 5 (down); typing in the field reports 768.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

// Leading blanks, an optional sign and decimal digits; `ok` is false when there are none.
std::int64_t parse_number(const QString& text, bool* ok) {
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint64_t value = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + std::uint64_t(text[i].unicode() - '0');
    }
    *ok = digits > 0;
    return static_cast<std::int64_t>(negative ? 0 - value : value);
}

class Spin : public QAbstractSpinBox {
  public:
    Spin(QWidget* parent, std::int64_t minimum, std::int64_t maximum, int flags)
        : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum), flags_(flags) {
        value_ = minimum_;
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setKeyboardTracking(true);
        lineEdit()->setReadOnly((flags & SpinReadOnly) != 0);
        show_value();
        QObject::connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
            bool ok = false;
            std::int64_t typed = parse_number(text, &ok);
            if (ok) value_ = typed;
            widget_post(this, WidgetChanged);
        });
    }

    std::int64_t value() const { return value_; }
    QLineEdit* field() const { return lineEdit(); }
    void set_value(std::int64_t value) {
        value_ = std::clamp(value, minimum_, maximum_);
        show_value();
    }
    std::int64_t limit(int which) const { return which == 1 ? minimum_ : maximum_; }
    void set_limit(int which, std::int64_t value) {
        (which == 1 ? minimum_ : maximum_) = value;
        if (minimum_ > maximum_) std::swap(minimum_, maximum_);
        set_value(value_);
    }

    void stepBy(int steps) override {
        if (steps == 0) return;
        std::int64_t moved = 0;
        if (__builtin_add_overflow(value_, steps, &moved)) moved = steps > 0 ? maximum_ : minimum_;
        value_ = std::clamp(moved, minimum_, maximum_);
        if (flags_ & SpinNumeric) show_value();
        widget_post(this, steps > 0 ? SpinUp : SpinDown);
    }

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
    // The field keeps what was typed; no reformatting when the focus leaves.
    void fixup(QString&) const override {}
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }

  private:
    void show_value() { lineEdit()->setText(QString::number(value_)); }

    std::int64_t minimum_;
    std::int64_t maximum_;
    std::int64_t value_;
    int flags_;
};

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) { return static_cast<Spin*>(w)->value(); };
    ops.set_state = [](QWidget* w, std::int64_t value) { static_cast<Spin*>(w)->set_value(value); };
    ops.get_text = [](QWidget* w) { return ustr(static_cast<Spin*>(w)->field()->text()); };
    ops.set_text = [](QWidget* w, const std::string& text) {
        auto* spin = static_cast<Spin*>(w);
        bool ok = false;
        std::int64_t value = parse_number(qstr(text), &ok);
        if (ok) spin->set_value(value);
        spin->field()->setText(qstr(text));
    };
    // Attribute 1 is the minimum, 2 the maximum.
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        return attribute == 1 || attribute == 2 ? static_cast<Spin*>(w)->limit(attribute) : 0;
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        if (attribute == 1 || attribute == 2) static_cast<Spin*>(w)->set_limit(attribute, value);
    };
    return ops;
}();

}  // namespace

std::intptr_t spin_create(ObjectNumber number, int x, int y, int width, int height, std::int64_t minimum,
                          std::int64_t maximum, int flags) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    if (minimum > maximum) std::swap(minimum, maximum);
    auto* spin = new Spin(parent, minimum, maximum, flags);
    return widget_finish(number, SpinWidget, spin, &kOps, x, y, width, height);
}

}  // namespace morvane
