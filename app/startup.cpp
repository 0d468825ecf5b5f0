// Start-up of the editor: shell and codecs, main window, settings, document, menu, tool
// panel, view, icons and status bar, in that order; and the release of everything at the end.
#include "app/commands.h"
#include "app/editor.h"
#include "app/menu_items.h"
#include "draw/canvas.h"
#include "image/codec.h"
#include "image/image.h"
#include "shell/menu.h"
#include "shell/shell.h"
#include "shell/statusbar.h"
#include "shell/window.h"
#include "widgets/dialogs.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

void build_menu() {
    if (!menu_create_drawn(0, window_handle(MainWindow), 1)) return;
    menu_title("File");
    menu_item(MenuNewImage, "New Tileset\tCtrl+N");
    menu_separator();
    menu_item(MenuOpen, "Open an Image (or a Tileset...)\tCtrl+O");
    menu_item(MenuConvertTileSet, "Open an image and convert it to TileSet");
    menu_separator();
    menu_item(MenuSave, "Save the tileSet\tCtrl+S");
    menu_item(MenuSaveAs, "Save As...\tCtrl+Shift+S");
    menu_separator();
    menu_item(MenuExit, "Exit");
    menu_title("Edition");
    menu_item(MenuUndo, "Undo\tCtrl+Z");
    menu_item(MenuRedo, "Redo\tCtrl+Y");
    menu_item(MenuResize, "Resize Image");
    menu_separator();
    menu_item(MenuPreferences, "Preferences");
    menu_title("View");
    menu_item(70, "Grid\tCtrl+G");
    menu_separator();
    menu_item(61, "Zoom +");
    menu_item(62, "Zoom -");
    menu_open_submenu("Zoom");
    menu_item(63, "Zoom 500%");
    menu_item(64, "Zoom 400%");
    menu_item(65, "Zoom 300%");
    menu_item(66, "Zoom 200%");
    menu_item(67, "Zoom 100%\r0");
    menu_item(68, "Zoom 50%");
    menu_item(69, "Zoom 25%");
    menu_close_submenu();
    menu_title("Tools");
    menu_item(41, "Previous Brush\tX");
    menu_item(42, "Next Brush\tC");
    menu_title("Help");
    menu_item(MenuAbout, "About");
}

// The shortcuts that the menu captions show.
void add_shortcuts() {
    window_add_shortcut(MainWindow, "Ctrl+N", MenuNewImage);
    window_add_shortcut(MainWindow, "Ctrl+O", MenuOpen);
    window_add_shortcut(MainWindow, "Ctrl+S", MenuSave);
    window_add_shortcut(MainWindow, "Ctrl+Shift+S", MenuSaveAs);
    window_add_shortcut(MainWindow, "Ctrl+Z", MenuUndo);
    window_add_shortcut(MainWindow, "Ctrl+Y", MenuRedo);
    window_add_shortcut(MainWindow, "Ctrl+Shift+Z", MenuRedo);
    window_add_shortcut(MainWindow, "Ctrl+G", 70);
    window_add_shortcut(MainWindow, "X", 41);
    window_add_shortcut(MainWindow, "C", 42);
}

void build_brush_controls() {
    combo_box_create(14, 5, 5, 40, 20);
    widget_add_item(14, 0, "Brush");
    widget_add_item(14, 1, "Pencil");
    widget_add_item(14, 2, "Eraser");
    combo_box_create(12, 48, 5, 50, 20);
    widget_add_item(12, 0, "Circle");
    widget_add_item(12, 1, "Box");
    widget_add_item(12, 2, "Ellipse");
    widget_add_item(12, 3, "Custom");
    font_load(1, "Arial.ttf", 7);
    widget_set_font(12, font_handle(1));
    widget_set_font(14, font_handle(1));
    spin_create(11, 100, 5, 50, 20, 1, 100, 2);
    widget_set_tooltip(11, "Size of the brush");
    trackbar_create(13, 155, 5, 100, 20, 0, 255);
    widget_set_tooltip(13, "Transparence of the brush");
    check_box_create(15, 260, 5, 75, 20, "Keep Alpha");
}

