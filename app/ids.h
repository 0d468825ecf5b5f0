// Every number the editor gives its windows, widgets, images and menu items, in one place.
// Widget numbers are shared by all windows (creating a widget at a number already taken
// frees the older one), so each window owns its own ranges, listed in WidgetRanges; the
// checks at the end refuse at compile time a range that overlaps another or a number that
// falls outside its window's range.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace morvane {

// ---- Windows ----
enum EditorWindow : int {
    MainWindow = 0,
    NewImageWindow = 1,
    TileSetWindow = 2,
    PreferencesWindow = 3,
    ResizeWindow = 4,
    RegridWindow = 5,
    ReplaceColourWindow = 16,
    TileGridWindow = 6,      // View > "Tile Grid..."
    TilePreviewWindow = 7,   // View > "Tile Preview"
    PasteSizeWindow = 8,     // reserved for a paste that does not fit (a message box today)
};

/// The main window's menu bar and status bar.
inline constexpr int MainMenu = 0;
inline constexpr int MainStatusBar = 0;

// ---- Images ----
enum EditorImage : int {
    ToolIconFirst = 0,  // 0..6: brush, line, rectangle, ellipse, bucket, waste bin, eraser
    ToolIconLast = 6,
    ColorSwatchImage = 8,
    OpenedImage = 9,
    BrushImage = 12,
    BrushPreviewImage = 13,
    CustomBrushImage = 14,
    DocumentImage = 15,  // the picture at its own size: the one truth the view shows and files get
    TileSetImage = 17,
    RegridSourceImage = 18,  // the sheet shown in the re-grid window
    ReplaceFromImage = 46,   // swatches of the Replace Colour window
    ReplaceToImage = 47,
    FloatingImage = 48,     // pixels of a floating selection (32 bits, straight alpha)
    TilePreviewImage = 49,  // the Tile Preview window's picture
    SelectIconImage = 50,   // the Select tool's button
};

// ---- Widgets of the main window: 0..15 (view and tool panel), 300..309 (palette panel) ----

/// The document view.
enum ViewWidget : int { ViewScrollArea = 0, ViewCanvas = 1 };

/// The tool panel (the tool buttons 3..7 are the ToolButton values).
enum PanelWidget : int {
    ColourButton = 2,
    ToolButtonFirst = 3,
    ToolButtonLast = 7,
    ClearButton = 8,
    EraserButton = 9,
    BrushPreview = 10,
    SizeSpin = 11,
    TipCombo = 12,
    OpacityTrackbar = 13,
    KindCombo = 14,
    KeepAlphaCheck = 15,
};

/// Values of ToolSettings::current_tool: the numbers of the tool buttons.
enum ToolButton : std::uint8_t {
    ToolPaint = 3,
    ToolLine = 4,
    ToolBox = 5,
    ToolEllipse = 6,
    ToolFill = 7,
    ToolSelect = 30,  // the Select tool: its button is SelectButton, its key posts ToolKeyBase + 30
};

/// The Select tool's button, below the painting tools.
enum SelectToolWidget : int { SelectButton = 330 };

/// The palette panel beside the view.
enum PaletteWidget : int {
    PaletteSwatches = 300,  // the palette view
    PaletteAddButton = 301,
    PaletteRemoveButton = 302,
    RecolourCheck = 303,
};

// ---- Widgets of the New Image window: 16..22 ----
namespace new_image_window {
enum Widget : int {
    WidthLabel = 16,
    DimensionFrame = 17,
    WidthField = 18,
    HeightField = 19,
    HeightLabel = 20,
    OkButton = 21,
    CancelButton = 22,
};
}  // namespace new_image_window

// ---- Widgets of the tile-set window: 23..37 ----
namespace tileset_window {
enum Widget : int {
    ExportFrame = 23,
    OptionsFrame = 24,
    WidthLabel = 25,
    HeightLabel = 26,
    ExportWidthLabel = 27,
    SpaceLabel = 28,
    TileWidthSpin = 29,
    TileHeightSpin = 30,
    ColumnsSpin = 31,
    SpaceSpin = 32,
    ConstrainCheck = 33,
    OkButton = 34,
    CancelButton = 35,
    CreateNewCheck = 36,
    PlacementCombo = 37,
};
}  // namespace tileset_window

