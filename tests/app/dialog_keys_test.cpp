// Enter and Escape in the editor's dialogs, the Preferences window's Close button, and the
// labels of the size fields.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/regrid/regrid_window.h"
#include "editor_fixture.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

// Widgets of the dialogs, by the numbers the dialogs give them.
enum : int {
    NewWidthField = 18,
    NewHeightField = 19,
    NewOkButton = 21,
    ResizeWidthField = 42,
    ResizeOkButton = 44,
    GridWidthSpin = 39,
    TileSetWidthSpin = 29,
    TileSetOkButton = 34,
};

class DialogKeys : public EditorFixture {
  protected:
    // A key pressed while `widget` holds the keyboard focus.
    void key(ObjectNumber widget, Qt::Key which) {
        press(widget, which);
        pump(pump_ms_);
    }
    // The same without running the editor's loop (inside a command's own loop). The widget's
    // window becomes the active one first, as when the user clicks into it.
    static void press(ObjectNumber widget, Qt::Key which) {
        QWidget* w = widget_qt(widget);
        ASSERT_NE(w, nullptr) << "no widget " << widget;
        w->window()->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), w->window());
        w->setFocus();
        QTest::keyClick(w, which);
    }
    // Replaces the text of a field (or of a spin's field) by typing.
    void type(ObjectNumber widget, const char* text) {
        QWidget* w = widget_qt(widget);
        ASSERT_NE(w, nullptr) << "no widget " << widget;
        auto* field = qobject_cast<QLineEdit*>(w);
        if (!field) field = w->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        pump(pump_ms_);
    }
    void mark_picture() {
        std::uint8_t* p = state_.document.picture_or_null()->row(3) + 4 * 5;
        p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    }
    // Writes a 64 x 48 sheet and answers the next file dialog with it.
    void answer_sheet() {
        write_test_picture("sheet.png", 64, 48);
        answer_file((dir_ / "sheet.png").string());
    }
    // Nothing but the sheet in the test's folder.
    std::vector<std::string> written() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (name != "sheet.png" && name != "config") names.push_back(name);
        }
        return names;
    }
    static QPushButton* button(ObjectNumber number) { return qobject_cast<QPushButton*>(widget_qt(number)); }
};

// New Image and Resize Image open at once: each Cancel closes its own window, and the
// window left open still does its work.
TEST_F(DialogKeys, CancelOfNewImageAndResizeCloseTheirOwnWindow) {
    struct Case {
        const char* name;
        ObjectNumber cancel, closed, kept;
        std::int64_t width_before, width, height;
    };
    // New Image first (the document is then unmodified, so nothing asks to save it).
    for (const Case& c :
         {Case{"Resize's Cancel", resize_window::CancelButton, ResizeWindow, NewImageWindow, 256, 40, 30},
          Case{"New Image's Cancel", new_image_window::CancelButton, NewImageWindow, ResizeWindow, 40, 20,
               10}}) {
        SCOPED_TRACE(c.name);
        choose_menu(MenuNewImage);
        choose_menu(MenuResizeImage);
        ASSERT_NE(button(new_image_window::CancelButton), nullptr);
        ASSERT_NE(button(resize_window::CancelButton), nullptr);
        EXPECT_EQ(button(new_image_window::CancelButton)->window(),
                  reinterpret_cast<QWidget*>(window_handle(NewImageWindow)));
        EXPECT_EQ(button(resize_window::CancelButton)->window(),
                  reinterpret_cast<QWidget*>(window_handle(ResizeWindow)));
        click(c.cancel);
        EXPECT_EQ(window_handle(c.closed), 0);
        ASSERT_NE(window_handle(c.kept), 0);
        EXPECT_EQ(state_.view.base_width, c.width_before);
        // The window left open still makes its picture: a new one, or the resized one.
        const std::string width = std::to_string(c.width), height = std::to_string(c.height);
        if (c.kept == NewImageWindow) {
            widget_set_text(NewWidthField, width);
            widget_set_text(NewHeightField, height);
            click(NewOkButton);
        } else {
            widget_set_text(ResizeWidthField, width);
            widget_set_text(ResizeWidthField + 1, height);
            click(ResizeOkButton);
        }
        EXPECT_EQ(window_handle(c.kept), 0);
        EXPECT_EQ(state_.view.base_width, c.width);
        EXPECT_EQ(state_.view.base_height, c.height);
    }
}

