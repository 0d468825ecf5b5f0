// The one widget table of the program and the operations that go through it.
#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <unordered_map>

#include "shell/events.h"
#include "shell/widget_list.h"
#include "widgets/widget.h"
#include "widgets/widget_common.h"

namespace morvane {
namespace {

struct WidgetRecord {
    int kind = 0;
    QPointer<QWidget> widget;
    const WidgetOps* ops = nullptr;
    QMetaObject::Connection destroyed;
};

std::map<ObjectNumber, WidgetRecord>& table() {
    static std::map<ObjectNumber, WidgetRecord> records;
    return records;
}

std::unordered_map<const QWidget*, ObjectNumber>& numbers() {
    static std::unordered_map<const QWidget*, ObjectNumber> by_widget;
    return by_widget;
}

const WidgetRecord* find(ObjectNumber number) {
    auto it = table().find(number);
    if (it == table().end() || it->second.widget.isNull()) return nullptr;
    return &it->second;
}

// Drops the entry without touching the widget.
void forget(ObjectNumber number) {
    auto it = table().find(number);
    if (it == table().end()) return;
    QObject::disconnect(it->second.destroyed);
    numbers().erase(it->second.widget.data());
    table().erase(it);
}

}  // namespace

ObjectNumber widget_register(ObjectNumber number, int kind, QWidget* widget, const WidgetOps* ops) {
    if (!widget) return 0;
    if (number == -1) {
        number = reinterpret_cast<ObjectNumber>(widget);
    } else {
        widget_free(number);
    }
    WidgetRecord record;
    record.kind = kind;
    record.widget = widget;
    record.ops = ops;
    // A widget destroyed with its window leaves the table with it.
    record.destroyed = QObject::connect(widget, &QObject::destroyed, [number, widget]() {
        auto it = table().find(number);
        if (it != table().end() && it->second.widget.data() == nullptr) table().erase(it);
        auto n = numbers().find(widget);
        if (n != numbers().end() && n->second == number) numbers().erase(n);
    });
    table()[number] = record;
    numbers()[widget] = number;
    return number;
}

void widget_unregister(ObjectNumber number) {
    forget(number);
}

QWidget* widget_qt(ObjectNumber number) {
    const WidgetRecord* record = find(number);
    return record ? record->widget.data() : nullptr;
}

ObjectNumber widget_number_of(const QWidget* widget) {
    auto it = numbers().find(widget);
    return it == numbers().end() ? -1 : it->second;
}

void widget_post(const QWidget* widget, std::int64_t subtype) {
    ObjectNumber number = widget_number_of(widget);
    if (number == -1) return;
    event_post(WidgetEvent, number, window_of(widget), subtype);
}

int widget_kind(ObjectNumber number) {
    const WidgetRecord* record = find(number);
    return record ? record->kind : 0;
}

void widget_free(ObjectNumber number) {
    const WidgetRecord* record = find(number);
    if (!record) {
        forget(number);
        return;
    }
    QWidget* widget = record->widget.data();
    forget(number);
    widget_list_forget(widget);
    delete widget;
}

void widgets_free_all() {
    while (!table().empty()) widget_free(table().begin()->first);
    fonts_free_all();
}

std::int64_t widget_get_state(ObjectNumber number) {
    const WidgetRecord* r = find(number);
    if (!r || !r->ops || !r->ops->get_state) return 0;
    return r->ops->get_state(r->widget);
}

void widget_set_state(ObjectNumber number, std::int64_t value) {
    const WidgetRecord* r = find(number);
    if (!r || !r->ops || !r->ops->set_state) return;
    PostingSuspended quiet;
    r->ops->set_state(r->widget, value);
}

std::string widget_get_text(ObjectNumber number) {
    const WidgetRecord* r = find(number);
    if (!r) return {};
    if (r->ops && r->ops->get_text) return r->ops->get_text(r->widget);
    return r->widget->windowTitle().toStdString();
}

void widget_set_text(ObjectNumber number, const std::string& text) {
    const WidgetRecord* r = find(number);
    if (!r) return;
    PostingSuspended quiet;
    if (r->ops && r->ops->set_text) {
        r->ops->set_text(r->widget, text);
    } else {
        r->widget->setWindowTitle(QString::fromStdString(text));
    }
}

void widget_add_item(ObjectNumber number, int position, const std::string& text) {
    const WidgetRecord* r = find(number);
    if (!r || !r->ops || !r->ops->add_item) return;
    PostingSuspended quiet;
    r->ops->add_item(r->widget, position, text);
}

std::int64_t widget_get_attribute(ObjectNumber number, int attribute) {
    const WidgetRecord* r = find(number);
    if (!r || !r->ops || !r->ops->get_attribute) return 0;
    return r->ops->get_attribute(r->widget, attribute);
}

void widget_set_attribute(ObjectNumber number, int attribute, std::int64_t value) {
    const WidgetRecord* r = find(number);
    if (!r || !r->ops || !r->ops->set_attribute) return;
    PostingSuspended quiet;
    r->ops->set_attribute(r->widget, attribute, value);
}

void widget_set_tooltip(ObjectNumber number, const std::string& text) {
    if (QWidget* w = widget_qt(number)) w->setToolTip(QString::fromStdString(text));
}

void widget_set_focus(ObjectNumber number) {
    const WidgetRecord* r = find(number);
    if (!r) return;
    if (r->ops && r->ops->set_focus) {
        r->ops->set_focus(r->widget);
    } else {
        r->widget->setFocus(Qt::OtherFocusReason);
    }
}

void widget_set_enabled(ObjectNumber number, int enabled) {
    if (QWidget* w = widget_qt(number)) w->setEnabled(enabled != 0);
}

int widget_enabled(ObjectNumber number) {
    const QWidget* w = widget_qt(number);
    return w && w->isEnabled() ? 1 : 0;
}

ObjectNumber widget_focused() {
    // The focus may sit in a part of a widget (the field of a combo box or spin).
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        ObjectNumber number = widget_number_of(w);
        if (number != -1) return number;
        if (w->isWindow()) break;
    }
    return -1;
}

void widget_resize(ObjectNumber number, int x, int y, int width, int height) {
    const WidgetRecord* r = find(number);
    if (!r) return;
    QRect g = r->widget->geometry();
    int nx = x == KeepSize ? g.x() : x;
    int ny = y == KeepSize ? g.y() : y;
    int nw = width == KeepSize ? g.width() : width;
    int nh = height == KeepSize ? g.height() : height;
    if (r->ops && r->ops->resize) {
        r->ops->resize(r->widget, nx, ny, nw, nh);
    } else {
        r->widget->setGeometry(nx, ny, std::max(nw, 0), std::max(nh, 0));
    }
    r->widget->update();
}

WidgetRect widget_rect(ObjectNumber number) {
    const WidgetRecord* r = find(number);
    if (!r) return {};
    const QRect g = r->widget->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

}  // namespace morvane
