// The editor's executable: `morvane [FILE]` opens FILE at start; exit code 0.
// `morvane --version` prints the version and ends without opening a window.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup/startup.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("morvane %s\n", MORVANE_VERSION);
        return 0;
    }
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
    morvane::EditorState state;
    return morvane::editor_start(state, files);
}
