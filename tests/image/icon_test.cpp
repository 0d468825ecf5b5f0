// Icon files with bitmap and PNG entries: entry choice, transparency, record facts.
#include <gtest/gtest.h>
#include <png.h>

#include "codec_support.h"

namespace morvane::test {
namespace {

using Icon = CodecTest;
using Px = std::array<int, 4>;

// A bitmap entry: 40-byte header (height doubled), palette, colour rows, mask rows.
std::vector<std::uint8_t> dib_entry(int width, int height, int bits,
                                    const std::vector<std::uint32_t>& palette,
                                    const std::vector<std::uint8_t>& color_rows,
                                    const std::vector<std::uint8_t>& mask_rows) {
    Bytes b;
    b.u32(40)
        .u32(width)
        .u32(2 * height)
        .u16(1)
        .u16(bits)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(palette.size())
        .u32(0);
    for (std::uint32_t c : palette) b.u8(c & 255).u8((c >> 8) & 255).u8((c >> 16) & 255).u8(0);
    return b.raw(color_rows).raw(mask_rows).data;
}

struct Entry {
    int width_byte, height_byte, bit_count;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> icon_file(const std::vector<Entry>& entries) {
    Bytes b;
    b.u16(0).u16(1).u16(static_cast<int>(entries.size()));
    std::size_t offset = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        b.u8(e.width_byte)
            .u8(e.height_byte)
            .u8(0)
            .u8(0)
            .u16(1)
            .u16(e.bit_count)
            .u32(e.data.size())
            .u32(offset);
        offset += e.data.size();
    }
    for (const Entry& e : entries) b.raw(e.data);
    return b.data;
}

// A 2 x 1 32-bit entry whose two pixels are `c` (B, G, R, A bytes).
std::vector<std::uint8_t> solid32(std::array<std::uint8_t, 4> c) {
    return dib_entry(2, 1, 32, {}, {c[0], c[1], c[2], c[3], c[0], c[1], c[2], c[3]}, {0, 0, 0, 0});
}

TEST_F(Icon, ChoosesTheDeepestEntryOfTheFirstEntrysSize) {
    const auto four_bit = dib_entry(2, 1, 4, {0x0000FF, 0x00FF00}, {0x01, 0, 0, 0}, {0, 0, 0, 0});
    const auto file = icon_file({
        {2, 1, 4, four_bit},
        {2, 1, 32, solid32({1, 2, 3, 200})},  // chosen: same size, most bits
        {3, 1, 32, solid32({9, 9, 9, 255})},  // other size: never chosen
        {2, 1, 32, solid32({7, 7, 7, 255})},  // equal bits: the earlier entry stays
    });
    const std::intptr_t handle = image_from_memory(5, file.data(), static_cast<std::int32_t>(file.size()));
    ASSERT_NE(handle, 0);
    const Image* record = image_record(5);
    EXPECT_EQ(record->format_tag, 0x4E4F4349u);
    EXPECT_EQ(record->depth, 32);
    EXPECT_EQ(record->source_depth, 32);
    EXPECT_EQ(record->width, 2);
    EXPECT_EQ(record->height, 1);
    EXPECT_EQ(bitmap_from_handle(handle)->kind, Bitmap::Kind::Icon);
    EXPECT_EQ(pixel_at(5, 0, 0), (Px{1, 2, 3, 200}));
    EXPECT_EQ(pixel_at(5, 1, 0), (Px{1, 2, 3, 200}));
}

TEST_F(Icon, PaletteEntryTakesTransparencyFromItsMask) {
    // 3 x 2, 8 bits: rows bottom-up, each padded to 4 bytes; mask rows of 4 bytes, 1 = transparent.
    const std::vector<std::uint8_t> colors = {0, 1, 2, 0, 2, 1, 0, 0};
    const std::vector<std::uint8_t> mask = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
    const auto entry = dib_entry(3, 2, 8, {0x102030, 0x405060, 0x708090}, colors, mask);
    const auto file = icon_file({{3, 2, 8, entry}});
    ASSERT_NE(image_from_memory(6, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(6)->source_depth, 8);
    // Picture row 1 is the file's first (bottom) row.
    EXPECT_EQ(pixel_at(6, 0, 1), (Px{0x30, 0x20, 0x10, 255}));
    EXPECT_EQ(pixel_at(6, 1, 1)[3], 0);
    EXPECT_EQ(pixel_at(6, 2, 1), (Px{0x90, 0x80, 0x70, 255}));
    EXPECT_EQ(pixel_at(6, 0, 0)[3], 0);
    EXPECT_EQ(pixel_at(6, 1, 0), (Px{0x60, 0x50, 0x40, 255}));
    EXPECT_EQ(pixel_at(6, 2, 0), (Px{0x30, 0x20, 0x10, 255}));

    // A 32-bit entry whose alpha bytes are all zero also uses the mask.
    const auto zero_alpha = dib_entry(2, 1, 32, {}, {5, 6, 7, 0, 8, 9, 10, 0}, {0x40, 0, 0, 0});
    const auto file32 = icon_file({{2, 1, 32, zero_alpha}});
    ASSERT_NE(image_from_memory(6, file32.data(), static_cast<std::int32_t>(file32.size())), 0);
    EXPECT_EQ(pixel_at(6, 0, 0), (Px{5, 6, 7, 255}));
    EXPECT_EQ(pixel_at(6, 1, 0)[3], 0);
}

TEST_F(Icon, PngEntriesKeepTheirAlpha) {
    PngPicture picture;
    picture.width = 2, picture.height = 2, picture.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    picture.rows = {{255, 0, 0, 255, 0, 255, 0, 128}, {0, 0, 255, 0, 10, 20, 30, 40}};
    const auto png = make_png(picture);
    auto file = icon_file({{2, 2, 32, png}});
    ASSERT_NE(image_from_memory(-1, file.data(), static_cast<std::int32_t>(file.size())), 0);
    ASSERT_NE(image_from_memory(7, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(image_record(7)->format_tag, 0x4E4F4349u);
    EXPECT_EQ(pixel_at(7, 0, 0), (Px{0, 0, 255, 255}));
    EXPECT_EQ(pixel_at(7, 1, 0), (Px{0, 255, 0, 128}));
    EXPECT_EQ(pixel_at(7, 0, 1), (Px{255, 0, 0, 0}));
    EXPECT_EQ(pixel_at(7, 1, 1), (Px{30, 20, 10, 40}));

    // An RGB entry is opaque.
    picture.color_type = PNG_COLOR_TYPE_RGB;
    picture.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    file = icon_file({{2, 2, 24, make_png(picture)}});
    ASSERT_NE(image_from_memory(7, file.data(), static_cast<std::int32_t>(file.size())), 0);
    EXPECT_EQ(pixel_at(7, 1, 1), (Px{12, 11, 10, 255}));
}

TEST_F(Icon, IconImagesCannotBeSavedAndBrokenIconsFail) {
    const auto file = icon_file({{2, 1, 32, solid32({1, 2, 3, 255})}});
    ASSERT_NE(image_from_memory(8, file.data(), static_cast<std::int32_t>(file.size())), 0);
    const std::string path = temp_dir() + "/icon.bmp";
    EXPECT_EQ(image_save(8, path), 0);
    EXPECT_EQ(image_save(8, path, FormatPng, 7, 32), 0);
    EXPECT_FALSE(file_exists(path));
    // Resizing fails too; copying keeps the icon's record facts.
    EXPECT_EQ(image_resize(8, 4, 4), 0);
    ASSERT_NE(image_copy(8, 9), 0);
    EXPECT_EQ(image_record(9)->format_tag, 0x4E4F4349u);
    EXPECT_EQ(pixel_at(9, 1, 0), (Px{1, 2, 3, 255}));

    // Entry data reaching past the end of the block: not an icon, and no decoder takes it.
    auto broken = file;
    broken.resize(broken.size() - 3);
    EXPECT_EQ(image_from_memory(8, broken.data(), static_cast<std::int32_t>(broken.size())), 0);
    EXPECT_EQ(image_exists(8), 0);
    // Colour rows missing: fails as well.
    const auto short_entry = dib_entry(4, 4, 24, {}, {1, 2, 3}, {});
    const auto short_file = icon_file({{4, 4, 24, short_entry}});
    EXPECT_EQ(image_from_memory(8, short_file.data(), static_cast<std::int32_t>(short_file.size())), 0);
}

}  // namespace
}  // namespace morvane::test
