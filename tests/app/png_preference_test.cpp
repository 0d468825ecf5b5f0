// "Smallest PNG files" in the Preferences window: off at first, kept at once in its own file
// beside Open Recent (never in "pref.ini"), applied to the next save, shown at the next start.
#include "app/regrid/regrid.h"
#include "editor_fixture.h"
#include "image/codec.h"
#include "image/png_optimize.h"

namespace morvane::testing {
namespace {

constexpr ObjectNumber SmallestPngCheck = 60;

class PngPreferenceTest : public EditorFixture {
  protected:
    PngPreferenceTest() { autostart_ = false; }
    void TearDown() override {
        png_smallest_set(false);
        EditorFixture::TearDown();
    }
    // Colour type and bit depth from the file's IHDR.
    std::pair<int, int> kind(const std::string& file) {
        const std::string bytes = read_file(file);
        if (bytes.size() < 26) return {-1, -1};
        return {static_cast<unsigned char>(bytes[25]), static_cast<unsigned char>(bytes[24])};
    }
    void save_as(const std::string& name) {
        answer_file(name, 0);
        choose_menu(MenuSaveAs);
    }
};

TEST_F(PngPreferenceTest, CheckBoxKeptBesideOpenRecentAndAppliedToTheNextSave) {
    ASSERT_TRUE(start());
    choose_menu(MenuPreferences);
    EXPECT_EQ(widget_get_state(SmallestPngCheck), 0);
    save_as("plain");
    EXPECT_EQ(kind("plain.png"), std::make_pair(6, 8));

    click(SmallestPngCheck);
    EXPECT_EQ(read_file("config/morvane/smallest-png"), "1\n");
    save_as("small");
    // A transparent picture: 1-bit grey whose level 0 is the transparent key colour.
    EXPECT_EQ(kind("small.png"), std::make_pair(0, 1));
    ASSERT_NE(image_load(OpenedImage, "small.png"), 0);
    EXPECT_EQ(pixel(OpenedImage, 100, 100), 0u);
    image_free(OpenedImage);

    click(SmallestPngCheck);
    EXPECT_EQ(read_file("config/morvane/smallest-png"), "0\n");
    save_as("again");
    EXPECT_EQ(read_file("again.png"), read_file("plain.png"));

    answer_message(6);
    choose_menu(MenuExit);
    exit_editor();
    EXPECT_EQ(read_file("pref.ini").find("png"), std::string::npos) << "the nine keys stay";
}

TEST_F(PngPreferenceTest, KeptChoiceShownAtTheNextStart) {
    std::filesystem::create_directories("config/morvane");
    write_file("config/morvane/smallest-png", "1\n");
    ASSERT_TRUE(start());
    EXPECT_TRUE(png_smallest());
    choose_menu(MenuPreferences);
    EXPECT_EQ(widget_get_state(SmallestPngCheck), 1);
}

TEST(PngPreferenceCommand, RegridCommandLineCarriesOptimizeForPngOnly) {
    RegridModel model;
    model.input = "in.png";
    for (const bool on : {true, false})
        for (const int format : {RegridPng, RegridJpeg}) {
            png_smallest_set(on);
            model.format = format;
            EXPECT_EQ(regrid_command_line(model, "out.png").find(" --optimize ") != std::string::npos,
                      on && format == RegridPng)
                << on << " " << format;
        }
    png_smallest_set(false);
}

}  // namespace
}  // namespace morvane::testing
