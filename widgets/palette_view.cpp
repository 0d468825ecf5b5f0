// The palette view widget: layout of the swatches, painting, and input turned into events.
#include "widgets/palette_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "shell/events.h"
#include "shell/widget_list.h"
#include "widgets/widget_common.h"

namespace morvane {
namespace {

constexpr int kLargestCell = 24, kSmallestCell = 8, kEdge = 2, kDragDistance = 4;

// What an event carries: the swatch and, for a move, where it goes.
struct PostedSwatch {
    static constexpr std::uint32_t kTag = 0x50616C65;
    std::uint32_t tag = kTag;
    ObjectNumber view = 0;
    int index = -1;
    int target = -1;
};

void release_posted(std::intptr_t data) {
    delete reinterpret_cast<PostedSwatch*>(data);
}

class PaletteView : public QWidget {
  public:
    explicit PaletteView(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(false);
    }

    std::vector<Color> colours;
    int marked = -1;

    // The largest cell (8..24 pixels) at which every swatch fits in the view's height.
    int cell() const {
        const int w = std::max(1, width() - 2 * kEdge), h = std::max(1, height() - 2 * kEdge);
        const int n = std::max<int>(1, static_cast<int>(colours.size()));
        for (int s = kLargestCell; s > kSmallestCell; --s) {
            const int columns = std::max(1, w / s);
            if ((n + columns - 1) / columns * s <= h) return s;
        }
        return kSmallestCell;
    }
    int columns() const { return std::max(1, (width() - 2 * kEdge) / cell()); }
    QRect swatch(int i) const {
        const int s = cell(), c = columns();
        return QRect(kEdge + (i % c) * s, kEdge + (i / c) * s, s - 1, s - 1);
    }
    // The swatch under a point, -1 for none.
    int at(QPoint p) const {
        const int s = cell(), c = columns();
        const int col = (p.x() - kEdge) / s, row = (p.y() - kEdge) / s;
        if (p.x() < kEdge || p.y() < kEdge || col >= c) return -1;
        const int i = row * c + col;
        return i < static_cast<int>(colours.size()) ? i : -1;
    }
    // The position a dragged swatch takes when dropped at a point: the cell under it, the
    // last one past the end.
    int drop_position(QPoint p) const {
        const int s = cell(), c = columns();
        const int col = std::clamp((p.x() - kEdge) / s, 0, c - 1);
        const int row = std::max(0, (p.y() - kEdge) / s);
        return std::clamp(row * c + col, 0, std::max(0, static_cast<int>(colours.size()) - 1));
    }

