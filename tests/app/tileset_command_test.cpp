// The tile-set command driven through the editor's loop and its own dialog loop.
#include <filesystem>

#include "app/editor_state.h"
#include "editor_fixture.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

constexpr const char* OpenPatterns = "PNG Images|*.png|JPEG Images|*.jpg;*.jpeg|All Files|*.*";
constexpr const char* SavePatterns = "PNG Images|*.png|JPEG Images|*.jpeg|BMP Images|*.bmp";

class TilesetCommand : public EditorFixture {
  protected:
    /// Writes in.png, answers the picture dialog with it and runs the command with the steps.
    void run(int width, int height, LoopScript& script) {
        (void)script;
        write_test_picture("in.png", width, height);
        source_ = (dir_ / "in.png").string();
        replies_.push_front(DialogReply{0, source_, 0});
        choose_menu(1);
    }
    std::vector<std::string> list_lines(const std::string& path) {
        const std::string text = read_file(path);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                ADD_FAILURE() << "line without CR LF in " << path;
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    // Loads a saved tile set into image 60 and checks one cell against the picture's tile.
    void expect_cell(int cell_x, int cell_y, int tile_x, int tile_y, int tw, int th) {
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x) {
                ASSERT_EQ(image_pixel(60, cell_x + x, cell_y + y), test_pixel(tile_x + x, tile_y + y))
                    << "cell pixel " << cell_x + x << "," << cell_y + y;
            }
        }
    }
    std::string source_;
};

TEST_F(TilesetCommand, SquarePictureKeepsItsOwnOrder) {
    answer_file("forest", 0);
    answer_message(1);  // the prefix
    LoopScript script(TileSetWindow);
    script.click(34);
    run(320, 320, script);

    ASSERT_EQ(requests_.size(), 3u);
    EXPECT_EQ(requests_[0].kind, DialogKind::OpenFile);
    EXPECT_EQ(requests_[0].title, "Load Image...");
    EXPECT_EQ(requests_[0].default_file, "");
    EXPECT_EQ(requests_[0].pattern, OpenPatterns);
    EXPECT_EQ(requests_[0].pattern_index, 0);
    EXPECT_EQ(requests_[1].kind, DialogKind::SaveFile);
    EXPECT_EQ(requests_[1].title, "Save Image...");
    EXPECT_EQ(requests_[1].default_file, source_);
    EXPECT_EQ(requests_[1].pattern, SavePatterns);
    EXPECT_EQ(requests_[2].kind, DialogKind::Message);
    EXPECT_EQ(requests_[2].title, "");
    EXPECT_EQ(requests_[2].text, "forest");

    EXPECT_EQ(window_handle(TileSetWindow), 0) << "the dialog closes after the list";
    EXPECT_EQ(image_exists(OpenedImage), 0);
    EXPECT_EQ(image_exists(TileSetImage), 0);

    ASSERT_NE(image_load(60, "forest.png"), 0);
    ASSERT_EQ(image_width(60), 320);
    ASSERT_EQ(image_height(60), 320);
    expect_cell(0, 0, 0, 0, 320, 320);  // the whole set equals the picture

    const std::vector<std::string> lines = list_lines("forest subimages.txt");
    ASSERT_EQ(lines.size(), 110u);
    EXPECT_EQ(lines[0], "forest__000.png:0:0:32:32");
    EXPECT_EQ(lines[11], "forest__011.png:32:32:32:32");
    EXPECT_EQ(lines[100], "forest__100.png:0:320:32:32");
    EXPECT_EQ(lines[109], "forest__109.png:288:320:32:32");
    // The document is not touched.
    EXPECT_EQ(state_.view.view_width, 256);
    image_free(60);
}

TEST_F(TilesetCommand, SpacingTwoPutsTilesAtTwoAndThirtySix) {
    answer_file("spaced", 0);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.change(tileset_window::SpaceSpin, 2).click(34);
    run(320, 320, script);

    ASSERT_NE(image_load(60, "spaced.png"), 0);
    ASSERT_EQ(image_width(60), 340);
    ASSERT_EQ(image_height(60), 340);
    expect_cell(2, 2, 0, 0, 32, 32);      // tile 0
    expect_cell(36, 36, 32, 32, 32, 32);  // tile 11
    expect_cell(308, 308, 288, 288, 32, 32);
    EXPECT_EQ(image_pixel(60, 0, 0), 0u);
    EXPECT_EQ(image_pixel(60, 35, 10), 0u);  // the gap between columns 0 and 1
    EXPECT_EQ(image_pixel(60, 10, 34), 0u);
    const std::vector<std::string> lines = list_lines("spaced subimages.txt");
    ASSERT_EQ(lines.size(), 110u);
    EXPECT_EQ(lines[11], "spaced__011.png:36:36:32:32");
    EXPECT_EQ(lines[109], "spaced__109.png:308:342:32:32");
    image_free(60);
}

