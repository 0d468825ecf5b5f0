// Opening files the desktop way (command line, drops, Open Recent), one-key tools and the
// progress of long commands.
#include "app/startup/desktop.h"

#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/tools/tool.h"
#include "editor_fixture.h"
#include "shell/menu.h"
#include "shell/shell_window.h"
#include "shell/statusbar.h"
#include "shell/window.h"
#include "tileset_script.h"
#include "widgets/progress.h"

namespace morvane::testing {
namespace {

class DesktopTest : public EditorFixture {
  protected:
    std::string path(const std::string& name) { return (dir_ / name).string(); }
    // A test picture `width` wide and 3 high: the width tells which file became the document.
    std::string picture(const std::string& name, int width) {
        write_test_picture(name, width, 3);
        return path(name);
    }
    void expect_document(int width, int height) {
        EXPECT_EQ(state_.view.view_width, width);
        EXPECT_EQ(state_.view.view_height, height);
        EXPECT_EQ(state_.view.zoom, 100);
        EXPECT_EQ(state_.document.width(), width);
        EXPECT_EQ(image_pixel(DocumentImage, width - 1, height - 1), test_pixel(width - 1, height - 1));
    }
    void expect_blank_document() {
        EXPECT_EQ(state_.view.view_width, 256);
        EXPECT_EQ(state_.document.width(), 256);
        EXPECT_EQ(image_pixel(DocumentImage, 100, 100), 0u);
    }
    void expect_load_message(std::size_t index, const std::string& file) {
        ASSERT_GT(requests_.size(), index);
        EXPECT_EQ(requests_[index].kind, DialogKind::Message);
        EXPECT_EQ(requests_[index].title, "Canvas");
        // The first line names the file; the second says why (tested in open_test.cpp).
        const std::string& text = requests_[index].text;
        EXPECT_EQ(text.substr(0, text.find('\n')), "Cannot load image: " + file);
        EXPECT_NE(text.find('\n'), std::string::npos) << text;
    }
    void open_with_dialog(const std::string& file) {
        answer_file(file);
        choose_menu(3);
    }

    // ---- Open Recent as the user sees it ----
    QMenu* recent_menu() {
        QMenu* file_menu = shell_window(MainWindow)->menu_bar()->actions().at(0)->menu();
        for (QAction* a : file_menu->actions())
            if (a->text() == "Open Recent") return a->menu();
        return nullptr;
    }
    std::vector<std::string> recent_captions() {
        std::vector<std::string> out;
        QMenu* menu = recent_menu();
        if (!menu) return out;
        for (QAction* a : menu->actions()) out.push_back(a->text().toStdString());
        return out;
    }
    void choose_recent(int index) {
        QMenu* menu = recent_menu();
        ASSERT_NE(menu, nullptr);
        ASSERT_LT(index, menu->actions().size());
        menu->actions().at(index)->trigger();
        pump(pump_ms_);
    }
    std::string recent_file_text() { return read_file(path("config/morvane/recent")); }

