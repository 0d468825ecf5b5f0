// "Save the tileSet": the current picture at its document size, named as tile sets are.
#include "app/editor_state.h"
#include "editor_fixture.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

// The opened picture has a file, which Save writes without asking: the dialog is Save As's.
class SaveTileSet : public EditorFixture {
  protected:
    void open_picture(int width, int height) {
        write_test_picture("pic.png", width, height);
        answer_file((dir_ / "pic.png").string());
        choose_menu(3);
        ASSERT_EQ(state_.view.base_width, width);
    }
};

TEST_F(SaveTileSet, SavesTheDocumentSizeWhateverTheZoom) {
    open_picture(30, 20);
    choose_menu(66);  // 200 %
    ASSERT_EQ(state_.view.view_width, 60);
    answer_file("doc", 0);
    choose_menu(MenuSaveAs);

    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, DialogKind::SaveFile);
    EXPECT_EQ(requests_[1].title, "Save Image...");
    EXPECT_EQ(requests_[1].pattern, "PNG Images|*.png|JPEG Images|*.jpeg|BMP Images|*.bmp");
    EXPECT_EQ(requests_[1].pattern_index, 0);
    ASSERT_NE(image_load(60, "doc.png"), 0);
    ASSERT_EQ(image_width(60), 30);
    ASSERT_EQ(image_height(60), 20);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) ASSERT_EQ(image_pixel(60, x, y), test_pixel(x, y)) << x << "," << y;
    }
    EXPECT_FALSE(file_exists("doc subimages.txt"));
    EXPECT_EQ(state_.view.view_width, 60) << "the view is not touched";
    image_free(60);
}

TEST_F(SaveTileSet, PatternsChooseTheFormatAndTheOverwriteQuestionNamesTheFile) {
    open_picture(8, 6);
    answer_file("doc.jpg", 1);
    choose_menu(MenuSaveAs);
    EXPECT_TRUE(file_exists("doc.jpg"));
    EXPECT_FALSE(file_exists("doc.jpg.jpg"));
    const std::string jpeg = read_file("doc.jpg");
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[1]), 0xD8);

    answer_file("doc", 2);
    choose_menu(MenuSaveAs);
    const std::string bmp = read_file("doc.bmp");
    ASSERT_GE(bmp.size(), 30u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 32) << "alpha kept: 32 bits per pixel";

    // doc.bmp exists now: typing "doc" with the BMP pattern asks about doc.bmp; No keeps it.
    write_file("doc.bmp", "old");
    answer_file("doc", 2);
    answer_message(7);
    choose_menu(MenuSaveAs);
    EXPECT_EQ(requests_.back().title, "Save an image");
    EXPECT_EQ(requests_.back().text, "Overwrite this file? doc.bmp");
    EXPECT_EQ(requests_.back().flags, 4 | MessageDefaultSecond);  // Yes/No, Enter answers No
    EXPECT_EQ(read_file("doc.bmp"), "old");

    // A cancelled dialog saves nothing.
    answer_file("", 0);
    choose_menu(MenuSaveAs);
    EXPECT_FALSE(file_exists(".png"));
}

}  // namespace
}  // namespace morvane::testing
