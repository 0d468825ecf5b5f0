// Drop-down list: state is the selected index (-1 when none), 768 on a user selection.
#include <QComboBox>
#include <QEvent>
#include <QStyle>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

// Height of the closed box: a 15-pixel selection field and its frame.
constexpr int kFieldHeight = 15 + 6;
constexpr int kItemHeight = 15;

// A drop-down list never narrower than its longest item needs: it grows when items are
// added or its font changes, and never below the width the program asked for.
class FittingComboBox : public QComboBox {
  public:
    using QComboBox::QComboBox;
    int requested_width = 0;

    void fit() {
        const int width = std::max(requested_width, needed_width());
        if (width != this->width()) resize(width, height());
    }

  private:
    // The longest item in the style's text field (which keeps a 1-pixel margin each side),
    // plus the frame and the arrow that the style puts around it.
    int needed_width() {
        if (count() == 0) return 0;
        const QFontMetrics fm = fontMetrics();
        int text = 0;
        for (int i = 0; i < count(); ++i) text = std::max(text, fm.horizontalAdvance(itemText(i)));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        return style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(text + 2, fm.height()), this).width();
    }

  protected:
    void changeEvent(QEvent* event) override {
        QComboBox::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) fit();
    }
};

// The requested height is that of the box with its list opened, as the list shows it; a
// height no taller than the closed box (a move that keeps the size) keeps the list's length.
void place(FittingComboBox* box, int x, int y, int width, int height) {
    box->requested_width = std::max(width, 0);
    box->setGeometry(x, y, box->requested_width, std::clamp(height, 0, kFieldHeight));
    if (height > kFieldHeight) box->setMaxVisibleItems(std::max(1, (height - kFieldHeight) / kItemHeight));
    box->fit();
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
        static_cast<FittingComboBox*>(box)->fit();
    };
    ops.resize = [](QWidget* w, int x, int y, int width, int height) {
        place(static_cast<FittingComboBox*>(w), x, y, width, height);
    };
    return ops;
}();

}  // namespace

std::intptr_t combo_box_create(ObjectNumber number, int x, int y, int width, int height) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* box = new FittingComboBox(parent);
    box->setEditable(false);
    box->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box](int) { widget_post(box, WidgetChanged); });
    std::intptr_t result = widget_finish(number, ComboBoxWidget, box, &kOps, x, y, width, height);
    if (result) place(box, x, y, width, height);
    return result;
}

void combo_box_set_item_enabled(ObjectNumber number, int index, int enabled) {
    auto* box = qobject_cast<QComboBox*>(widget_qt(number));
    auto* model = box ? qobject_cast<QStandardItemModel*>(box->model()) : nullptr;
    QStandardItem* item = model ? model->item(index) : nullptr;
    if (item) item->setEnabled(enabled != 0);
}

int combo_box_item_enabled(ObjectNumber number, int index) {
    auto* box = qobject_cast<QComboBox*>(widget_qt(number));
    auto* model = box ? qobject_cast<QStandardItemModel*>(box->model()) : nullptr;
    const QStandardItem* item = model ? model->item(index) : nullptr;
    return item && item->isEnabled() ? 1 : 0;
}

}  // namespace morvane
