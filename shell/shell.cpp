// Shell start-up and shutdown, and the keys every window handles itself.
#include "shell/shell.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <memory>

#include "shell/events.h"
#include "shell/shell_window.h"

namespace morvane {
namespace {

// Tab and Shift+Tab move the focus through the active window's widgets before any widget
// sees the key, as a window-wide key binding would.
class FocusKeys : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const bool tab = key->key() == Qt::Key_Tab && mods == Qt::NoModifier;
        const bool backtab =
            key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && mods == Qt::ShiftModifier);
        if (!tab && !backtab) return false;
        auto* widget = qobject_cast<QWidget*>(target);
        if (!widget) return false;
        auto* window = dynamic_cast<ShellWindow*>(widget->window());
        if (!window) return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();  // keep the key from becoming someone's shortcut
            return true;
        }
        window->cycle_focus(tab);
        return true;
    }
};

struct ShellState {
    std::unique_ptr<QApplication> own_app;
    QObject* focus_keys = nullptr;
};

ShellState& shell() {
    static ShellState s;
    return s;
}

int fake_argc = 1;
char fake_name[] = "morvane";
char* fake_argv[] = {fake_name, nullptr};

}  // namespace

int shell_init() {
    ShellState& s = shell();
    if (!QApplication::instance()) {
        s.own_app = std::make_unique<QApplication>(fake_argc, fake_argv);
        // Dialog layouts are given in pixels for a compact 8-point interface font of
        // Arial's widths (Liberation Sans or another metric-compatible face stands in); the
        // desktop's wider default would clip captions such as the tool panel's check box.
        QFont font = QApplication::font();
        font.setFamilies({QStringLiteral("Arial"), font.family()});
        if (font.pointSizeF() > 8.0) font.setPointSizeF(8.0);
        QApplication::setFont(font);
    }
    if (!qobject_cast<QApplication*>(QApplication::instance())) return 0;
    if (!s.focus_keys) {
        s.focus_keys = new FocusKeys(qApp);
        qApp->installEventFilter(s.focus_keys);
    }
    return 1;
}

void shell_shutdown() {
    ShellState& s = shell();
    window_close_all();
    event_queue_clear();
    if (s.focus_keys) {
        delete s.focus_keys;
        s.focus_keys = nullptr;
    }
    if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    s.own_app.reset();
}

}  // namespace morvane
