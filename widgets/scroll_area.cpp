// Scroll area: an outer window with scroll bars onto an inner window of a set size.
// Attributes: 1 inner width, 2 inner height, 3 / 4 horizontal / vertical scroll position,
// 5 scroll step, 16 / 17 visible width / height (read only). Widgets created after it go
// into the inner window until widget_list_close().
#include <QCoreApplication>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

enum ScrollAttribute : int {
    InnerWidth = 1,
    InnerHeight = 2,
    ScrollX = 3,
    ScrollY = 4,
    ScrollStep = 5,
    VisibleWidth = 16,
    VisibleHeight = 17,
};

int clamp_int(std::int64_t value, int low, int high) {
    return int(std::clamp<std::int64_t>(value, low, high));
}

// Lays out the viewport and recomputes the scroll ranges now. A hidden window delivers
// resize events only when it is shown, and the editor scrolls before that.
void refresh(QScrollArea* area) {
    QResizeEvent event(area->size(), area->size());
    QCoreApplication::sendEvent(area, &event);
    // Setting the (unchanged) resizing mode is what recomputes the ranges.
    area->setWidgetResizable(false);
}

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        auto* area = static_cast<QScrollArea*>(w);
        switch (attribute) {
            case InnerWidth:
                return area->widget()->width();
            case InnerHeight:
                return area->widget()->height();
            case ScrollX:
                return area->horizontalScrollBar()->value();
            case ScrollY:
                return area->verticalScrollBar()->value();
            case ScrollStep:
                return area->verticalScrollBar()->singleStep();
            case VisibleWidth:
                return area->viewport()->width();
            case VisibleHeight:
                return area->viewport()->height();
            default:
                return 0;
        }
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        auto* area = static_cast<QScrollArea*>(w);
        QWidget* inner = area->widget();
        switch (attribute) {
            case InnerWidth:
                inner->resize(clamp_int(value, 1, QWIDGETSIZE_MAX), inner->height());
                refresh(area);
                break;
            case InnerHeight:
                inner->resize(inner->width(), clamp_int(value, 1, QWIDGETSIZE_MAX));
                refresh(area);
                break;
            case ScrollX:
                refresh(area);
                area->horizontalScrollBar()->setValue(clamp_int(value, INT32_MIN, INT32_MAX));
                break;
            case ScrollY:
                refresh(area);
                area->verticalScrollBar()->setValue(clamp_int(value, INT32_MIN, INT32_MAX));
                break;
            case ScrollStep: {
                int step = clamp_int(value, 1, INT32_MAX);
                area->horizontalScrollBar()->setSingleStep(step);
                area->verticalScrollBar()->setSingleStep(step);
                break;
            }
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
    auto* area = new QScrollArea(parent);
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
