// Opening files the desktop way (command line, drops, Open Recent) and the one-key tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"

namespace morvane {

/// Open: asks for a picture and opens it.
void open_image_command(EditorState& state);

/// Replaces the document with the picture in `file` (an absolute or current-directory
/// path), as the Open command does once a file is chosen; a picture that cannot be read gives
/// "Cannot load image: " + file and leaves the document as it was. True when opened.
bool open_image_file(EditorState& state, const std::string& file);

/// Opens the first of the files named on the command line, if any.
void editor_open_files(EditorState& state, const std::vector<std::string>& files);

// ---- Open Recent ----
/// The file that keeps the list: $XDG_CONFIG_HOME/morvane/recent, or
/// $HOME/.config/morvane/recent when XDG_CONFIG_HOME is unset or not absolute; "" when
/// neither variable gives a folder.
std::string recent_list_path();
/// The list as kept (at most RecentLimit paths, most recent first); empty when unreadable.
std::vector<std::string> recent_list_read();
/// Writes the list; false when the folder or the file cannot be written.
bool recent_list_write(const std::vector<std::string>& list);
/// `list` with `path` put first: an earlier entry of the same path is dropped and the list
/// is cut to RecentLimit. Paths that a line cannot hold are not added.
std::vector<std::string> recent_list_added(std::vector<std::string> list, const std::string& path);
/// Records a picture that was opened or saved (as an absolute path) and refreshes the menu.
void recent_note(const std::string& file);
/// Rebuilds the Open Recent submenu from the kept list. Pictures that no longer exist are
/// dropped from the list; the submenu is greyed when nothing is left.
void recent_menu_refresh();
/// The caption of an entry: its number and its path, with "&" doubled so it shows as typed.
std::string recent_caption(int index, const std::string& path);
/// Opens entry `index` of the list as shown in the menu.
void recent_open(EditorState& state, int index);

// ---- one-key tools ----
/// The MenuEvent id that the key of tool button `button` posts.
constexpr int tool_key_id(int button) {
    return static_cast<int>(ToolKeyBase) + button;
}
/// Binds B, L, U, Shift+U, G and E of the main window to their tool buttons, and the zoom keys.
void tool_keys_install();
/// Does what a click on tool button `button` does, pressed look included.
void tool_key(EditorState& state, int button);

/// A MenuEvent id of this file's commands (recent entries, tool keys): handled and true, or false.
bool desktop_menu_event(EditorState& state, std::int64_t id);

}  // namespace morvane