// ---- Widgets of the Preferences window: 38..41 (the tabs, the grid's tab), 60..61 ----
namespace preferences_window {
enum Widget : int {
    TabPanel = 38,
    GridWidthSpin = 39,
    GridHeightSpin = 40,
    GridColorButton = 41,
    SmallestPngCheck = 60,  // the General tab
    CloseButton = 61,       // below the tabs at the window's bottom right
};
}  // namespace preferences_window

// ---- Widgets of the Resize Image window: 42..50 ----
namespace resize_window {
enum Widget : int {
    WidthField = 42,
    HeightField = 43,
    OkButton = 44,
    WidthLabel = 45,
    PixelFrame = 46,
    ConstrainCheck = 47,
    ModeCombo = 48,
    HeightLabel = 49,
    CancelButton = 50,
};
}  // namespace resize_window

// ---- Widgets of the re-grid window: 100..159 ----
namespace regrid {
enum Widget : int {
    ReadFrame = 100,
    TileWidthSpin,
    TileHeightSpin,
    InMarginSpin,
    InSpacingSpin,
    SourceText,
    WriteFrame,
    LayoutCombo,
    ColumnsSpin,
    ExtrudeSpin,
    MarginSpin,
    SpacingSpin,
    DedupCheck,
    DedupFlipsCheck,
    SkipEmptyCheck,
    PotCheck,
    FormatCombo,
    QualitySpin,
    MetadataFrame,
    ListCheck,
    TsxCheck,
    JsonCheck,
    MapCheck,
    ZoomCombo,
    SummaryText,
    PreviewCanvas,
    CommandField,
    SaveButton,
    CloseButton,
    FirstLabel,       // labels take the numbers from here on
    LastLabel = 159,  // up to here
};
}  // namespace regrid

// ---- Widgets of the Replace Colour window: 310..320 ----
enum ReplaceColourWidget : int {
    ReplaceFromButton = 310,
    ReplaceToButton = 311,
    ReplaceToleranceSpin = 312,
    ReplacePickCombo = 313,
    ReplaceApplyButton = 314,
    ReplaceCloseButton = 315,
    ReplaceFirstLabel = 316,  // 316..320: the dialog's labels
    ReplaceLastLabel = 320,
};

// ---- Widgets of the Tile Grid window: 340..349 ----
namespace tile_grid_window {
enum Widget : int {
    TileWidthSpin = 340,
    TileHeightSpin = 341,
    OffsetSpin = 342,
    GapSpin = 343,
    OkButton = 344,
    CancelButton = 345,
    FirstLabel = 346,  // 346..349: the window's labels
    LastLabel = 349,
};
}  // namespace tile_grid_window

// ---- Widgets of the Tile Preview window: 350..352 ----
namespace tile_preview_window {
enum Widget : int {
    PreviewCanvas = 350,
    ZoomCombo = 351,
    InfoText = 352,
};
}  // namespace tile_preview_window

// ---- Menu items of the main window's menu (also the ids of their shortcuts) ----

