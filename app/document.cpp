// The document's file, unsaved state, title, undo/redo and saving.
#include <algorithm>
#include <cctype>

#include "app/commands.h"
#include "app/editor.h"
#include "app/menu_items.h"
#include "app/paint_region.h"
#include "image/codec.h"
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

// After undo or redo changed `rect` of the picture: the zoom source and the sizes follow,
// then the canvas shows it.
void picture_changed(EditorState& state, const Rect& rect) {
    const ObjectNumber picture = document_picture(state);
    const int width = image_width(picture), height = image_height(picture);
    if (width != state.view_width || height != state.view_height) {
        state.view_width = width;
        state.view_height = height;
        state.base_width = std::max<std::int64_t>(1, state.view_width * 100 / state.zoom);
        state.base_height = std::max<std::int64_t>(1, state.view_height * 100 / state.zoom);
        image_resize(StrokeSnapshotImage, width, height, Nearest);
        image_copy(picture, ZoomSourceImage);
        status_update(state);
        view_layout(state, true);
        view_redraw(state);
        return;
    }
    if (!copy_image_rect(picture, ZoomSourceImage, rect)) image_copy(picture, ZoomSourceImage);
    view_redraw_region(state, static_cast<int>(rect.x0), static_cast<int>(rect.y0),
                       static_cast<int>(rect.x1 - rect.x0), static_cast<int>(rect.y1 - rect.y0));
}

}  // namespace

std::string document_title(const Document& document) {
    const std::string name = document.file.empty() ? "Morvane" : file_part(document.file) + " - Morvane";
    return document.modified() ? "*" + name : name;
}

ObjectNumber document_picture(const EditorState&) {
    return WorkingImage;
}

void document_start(EditorState& state, const std::string& file) {
    state.document.history.clear();
    state.document.file = file;
    document_state_changed(state);
}

void document_state_changed(EditorState& state) {
    const std::string title = document_title(state.document);
    if (window_title(MainWindow) != title) window_set_title(MainWindow, title);
    menu_set_item_enabled(0, MenuUndo, state.document.history.can_undo());
    menu_set_item_enabled(0, MenuRedo, state.document.history.can_redo());
}

namespace {

// Undo (forward false) or redo of the next step. A step recorded at another zoom fits the
// zoom source rather than the view-size picture: it is applied there and the view rebuilt
// from it, as a zoom step does. A change of size needs the zoom it was made at, so it must
// be undone at that zoom.
void document_step(EditorState& state, bool forward) {
    History& history = state.document.history;
    if (!(forward ? history.can_redo() : history.can_undo())) return;
    const auto apply = [&](ObjectNumber picture) {
        return forward ? history.redo(picture) : history.undo(picture);
    };
    Rect rect = apply(document_picture(state));
    if (!rect.empty()) {
        picture_changed(state, rect);
    } else if (!(forward ? history.redo_resizes() : history.undo_resizes()) &&
               !apply(ZoomSourceImage).empty()) {
        state.zoom_before_command = state.zoom;
        view_zoom_apply(state);
    } else {
        message_box(forward ? "Redo" : "Undo", std::string("Cannot ") + (forward ? "redo" : "undo") +
                                                   ": the zoom has changed since this step; go back to the "
                                                   "zoom it was made at.");
        return;
    }
    document_state_changed(state);
}

}  // namespace

void document_undo(EditorState& state) {
    document_step(state, false);
}

void document_redo(EditorState& state) {
    document_step(state, true);
}

bool document_save(EditorState& state, bool ask) {
    // The picture at its document size: the working image brought back to zoom 100.
    const ObjectNumber picture = image_copy(document_picture(state), -1);
    if (!picture) {
        message_box("Save Image", "Cannot save image: not enough memory");
        return false;
    }
    if (image_width(picture) != state.base_width || image_height(picture) != state.base_height) {
        if (!image_resize(picture, static_cast<int>(state.base_width), static_cast<int>(state.base_height),
                          Nearest)) {
            image_free(picture);
            message_box("Save Image", "Cannot save image: not enough memory");
            return false;
        }
    }
    std::string file = state.document.file;
    const FileFormat format = format_of(file);
    bool saved = false;
    if (!ask && format.tag) {
        saved = image_save(picture, file, format.tag) != 0;
        if (!saved) message_box("Save Image", "Cannot save image: " + file);
    } else {
        // The dialog proposes the file's name under its own pattern; the pattern adds the extension.
        std::string proposed = file;
        if (format.tag) proposed.erase(proposed.find_last_of('.'));
        TileSetTarget target;
        if (tileset_save_dialog(picture, proposed, &target, &saved, format.pattern) && saved)
            file = target.file();
    }
    image_free(picture);
    if (saved) {
        state.document.file = file;
        state.document.history.mark_saved();
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

void document_stroke_ended(EditorState& state) {
    // The canvas keeps an exact copy of the picture from the press (the stroke snapshot), so
    // the step is what differs from it at the release; nothing is copied at the press.
    state.document.history.record_difference(document_picture(state), StrokeSnapshotImage);
    document_state_changed(state);
}

}  // namespace morvane
