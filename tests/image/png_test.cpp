// PNG files of every colour type, bit depth, transparency and interlacing, written with
// libpng, against a straightforward reference of what each sample means.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <random>

#include "codec_support.h"

namespace morvane::test {
namespace {

using Png = CodecTest;
using Px = std::array<int, 4>;

struct Case {
    int color_type;
    int bit_depth;
    bool trns;
    int depth;         // expected storage depth
    int source_depth;  // expected source depth
};

int channels(int color_type) {
    switch (color_type) {
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 1;
    }
}

// A sample at bit depth `bits` widened to 8 bits, as the format defines it.
int to8(int v, int bits) {
    return bits == 16 ? v >> 8 : bits == 8 ? v : v * 255 / ((1 << bits) - 1);
}

void check_case(const Case& c, bool interlace) {
    const int width = 7, height = 5, n = channels(c.color_type), bits = c.bit_depth;
    std::mt19937 random(1234 + c.color_type * 100 + bits + (c.trns ? 7 : 0));
    const int max = c.color_type == PNG_COLOR_TYPE_PALETTE ? std::min(5, (1 << bits) - 1) : (1 << bits) - 1;
    std::vector<std::vector<int>> samples(width * height, std::vector<int>(n));
    for (auto& px : samples)
        for (int& s : px) s = static_cast<int>(random() % (max + 1));

    PngPicture picture;
    picture.width = width, picture.height = height, picture.color_type = c.color_type,
    picture.bit_depth = bits;
    picture.interlace = interlace;
    const std::vector<std::uint32_t> palette = {0x102030, 0xA0B0C0, 0xFF0000, 0x00FF7F, 0x123456, 0xFEDCBA};
    const std::vector<std::uint8_t> palette_alpha = {0, 128, 255, 7};
    if (c.color_type == PNG_COLOR_TYPE_PALETTE) {
        const std::size_t entries = std::min<std::size_t>(palette.size(), std::size_t{1} << bits);
        picture.palette.assign(palette.begin(), palette.begin() + entries);
        if (c.trns)
            picture.trns_alpha.assign(palette_alpha.begin(),
                                      palette_alpha.begin() + std::min<std::size_t>(4, entries));
    } else if (c.trns && c.color_type == PNG_COLOR_TYPE_GRAY) {
        picture.trns_gray = samples[0][0];
    } else if (c.trns) {
        picture.trns_rgb = {samples[0][0], samples[0][1], samples[0][2]};
    }
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row((width * n * bits + 7) / 8);
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < n; ++k) {
                const int v = samples[y * width + x][k];
                const int at = (x * n + k) * bits;
                if (bits == 16) {
                    row[at / 8] = static_cast<std::uint8_t>(v >> 8);
                    row[at / 8 + 1] = static_cast<std::uint8_t>(v);
                } else {
                    row[at / 8] |= static_cast<std::uint8_t>(v << (8 - bits - at % 8));
                }
            }
        picture.rows.push_back(row);
    }
    const auto file = make_png(picture);
    const std::string label = "type " + std::to_string(c.color_type) + " bits " + std::to_string(bits) +
                              (c.trns ? " tRNS" : "") + (interlace ? " interlaced" : "");
    ASSERT_NE(image_from_memory(3, file.data(), static_cast<std::int32_t>(file.size())), 0) << label;
    const Image* record = image_record(3);
    EXPECT_EQ(record->depth, c.depth) << label;
    EXPECT_EQ(record->source_depth, c.source_depth) << label;
    EXPECT_EQ(record->format_tag, 0x474E50u);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto& s = samples[y * width + x];
            Px want{};
            switch (c.color_type) {
                case PNG_COLOR_TYPE_GRAY:
                    want = {to8(s[0], bits), to8(s[0], bits), to8(s[0], bits),
                            c.trns && s[0] == samples[0][0] ? 0 : 255};
                    break;
                case PNG_COLOR_TYPE_GRAY_ALPHA:
                    want = {to8(s[0], bits), to8(s[0], bits), to8(s[0], bits), to8(s[1], bits)};
                    break;
                case PNG_COLOR_TYPE_RGB:
                    want = {to8(s[2], bits), to8(s[1], bits), to8(s[0], bits),
                            c.trns && s == samples[0] ? 0 : 255};
                    break;
                case PNG_COLOR_TYPE_RGB_ALPHA:
                    want = {to8(s[2], bits), to8(s[1], bits), to8(s[0], bits), to8(s[3], bits)};
                    break;
                default: {
                    const std::uint32_t p = palette[s[0]];
                    const int a =
                        c.trns && s[0] < static_cast<int>(std::min<std::size_t>(4, std::size_t{1} << bits))
                            ? palette_alpha[s[0]]
                            : 255;
                    want = {int(p & 255), int((p >> 8) & 255), int(p >> 16), a};
                }
            }
            if (c.depth == 24) want[3] = 255;
            ASSERT_EQ(pixel_at(3, x, y), want) << label << " at " << x << "," << y;
        }
}

