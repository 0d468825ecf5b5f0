// The document: title and unsaved state, Undo/Redo through the menu, Save and Save As, and
// the Save/Discard/Cancel question before the document is closed or replaced.
#include <algorithm>

#include "app/editor_state.h"
#include "editor_fixture.h"
#include "image/codec.h"
#include "shell/menu.h"
#include "shell/window.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

class DocumentFileTest : public EditorFixture {
  protected:
    std::string title() { return window_title(MainWindow); }
    bool undo_enabled() { return menu_item_enabled(0, MenuUndo) != 0; }
    bool redo_enabled() { return menu_item_enabled(0, MenuRedo) != 0; }
    void open_picture(const std::string& name, int width, int height) {
        write_test_picture(name, width, height);
        answer_file((dir_ / name).string());
        choose_menu(MenuOpenImage);
        ASSERT_EQ(state_.view.base_width, width);
    }
    // A dab of the default brush (black, 20 pixels) at (x, y).
    void dab(int x, int y) { drag(x, y, x, y); }
    static std::vector<Color> colour_only(std::vector<Color> pixels) {
        for (Color& c : pixels) c &= 0xFFFFFFu;
        return pixels;
    }
    std::vector<Color> picture() {
        std::vector<Color> out;
        for (int y = 0; y < state_.document.height(); ++y)
            for (int x = 0; x < state_.document.width(); ++x) out.push_back(pixel(DocumentImage, x, y));
        return out;
    }
    // The pixels of a saved file, read back through the codecs (colour only for BMP files,
    // whose reader gives no alpha).
    std::vector<Color> file_pixels(const std::string& file, bool colour_only = false) {
        std::vector<Color> out;
        if (!image_load(60, file)) return out;
        for (int y = 0; y < image_height(60); ++y)
            for (int x = 0; x < image_width(60); ++x)
                out.push_back(image_pixel(60, x, y) & (colour_only ? 0xFFFFFFu : 0xFFFFFFFFu));
        image_free(60);
        return out;
    }
};

TEST_F(DocumentFileTest, TitleAndMenusFollowEditsUndoRedoAndSave) {
    const std::vector<Color> blank = picture();
    // Each row: the action, then the expected title, Undo and Redo availability.
    struct Row {
        const char* action;
        const char* title;
        bool undo, redo;
    };
    const Row rows[] = {
        {"start", "Morvane", false, false},         {"dab", "*Morvane", true, false},
        {"undo", "Morvane", false, true},           {"redo", "*Morvane", true, false},
        {"save", "doc.png - Morvane", true, false}, {"dab", "*doc.png - Morvane", true, false},
        {"undo", "doc.png - Morvane", true, true},  {"undo", "*doc.png - Morvane", false, true},
        {"redo", "doc.png - Morvane", true, true},  {"clear", "*doc.png - Morvane", true, false},
        {"undo", "doc.png - Morvane", true, true},
    };
    std::vector<std::vector<Color>> states{blank};  // pictures after each kept step
    std::size_t at = 0;
    for (const Row& row : rows) {
        const std::string action = row.action;
        if (action == "dab") {
            dab(30 + static_cast<int>(at) * 25, 40);
            states.resize(++at);
            states.push_back(picture());
            ASSERT_NE(states[at], states[at - 1]);
        } else if (action == "clear") {
            click(8);
            states.resize(++at);
            states.push_back(picture());
            EXPECT_EQ(states[at], blank);
        } else if (action == "undo") {
            choose_menu(MenuUndo);
            EXPECT_EQ(picture(), states[--at]);
        } else if (action == "redo") {
            choose_menu(MenuRedo);
            EXPECT_EQ(picture(), states[++at]);
        } else if (action == "save") {
            answer_file("doc", 0);
            choose_menu(MenuSaveTileSet);
        }
        EXPECT_EQ(title(), row.title) << action;
        EXPECT_EQ(undo_enabled(), row.undo) << action;
        EXPECT_EQ(redo_enabled(), row.redo) << action;
    }
    // The zoom source follows undo, so a zoom round trip shows the undone picture.
    choose_menu(66);
    choose_menu(67);
    EXPECT_EQ(picture(), states[at]);
    // A step made at 100 % undone and redone at 200 %, seen back at 100 %.
    choose_menu(66);
    choose_menu(MenuUndo);
    choose_menu(67);
    EXPECT_EQ(picture(), states[at - 1]);
    choose_menu(66);
    choose_menu(MenuRedo);
    choose_menu(67);
    EXPECT_EQ(picture(), states[at]);
}

