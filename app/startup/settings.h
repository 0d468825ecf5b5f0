// The settings file: read at start, written on the way out.
#pragma once

#include "app/editor_state.h"

namespace morvane {

void settings_load(EditorState& state);
void settings_save(const EditorState& state);

}  // namespace morvane
