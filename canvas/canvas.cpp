// Canvas creation, the back buffer, painting, attributes and the drawing output.
#include <qdrawutil.h>

#include <QCursor>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "canvas/canvas_view.h"
#include "draw/session.h"
#include "shell/events.h"
#include "shell/widget_list.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr int kCursorCount = 12;
constexpr int kCustomCursorIndex = 254;

// The standard cursors, made on first use and kept for the whole process.
const QCursor* standard_cursor(int index) {
    static std::array<QCursor*, kCursorCount> table{};
    static constexpr Qt::CursorShape shapes[kCursorCount] = {
        Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,     Qt::PointingHandCursor,
        Qt::WaitCursor,    Qt::ForbiddenCursor, Qt::SizeAllCursor,   Qt::SizeHorCursor,
        Qt::SizeVerCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::BlankCursor};
    if (index < 0 || index >= kCursorCount) return nullptr;
    if (!table[std::size_t(index)]) table[std::size_t(index)] = new QCursor(shapes[index]);
    return table[std::size_t(index)];
}

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    ops.get_attribute = [](QWidget* w, int attribute) {
        return static_cast<CanvasView*>(w)->attribute(attribute);
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        static_cast<CanvasView*>(w)->set_attribute(attribute, value);
    };
    // The window is placed first, then the buffer follows its new outer size.
    ops.resize = [](QWidget* w, int x, int y, int width, int height) {
        auto* canvas = static_cast<CanvasView*>(w);
        canvas->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
        canvas->make_buffer(canvas->width(), canvas->height());
        // A painted canvas is composed at the next paint, once, with whatever else changed.
        if (canvas->painted())
            canvas->update();
        else
            canvas->repaint();
    };
    return ops;
}();

}  // namespace

std::intptr_t canvas_cursor_handle(int index) {
    return reinterpret_cast<std::intptr_t>(standard_cursor(index));
}

CanvasView::CanvasView(QWidget* parent, int flags) : QWidget(parent), flags_(flags) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(flags & TakesFocus ? Qt::StrongFocus : Qt::NoFocus);
    setCursor(*standard_cursor(0));
}

CanvasView::~CanvasView() {
    if (confining() == this) set_confined(false);
    bitmap_destroy(buffer_);
}

QRect CanvasView::client_rect() const {
    int edge = flags_ & SunkenEdge ? 2 : 0;
    return rect().adjusted(edge, edge, -edge, -edge);
}

bool CanvasView::make_buffer(int outer_width, int outer_height) {
    if (painter_) return true;  // a painted canvas holds no pixels of its own
    int w = outer_width, h = outer_height;
    if (flags_ & SunkenEdge) w -= 4, h -= 4;
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (buffer_ && buffer_->width == w && buffer_->height == h) return true;
    Bitmap* fresh = bitmap_create(w, h, 24);
    if (!fresh) return false;
    std::memset(fresh->bits, 0xFF, std::size_t(fresh->stride) * std::size_t(h));
    Bitmap* old = buffer_;
    buffer_ = fresh;
    if (old) {
        copy_into_buffer(*old);
        bitmap_destroy(old);
    }
    return true;
}

void CanvasView::set_painter(CanvasPainter painter) {
    painter_ = std::move(painter);
    if (painter_) {
        bitmap_destroy(buffer_);
        buffer_ = nullptr;
    } else {
        scratch_ = QImage();
        make_buffer(width(), height());
    }
    update();
}

void CanvasView::copy_into_buffer(const Bitmap& source) {
    if (!buffer_ || !source.bits || (source.bpp != 24 && source.bpp != 32)) return;
    const int w = std::min(buffer_->width, source.width);
    const int h = std::min(buffer_->height, source.height);
    const int step = source.bpp / 8;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = source.row(y);
        std::uint8_t* to = buffer_->row(y);
        if (step == 3) {
            std::memcpy(to, from, std::size_t(w) * 3);
        } else {
            for (int x = 0; x < w; ++x, from += 4, to += 3) std::memcpy(to, from, 3);
        }
    }
}

