// The settings file "pref.ini": first run, partial and wrapping files, writing at a normal
// exit only, and the Preferences window's values reaching the file.
#include "editor_fixture.h"

namespace morvane::testing {
namespace {

// The bytes a first run writes: byte-order mark, an empty first line, then the nine keys.
const char kDefaultFile[] =
    "\xEF\xBB\xBF\r\n"
    "grid = 1\r\n"
    "gridW = 32\r\n"
    "gridH = 32\r\n"
    "gridColor = 0\r\n"
    "brushdir = Quillrat\r\n"
    "brushsize = 20\r\n"
    "brushalpha = 255\r\n"
    "brushtype = 0\r\n"
    "brushtool = 0\r\n";

class SettingsTest : public EditorFixture {
  protected:
    SettingsTest() { autostart_ = false; }
    void quit_with_yes() {
        answer_message(6);
        choose_menu(5);
        ASSERT_EQ(state_.quit_requested, 1);
        exit_editor();
    }
};

TEST_F(SettingsTest, FirstRunUsesDefaultsAndWritesTheNineKeys) {
    ASSERT_TRUE(start());
    EXPECT_EQ(state_.view.grid_visible, 1);
    EXPECT_EQ(state_.view.grid_width, 32);
    EXPECT_EQ(state_.view.grid_height, 32);
    EXPECT_EQ(state_.view.grid_color, 0);
    EXPECT_EQ(state_.tools.brush_size, 20);
    EXPECT_EQ(state_.tools.brush_alpha, 255);
    EXPECT_EQ(state_.tools.brush_type, 0);
    EXPECT_EQ(state_.tools.brush_tool, 0);
    EXPECT_EQ(state_.tools.brush_dir, "Quillrat");
    EXPECT_FALSE(file_exists("pref.ini"));
    quit_with_yes();
    EXPECT_EQ(read_file("pref.ini"), kDefaultFile);
}

TEST_F(SettingsTest, NoToTheCloseQuestionWritesNothing) {
    ASSERT_TRUE(start());
    answer_message(7);
    choose_menu(5);
    EXPECT_EQ(state_.quit_requested, 0);
    EXPECT_FALSE(file_exists("pref.ini"));
}

TEST_F(SettingsTest, FileWithOnlyGridWidth) {
    write_file("pref.ini", "gridW = 16\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(state_.view.grid_width, 16);
    EXPECT_EQ(state_.view.grid_height, 32);
    EXPECT_EQ(state_.tools.brush_size, 20);
    EXPECT_EQ(state_.tools.brush_dir, "Quillrat");
    // 16-pixel-wide cells on the canvas.
    EXPECT_EQ(canvas_pixel(16, 5), 0u);
    EXPECT_EQ(canvas_pixel(48, 5), 0u);
    EXPECT_EQ(canvas_pixel(17, 5), rgb(192, 192, 192));
    // Reading leaves the file alone.
    EXPECT_EQ(read_file("pref.ini"), "gridW = 16\r\n");
}

TEST_F(SettingsTest, ValuesWrapIntoTheirFields) {
    write_file("pref.ini",
               "brushalpha = 300\r\ngrid = 256\r\ngridColor = 4294967295\r\nbrushsize = 65543\r\n"
               "gridH = -65530\r\nbrushtype = 257\r\nbrushdir =   Other  \r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(state_.tools.brush_alpha, 44);
    EXPECT_EQ(state_.view.grid_visible, 0);
    EXPECT_EQ(state_.view.grid_color, -1);
    EXPECT_EQ(state_.tools.brush_size, 7);
    EXPECT_EQ(state_.view.grid_height, 6);
    EXPECT_EQ(state_.tools.brush_type, 1);
    EXPECT_EQ(state_.tools.brush_dir, "Other");
    EXPECT_EQ(widget_get_state(13), 44);
    EXPECT_EQ(widget_get_state(11), 7);
    EXPECT_EQ(widget_get_state(12), 1);
    EXPECT_EQ(image_width(BrushImage), 7);
}

TEST_F(SettingsTest, ChangedValuesReachTheFileAtExit) {
    write_file("pref.ini", kDefaultFile);
    ASSERT_TRUE(start());
    choose_menu(6);
    change_widget(39, 8, 768, PreferencesWindow);
    answer_color(rgb(0, 128, 255));
    click(41);
    change_widget(11, 33, 4);
    change_widget(14, 1);
    choose_menu(70);
    quit_with_yes();
    EXPECT_EQ(read_file("pref.ini"),
              "\xEF\xBB\xBF\r\n"
              "grid = 0\r\n"
              "gridW = 8\r\n"
              "gridH = 32\r\n"
              "gridColor = 16744448\r\n"
              "brushdir = Quillrat\r\n"
              "brushsize = 33\r\n"
              "brushalpha = 255\r\n"
              "brushtype = 0\r\n"
              "brushtool = 1\r\n");
}

TEST_F(SettingsTest, ZoomAndDocumentSizeAreNotKept) {
    write_file("pref.ini", kDefaultFile);
    ASSERT_TRUE(start());
    choose_menu(66);
    quit_with_yes();
    EXPECT_EQ(read_file("pref.ini"), kDefaultFile);
    state_ = EditorState{};
    ASSERT_TRUE(start());
    EXPECT_EQ(state_.view.zoom, 100);
    EXPECT_EQ(state_.view.view_width, 256);
}

}  // namespace
}  // namespace morvane::testing
