// Palette files: each kind read from text written by hand after its published description,
// round trips through each written kind, and bad files with the message naming file and line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/image.h"
#include "palette/palette.h"

namespace morvane {
namespace {

constexpr Color opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return rgba(r, g, b, 255);
}

TEST(PaletteFile, ReadsEachKindFromHandWrittenText) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<Color> colours;
        const char* palette_name;
    };
    const std::vector<Case> cases = {
        // GIMP: header, Name and Columns, '#' comments, "R G B" padded, an optional name.
        {"four.gpl",
         "GIMP Palette\nName: Test Four\nColumns: 4\n# a comment\n  0   0   0\tBlack\n255 128  64\tOrange\n"
         " 17  34  51\n#\n\n255 255 255 White with spaces\n",
         {opaque(0, 0, 0), opaque(255, 128, 64), opaque(17, 34, 51), opaque(255, 255, 255)},
         "Test Four"},
        // Lospec hex: RRGGBB a line, any case, CRLF or LF, the file name as name.
        {"rgb.hex", "ff0000\r\n00FF00\n0000ff", {opaque(255, 0, 0), opaque(0, 255, 0), opaque(0, 0, 255)}, "rgb"},
        // JASC-PAL: header, version 0100, count, then "R G B" lines with CRLF.
        {"three.pal", "JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0 128 0\r\n10 20 30\r\n",
         {opaque(255, 0, 0), opaque(0, 128, 0), opaque(10, 20, 30)}, "three"},
        // Paint.NET: ';' comments and AARRGGBB, alpha kept.
        {"pdn.txt", "; paint.net Palette File\n; Colors: 2\n80FF0000\nFF00ff00\n",
         {rgba(255, 0, 0, 0x80), opaque(0, 255, 0)}, "pdn"},
        // A UTF-8 byte-order mark before the GIMP header.
        {"bom.gpl", "\xEF\xBB\xBFGIMP Palette\n1 2 3\n", {opaque(1, 2, 3)}, "bom"},
    };
    for (const Case& c : cases) {
        const Result<Palette> read = palette_parse(c.text, c.name);
        ASSERT_TRUE(read.ok()) << c.name << ": " << read.error;
        EXPECT_EQ(read.value->colours, c.colours) << c.name;
        EXPECT_EQ(read.value->name, c.palette_name) << c.name;
    }
}

TEST(PaletteFile, PictureGivesItsDistinctColoursInReadingOrder) {
    image_codecs_init();
    bmp_codec_register();
    png_decoder_register();
    png_encoder_register();
    // 3 x 2: (red, blue, red / green, red, half-transparent blue).
    const Color pixels[2][3] = {{opaque(255, 0, 0), opaque(0, 0, 255), opaque(255, 0, 0)},
                                {opaque(0, 255, 0), opaque(255, 0, 0), rgba(0, 0, 255, 100)}};
    ASSERT_NE(image_create(700, 3, 2, 32), 0);
    Bitmap* b = bitmap_from_handle(image_handle(700));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = b->row(y) + 4 * x;
            const Color c = pixels[y][x];
            p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c)), p[2] = std::uint8_t(color_red(c));
            p[3] = std::uint8_t(c >> 24);
        }
    const std::string dir = ::testing::TempDir();
    ASSERT_EQ(image_save(700, dir + "pic.png", FormatPng, 7, 32), 1);
    const Result<Palette> png = palette_load(dir + "pic.png");
    ASSERT_TRUE(png.ok()) << png.error;
    EXPECT_EQ(png.value->colours,
              (std::vector<Color>{opaque(255, 0, 0), opaque(0, 0, 255), opaque(0, 255, 0), rgba(0, 0, 255, 100)}));
    // A 24-bit BMP has no alpha: the writer lays the last pixel over white (155, 155, 255).
    ASSERT_EQ(image_save(700, dir + "pic.bmp", FormatBmp, 0, 24), 1);
    const Result<Palette> bmp = palette_load(dir + "pic.bmp");
    ASSERT_TRUE(bmp.ok()) << bmp.error;
    EXPECT_EQ(bmp.value->colours, (std::vector<Color>{opaque(255, 0, 0), opaque(0, 0, 255), opaque(0, 255, 0),
                                                      opaque(155, 155, 255)}));
    // 300 distinct colours are too many for a palette.
    ASSERT_NE(image_create(700, 300, 1, 32), 0);
    b = bitmap_from_handle(image_handle(700));
    for (int x = 0; x < 300; ++x) b->row(0)[4 * x] = std::uint8_t(x), b->row(0)[4 * x + 1] = std::uint8_t(x >> 8),
                                  b->row(0)[4 * x + 3] = 255;
    ASSERT_EQ(image_save(700, dir + "many.png", FormatPng, 7, 32), 1);
    const Result<Palette> many = palette_load(dir + "many.png");
    EXPECT_FALSE(many.ok());
    EXPECT_EQ(many.error, dir + "many.png: the picture has 300 colours, more than 256 (a palette holds at most 256)");
    image_free(700);
}

