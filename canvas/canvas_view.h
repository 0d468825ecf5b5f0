// The canvas's Qt widget (internal to the canvas files).
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

class QSinglePointEvent;
#include <cstdint>

#include "canvas/canvas.h"
#include "image/bitmap.h"

namespace morvane {

class CanvasView : public QWidget {
  public:
    CanvasView(QWidget* parent, int flags);
    ~CanvasView() override;

    /// Makes the back buffer for an outer size (SunkenEdge takes 4 pixels off each way, at
    /// least 1 x 1 remains), white, with the old buffer's overlap copied in. False when the
    /// memory cannot be had; the old buffer is kept then.
    bool make_buffer(int outer_width, int outer_height);
    Bitmap* buffer() const { return buffer_; }
    void set_painter(CanvasPainter painter);
    bool painted() const { return static_cast<bool>(painter_); }
    int flags() const { return flags_; }
    /// The client area inside the edge, in widget coordinates.
    QRect client_rect() const;

    std::int64_t attribute(int attribute) const;
    void set_attribute(int attribute, std::int64_t value);
    /// Copies a bitmap (24 or 32 bits) into the back buffer at (0, 0), cut at its edges.
    void copy_into_buffer(const Bitmap& source);

    /// The canvas that confines the pointer now, or null.
    static CanvasView* confining();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void press(QMouseEvent* event);
    void post(int subtype, const CanvasEventData& data);
    /// Client coordinates of a widget position, kept on the canvas while it confines.
    QPoint client_point(QPointF position);
    /// Position, buttons and modifiers of a mouse or wheel event.
    CanvasEventData pointer_data(const QSinglePointEvent* event);
    void set_confined(bool on);
    void apply_cursor();

    int flags_;
    Bitmap* buffer_ = nullptr;
    CanvasPainter painter_;  // when set, the pixels come from it and there is no buffer
    QImage scratch_;         // the painter's rows, reused from paint to paint
    int cursor_index_ = 0;   // 0-11, or 254 for a custom cursor
    std::intptr_t custom_cursor_ = 0;
    bool inside_ = false;
    bool captured_ = false;
    bool grabbed_ = false;                          // an explicit grab through MouseClipped
    Qt::MouseButton pending_press_ = Qt::NoButton;  // a press not yet followed by a release
};

/// The data of the current event when it is an event of this canvas carrying data, else null.
const CanvasEventData* canvas_current_event_data(ObjectNumber canvas);

/// The input state of a Qt event as the canvas reports it.
int canvas_buttons(Qt::MouseButtons buttons);
int canvas_modifiers(Qt::KeyboardModifiers modifiers);

}  // namespace morvane
