// The Tile Grid window: four spin boxes and OK/Cancel. OK applies the grid, keeps its offset
// and gap for the next run and links the tiles again in tile mode.
#include "app/tiles/tile_grid_dialog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/startup/desktop.h"
#include "app/tiles/tile_mode.h"
#include "app/view/view.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace tile_grid_window;

constexpr std::int64_t kMaxSide = 4096;  // cell size, offset and gap: 1..4096, 0..4096

void spin(ObjectNumber number, int y, std::int64_t low, std::int64_t value) {
    spin_create(number, 110, y, 70, 22, low, kMaxSide, SpinNumeric);
    widget_set_state(number, value);
}

std::int16_t spin_value(ObjectNumber number, std::int64_t low) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(widget_get_state(number), low, kMaxSide));
}

void apply(EditorState& state) {
    state.view.grid_width = spin_value(TileWidthSpin, 1);
    state.view.grid_height = spin_value(TileHeightSpin, 1);
    state.view.grid_offset = spin_value(OffsetSpin, 0);
    state.view.grid_gap = spin_value(GapSpin, 0);
    window_close(TileGridWindow);
    tile_grid_place_save(state);
    // The cells moved: tile mode links the new cells (or says why it cannot).
    if (state.tools.tile_mode) tile_relink(state);
    view_redraw(state);
}

// "offset=N" and "gap=N" lines.
bool read_value(const std::string& line, const std::string& key, std::int16_t* value) {
    if (line.rfind(key + "=", 0) != 0) return false;
    const std::string digits = line.substr(key.size() + 1);
    if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long number = std::stol(digits);
    if (number > kMaxSide) return false;
    *value = static_cast<std::int16_t>(number);
    return true;
}

}  // namespace

void tile_grid_dialog_open(EditorState& state) {
    if (!window_open(TileGridWindow, DefaultPosition, DefaultPosition, 290, 150, "Tile Grid", 0xC80001, MainWindow))
        return;
    int label = FirstLabel;
    const char* captions[] = {"Tile width :", "Tile height :", "Offset :", "Gap :"};
    for (int i = 0; i < 4; ++i) text_create(label++, 10, 12 + 30 * i, 95, 20, captions[i]);
    spin(TileWidthSpin, 10, 1, state.view.grid_width);
    spin(TileHeightSpin, 40, 1, state.view.grid_height);
    spin(OffsetSpin, 70, 0, state.view.grid_offset);
    spin(GapSpin, 100, 0, state.view.grid_gap);
    button_create(OkButton, 205, 10, 75, 24, "OK");
    button_create(CancelButton, 205, 40, 75, 24, "Cancel");
    dialog_keys_set(TileGridWindow, OkButton, CancelButton);
}

void tile_grid_dialog_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case OkButton:
            apply(state);
            break;
        case CancelButton:
            window_close(TileGridWindow);
            break;
        default:
            break;
    }
}

std::string tile_grid_place_path() {
    const std::string recent = recent_list_path();
    if (recent.empty()) return {};
    return (std::filesystem::path(recent).parent_path() / "grid").string();
}

void tile_grid_place_load(EditorState& state) {
    state.view.grid_offset = 0;
    state.view.grid_gap = 0;
    const std::string path = tile_grid_place_path();
    if (path.empty()) return;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int lines = 0; lines < 16 && std::getline(in, line); ++lines) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!read_value(line, "offset", &state.view.grid_offset))
            read_value(line, "gap", &state.view.grid_gap);
    }
}

bool tile_grid_place_save(const EditorState& state) {
    const std::string path = tile_grid_place_path();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) return false;
    // Written beside and renamed over, as the recent list is.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "offset=" << state.view.grid_offset << "\ngap=" << state.view.grid_gap << '\n';
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

}  // namespace morvane
