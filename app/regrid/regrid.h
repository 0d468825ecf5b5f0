// "Re-grid a Tile Set...": a sheet read with one tile grid and written with another, with a
// live preview. The model (options, planned sheet, assembled picture, preview rendering,
// command line and output files) works without the window, for tests and benchmarks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "image/bitmap.h"
#include "image/result.h"
#include "tileset/tileset.h"

namespace morvane {

/// Output picture formats, in the order of the save dialog's patterns.
enum RegridFormat : int { RegridPng = 0, RegridJpeg = 1, RegridBmp = 2 };

/// Every choice of the window, and what they give for the source picture.
struct RegridModel {
    std::string input;  // the sheet's file, as opened
    TileSetOptions options;
    int format = RegridPng;
    int quality = 70;  // JPEG quality 0..100, written in steps of 10
    bool write_list = false, write_tsx = false, write_json = false, write_map = false;

    // Results of the last regrid_update.
    std::string problem;  // why there is no sheet; empty when `picture` holds it
    SourceGrid grid;
    TileSelection selection;
    Sheet sheet;
    BitmapPtr picture;  // the assembled sheet, 32 bits

    // The selection depends only on the input grid and the tile choice; kept between updates.
    bool selection_valid = false;
    TileSetOptions selection_options;
    const Bitmap* selection_source = nullptr;
};

/// Re-plans and re-assembles the sheet for `source` (24 or 32 bits). False, with `problem`
/// set, when the options leave no sheet to make.
bool regrid_update(RegridModel& model, const Bitmap& source);
/// The whole tiles across a width x height sheet read with the options' tile width, input
/// margin and input spacing; at least 1. The column count the window proposes.
std::int64_t regrid_sheet_columns(const TileSetOptions& options, std::int64_t width, std::int64_t height);
/// Forgets the cached selection (a new source picture).
void regrid_forget(RegridModel& model);

/// ".png", ".jpg" or ".bmp" for a RegridFormat.
std::string regrid_extension(int format);

/// "W x H pixels, N tiles" for the current sheet, or the problem.
std::string regrid_summary(const RegridModel& model);

/// The files Save writes beside `output` (the picture's path, its extension already chosen).
struct RegridFiles {
    std::string picture, list, tsx, json, map;
};
RegridFiles regrid_files(const RegridModel& model, const std::string& output);

/// The equivalent command of the tile-set command line for the current options.
std::string regrid_command_line(const RegridModel& model, const std::string& output);

/// Encodes the picture and the chosen metadata for `output` into the files to write; the
/// failure says why when there is no sheet or the picture cannot be encoded.
Result<std::vector<OutputFile>> regrid_outputs(const RegridModel& model, const std::string& output);

/// Save: asks for the picture's name (`output` proposed), then writes the picture and the
/// chosen metadata. The format follows the pattern chosen in the dialog. True when the files
/// were written; `output` is then the picture's path.
bool regrid_save(RegridModel& model, std::string* output);

/// What the preview shows: a zoom in percent (0 = fit the view) and the view's top-left
/// pixel in the zoomed sheet.
struct RegridView {
    int zoom = 0;
    std::int64_t pan_x = 0, pan_y = 0;
};
/// The scale the preview uses for a view of view_w x view_h pixels.
double regrid_scale(const RegridModel& model, const RegridView& view, int view_w, int view_h);
/// Keeps the pan inside the zoomed sheet.
void regrid_clamp_pan(const RegridModel& model, RegridView& view, int view_w, int view_h);
/// Sets the zoom keeping the sheet point at the view's centre in place.
void regrid_zoom(const RegridModel& model, RegridView& view, int zoom, int view_w, int view_h);
/// Draws the sheet over a checkerboard with its cell grid into a 24-bit picture.
void regrid_render(const RegridModel& model, const RegridView& view, Bitmap& target);

}  // namespace morvane
