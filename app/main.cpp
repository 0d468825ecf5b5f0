// The editor's executable: `morvane [FILE]` opens FILE at start; exit code 0.
#include <string>
#include <vector>

#include "app/editor.h"

int main(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
    morvane::EditorState state;
    return morvane::editor_start(state, files);
}
