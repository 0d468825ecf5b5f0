// Tabbed panel. Each added item is a page; widgets created after adding a page go onto it
// until widget_list_close(). The state is the index of the page shown (-1 with no pages).
#include <QTabWidget>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

const WidgetOps kOps = [] {
    WidgetOps ops;
    ops.get_state = [](QWidget* w) -> std::int64_t { return static_cast<QTabWidget*>(w)->currentIndex(); };
    ops.set_state = [](QWidget* w, std::int64_t value) {
        auto* panel = static_cast<QTabWidget*>(w);
        if (value >= 0 && value < panel->count()) panel->setCurrentIndex(int(value));
    };
    ops.get_text = [](QWidget*) { return std::string(); };
    ops.set_text = [](QWidget*, const std::string&) {};
    ops.add_item = [](QWidget* w, int position, const std::string& text) {
        auto* panel = static_cast<QTabWidget*>(w);
        auto* page = new QWidget;
        int at = position < 0 || position > panel->count() ? panel->count() : position;
        panel->insertTab(at, page, qstr(text));
        widget_list_open(panel, page);
    };
    return ops;
}();

}  // namespace

std::intptr_t panel_create(ObjectNumber number, int x, int y, int width, int height) {
    QWidget* parent = creation_parent();
    if (!parent) return 0;
    auto* panel = new QTabWidget(parent);
    // Controls created after the panel (outside its pages) sit on top of it.
    panel->lower();
    return widget_finish(number, PanelWidget, panel, &kOps, x, y, width, height);
}

}  // namespace morvane