TEST_F(DialogKeys, EscapeLeavesEachDialogWithoutAChange) {
    mark_picture();
    struct Case {
        const char* name;
        ObjectNumber window;
        int menu;
        bool asks_for_sheet;
        ObjectNumber field;  // holds the focus when Escape is pressed
        const char* typed;   // typed there first (null: nothing)
    };
    const Case cases[] = {
        {"New Image", NewImageWindow, MenuNewImage, false, NewWidthField, "10"},
        {"Resize", ResizeWindow, MenuResizeImage, false, ResizeWidthField, "100"},
        {"Preferences", PreferencesWindow, MenuPreferences, false, GridWidthSpin, nullptr},
        {"Re-grid", RegridWindow, RegridMenuItem, true, regrid::TileWidthSpin, "16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asks_for_sheet) answer_sheet();
        choose_menu(c.menu);
        ASSERT_NE(window_handle(c.window), 0);
        if (c.typed) type(c.field, c.typed);
        key(c.field, Qt::Key_Escape);
        EXPECT_EQ(window_handle(c.window), 0);
        EXPECT_NE(window_handle(MainWindow), 0);
    }
    EXPECT_EQ(image_exists(RegridSourceImage), 0);

    // New Image and Resize open together: Escape closes the window it is pressed in only.
    choose_menu(MenuNewImage);
    choose_menu(MenuResizeImage);
    key(NewWidthField, Qt::Key_Escape);
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    EXPECT_NE(window_handle(ResizeWindow), 0);
    key(ResizeWidthField, Qt::Key_Escape);
    EXPECT_EQ(window_handle(ResizeWindow), 0);

    // The tile-set dialog runs its own loop: Escape ends it without saving anything.
    write_test_picture("in.png", 64, 64);
    answer_file((dir_ / "in.png").string());
    {
        LoopScript script(TileSetWindow);
        script.then([] { press(TileSetWidthSpin, Qt::Key_Escape); });
        choose_menu(MenuConvertTileSet);
    }
    EXPECT_EQ(window_handle(TileSetWindow), 0);
    EXPECT_EQ(image_exists(OpenedImage), 0);
    std::filesystem::remove("in.png");

    // Nothing changed: the document, its size, the grid; nothing written, nothing asked but
    // the two pictures.
    EXPECT_EQ(state_.quit_requested, 0);
    EXPECT_EQ(state_.view.base_width, 256);
    EXPECT_EQ(state_.view.base_height, 256);
    EXPECT_EQ(state_.document.width(), 256);
    EXPECT_EQ(image_pixel(DocumentImage, 5, 3), rgba(30, 20, 10, 255));
    EXPECT_EQ(state_.view.grid_width, 32);
    EXPECT_FALSE(state_.document.modified());
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(requests_.size(), 2u);
}

TEST_F(DialogKeys, EnterPressesTheDefaultButton) {
    // New Image: Ok.
    choose_menu(MenuNewImage);
    EXPECT_TRUE(button(NewOkButton)->isDefault());
    type(NewWidthField, "64");
    type(NewHeightField, "32");
    key(NewHeightField, Qt::Key_Return);
    EXPECT_EQ(window_handle(NewImageWindow), 0);
    EXPECT_EQ(state_.document.width(), 64);
    EXPECT_EQ(state_.document.height(), 32);

    // Resize: Ok, also from the keypad's Enter.
    choose_menu(MenuResizeImage);
    EXPECT_TRUE(button(ResizeOkButton)->isDefault());
    type(ResizeWidthField, "128");
    key(ResizeWidthField, Qt::Key_Enter);
    EXPECT_EQ(window_handle(ResizeWindow), 0);
    EXPECT_EQ(state_.document.width(), 128);
    EXPECT_EQ(state_.document.height(), 32);

    // Preferences: Close; the value typed before stays.
    choose_menu(MenuPreferences);
    type(GridWidthSpin, "8");
    key(GridWidthSpin, Qt::Key_Return);
    EXPECT_EQ(window_handle(PreferencesWindow), 0);
    EXPECT_EQ(state_.view.grid_width, 8);

    // Re-grid: Save, but not while Save is disabled (a dialog then would fail the test); a
    // focused push button is the one Enter presses.
    answer_sheet();
    choose_menu(RegridMenuItem);
    EXPECT_TRUE(button(regrid::SaveButton)->isDefault());
    type(regrid::TileWidthSpin, "100");
    ASSERT_EQ(widget_enabled(regrid::SaveButton), 0);
    key(regrid::TileWidthSpin, Qt::Key_Return);
    EXPECT_EQ(requests_.size(), 1u);
    type(regrid::TileWidthSpin, "32");
    answer_file("");
    key(regrid::TileWidthSpin, Qt::Key_Return);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_.back().kind, DialogKind::SaveFile);
    EXPECT_NE(window_handle(RegridWindow), 0);
    key(regrid::CloseButton, Qt::Key_Return);
    EXPECT_EQ(window_handle(RegridWindow), 0);

    // Convert to TileSet: OK builds and saves the set, and the dialog closes.
    write_test_picture("in.png", 64, 64);
    answer_file((dir_ / "in.png").string());
    answer_file("forest", 0);
    answer_message(1);  // the prefix
    {
        LoopScript script(TileSetWindow);
        script.then([] { EXPECT_TRUE(button(TileSetOkButton)->isDefault()); });
        script.then([] { press(TileSetWidthSpin, Qt::Key_Return); });
        choose_menu(MenuConvertTileSet);
    }
    EXPECT_EQ(window_handle(TileSetWindow), 0);
    EXPECT_TRUE(file_exists("forest.png"));
    EXPECT_TRUE(file_exists("forest subimages.txt"));
}

