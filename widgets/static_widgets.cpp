// Static text and the group frame: a caption and nothing to report.
#include <QGroupBox>
#include <QLabel>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

const WidgetOps kTextOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget* w) { return ustr(static_cast<QLabel*>(w)->text()); };
    ops.set_text = [](QWidget* w, const std::string& text) { static_cast<QLabel*>(w)->setText(qstr(text)); };
    return ops;
}();

const WidgetOps kFrameOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget* w) { return ustr(static_cast<QGroupBox*>(w)->title()); };
    ops.set_text = [](QWidget* w, const std::string& text) {
        static_cast<QGroupBox*>(w)->setTitle(qstr(text));
    };
    return ops;
}();

}  // namespace

std::intptr_t text_create(ObjectNumber number, int x, int y, int width, int height, const std::string& text) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* label = new QLabel(parent);
    // Plain text, so "&" is shown as it is.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(qstr(text));
    return widget_finish(number, TextWidget, label, &kTextOps, x, y, width, height);
}

std::intptr_t frame_create(ObjectNumber number, int x, int y, int width, int height,
                           const std::string& text) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* frame = new QGroupBox(qstr(text), parent);
    // Controls created after the frame sit on top of it in the same window.
    frame->lower();
    return widget_finish(number, FrameWidget, frame, &kFrameOps, x, y, width, height);
}

}  // namespace morvane