void build_tool_buttons() {
    for (int i = 0; i < 7; ++i) {
        const EmbeddedFile icon = tool_icon_png(i);
        if (icon.data) image_from_memory(ToolIconFirst + i, icon.data, static_cast<std::int32_t>(icon.size));
    }
    // Two columns at x 5 and 31, rows 29 pixels apart from y 50.
    struct Place {
        int number, x, y, image, flags;
    };
    const Place places[] = {{3, 5, 50, 0, 0x1003},  {4, 31, 50, 1, 0x1003}, {5, 5, 79, 2, 0x1003},
                            {6, 31, 79, 3, 0x1003}, {7, 5, 108, 4, 0x1003}, {9, 31, 108, 6, 0x1003},
                            {8, 5, 137, 5, 0}};
    for (const Place& p : places)
        image_button_create(p.number, p.x, p.y, 25, 25, image_handle(p.image), p.flags);
}

void build_colour_and_preview(EditorState& state) {
    state.brush_color = rgba(0, 0, 0, 255);
    image_create(ColorSwatchImage, 25, 25, 24);
    image_button_create(2, 5, 166, 30, 30, image_handle(ColorSwatchImage), 0);
    if (image_copy(BrushImage, BrushPreviewImage)) image_resize(BrushPreviewImage, 48, 48);
    image_widget_create(10, 5, 201, 48, 48, image_handle(BrushPreviewImage), 0x200);
}

void build_status_bar() {
    if (!statusbar_create(0, window_handle(MainWindow))) return;
    statusbar_add_field(100);
    statusbar_add_field(150);
    statusbar_add_field(100);
    statusbar_add_field(100);
}

bool register_codecs() {
    image_codecs_init();
    bmp_codec_register();
    return png_decoder_register() && png_encoder_register() && jpeg_decoder_register() &&
           jpeg_encoder_register();
}

}  // namespace

bool editor_init(EditorState& state) {
    shell_init();
    if (!register_codecs()) {
        message_box("Error", "Impossible d'initialiser un des formats image (jpg, png)!", 0);
        editor_shutdown(state);
        return false;
    }
    if (!window_open(MainWindow, 0, 0, 800, 600, "Morvane", 0xCF0001)) {
        message_box("Error", "Unable to open the Window !", 0);
        editor_shutdown(state);
        return false;
    }
    settings_load(state);
    const int tip = brush_tip_size(state);
    if (image_create(BrushImage, tip, tip, 32)) stamp_rebuild(state, false);
    if (image_create(CheckerImage, static_cast<int>(state.view_width), static_cast<int>(state.view_height),
                     32)) {
        checker_rebuild(state);
    }
    document_images_recreate(state);
    build_menu();
    add_shortcuts();
    build_brush_controls();
    view_create(state);
    view_redraw(state);
    build_tool_buttons();
    build_colour_and_preview(state);
    build_status_bar();

    widget_set_state(3, 1);
    widget_set_state(11, state.brush_size);
    widget_set_state(13, state.brush_alpha);
    widget_set_state(12, state.brush_type);
    widget_set_state(14, state.brush_tool);
    widget_set_attribute(1, 7, 1);
    state.current_tool = 3;
    menu_set_item_checked(0, 70, state.grid_visible);
    view_redraw(state);
    widget_set_focus(1);
    status_update(state);
    document_start(state, "");
    return true;
}

void editor_shutdown(EditorState&) {
    widgets_free_all();
    shell_shutdown();
    image_free(-1);
}

void editor_exit(EditorState& state) {
    settings_save(state);
    editor_shutdown(state);
}

int editor_start(EditorState& state) {
    if (!editor_init(state)) return 0;
    main_loop(state);
    editor_exit(state);
    return 0;
}

}  // namespace morvane
