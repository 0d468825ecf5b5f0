// Numbered menu bars: building them item by item, check marks, and posting choices.
#include "shell/menu.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <map>
#include <vector>

#include "shell/events.h"
#include "shell/menu_style.h"
#include "shell/qt_image.h"
#include "shell/shell_window.h"

namespace morvane {
namespace {

struct MenuRecord {
    ObjectNumber window = -1;
    QPointer<QMenuBar> bar;
    bool gradient = false;
    std::multimap<int, QPointer<QAction>> items;
};

struct MenuBuilding {
    std::map<ObjectNumber, MenuRecord> table;
    ObjectNumber building = -1;
    QPointer<QMenu> current;  // null: items go to the bar itself
    std::vector<QPointer<QMenu>> stack;
};

MenuBuilding& menus() {
    static MenuBuilding m;
    return m;
}

MenuRecord* building_record() {
    auto it = menus().table.find(menus().building);
    if (it == menus().table.end() || !it->second.bar) return nullptr;
    return &it->second;
}

// Where the next item goes: the current drop-down, or the bar when none is current.
QWidget* target(MenuRecord& record) {
    if (menus().current) return menus().current;
    return record.bar;
}

}  // namespace

int menu_create_drawn(ObjectNumber number, std::intptr_t window_handle, int style) {
    ShellWindow* window = shell_window_from_handle(window_handle);
    if (!window) return 0;
    menu_free(number);
    auto* bar = new QMenuBar(window);
    window->set_menu_bar(bar);
    // A window has one menu bar: records of a replaced bar are dropped.
    std::erase_if(menus().table, [](const auto& entry) { return !entry.second.bar; });
    MenuRecord& record = menus().table[number];
    record.window = window->number();
    record.bar = bar;
    record.gradient = (style & GradientStyle) != 0;
    menus().building = number;
    menus().current = nullptr;
    menus().stack.clear();
    return 1;
}

void menu_title(const std::string& text) {
    MenuRecord* record = building_record();
    if (!record) return;
    auto* drop = new DrawnMenu(QString::fromStdString(text), record->gradient, record->bar);
    record->bar->addMenu(drop);
    menus().current = drop;
    menus().stack.clear();
    if (ShellWindow* w = shell_window(record->window)) w->relayout();
}

void menu_item(int id, const std::string& text, std::intptr_t image) {
    MenuRecord* record = building_record();
    if (!record) return;
    QWidget* where = target(*record);
    auto* action = new QAction(QString::fromStdString(text), where);
    const QImage picture = qimage_from_handle(image);
    if (!picture.isNull()) action->setIcon(QIcon(QPixmap::fromImage(picture)));
    const ObjectNumber window = record->window;
    QObject::connect(action, &QAction::triggered, action, [action, id, window] {
        // A checkable action flips itself when chosen; the mark is the program's to set.
        if (action->isCheckable()) action->setChecked(action->property("morvane_mark").toBool());
        if (shell_window(window)) event_post(MenuEvent, id, window, 0);
    });
    where->addAction(action);
    record->items.emplace(id, action);
}

void menu_separator() {
    MenuRecord* record = building_record();
    if (!record) return;
    if (menus().current)
        menus().current->addSeparator();
    else
        record->bar->addSeparator();
}

void menu_open_submenu(const std::string& text) {
    MenuRecord* record = building_record();
    if (!record) return;
    QWidget* where = target(*record);
    auto* drop = new DrawnMenu(QString::fromStdString(text), record->gradient, where);
    where->addAction(drop->menuAction());
    menus().stack.push_back(menus().current);
    menus().current = drop;
}

void menu_close_submenu() {
    if (menus().stack.empty()) return;
    menus().current = menus().stack.back();
    menus().stack.pop_back();
}

void menu_set_item_checked(ObjectNumber number, int id, int mark) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return;
    auto [first, last] = it->second.items.equal_range(id);
    for (auto i = first; i != last; ++i) {
        QAction* action = i->second;
        if (!action) continue;
        action->setProperty("morvane_mark", mark != 0);
        action->setCheckable(true);
        action->setChecked(mark != 0);
    }
}

int menu_item_checked(ObjectNumber number, int id) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return 0;
    auto found = it->second.items.find(id);
    if (found == it->second.items.end() || !found->second) return 0;
    return found->second->isCheckable() && found->second->isChecked() ? 1 : 0;
}

void menu_set_item_enabled(ObjectNumber number, int id, int enabled) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return;
    auto [first, last] = it->second.items.equal_range(id);
    for (auto i = first; i != last; ++i)
        if (QAction* action = i->second) action->setEnabled(enabled != 0);
}

int menu_item_enabled(ObjectNumber number, int id) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return 0;
    auto found = it->second.items.find(id);
    if (found == it->second.items.end() || !found->second) return 0;
    return found->second->isEnabled() ? 1 : 0;
}

void menu_free(ObjectNumber number) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return;
    if (ShellWindow* w = shell_window(it->second.window)) {
        if (it->second.bar && w->menu_bar() == it->second.bar) w->set_menu_bar(nullptr);
    }
    if (menus().building == number) {
        menus().building = -1;
        menus().current = nullptr;
        menus().stack.clear();
    }
    menus().table.erase(it);
}

void menus_forget_window(ObjectNumber window) {
    for (auto it = menus().table.begin(); it != menus().table.end();) {
        if (it->second.window == window) {
            if (menus().building == it->first) menus().building = -1;
            it = menus().table.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace morvane
