// Canvas input: mouse, wheel, keyboard and focus become WidgetEvents carrying the input
// state captured when they are posted.
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "canvas/canvas_view.h"
#include "shell/events.h"
#include "shell/widget_list.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

// Process-wide: the canvas confining the pointer, and the wheel remainder.
QPointer<CanvasView> g_confining;
WheelAccumulator g_wheel;
WheelAccumulator g_wheel_x;

// What an event carries; the tag and the canvas number let attribute reads check that the
// current event is this canvas's own.
struct PostedData {
    static constexpr std::uint32_t kTag = 0x43616E76;
    std::uint32_t tag = kTag;
    ObjectNumber canvas = 0;
    CanvasEventData data;
};

void release_posted(std::intptr_t data) {
    delete reinterpret_cast<PostedData*>(data);
}

int subtype_for(Qt::MouseButton button, bool down) {
    switch (button) {
        case Qt::LeftButton:
            return down ? LeftButtonDown : LeftButtonUp;
        case Qt::RightButton:
            return down ? RightButtonDown : RightButtonUp;
        case Qt::MiddleButton:
            return down ? MiddleButtonDown : MiddleButtonUp;
        default:
            return 0;
    }
}

// The state at this moment, for events that carry no position of their own.
CanvasEventData live_data(const CanvasView* canvas, Qt::KeyboardModifiers modifiers) {
    CanvasEventData data;
    QPoint p = canvas->mapFromGlobal(QCursor::pos()) - canvas->client_rect().topLeft();
    data.x = p.x();
    data.y = p.y();
    data.buttons = canvas_buttons(QGuiApplication::mouseButtons());
    data.modifiers = canvas_modifiers(modifiers);
    return data;
}

// Keys pressed with Alt held, Alt itself and F10 belong to the platform.
bool system_key(const QKeyEvent* event) {
    return (event->modifiers() & Qt::AltModifier) || event->key() == Qt::Key_Alt ||
           event->key() == Qt::Key_F10;
}

}  // namespace

int WheelAccumulator::add(int delta) {
    // The carried part stays within one notch, so the sum fits in 64 bits.
    std::int64_t total = std::int64_t(units) + delta;
    std::int64_t notches = total / 120;
    units = int(total - notches * 120);
    return int(std::clamp<std::int64_t>(notches, INT_MIN, INT_MAX));
}

int canvas_buttons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? ButtonLeft : 0) | (buttons & Qt::RightButton ? ButtonRight : 0) |
           (buttons & Qt::MiddleButton ? ButtonMiddle : 0);
}

int canvas_modifiers(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? ModifierShift : 0) |
           (modifiers & Qt::AltModifier ? ModifierAlt : 0) |
           (modifiers & Qt::ControlModifier ? ModifierControl : 0);
}

const CanvasEventData* canvas_current_event_data(ObjectNumber canvas) {
    if (event_source() != canvas) return nullptr;
    auto* posted = reinterpret_cast<const PostedData*>(event_data());
    if (!posted || posted->tag != PostedData::kTag || posted->canvas != canvas) return nullptr;
    return &posted->data;
}

CanvasView* CanvasView::confining() {
    return g_confining.data();
}

void CanvasView::post(int subtype, const CanvasEventData& data) {
    ObjectNumber number = widget_number_of(this);
    if (number == -1) return;
    auto* posted = new PostedData;
    posted->canvas = number;
    posted->data = data;
    // Each event carries its own input, so equal neighbours are not merged.
    event_post_data(WidgetEvent, number, window_of(this), subtype, reinterpret_cast<std::intptr_t>(posted),
                    release_posted, PostRepeated);
}

CanvasEventData CanvasView::pointer_data(const QSinglePointEvent* event) {
    CanvasEventData data;
    QPoint p = client_point(event->position());
    data.x = p.x();
    data.y = p.y();
    data.buttons = canvas_buttons(event->buttons());
    data.modifiers = canvas_modifiers(event->modifiers());
    return data;
}

QPoint CanvasView::client_point(QPointF position) {
    const QRect client = client_rect();
    QPoint p(int(std::floor(position.x())) - client.x(), int(std::floor(position.y())) - client.y());
    if (g_confining == this) {
        // The platform cannot hold the pointer in place: put it back on the canvas.
        QPoint kept(std::clamp(p.x(), 0, std::max(client.width() - 1, 0)),
                    std::clamp(p.y(), 0, std::max(client.height() - 1, 0)));
        if (kept != p) {
            QCursor::setPos(mapToGlobal(kept + client.topLeft()));
            p = kept;
        }
    }
    return p;
}