TEST_F(Png, EveryColourTypeBitDepthTransparencyAndInterlace) {
    const Case cases[] = {
        {PNG_COLOR_TYPE_GRAY, 1, false, 24, 1},       {PNG_COLOR_TYPE_GRAY, 2, false, 24, 2},
        {PNG_COLOR_TYPE_GRAY, 4, false, 24, 4},       {PNG_COLOR_TYPE_GRAY, 8, false, 24, 8},
        {PNG_COLOR_TYPE_GRAY, 16, false, 24, 16},     {PNG_COLOR_TYPE_GRAY, 2, true, 32, 8},
        {PNG_COLOR_TYPE_GRAY, 8, true, 32, 8},        {PNG_COLOR_TYPE_GRAY, 16, true, 32, 16},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 32, 8}, {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, 32, 16},
        {PNG_COLOR_TYPE_RGB, 8, false, 24, 24},       {PNG_COLOR_TYPE_RGB, 16, false, 24, 24},
        {PNG_COLOR_TYPE_RGB, 8, true, 32, 32},        {PNG_COLOR_TYPE_RGB, 16, true, 32, 32},
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 32, 32}, {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 32, 32},
        {PNG_COLOR_TYPE_PALETTE, 1, false, 24, 1},    {PNG_COLOR_TYPE_PALETTE, 2, false, 24, 2},
        {PNG_COLOR_TYPE_PALETTE, 4, false, 24, 4},    {PNG_COLOR_TYPE_PALETTE, 8, false, 24, 8},
        {PNG_COLOR_TYPE_PALETTE, 4, true, 32, 32},    {PNG_COLOR_TYPE_PALETTE, 8, true, 32, 32},
    };
    for (const Case& c : cases)
        for (bool interlace : {false, true}) check_case(c, interlace);
}

// The chunks of a PNG file by type, data concatenated.
std::vector<std::uint8_t> chunk(const std::vector<std::uint8_t>& file, const char* type) {
    std::vector<std::uint8_t> out;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length =
            std::size_t{file[at]} << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::equal(type, type + 4, file.begin() + at + 4))
            out.insert(out.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        at += 12 + length;
    }
    return out;
}

TEST_F(Png, WriterUsesNoFilterLevelNineAndRgbOrRgba) {
    for (int depth : {24, 32}) {
        ASSERT_NE(image_create(1, 5, 3, depth, rgba(9, 8, 7, 255)), 0);
        Bitmap* b = bitmap_from_handle(image_handle(1));
        b->row(1)[0] = 200;                  // blue of pixel (0, 1)
        if (depth == 32) b->row(2)[3] = 60;  // alpha of pixel (0, 2)
        const std::string path = temp_dir() + "/out.png";
        ASSERT_EQ(image_save(1, path, FormatPng), 1);
        const auto file = read_file(path);
        const auto header = chunk(file, "IHDR");
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(header[3], 5);
        EXPECT_EQ(header[7], 3);
        EXPECT_EQ(header[8], 8);                    // bits per sample
        EXPECT_EQ(header[9], depth == 32 ? 6 : 2);  // RGBA or RGB
        EXPECT_EQ(header[12], 0);                   // not interlaced
        const auto stream = chunk(file, "IDAT");
        ASSERT_GE(stream.size(), 2u);
        EXPECT_EQ(stream[0] & 15, 8);  // deflate
        EXPECT_EQ(stream[1] >> 6, 3);  // zlib's level field: maximum compression
        const std::size_t row_bytes = 1 + 5 * (depth / 8);
        std::vector<std::uint8_t> raw(row_bytes * 3 + 16);
        uLongf raw_size = raw.size();
        ASSERT_EQ(uncompress(raw.data(), &raw_size, stream.data(), stream.size()), Z_OK);
        ASSERT_EQ(raw_size, row_bytes * 3);
        for (int y = 0; y < 3; ++y) EXPECT_EQ(raw[y * row_bytes], 0) << "filter of row " << y;
        // Samples in red, green, blue (, alpha) order from the top row.
        EXPECT_EQ(raw[1], 9);
        EXPECT_EQ(raw[3], 7);
        EXPECT_EQ(raw[row_bytes + 3], 200);
        if (depth == 32) {
            EXPECT_EQ(raw[2 * row_bytes + 4], 60);
        }

        ASSERT_NE(image_load(2, path), 0);
        EXPECT_EQ(image_record(2)->depth, depth);
        EXPECT_EQ(pixel_at(2, 0, 1), (Px{200, 8, 9, 255}));
        EXPECT_EQ(pixel_at(2, 0, 2), (Px{7, 8, 9, depth == 32 ? 60 : 255}));
    }
}

