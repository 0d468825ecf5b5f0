// "Smallest PNG files": one line, "1" or "0", in $XDG_CONFIG_HOME/morvane/smallest-png. The
// choice applies at once to the PNG encoder and is kept at once, like the Open Recent list.
#include "app/dialogs/png_preference.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/startup/desktop.h"
#include "image/png_optimize.h"

namespace morvane {

std::string smallest_png_path() {
    const std::string recent = recent_list_path();
    if (recent.empty()) return {};
    return (std::filesystem::path(recent).parent_path() / "smallest-png").string();
}

void smallest_png_load() {
    const std::string path = smallest_png_path();
    std::ifstream in(path, std::ios::binary);
    std::string line;
    png_smallest_set(!path.empty() && std::getline(in, line) && (line == "1" || line == "1\r"));
}

bool smallest_png_choose(bool on) {
    png_smallest_set(on);
    const std::string path = smallest_png_path();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) return false;
    // Written beside and renamed over, so a failed write never leaves a damaged file.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << (on ? "1\n" : "0\n");
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
