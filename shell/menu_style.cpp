// Measuring and painting of drawn menu items.
#include "shell/menu_style.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace morvane {
namespace {

// Where an item's caption lies: from the gradient column plus an inset to an inset before
// the right edge.
constexpr int kCaptionLeft = 20 + 8;
constexpr int kCaptionRightInset = 8;

// The caption as shown: "&&" becomes "&", a single "&" marks the next character.
QString without_mnemonics(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

}  // namespace

DrawnMenuStyle::DrawnMenuStyle(bool gradient)
    : QProxyStyle(QStyleFactory::create("Fusion")), gradient_(gradient) {}

QSize DrawnMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                       const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item) return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) return QSize(50, 9);
    const QFontMetrics& fm = item->fontMetrics;
    QString shown = without_mnemonics(item->text);
    const bool has_tab = shown.contains(u'\t');
    shown.replace(u'\t', u' ');
    // The caption area starts 28 pixels in (gradient column and inset) and keeps an 8-pixel
    // inset on the right: the item is as wide as its whole caption needs.
    int width = fm.horizontalAdvance(shown) + kCaptionLeft + kCaptionRightInset;
    if (has_tab || item->menuItemType == QStyleOptionMenuItem::SubMenu) width += 20;
    return QSize(width, fm.height() + 6);
}

void DrawnMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item) {
        draw_item(*item, painter);
        return;
    }
    if (element == CE_MenuEmptyArea && option) {
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void DrawnMenuStyle::draw_item(const QStyleOptionMenuItem& item, QPainter* painter) const {
    const QRect r = item.rect;
    const QPalette& pal = item.palette;
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    painter->save();
    painter->setClipRect(r);
    painter->fillRect(r, pal.color(QPalette::Window));

    if (gradient_) {
        for (int k = 0; k < 20; ++k) {
            const QColor c(stripe_value(k, highlight.red()), stripe_value(k, highlight.green()),
                           stripe_value(k, highlight.blue()));
            painter->fillRect(QRect(r.left() + k, r.top(), 1, r.height()), c);
        }
    }
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        const int left = gradient_ ? r.left() + 24 : r.left();
        painter->fillRect(QRect(left, r.top() + 4, r.right() - left + 1, 1), pal.color(QPalette::Dark));
        painter->restore();
        return;
    }

    const bool selected = item.state & State_Selected;
    const bool enabled = item.state & State_Enabled;
    if (selected) {
        if (gradient_) {
            const QColor half((255 + highlight.red()) / 2, (255 + highlight.green()) / 2,
                              (255 + highlight.blue()) / 2);
            painter->fillRect(r, half);
            painter->setPen(Qt::black);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        } else {
            painter->fillRect(r, highlight);
        }
    }
    QColor text = selected ? pal.color(QPalette::Active, QPalette::HighlightedText)
                           : pal.color(QPalette::Active, QPalette::WindowText);
    if (!enabled) text = pal.color(QPalette::Disabled, QPalette::Text);

    if (!item.icon.isNull()) {
        const QPixmap pix = item.icon.pixmap(QSize(16, 16), enabled ? QIcon::Normal : QIcon::Disabled);
        painter->drawPixmap(QRect(r.left() + 2, r.top() + (r.height() - 16) / 2 + 1, 16, 16), pix);
    }

    // The caption: left part before the first tab, the hint after it right-aligned.
    const QRect area(r.left() + kCaptionLeft, r.top(), r.width() - kCaptionLeft - kCaptionRightInset, r.height());
    const int tab = item.text.indexOf(u'\t');
    const QString left = tab < 0 ? item.text : item.text.left(tab);
    const QString right = tab < 0 ? QString() : item.text.mid(tab + 1);
    const int mnemonic = styleHint(SH_UnderlineShortcut, &item, nullptr, nullptr) ? Qt::TextShowMnemonic
                                                                                  : Qt::TextHideMnemonic;
    painter->setFont(item.font);
    painter->setPen(text);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic, left);
    if (!right.isEmpty())
        painter->drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic, right);

    if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked) {
        // The tick: seven vertical strokes three pixels long.
        static constexpr int kTick[7][2] = {{7, 9}, {8, 10}, {9, 11}, {10, 10}, {11, 9}, {12, 8}, {13, 7}};
        for (const auto& s : kTick) painter->fillRect(QRect(r.left() + s[0], r.top() + s[1], 1, 3), text);
    }
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = item;
        arrow.rect = QRect(r.right() - 14, r.top(), 10, r.height());
        arrow.palette.setColor(QPalette::ButtonText, text);
        arrow.palette.setColor(QPalette::WindowText, text);
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, nullptr);
    }
    painter->restore();
}

void DrawnMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
    if ((element == PE_PanelMenu || element == PE_FrameMenu) && option) {
        if (element == PE_PanelMenu) painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        painter->setPen(option->palette.color(QPalette::Dark));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int DrawnMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
            return 1;
        case PM_MenuHMargin:
            return 0;
        case PM_MenuVMargin:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int DrawnMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* data) const {
    if (hint == SH_Menu_KeyboardSearch) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
}

DrawnMenuStyle* drawn_menu_style(bool gradient) {
    static QPointer<DrawnMenuStyle> styles[2];
    QPointer<DrawnMenuStyle>& s = styles[gradient ? 1 : 0];
    if (!s) {
        s = new DrawnMenuStyle(gradient);
        s->setParent(qApp);
    }
    return s;
}

DrawnMenu::DrawnMenu(const QString& title, bool gradient, QWidget* parent) : QMenu(title, parent) {
    setStyle(drawn_menu_style(gradient));
}

QAction* DrawnMenu::action_for_character(QChar c) const {
    const QChar wanted = c.toLower();
    const QList<QAction*> items = actions();
    for (QAction* a : items) {
        if (a->isSeparator() || !a->isVisible()) continue;
        const QString t = a->text();
        for (qsizetype i = 0; i + 1 < t.size(); ++i) {
            if (t[i] != u'&') continue;
            if (t[i + 1] == u'&') {
                ++i;  // an escaped ampersand
                continue;
            }
            if (t[i + 1].toLower() == wanted) return a;
        }
    }
    for (QAction* a : items) {
        if (a->isSeparator() || !a->isVisible()) continue;
        if (!a->text().isEmpty() && a->text()[0].toLower() == wanted) return a;
    }
    return nullptr;
}

void DrawnMenu::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && typed.size() == 1 && typed[0].isPrint() && !typed[0].isSpace()) {
        if (QAction* a = action_for_character(typed[0])) {
            // Executed as if chosen: select it and press Return on it.
            setActiveAction(a);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QMenu::keyPressEvent(&enter);
            return;
        }
    }
    QMenu::keyPressEvent(event);
}

}  // namespace morvane
