// Smallest PNG files: colour type and bit depth read from the IHDR bytes against worked
// expectations, every pixel read back by libpng equal to the picture saved, fully
// transparent pixels included; joined deflate streams checked by zlib.
#include "image/png_optimize.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "codec_support.h"
#include "image/deflate_joined.h"

namespace morvane::test {
namespace {

class PngSmallest : public CodecTest {
  protected:
    void TearDown() override {
        png_smallest_set(false);
        CodecTest::TearDown();
    }
};

using Px = std::array<int, 4>;  // blue, green, red, alpha

std::vector<std::uint8_t> chunk_of(const std::vector<std::uint8_t>& file, const char* type, bool* found) {
    *found = false;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length =
            std::size_t{file[at]} << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::equal(type, type + 4, file.begin() + static_cast<std::ptrdiff_t>(at + 4))) {
            *found = true;
            return {file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                    file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length)};
        }
        at += 12 + length;
    }
    return {};
}

struct Case {
    const char* name;
    int depth;                        // 24 or 32
    std::vector<Px> colours;          // cycled over the picture
    int color_type, bit_depth, trns;  // expected IHDR fields and tRNS length (-1: none)
};

Px grey(int v, int a = 255) {
    return {v, v, v, a};
}

std::vector<Px> series(int count, bool translucent) {
    std::vector<Px> out;
    for (int i = 0; i < count; ++i)
        out.push_back({i % 256, (i * 7) % 256, i / 256 + 1, translucent && i % 3 == 0 ? 128 : 255});
    return out;
}

// Cases beside those of the command line's test: 24-bit input, transparent pixels of
// several colours, key colours that are not black and a key also shown opaque.
TEST_F(PngSmallest, SmallestColourTypeAndDepthKeepEveryPixel) {
    const std::vector<Case> cases = {
        {"4 colours from 24 bits",
         24,
         {{1, 2, 3, 255}, {4, 5, 6, 255}, {7, 8, 9, 255}, {9, 9, 0, 255}},
         3,
         2,
         -1},
        {"4 colours, two translucent",
         32,
         {{1, 2, 3, 255}, {4, 5, 6, 90}, {7, 8, 9, 255}, {9, 9, 0, 0}},
         3,
         2,
         2},
        // Fully transparent pixels of different colours are different palette entries.
        {"16 colours, transparent ones of 3 colours", 32,
         [] {
             auto c = series(13, false);
             c.insert(c.end(), {{10, 20, 30, 0}, {40, 50, 60, 0}, {0, 0, 0, 0}});
             return c;
         }(),
         3, 4, 3},
        {"256 colours", 32, series(256, true), 3, 8, 86},
        {"257 colours, some translucent", 32, series(257, true), 6, 8, -1},
        {"grey in steps of 85", 24, {grey(0), grey(85), grey(170), grey(255), grey(85)}, 0, 2, -1},
        {"3 grey levels in steps of 1: a 2-bit palette beats 8-bit grey",
         32,
         {grey(1), grey(2), grey(3)},
         3,
         2,
         -1},
        {"grey with one transparent key", 32, {grey(0), grey(255), grey(170, 0), grey(85)}, 0, 2, 2},
        {"grey key also shown opaque: alpha needed", 32,
         [] {
             std::vector<Px> c;
             for (int v = 0; v < 256; v += 1) c.push_back(grey(v));
             c.push_back(grey(7, 0));
             return c;
         }(),
         4, 8, -1},
        {"grey with alpha", 32,
         [] {
             std::vector<Px> c;
             for (int v = 0; v < 256; v += 1) c.push_back(grey(v, v % 2 ? 255 : 40));
             c.push_back(grey(7, 0));
             return c;
         }(),
         4, 8, -1},
        {"RGB with one transparent key", 32,
         [] {
             auto c = series(300, false);
             c.push_back({3, 2, 1, 0});
             return c;
         }(),
         2, 8, 6},
    };
    const int width = 67, height = 41;  // odd sizes: packed rows end mid-byte
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(image_create(1, width, height, c.depth), 0);
        Bitmap* b = bitmap_from_handle(image_handle(1));
        std::mt19937 random(7);
        std::vector<Px> want;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                // Every colour once, then at random.
                const std::size_t i = static_cast<std::size_t>(y * width + x);
                const Px p = c.colours[i < c.colours.size() ? i : random() % c.colours.size()];
                for (int k = 0; k < c.depth / 8; ++k)
                    b->row(y)[x * c.depth / 8 + k] = static_cast<std::uint8_t>(p[k]);
                want.push_back(c.depth == 24 ? Px{p[0], p[1], p[2], 255} : p);
            }
        const std::string plain = temp_dir() + "/plain.png", small = temp_dir() + "/small.png";
        png_smallest_set(false);
        ASSERT_EQ(image_save(1, plain, FormatPng, 7, c.depth), 1);
        png_smallest_set(true);
        ASSERT_EQ(image_save(1, small, FormatPng, 7, c.depth), 1);
        const auto file = read_file(small);
        bool found = false;
        const auto header = chunk_of(file, "IHDR", &found);
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(header[9], c.color_type);
        EXPECT_EQ(header[8], c.bit_depth);
        const auto trns = chunk_of(file, "tRNS", &found);
        EXPECT_EQ(found ? static_cast<int>(trns.size()) : -1, c.trns);
        EXPECT_LT(file.size(), read_file(plain).size());

        ASSERT_NE(image_load(2, small), 0);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                Px got = pixel_at(2, x, y);
                wrong += got != want[static_cast<std::size_t>(y * width + x)];
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(PngSmallest, PaletteLeftOutWhereItsChunksCostMore) {
    // 16 x 16 pixels of 256 colours: 1 KiB of RGBA against 256 indices, a 768-byte PLTE and
    // a 256-byte tRNS.
    ASSERT_NE(image_create(1, 16, 16, 32), 0);
    Bitmap* b = bitmap_from_handle(image_handle(1));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int i = y * 16 + x;
            std::uint8_t* p = b->row(y) + 4 * x;
            p[0] = static_cast<std::uint8_t>(i), p[1] = static_cast<std::uint8_t>(i * 97), p[2] = 9,
            p[3] = static_cast<std::uint8_t>(255 - i);
        }
    png_smallest_set(true);
    const std::string path = temp_dir() + "/tiny.png";
    ASSERT_EQ(image_save(1, path, FormatPng), 1);
    bool found = false;
    const auto header = chunk_of(read_file(path), "IHDR", &found);
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(header[9], 6);
    ASSERT_NE(image_load(2, path), 0);
    for (int i = 0; i < 256; i += 51) EXPECT_EQ(pixel_at(2, i % 16, i / 16), pixel_at(1, i % 16, i / 16));
}

