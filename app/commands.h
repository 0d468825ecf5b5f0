// The editor's commands and dialogs: New Image, Open, tile sets, resize.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

void new_image_dialog_open(EditorState& state);
/// A WidgetEvent of the New Image window (1).
void new_image_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

void open_image_command(EditorState& state);

/// "Open an image and convert it to TileSet": runs its own dialog loop until done.
void tileset_convert_command(EditorState& state);
/// "Save the tileSet": saves the current picture at its document size.
void tileset_save_command(EditorState& state);

void resize_dialog_open(EditorState& state);
/// A WidgetEvent of the resize window (4).
void resize_dialog_event(EditorState& state, std::int64_t source, std::int64_t subtype);

/// The seven embedded tool icon PNG files, in image order 0..6.
struct EmbeddedFile {
    const unsigned char* data;
    std::size_t size;
};
EmbeddedFile tool_icon_png(int index);

}  // namespace morvane
