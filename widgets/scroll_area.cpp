// Scroll area: an outer window with scroll bars onto an inner window of a set size, or, in
// viewport mode, scroll bars over a content that nothing holds (the owner draws the visible
// part). Attributes: see ScrollAreaAttribute. Widgets created after it go into the inner
// window until widget_list_close().
#include <QCoreApplication>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "shell/widget_list.h"
#include "widgets/widget_common.h"

namespace morvane {
namespace {

int clamp_int(std::int64_t value, int low, int high) {
    return int(std::clamp<std::int64_t>(value, low, high));
}

class ScrollAreaView : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;

    /// The inner window, also once viewport mode has taken it out of QScrollArea's hands.
    QWidget* inner() const { return inner_ ? inner_ : widget(); }
    bool viewport_mode() const { return inner_ != nullptr; }
    int content_width() const { return content_width_; }
    int content_height() const { return content_height_; }

    void set_content(int width, int height) {
        if (!inner_) {
            // A new inner window, a plain child of the viewport sized to it, takes the old
            // one's widgets and its widget list; with no widget of its own QScrollArea leaves
            // the bars' ranges to us.
            QWidget* old = widget();
            inner_ = new QWidget(viewport());
            inner_->show();
            for (QWidget* child : old->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                child->setParent(inner_);
                child->show();
            }
            if (widget_list_parent() == old) widget_list_open(this, inner_);
            delete old;
            setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
                QObject::connect(bar, &QScrollBar::valueChanged, this,
                                 [this](int) { widget_post(this, WidgetScrolled); });
            }
        }
        content_width_ = std::max(width, 0);
        content_height_ = std::max(height, 0);
        fit();
    }

    /// Lays the viewport out now (a hidden window gets its resize events only when shown),
    /// then fits the inner window and the ranges to it.
    void refresh() {
        QResizeEvent event(size(), size());
        QCoreApplication::sendEvent(this, &event);
        if (!inner_) {
            // Setting the (unchanged) resizing mode is what recomputes the ranges.
            setWidgetResizable(false);
            return;
        }
        fit();
    }

  protected:
    bool viewportEvent(QEvent* event) override {
        if (inner_ && event->type() == QEvent::Resize) fit();
        return QScrollArea::viewportEvent(event);
    }

  private:
    void fit() {
        if (!inner_) return;
        const QSize visible = viewport()->size();
        inner_->setGeometry(0, 0, visible.width(), visible.height());
        horizontalScrollBar()->setPageStep(std::max(visible.width(), 1));
        verticalScrollBar()->setPageStep(std::max(visible.height(), 1));
        horizontalScrollBar()->setRange(0, std::max(content_width_ - visible.width(), 0));
        verticalScrollBar()->setRange(0, std::max(content_height_ - visible.height(), 0));
    }

    QWidget* inner_ = nullptr;
    int content_width_ = 0, content_height_ = 0;
};

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        auto* area = static_cast<ScrollAreaView*>(w);
        switch (attribute) {
            case ScrollInnerWidth:
                return area->inner()->width();
            case ScrollInnerHeight:
                return area->inner()->height();
            case ScrollX:
                return area->horizontalScrollBar()->value();
            case ScrollY:
                return area->verticalScrollBar()->value();
            case ScrollStep:
                return area->verticalScrollBar()->singleStep();
            case ScrollVisibleWidth:
                return area->viewport()->width();
            case ScrollVisibleHeight:
                return area->viewport()->height();
            case ScrollContentWidth:
                return area->content_width();
            case ScrollContentHeight:
                return area->content_height();
            default:
                return 0;
        }
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        auto* area = static_cast<ScrollAreaView*>(w);
        QWidget* inner = area->inner();
        switch (attribute) {
            case ScrollInnerWidth:
                if (area->viewport_mode()) break;  // the inner window follows the viewport
                inner->resize(clamp_int(value, 1, QWIDGETSIZE_MAX), inner->height());
                area->refresh();
                break;
            case ScrollInnerHeight:
                if (area->viewport_mode()) break;
                inner->resize(inner->width(), clamp_int(value, 1, QWIDGETSIZE_MAX));
                area->refresh();
                break;
            case ScrollX:
                area->refresh();
                area->horizontalScrollBar()->setValue(clamp_int(value, INT32_MIN, INT32_MAX));
                break;
            case ScrollY:
                area->refresh();
                area->verticalScrollBar()->setValue(clamp_int(value, INT32_MIN, INT32_MAX));
                break;
            case ScrollStep: {
                int step = clamp_int(value, 1, INT32_MAX);
                area->horizontalScrollBar()->setSingleStep(step);
                area->verticalScrollBar()->setSingleStep(step);
                break;
            }
            case ScrollContentWidth:
                area->set_content(clamp_int(value, 0, INT32_MAX), area->content_height());
                break;
            case ScrollContentHeight:
                area->set_content(area->content_width(), clamp_int(value, 0, INT32_MAX));
                break;
            default:
                break;
        }
    };
    return ops;
}();

}  // namespace

std::intptr_t scroll_area_create(ObjectNumber number, int x, int y, int width, int height, int inner_width,
                                 int inner_height, int scroll_step) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* area = new ScrollAreaView(parent);
    area->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    area->setFocusPolicy(Qt::StrongFocus);
    area->setWidgetResizable(false);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* inner = new QWidget;
    inner->resize(std::max(inner_width, 1), std::max(inner_height, 1));
    area->setWidget(inner);
    std::intptr_t result = widget_finish(number, ScrollAreaWidget, area, &kOps, x, y, width, height);
    if (!result) return 0;
    area->horizontalScrollBar()->setSingleStep(std::max(scroll_step, 1));
    area->verticalScrollBar()->setSingleStep(std::max(scroll_step, 1));
    widget_list_open(area, inner);
    return result;
}

}  // namespace morvane
