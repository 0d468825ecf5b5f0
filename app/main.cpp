// The editor's executable: no arguments, exit code 0.
#include "app/editor.h"

int main() {
    morvane::EditorState state;
    return morvane::editor_start(state);
}