TEST_F(DocumentFileTest, SaveWritesTheFileWithoutDialogAndSaveAsAlwaysAsks) {
    open_picture("pic.png", 40, 30);
    EXPECT_EQ(title(), "pic.png - Morvane");
    dab(10, 10);
    const std::vector<Color> painted = picture();
    const std::size_t asked = requests_.size();
    choose_menu(MenuSaveTileSet);
    EXPECT_EQ(requests_.size(), asked) << "no dialog with a file";
    EXPECT_EQ(file_pixels("pic.png"), painted);
    EXPECT_EQ(title(), "pic.png - Morvane");

    // Save As proposes the file's name under its pattern and writes the new one.
    answer_file("copy", 2);
    choose_menu(MenuSaveAs);
    ASSERT_EQ(requests_.size(), asked + 1);
    EXPECT_EQ(requests_.back().kind, DialogKind::SaveFile);
    EXPECT_EQ(requests_.back().default_file, (dir_ / "pic").string());
    EXPECT_EQ(requests_.back().pattern_index, 0);
    EXPECT_EQ(title(), "copy.bmp - Morvane");
    EXPECT_EQ(read_file("copy.bmp").substr(0, 2), "BM");
    EXPECT_EQ(file_pixels("copy.bmp", true), colour_only(painted));

    // Save now follows the new file's format, without a dialog.
    dab(30, 20);
    choose_menu(MenuSaveTileSet);
    EXPECT_EQ(requests_.size(), asked + 1);
    EXPECT_EQ(file_pixels("copy.bmp", true), colour_only(picture()));
    EXPECT_NE(file_pixels("pic.png"), picture());

    // Save As cancelled: nothing changes.
    dab(5, 5);
    answer_file("", 0);
    choose_menu(MenuSaveAs);
    EXPECT_EQ(title(), "*copy.bmp - Morvane");
    EXPECT_EQ(requests_.back().pattern_index, 2);
}

// A known extension typed in Save As decides the format whatever pattern is chosen; without
// one the pattern's format and extension are used.
TEST_F(DocumentFileTest, SaveAsTypedExtensionDecidesTheFormat) {
    dab(20, 20);
    const struct {
        const char* typed;
        int pattern;  // 0 PNG, 1 JPEG, 2 BMP
        const char* written;
        const char* magic;  // the first bytes of the written file
    } rows[] = {
        {"a.jpg", 0, "a.jpg", "\xFF\xD8"},    {"b.JPEG", 2, "b.JPEG", "\xFF\xD8"},
        {"c.Png", 1, "c.Png", "\x89PNG"},     {"d.bmp", 0, "d.bmp", "BM"},
        {"e", 1, "e.jpg", "\xFF\xD8"},        {"f", 2, "f.bmp", "BM"},
        {"g.gif", 0, "g.gif.png", "\x89PNG"}, {"h.jpg.txt", 2, "h.jpg.txt.bmp", "BM"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        answer_file(row.typed, row.pattern);
        choose_menu(MenuSaveAs);
        const std::string magic = row.magic;
        EXPECT_EQ(read_file(row.written).substr(0, magic.size()), magic);
        EXPECT_EQ(title(), std::string(row.written) + " - Morvane");
    }
    // Only the named files were written (and no temporary file is left).
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "b.JPEG", "c.Png", "d.bmp", "e.jpg", "f.bmp",
                                               "g.gif.png", "h.jpg.txt.bmp"}));
}

TEST_F(DocumentFileTest, FailedSaveKeepsTheDocumentModifiedAndTheOldFile) {
    open_picture("pic.png", 20, 20);
    const std::string before = read_file("pic.png");
    dab(10, 10);
    // A file in a missing folder cannot be written: a clear message, the file name kept.
    answer_file((dir_ / "missing" / "x").string(), 0);
    answer_message(1);
    choose_menu(MenuSaveAs);
    ASSERT_GE(requests_.size(), 2u);
    EXPECT_EQ(requests_.back().kind, DialogKind::Message);
    EXPECT_EQ(requests_.back().text, "Cannot save image: " + (dir_ / "missing" / "x").string() +
                                         "\nNo folder " + (dir_ / "missing").string());
    EXPECT_EQ(title(), "*pic.png - Morvane");
    EXPECT_EQ(read_file("pic.png"), before);

    // Exit, Save, and the save fails: the program stays open.
    std::filesystem::remove("pic.png");
    std::filesystem::create_directory("pic.png");  // a folder where the file was
    answer_message(SaveChanges);
    answer_message(1);  // "Cannot save image: ..."
    choose_menu(MenuExit);
    EXPECT_EQ(requests_[requests_.size() - 2].kind, DialogKind::UnsavedChanges);
    EXPECT_EQ(requests_.back().text.rfind("Cannot save image: ", 0), 0u);
    EXPECT_EQ(state_.quit_requested, 0);
    EXPECT_EQ(title(), "*pic.png - Morvane");
}

