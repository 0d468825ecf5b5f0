// The drawing API: sessions on an image, modes, and the primitives that paint into the
// current session's pixel memory.
#pragma once

#include <cstdint>

#include "image/color.h"

namespace morvane {

/// Bit set that selects how every pixel write combines a colour with the output.
enum DrawingMode : int {
    Default = 0,          ///< write red, green, blue; alpha unchanged
    Transparent = 1,      ///< text without its background box (no effect on pixels)
    Xor = 2,              ///< exclusive-or the colour into red, green, blue
    Outline = 4,          ///< boxes, circles and ellipses draw only their outline
    AlphaOnly = 8,        ///< write only alpha; nothing on 24-bit outputs
    Blend = 16,           ///< blend by the colour's alpha and update the output's alpha
    BlendKeepAlpha = 32,  ///< blend as Blend, keep the output's alpha
    Gradient = 64,        ///< each pixel's colour comes from the gradient routine
    PixelCallback = 128,  ///< each pixel's value comes from the custom routine
    WriteAlpha = 256,     ///< write all four channels (32-bit outputs only)
};

struct DrawingSession;

/// Prepares (and makes current) a session on the pixels of image `number`; null when there
/// is no such image or it cannot be an output (icons never are).
DrawingSession* image_output(ObjectNumber number);

/// Opens a prepared session. Returns a non-zero value on success; 0 for null or a session
/// without pixel memory, in which case the session is released and no session is current.
std::intptr_t drawing_begin(DrawingSession* session);

/// Ends the current session (releasing it); does nothing when there is none.
void drawing_end();

/// Sets the DrawingMode of the current session.
void drawing_mode_set(int mode);

/// Filled box, or its outline in Outline mode. Negative sizes extend left / up.
void draw_box(int x, int y, int width, int height, Color color);
/// Line between two end points, both included.
void draw_line_xy(int x1, int y1, int x2, int y2, Color color);
/// Line from (x, y) over width x height pixels (a line of width 1 is vertical).
void draw_line(int x, int y, int width, int height, Color color);
/// draw_ellipse with equal radii.
void draw_circle(int x, int y, int radius, Color color);
/// Filled ellipse centred on (x, y), or its outline in Outline mode. Negative radii, and
/// radii above 500000, draw nothing.
void draw_ellipse(int x, int y, int radius_x, int radius_y, Color color);
/// Seed fill from (x, y), 4-connected. `border` -1: the region is the seed pixel's colour;
/// otherwise it is every pixel whose red, green and blue differ from the border's.
void fill_area(int x, int y, std::int64_t border, Color color);
/// Seed fill from (x, y), 4-connected, of the region of the seed pixel's exact stored value:
/// on a 32-bit output alpha counts too, so transparent black and opaque black differ.
void fill_area_exact(int x, int y, Color color);
/// Draws the picture behind an image handle with its top-left pixel at (x, y).
void draw_image(std::intptr_t handle, int x, int y);
/// Draws a picture using its alpha channel, with a constant alpha (255 = as stored).
/// Icon handles draw nothing here.
void draw_alpha_image(std::intptr_t handle, int x, int y, int alpha = 255);

}  // namespace morvane
