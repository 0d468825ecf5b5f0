// Numbered menu bars: building them item by item, check marks, and posting choices.
#include "shell/menu.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QShortcut>
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
    QString title_keys;  // the letters that Alt opens a title with, upper case
    std::multimap<int, QPointer<QAction>> items;
    std::map<int, QPointer<QMenu>> submenus;  // drop-downs opened with an id
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

// Alt and a letter open a title, as on desktop menu bars: the letter after "&" in the
// title, else its first letter that no earlier title of the bar uses. The caption itself
// stays as given.
void bind_title_key(MenuRecord& record, QMenu* drop, const QString& title) {
    QChar key;
    const qsizetype amp = title.indexOf(u'&');
    if (amp >= 0 && amp + 1 < title.size() && title[amp + 1] != u'&') {
        record.title_keys += title[amp + 1].toUpper();  // the menu bar binds a marked key itself
        return;
    }
    for (qsizetype i = 0; key.isNull() && i < title.size(); ++i)
        if (title[i].isLetterOrNumber() && !record.title_keys.contains(title[i].toUpper())) key = title[i].toUpper();
    if (key.isNull() || record.title_keys.contains(key)) return;
    record.title_keys += key;
    QMenuBar* bar = record.bar;
    auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Alt+") + key), bar);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, drop, [bar, drop] { bar->setActiveAction(drop->menuAction()); });
}

}  // namespace

int menu_create_drawn(ObjectNumber number, std::intptr_t window_handle, int style) {
    ShellWindow* window = shell_window_from_handle(window_handle);
    if (!window) return 0;
    menu_free(number);
    auto* bar = new QMenuBar(window);
    window->set_menu_bar(bar);
    // F10 opens the first menu of the bar, as on other desktop programs.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar);
    f10->setContext(Qt::WindowShortcut);
    QObject::connect(f10, &QShortcut::activated, bar, [bar] {
        const QList<QAction*> titles = bar->actions();
        if (!titles.isEmpty()) bar->setActiveAction(titles.front());
    });
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
    bind_title_key(*record, drop, drop->title());
    menus().current = drop;
    menus().stack.clear();
    if (ShellWindow* w = shell_window(record->window)) w->relayout();
}

namespace {

// Appends an item that posts a MenuEvent with its id when chosen.
void add_action(MenuRecord& record, QWidget* where, int id, const std::string& text, std::intptr_t image) {
    auto* action = new QAction(QString::fromStdString(text), where);
    const QImage picture = qimage_from_handle(image);
    if (!picture.isNull()) action->setIcon(QIcon(QPixmap::fromImage(picture)));
    const ObjectNumber window = record.window;
    QObject::connect(action, &QAction::triggered, action, [action, id, window] {
        // A checkable action flips itself when chosen; the mark is the program's to set.
        if (action->isCheckable()) action->setChecked(action->property("morvane_mark").toBool());
        if (shell_window(window)) event_post(MenuEvent, id, window, 0);
    });
    where->addAction(action);
    record.items.emplace(id, action);
}

}  // namespace

void menu_item(int id, const std::string& text, std::intptr_t image) {
    MenuRecord* record = building_record();
    if (!record) return;
    add_action(*record, target(*record), id, text, image);
}

void menu_separator() {
    MenuRecord* record = building_record();
    if (!record) return;
    if (menus().current)
        menus().current->addSeparator();
    else
        record->bar->addSeparator();
}

void menu_open_submenu(const std::string& text, int id) {
    MenuRecord* record = building_record();
    if (!record) return;
    QWidget* where = target(*record);
    auto* drop = new DrawnMenu(QString::fromStdString(text), record->gradient, where);
    where->addAction(drop->menuAction());
    if (id >= 0) record->submenus[id] = drop;
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

int menu_add_item(ObjectNumber number, int submenu_id, int id, const std::string& text) {
    auto it = menus().table.find(number);
    if (it == menus().table.end() || !it->second.bar) return 0;
    auto sub = it->second.submenus.find(submenu_id);
    if (sub == it->second.submenus.end() || !sub->second) return 0;
    add_action(it->second, sub->second, id, text, 0);
    return 1;
}

void menu_remove_item(ObjectNumber number, int id) {
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return;
    auto [first, last] = it->second.items.equal_range(id);
    for (auto i = first; i != last; ++i) delete i->second.data();
    it->second.items.erase(id);
}

namespace {
// The actions an id names: its items, or the entry of its submenu.
std::vector<QAction*> actions_of(ObjectNumber number, int id) {
    std::vector<QAction*> found;
    auto it = menus().table.find(number);
    if (it == menus().table.end()) return found;
    auto [first, last] = it->second.items.equal_range(id);
    for (auto i = first; i != last; ++i)
        if (i->second) found.push_back(i->second);
    auto sub = it->second.submenus.find(id);
    if (sub != it->second.submenus.end() && sub->second) found.push_back(sub->second->menuAction());
    return found;
}
}  // namespace

void menu_set_item_enabled(ObjectNumber number, int id, int enabled) {
    for (QAction* action : actions_of(number, id)) action->setEnabled(enabled != 0);
}

int menu_item_enabled(ObjectNumber number, int id) {
    const std::vector<QAction*> found = actions_of(number, id);
    return !found.empty() && found.front()->isEnabled() ? 1 : 0;
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