TEST(PaletteFile, RoundTripsThroughEachWrittenKind) {
    const Palette palette{"Round trip", {opaque(0, 0, 0), opaque(255, 255, 255), opaque(1, 2, 3), opaque(250, 128, 7),
                                         opaque(255, 0, 0)}};
    const std::string dir = ::testing::TempDir();
    for (const char* name : {"rt.gpl", "rt.hex", "rt.pal", "rt.txt"}) {
        ASSERT_TRUE(palette_save(dir + name, palette).ok()) << name;
        const Result<Palette> back = palette_load(dir + name);
        ASSERT_TRUE(back.ok()) << name << ": " << back.error;
        EXPECT_EQ(back.value->colours, palette.colours) << name;
    }
    // The written texts follow each kind's layout.
    EXPECT_EQ(palette_format(Palette{"P", {opaque(250, 128, 7)}}, PaletteFormat::Pal), "JASC-PAL\r\n0100\r\n1\r\n250 128 7\r\n");
    EXPECT_EQ(palette_format(Palette{"P", {opaque(250, 128, 7)}}, PaletteFormat::Hex), "fa8007\n");
    EXPECT_EQ(palette_format(Palette{"P", {opaque(250, 128, 7)}}, PaletteFormat::Gpl),
              "GIMP Palette\nName: P\nColumns: 8\n#\n250 128   7\t#fa8007\n");
    // Paint.NET keeps alpha; the others drop it.
    const Palette translucent{"T", {rgba(10, 20, 30, 40)}};
    ASSERT_TRUE(palette_save(dir + "alpha.txt", translucent).ok());
    EXPECT_EQ(palette_load(dir + "alpha.txt").value->colours, translucent.colours);
    ASSERT_TRUE(palette_save(dir + "alpha.gpl", translucent).ok());
    EXPECT_EQ(palette_load(dir + "alpha.gpl").value->colours, std::vector<Color>{opaque(10, 20, 30)});
}

TEST(PaletteFile, BadFilesNameTheFileAndTheLine) {
    std::string big = "GIMP Palette\n";
    for (int i = 0; i < 257; ++i) big += "1 2 3\n";
    std::string big_hex;
    for (int i = 0; i < 300; ++i) big_hex += "a0b0c0\n";
    struct Case {
        const char* name;
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"empty.gpl", "", "empty.gpl, line 1: the file is empty"},
        {"blank.hex", "\n\n  \n", "blank.hex, line 3: no colours in this palette"},
        {"notes.md", "\nHello world\n",
         "notes.md, line 2: not a palette: \"Hello world\" is no GIMP, JASC, hex or Paint.NET palette line"},
        {"other.gpl", "Some text\n", "other.gpl, line 1: not a GIMP palette (its first line must be \"GIMP Palette\")"},
        {"bad.gpl", "GIMP Palette\nName: x\n12 300 4\n",
         "bad.gpl, line 3: \"12 300 4\" is not a colour (three numbers 0-255, then an optional name)"},
        {"two.gpl", "GIMP Palette\n1 2\n", "two.gpl, line 2: \"1 2\" is not a colour (three numbers 0-255, then an optional name)"},
        {"bad.hex", "ff0000\nff00zz\n", "bad.hex, line 2: \"ff00zz\" is not a colour (RRGGBB in hexadecimal)"},
        {"bad.txt", "; c\nFF0000\n", "bad.txt, line 2: \"FF0000\" is not a colour (AARRGGBB in hexadecimal)"},
        {"short.pal", "JASC-PAL\r\n0100\r\n3\r\n1 2 3\r\n", "short.pal, line 5: the header announces 3 colours, only 1 found"},
        {"version.pal", "JASC-PAL\n0200\n1\n1 2 3\n", "version.pal, line 2: a JASC palette has the version \"0100\" on its second line"},
        {"many.pal", "JASC-PAL\n0100\n300\n",
         "many.pal, line 3: 300 colours announced: more than 256 colours (a palette holds at most 256)"},
        {"big.gpl", big, "big.gpl, line 258: more than 256 colours (a palette holds at most 256)"},
        {"big.hex", big_hex, "big.hex, line 257: more than 256 colours (a palette holds at most 256)"},
        {"broken.png", std::string("\x89PNG\r\n\x1A\n\0\0", 10), "broken.png: not a palette (the picture cannot be read)"},
    };
    for (const Case& c : cases) {
        const Result<Palette> read = palette_parse(c.text, c.name);
        EXPECT_FALSE(read.ok()) << c.name;
        EXPECT_EQ(read.error, c.message);
    }
    const Result<Palette> missing = palette_load("/nonexistent/none.gpl");
    EXPECT_EQ(missing.error, "/nonexistent/none.gpl: the file cannot be read");
}

}  // namespace
}  // namespace morvane
