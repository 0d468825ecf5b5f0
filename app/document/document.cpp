// The document's file, unsaved state, title, undo/redo and saving.
#include <algorithm>
#include <cctype>

#include "app/document/document_commands.h"
#include "app/document/paint_region.h"
#include "app/select/select_tool.h"
#include "app/startup/desktop.h"
#include "app/tilesets/tileset_commands.h"
#include "app/view/view.h"
#include "image/codec.h"
#include "image/file.h"
#include "image/image.h"
#include "shell/menu.h"
#include "shell/window.h"
#include "widgets/dialogs.h"

namespace morvane {
namespace {

// The format a file name's extension names (0 for none we write) and its pattern number in
// the save dialog.
struct FileFormat {
    std::uint32_t tag = 0;
    int pattern = 0;
};
FileFormat format_of(const std::string& file) {
    const std::string name = file_part(file);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".png") return {FormatPng, 0};
    if (ext == ".jpg" || ext == ".jpeg") return {FormatJpeg, 1};
    if (ext == ".bmp") return {FormatBmp, 2};
    return {};
}

// After undo or redo changed `rect` of the picture: a change of size lays the view out
// again, any other change repaints what it covers.
void picture_changed(EditorState& state, const Rect& rect) {
    const int width = state.document.width(), height = state.document.height();
    if (width != state.view.base_width || height != state.view.base_height) {
        state.view.base_width = width;
        state.view.base_height = height;
        state.view.view_width = state.view.base_width * state.view.zoom / 100;
        state.view.view_height = state.view.base_height * state.view.zoom / 100;
        status_update(state);
        view_layout(state, true);
        view_redraw(state);
        return;
    }
    view_show_document_rect(state, rect.x0, rect.y0, rect.x1, rect.y1);
}

}  // namespace

std::string document_title(const Document& document) {
    const std::string name = document.file.empty() ? "Morvane" : file_part(document.file) + " - Morvane";
    return document.modified() ? "*" + name : name;
}

ObjectNumber document_picture(const EditorState& state) {
    return state.document.image();
}

void document_start(EditorState& state, const std::string& file) {
    // A new or opened picture has no selection.
    state.document.selection = Selection{};
    state.document.history.clear();
    state.document.unrecorded_change = false;
    state.document.file = file;
    state.document.tiles.reset();
    document_state_changed(state);
}

void document_state_changed(EditorState& state) {
    const std::string title = document_title(state.document);
    if (window_title(MainWindow) != title) window_set_title(MainWindow, title);
    menu_set_item_enabled(MainMenu, MenuUndo, state.document.history.can_undo());
    menu_set_item_enabled(MainMenu, MenuRedo, state.document.history.can_redo());
}

namespace {

// Undo (forward false) or redo of the next step.
void document_step(EditorState& state, bool forward) {
    History& history = state.document.history;
    if (!(forward ? history.can_redo() : history.can_undo())) return;
    const Rect rect = forward ? history.redo(state.document.record()) : history.undo(state.document.record());
    if (!rect.empty()) picture_changed(state, rect);
    document_state_changed(state);
}

}  // namespace

void document_undo(EditorState& state) {
    // Undo while pixels float puts them back instead of undoing further.
    if (select_undo_floating(state)) return;
    document_step(state, false);
}

void document_redo(EditorState& state) {
    document_step(state, true);
}

bool document_step_end(EditorState& state) {
    History& history = state.document.history;
    history.commit();
    if (history.too_large()) {
        if (continue_box("Morvane", "This change cannot be undone... Continue?") != ContinueAction) {
            const Rect rect = history.revert_too_large();
            if (!history.too_large()) {
                if (!rect.empty()) picture_changed(state, rect);
                document_state_changed(state);
                return false;
            }
        }
        // Kept without a step: the older steps no longer apply to the picture either.
        history.keep_without_step();
        state.document.unrecorded_change = true;
    }
    document_state_changed(state);
    return true;
}

bool document_save(EditorState& state, bool ask) {
    select_settle(state);
    const ObjectNumber picture = state.document.image();
    std::string file = state.document.file;
    const FileFormat format = format_of(file);
    bool saved = false;
    if (!ask && format.tag) {
        // A file that may not be written is refused and left as it is.
        std::string problem = file_write_problem(file);
        saved = problem.empty() && image_save(picture, file, format.tag) != 0;
        if (!saved && problem.empty()) problem = file_write_problem(file);
        if (!saved) {
            message_box("Save Image", message_with_reason("Cannot save image: " + file, problem));
        }
    } else {
        // The dialog proposes the file's name under its own pattern; the pattern adds the extension.
        std::string proposed = file;
        if (format.tag) proposed.erase(proposed.find_last_of('.'));
        TileSetTarget target;
        if (tileset_save_dialog(picture, proposed, &target, &saved, format.pattern, true) && saved)
            file = target.file();
    }
    if (saved) {
        state.document.file = file;
        state.document.history.mark_saved();
        state.document.unrecorded_change = false;
        recent_note(file);
        document_state_changed(state);
    }
    return saved;
}

bool document_settle(EditorState& state) {
    if (!state.document.modified()) return true;
    const std::string name = state.document.file.empty() ? "Untitled" : file_part(state.document.file);
    switch (unsaved_changes_box("Morvane", "Save the changes to \"" + name + "\" before closing it?")) {
        case SaveChanges:
            return document_save(state, false);
        case DiscardChanges:
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