TEST_F(Png, LargePicturesCompressedInBlocksGiveTheSameFile) {
    // Pictures of several MiB are compressed in blocks on all processors: the stream must
    // still be one valid zlib stream of the None-filtered rows, and load back exactly.
    for (int depth : {24, 32}) {
        SCOPED_TRACE(depth);
        const int width = 1500, height = 700;  // about 3 MiB (24) and 4 MiB (32) of rows
        ASSERT_NE(image_create(1, width, height, depth), 0);
        std::mt19937 random(static_cast<unsigned>(depth));
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = bitmap_from_handle(image_handle(1))->row(y);
            // Noise with runs of zeros and repeated stripes, so matches cross block cuts.
            for (int x = 0; x < width * depth / 8; ++x)
                row[x] =
                    (x / 64 + y) % 3 == 0 ? 0 : (y % 5 == 0 ? static_cast<std::uint8_t>(x) : random() & 255);
        }
        const std::string path = temp_dir() + "/big.png";
        ASSERT_EQ(image_save(1, path, FormatPng), 1);
        const auto file = read_file(path);
        const auto stream = chunk(file, "IDAT");
        ASSERT_GE(stream.size(), 2u);
        EXPECT_EQ(stream[0], 0x78);
        EXPECT_EQ(stream[1] >> 6, 3);
        EXPECT_EQ(chunk(file, "IEND").size(), 0u);
        EXPECT_EQ(std::vector<std::uint8_t>(file.end() - 8, file.end() - 4),
                  (std::vector<std::uint8_t>{'I', 'E', 'N', 'D'}));
        const std::size_t row_bytes = 1 + static_cast<std::size_t>(width) * depth / 8;
        std::vector<std::uint8_t> raw(row_bytes * height + 16);
        uLongf raw_size = raw.size();
        ASSERT_EQ(uncompress(raw.data(), &raw_size, stream.data(), stream.size()), Z_OK);  // checksum too
        ASSERT_EQ(raw_size, row_bytes * height);
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* in = bitmap_from_handle(image_handle(1))->row(y);
            const std::uint8_t* out = raw.data() + row_bytes * y;
            wrong += out[0] != 0;
            for (int x = 0; x < width; ++x) {
                const int c = depth / 8;
                wrong += out[1 + c * x] != in[c * x + 2] || out[2 + c * x] != in[c * x + 1] ||
                         out[3 + c * x] != in[c * x] || (c == 4 && out[4 + c * x] != in[c * x + 3]);
            }
        }
        EXPECT_EQ(wrong, 0);
        ASSERT_NE(image_load(2, path), 0);
        EXPECT_EQ(image_record(2)->depth, depth);
        EXPECT_EQ(pixel_at(2, 1499, 699), pixel_at(1, 1499, 699));
        EXPECT_EQ(pixel_at(2, 777, 333), pixel_at(1, 777, 333));
    }
}

TEST_F(Png, PaletteOutputForEveryDepthOneToEight) {
    const Px colors[3] = {{0, 0, 0, 255}, {250, 128, 3, 255}, {17, 200, 99, 255}};
    for (int depth = 1; depth <= 8; ++depth) {
        const int used = depth == 1 ? 2 : 3;
        ASSERT_NE(image_create(1, 9, 4, 24, 0), 0);
        Bitmap* b = bitmap_from_handle(image_handle(1));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                for (int k = 0; k < 3; ++k)
                    b->row(y)[3 * x + k] = static_cast<std::uint8_t>(colors[(x * y + x) % used][k]);
        const std::string path = temp_dir() + "/pal.png";
        ASSERT_EQ(image_save(1, path, FormatPng, 7, depth), 1) << depth;
        const auto file = read_file(path);
        const auto header = chunk(file, "IHDR");
        ASSERT_EQ(header.size(), 13u);
        const int stored_bits = depth <= 1 ? 1 : depth <= 2 ? 2 : depth <= 4 ? 4 : 8;
        EXPECT_EQ(header[8], stored_bits) << depth;
        EXPECT_EQ(header[9], 3) << depth;
        EXPECT_EQ(chunk(file, "PLTE").size(), 3u << depth) << depth;
        ASSERT_NE(image_load(2, path), 0) << depth;
        EXPECT_EQ(image_record(2)->source_depth, stored_bits);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) EXPECT_EQ(pixel_at(2, x, y), colors[(x * y + x) % used]) << depth;
    }
}

TEST_F(Png, DamagedDataFailsAndLeavesNoImage) {
    PngPicture picture;
    picture.width = 4, picture.height = 4, picture.color_type = PNG_COLOR_TYPE_RGB;
    picture.rows.assign(4, std::vector<std::uint8_t>(12, 77));
    auto file = make_png(picture);
    ASSERT_NE(image_create(4, 2, 2), 0);
    // A flipped byte inside the image data breaks its checksum.
    const std::size_t idat = 8 + 25 + 8 + 2;
    file[idat] ^= 0x55;
    EXPECT_EQ(image_from_memory(4, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_exists(4), 0);
}

}  // namespace
}  // namespace morvane::test
