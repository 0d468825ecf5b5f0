// Start-up of the editor: shell and codecs, main window, settings, document, menu, tool
// panel, view, icons and status bar, in that order; and the release of everything at the end.
#include "app/startup/startup.h"

#include "app/document/document_commands.h"
#include "app/edit/edit_commands.h"
#include "app/palette/palette_panel.h"
#include "app/regrid/regrid_window.h"
#include "app/select/select_tool.h"
#include "app/startup/desktop.h"
#include "app/startup/settings.h"
#include "app/tiles/tile_commands.h"
#include "app/tiles/tile_grid_dialog.h"
#include "app/tools/painting.h"
#include "app/tools/tool.h"
#include "app/tools/tool_icons.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
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
    if (!menu_create_drawn(MainMenu, window_handle(MainWindow), 1)) return;
    menu_title("File");
    menu_item(MenuNewImage, "New Tileset\tCtrl+N");
    menu_separator();
    menu_item(MenuOpenImage, "Open an Image (or a Tileset...)\tCtrl+O");
    menu_open_submenu("Open Recent", OpenRecentMenu);
    menu_close_submenu();
    menu_item(MenuConvertTileSet, "Open an image and convert it to TileSet");
    menu_item(RegridMenuItem, "Re-grid a Tile Set...\tCtrl+T");
    menu_separator();
    menu_item(MenuSaveTileSet, "Save the tileSet\tCtrl+S");
    menu_item(MenuSaveAs, "Save As...\tCtrl+Shift+S");
    menu_item(MenuExportTiledMap, "Export as Tiled Map...");
    menu_separator();
    menu_item(MenuExit, "Exit");
    menu_title("Edition");
    menu_item(MenuUndo, "Undo\tCtrl+Z");
    menu_item(MenuRedo, "Redo\tCtrl+Y");
    menu_separator();
    edit_menu_items();
    menu_item(MenuResizeImage, "Resize Image");
    palette_edition_items();
    menu_separator();
    menu_item(MenuPreferences, "Preferences");
    menu_title("View");
    menu_item(MenuGrid, "Grid\tCtrl+G");
    select_view_items();
    menu_separator();
    menu_item(MenuZoomIn, "Zoom +");
    menu_item(MenuZoomOut, "Zoom -");
    menu_open_submenu("Zoom");
    menu_item(MenuZoom3200, "Zoom 3200%");
    menu_item(MenuZoom1600, "Zoom 1600%");
    menu_item(MenuZoom800, "Zoom 800%");
    menu_item(MenuZoom500, "Zoom 500%");
    menu_item(MenuZoom400, "Zoom 400%");
    menu_item(MenuZoom300, "Zoom 300%");
    menu_item(MenuZoom200, "Zoom 200%");
    menu_item(MenuZoom100, "Zoom 100%\r0");
    menu_item(MenuZoom50, "Zoom 50%");
    menu_item(MenuZoom25, "Zoom 25%");
    menu_close_submenu();
    menu_separator();
    tile_view_items();
    palette_menu_build();
    menu_title("Tools");
    menu_item(MenuPreviousBrush, "Previous Brush\tX");
    menu_item(MenuNextBrush, "Next Brush\tC");
    menu_title("Help");
    menu_item(MenuAbout, "About");
}

// The shortcuts that the menu captions show.
void add_shortcuts() {
    window_add_shortcut(MainWindow, "Ctrl+N", MenuNewImage);
    window_add_shortcut(MainWindow, "Ctrl+O", MenuOpenImage);
    window_add_shortcut(MainWindow, "Ctrl+S", MenuSaveTileSet);
    window_add_shortcut(MainWindow, "Ctrl+Shift+S", MenuSaveAs);
    window_add_shortcut(MainWindow, "Ctrl+Z", MenuUndo);
    window_add_shortcut(MainWindow, "Ctrl+Y", MenuRedo);
    window_add_shortcut(MainWindow, "Ctrl+Shift+Z", MenuRedo);
    window_add_shortcut(MainWindow, "Ctrl+G", MenuGrid);
    window_add_shortcut(MainWindow, "X", MenuPreviousBrush);
    window_add_shortcut(MainWindow, "C", MenuNextBrush);
    window_add_shortcut(MainWindow, "Ctrl+T", RegridMenuItem);
    window_add_shortcut(MainWindow, "Ctrl+X", MenuCut);
    window_add_shortcut(MainWindow, "Ctrl+C", MenuCopy);
    window_add_shortcut(MainWindow, "Ctrl+V", MenuPaste);
    window_add_shortcut(MainWindow, "Ctrl+Shift+V", MenuPasteAsNew);
    window_add_shortcut(MainWindow, "Del", MenuDelete);
    window_add_shortcut(MainWindow, "Ctrl+A", MenuSelectAll);
    window_add_shortcut(MainWindow, "Ctrl+Shift+A", MenuDeselect);
    window_add_shortcut(MainWindow, "Shift+H", MenuFlipHorizontal);
    window_add_shortcut(MainWindow, "Shift+V", MenuFlipVertical);
    window_add_shortcut(MainWindow, "Ctrl+R", MenuRotateClockwise);
    window_add_shortcut(MainWindow, "Ctrl+Shift+R", MenuRotateCounterClockwise);
    window_add_shortcut(MainWindow, "Shift+S", MenuSnapToGrid);
    window_add_shortcut(MainWindow, "T", MenuTileMode);
    window_add_shortcut(MainWindow, "Shift+W", MenuWrapWithinTiles);
    window_add_shortcut(MainWindow, "Shift+P", MenuTilePreview);
}