TEST_F(TilesetCommand, WidePictureKeepsItsSixTilesWhole) {
    answer_file("wide", 0);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.click(34);
    run(100, 64, script);

    // The area alone would give 20 rows and cut every tile; the tiles need one row of 32.
    ASSERT_NE(image_load(60, "wide.png"), 0);
    ASSERT_EQ(image_width(60), 320);
    ASSERT_EQ(image_height(60), 32);
    expect_cell(0, 0, 0, 0, 32, 32);
    expect_cell(64, 0, 64, 0, 32, 32);  // tile 2: the 4-pixel strip on the right is dropped
    expect_cell(96, 0, 0, 32, 32, 32);  // tile 3 starts the picture's second row
    expect_cell(160, 0, 64, 32, 32, 32);
    EXPECT_EQ(image_pixel(60, 192, 0), 0u);  // cell 6 is empty
    EXPECT_EQ(list_lines("wide subimages.txt").size(), 20u);
    image_free(60);
}

TEST_F(TilesetCommand, TooLargeASetIsSaidAndTheDialogStaysOpen) {
    LoopScript script(TileSetWindow);
    bool open_after = false;
    answer_message(1);
    script
        .click(33)  // unchecked: the tile height stays apart
        .change(29, 16)
        .change(30, 16)
        .change(31, 8)
        .change(tileset_window::SpaceSpin, 2)
        .click(34)
        .then([&] { open_after = window_handle(TileSetWindow) != 0; })
        .click(35);
    run(2048, 2048, script);

    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].text,
              "The tile set would be 144x36864 pixels, larger than 32767 on a side: choose more columns or "
              "larger tiles.");
    EXPECT_TRUE(open_after);
    EXPECT_EQ(image_exists(TileSetImage), 0);
}

TEST_F(TilesetCommand, NineTilesLeaveTheTenthCellEmpty) {
    answer_file("nine", 0);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.click(34);
    run(100, 100, script);

    ASSERT_NE(image_load(60, "nine.png"), 0);
    ASSERT_EQ(image_width(60), 320);
    ASSERT_EQ(image_height(60), 32);
    expect_cell(256, 0, 64, 64, 32, 32);  // tile 8
    for (int y = 0; y < 32; ++y) {
        for (int x = 288; x < 320; ++x) ASSERT_EQ(image_pixel(60, x, y), 0u);
    }
    const std::vector<std::string> lines = list_lines("nine subimages.txt");
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[19], "nine__019.png:288:32:32:32");
    image_free(60);
}

TEST_F(TilesetCommand, TileWiderThanThePictureStillSavesAnEmptySet) {
    answer_file("empty", 0);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.change(29, 64).click(34);  // the height follows: 64 x 64 tiles
    run(40, 40, script);

    ASSERT_NE(image_load(60, "empty.png"), 0);
    ASSERT_EQ(image_width(60), 640);
    ASSERT_EQ(image_height(60), 3);  // ceil(1600 / 640)
    for (int x = 0; x < 640; ++x) ASSERT_EQ(image_pixel(60, x, 1), 0u);
    const std::vector<std::string> lines = list_lines("empty subimages.txt");
    ASSERT_EQ(lines.size(), 20u);  // last row round(ceil(3 / 64)) = 1
    EXPECT_EQ(lines[10], "empty__010.png:0:64:64:64");
    image_free(60);
}

TEST_F(TilesetCommand, BmpPatternSavesBmpAndListsBmpNames) {
    answer_file("forest", 2);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.click(34);
    run(64, 64, script);

    EXPECT_FALSE(file_exists("forest.png"));
    ASSERT_NE(image_load(60, "forest.bmp"), 0);
    ASSERT_EQ(image_width(60), 320);
    ASSERT_EQ(image_height(60), 32);  // the area gives 13 rows; the tiles need 32
    // The reader drops alpha; the file keeps it as every pixel's fourth byte (rows bottom-up).
    const std::string bytes = read_file("forest.bmp");
    ASSERT_GE(bytes.size(), 54u + 320u * 32u * 4u);
    const std::size_t offset = static_cast<std::uint8_t>(bytes[10]) | static_cast<std::uint8_t>(bytes[11])
                                                                          << 8;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Color want = test_pixel(32 + x, y);  // tile 1 in cell 1
            ASSERT_EQ(image_pixel(60, 32 + x, y), want & 0xFFFFFFu);
            const std::size_t at = offset + ((31 - y) * 320 + 32 + x) * 4;
            ASSERT_EQ(static_cast<std::uint8_t>(bytes[at + 3]), want >> 24) << x << "," << y;
        }
    }
    const std::vector<std::string> lines = list_lines("forest subimages.txt");
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], "forest__000.bmp:0:0:32:32");
    image_free(60);
}

