// Tile-set arithmetic, names and TileList text, checked against hand-worked layouts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/dialogs/dialogs.h"
#include "app/tilesets/tileset_commands.h"
#include "image/codec.h"

namespace morvane {
namespace {

// Splits a TileList into its lines; every line must end with CR LF.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "unterminated last line";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(TilesetLayout, SquarePictureWithoutSpacing) {
    const TileSetLayout l = tileset_layout(320, 320, 32, 32, 10, 0);
    EXPECT_EQ(l.export_width, 320);
    EXPECT_EQ(l.export_height, 320);
    EXPECT_EQ(l.tile_count(), 100);
    EXPECT_EQ(l.last_row, 10);
    EXPECT_EQ(l.cell_count(), 110);
    // ((ceil(10) + 1) x (ceil(10) + 1)) + 1
    EXPECT_EQ(l.tile_capacity, 122);

    const std::vector<std::string> lines = lines_of(tileset_list_text("forest", ".png", l));
    ASSERT_EQ(lines.size(), 110u);
    EXPECT_EQ(lines[0], "forest__000.png:0:0:32:32");
    EXPECT_EQ(lines[11], "forest__011.png:32:32:32:32");
    EXPECT_EQ(lines[99], "forest__099.png:288:288:32:32");
    // The last ten cells lie below the picture.
    EXPECT_EQ(lines[100], "forest__100.png:0:320:32:32");
    EXPECT_EQ(lines[109], "forest__109.png:288:320:32:32");
}

TEST(TilesetLayout, SpacingBeforeAndBetweenCells) {
    const TileSetLayout l = tileset_layout(320, 320, 32, 32, 10, 2);
    EXPECT_EQ(l.export_width, 340);   // 10 x 32 + 10 x 2
    EXPECT_EQ(l.export_height, 340);  // 320 + round(320 / 32 x 2)
    EXPECT_EQ(l.cell_x(0), 2);
    EXPECT_EQ(l.cell_y(0), 2);
    EXPECT_EQ(l.cell_x(1), 36);
    EXPECT_EQ(l.cell_y(1), 36);
    EXPECT_EQ(l.cell_x(9), 308);
}

TEST(TilesetLayout, PartialTilesDroppedAndAreaDecidesHeight) {
    const TileSetLayout wide = tileset_layout(100, 64, 32, 32, 10, 0);
    EXPECT_EQ(wide.tile_count(), 6);  // 3 across (4-pixel strip dropped) x 2 down
    EXPECT_EQ(wide.export_width, 320);
    EXPECT_EQ(wide.export_height, 32);  // ceil(6400 / 320) = 20 cuts the tiles: one whole row

    const TileSetLayout square = tileset_layout(100, 100, 32, 32, 10, 0);
    EXPECT_EQ(square.tile_count(), 9);
    EXPECT_EQ(square.export_width, 320);
    EXPECT_EQ(square.export_height, 32);  // ceil(10000 / 320) = 32
    EXPECT_EQ(square.cell_count(), 20);

    const TileSetLayout too_wide = tileset_layout(20, 40, 32, 8, 3, 0);
    EXPECT_EQ(too_wide.tile_count(), 0);
    EXPECT_EQ(too_wide.export_width, 96);
    EXPECT_EQ(too_wide.export_height, 9);  // ceil(800 / 96)
}

TEST(TilesetLayout, VerticalGapRoundsHalvesToEven) {
    // 16 x 10 picture, one 8-pixel column: 20 rows of pixels, 20 / 8 = 2.5 tile rows.
    const TileSetLayout one = tileset_layout(16, 10, 8, 8, 1, 1);
    EXPECT_EQ(one.rows_px, 20);
    EXPECT_EQ(one.last_row, 3);
    EXPECT_EQ(one.export_width, 9);
    EXPECT_EQ(one.export_height, 22);  // 2.5 rounds to 2
    const TileSetLayout three = tileset_layout(16, 10, 8, 8, 1, 3);
    EXPECT_EQ(three.export_height, 28);  // 7.5 rounds to 8
}

TEST(TilesetLayout, ListTextWithSpacing) {
    // 64 x 64 in 2 columns of 32 with spacing 1: cells at 1 and 34 across, 1, 34, 67 down.
    const TileSetLayout l = tileset_layout(64, 64, 32, 32, 2, 1);
    EXPECT_EQ(l.export_width, 66);
    EXPECT_EQ(l.export_height, 66);
    EXPECT_EQ(tileset_list_text("t", ".bmp", l),
              "t__000.bmp:1:1:32:32\r\nt__001.bmp:34:1:32:32\r\n"
              "t__002.bmp:1:34:32:32\r\nt__003.bmp:34:34:32:32\r\n"
              "t__004.bmp:1:67:32:32\r\nt__005.bmp:34:67:32:32\r\n");
}

TEST(TilesetLayout, CellNumbersAreWrittenWithThreeDigitsAtLeast) {
    EXPECT_EQ(tileset_list_line("a", 7, ".png", 1, 2, 3, 4), "a__007.png:1:2:3:4");
    EXPECT_EQ(tileset_list_line("a", 42, ".jpg", 0, 0, 16, 16), "a__042.jpg:0:0:16:16");
    EXPECT_EQ(tileset_list_line("a", 123, ".png", 0, 0, 1, 1), "a__123.png:0:0:1:1");
    EXPECT_EQ(tileset_list_line("a b", 1000, ".bmp", 4608, 4608, 16, 16), "a b__1000.bmp:4608:4608:16:16");
}

TEST(TilesetNames, ExtensionFollowsThePatternAndIsStrippedOnlyAtTheEnd) {
    TileSetTarget t;
    ASSERT_TRUE(tileset_target("forest", 0, &t));
    EXPECT_EQ(t.file(), "forest.png");
    EXPECT_EQ(t.tag, static_cast<std::uint32_t>(FormatPng));
    ASSERT_TRUE(tileset_target("forest.png", 0, &t));
    EXPECT_EQ(t.base, "forest");
    EXPECT_EQ(t.file(), "forest.png");
    ASSERT_TRUE(tileset_target("forest.jpg", 0, &t));
    EXPECT_EQ(t.file(), "forest.jpg.png");
    ASSERT_TRUE(tileset_target("forest.PNG", 0, &t));
    EXPECT_EQ(t.file(), "forest.PNG.png");
    ASSERT_TRUE(tileset_target("forest", 1, &t));
    EXPECT_EQ(t.file(), "forest.jpg");
    EXPECT_EQ(t.tag, static_cast<std::uint32_t>(FormatJpeg));
    ASSERT_TRUE(tileset_target("forest", 2, &t));
    EXPECT_EQ(t.file(), "forest.bmp");
    EXPECT_EQ(t.tag, static_cast<std::uint32_t>(FormatBmp));
    // Folder names keep an extension-like part.
    ASSERT_TRUE(tileset_target("/tmp/tiles.png/forest.png", 0, &t));
    EXPECT_EQ(t.base, "/tmp/tiles.png/forest");
    ASSERT_TRUE(tileset_target("art.bmp\\forest", 2, &t));
    EXPECT_EQ(t.base, "art.bmp\\forest");
    EXPECT_EQ(tileset_list_name(t.base), "art.bmp\\forest subimages.txt");
    EXPECT_FALSE(tileset_target("forest", 3, &t));
    EXPECT_FALSE(tileset_target("forest", -1, &t));
}

TEST(TilesetNames, FilePartTakesTheTextAfterEitherSeparator) {
    EXPECT_EQ(file_part("C:\\art\\forest"), "forest");
    EXPECT_EQ(file_part("/home/me/art/forest"), "forest");
    EXPECT_EQ(file_part("a/b\\c d"), "c d");
    EXPECT_EQ(file_part("plain"), "plain");
    EXPECT_EQ(file_part("folder/"), "");
}

TEST(TextNumbers, SignsPrefixesAndStops) {
    EXPECT_EQ(string_to_integer("256"), 256);
    EXPECT_EQ(string_to_integer(" \t-12x"), -12);
    EXPECT_EQ(string_to_integer("+7"), 7);
    EXPECT_EQ(string_to_integer("$ff"), 255);
    EXPECT_EQ(string_to_integer("$1A"), 26);
    EXPECT_EQ(string_to_integer("%101"), 5);
    EXPECT_EQ(string_to_integer("%102"), 2);
    EXPECT_EQ(string_to_integer("-$10"), -16);
    EXPECT_EQ(string_to_integer(" 12 34"), 12);
    EXPECT_EQ(string_to_integer("12ab"), 12);
    EXPECT_EQ(string_to_integer(""), 0);
    EXPECT_EQ(string_to_integer("abc"), 0);
    EXPECT_EQ(string_to_integer("-"), 0);
    EXPECT_EQ(string_to_integer("\n5"), 0);
}

class TilesetFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/morvane_tiles_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(TilesetFiles, SizesOfFilesFoldersAndMissingNames) {
    const std::string file = (dir_ / "five").string();
    std::ofstream(file, std::ios::binary) << "12345";
    EXPECT_EQ(file_size(file), 5);
    EXPECT_EQ(file_size(dir_.string()), 0);
    EXPECT_EQ(file_size((dir_ / "missing").string()), -1);
}

TEST_F(TilesetFiles, WritingReplacesALongerOldFile) {
    const std::string file = (dir_ / "list.txt").string();
    ASSERT_TRUE(text_file_write(file, std::string(1000, 'x')));
    ASSERT_TRUE(text_file_write(file, "ab\r\n"));
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "ab\r\n");
    EXPECT_FALSE(text_file_write((dir_ / "no" / "such" / "folder.txt").string(), "x"));
}

}  // namespace
}  // namespace morvane
