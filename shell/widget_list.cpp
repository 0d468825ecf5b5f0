// The current widget list: where widgets are created, and the close hooks.
#include "shell/widget_list.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "shell/shell_window.h"

namespace morvane {
namespace {

struct WidgetListState {
    std::vector<ObjectNumber> opened;  // open target windows, oldest first
    ObjectNumber target = -1;
    std::vector<QPointer<QWidget>> nested;  // scroll-area and page containers of the target
    std::vector<std::function<void(ObjectNumber)>> close_hooks;
};

WidgetListState& state() {
    static WidgetListState s;
    return s;
}

}  // namespace

QWidget* widget_list_parent() {
    WidgetListState& s = state();
    while (!s.nested.empty() && !s.nested.back()) s.nested.pop_back();
    if (!s.nested.empty()) return s.nested.back();
    return window_client(s.target);
}

ObjectNumber widget_list_window() {
    return shell_window(state().target) ? state().target : -1;
}

void widget_list_push(QWidget* container) {
    if (container) state().nested.emplace_back(container);
}

void widget_list_pop() {
    WidgetListState& s = state();
    if (!s.nested.empty()) s.nested.pop_back();
}

QWidget* window_client(ObjectNumber window) {
    ShellWindow* w = shell_window(window);
    return w ? w->client() : nullptr;
}

ObjectNumber window_of(const QWidget* widget) {
    if (!widget) return -1;
    auto* w = dynamic_cast<const ShellWindow*>(widget->window());
    return w ? w->number() : -1;
}

void window_on_close(std::function<void(ObjectNumber window)> hook) {
    if (hook) state().close_hooks.push_back(std::move(hook));
}

void run_close_hooks(ObjectNumber number) {
    for (auto& hook : state().close_hooks) hook(number);
}

void widget_list_window_opened(ObjectNumber number, bool make_target) {
    WidgetListState& s = state();
    std::erase(s.opened, number);
    if (!make_target) return;
    s.opened.push_back(number);
    s.target = number;
    s.nested.clear();
}

void widget_list_window_closed(ObjectNumber number) {
    WidgetListState& s = state();
    std::erase(s.opened, number);
    if (s.target != number) return;
    // Creation falls back to the last opened window that is still open.
    s.nested.clear();
    s.target = s.opened.empty() ? -1 : s.opened.back();
}

}  // namespace morvane