TEST_F(PngSmallest, OffWritesTheSameBytesAsBefore) {
    ASSERT_NE(image_create(1, 40, 30, 32), 0);
    Bitmap* b = bitmap_from_handle(image_handle(1));
    for (int y = 0; y < 30; ++y) b->row(y)[4 * y] = static_cast<std::uint8_t>(y * 8);
    const std::string before = temp_dir() + "/before.png", after = temp_dir() + "/after.png";
    ASSERT_EQ(image_save(1, before, FormatPng), 1);
    png_smallest_set(true);
    ASSERT_EQ(image_save(1, after, FormatPng), 1);
    EXPECT_NE(read_file(after), read_file(before));
    png_smallest_set(false);
    ASSERT_EQ(image_save(1, after, FormatPng), 1);
    EXPECT_EQ(read_file(after), read_file(before));
}

TEST(DeflateJoined, PiecesReadAsOneStream) {
    // Noise with repeats, cut into 1 to 5 pieces: zlib reads one stream with a right checksum.
    std::mt19937 random(3);
    std::vector<std::uint8_t> data(300000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = i % 1000 < 300 ? static_cast<std::uint8_t>(random() % 4) : data[i % 1000];
    for (unsigned threads : {1u, 2u, 5u}) {
        for (int level : {1, 9, 12}) {
            SCOPED_TRACE(testing::Message() << threads << " pieces, level " << level);
            std::vector<std::uint8_t> stream;
            ASSERT_TRUE(deflate_joined(data.data(), data.size(), level, threads, 50000, stream));
            std::vector<std::uint8_t> back(data.size() + 1);
            uLongf size = back.size();
            ASSERT_EQ(uncompress(back.data(), &size, stream.data(), stream.size()), Z_OK);
            back.resize(size);
            EXPECT_EQ(back, data);
            EXPECT_LT(stream.size(), data.size() / 2);
        }
    }
}

}  // namespace
}  // namespace morvane::test
