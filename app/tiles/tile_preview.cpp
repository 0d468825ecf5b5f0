// The Tile Preview window: TilePreviewImage holds the cell 3 x 3 times at its own size, and
// the canvas shows it at the window's zoom, centred, over a checkerboard.
#include "app/tiles/tile_preview.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/tiles/tile_grid.h"
#include "app/tiles/tile_wrap.h"
#include "app/view/view.h"
#include "canvas/canvas.h"
#include "image/bitmap.h"
#include "image/image.h"
#include "shell/menu.h"
#include "shell/window.h"
#include "widgets/dialog_keys.h"
#include "widgets/widget.h"

namespace morvane {

namespace {

using namespace tile_preview_window;

constexpr int kCanvasSide = 384;
constexpr int kWindowWidth = kCanvasSide + 16, kWindowHeight = kCanvasSide + 48;
constexpr int kZoomSteps = 8;  // 100 % .. 800 %
constexpr std::uint32_t kBackground = 0xFF505050u;

// What the window shows: the cell (index and rectangle) copied into TilePreviewImage.
struct Shown {
    std::int64_t index = -1;
    Rect cell;
    int zoom = 100;
};

Shown& shown() {
    static Shown s;
    return s;
}

// The largest step at which the three copies fit the canvas side, at least 100 %.
int fitting_zoom(const Rect& cell) {
    const std::int64_t side = 3 * std::max(cell.x1 - cell.x0, cell.y1 - cell.y0);
    int zoom = 100;
    for (int z = 200; z <= kZoomSteps * 100; z += 100)
        if (side * z / 100 <= kCanvasSide) zoom = z;
    return zoom;
}

std::uint32_t over_checker(const std::uint8_t* p, int x, int y) {
    const std::uint32_t back = ((x / 8 + y / 8) & 1) ? 0xCC : 0xFF, a = p[3];
    const auto mix = [&](std::uint32_t c) { return (c * a + back * (255 - a) + 127) / 255; };
    return 0xFF000000u | mix(p[2]) << 16 | mix(p[1]) << 8 | mix(p[0]);
}

// Canvas pixels from TilePreviewImage at the zoom, the middle copy's centre on the canvas's.
void paint(int x, int y, int width, int height, std::uint32_t* pixels, int stride) {
    const Bitmap* image = bitmap_from_handle(image_handle(TilePreviewImage));
    const int zoom = shown().zoom;
    const bool showing = image && image->bpp == 32 && shown().index >= 0;
    const std::int64_t shown_w = showing ? std::int64_t{image->width} * zoom / 100 : 0;
    const std::int64_t shown_h = showing ? std::int64_t{image->height} * zoom / 100 : 0;
    const std::int64_t left = (kCanvasSide - shown_w) / 2, top = (kCanvasSide - shown_h) / 2;
    for (int j = 0; j < height; ++j) {
        std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(j) * stride;
        const std::int64_t v = y + j - top;
        for (int i = 0; i < width; ++i) {
            const std::int64_t u = x + i - left;
            if (u < 0 || v < 0 || u >= shown_w || v >= shown_h) {
                out[i] = kBackground;
                continue;
            }
            const std::uint8_t* p = image->row(static_cast<int>(v * 100 / zoom)) +
                                    static_cast<std::ptrdiff_t>(u * 100 / zoom) * 4;
            out[i] = over_checker(p, x + i, y + j);
        }
    }
}

void open_window(EditorState& state) {
    if (!window_open(TilePreviewWindow, DefaultPosition, DefaultPosition, kWindowWidth, kWindowHeight,
                     "Tile Preview", Caption | SystemMenu | ToolWindow, MainWindow))
        return;
    combo_box_create(ZoomCombo, 8, 8, 90, 22);
    for (int i = 0; i < kZoomSteps; ++i) widget_add_item(ZoomCombo, i, std::to_string((i + 1) * 100) + " %");
    widget_set_tooltip(ZoomCombo, "Zoom of the preview");
    text_create(InfoText, 108, 11, kWindowWidth - 116, 20, "");
    canvas_create(PreviewCanvas, 8, 40, kCanvasSide, kCanvasSide, 0);
    canvas_set_painter(PreviewCanvas, paint);
    // Escape closes the window as its close box does; Shift+P toggles it from here too.
    dialog_keys_set(TilePreviewWindow, -1, -1);
    window_add_shortcut(TilePreviewWindow, "Shift+P", MenuTilePreview);
    menu_set_item_checked(MainMenu, MenuTilePreview, 1);
    shown() = Shown{};
    if (state.view.tile_preview_zoom > 0) widget_set_state(ZoomCombo, state.view.tile_preview_zoom / 100 - 1);
    tile_preview_refresh(state);
}

// True when TilePreviewImage holds the cell's pixels of `picture` 3 x 3 times (its middle copy
// is compared: every copy is written together).
bool up_to_date(const Bitmap& picture, const Rect& cell) {
    const Bitmap* image = bitmap_from_handle(image_handle(TilePreviewImage));
    const auto w = static_cast<int>(cell.x1 - cell.x0), h = static_cast<int>(cell.y1 - cell.y0);
    if (!image || image->bpp != 32 || image->width != 3 * w || image->height != 3 * h) return false;
    for (int y = 0; y < h; ++y) {
        if (std::memcmp(picture.row(static_cast<int>(cell.y0) + y) + cell.x0 * 4, image->row(h + y) + w * 4,
                        static_cast<std::size_t>(w) * 4) != 0)
            return false;
    }
    return true;
}

bool copy_cell(const Bitmap& picture, const Rect& cell) {
    const auto w = static_cast<int>(cell.x1 - cell.x0), h = static_cast<int>(cell.y1 - cell.y0);
    const Bitmap* image = bitmap_from_handle(image_handle(TilePreviewImage));
    if (!image || image->width != 3 * w || image->height != 3 * h || image->bpp != 32) {
        if (!image_create(TilePreviewImage, 3 * w, 3 * h, 32)) return false;
        image = bitmap_from_handle(image_handle(TilePreviewImage));
        if (!image) return false;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = picture.row(static_cast<int>(cell.y0) + y) + cell.x0 * 4;
        for (int copy_y = 0; copy_y < 3; ++copy_y) {
            std::uint8_t* to = image->row(copy_y * h + y);
            for (int copy_x = 0; copy_x < 3; ++copy_x)
                std::memcpy(to + static_cast<std::ptrdiff_t>(copy_x) * w * 4, from,
                            static_cast<std::size_t>(w) * 4);
        }
    }
    return true;
}

void show_nothing(const char* why) {
    Shown& s = shown();
    if (s.index == -1 && s.cell.empty() && widget_get_text(InfoText) == why) return;
    s.index = -1;
    s.cell = Rect{};
    image_free(TilePreviewImage);
    widget_set_text(InfoText, why);
    canvas_invalidate(PreviewCanvas, 0, 0, kCanvasSide, kCanvasSide);
}

}  // namespace

void tile_preview_toggle(EditorState& state) {
    if (window_handle(TilePreviewWindow))
        tile_preview_close();
    else
        open_window(state);
}

void tile_preview_close() {
    window_close(TilePreviewWindow);
    menu_set_item_checked(MainMenu, MenuTilePreview, 0);
    image_free(TilePreviewImage);
    shown() = Shown{};
}

void tile_preview_event(EditorState& state, std::int64_t source, std::int64_t) {
    if (source != ZoomCombo) return;
    const std::int64_t step = std::clamp<std::int64_t>(widget_get_state(ZoomCombo), 0, kZoomSteps - 1);
    state.view.tile_preview_zoom = static_cast<std::int16_t>((step + 1) * 100);
    if (shown().zoom == state.view.tile_preview_zoom) return;
    shown().zoom = state.view.tile_preview_zoom;
    canvas_invalidate(PreviewCanvas, 0, 0, kCanvasSide, kCanvasSide);
}

void tile_preview_refresh(EditorState& state) {
    if (!window_handle(TilePreviewWindow)) return;
    const Bitmap* picture = state.document.picture_or_null();
    if (!picture || picture->bpp != 32) return show_nothing("No picture");
    const SourceGrid grid = tile_grid(state);
    Shown& s = shown();
    // The stroke's cell while a wrapped stroke goes on, else the cell under the pointer, else
    // the one shown before (when the grid still has it).
    Rect cell = tile_wrap_cell(state);
    std::int64_t index = -1;
    if (state.view.mouse_down == 1 && !cell.empty()) {
        index = tile_cell_at(grid, state.tools.stroke_start_x, state.tools.stroke_start_y);
    } else {
        index = tile_cell_at(grid, canvas_to_document_x(state, state.view.mouse_x),
                             canvas_to_document_y(state, state.view.mouse_y), &cell);
    }
    if (index < 0 && s.index >= 0 && s.index < grid.columns * grid.rows) {
        index = s.index;
        cell = tile_cell_rect(grid, index);
    }
    if (index < 0 || cell.empty() || cell.x1 > picture->width || cell.y1 > picture->height)
        return show_nothing("Point at a cell of the tile grid");
    const bool same = index == s.index && cell.x0 == s.cell.x0 && cell.y0 == s.cell.y0 &&
                      cell.x1 == s.cell.x1 && cell.y1 == s.cell.y1;
    if (same && up_to_date(*picture, cell)) return;
    if (!copy_cell(*picture, cell)) return show_nothing("Not enough memory for the preview");
    if (!same) {
        if (state.view.tile_preview_zoom <= 0) {
            state.view.tile_preview_zoom = static_cast<std::int16_t>(fitting_zoom(cell));
            widget_set_state(ZoomCombo, state.view.tile_preview_zoom / 100 - 1);
        }
        s.zoom = state.view.tile_preview_zoom;
        widget_set_text(InfoText, "Cell " + std::to_string(index + 1) + ": " + std::to_string(cell.x1 - cell.x0) +
                                      " x " + std::to_string(cell.y1 - cell.y0) + " at " +
                                      std::to_string(cell.x0) + ", " + std::to_string(cell.y0));
    }
    s.index = index;
    s.cell = cell;
    canvas_invalidate(PreviewCanvas, 0, 0, kCanvasSide, kCanvasSide);
}

}  // namespace morvane
