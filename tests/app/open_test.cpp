// Opening a picture as the document.
#include <QRegularExpression>

#include "editor_fixture.h"
#include "shell/statusbar.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

class OpenImage : public EditorFixture {
  protected:
    void open(const std::string& path, int pattern = 0) {
        answer_file(path, pattern);
        choose_menu(3);
    }
    void expect_document_is_test_picture(int width, int height, int scale) {
        ASSERT_EQ(state_.document.width(), width * scale);
        ASSERT_EQ(state_.document.height(), height * scale);
        for (int y = 0; y < height * scale; ++y) {
            for (int x = 0; x < width * scale; ++x) {
                ASSERT_EQ(image_pixel(DocumentImage, x, y), test_pixel(x / scale, y / scale)) << x << "," << y;
            }
        }
    }
};

TEST_F(OpenImage, PictureBecomesTheDocumentAtZoom100) {
    write_test_picture("pic.png", 100, 60);
    choose_menu(66);
    ASSERT_EQ(state_.view.zoom, 200);
    open((dir_ / "pic.png").string());

    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, DialogKind::OpenFile);
    EXPECT_EQ(requests_[0].title, "Load Image...");
    EXPECT_EQ(requests_[0].default_file, "");
    EXPECT_EQ(requests_[0].pattern, "PNG Images|*.png|JPEG Images|*.jpg;*.jpeg|All Files|*.*");
    // The chooser's JPEG filter shows both usual endings.
    const std::vector<std::string> filters = pattern_filters(parse_pattern_string(requests_[0].pattern));
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[1], "JPEG Images (*.jpg *.jpeg)");
    for (const char* name : {"photo.jpg", "photo.jpeg", "PHOTO.JPG"}) {
        bool shown = false;
        for (const QString& glob : QString::fromStdString(filters[1]).section('(', 1).chopped(1).split(' '))
            shown |= QRegularExpression(QRegularExpression::wildcardToRegularExpression(glob),
                                        QRegularExpression::CaseInsensitiveOption)
                         .match(name)
                         .hasMatch();
        EXPECT_TRUE(shown) << name;
    }
    EXPECT_EQ(requests_[0].pattern_index, 0);

    EXPECT_EQ(state_.view.zoom, 100);
    EXPECT_EQ(state_.view.view_width, 100);
    EXPECT_EQ(state_.view.view_height, 60);
    EXPECT_EQ(state_.view.base_width, 100);
    EXPECT_EQ(state_.view.base_height, 60);
    EXPECT_EQ(statusbar_text(0, 0), "Zoom : 100 %");
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 100/60");
    EXPECT_EQ(view_on_canvas(), centred(100, 60));
    EXPECT_EQ(image_exists(OpenedImage), 0);
    expect_document_is_test_picture(100, 60, 1);
}

TEST_F(OpenImage, ZoomStepAfterOpeningScalesThePicture) {
    write_test_picture("pic.png", 30, 20);
    open((dir_ / "pic.png").string());
    choose_menu(66);  // 200 %
    EXPECT_EQ(state_.view.view_width, 60);
    EXPECT_EQ(state_.view.view_height, 40);
    EXPECT_EQ(view_on_canvas(), centred(60, 40));
    expect_document_is_test_picture(30, 20, 1);  // the document itself is never rescaled
}

TEST_F(OpenImage, CancelKeepsEverything) {
    choose_menu(66);
    open("");
    EXPECT_EQ(state_.view.zoom, 200);
    EXPECT_EQ(state_.view.view_width, 512);
    EXPECT_EQ(state_.view.base_width, 256);
}

TEST_F(OpenImage, UnreadableFileIsReportedAndChangesNothing) {
    write_file("broken.png", "\x89PNG\r\n\x1a\n and then nothing useful");
    const std::string path = (dir_ / "broken.png").string();
    answer_file(path);
    answer_message(1);
    choose_menu(3);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, DialogKind::Message);
    EXPECT_EQ(requests_[1].title, "Canvas");
    EXPECT_EQ(requests_[1].text, "Cannot load image: " + path + "\nThe picture is truncated or damaged");
    EXPECT_EQ(state_.view.view_width, 256);
    EXPECT_EQ(state_.document.width(), 256);
}

// The first line names the file, the second says why; the document stays.
TEST_F(OpenImage, FailedOpenSaysWhyOnASecondLine) {
    write_test_picture("good.png", 16, 16);
    const std::string good = read_file("good.png");
    write_file("empty.png", "");
    write_file("cut.png", good.substr(0, good.size() / 2));
    write_file("bad.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    write_file("notes.png", "shopping list\n");
    std::filesystem::create_directory("folder.png");
    const struct {
        const char* name;
        const char* why;
    } rows[] = {
        {"missing.png", "No such file"},
        {"folder.png", "It is a folder"},
        {"empty.png", "The file is empty"},
        {"cut.png", "The picture is truncated or damaged"},
        {"bad.jpg", "The picture is truncated or damaged"},
        {"notes.png", "Not a picture in a format read here (PNG, JPEG or BMP)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        requests_.clear();
        const std::string path = (dir_ / row.name).string();
        answer_file(path);
        answer_message(1);
        choose_menu(3);
        ASSERT_EQ(requests_.size(), 2u);
        EXPECT_EQ(requests_[1].title, "Canvas");
        EXPECT_EQ(requests_[1].text, "Cannot load image: " + path + "\n" + row.why);
        EXPECT_EQ(state_.document.width(), 256);
    }
}

TEST_F(OpenImage, BmpThroughAllFilesAndPicturesWithoutAlphaAreOpaque) {
    // A 24-bit picture saved as BMP: opened, every pixel is opaque.
    ASSERT_NE(image_create(50, 12, 7, 24), 0);
    const Bitmap* b = bitmap_from_handle(image_handle(50));
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 12; ++x) {
            std::uint8_t* p = b->row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 20), p[1] = static_cast<std::uint8_t>(y * 30), p[2] = 99;
        }
    }
    ASSERT_EQ(image_save(50, "flat.bmp", FormatBmp), 1);
    image_free(50);
    open((dir_ / "flat.bmp").string(), 2);
    EXPECT_EQ(state_.view.view_width, 12);
    EXPECT_EQ(state_.view.view_height, 7);
    EXPECT_EQ(image_pixel(DocumentImage, 0, 0), rgba(99, 0, 0, 255));
    EXPECT_EQ(image_pixel(DocumentImage, 11, 6), rgba(99, 180, 220, 255));
    EXPECT_EQ(image_pixel(DocumentImage, 5, 2), rgba(99, 60, 100, 255));
}

}  // namespace
}  // namespace morvane::testing
