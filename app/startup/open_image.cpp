// "Open an Image (or a Tileset...)": a picture file becomes the document at zoom 100.
#include "app/document/document_commands.h"
#include "app/document/painter.h"
#include "app/startup/desktop.h"
#include "app/tilesets/tileset_commands.h"
#include "app/view/view.h"
#include "draw/draw.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/dialogs.h"
#include "widgets/progress.h"

namespace morvane {

namespace {

// The picture into OpenedImage and the document rebuilt around it, under a busy pointer and
// a progress dialog for long pictures. False when the file cannot be read or decoded, with
// the reason in `why`.
bool load_document(EditorState& state, const std::string& file, std::string* why) {
    BusyWork busy("Open", "Loading " + file_part(file));
    const LoadResult loaded = image_load_result(OpenedImage, file);
    if (!loaded.value) {
        *why = load_failure_text(loaded);
        return false;
    }
    state.view.base_width = image_width(OpenedImage);
    state.view.base_height = image_height(OpenedImage);
    state.view.zoom = 100;
    busy.keep_alive();
    document_recreate(state);
    document_start(state, file);
    status_update(state);
    view_layout(state, true);

    // All four channels of the picture go into the document (a picture without alpha is opaque).
    busy.keep_alive();
    if (Painter painter{state.document}) {
        drawing_mode_set(WriteAlpha);
        draw_alpha_image(image_handle(OpenedImage), 0, 0);
    }
    view_redraw(state);
    image_free(OpenedImage);
    return true;
}

}  // namespace

namespace {

// The chosen picture becomes the document, or its load message is shown with the reason on
// a second line.
bool open_picture(EditorState& state, const std::string& file) {
    std::string why;
    if (!load_document(state, file, &why)) {
        message_box("Canvas", message_with_reason("Cannot load image: " + file, why));
        return false;
    }
    recent_note(file);
    return true;
}

}  // namespace

bool open_image_file(EditorState& state, const std::string& file) {
    if (file.empty()) return false;
    // Unsaved work is offered to be saved first; Cancel keeps the document as it is.
    if (!document_settle(state)) return false;
    return open_picture(state, file);
}

void open_image_command(EditorState& state) {
    if (!document_settle(state)) return;
    const std::string file =
        open_file_dialog("Load Image...", "", "PNG Images|*.png|JPEG Images|*.jpg;*.jpeg|All Files|*.*", 0);
    if (file.empty()) return;
    open_picture(state, file);
}

}  // namespace morvane
