// One-key tools and the commands of the desktop habits reached through menu ids.
#include "app/select/select_tool.h"
#include "app/startup/desktop.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/view/view.h"
#include "shell/window.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

struct ToolKey {
    const char* keys;
    int button;
};

// The letters painters know from other editors: B brush, L line, U box and Shift+U
// ellipse (the shape key), G fill, E eraser.
constexpr ToolKey ToolKeys[] = {
    {"B", ToolPaint},         {"L", ToolLine}, {"U", ToolBox},
    {"Shift+U", ToolEllipse}, {"G", ToolFill}, {"E", EraserButton},
};

struct ZoomKey {
    const char* keys;
    int id;
};

constexpr ZoomKey ZoomKeys[] = {
    {"Ctrl++", ZoomKeyIn},  {"Ctrl+=", ZoomKeyIn}, {"+", ZoomKeyIn},
    {"Ctrl+-", ZoomKeyOut}, {"-", ZoomKeyOut},     {"Ctrl+0", ZoomKeyReset},
};

}  // namespace

void tool_keys_install() {
    // Window shortcuts: a focused text field or spin box takes its letters before them.
    for (const ToolKey& key : ToolKeys) window_add_shortcut(MainWindow, key.keys, tool_key_id(key.button));
    for (const ZoomKey& key : ZoomKeys) window_add_shortcut(MainWindow, key.keys, key.id);
    select_keys_install();
}

void tool_key(EditorState& state, int button) {
    if (button == ToolPaint) return paint_key(state);
    // A click flips a toggle button, then the tool panel reacts to its new state.
    widget_set_state(button, widget_get_state(button) != 0 ? 0 : 1);
    tool_panel_event(state, button, 0);
}

void editor_open_files(EditorState& state, const std::vector<std::string>& files) {
    if (!files.empty()) open_image_file(state, files.front());
}

bool desktop_menu_event(EditorState& state, std::int64_t id) {
    if (id >= RecentFirst && id < RecentFirst + RecentLimit) {
        recent_open(state, static_cast<int>(id - RecentFirst));
        return true;
    }
    if (id == ZoomKeyIn || id == ZoomKeyOut || id == ZoomKeyReset) {
        view_zoom_key(state, id == ZoomKeyIn ? 1 : id == ZoomKeyOut ? -1 : 0);
        return true;
    }
    for (const ToolKey& key : ToolKeys) {
        if (id == tool_key_id(key.button)) {
            tool_key(state, key.button);
            return true;
        }
    }
    return false;
}

}  // namespace morvane
