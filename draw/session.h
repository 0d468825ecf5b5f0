// Drawing sessions: the record bound to one output's pixel memory, its operation table,
// and the hooks the canvas uses to draw on its own back buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "draw/draw.h"

namespace morvane {

/// Pixel-format flags of an output.
enum PixelFormatFlag : int { FormatBgr24 = 16, FormatBgra32 = 64, FormatBottomUp = 32768 };

/// Where an output's pixels are. Pixel (x, y) is at base + memory row * pitch + x * bpp,
/// memory row = height - 1 - y when bottom-up.
struct PixelTarget {
    std::uint8_t* base = nullptr;
    std::ptrdiff_t pitch = 0;
    int bytes_per_pixel = 0;  // 3 or 4
    bool bottom_up = true;
    int format = 0;  // PixelFormatFlag bits
};

/// A colour ready for the writers: the channels, alpha and 255 - alpha, and the colour
/// terms (each multiplied by alpha when the mode blends).
struct PreparedColor {
    Color color = 0;
    std::uint32_t alpha = 0;
    std::uint32_t inverse = 255;
    std::uint32_t red = 0, green = 0, blue = 0;  // terms, maybe pre-multiplied
};

/// The pixel writer chosen by a mode for one target depth.
enum class Writer : std::uint8_t {
    Default,
    Xor,
    WriteAlpha,
    AlphaOnly,
    Blend,
    BlendKeepAlpha,
    Blend24,
    Nothing,
    PerPixel,
};

using GradientRoutine = Color (*)(int x, int y);
/// Receives x, y, the colour and the target pixel; returns the new pixel value.
using CustomRoutine = Color (*)(int x, int y, Color color, Color target);

struct FillScratch;

/// The output's operations, in their fixed slot order. Empty slots are not used here.
struct OutputOperations {
    void (*set_background)(DrawingSession&, Color) = nullptr;                                       // 1
    void (*box)(DrawingSession&, int x, int y, int w, int h) = nullptr;                             // 2
    void (*rounded_box)(DrawingSession&, int, int, int, int, int, int) = nullptr;                   // 3
    void (*circle)(DrawingSession&, int x, int y, int r) = nullptr;                                 // 4
    void (*set_font)(DrawingSession&, std::intptr_t font) = nullptr;                                // 5
    std::uint8_t* (*buffer)(DrawingSession&) = nullptr;                                             // 6
    std::ptrdiff_t (*pitch)(DrawingSession&) = nullptr;                                             // 7
    int (*format)(DrawingSession&) = nullptr;                                                       // 8
    void (*set_mode)(DrawingSession&, int mode) = nullptr;                                          // 9
    void (*image)(DrawingSession&, std::intptr_t handle, int x, int y) = nullptr;                   // 10
    void (*image_sized)(DrawingSession&, std::intptr_t, int, int, int, int) = nullptr;              // 11
    void (*alpha_image)(DrawingSession&, std::intptr_t handle, int x, int y, int alpha) = nullptr;  // 12
    void (*text)(DrawingSession&, int, int, const char*) = nullptr;                                 // 13
    void (*text_colored)(DrawingSession&, int, int, const char*, Color, Color) = nullptr;           // 14
    void (*ellipse)(DrawingSession&, int x, int y, int rx, int ry) = nullptr;                       // 15
    void (*fill)(DrawingSession&, int x, int y, std::int64_t border) = nullptr;                     // 16
    void (*set_front)(DrawingSession&, Color) = nullptr;                                            // 17
    std::intptr_t (*grab)(DrawingSession&, int, int, int, int) = nullptr;                           // 18
    void (*line)(DrawingSession&, int x1, int y1, int x2, int y2) = nullptr;                        // 19
    void (*plot)(DrawingSession&, int x, int y) = nullptr;                                          // 20
    void (*plot_color)(DrawingSession&, int x, int y, Color) = nullptr;                             // 21
    Color (*read)(DrawingSession&, int x, int y) = nullptr;                                         // 22
    std::intptr_t (*begin)(DrawingSession&) = nullptr;                                              // 23
    void (*end)(DrawingSession&) = nullptr;                                                         // 24
    int (*text_width)(DrawingSession&, const char*) = nullptr;                                      // 25
    int (*text_height)(DrawingSession&, const char*) = nullptr;                                     // 26
    void (*set_clip)(DrawingSession&, int, int, int, int) = nullptr;                                // 27
    void (*reset_clip)(DrawingSession&) = nullptr;                                                  // 28
    void (*release)(DrawingSession&, int stopped) = nullptr;                                        // 29
    GradientRoutine gradient = nullptr;  // null: the front colour
    CustomRoutine custom = nullptr;      // null: the target pixel unchanged
};

/// One drawing session: bound to an output between preparing and drawing_end.
struct DrawingSession {
    OutputOperations ops;
    int width = 0, height = 0, depth = 0;
    int origin_x = 0, origin_y = 0;
    int full_width = 0, full_height = 0;
    Color front = 0;
    Color background = 0;
    PixelTarget target;
    int mode = Default;
    bool blend_prepared = false;
    bool gradient_on = false;
    bool callback_on = false;
    Writer writer = Writer::Default;        // the front colour's writer
    Writer pixel_writer = Writer::Default;  // under Gradient: the writer of the other flags
    bool pixel_blend_prepared = false;      // under Gradient: blend preparation of those flags
    bool reads_alpha = false;               // the pixel reader returns alpha
    PreparedColor front_prepared;
    PreparedColor background_prepared;
    std::unique_ptr<FillScratch> fill;
    std::function<void(int stopped)> release_routine;
    bool open = false;

    DrawingSession();
    ~DrawingSession();
    DrawingSession(const DrawingSession&) = delete;
    DrawingSession& operator=(const DrawingSession&) = delete;

    /// Address of pixel (x, y); the caller has clipped.
    std::uint8_t* at(int x, int y) const {
        std::ptrdiff_t row = target.bottom_up ? height - 1 - y : y;
        return target.base + row * target.pitch + static_cast<std::ptrdiff_t>(x) * target.bytes_per_pixel;
    }
    /// Byte step from a pixel to the one below it.
    std::ptrdiff_t down_step() const { return target.bottom_up ? -target.pitch : target.pitch; }
};

/// Prepares and makes current a session on bottom-up pixel memory (`bits` = memory row 0),
/// 24 or 32 bits per pixel. `release` is called with 0 after a failed drawing_begin and
/// with 1 at drawing_end. Returns null for an unusable size, pitch or depth.
DrawingSession* drawing_output_prepare(std::uint8_t* bits, int width, int height, int stride, int bpp,
                                       std::function<void(int stopped)> release);

/// The current session, or null.
DrawingSession* drawing_current();

}  // namespace morvane