void CanvasView::resizeEvent(QResizeEvent*) {
    make_buffer(width(), height());
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // On a high-density screen each pixel is scaled up by whole device pixels, never blended.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect client = client_rect();
    if (flags_ & SunkenEdge) qDrawShadePanel(&painter, rect(), palette(), true, 2);
    const QRect dirty = event->rect() & client;
    QRect shown;
    if (painter_ && !dirty.isEmpty()) {
        // Only the exposed part is asked for, into rows kept from the last paint.
        shown = dirty;
        if (scratch_.width() < shown.width() || scratch_.height() < shown.height()) {
            scratch_ = QImage(std::max(scratch_.width(), shown.width()),
                              std::max(scratch_.height(), shown.height()), QImage::Format_RGB32);
        }
        const int stride = static_cast<int>(scratch_.bytesPerLine() / 4);
        auto* pixels = reinterpret_cast<std::uint32_t*>(scratch_.bits());
        painter_(shown.x() - client.x(), shown.y() - client.y(), shown.width(), shown.height(), pixels,
                 stride);
        painter.drawImage(shown.topLeft(), scratch_, QRect(0, 0, shown.width(), shown.height()));
    } else if (buffer_) {
        // Our rows are bottom-up: the image over the buffer's memory is upside down, so it
        // is drawn one row at a time, unscaled and without copying the buffer.
        const QImage memory(buffer_->bits, buffer_->width, buffer_->height, buffer_->stride,
                            QImage::Format_BGR888);
        shown = dirty & QRect(client.topLeft(), QSize(buffer_->width, buffer_->height));
        for (int y = shown.top(); y <= shown.bottom(); ++y) {
            int memory_row = buffer_->height - 1 - (y - client.y());
            painter.drawImage(QPoint(shown.left(), y), memory,
                              QRect(shown.left() - client.x(), memory_row, shown.width(), 1));
        }
    }
    // Whatever the buffer does not cover is white.
    QRegion rest = QRegion(dirty) - QRegion(shown);
    for (const QRect& r : rest) painter.fillRect(r, Qt::white);
    if ((flags_ & FocusFrame) && hasFocus()) {
        // A dotted rectangle 2 pixels inside the edge that inverts every other pixel, so it
        // shows on any picture.
        QPen dots(Qt::white, 1, Qt::CustomDashLine);
        dots.setDashPattern({1, 1});
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

std::int64_t CanvasView::attribute(int attribute) const {
    ObjectNumber number = widget_number_of(this);
    switch (static_cast<CanvasAttribute>(attribute)) {
        case CanvasAttribute::BackBuffer:
            return bitmap_handle(buffer_);
        case CanvasAttribute::Cursor:
            return cursor_index_ == kCustomCursorIndex ? -1 : cursor_index_;
        case CanvasAttribute::MouseClipped:
            return confining() == this ? 1 : 0;
        case CanvasAttribute::CustomCursor:
            return custom_cursor_;
        default:
            break;
    }
    // The input attributes come from the data of the current event, when it is this canvas's.
    const CanvasEventData* data = canvas_current_event_data(number);
    if (!data) return 0;
    switch (static_cast<CanvasAttribute>(attribute)) {
        case CanvasAttribute::MouseX:
            return data->x;
        case CanvasAttribute::MouseY:
            return data->y;
        case CanvasAttribute::Buttons:
            return data->buttons;
        case CanvasAttribute::Key:
            return data->key;
        case CanvasAttribute::Modifiers:
            return data->modifiers;
        case CanvasAttribute::WheelDelta:
            return data->wheel;
        case CanvasAttribute::WheelDeltaX:
            return data->wheel_x;
        case CanvasAttribute::InputCharacter:
            return data->character;
        default:
            return 0;
    }
}

void CanvasView::set_attribute(int attribute, std::int64_t value) {
    switch (static_cast<CanvasAttribute>(attribute)) {
        case CanvasAttribute::BackBuffer:
            if (const Bitmap* source = bitmap_from_handle(std::intptr_t(value))) {
                copy_into_buffer(*source);
                repaint();
            }
            break;
        case CanvasAttribute::Cursor:
            if (value >= 0 && value < kCursorCount) {
                cursor_index_ = int(value);
                apply_cursor();
            }
            break;
        case CanvasAttribute::MouseClipped:
            set_confined(value != 0);
            break;
        case CanvasAttribute::CustomCursor:
            // Only the handles this layer gives out are taken.
            for (int i = 0; i < kCursorCount && value != 0; ++i) {
                if (canvas_cursor_handle(i) == value) {
                    custom_cursor_ = std::intptr_t(value);
                    cursor_index_ = kCustomCursorIndex;
                    apply_cursor();
                }
            }
            break;
        default:
            break;
    }
}

void CanvasView::apply_cursor() {
    const QCursor* cursor = cursor_index_ == kCustomCursorIndex
                                ? reinterpret_cast<const QCursor*>(custom_cursor_)
                                : standard_cursor(cursor_index_);
    if (cursor) setCursor(*cursor);
}

std::intptr_t canvas_create(ObjectNumber number, int x, int y, int width, int height, int flags) {
    QWidget* parent = widget_list_parent();
    if (!parent) return 0;
    auto* canvas = new CanvasView(parent, flags);
    canvas->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    if (!canvas->make_buffer(width, height)) {
        delete canvas;
        if (number != -1) widget_free(number);
        return 0;
    }
    ObjectNumber registered = widget_register(number, CanvasWidget, canvas, &kOps);
    if (registered == 0) {
        delete canvas;
        return 0;
    }
    canvas->show();
    return number == -1 ? registered : reinterpret_cast<std::intptr_t>(canvas);
}

bool canvas_set_painter(ObjectNumber number, CanvasPainter painter) {
    if (widget_kind(number) != CanvasWidget) return false;
    static_cast<CanvasView*>(widget_qt(number))->set_painter(std::move(painter));
    return true;
}

void canvas_invalidate(ObjectNumber number, int x, int y, int width, int height) {
    if (widget_kind(number) != CanvasWidget || width <= 0 || height <= 0) return;
    auto* canvas = static_cast<CanvasView*>(widget_qt(number));
    const QRect client = canvas->client_rect();
    canvas->update(QRect(client.x() + x, client.y() + y, width, height) & client);
}

void canvas_scroll(ObjectNumber number, int dx, int dy) {
    if (widget_kind(number) != CanvasWidget || (dx == 0 && dy == 0)) return;
    auto* canvas = static_cast<CanvasView*>(widget_qt(number));
    const QRect client = canvas->client_rect();
    if (std::abs(dx) >= client.width() || std::abs(dy) >= client.height()) {
        canvas->update(client);  // nothing shown stays on screen
        return;
    }
    // The pixels still in view move in the window's backing store; Qt asks for the rest.
    canvas->scroll(dx, dy, client);
}

DrawingSession* canvas_output(ObjectNumber number) {
    if (widget_kind(number) != CanvasWidget) return nullptr;
    auto* canvas = static_cast<CanvasView*>(widget_qt(number));
    Bitmap* buffer = canvas->buffer();
    if (!buffer || !buffer->bits) return nullptr;
    QPointer<CanvasView> target(canvas);
    // After drawing_end the whole buffer is shown at once; a failed begin paints nothing.
    return drawing_output_prepare(buffer->bits, buffer->width, buffer->height, buffer->stride, 24,
                                  [target](int stopped) {
                                      if (stopped == 1 && target) target->repaint();
                                  });
}

}  // namespace morvane
