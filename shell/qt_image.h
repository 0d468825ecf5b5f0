// Conversion of image storage into Qt pictures (shell-internal, for Qt-level code).
#pragma once

#include <QImage>
#include <cstdint>

namespace morvane {

/// A copy of the pixels behind an image handle: 32-bit storage keeps its straight alpha
/// (ARGB32), 24-bit storage becomes opaque RGB32. Null image for handle 0 or bad storage.
QImage qimage_from_handle(std::intptr_t handle);

}  // namespace morvane
