// The drawn menu look and the drop-down widget that uses it (shell-internal).
#pragma once

#include <QMenu>
#include <QProxyStyle>

namespace morvane {

/// Measures and paints menu items in the drawn look: the gradient column (gradient style),
/// the selected look, the check tick, the caption with its right-aligned hint, separators,
/// greyed items and 16 x 16 item images.
class DrawnMenuStyle : public QProxyStyle {
  public:
    explicit DrawnMenuStyle(bool gradient);
    bool gradient() const { return gradient_; }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override;

    /// The value of gradient stripe k (0..19) for one channel h of the highlight colour.
    static int stripe_value(int k, int h) { return 255 - (255 - h) * 5 * k / 100; }

  private:
    void draw_item(const class QStyleOptionMenuItem& item, QPainter* painter) const;
    bool gradient_;
};

/// The shared style instances (owned by the application object).
DrawnMenuStyle* drawn_menu_style(bool gradient);

/// A drop-down in the drawn look. A typed character chooses the item whose caption holds
/// "&" and that character, otherwise the first item whose caption starts with it, and
/// executes it at once.
class DrawnMenu : public QMenu {
  public:
    DrawnMenu(const QString& title, bool gradient, QWidget* parent);
    /// The item a typed character chooses, or null.
    QAction* action_for_character(QChar c) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace morvane