void build_brush_controls() {
    combo_box_create(KindCombo, 5, 5, 40, 20);
    widget_add_item(KindCombo, 0, "Brush");
    widget_add_item(KindCombo, 1, "Pencil");
    widget_add_item(KindCombo, 2, "Eraser");
    combo_box_create(TipCombo, 48, 5, 50, 20);
    widget_add_item(TipCombo, 0, "Circle");
    widget_add_item(TipCombo, 1, "Box");
    widget_add_item(TipCombo, 2, "Ellipse");
    widget_add_item(TipCombo, 3, "Custom");
    font_load(1, "Arial.ttf", 7);
    widget_set_font(TipCombo, font_handle(1));
    widget_set_font(KindCombo, font_handle(1));
    spin_create(SizeSpin, 100, 5, 50, 20, 1, 100, 2);
    widget_set_tooltip(SizeSpin, "Size of the brush");
    trackbar_create(OpacityTrackbar, 155, 5, 100, 20, 0, 255);
    widget_set_tooltip(OpacityTrackbar, "Transparence of the brush");
    check_box_create(KeepAlphaCheck, 260, 5, 75, 20, "Keep Alpha");
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
    const Place places[] = {{ToolPaint, 5, 50, 0, 0x1003}, {ToolLine, 31, 50, 1, 0x1003},
                            {ToolBox, 5, 79, 2, 0x1003},   {ToolEllipse, 31, 79, 3, 0x1003},
                            {ToolFill, 5, 108, 4, 0x1003}, {EraserButton, 31, 108, 6, 0x1003},
                            {ClearButton, 5, 137, 5, 0}};
    for (const Place& p : places)
        image_button_create(p.number, p.x, p.y, 25, 25, image_handle(p.image), p.flags);
    select_button_create();
}

void build_colour_and_preview(EditorState& state) {
    state.tools.brush_color = rgba(0, 0, 0, 255);
    image_create(ColorSwatchImage, 25, 25, 24);
    image_button_create(ColourButton, 5, 166, 30, 30, image_handle(ColorSwatchImage), 0);
    if (image_copy(BrushImage, BrushPreviewImage)) image_resize(BrushPreviewImage, 48, 48);
    image_widget_create(BrushPreview, 5, 201, 48, 48, image_handle(BrushPreviewImage), 0x200);
}

void build_status_bar() {
    if (!statusbar_create(MainStatusBar, window_handle(MainWindow))) return;
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
    tile_grid_place_load(state);
    const int tip = brush_tip_size(state);
    if (image_create(BrushImage, tip, tip, 32)) stamp_rebuild(state, false);
    document_recreate(state);
    build_menu();
    recent_menu_refresh();
    add_shortcuts();
    tool_keys_install();
    window_accept_drops(MainWindow, 1);
    build_brush_controls();
    view_create(state);
    view_redraw(state);
    build_tool_buttons();
    build_colour_and_preview(state);
    build_status_bar();
    tool_panel_arrange();
    palette_panel_create(state);
    brush_tips_refresh(state);

    widget_set_state(ToolPaint, 1);
    widget_set_state(SizeSpin, state.tools.brush_size);
    widget_set_state(OpacityTrackbar, state.tools.brush_alpha);
    widget_set_state(TipCombo, state.tools.brush_type);
    widget_set_state(KindCombo, state.tools.brush_tool);
    widget_set_attribute(ViewCanvas, static_cast<int>(CanvasAttribute::Cursor),
                         static_cast<int>(CanvasCursor::Cross));
    state.tools.current_tool = ToolPaint;
    menu_set_item_checked(MainMenu, MenuGrid, state.view.grid_visible);
    view_redraw(state);
    widget_set_focus(ViewCanvas);
    status_update(state);
    document_start(state, "");
    edit_menu_refresh(state);
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

int editor_start(EditorState& state, const std::vector<std::string>& files) {
    if (!editor_init(state)) return 0;
    editor_open_files(state, files);
    main_loop(state);
    editor_exit(state);
    return 0;
}

}  // namespace morvane