/// File, Edition, View, Tools and Help: 0..89.
enum MenuItem : int {
    MenuNewImage = 0,
    MenuConvertTileSet = 1,
    MenuSaveTileSet = 2,
    MenuOpenImage = 3,
    MenuExit = 5,
    MenuPreferences = 6,
    MenuResizeImage = 7,
    MenuAbout = 8,
    MenuUndo = 9,
    MenuRedo = 10,
    MenuSaveAs = 11,
    MenuPreviousBrush = 41,
    MenuNextBrush = 42,
    MenuZoomIn = 61,
    MenuZoomOut = 62,
    MenuZoom500 = 63,
    MenuZoom400 = 64,
    MenuZoom300 = 65,
    MenuZoom200 = 66,
    MenuZoom100 = 67,
    MenuZoom50 = 68,
    MenuZoom25 = 69,
    MenuGrid = 70,
    MenuZoom3200 = 71,
    MenuZoom1600 = 72,
    MenuZoom800 = 73,
    // Edition: the selection, the clipboard, flips and turns.
    MenuCut = 12,
    MenuCopy = 13,
    MenuPaste = 14,
    MenuPasteAsNew = 15,
    MenuDelete = 16,
    MenuSelectAll = 17,
    MenuDeselect = 18,
    MenuCropToSelection = 19,
    MenuFlipHorizontal = 20,
    MenuFlipVertical = 21,
    MenuRotateClockwise = 22,
    MenuRotateCounterClockwise = 23,
    MenuRotate180 = 24,
    // File.
    MenuExportTiledMap = 25,
    // View: snapping and the tile work.
    MenuSnapToGrid = 74,
    MenuTileGrid = 75,
    MenuTileMode = 76,
    MenuRelinkTiles = 77,
    MenuLinkMirrored = 78,
    MenuUnlinkTile = 79,
    MenuShowTileNumbers = 80,
    MenuWrapWithinTiles = 81,
    MenuTilePreview = 82,
};

/// Hidden ids posted by the Select tool's keys: arrows move the selection by a pixel,
/// Shift+arrows by a grid cell, Enter puts a floating selection down, Escape puts it back.
enum SelectKeyId : int {
    SelectKeyLeft = 710,
    SelectKeyRight = 711,
    SelectKeyUp = 712,
    SelectKeyDown = 713,
    SelectKeyCellLeft = 714,
    SelectKeyCellRight = 715,
    SelectKeyCellUp = 716,
    SelectKeyCellDown = 717,
    SelectKeyDrop = 718,
    SelectKeyPutBack = 719,
};

/// File menu item that opens the re-grid window: 90.
inline constexpr int RegridMenuItem = 90;

/// Pictures listed by Open Recent, most recent first.
inline constexpr int RecentLimit = 8;

/// The Open Recent submenu and its entries (499..507), and the hidden ids that the one-key
/// tool shortcuts (600..699) and the zoom keys (700..702) post.
enum DesktopMenuId : int {
    OpenRecentMenu = 499,
    RecentFirst = 500,   // entry i of the Open Recent list has id RecentFirst + i
    ToolKeyBase = 600,   // a tool key posts ToolKeyBase + the number of its tool button
    ZoomKeyIn = 700,     // Ctrl+plus, Ctrl+=, plus: one zoom preset in around the view centre
    ZoomKeyOut = 701,    // Ctrl+minus, minus: one preset out
    ZoomKeyReset = 702,  // Ctrl+0: 100 %
};

/// The Palette menu and Edition's Replace Colour: 800..806.
enum PaletteMenuItem : int {
    MenuPaletteLoad = 800,
    MenuPaletteSave = 801,
    MenuPaletteFromPicture = 802,
    MenuSortByHue = 803,
    MenuSortByLightness = 804,
    MenuSortByUse = 805,
    MenuReplaceColour = 806,
};

// ---- The ranges and their checks ----

/// Numbers first..last (both included) owned by one window or one menu part.
struct IdRange {
    int first, last;
};

namespace ids_detail {

constexpr bool disjoint(std::initializer_list<IdRange> ranges) {
    for (const IdRange* a = ranges.begin(); a != ranges.end(); ++a) {
        if (a->first > a->last) return false;
        for (const IdRange* b = a + 1; b != ranges.end(); ++b) {
            if (a->first <= b->last && b->first <= a->last) return false;
        }
    }
    return true;
}

constexpr bool inside(std::initializer_list<IdRange> ranges, std::initializer_list<int> values) {
    for (int v : values) {
        bool found = false;
        for (const IdRange& r : ranges) found = found || (v >= r.first && v <= r.last);
        if (!found) return false;
    }
    return true;
}

constexpr bool distinct(std::initializer_list<int> values) {
    for (const int* a = values.begin(); a != values.end(); ++a) {
        for (const int* b = a + 1; b != values.end(); ++b) {
            if (*a == *b) return false;
        }
    }
    return true;
}

}  // namespace ids_detail

