// The New Image dialog (window 1) and the numbers typed into text fields.
#include <string>

#include "app/dialogs/dialogs.h"
#include "app/document/document_commands.h"
#include "app/view/view.h"
#include "image/image.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace new_image_window;

// Largest side a picture can have.
constexpr std::int64_t MaxSide = 32767;

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

void new_image_ok(EditorState& state) {
    const std::int64_t width = string_to_integer(widget_get_text(WidthField));
    const std::int64_t height = string_to_integer(widget_get_text(HeightField));
    if (width <= 0 || height <= 0) {
        message_box("Error", "The width and Height should be > 0");
        return;
    }
    // A picture side is a 16-bit value: larger sizes cannot be made.
    if (width > MaxSide || height > MaxSide) {
        message_box("Error", "The width and Height should be <= 32767");
        return;
    }
    window_close(NewImageWindow);
    window_activate(MainWindow);
    state.view.zoom = 100;
    state.view.base_width = width;
    state.view.base_height = height;
    document_recreate(state);
    status_update(state);
    view_layout(state, true);
    view_redraw(state);
    document_start(state, "");
}

}  // namespace

std::int64_t string_to_integer(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        base = 2;
        ++i;
    }
    // Unsigned arithmetic: an overlong number wraps instead of overflowing.
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digit_value(text[i]);
        if (d >= base) break;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    }
    return static_cast<std::int64_t>(negative ? 0 - value : value);
}

void new_image_dialog_open(EditorState& state) {
    if (!window_open(NewImageWindow, DefaultPosition, DefaultPosition, 400, 300, "New Image", 0xC80001,
                     MainWindow))
        return;
    frame_create(DimensionFrame, 10, 10, 250, 150, "Image Dimension");
    text_create(WidthLabel, 20, 52, 55, 20, "Width :");
    text_create(HeightLabel, 20, 82, 55, 20, "Height :");
    text_field_create(WidthField, 80, 50, 50, 20, std::to_string(state.dialogs.new_image_default_width),
                      TextDigitsOnly);
    text_field_create(HeightField, 80, 80, 50, 20, std::to_string(state.dialogs.new_image_default_height),
                      TextDigitsOnly);
    button_create(OkButton, 330, 20, 60, 20, "Ok");
    button_create(CancelButton, 330, 45, 60, 20, "Cancel");
    dialog_keys_set(NewImageWindow, OkButton, CancelButton);
}

void new_image_dialog_event(EditorState& state, std::int64_t source, std::int64_t) {
    switch (source) {
        case WidthField:
            state.dialogs.new_width_entry = string_to_integer(widget_get_text(WidthField));
            break;
        case HeightField:
            state.dialogs.new_height_entry = string_to_integer(widget_get_text(HeightField));
            break;
        case OkButton:
            new_image_ok(state);
            break;
        case CancelButton:
            window_close(NewImageWindow);
            break;
        default:
            break;
    }
}

}  // namespace morvane
