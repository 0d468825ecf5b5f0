// The editor's small dialogs: New Image, Resize Image and Preferences, and the number typed
// in their fields.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor_state.h"

namespace morvane {

void new_image_dialog_open(EditorState& state);
/// A WidgetEvent of the New Image window (1).
void new_image_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

void resize_dialog_open(EditorState& state);
/// A WidgetEvent of the resize window (4).
void resize_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

void preferences_window_open(EditorState& state);
/// Handler of the Preferences window's widgets (39, 40, 41).
void preferences_window_event(EditorState& state, std::int64_t source, std::int64_t subtype);

/// The number typed in a text field: blanks and tabs skipped, an optional sign, then decimal
/// digits ("$" hexadecimal, "%" binary) up to the first other character; 0 without digits.
std::int64_t string_to_integer(const std::string& text);

}  // namespace morvane
