// "Open an Image (or a Tileset...)": a picture file becomes the document at zoom 100.
#include "app/commands.h"
#include "app/editor.h"
#include "draw/draw.h"
#include "image/codec.h"
#include "image/image.h"
#include "widgets/dialogs.h"

namespace morvane {

void open_image_command(EditorState& state) {
    if (!document_settle(state)) return;
    const std::string file =
        open_file_dialog("Load Image...", "", "PNG Images|*.png|JPEG Images|*.jpeg|All Files|*.*", 0);
    if (file.empty()) return;
    if (!image_load(OpenedImage, file)) {
        message_box("Canvas", "Cannot load image: " + file);
        return;
    }
    state.view_width = state.base_width = image_width(OpenedImage);
    state.view_height = state.base_height = image_height(OpenedImage);
    const bool zoom_changed = state.zoom != 100;
    state.zoom = 100;
    status_update(state);
    checker_rebuild(state);
    document_images_recreate(state);
    // The brush tip follows the zoom back to 100.
    if (zoom_changed && image_exists(BrushImage)) stamp_rebuild(state, true);
    view_layout(state, true);

    // All four channels of the picture go into the document (a picture without alpha is opaque).
    if (drawing_begin(image_output(WorkingImage))) {
        drawing_mode_set(WriteAlpha);
        draw_alpha_image(image_handle(OpenedImage), 0, 0);
        drawing_end();
    }
    image_copy(WorkingImage, ZoomSourceImage);
    view_redraw(state);
    image_free(OpenedImage);
    document_start(state, file);
}

}  // namespace morvane
