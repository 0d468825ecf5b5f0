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
        read_into(state.grid_visible, "grid", defaults.grid_visible);
        read_into(state.grid_width, "gridW", defaults.grid_width);
        read_into(state.grid_height, "gridH", defaults.grid_height);
        read_into(state.grid_color, "gridColor", defaults.grid_color);
        state.brush_dir = preference_read_string("brushdir", defaults.brush_dir);
        read_into(state.brush_size, "brushsize", defaults.brush_size);
        read_into(state.brush_alpha, "brushalpha", defaults.brush_alpha);
        read_into(state.brush_type, "brushtype", defaults.brush_type);
        read_into(state.brush_tool, "brushtool", defaults.brush_tool);
        preference_close();
    } else {
        state.grid_visible = defaults.grid_visible;
        state.grid_width = defaults.grid_width;
        state.grid_height = defaults.grid_height;
        state.grid_color = defaults.grid_color;
        state.brush_dir = defaults.brush_dir;
        state.brush_size = defaults.brush_size;
        state.brush_alpha = defaults.brush_alpha;
        state.brush_type = defaults.brush_type;
        state.brush_tool = defaults.brush_tool;
    }
    smallest_png_load();  // kept in its own file, beside Open Recent
    state.zoom = 100;
    state.zoom_before_command = 100;
    state.new_image_default_width = state.new_image_default_height = 256;
    state.view_width = state.view_height = 256;
    state.base_width = state.base_height = 256;
}

void settings_save(const EditorState& state) {
    if (!preference_create(kFileName)) return;
    preference_write_integer("grid", state.grid_visible);
    preference_write_integer("gridW", state.grid_width);
    preference_write_integer("gridH", state.grid_height);
    preference_write_integer("gridColor", state.grid_color);
    preference_write_string("brushdir", state.brush_dir);
    preference_write_integer("brushsize", state.brush_size);
    preference_write_integer("brushalpha", state.brush_alpha);
    preference_write_integer("brushtype", state.brush_type);
    preference_write_integer("brushtool", state.brush_tool);
    preference_close();
}

}  // namespace morvane
