// Object numbers and the packed colour value shared by every layer.
#pragma once

#include <cstdint>

namespace morvane {

/// The small integer by which a window, widget, menu, status bar, image or font is named.
/// Dynamic numbers (created with -1) are derived from a record's address, so the type is
/// pointer-sized.
using ObjectNumber = std::intptr_t;

/// Value that keeps a current size or lets the platform choose.
inline constexpr int KeepSize = -65535;

/// Packed colour: red bits 0-7, green 8-15, blue 16-23, alpha 24-31 (255 opaque).
/// Carried in a 64-bit integer it is sign-extended, so opaque white is -1 there.
using Color = std::uint32_t;

/// r | g << 8 | b << 16 | a << 24; components are combined without masking.
constexpr Color rgba(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return r | g << 8 | b << 16 | a << 24;
}
/// Colour with alpha 0.
constexpr Color rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return rgba(r, g, b, 0); }
constexpr std::uint32_t color_red(std::int64_t v) { return static_cast<std::uint32_t>(v & 255); }
constexpr std::uint32_t color_green(std::int64_t v) { return static_cast<std::uint32_t>((v >> 8) & 255); }
constexpr std::uint32_t color_blue(std::int64_t v) { return static_cast<std::uint32_t>((v >> 16) & 255); }

}  // namespace morvane
