// Where the custom brush pictures are: the brush folder named by the "brushdir" setting,
// looked for in the current folder first (the user's own brushes beside the pictures), then
// the user's data folder, the installed data beside the program, the system data folders and
// the build tree, so a build run in place finds the brushes it ships.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/tools/painting.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

constexpr int CustomTip = 3;

// The folders that may hold "brush/<dir>", in the order they are tried.
std::vector<fs::path> brush_roots() {
    std::vector<fs::path> roots{"."};
    const char* data_home = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data_home && data_home[0] == '/') {
        roots.push_back(fs::path(data_home) / "morvane");
    } else if (home && home[0] == '/') {
        roots.push_back(fs::path(home) / ".local/share/morvane");
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) roots.push_back(program.parent_path().parent_path() / "share/morvane");
    const char* data_dirs = std::getenv("XDG_DATA_DIRS");
    std::string dirs = data_dirs && *data_dirs ? data_dirs : "/usr/local/share:/usr/share";
    for (std::size_t at = 0; at <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', at), dirs.size());
        const std::string dir = dirs.substr(at, end - at);
        if (!dir.empty() && dir[0] == '/') roots.push_back(fs::path(dir) / "morvane");
        at = end + 1;
    }
#ifdef MORVANE_BUILD_DATA_DIR
    roots.push_back(MORVANE_BUILD_DATA_DIR);
#endif
    return roots;
}

// The numbers N of the files brushN.png in a folder, ascending.
std::vector<int> indices_in(const fs::path& folder) {
    std::vector<int> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 10 || name.compare(0, 5, "brush") != 0 ||
            name.compare(name.size() - 4, 4, ".png") != 0)
            continue;
        const std::string digits = name.substr(5, name.size() - 9);
        if (digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (digits.size() > 1 && digits[0] == '0') continue;  // brush01.png is not brush 1
        const int n = std::stoi(digits);
        std::error_code unreadable;
        if (n <= 32767 && fs::is_regular_file(it->path(), unreadable)) found.push_back(n);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A folder name that stays inside the brush folder.
bool plain_name(const std::string& dir) {
    return !dir.empty() && dir != "." && dir != ".." && dir.find('/') == std::string::npos &&
           dir.find('\\') == std::string::npos;
}

}  // namespace

BrushFolder brush_folder(const EditorState& state) {
    if (!plain_name(state.tools.brush_dir)) return {};
    for (const fs::path& root : brush_roots()) {
        const fs::path folder = root / "brush" / state.tools.brush_dir;
        std::vector<int> indices = indices_in(folder);
        if (!indices.empty()) return {folder.string(), std::move(indices)};
    }
    return {};
}

std::string custom_brush_path(const EditorState& state) {
    const BrushFolder folder = brush_folder(state);
    const std::string base = folder.path.empty() ? "brush/" + state.tools.brush_dir : folder.path;
    return base + "/brush" + std::to_string(state.tools.brush_index) + ".png";
}

void brush_tips_refresh(const EditorState& state) {
    combo_box_set_item_enabled(TipCombo, CustomTip, brush_folder(state).indices.empty() ? 0 : 1);
}

void brush_step(EditorState& state, int step) {
    // To the next (or previous) brush picture of the folder; the first and the last stay.
    const std::vector<int> indices = brush_folder(state).indices;
    if (indices.empty()) return;
    int next = state.tools.brush_index;
    if (step > 0) {
        const auto it = std::upper_bound(indices.begin(), indices.end(), state.tools.brush_index);
        next = it != indices.end() ? *it : indices.back();
    } else if (step < 0) {
        const auto it = std::lower_bound(indices.begin(), indices.end(), state.tools.brush_index);
        next = it != indices.begin() ? *(it - 1) : indices.front();
    }
    state.tools.brush_index = static_cast<std::int16_t>(next);
    if (state.tools.brush_type == CustomTip) stamp_rebuild(state, false);
}

}  // namespace morvane