inline constexpr IdRange MainViewPanelWidgets{0, 15};
inline constexpr IdRange MainPaletteWidgets{300, 309};
inline constexpr IdRange NewImageWidgets{16, 22};
inline constexpr IdRange TileSetWidgets{23, 37};
inline constexpr IdRange PreferencesTabWidgets{38, 41};
inline constexpr IdRange PreferencesOtherWidgets{60, 61};
inline constexpr IdRange ResizeWidgets{42, 50};
inline constexpr IdRange RegridWidgets{100, 159};
inline constexpr IdRange ReplaceColourWidgets{310, 320};
inline constexpr IdRange SelectToolWidgets{330, 330};
inline constexpr IdRange TileGridWidgets{340, 349};
inline constexpr IdRange TilePreviewWidgets{350, 352};

static_assert(ids_detail::disjoint({MainViewPanelWidgets, MainPaletteWidgets, NewImageWidgets, TileSetWidgets,
                                    PreferencesTabWidgets, PreferencesOtherWidgets, ResizeWidgets,
                                    RegridWidgets, ReplaceColourWidgets, SelectToolWidgets, TileGridWidgets,
                                    TilePreviewWidgets}),
              "two windows share widget numbers");

static_assert(ids_detail::inside({MainViewPanelWidgets},
                                 {ViewScrollArea, ViewCanvas, ColourButton, ToolButtonFirst, ToolButtonLast,
                                  ClearButton, EraserButton, BrushPreview, SizeSpin, TipCombo,
                                  OpacityTrackbar, KindCombo, KeepAlphaCheck, ToolPaint, ToolLine, ToolBox,
                                  ToolEllipse, ToolFill}));
static_assert(ids_detail::inside({MainPaletteWidgets},
                                 {PaletteSwatches, PaletteAddButton, PaletteRemoveButton, RecolourCheck}));
static_assert(ids_detail::inside({NewImageWidgets},
                                 {new_image_window::WidthLabel, new_image_window::DimensionFrame,
                                  new_image_window::WidthField, new_image_window::HeightField,
                                  new_image_window::HeightLabel, new_image_window::OkButton,
                                  new_image_window::CancelButton}));
static_assert(ids_detail::inside({TileSetWidgets},
                                 {tileset_window::ExportFrame, tileset_window::PlacementCombo,
                                  tileset_window::SpaceSpin, tileset_window::CancelButton}));
static_assert(ids_detail::inside({PreferencesTabWidgets, PreferencesOtherWidgets},
                                 {preferences_window::TabPanel, preferences_window::GridWidthSpin,
                                  preferences_window::GridHeightSpin, preferences_window::GridColorButton,
                                  preferences_window::SmallestPngCheck, preferences_window::CloseButton}));
static_assert(ids_detail::inside({ResizeWidgets}, {resize_window::WidthField, resize_window::HeightField,
                                                   resize_window::OkButton, resize_window::WidthLabel,
                                                   resize_window::PixelFrame, resize_window::ConstrainCheck,
                                                   resize_window::ModeCombo, resize_window::HeightLabel,
                                                   resize_window::CancelButton}));
static_assert(ids_detail::inside({RegridWidgets}, {regrid::ReadFrame, regrid::CloseButton, regrid::FirstLabel,
                                                   regrid::LastLabel}));
static_assert(ids_detail::inside({ReplaceColourWidgets}, {ReplaceFromButton, ReplaceCloseButton,
                                                          ReplaceFirstLabel, ReplaceLastLabel}));
static_assert(ids_detail::inside({SelectToolWidgets}, {SelectButton}));
static_assert(ids_detail::inside({TileGridWidgets}, {tile_grid_window::TileWidthSpin, tile_grid_window::GapSpin,
                                                     tile_grid_window::CancelButton, tile_grid_window::FirstLabel,
                                                     tile_grid_window::LastLabel}));
static_assert(ids_detail::inside({TilePreviewWidgets}, {tile_preview_window::PreviewCanvas,
                                                        tile_preview_window::InfoText}));

