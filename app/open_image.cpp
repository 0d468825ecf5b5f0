// "Open an Image (or a Tileset...)": a picture file becomes the document at zoom 100.
#include "app/commands.h"
#include "app/editor.h"
#include "draw/draw.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

void open_image_command(EditorState& state) {
    const std::string file =
        open_file_dialog("Load Image...", "", "PNG Images|*.png|JPEG Images|*.jpeg|All Files|*.*", 0);
    if (file.empty()) return;
    if (!image_load(OpenedImage, file)) {
        message_box("Canvas", "Cannot load image: " + file);
        return;
    }
    state.base_width = image_width(OpenedImage);
    state.base_height = image_height(OpenedImage);
    state.zoom = 100;
    document_recreate(state);
    state.document.file.clear();
    state.document.modified = false;
    state.document.history.clear();
    state.document.file = file;
    status_update(state);
    view_layout(state, true);

    // All four channels of the picture go into the document (a picture without alpha is opaque).
    if (drawing_begin(image_output(DocumentImage))) {
        drawing_mode_set(WriteAlpha);
        draw_alpha_image(image_handle(OpenedImage), 0, 0);
        drawing_end();
    }
    view_redraw(state);
    image_free(OpenedImage);
}

}  // namespace morvane
