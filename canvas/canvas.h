// The canvas widget: a child widget showing its own 24-bit back buffer and reporting raw
// mouse and keyboard input as WidgetEvents with the input captured at posting time.
#pragma once

#include <cstdint>
#include <functional>

#include "image/color.h"

namespace morvane {

struct DrawingSession;

enum CanvasFlags : int {
    SunkenEdge = 1,      // sunken edge; the back buffer is 4 pixels narrower and lower
    ConfinePointer = 2,  // while a button is held the pointer stays on the canvas
    TakesFocus = 4,      // a click gives the focus; a tab stop
    FocusFrame = 8,      // a dotted focus rectangle 2 pixels inside the edge while focused
};

enum class CanvasCursor : int {
    Arrow = 0,
    Cross = 1,
    IBeam = 2,
    Hand = 3,
    Busy = 4,
    NotAllowed = 5,
    Move = 6,
    SizeWestEast = 7,
    SizeNorthSouth = 8,
    SizeNorthWestSouthEast = 9,
    SizeNorthEastSouthWest = 10,
    None = 11,
};

/// Subtypes of the canvas's WidgetEvents.
enum CanvasSubtype : int {
    LeftClick = 0,
    RightClick = 1,
    LeftDoubleClick = 2,
    RightDoubleClick = 3,
    FocusGained = 14000,
    FocusLost = 14001,
    MouseEnter = 65537,
    MouseLeave = 65538,
    MouseMove = 65539,
    LeftButtonDown = 65540,
    LeftButtonUp = 65541,
    RightButtonDown = 65542,
    RightButtonUp = 65543,
    MiddleButtonDown = 65544,
    MiddleButtonUp = 65545,
    MouseWheel = 65546,
    KeyDown = 65547,
    KeyUp = 65548,
    Input = 65549,
};

/// Attributes, read and set with widget_get_attribute / widget_set_attribute.
enum class CanvasAttribute : int {
    BackBuffer = 1,
    MouseX = 2,
    MouseY = 3,
    Buttons = 4,
    Key = 5,
    Modifiers = 6,
    Cursor = 7,
    WheelDelta = 8,
    InputCharacter = 9,
    MouseClipped = 10,
    CustomCursor = 11,
    WheelDeltaX = 12,  // sideways notches of a MouseWheel (tilt wheels, touchpads), right negative
};

/// Bits of CanvasEventData::buttons and ::modifiers.
enum CanvasButtons : int { ButtonLeft = 1, ButtonRight = 2, ButtonMiddle = 4 };
enum CanvasModifiers : int { ModifierShift = 1, ModifierAlt = 2, ModifierControl = 4 };

/// The input state attached to every canvas event when it is posted.
struct CanvasEventData {
    int x = 0;  // canvas client pixels
    int y = 0;
    int buttons = 0;
    int key = 0;  // virtual-key code (KeyDown, KeyUp)
    int modifiers = 0;
    int wheel = 0;                // notches (MouseWheel)
    int wheel_x = 0;              // sideways notches (MouseWheel)
    std::uint16_t character = 0;  // UTF-16 unit (Input)
};

/// Wheel movement in 1/120 notch units; the part below one notch carries over.
struct WheelAccumulator {
    int units = 0;
    /// Adds a movement and returns the whole notches taken out (truncated toward zero).
    int add(int delta);
};

/// Creates a canvas in the current widget list; width and height are the outer size.
/// Returns the widget's handle (the dynamic number for -1), 0 on failure.
std::intptr_t canvas_create(ObjectNumber number, int x, int y, int width, int height, int flags);

/// A prepared 24-bit drawing session on the canvas's back buffer, or null. drawing_end
/// repaints the canvas at once.
DrawingSession* canvas_output(ObjectNumber number);

/// Fills the canvas rectangle x, y, width x height (client pixels) into `pixels`: rows from
/// the top, `stride` pixels apart, each pixel 0xFFRRGGBB.
using CanvasPainter =
    std::function<void(int x, int y, int width, int height, std::uint32_t* pixels, int stride)>;

/// Gives the canvas a painter. The canvas then keeps no back buffer (canvas_output gives
/// null, BackBuffer reads 0) and each repaint asks the painter for the exposed part only,
/// so a canvas of any size costs no pixel memory. An empty painter brings the buffer back.
/// False when `number` is not a canvas.
bool canvas_set_painter(ObjectNumber number, CanvasPainter painter);

/// Marks a rectangle of the canvas (client pixels) for repainting at the next paint.
void canvas_invalidate(ObjectNumber number, int x, int y, int width, int height);

/// Moves what the canvas shows by dx, dy client pixels (positive: right and down) and
/// repaints only the strips that this uncovers: a viewport scrolling over a larger picture.
void canvas_scroll(ObjectNumber number, int dx, int dy);

/// The handle of a standard cursor (index 0-11) for the CustomCursor attribute, 0 otherwise.
std::intptr_t canvas_cursor_handle(int index);

/// The virtual-key code for a Qt key (Qt::Key value; `keypad` for keys of the number pad),
/// 0 when it has none.
int virtual_key_code(int qt_key, bool keypad);

}  // namespace morvane