void CanvasView::set_confined(bool on) {
    if (on) {
        if (g_confining == this) return;
        if (g_confining) g_confining->set_confined(false);
        g_confining = this;
        if (!captured_) {
            grabMouse();
            grabbed_ = true;
        }
        return;
    }
    if (g_confining == this) g_confining = nullptr;
    if (grabbed_) {
        releaseMouse();
        grabbed_ = false;
    }
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    CanvasEventData data = pointer_data(event);
    if (inside_) {
        post(MouseMove, data);
    } else {
        inside_ = true;
        post(MouseEnter, data);
    }
}

void CanvasView::leaveEvent(QEvent*) {
    if (!inside_) return;
    inside_ = false;
    post(MouseLeave, live_data(this, QGuiApplication::keyboardModifiers()));
}

void CanvasView::press(QMouseEvent* event) {
    if (event->buttons() == event->button()) {
        // The first button down takes the capture (Qt's implicit grab delivers the moves
        // outside the canvas from now on).
        captured_ = true;
        if ((flags_ & ConfinePointer) && g_confining != this) {
            if (g_confining) g_confining->set_confined(false);
            g_confining = this;
        }
    }
    CanvasEventData data = pointer_data(event);
    post(subtype_for(event->button(), true), data);
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    if (subtype_for(event->button(), true) == 0) return;
    if ((flags_ & TakesFocus) && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
        update();
    }
    pending_press_ = event->button();
    press(event);
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (subtype_for(event->button(), true) == 0) return;
    // Qt may deliver the second press before the double click or only the double click.
    if (pending_press_ != event->button()) {
        pending_press_ = event->button();
        press(event);
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        post(event->button() == Qt::LeftButton ? LeftDoubleClick : RightDoubleClick, pointer_data(event));
    }
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    int up = subtype_for(event->button(), false);
    if (up == 0) return;
    if (pending_press_ == event->button()) pending_press_ = Qt::NoButton;
    CanvasEventData data = pointer_data(event);
    const QRect client = client_rect();
    bool click = event->button() != Qt::MiddleButton && captured_ && data.x >= 0 && data.x < client.width() &&
                 data.y >= 0 && data.y < client.height();
    if (event->buttons() == Qt::NoButton) {
        captured_ = false;
        if (g_confining == this && (flags_ & ConfinePointer)) set_confined(false);
    }
    post(up, data);
    if (click) post(event->button() == Qt::LeftButton ? LeftClick : RightClick, data);
}

void CanvasView::wheelEvent(QWheelEvent* event) {
    event->accept();
    int notches = g_wheel.add(event->angleDelta().y());
    int sideways = g_wheel_x.add(event->angleDelta().x());
    if (notches == 0 && sideways == 0) return;
    CanvasEventData data = pointer_data(event);
    data.wheel = notches;
    data.wheel_x = sideways;
    post(MouseWheel, data);
}

void CanvasView::keyPressEvent(QKeyEvent* event) {
    // System keys (with Alt held, and F10) are left to the platform.
    if (system_key(event)) {
        event->ignore();
        return;
    }
    CanvasEventData data = live_data(this, event->modifiers());
    data.key = virtual_key_code(event->key(), event->modifiers() & Qt::KeypadModifier);
    post(KeyDown, data);
    data.key = 0;
    // Characters below 32 (control characters) and Delete's 127 are no input.
    if (event->key() == Qt::Key_Delete) return;
    for (QChar c : event->text()) {
        if (c.unicode() < 32) continue;
        data.character = c.unicode();
        post(Input, data);
    }
}

void CanvasView::keyReleaseEvent(QKeyEvent* event) {
    if (system_key(event) || event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    CanvasEventData data = live_data(this, event->modifiers());
    data.key = virtual_key_code(event->key(), event->modifiers() & Qt::KeypadModifier);
    post(KeyUp, data);
}

void CanvasView::focusInEvent(QFocusEvent*) {
    post(FocusGained, live_data(this, QGuiApplication::keyboardModifiers()));
    update();
}

void CanvasView::focusOutEvent(QFocusEvent*) {
    post(FocusLost, live_data(this, QGuiApplication::keyboardModifiers()));
    update();
}

void CanvasView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange) return;
    if (!isEnabled() && g_confining == this) set_confined(false);
    update();
}

}  // namespace morvane
