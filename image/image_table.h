// Internals of the image table shared by the image operations.
#pragma once

#include <cstddef>

#include "image/image.h"

namespace morvane {

/// Highest fixed number a creating operation accepts; larger numbers fail rather than
/// growing the slot array without bound.
inline constexpr ObjectNumber MaxFixedImageNumber = 1 << 20;

/// Destroys the storage of a record and clears it to all zero (null does nothing).
void image_release_storage(Image* record);

/// Number of fixed slots the table holds now.
std::size_t image_slot_count();

}  // namespace morvane