    void post(int subtype, int index, int target = -1) {
        const ObjectNumber number = widget_number_of(this);
        if (number == -1) return;
        auto* posted = new PostedSwatch;
        posted->view = number;
        posted->index = index;
        posted->target = target;
        event_post_data(WidgetEvent, number, window_of(this), subtype, reinterpret_cast<std::intptr_t>(posted),
                        release_posted, PostRepeated);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Mid));
        for (int i = 0; i < static_cast<int>(colours.size()); ++i) {
            const QRect r = swatch(i);
            const Color c = colours[std::size_t(i)];
            const int alpha = static_cast<int>(c >> 24);
            if (alpha < 255) {
                // Translucent swatches over a checkerboard of 4-pixel squares.
                painter.fillRect(r, QColor(255, 255, 255));
                for (int y = 0; y < r.height(); y += 4)
                    for (int x = (y / 4 % 2) * 4; x < r.width(); x += 8)
                        painter.fillRect(QRect(r.x() + x, r.y() + y, 4, 4) & r, QColor(204, 204, 204));
            }
            painter.fillRect(r, QColor(int(color_red(c)), int(color_green(c)), int(color_blue(c)), alpha));
        }
        if (marked >= 0 && marked < static_cast<int>(colours.size())) {
            const QRect r = swatch(marked);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(r.adjusted(-1, -1, 0, 0));
            painter.setPen(QPen(Qt::white, 1));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        if (dragging_ && target_ >= 0) {
            // The place the dragged swatch goes: a bar before (or after) that cell.
            const QRect r = swatch(target_);
            const int x = target_ > pressed_ ? r.right() + 1 : r.left() - 1;
            painter.fillRect(QRect(x - 1, r.top() - 1, 3, r.height() + 2), palette().color(QPalette::Highlight));
        }
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        pressed_ = at(event->position().toPoint());
        press_point_ = event->position().toPoint();
        dragging_ = false;
        if (pressed_ >= 0) post(SwatchClicked, pressed_);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (pressed_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
        const QPoint p = event->position().toPoint();
        if (!dragging_ && (p - press_point_).manhattanLength() < kDragDistance) return;
        dragging_ = true;
        target_ = drop_position(p);
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        if (dragging_ && pressed_ >= 0) {
            const int target = drop_position(event->position().toPoint());
            if (target != pressed_) post(SwatchMoved, pressed_, target);
        }
        dragging_ = false;
        pressed_ = target_ = -1;
        update();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const int i = at(event->position().toPoint());
        if (i >= 0) post(SwatchDoubleClicked, i);
    }
    // Delete and Backspace belong to the focused palette before the window's shortcuts (the
    // Edition menu's Delete clears the selection).
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
                event->accept();
                return true;
            }
        }
        return QWidget::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            post(SwatchDeleteKey, marked);
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }

  private:
    int pressed_ = -1, target_ = -1;
    bool dragging_ = false;
    QPoint press_point_;
};

PaletteView* view_of(ObjectNumber number) {
    return widget_kind(number) == PaletteViewKind ? static_cast<PaletteView*>(widget_qt(number)) : nullptr;
}

const PostedSwatch* current_posted(const QWidget* w) {
    const ObjectNumber number = widget_number_of(w);
    if (event_source() != number) return nullptr;
    auto* posted = reinterpret_cast<const PostedSwatch*>(event_data());
    if (!posted || posted->tag != PostedSwatch::kTag || posted->view != number) return nullptr;
    return posted;
}

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t { return static_cast<PaletteView*>(w)->marked; };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        auto* view = static_cast<PaletteView*>(w);
        view->marked = value >= 0 && value < static_cast<std::int64_t>(view->colours.size()) ? int(value) : -1;
        view->update();
    };
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        auto* view = static_cast<PaletteView*>(w);
        const PostedSwatch* posted = current_posted(w);
        switch (static_cast<PaletteAttribute>(attribute)) {
            case PaletteAttribute::Index:
                return posted ? posted->index : -1;
            case PaletteAttribute::Target:
                return posted ? posted->target : -1;
            case PaletteAttribute::Count:
                return static_cast<std::int64_t>(view->colours.size());
            case PaletteAttribute::CellSize:
                return view->cell();
            case PaletteAttribute::Columns:
                return view->columns();
        }
        return 0;
    };
    return ops;
}();

}  // namespace

std::intptr_t palette_view_create(ObjectNumber number, int x, int y, int width, int height) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    return widget_finish(number, PaletteViewKind, new PaletteView(parent), &kOps, x, y, width, height);
}

bool palette_view_set_colours(ObjectNumber number, const std::vector<Color>& colours) {
    PaletteView* view = view_of(number);
    if (!view) return false;
    view->colours = colours;
    if (view->marked >= static_cast<int>(colours.size())) view->marked = -1;
    view->update();
    return true;
}

std::vector<Color> palette_view_colours(ObjectNumber number) {
    PaletteView* view = view_of(number);
    return view ? view->colours : std::vector<Color>{};
}

WidgetRect palette_view_swatch_rect(ObjectNumber number, int index) {
    PaletteView* view = view_of(number);
    if (!view || index < 0 || index >= static_cast<int>(view->colours.size())) return {};
    const QRect r = view->swatch(index);
    return WidgetRect{r.x(), r.y(), r.width(), r.height()};
}

}  // namespace morvane