TEST_F(TilesetCommand, OverwriteQuestionNamesTheFileReallyWritten) {
    write_file("forest.png", "old");
    std::filesystem::create_directory("grove");  // a folder named as typed, but not the target
    answer_file("forest", 0);
    answer_message(7);  // No: the dialog stays open
    answer_file("grove", 0);
    answer_message(1);  // the prefix
    LoopScript script(TileSetWindow);
    script.click(34).click(34);
    run(32, 32, script);

    ASSERT_EQ(requests_.size(), 5u);
    EXPECT_EQ(requests_[2].kind, DialogKind::Message);
    EXPECT_EQ(requests_[2].title, "Save an image");
    EXPECT_EQ(requests_[2].text, "Overwrite this file? forest.png");
    EXPECT_EQ(requests_[2].flags, 4 | MessageDefaultSecond);  // Yes/No, Enter answers No
    EXPECT_EQ(read_file("forest.png"), "old");
    EXPECT_FALSE(file_exists("forest subimages.txt"));
    // "grove" exists as a folder but grove.png does not: no question.
    EXPECT_EQ(requests_[3].kind, DialogKind::SaveFile);
    EXPECT_EQ(requests_[4].kind, DialogKind::Message);
    EXPECT_EQ(requests_[4].text, "grove");
    EXPECT_TRUE(file_exists("grove.png"));
}

TEST_F(TilesetCommand, YesOverwritesAndTheOldLongerListIsReplaced) {
    write_file("forest.png", "old");
    write_file("forest subimages.txt", std::string(20000, '#'));
    answer_file("forest.png", 0);
    answer_message(6);
    answer_message(1);
    LoopScript script(TileSetWindow);
    script.click(34);
    run(32, 32, script);

    EXPECT_EQ(requests_[2].text, "Overwrite this file? forest.png");
    ASSERT_NE(image_load(60, "forest.png"), 0);
    EXPECT_EQ(image_width(60), 320);
    // 32 x 32 picture: rows_px ceil(1024 / 320) = 4, last row 1: 20 lines and nothing else.
    const std::string text = read_file("forest subimages.txt");
    EXPECT_EQ(text.find('#'), std::string::npos);
    EXPECT_EQ(list_lines("forest subimages.txt").size(), 20u);
    image_free(60);
}

TEST_F(TilesetCommand, ConstraintTiesTheSpinsAndLabelFollows) {
    LoopScript script(TileSetWindow);
    std::string label_after_16, label_after_8;
    std::int64_t height_after_16 = 0, height_after_8 = 0;
    script.change(29, 16)
        .then([&] {
            height_after_16 = widget_get_state(30);
            label_after_16 = widget_get_text(27);
        })
        .click(33)  // unchecked: the spins are free
        .change(29, 8)
        .then([&] {
            height_after_8 = widget_get_state(30);
            label_after_8 = widget_get_text(27);
        })
        .change(31, 3)
        .then([&] { EXPECT_EQ(widget_get_text(27), "Export Width : 24"); })
        .click(35);
    run(32, 32, script);

    EXPECT_EQ(height_after_16, 16);
    EXPECT_EQ(label_after_16, "Export Width : 160");
    EXPECT_EQ(height_after_8, 16);
    EXPECT_EQ(label_after_8, "Export Width : 80");
    EXPECT_EQ(window_handle(TileSetWindow), 0);
    EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(TilesetCommand, WithoutCreateNewTheDialogSaysSoAndStaysOpen) {
    answer_message(1);
    LoopScript script(TileSetWindow);
    bool open_after = false;
    script.click(36).click(34).then([&] { open_after = window_handle(TileSetWindow) != 0; }).click(35);
    run(32, 32, script);

    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].title, "");
    EXPECT_EQ(requests_[1].text, "Sorry, not coed for the moment, choose 'new image' as option");
    EXPECT_TRUE(open_after);
}

TEST_F(TilesetCommand, FailedSaveIsReportedAndTheDialogStillCloses) {
    answer_file("nowhere/forest", 0);
    answer_message(1);  // "Cannot save image: "
    LoopScript script(TileSetWindow);
    script.click(34);
    run(32, 32, script);

    ASSERT_EQ(requests_.size(), 3u);
    EXPECT_EQ(requests_[2].title, "Save Image");
    EXPECT_EQ(requests_[2].text, "Cannot save image: nowhere/forest\nNo folder nowhere");
    EXPECT_EQ(window_handle(TileSetWindow), 0);
}

TEST_F(TilesetCommand, CancelledOrUnreadablePictureEndsAtOnce) {
    answer_file("", 0);
    choose_menu(1);
    write_file("notes.png", "not a picture");
    answer_file((dir_ / "notes.png").string(), 0);
    choose_menu(1);
    EXPECT_EQ(requests_.size(), 2u);
    EXPECT_EQ(window_handle(TileSetWindow), 0);
}

TEST_F(TilesetCommand, OtherEventsAreDroppedWhileTheDialogRuns) {
    LoopScript script(TileSetWindow);
    script
        .then([] { event_post(MenuEvent, 0, MainWindow, 0, PostRepeated); })  // New Image
        .then([] { event_post(CloseWindowEvent, 0, TileSetWindow, 0, PostRepeated); });
    run(32, 32, script);
    pump(50);
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    EXPECT_EQ(window_handle(TileSetWindow), 0);
}

}  // namespace
}  // namespace morvane::testing
