// Slider: state is the position, 0 on every movement by the user.
#include <QSlider>
#include <algorithm>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t { return static_cast<QSlider*>(w)->value(); };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        auto* slider = static_cast<QSlider*>(w);
        slider->setValue(int(std::clamp<std::int64_t>(value, slider->minimum(), slider->maximum())));
    };
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    // Attribute 1 is the minimum, 2 the maximum.
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        auto* slider = static_cast<QSlider*>(w);
        return attribute == 1 ? slider->minimum() : attribute == 2 ? slider->maximum() : 0;
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        auto* slider = static_cast<QSlider*>(w);
        int limit = int(std::clamp<std::int64_t>(value, 0, INT32_MAX));
        if (attribute == 1) slider->setMinimum(limit);
        if (attribute == 2) slider->setMaximum(limit);
    };
    return ops;
}();

}  // namespace

std::intptr_t trackbar_create(ObjectNumber number, int x, int y, int width, int height, int minimum,
                              int maximum) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    // Negative limits are taken as 0.
    minimum = std::max(minimum, 0);
    maximum = std::max(maximum, 0);
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(std::min(minimum, maximum), std::max(minimum, maximum));
    slider->setValue(0);
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->setTickPosition(QSlider::TicksBelow);
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [slider](int) { widget_post(slider, WidgetClicked); });
    return widget_finish(number, TrackbarWidget, slider, &kOps, x, y, width, height);
}

}  // namespace morvane
