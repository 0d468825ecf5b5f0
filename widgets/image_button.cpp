// Buttons and static pictures that show an image with its alpha.
#include <QAbstractButton>
#include <QFrame>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

// Premultiplied for painting; the greyed look for a disabled button is made once.
struct Picture {
    std::intptr_t handle = 0;
    QPixmap normal;
    QPixmap greyed;

    void set(std::intptr_t new_handle, const QWidget* owner) {
        handle = new_handle;
        QImage image = image_from_handle(new_handle);
        normal = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
        QStyleOption option;
        option.initFrom(owner);
        greyed = normal.isNull() ? QPixmap()
                                 : owner->style()->generatedIconPixmap(QIcon::Disabled, normal, &option);
    }
};

class ImageButton : public QAbstractButton {
  public:
    ImageButton(QWidget* parent, std::intptr_t handle, bool toggle) : QAbstractButton(parent) {
        setCheckable(toggle);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
        picture_.set(handle, this);
    }
    Picture& picture() { return picture_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        option.initFrom(this);
        option.features = QStyleOptionButton::None;
        if (isDown() || isChecked()) option.state |= QStyle::State_Sunken;
        if (isChecked()) option.state |= QStyle::State_On;
        if (!isDown() && !isChecked()) option.state |= QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonCommand, option);
        const QPixmap& pixmap = isEnabled() ? picture_.normal : picture_.greyed;
        if (pixmap.isNull()) return;
        // Centred; pressed looks move the picture by one pixel.
        int shift = isDown() || isChecked() ? 1 : 0;
        int x = (width() - pixmap.width()) / 2 + shift;
        int y = (height() - pixmap.height()) / 2 + shift;
        painter.drawPixmap(x, y, pixmap);
    }
    QSize sizeHint() const override { return picture_.normal.size() + QSize(6, 6); }

  private:
    Picture picture_;
};

class ImageView : public QFrame {
  public:
    ImageView(QWidget* parent, std::intptr_t handle, bool sunken) : QFrame(parent) {
        if (sunken) {
            setFrameStyle(QFrame::Panel | QFrame::Sunken);
            setLineWidth(1);
        }
        picture_.set(handle, this);
    }
    Picture& picture() { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        QRect inside = contentsRect();
        painter.setClipRect(inside);
        if (!picture_.normal.isNull()) painter.drawPixmap(inside.topLeft(), picture_.normal);
    }

  private:
    Picture picture_;
};

const WidgetOps kButtonOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t {
        return static_cast<ImageButton*>(w)->isChecked() ? 1 : 0;
    };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        auto* button = static_cast<ImageButton*>(w);
        if (button->isCheckable()) button->setChecked(value != 0);
    };
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    // Attribute 1 is the image shown.
    ops.get_attribute = [](QWidget* w, int attribute) -> std::int64_t {
        return attribute == 1 ? static_cast<ImageButton*>(w)->picture().handle : 0;
    };
    ops.set_attribute = [](QWidget* w, int attribute, std::int64_t value) {
        if (attribute != 1) return;
        static_cast<ImageButton*>(w)->picture().set(std::intptr_t(value), w);
        w->update();
    };
    return ops;
}();

const WidgetOps kViewOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t { return static_cast<ImageView*>(w)->picture().handle; };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        static_cast<ImageView*>(w)->picture().set(std::intptr_t(value), w);
        w->update();
    };
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    return ops;
}();

}  // namespace

std::intptr_t image_button_create(ObjectNumber number, int x, int y, int width, int height,
                                  std::intptr_t image_handle, int flags) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    bool toggle = (flags & ImageButtonToggle) == ImageButtonToggle;
    auto* button = new ImageButton(parent, image_handle, toggle);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button]() { widget_post(button, WidgetClicked); });
    return widget_finish(number, ImageButtonWidget, button, &kButtonOps, x, y, width, height);
}

std::intptr_t image_widget_create(ObjectNumber number, int x, int y, int width, int height,
                                  std::intptr_t image_handle, int flags) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* view = new ImageView(parent, image_handle, (flags & ImageSunkenBorder) != 0);
    return widget_finish(number, ImageWidget, view, &kViewOps, x, y, width, height);
}

}  // namespace morvane
