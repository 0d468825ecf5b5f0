// Enter and Escape in dialog windows, as window-wide key bindings that press the window's
// buttons the way a click does (so the editor receives the button's own WidgetEvent).
#include "widgets/dialog_keys.h"

#include <QApplication>
#include <QPushButton>
#include <QShortcut>
#include <functional>

#include "shell/widget_list.h"
#include "widgets/widget.h"

namespace morvane {
namespace {

constexpr const char* kKeyName = "morvane_dialog_key";

// The button under `number` when it lies in `window`, or null.
QAbstractButton* button_in(ObjectNumber number, ObjectNumber window) {
    if (number == -1) return nullptr;
    auto* button = qobject_cast<QAbstractButton*>(widget_qt(number));
    return button && window_of(button) == window ? button : nullptr;
}

void press_default(QWidget* top, ObjectNumber window, ObjectNumber default_button) {
    // A focused push button is the one Enter means, as in any desktop dialog.
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && top->isAncestorOf(focused)) {
        focused->click();
        return;
    }
    if (QAbstractButton* button = button_in(default_button, window)) button->click();
}

void press_cancel(QWidget* top, ObjectNumber window, ObjectNumber cancel_button) {
    if (QAbstractButton* button = button_in(cancel_button, window)) {
        button->click();
        return;
    }
    // No Cancel: the close request that the close box makes.
    top->close();
}

void bind(QWidget* top, Qt::Key key, std::function<void()> action) {
    auto* shortcut = new QShortcut(QKeySequence(key), top);
    shortcut->setObjectName(QLatin1String(kKeyName));
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, top, std::move(action));
}

}  // namespace

int dialog_keys_set(ObjectNumber window, ObjectNumber default_button, ObjectNumber cancel_button) {
    QWidget* client = window_client(window);
    if (!client) return 0;
    QWidget* top = client->window();
    for (QShortcut* old : top->findChildren<QShortcut*>(QLatin1String(kKeyName), Qt::FindDirectChildrenOnly))
        delete old;
    for (QPushButton* button : top->findChildren<QPushButton*>()) button->setDefault(false);
    if (auto* button = qobject_cast<QPushButton*>(button_in(default_button, window)))
        button->setDefault(true);

    auto enter = [top, window, default_button] { press_default(top, window, default_button); };
    bind(top, Qt::Key_Return, enter);
    bind(top, Qt::Key_Enter, enter);
    bind(top, Qt::Key_Escape, [top, window, cancel_button] { press_cancel(top, window, cancel_button); });
    return 1;
}

}  // namespace morvane