    // ---- drops ----
    bool drop(const QUrl& url) {
        QMimeData data;
        data.setUrls({url});
        QWidget* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(window, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &dropped);
        pump(pump_ms_);
        return true;
    }
};

TEST_F(DesktopTest, CommandLineOpensTheFirstFileOrSaysWhyNot) {
    write_file("broken.png", "\x89PNG\r\n\x1a\n not a picture");
    picture("first.png", 21);
    picture("second.png", 22);

    // Unreadable and missing files: the load message, and the blank document stays.
    editor_open_files(state_, {});
    EXPECT_TRUE(requests_.empty());
    answer_message(1);
    editor_open_files(state_, {"broken.png"});
    expect_load_message(0, "broken.png");
    expect_blank_document();
    answer_message(1);
    editor_open_files(state_, {"missing.png"});
    expect_load_message(1, "missing.png");
    expect_blank_document();

    // A name relative to the current folder; only the first file is opened.
    editor_open_files(state_, {"first.png", "second.png"});
    EXPECT_EQ(requests_.size(), 2u);
    expect_document(21, 3);
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 21/3");
}

TEST_F(DesktopTest, DroppedPictureOpensAsWithOpen) {
    const std::string file = picture("dropped.png", 17);
    EXPECT_TRUE(window_handle(MainWindow) &&
                reinterpret_cast<QWidget*>(window_handle(MainWindow))->acceptDrops());
    ASSERT_TRUE(drop(QUrl::fromLocalFile(QString::fromStdString(file))));
    EXPECT_TRUE(requests_.empty()) << "a drop asks nothing";
    expect_document(17, 3);

    // A dropped file that is no picture: the load message, the document unchanged.
    write_file("notes.txt", "shopping list");
    answer_message(1);
    ASSERT_TRUE(drop(QUrl::fromLocalFile(QString::fromStdString(path("notes.txt")))));
    expect_load_message(0, path("notes.txt"));
    expect_document(17, 3);

    // Something that is not a local file is refused at the door.
    EXPECT_FALSE(drop(QUrl("https://example.org/tiles.png")));
    EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(DesktopTest, RecentListRules) {
    using List = std::vector<std::string>;
    struct Case {
        List before;
        std::string added;
        List after;
    };
    const Case cases[] = {
        {{}, "/a.png", {"/a.png"}},
        {{"/a.png", "/b.png", "/c.png"}, "/b.png", {"/b.png", "/a.png", "/c.png"}},
        {{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/9",
         {"/9", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
        {{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/8",
         {"/8", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
        {{"/a.png"}, "", {"/a.png"}},
        {{"/a.png"}, "/x\ny.png", {"/a.png"}},
    };
    for (const Case& c : cases) EXPECT_EQ(recent_list_added(c.before, c.added), c.after) << c.added;

    EXPECT_EQ(recent_caption(0, "/t/a.png"), "1  /t/a.png");
    EXPECT_EQ(recent_caption(7, "/t/salt & pepper.png"), "8  /t/salt && pepper.png");

    // Where the list lives, per the XDG base directory rules.
    const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    struct Place {
        const char* config;
        const char* home;
        std::string expected;
    };
    const Place places[] = {
        {"/x/cfg", "/home/u", "/x/cfg/morvane/recent"},
        {"relative/cfg", "/home/u", "/home/u/.config/morvane/recent"},
        {nullptr, "/home/u", "/home/u/.config/morvane/recent"},
        {nullptr, nullptr, ""},
    };
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    for (const Place& p : places) {
        p.config ? setenv("XDG_CONFIG_HOME", p.config, 1) : unsetenv("XDG_CONFIG_HOME");
        p.home ? setenv("HOME", p.home, 1) : unsetenv("HOME");
        EXPECT_EQ(recent_list_path(), p.expected)
            << (p.config ? p.config : "-") << " " << (p.home ? p.home : "-");
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (saved_home.empty()) {
        unsetenv("HOME");
    } else {
        setenv("HOME", saved_home.c_str(), 1);
    }
    EXPECT_EQ(recent_list_path(), path("config/morvane/recent"));
}

TEST_F(DesktopTest, OpenRecentListsTheLastEightPicturesMostRecentFirst) {
    // Nothing opened yet: the submenu is there, greyed and empty.
    ASSERT_NE(recent_menu(), nullptr);
    EXPECT_EQ(menu_item_enabled(MainWindow, OpenRecentMenu), 0);
    EXPECT_TRUE(recent_captions().empty());

    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) files.push_back(picture("p" + std::to_string(i) + ".png", 10 + i));
    for (const std::string& f : files) open_with_dialog(f);
    open_with_dialog(files[5]);  // opened again: moves to the front, listed once
    EXPECT_EQ(menu_item_enabled(MainWindow, OpenRecentMenu), 1);
    const std::vector<int> order = {5, 9, 8, 7, 6, 4, 3, 2};
    std::vector<std::string> captions, lines;
    for (std::size_t i = 0; i < order.size(); ++i) {
        captions.push_back(std::to_string(i + 1) + "  " + files[static_cast<std::size_t>(order[i])]);
        lines.push_back(files[static_cast<std::size_t>(order[i])]);
    }
    EXPECT_EQ(recent_captions(), captions);
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    EXPECT_EQ(recent_file_text(), text);

    // Choosing the third entry opens p8 and brings it to the front.
    choose_recent(2);
    expect_document(18, 3);
    EXPECT_EQ(recent_captions().front(), "1  " + files[8]);
    EXPECT_EQ(recent_captions().size(), 8u);

    // A picture deleted meanwhile leaves the list at the next change, making room for the
    // others; one that became
    // unreadable says so when chosen and leaves it too.
    std::filesystem::remove(files[9]);
    write_file(files[7], "no longer a picture");
    open_with_dialog(files[0]);
    const std::vector<std::string> after = recent_captions();
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(after[0], "1  " + files[0]);
    for (const std::string& c : after) EXPECT_EQ(c.find(files[9]), std::string::npos) << c;
    ASSERT_EQ(after[3], "4  " + files[7]);  // 0, 8, 5, 7, 6, 4, 3, 2
    answer_message(1);
    choose_recent(3);
    expect_load_message(requests_.size() - 1, files[7]);
    expect_document(10, 3);
    for (const std::string& c : recent_captions()) EXPECT_EQ(c.find(files[7]), std::string::npos) << c;
    EXPECT_EQ(recent_captions().size(), 7u);
}

TEST_F(DesktopTest, SavedPicturesJoinTheListWhichStaysOutOfThePreferenceFile) {
    const std::string opened = picture("opened & kept.png", 12);
    open_with_dialog(opened);
    answer_file("saved", 0);
    choose_menu(MenuSaveAs);  // "Save As..." PNG
    ASSERT_TRUE(file_exists("saved.png"));
    EXPECT_EQ(recent_captions(),
              (std::vector<std::string>{"1  " + path("saved.png"), "2  " + path("opened && kept.png")}));

    // The list survives a restart; the preference file keeps its nine keys only.
    answer_message(6);
    choose_menu(5);
    exit_editor();
    const std::string prefs = read_file("pref.ini");
    EXPECT_EQ(prefs.find("saved"), std::string::npos);
    EXPECT_EQ(prefs.find("recent"), std::string::npos);
    EXPECT_EQ(std::count(prefs.begin(), prefs.end(), '='), 9);
    state_ = EditorState{};
    ASSERT_TRUE(start());
    EXPECT_EQ(recent_captions().size(), 2u);
    choose_recent(1);
    expect_document(12, 3);
}

TEST_F(DesktopTest, ToolKeysActAsClicksOnTheirButtons) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int tool;
        std::vector<int> pressed;  // buttons 3..7 and 9 that look pressed
        int paint_kind;
    };
    const Case cases[] = {
        {Qt::Key_L, Qt::NoModifier, 4, {4}, 0},
        {Qt::Key_U, Qt::NoModifier, 5, {5}, 0},
        {Qt::Key_U, Qt::ShiftModifier, 6, {6}, 0},
        {Qt::Key_G, Qt::NoModifier, 7, {7}, 0},
        {Qt::Key_G, Qt::NoModifier, 7, {7}, 0},  // again: stays pressed, as a second click does
        {Qt::Key_B, Qt::NoModifier, 3, {3}, 0},
        // E is the quick eraser button: the brush with paint kind Eraser, then back again.
        {Qt::Key_E, Qt::NoModifier, 3, {3, 9}, 2},
        {Qt::Key_E, Qt::NoModifier, 3, {3}, 0},
        {Qt::Key_L, Qt::NoModifier, 4, {4}, 0},
        // B after E: the brush paints again (the eraser button lets go).
        {Qt::Key_E, Qt::NoModifier, 3, {3, 9}, 2},
        {Qt::Key_B, Qt::NoModifier, 3, {3}, 0},
    };
    widget_set_focus(1);
    for (const Case& c : cases) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, c.key, c.mods);
        pump();
        EXPECT_EQ(state_.tools.current_tool, c.tool) << c.key;
        EXPECT_EQ(state_.tools.brush_tool, c.paint_kind) << c.key;
        EXPECT_EQ(widget_get_state(14), c.paint_kind) << c.key;
        for (int b : {3, 4, 5, 6, 7, 9}) {
            const bool pressed = std::find(c.pressed.begin(), c.pressed.end(), b) != c.pressed.end();
            EXPECT_EQ(widget_get_state(b), pressed ? 1 : 0) << "key " << c.key << " button " << b;
        }
    }
    // The paint kind written at exit is the one in use.
    exit_editor();
    EXPECT_NE(read_file("pref.ini").find("brushtool = 0"), std::string::npos);
}

TEST_F(DesktopTest, ToolKeysAreTypedIntoAFocusedSpinBox) {
    choose_menu(tool_key_id(ToolLine));
    ASSERT_EQ(state_.tools.current_tool, 4);
    widget_set_focus(11);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    for (Qt::Key key : {Qt::Key_B, Qt::Key_U, Qt::Key_G, Qt::Key_E}) {
        QTest::keyClick(focused, key);
        pump();
    }
    EXPECT_EQ(state_.tools.current_tool, 4);
    EXPECT_EQ(state_.tools.brush_tool, 0);
    EXPECT_EQ(widget_get_state(4), 1);
    EXPECT_EQ(widget_get_state(9), 0);
}

TEST_F(DesktopTest, OpenAndConversionReportTheirProgress) {
    std::vector<ProgressNote> notes;
    progress_set_observer([&notes](const ProgressNote& n) { notes.push_back(n); });
    open_with_dialog(picture("rows.png", 5));  // 3 rows
    write_test_picture("in.png", 64, 64);
    answer_file(path("in.png"));
    answer_file("tiles", 0);
    answer_message(1);  // the list's prefix
    {
        LoopScript script(TileSetWindow);
        script.change(29, 16).click(34);  // 16 x 16 tiles: four rows of them
        choose_menu(1);
    }
    progress_set_observer({});

    // Each piece of work: its begin, its steps in order up to the total, its end.
    struct Work {
        std::string title, text;
        std::vector<std::int64_t> steps;
        std::int64_t total;
    };
    std::vector<Work> works;
    for (const ProgressNote& n : notes) {
        if (n.kind == ProgressNote::Kind::Begin) works.push_back(Work{n.title, n.text, {}, 0});
        if (n.kind == ProgressNote::Kind::Step) {
            ASSERT_FALSE(works.empty());
            works.back().steps.push_back(n.done);
            works.back().total = n.total;
        }
    }
    std::vector<std::int64_t> rows64(64);
    for (int i = 0; i < 64; ++i) rows64[static_cast<std::size_t>(i)] = i + 1;
    ASSERT_EQ(works.size(), 3u);
    EXPECT_EQ(works[0].title, "Open");
    EXPECT_EQ(works[0].text, "Loading rows.png");
    EXPECT_EQ(works[0].steps, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(works[0].total, 3);
    EXPECT_EQ(works[1].title, "Convert to TileSet");
    EXPECT_EQ(works[1].text, "Loading in.png");
    EXPECT_EQ(works[1].steps, rows64);
    EXPECT_EQ(works[2].text, "Cutting the tiles");
    EXPECT_EQ(works[2].steps, (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(works[2].total, 4);
    EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                            [](const ProgressNote& n) { return n.kind == ProgressNote::Kind::End; }),
              3);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace morvane::testing
