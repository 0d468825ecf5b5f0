// Numbered top-level windows.
#pragma once

#include <cstdint>
#include <string>

#include "image/color.h"

namespace morvane {

/// Bits of the flags of window_open.
enum WindowFlags : std::uint32_t {
    CenterOnScreen = 0x1,
    CenterOnParent = 0x2,
    ToolWindow = 0x4,
    NoWidgetTarget = 0x8,
    MaximizeBox = 0x10000,
    MinimizeBox = 0x20000,
    SizableFrame = 0x40000,
    SystemMenu = 0x80000,
    Caption = 0xC00000,
    OpenMaximized = 0x1000000,
    NoActivate = 0x2000000,
    OpenHidden = 0x10000000,
    OpenMinimized = 0x20000000,
    /// With a parent: the parent takes no input until this window closes.
    BlockOwner = 0x40000000,
};

/// Value of x or y that lets the platform choose the position.
inline constexpr int DefaultPosition = -65535;

/// Opens (or replaces) window `number` with a client area of inner_width x inner_height.
/// `parent` is another window's number (-1 for none): the new window is owned by it, stays
/// in front of it, closes with it and, with BlockOwner, blocks its input while open. A
/// window larger than the screen's available area is shrunk to fit it. Returns non-zero on
/// success.
int window_open(ObjectNumber number, int x, int y, int inner_width, int inner_height,
                const std::string& title, std::uint32_t flags, ObjectNumber parent = -1);
/// Closes a window with its widgets, menu and status bar, removes its pending events and
/// reactivates its owner.
void window_close(ObjectNumber number);
/// Platform handle of an open window (its top-level widget), 0 when not open.
std::intptr_t window_handle(ObjectNumber number);
/// The number of the open window whose handle this is, or -1.
ObjectNumber window_from_handle(std::intptr_t handle);
void window_activate(ObjectNumber number);
/// Sets the caption of an open window (UTF-8).
void window_set_title(ObjectNumber number, const std::string& title);
/// The caption of an open window, "" when not open.
std::string window_title(ObjectNumber number);
int window_inner_width(ObjectNumber number);
/// Client-area height plus the menu bar's height.
int window_inner_height(ObjectNumber number);
/// Pointer position relative to the client area now; -1 when outside it.
int window_mouse_x(ObjectNumber number);
int window_mouse_y(ObjectNumber number);
/// Binds a key sequence in Qt's text form ("Ctrl+N", "X") to a MenuEvent with source
/// id & 0xFFFF posted for this window. Returns non-zero on success.
int window_add_shortcut(ObjectNumber window, const std::string& key_sequence, int id);
/// Turns every shortcut of a window that posts `id` on (non-zero) or off; an off shortcut
/// leaves its key to the focused widget. Returns the number of shortcuts changed.
int window_enable_shortcut(ObjectNumber window, int id, int on);

/// Lets files be dropped on a window (on non-zero): each drop of local files posts a
/// DropFilesEvent for the first of them. Returns non-zero when the window is open.
int window_accept_drops(ObjectNumber window, int on);

}  // namespace morvane
