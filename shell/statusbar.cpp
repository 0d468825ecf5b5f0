// Status bars: numbered bars of text fields whose layout follows the window's width.
#include "shell/statusbar.h"

#include <QPainter>
#include <QStyleOptionFrame>
#include <map>

#include "shell/shell_window.h"
#include "shell/statusbar_widget.h"
#include "shell/window.h"

namespace morvane {

StatusBarWidget::StatusBarWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int StatusBarWidget::bar_height() const {
    return std::max(18, fontMetrics().height() + 6);
}

void StatusBarWidget::add_field(int width) {
    if (fields_.size() >= MaxFields) return;
    fields_.push_back(Field{width, 0, {}});
    update();
}

void StatusBarWidget::set_text(int field, const QString& text, int flags) {
    if (field < 0 || field >= static_cast<int>(fields_.size())) return;
    fields_[field].text = text;
    fields_[field].flags = flags;
    update();
}

void StatusBarWidget::fit_field(int field, int min_width) {
    if (field < 0 || field >= static_cast<int>(fields_.size()) || fields_[field].width == FillWidth) return;
    const int wanted = std::max(min_width, fontMetrics().horizontalAdvance(fields_[field].text) + 12);
    if (fields_[field].width == wanted) return;
    fields_[field].width = wanted;
    update();
}

bool StatusBarWidget::has_size_grip() const {
    auto* window = dynamic_cast<ShellWindow*>(this->window());
    return window && (window->flags() & SizableFrame) && !window->isMaximized();
}

std::vector<int> StatusBarWidget::field_ends() const {
    int usable = width();
    if (has_size_grip()) usable -= bar_height() - 3;
    int fixed = 0, shared = 0;
    for (const Field& f : fields_) {
        if (f.width == FillWidth)
            ++shared;
        else
            fixed += f.width;
    }
    const int share = shared ? std::max(0, usable - fixed) / shared : 0;
    std::vector<int> ends;
    int x = 0;
    for (const Field& f : fields_) {
        x += f.width == FillWidth ? share : f.width;
        ends.push_back(x);
    }
    return ends;
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const std::vector<int> ends = field_ends();
    int left = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const Field& f = fields_[i];
        const QRect cell(left, 2, ends[i] - left - 2, height() - 2);
        left = ends[i];
        if (cell.width() <= 0) continue;
        if (!(f.flags & StatusBorderless)) {
            const QColor dark = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
            const bool raised = f.flags & StatusRaised;
            p.setPen(raised ? light : dark);
            p.drawLine(cell.topLeft(), cell.topRight());
            p.drawLine(cell.topLeft(), cell.bottomLeft());
            p.setPen(raised ? dark : light);
            p.drawLine(cell.bottomLeft(), cell.bottomRight());
            p.drawLine(cell.topRight(), cell.bottomRight());
        }
        int align = Qt::AlignLeft;
        if (f.flags & StatusCentered) align = Qt::AlignHCenter;
        if (f.flags & StatusRight) align = Qt::AlignRight;
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(cell.adjusted(3, 0, -3, 0), align | Qt::AlignVCenter | Qt::TextSingleLine, f.text);
    }
}

namespace {

struct StatusBarRecord {
    ObjectNumber window = -1;
    StatusBarWidget* widget = nullptr;
};

struct StatusBars {
    std::map<ObjectNumber, StatusBarRecord> table;
    ObjectNumber last = -1;
};

StatusBars& bars() {
    static StatusBars b;
    return b;
}

StatusBarWidget* bar(ObjectNumber number) {
    auto it = bars().table.find(number);
    return it == bars().table.end() ? nullptr : it->second.widget;
}

}  // namespace

int statusbar_create(ObjectNumber number, std::intptr_t window_handle) {
    ShellWindow* window = shell_window_from_handle(window_handle);
    if (!window) return 0;
    statusbar_free(number);
    // One bar per window: a second bar replaces the first.
    for (auto it = bars().table.begin(); it != bars().table.end(); ++it) {
        if (it->second.window == window->number()) {
            statusbar_free(it->first);
            break;
        }
    }
    auto* widget = new StatusBarWidget(window);
    window->set_status_bar(widget);
    bars().table[number] = StatusBarRecord{window->number(), widget};
    bars().last = number;
    return 1;
}

void statusbar_fit_field(ObjectNumber number, int field, int min_width) {
    if (StatusBarWidget* b = bar(number)) b->fit_field(field, min_width);
}

void statusbar_add_field(int width) {
    if (StatusBarWidget* b = bar(bars().last)) b->add_field(width);
}

void statusbar_set_text(ObjectNumber number, int field, const std::string& text, int flags) {
    if (StatusBarWidget* b = bar(number)) b->set_text(field, QString::fromStdString(text), flags);
}

void statusbar_free(ObjectNumber number) {
    auto it = bars().table.find(number);
    if (it == bars().table.end()) return;
    if (ShellWindow* w = shell_window(it->second.window)) {
        if (w->status_bar() == it->second.widget) w->set_status_bar(nullptr);
    }
    bars().table.erase(it);
}

void statusbars_forget_window(ObjectNumber window) {
    std::erase_if(bars().table, [window](const auto& entry) { return entry.second.window == window; });
}

int statusbar_field_count(ObjectNumber number) {
    StatusBarWidget* b = bar(number);
    return b ? static_cast<int>(b->fields().size()) : 0;
}

int statusbar_field_end(ObjectNumber number, int field) {
    StatusBarWidget* b = bar(number);
    if (!b || field < 0 || field >= static_cast<int>(b->fields().size())) return -1;
    return b->field_ends()[field];
}

std::string statusbar_text(ObjectNumber number, int field) {
    StatusBarWidget* b = bar(number);
    if (!b || field < 0 || field >= static_cast<int>(b->fields().size())) return {};
    return b->fields()[field].text.toStdString();
}

}  // namespace morvane
