// Shared helpers for the picture-file tests: codec set-up, pixel access, file makers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"

namespace morvane::test {

/// Registers every codec in start-up order before each test and frees all images after.
class CodecTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    /// A fresh empty folder for this test's files.
    std::string temp_dir();

  private:
    std::string dir_;
};

/// Pixel (x, y) of a live image as blue, green, red, alpha (alpha 255 for 24-bit storage).
std::array<int, 4> pixel_at(ObjectNumber number, int x, int y);

/// A PNG written with libpng. `rows` holds each row's raw samples as libpng takes them
/// (packed for bit depths below 8, big-endian for 16). `palette` entries are 0xRRGGBB.
struct PngPicture {
    int width = 1, height = 1, color_type = 0, bit_depth = 8;
    bool interlace = false;
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> trns_alpha;  // palette transparency
    int trns_gray = -1;                    // grey transparency sample
    std::array<int, 3> trns_rgb = {-1, -1, -1};
};
std::vector<std::uint8_t> make_png(const PngPicture& picture);

/// A JPEG written with libjpeg from interleaved samples of `components` channels in
/// `in_space`, stored as `file_space` (e.g. CMYK data stored as YCCK).
std::vector<std::uint8_t> make_jpeg(int width, int height, int components, int in_space, int file_space,
                                    const std::vector<std::uint8_t>& samples, int quality,
                                    bool progressive = false);

/// Little-endian byte writer for hand-built files.
struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& u8(int v) {
        data.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& u16(int v) { return u8(v & 255).u8((v >> 8) & 255); }
    Bytes& u32(std::int64_t v) {
        return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>((v >> 16) & 0xFFFF));
    }
    Bytes& raw(const std::vector<std::uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
};

/// A BMP with a 40-byte information header; the pixel data offset is 54 + palette bytes
/// unless `offset` is given.
std::vector<std::uint8_t> make_bmp(int width, int height, int bits, int compression,
                                   const std::vector<std::uint32_t>& palette,
                                   const std::vector<std::uint8_t>& pixels, int offset = -1);

/// Small valid files of every kind the readers take, with file names (the fuzz seeds).
/// Icon files are named "*.ico".
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> sample_files();

std::vector<std::uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<std::uint8_t>& data);
bool file_exists(const std::string& path);
/// Names in a folder (without "." and "..").
std::vector<std::string> list_dir(const std::string& dir);

/// Encodes image `number` with a writer to memory and returns the bytes (empty on failure).
std::vector<std::uint8_t> encode_to_memory(ImageWriter writer, const Bitmap& bitmap, int parameter,
                                           int depth);

}  // namespace morvane::test
