// Numbered images in memory: the image table, creation, copy, grab, resize and queries.
#pragma once

#include <cstdint>

#include "image/bitmap.h"
#include "image/color.h"

namespace morvane {

enum ResizeMode : int { Smooth = 0, Nearest = 1 };

/// Background value that gives a 32-bit image transparent black.
inline constexpr Color BackgroundTransparent = 0xFFFFFFFFu;

/// One numbered image. `handle` is the Bitmap* of its storage as an integer (0 = none).
struct Image {
    std::intptr_t handle = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::uint8_t depth = 0;         // bits per pixel of the storage: 24 or 32
    std::uint8_t source_depth = 0;  // depth created or read with; default output depth of saving
    std::uint32_t format_tag = 0;   // FormatTag of the decoder, "ICON", or 0
};

/// Handle (fixed number) or dynamic number (-1); 0 on failure.
std::intptr_t image_create(ObjectNumber number, int width, int height, int depth = 24, Color background = 0);
/// Frees one image; -1 frees every image.
void image_free(ObjectNumber number);
std::intptr_t image_copy(ObjectNumber source, ObjectNumber target);
std::intptr_t image_grab(ObjectNumber source, ObjectNumber target, int x, int y, int width, int height);
std::intptr_t image_resize(ObjectNumber number, int width, int height, int mode = Smooth);
int image_width(ObjectNumber number);
int image_height(ObjectNumber number);
std::intptr_t image_handle(ObjectNumber number);
int image_exists(ObjectNumber number);

/// The record of a live image, or null. For the codecs and drawing layers.
Image* image_record(ObjectNumber number);

/// Takes the record for a number for a creating operation: frees an image already at a
/// fixed number (or at an existing dynamic number, whose record is reused), or makes a new
/// dynamic record for -1. Returns the record and sets `result_number` to the number that
/// names it; null when the number is invalid (other negative values, fixed numbers above
/// 2^20).
Image* image_take_record(ObjectNumber number, ObjectNumber* result_number);
/// Undoes image_take_record after a failed creation (discards a dynamic record).
void image_release_record(ObjectNumber number);

/// A new 32-bit bottom-up copy of the storage behind `handle`, premultiplied for alpha
/// display, or in the greyed look. Release with bitmap_destroy. Null on failure.
Bitmap* display_copy(std::intptr_t handle, bool greyed);
/// A new 1-bit mask of the same size: bit 0 (black) where visible, 1 (white) where
/// transparent. Release with bitmap_destroy. Null on failure.
Bitmap* mask_bitmap(std::intptr_t handle);

}  // namespace morvane
