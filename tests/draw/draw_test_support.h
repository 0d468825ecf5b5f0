// Test outputs with guard bytes around their pixels, and small helpers for the draw suite.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "draw/session.h"
#include "image/bitmap.h"

namespace morvane::test {

/// Bottom-up pixel memory of `bpp` bits with 64 guard bytes on both sides, and an open
/// session on it.
class Target {
  public:
    static constexpr int Guard = 64;
    static constexpr std::uint8_t GuardByte = 0xA5;

    Target(int width, int height, int bpp) : width_(width), height_(height), bpp_(bpp) {
        stride_ = bpp == 32 ? 4 * width : 4 * ((3 * width + 3) / 4);
        memory_.assign(static_cast<std::size_t>(stride_) * height + 2 * Guard, GuardByte);
        std::memset(bits(), 0, static_cast<std::size_t>(stride_) * height);
    }
    ~Target() {
        if (drawing_current()) drawing_end();
    }

    void begin() {
        EXPECT_NE(drawing_begin(drawing_output_prepare(bits(), width_, height_, stride_, bpp_, nullptr)), 0);
    }
    std::uint8_t* bits() { return memory_.data() + Guard; }
    std::uint8_t* at(int x, int y) {
        return bits() + static_cast<std::ptrdiff_t>(height_ - 1 - y) * stride_ + x * (bpp_ / 8);
    }
    /// The pixel as red | green << 8 | blue << 16 | alpha << 24 (alpha 0 on 24 bits).
    Color pixel(int x, int y) {
        const std::uint8_t* p = at(x, y);
        return rgba(p[2], p[1], p[0], bpp_ == 32 ? p[3] : 0u);
    }
    void set(int x, int y, Color c) {
        std::uint8_t* p = at(x, y);
        p[0] = static_cast<std::uint8_t>(color_blue(c));
        p[1] = static_cast<std::uint8_t>(color_green(c));
        p[2] = static_cast<std::uint8_t>(color_red(c));
        if (bpp_ == 32) p[3] = static_cast<std::uint8_t>(c >> 24);
    }
    void fill(Color c) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) set(x, y, c);
    }
    bool guards_intact() const {
        for (int i = 0; i < Guard; ++i)
            if (memory_[i] != GuardByte || memory_[memory_.size() - 1 - i] != GuardByte) return false;
        return true;
    }
    /// Pixels that differ from `c`, as a set of (x, y).
    std::vector<std::pair<int, int>> differing(Color c) {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (pixel(x, y) != c) out.emplace_back(x, y);
        return out;
    }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_, height_, bpp_, stride_;
    std::vector<std::uint8_t> memory_;
};

/// A source picture for draw_image built from top-down pixel values.
struct SourcePicture {
    Bitmap bitmap;
    std::vector<std::uint8_t> memory;

    SourcePicture(int width, int height, int bpp, const std::vector<Color>& top_down,
                  Bitmap::Kind kind = Bitmap::Kind::Pixels) {
        bitmap.kind = kind;
        bitmap.width = width, bitmap.height = height, bitmap.bpp = bpp;
        bitmap.stride = bpp == 32 ? 4 * width : 4 * ((3 * width + 3) / 4);
        memory.assign(static_cast<std::size_t>(bitmap.stride) * height, 0);
        bitmap.bits = memory.data();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = bitmap.row(y) + x * (bpp / 8);
                const Color c = top_down[static_cast<std::size_t>(y) * width + x];
                p[0] = static_cast<std::uint8_t>(color_blue(c));
                p[1] = static_cast<std::uint8_t>(color_green(c));
                p[2] = static_cast<std::uint8_t>(color_red(c));
                if (bpp == 32) p[3] = static_cast<std::uint8_t>(c >> 24);
            }
    }
    std::intptr_t handle() const { return bitmap_handle(&bitmap); }
};

/// Counts how often each pixel is painted, through the per-pixel custom routine.
struct PaintCounter {
    static std::map<std::pair<int, int>, int>& counts() {
        static std::map<std::pair<int, int>, int> c;
        return c;
    }
    static Color routine(int x, int y, Color, Color target) {
        ++counts()[{x, y}];
        return target;
    }
    /// Installs the routine on the current session and sets PixelCallback plus `mode`.
    static void install(int mode = 0) {
        counts().clear();
        drawing_current()->ops.custom = routine;
        drawing_mode_set(PixelCallback | mode);
    }
};

}  // namespace morvane::test