// Pairs of controls of a window's client area that overlap, named by their texts; a frame or
// a tabbed panel may hold others wholly inside it.
std::vector<std::string> overlapping(ObjectNumber window) {
    auto* top = reinterpret_cast<QWidget*>(window_handle(window));
    std::vector<QWidget*> controls;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (widget_number_of(w) != -1 && w->isVisibleTo(top)) controls.push_back(w);
    }
    auto name = [](QWidget* w) {
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
        return std::to_string(widget_number_of(w));
    };
    std::vector<std::string> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            QWidget *a = controls[i], *b = controls[j];
            if (a->parentWidget() != b->parentWidget()) continue;
            const QRect ra = a->geometry(), rb = b->geometry();
            if (!ra.intersects(rb)) continue;
            const bool container_a = qobject_cast<QGroupBox*>(a) || qobject_cast<QTabWidget*>(a);
            const bool container_b = qobject_cast<QGroupBox*>(b) || qobject_cast<QTabWidget*>(b);
            if ((container_a && ra.contains(rb)) || (container_b && rb.contains(ra))) continue;
            found.push_back(name(a) + " / " + name(b));
        }
    }
    return found;
}

TEST_F(DialogKeys, SizeFieldsAreLabelledAndPreferencesCloses) {
    struct Case {
        int menu;
        ObjectNumber window, width_field, height_field;
    };
    for (const Case& c : {Case{MenuNewImage, NewImageWindow, NewWidthField, NewHeightField},
                          Case{MenuResizeImage, ResizeWindow, ResizeWidthField, ResizeWidthField + 1}}) {
        choose_menu(c.menu);
        ASSERT_NE(window_handle(c.window), 0);
        SCOPED_TRACE(reinterpret_cast<QWidget*>(window_handle(c.window))->windowTitle().toStdString());
        auto* top = reinterpret_cast<QWidget*>(window_handle(c.window));
        for (const auto& [text, field] :
             {std::pair{"Width :", c.width_field}, {"Height :", c.height_field}}) {
            QLabel* label = nullptr;
            for (QLabel* l : top->findChildren<QLabel*>())
                if (l->text() == text && l->isVisibleTo(top)) label = l;
            ASSERT_NE(label, nullptr) << text;
            // Left of its field, on the field's row, and wide enough for its caption.
            const QRect r = label->geometry(), f = widget_qt(field)->geometry();
            EXPECT_LT(r.right(), f.left()) << text;
            EXPECT_LE(std::abs(r.center().y() - f.center().y()), 4) << text;
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), r.width()) << text;
            // Below the frame's caption.
            EXPECT_GE(r.top(),
                      widget_rect(c.window == NewImageWindow ? 17 : 46).y + label->fontMetrics().height())
                << text;
        }
        EXPECT_TRUE(overlapping(c.window).empty()) << ::testing::PrintToString(overlapping(c.window));
    }

    // Preferences: a Close button beside the tabbed panel, inside the window, which closes
    // it as the close box does; the values set stay.
    choose_menu(MenuPreferences);
    EXPECT_TRUE(overlapping(PreferencesWindow).empty())
        << ::testing::PrintToString(overlapping(PreferencesWindow));
    QPushButton* close = nullptr;
    auto* top = reinterpret_cast<QWidget*>(window_handle(PreferencesWindow));
    for (QPushButton* b : top->findChildren<QPushButton*>())
        if (b->text() == "Close") close = b;
    ASSERT_NE(close, nullptr);
    const QRect client(0, 0, window_inner_width(PreferencesWindow), window_inner_height(PreferencesWindow));
    EXPECT_TRUE(client.contains(close->geometry())) << close->x() << "," << close->y();
    EXPECT_TRUE(close->isDefault());
    change_widget(GridWidthSpin, 12, 768, PreferencesWindow);
    QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
    pump();
    EXPECT_EQ(window_handle(PreferencesWindow), 0);
    EXPECT_NE(window_handle(MainWindow), 0);
    EXPECT_EQ(state_.view.grid_width, 12);
    EXPECT_TRUE(requests_.empty());
}

}  // namespace
}  // namespace morvane::testing
