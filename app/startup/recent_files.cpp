// Open Recent: the last pictures opened or saved, kept in the user's configuration folder
// (XDG base directories) one path a line, and the submenu that lists them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/startup/desktop.h"
#include "shell/menu.h"

namespace morvane {

namespace {

std::string absolute_path(const std::string& file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return error ? file : absolute.lexically_normal().string();
}

// The entries as the submenu shows them now: a choice names one of these, whatever another
// instance of the editor has written to the list since.
std::vector<std::string>& shown() {
    static std::vector<std::string> entries;
    return entries;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string recent_list_path() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (config && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        folder = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return (folder / "morvane" / "recent").string();
}

std::vector<std::string> recent_list_read() {
    std::vector<std::string> list;
    const std::string path = recent_list_path();
    if (path.empty()) return list;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (static_cast<int>(list.size()) < RecentLimit && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        bool repeated = false;
        for (const std::string& kept : list) repeated = repeated || kept == line;
        if (!repeated) list.push_back(line);
    }
    return list;
}

bool recent_list_write(const std::vector<std::string>& list) {
    const std::string path = recent_list_path();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) return false;
    // Written beside and renamed over, so a failed write never leaves half a list.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& entry : list) out << entry << '\n';
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

std::vector<std::string> recent_list_added(std::vector<std::string> list, const std::string& path) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return list;
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (static_cast<int>(list.size()) > RecentLimit) list.resize(RecentLimit);
    return list;
}

void recent_note(const std::string& file) {
    // Pictures gone from disk make room before the oldest entry is pushed out.
    std::vector<std::string> list = recent_list_read();
    std::erase_if(list, [](const std::string& path) { return !exists(path); });
    recent_list_write(recent_list_added(list, absolute_path(file)));
    recent_menu_refresh();
}

std::string recent_caption(int index, const std::string& path) {
    std::string caption = std::to_string(index + 1) + "  ";
    for (char c : path) {
        caption += c;
        if (c == '&') caption += '&';
    }
    return caption;
}

void recent_menu_refresh() {
    std::vector<std::string> list = recent_list_read();
    // Pictures that were moved or deleted leave the list for good.
    const std::size_t before = list.size();
    std::erase_if(list, [](const std::string& path) { return !exists(path); });
    if (list.size() != before) recent_list_write(list);

    for (int i = 0; i < RecentLimit; ++i) menu_remove_item(MainMenu, RecentFirst + i);
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
        menu_add_item(MainMenu, OpenRecentMenu, RecentFirst + i,
                      recent_caption(i, list[static_cast<std::size_t>(i)]));
    menu_set_item_enabled(MainMenu, OpenRecentMenu, list.empty() ? 0 : 1);
    shown() = list;
}

void recent_open(EditorState& state, int index) {
    if (index < 0 || index >= static_cast<int>(shown().size())) return;
    const std::string file = shown()[static_cast<std::size_t>(index)];
    if (!open_image_file(state, file)) {
        // A file that can no longer be read is taken off the list.
        std::vector<std::string> rest = recent_list_read();
        std::erase(rest, file);
        recent_list_write(rest);
        recent_menu_refresh();
    }
}

}  // namespace morvane
