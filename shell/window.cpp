// Numbered top-level windows: opening, closing, sizes, pointer position and shortcuts.
#include "shell/window.h"

#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <map>
#include <vector>

#include "shell/events.h"
#include "shell/shell_window.h"
#include "shell/statusbar_widget.h"

namespace morvane {
namespace {

std::map<ObjectNumber, ShellWindow*>& windows() {
    static std::map<ObjectNumber, ShellWindow*> table;
    return table;
}

}  // namespace

ShellWindow* shell_window(ObjectNumber number) {
    auto it = windows().find(number);
    return it == windows().end() ? nullptr : it->second;
}

ShellWindow* shell_window_from_handle(std::intptr_t handle) {
    for (auto& [n, w] : windows())
        if (reinterpret_cast<std::intptr_t>(w) == handle) return w;
    return nullptr;
}

int window_open(ObjectNumber number, int x, int y, int inner_width, int inner_height,
                const std::string& title, std::uint32_t flags, ObjectNumber parent) {
    if (!qApp || inner_width < 0 || inner_height < 0) return 0;
    if (shell_window(number)) window_close(number);

    ShellWindow* owner = parent == number ? nullptr : shell_window(parent);
    auto* w = new ShellWindow(number, flags, owner);
    w->owner = owner ? parent : -1;
    w->setWindowTitle(QString::fromStdString(title));
    w->set_inner_size(inner_width, inner_height);
    w->fit_to_screen();
    windows()[number] = w;

    if (flags & (CenterOnScreen | CenterOnParent)) {
        QRect area;
        ShellWindow* over = shell_window(parent);
        if ((flags & CenterOnParent) && !over)
            over = dynamic_cast<ShellWindow*>(QApplication::activeWindow());
        if ((flags & CenterOnParent) && over) {
            area = over->geometry();
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
        if (area.isValid()) w->move(area.center() - w->rect().center());
    } else if (x != DefaultPosition && !(y == DefaultPosition)) {
        w->move(x, y);
    }
    w->fit_to_screen();

    if (!(flags & OpenHidden)) {
        if (flags & NoActivate) w->setAttribute(Qt::WA_ShowWithoutActivating);
        if (flags & OpenMaximized)
            w->showMaximized();
        else if (flags & OpenMinimized)
            w->showMinimized();
        else
            w->show();
        if (!(flags & NoActivate)) w->bring_to_front();
    }
    widget_list_window_opened(number, !(flags & NoWidgetTarget));
    w->ready = true;
    return 1;
}

void window_close(ObjectNumber number) {
    ShellWindow* w = shell_window(number);
    if (!w) return;
    // Owned windows go first: they are the owner's children.
    std::vector<ObjectNumber> owned;
    for (const auto& [n, other] : windows())
        if (other->owner == number) owned.push_back(n);
    for (ObjectNumber n : owned) window_close(n);
    run_close_hooks(number);
    const ObjectNumber owner = w->owner;
    menus_forget_window(number);
    statusbars_forget_window(number);
    widget_list_window_closed(number);
    windows().erase(number);
    w->ready = false;
    w->hide();
    delete w;
    event_discard(-1, -1, number, -1);
    if (ShellWindow* o = shell_window(owner)) o->bring_to_front();
}

void window_close_all() {
    while (!windows().empty()) window_close(windows().begin()->first);
}

void window_set_title(ObjectNumber number, const std::string& title) {
    if (ShellWindow* w = shell_window(number)) w->setWindowTitle(QString::fromStdString(title));
}

std::string window_title(ObjectNumber number) {
    const ShellWindow* w = shell_window(number);
    return w ? w->windowTitle().toStdString() : std::string();
}

std::intptr_t window_handle(ObjectNumber number) {
    return reinterpret_cast<std::intptr_t>(shell_window(number));
}

ObjectNumber window_from_handle(std::intptr_t handle) {
    ShellWindow* w = shell_window_from_handle(handle);
    return w ? w->number() : -1;
}

void window_activate(ObjectNumber number) {
    if (ShellWindow* w = shell_window(number)) {
        if (w->isMinimized()) w->showNormal();
        w->bring_to_front();
    }
}

int window_inner_width(ObjectNumber number) {
    ShellWindow* w = shell_window(number);
    return w ? w->client()->width() : 0;
}

int window_inner_height(ObjectNumber number) {
    ShellWindow* w = shell_window(number);
    if (!w) return 0;
    // Menu bar plus client area: everything above the status bar.
    return w->height() - (w->status_bar() ? w->status_bar()->bar_height() : 0);
}

namespace {
QPoint pointer_in_client(ShellWindow* w) {
    const QPoint p = w->client()->mapFromGlobal(QCursor::pos());
    return w->client()->rect().contains(p) ? p : QPoint(-1, -1);
}
}  // namespace

int window_mouse_x(ObjectNumber number) {
    ShellWindow* w = shell_window(number);
    return w ? pointer_in_client(w).x() : 0;
}

int window_mouse_y(ObjectNumber number) {
    ShellWindow* w = shell_window(number);
    return w ? pointer_in_client(w).y() : 0;
}

int window_accept_drops(ObjectNumber window, int on) {
    ShellWindow* w = shell_window(window);
    if (!w) return 0;
    w->setAcceptDrops(on != 0);
    return 1;
}

int window_add_shortcut(ObjectNumber window, const std::string& key_sequence, int id) {
    ShellWindow* w = shell_window(window);
    const QKeySequence keys(QString::fromStdString(key_sequence));
    if (!w || keys.isEmpty()) return 0;
    auto* shortcut = new QShortcut(keys, w);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setProperty("morvane_id", id);
    QObject::connect(shortcut, &QShortcut::activated, w, [w, id] {
        if (w->ready) event_post(MenuEvent, id & 0xFFFF, w->number(), 0);
    });
    return 1;
}

int window_enable_shortcut(ObjectNumber window, int id, int on) {
    ShellWindow* w = shell_window(window);
    if (!w) return 0;
    int changed = 0;
    for (QShortcut* shortcut : w->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly)) {
        if (shortcut->property("morvane_id").toInt() != id) continue;
        shortcut->setEnabled(on != 0);
        ++changed;
    }
    return changed;
}

}  // namespace morvane