// Menu ids: one numbering for the menu bar, its submenus and the hidden shortcut ids.
inline constexpr IdRange MainMenuItems{0, 89};
inline constexpr IdRange RegridMenuItems{90, 90};
inline constexpr IdRange RecentMenuItems{499, 499 + RecentLimit};
inline constexpr IdRange ToolKeyItems{600, 699};
inline constexpr IdRange ZoomKeyItems{700, 702};
inline constexpr IdRange SelectKeyItems{710, 719};
inline constexpr IdRange PaletteMenuItems{800, 806};

static_assert(ids_detail::disjoint({MainMenuItems, RegridMenuItems, RecentMenuItems, ToolKeyItems,
                                    ZoomKeyItems, SelectKeyItems, PaletteMenuItems}),
              "two menu parts share item ids");
static_assert(ids_detail::inside({MainMenuItems}, {MenuNewImage, MenuSaveAs, MenuGrid, MenuZoom800, MenuCut,
                                                   MenuRotate180, MenuExportTiledMap, MenuSnapToGrid,
                                                   MenuTilePreview}));
static_assert(ids_detail::distinct({MenuNewImage, MenuConvertTileSet, MenuSaveTileSet, MenuOpenImage, MenuExit,
                                    MenuPreferences, MenuResizeImage, MenuAbout, MenuUndo, MenuRedo, MenuSaveAs,
                                    MenuPreviousBrush, MenuNextBrush, MenuZoomIn, MenuZoomOut, MenuZoom500,
                                    MenuZoom400, MenuZoom300, MenuZoom200, MenuZoom100, MenuZoom50, MenuZoom25,
                                    MenuGrid, MenuZoom3200, MenuZoom1600, MenuZoom800, MenuCut, MenuCopy,
                                    MenuPaste, MenuPasteAsNew, MenuDelete, MenuSelectAll, MenuDeselect,
                                    MenuCropToSelection, MenuFlipHorizontal, MenuFlipVertical,
                                    MenuRotateClockwise, MenuRotateCounterClockwise, MenuRotate180,
                                    MenuExportTiledMap, MenuSnapToGrid, MenuTileGrid, MenuTileMode,
                                    MenuRelinkTiles, MenuLinkMirrored, MenuUnlinkTile, MenuShowTileNumbers,
                                    MenuWrapWithinTiles, MenuTilePreview}),
              "two menu items share an id");
static_assert(ids_detail::inside({SelectKeyItems}, {SelectKeyLeft, SelectKeyPutBack}));
static_assert(ids_detail::inside({RegridMenuItems}, {RegridMenuItem}));
static_assert(ids_detail::inside({RecentMenuItems}, {OpenRecentMenu, RecentFirst,
                                                     static_cast<int>(RecentFirst) + RecentLimit - 1}));
static_assert(ids_detail::inside({ToolKeyItems}, {static_cast<int>(ToolKeyBase) + ToolPaint,
                                                  static_cast<int>(ToolKeyBase) + ToolFill,
                                                  static_cast<int>(ToolKeyBase) + ToolSelect}));
static_assert(ids_detail::inside({ZoomKeyItems}, {ZoomKeyIn, ZoomKeyOut, ZoomKeyReset}));
static_assert(ids_detail::inside({PaletteMenuItems}, {MenuPaletteLoad, MenuReplaceColour}));

static_assert(ids_detail::distinct({MainWindow, NewImageWindow, TileSetWindow, PreferencesWindow,
                                    ResizeWindow, RegridWindow, ReplaceColourWindow, TileGridWindow,
                                    TilePreviewWindow, PasteSizeWindow}),
              "two windows share a number");
static_assert(ids_detail::distinct({ToolIconFirst, 1, 2, 3, 4, 5, ToolIconLast, ColorSwatchImage, OpenedImage,
                                    BrushImage, BrushPreviewImage, CustomBrushImage, DocumentImage,
                                    TileSetImage, RegridSourceImage, ReplaceFromImage, ReplaceToImage,
                                    FloatingImage, TilePreviewImage, SelectIconImage}),
              "two images share a number");

}  // namespace morvane
