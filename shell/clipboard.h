// The system clipboard's pictures, shared with other programs.
#pragma once

#include <functional>

#include "image/bitmap.h"

namespace morvane {

/// Puts a copy of `picture` (24 or 32 bits; its alpha kept) on the system clipboard as an
/// image other programs read: image/png first among the offered types. The PNG is made only
/// when a program asks for it, so the call returns at the cost of one copy. False for a
/// picture that is not 24 or 32 bits or when memory runs out.
bool clipboard_put_image(const Bitmap& picture);

/// Whether the clipboard holds a picture (image/png or another image type Qt reads).
bool clipboard_has_image();

/// A new 32-bit picture with straight alpha from the clipboard (PNG data read exactly, other
/// image types through Qt), or null when the clipboard holds none or it cannot be read.
Bitmap* clipboard_take_image();

/// Calls `changed` whenever the system clipboard's content changes (this program's copies and
/// other programs' alike), with whether it now holds a picture; an empty function stops.
void clipboard_watch(std::function<void(bool has_image)> changed);

}  // namespace morvane
