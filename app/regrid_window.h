// The re-grid window as the rest of the editor sees it: its menu item and its events.
#pragma once

#include <cstdint>

#include "app/editor_state.h"

namespace morvane {

/// Menu item of the File menu that opens the re-grid window.
inline constexpr int RegridMenuItem = 90;

/// Widget numbers of the re-grid window (one numbering for the whole editor).
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
    FirstLabel,  // labels take the numbers from here on
};
}  // namespace regrid

/// Asks for a sheet, then opens the re-grid window (not modal: the editor stays usable).
void regrid_window_open(EditorState& state);
/// A WidgetEvent of the re-grid window.
void regrid_window_event(EditorState& state, std::int64_t source, std::int64_t subtype);
/// Closes the window and releases its pictures.
void regrid_window_close();

}  // namespace morvane
