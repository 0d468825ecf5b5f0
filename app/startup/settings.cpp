// The nine settings kept in "pref.ini" in the current directory: read at start-up with their
// defaults, written back in a fixed order at a normal exit.
#include "app/startup/settings.h"

#include "app/dialogs/png_preference.h"
#include "prefs/preferences.h"

namespace morvane {

namespace {

constexpr const char* kFileName = "pref.ini";

// Integers are read as 64-bit values and keep only the low bits that fit the field.
template <typename Field>
void read_into(Field& field, const char* key, std::int64_t fallback) {
    field = static_cast<Field>(preference_read_integer(key, fallback));
}

}  // namespace

void settings_load(EditorState& state) {
    const EditorState defaults;
    if (preference_open(kFileName)) {
        read_into(state.view.grid_visible, "grid", defaults.view.grid_visible);
        read_into(state.view.grid_width, "gridW", defaults.view.grid_width);
        read_into(state.view.grid_height, "gridH", defaults.view.grid_height);
        read_into(state.view.grid_color, "gridColor", defaults.view.grid_color);
        state.tools.brush_dir = preference_read_string("brushdir", defaults.tools.brush_dir);
        read_into(state.tools.brush_size, "brushsize", defaults.tools.brush_size);
        read_into(state.tools.brush_alpha, "brushalpha", defaults.tools.brush_alpha);
        read_into(state.tools.brush_type, "brushtype", defaults.tools.brush_type);
        read_into(state.tools.brush_tool, "brushtool", defaults.tools.brush_tool);
        preference_close();
    } else {
        state.view.grid_visible = defaults.view.grid_visible;
        state.view.grid_width = defaults.view.grid_width;
        state.view.grid_height = defaults.view.grid_height;
        state.view.grid_color = defaults.view.grid_color;
        state.tools.brush_dir = defaults.tools.brush_dir;
        state.tools.brush_size = defaults.tools.brush_size;
        state.tools.brush_alpha = defaults.tools.brush_alpha;
        state.tools.brush_type = defaults.tools.brush_type;
        state.tools.brush_tool = defaults.tools.brush_tool;
    }
    smallest_png_load();  // kept in its own file, beside Open Recent
    state.view.zoom = 100;
    state.view.zoom_before_command = 100;
    state.dialogs.new_image_default_width = state.dialogs.new_image_default_height = 256;
    state.view.view_width = state.view.view_height = 256;
    state.view.base_width = state.view.base_height = 256;
}

void settings_save(const EditorState& state) {
    if (!preference_create(kFileName)) return;
    preference_write_integer("grid", state.view.grid_visible);
    preference_write_integer("gridW", state.view.grid_width);
    preference_write_integer("gridH", state.view.grid_height);
    preference_write_integer("gridColor", state.view.grid_color);
    preference_write_string("brushdir", state.tools.brush_dir);
    preference_write_integer("brushsize", state.tools.brush_size);
    preference_write_integer("brushalpha", state.tools.brush_alpha);
    preference_write_integer("brushtype", state.tools.brush_type);
    preference_write_integer("brushtool", state.tools.brush_tool);
    preference_close();
}

}  // namespace morvane