// Exit, the close box, New Image and Open, each answered Save, Discard and Cancel.
TEST_F(DocumentFileTest, UnsavedChangesQuestionBeforeClosingOrReplacing) {
    enum Trigger { Exit, CloseBox, New, Open };
    struct Case {
        Trigger trigger;
        int answer;
        bool goes_on;  // quit for Exit/close box, the New window or the Open dialog otherwise
    };
    const Case cases[] = {
        {Exit, SaveChanges, true},     {Exit, DiscardChanges, true},     {Exit, CancelChanges, false},
        {CloseBox, SaveChanges, true}, {CloseBox, DiscardChanges, true}, {CloseBox, CancelChanges, false},
        {New, SaveChanges, true},      {New, DiscardChanges, true},      {New, CancelChanges, false},
        {Open, SaveChanges, true},     {Open, DiscardChanges, true},     {Open, CancelChanges, false},
    };
    write_test_picture("other.png", 12, 8);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        // A document with a file and unsaved changes.
        const std::string name = "doc" + std::to_string(n++) + ".png";
        answer_file(name, 0);
        choose_menu(MenuSaveAs);
        const std::string saved = read_file(name);
        // Some change: a dab, or a clear where the dab changes nothing (all black already).
        const std::vector<Color> before = picture();
        dab(6, 5);
        if (picture() == before) click(8);
        const std::vector<Color> painted = picture();
        ASSERT_NE(painted, before);
        requests_.clear();

        answer_message(c.answer);
        if (c.trigger == Open && c.goes_on) answer_file((dir_ / "other.png").string());
        if (c.trigger == Exit) choose_menu(MenuExit);
        if (c.trigger == CloseBox) {
            event_post(CloseWindowEvent, MainWindow, MainWindow, 0);
            pump();
        }
        if (c.trigger == New) choose_menu(MenuNewImage);
        if (c.trigger == Open) choose_menu(MenuOpenImage);

        ASSERT_FALSE(requests_.empty());
        EXPECT_EQ(requests_[0].kind, DialogKind::UnsavedChanges);
        EXPECT_EQ(requests_[0].text, "Save the changes to \"" + name + "\" before closing it?");
        EXPECT_EQ(requests_.size(), c.trigger == Open && c.goes_on ? 2u : 1u);
        // Save writes the painted picture; Discard and Cancel leave the file as it was.
        if (c.answer == SaveChanges) {
            EXPECT_EQ(file_pixels(name), painted);
        } else {
            EXPECT_EQ(read_file(name), saved);
        }
        if (c.trigger == Exit || c.trigger == CloseBox) {
            EXPECT_EQ(state_.quit_requested, c.goes_on ? 1 : 0);
            state_.quit_requested = 0;
        }
        if (c.trigger == New) {
            EXPECT_EQ(window_handle(NewImageWindow) != 0, c.goes_on);
            if (c.goes_on) {
                click(21);  // Ok: a new picture, no file, nothing to undo
                EXPECT_EQ(title(), "Morvane");
                EXPECT_FALSE(undo_enabled());
            }
        }
        if (c.trigger == Open && c.goes_on) {
            EXPECT_EQ(title(), "other.png - Morvane");
            EXPECT_EQ(state_.view.base_width, 12);
            EXPECT_FALSE(undo_enabled());
        }
        if (!c.goes_on) {
            // Cancel keeps everything as it was.
            EXPECT_EQ(picture(), painted);
            EXPECT_EQ(title(), "*" + name + " - Morvane");
        }
        if (c.trigger == Open && c.goes_on) {
            // Open starts afresh: unmodified, so the next question is the usual one.
            answer_message(7);
            choose_menu(MenuExit);
            EXPECT_EQ(requests_.back().text, "Do you want to close the application ?");
        }
    }
}

TEST_F(DocumentFileTest, ResizeIsOneStepThatUndoRestoresSizeAndPixels) {
    open_picture("pic.png", 40, 30);
    const std::vector<Color> start = picture();
    choose_menu(MenuResizeImage);
    widget_set_text(42, "60");
    widget_set_text(43, "20");
    click(44);
    ASSERT_EQ(state_.document.width(), 60);
    const std::vector<Color> resized = picture();
    EXPECT_EQ(title(), "*pic.png - Morvane");
    choose_menu(MenuUndo);
    EXPECT_EQ(state_.document.width(), 40);
    EXPECT_EQ(state_.document.height(), 30);
    EXPECT_EQ(state_.view.view_width, 40);
    EXPECT_EQ(state_.view.base_height, 30);
    EXPECT_EQ(picture(), start);
    EXPECT_EQ(title(), "pic.png - Morvane");
    choose_menu(MenuRedo);
    EXPECT_EQ(state_.view.view_width, 60);
    EXPECT_EQ(picture(), resized);
    // The shortcuts reach the same commands.
    auto* main = reinterpret_cast<QWidget*>(window_handle(MainWindow));
    QApplication::setActiveWindow(main);
    pump();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int width;
    } keys[] = {{Qt::Key_Z, Qt::ControlModifier, 40},
                {Qt::Key_Y, Qt::ControlModifier, 60},
                {Qt::Key_Z, Qt::ControlModifier, 40},
                {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 60}};
    for (const auto& k : keys) {
        QTest::keyClick(main, k.key, k.mods);
        pump();
        EXPECT_EQ(state_.view.view_width, k.width) << k.key;
    }
    // Ctrl+S saves the file.
    QTest::keyClick(main, Qt::Key_S, Qt::ControlModifier);
    pump();
    EXPECT_EQ(title(), "pic.png - Morvane");
    ASSERT_NE(image_load(60, "pic.png"), 0);
    EXPECT_EQ(image_width(60), 60);
    image_free(60);
}

}  // namespace
}  // namespace morvane::testing
