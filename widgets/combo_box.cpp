// Drop-down list: state is the selected index (-1 when none), 768 on a user selection.
#include <QComboBox>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

// Height of the closed box: a 15-pixel selection field and its frame.
constexpr int kFieldHeight = 15 + 6;
constexpr int kItemHeight = 15;

// The requested height is that of the box with its list opened, as the list shows it.
void place(QComboBox* box, int x, int y, int width, int height) {
    box->setGeometry(x, y, std::max(width, 0), std::clamp(height, 0, kFieldHeight));
    box->setMaxVisibleItems(std::max(1, (height - kFieldHeight) / kItemHeight));
}

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t { return static_cast<QComboBox*>(w)->currentIndex(); };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        auto* box = static_cast<QComboBox*>(w);
        box->setCurrentIndex(value >= 0 && value < box->count() ? int(value) : -1);
    };
    ops.get_text = [](QWidget* w) { return ustr(static_cast<QComboBox*>(w)->currentText()); };
    ops.set_text = [](QWidget* w, const std::string& text) {
        // Selects the item with this text, as a drop-down list does.
        auto* box = static_cast<QComboBox*>(w);
        box->setCurrentIndex(box->findText(qstr(text), Qt::MatchFixedString));
    };
    ops.add_item = [](QWidget* w, int position, const std::string& text) {
        auto* box = static_cast<QComboBox*>(w);
        int selected = box->currentIndex();
        int at = position < 0 || position > box->count() ? box->count() : position;
        box->insertItem(at, qstr(text));
        // Adding an item never selects it; an existing selection follows its item.
        box->setCurrentIndex(selected < 0 ? -1 : (at <= selected ? selected + 1 : selected));
    };
    ops.resize = [](QWidget* w, int x, int y, int width, int height) {
        place(static_cast<QComboBox*>(w), x, y, width, height);
    };
    return ops;
}();

}  // namespace

std::intptr_t combo_box_create(ObjectNumber number, int x, int y, int width, int height) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* box = new QComboBox(parent);
    box->setEditable(false);
    box->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box](int) { widget_post(box, WidgetChanged); });
    std::intptr_t result = widget_finish(number, ComboBoxWidget, box, &kOps, x, y, width, height);
    if (result) place(box, x, y, width, height);
    return result;
}

}  // namespace morvane
