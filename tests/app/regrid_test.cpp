// The re-grid window: opened from the File menu, every change re-planned at once (size text,
// command line, preview), bad values refused with Save disabled, and Save writing exactly
// what the command line it shows writes.
#include <QLineEdit>
#include <QWheelEvent>
#include <cstdlib>

#include "app/regrid/regrid_window.h"
#include "editor_fixture.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

using namespace regrid;

// Pixel (62, 29) of the test picture is opaque, so the preview shows its colour unblended.
constexpr int kOpaqueX = 62, kOpaqueY = 29;

class Regrid : public EditorFixture {
  protected:
    std::string sheet_;

    void open_sheet(int width, int height) {
        sheet_ = (dir_ / "sheet.png").string();
        write_test_picture(sheet_, width, height);
        answer_file(sheet_);
        choose_menu(RegridMenuItem);
        ASSERT_NE(window_handle(RegridWindow), 0);
    }
    void set(ObjectNumber widget, std::int64_t value) { change_widget(widget, value, 768, RegridWindow); }
    // Typing replaces the whole text of a spin's field.
    void type_into(ObjectNumber spin, const char* text) {
        auto* field = widget_qt(spin)->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        pump(pump_ms_);
    }
    // A mouse event on the preview as the platform delivers it.
    void preview_mouse(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* w = widget_qt(PreviewCanvas);
        ASSERT_NE(w, nullptr);
        const QPointF local(x, y);
        QMouseEvent event(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
        pump(pump_ms_);
    }
    // One wheel notch over the preview's middle with Ctrl held.
    void preview_wheel(int notches) {
        QWidget* w = widget_qt(PreviewCanvas);
        ASSERT_NE(w, nullptr);
        const QPointF local(w->width() / 2, w->height() / 2);
        QWheelEvent event(local, w->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
        pump(pump_ms_);
    }
    std::string summary() { return widget_get_text(SummaryText); }
    std::string command() { return widget_get_text(CommandField); }
    const Bitmap* preview() {
        return bitmap_from_handle(static_cast<std::intptr_t>(widget_get_attribute(PreviewCanvas, 1)));
    }
    Color preview_pixel(int x, int y) {
        const Bitmap* b = preview();
        if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0xDEADBEEF;
        return bitmap_pixel(*b, x, y);
    }
};

TEST_F(Regrid, OpensFromTheFileMenuBesideAUsableEditor) {
    open_sheet(64, 48);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, DialogKind::OpenFile);
    EXPECT_EQ(requests_[0].pattern, "PNG Images|*.png|JPEG Images|*.jpeg|All Files|*.*");
    // The command line's defaults but for the columns: classic layout, 32 x 32 tiles, and the
    // sheet's own 2 columns; the classic height is the area over the width, 64 x 48 / 64.
    EXPECT_EQ(summary(), "64 x 48 pixels, 2 tiles in 2 columns");
    EXPECT_EQ(command(), "morvane-tileset --tile 32x32 --columns 2 " + sheet_ + " " +
                             (dir_ / "sheet_regrid.png").string());
    EXPECT_EQ(widget_enabled(SaveButton), 1);
    EXPECT_EQ(widget_enabled(QualitySpin), 0);  // PNG: no quality

    // Not modal: the main window goes on answering its menu.
    const std::uint8_t grid = state_.view.grid_visible;
    choose_menu(70);
    EXPECT_NE(state_.view.grid_visible, grid);

    // The close box closes only this window and lets the sheet go.
    event_post(CloseWindowEvent, 0, RegridWindow, 0, PostRepeated);
    pump();
    EXPECT_EQ(window_handle(RegridWindow), 0);
    EXPECT_EQ(image_exists(RegridSourceImage), 0);
    EXPECT_NE(window_handle(MainWindow), 0);
    EXPECT_EQ(state_.quit_requested, 0);

    // A file that is no picture: a message and no window.
    write_file("bad.png", "not a picture");
    answer_file((dir_ / "bad.png").string());
    answer_message(1);
    choose_menu(RegridMenuItem);
    EXPECT_EQ(window_handle(RegridWindow), 0);
    EXPECT_EQ(requests_.back().text, "Cannot load the sheet: " + (dir_ / "bad.png").string());

    // Ctrl+T asks for a sheet too; cancelling opens nothing.
    answer_file("");
    QTest::keyClick(reinterpret_cast<QWidget*>(window_handle(MainWindow)), Qt::Key_T, Qt::ControlModifier);
    pump();
    EXPECT_EQ(requests_.back().kind, DialogKind::OpenFile);
    EXPECT_EQ(window_handle(RegridWindow), 0);
}

TEST_F(Regrid, EachChangeReplansSizeCommandAndPreviewAtOnce) {
    open_sheet(64, 64);
    set(ZoomCombo, 3);     // 100 %
    set(ColumnsSpin, 10);  // typed: the count no longer follows the tile width
    struct Step {
        ObjectNumber widget;
        std::int64_t value;
        int width, height;  // of the sheet
        const char* summary;
        const char* option;  // must appear in the command line
        int x, y;            // where source pixel (62, 29) lands in the sheet; -1: in no tile
    };
    // Worked by hand: 16-pixel tiles; classic rows from the area raised to the tile rows; grid
    // width = 2 margin + columns x (tile + 2 extrude + spacing) - spacing.
    const Step steps[] = {
        {TileWidthSpin, 16, 160, 32, "160 x 32 pixels, 8 tiles in 10 columns", "--tile 16x32 --columns 10 ",
         62, 29},
        {TileHeightSpin, 16, 160, 32, "160 x 32 pixels, 16 tiles in 10 columns", "--tile 16x16 --columns 10 ",
         126, 13},
        {LayoutCombo, 1, 160, 32, "160 x 32 pixels, 16 tiles in 10 columns", "--layout grid --columns 10 ",
         126, 13},
        {ColumnsSpin, 4, 64, 64, "64 x 64 pixels, 16 tiles in 4 columns", "--columns 4 ", 62, 29},
        {SpacingSpin, 2, 70, 70, "70 x 70 pixels, 16 tiles in 4 columns", "--spacing 2 ", 68, 31},
        {MarginSpin, 1, 72, 72, "72 x 72 pixels, 16 tiles in 4 columns", "--margin 1 --spacing 2 ", 69, 32},
        {ExtrudeSpin, 1, 80, 80, "80 x 80 pixels, 16 tiles in 4 columns", "--extrude 1 ", 76, 35},
        {PotCheck, 1, 128, 128, "128 x 128 pixels, 16 tiles in 4 columns", "--extrude 1 --pot ", 76, 35},
        {InMarginSpin, 1, 128, 64, "128 x 64 pixels, 9 tiles in 4 columns", "--tile 16x16 --in-margin 1 ", -1,
         -1},
        {InMarginSpin, 0, 128, 128, "128 x 128 pixels, 16 tiles in 4 columns", "--pot ", 76, 35},
        {FormatCombo, 1, 128, 128, "128 x 128 pixels, 16 tiles in 4 columns", "--pot --quality 70 ", 76, 35},
        {QualitySpin, 90, 128, 128, "128 x 128 pixels, 16 tiles in 4 columns", "--quality 90 ", 76, 35},
    };
    const Color opaque = test_pixel(kOpaqueX, kOpaqueY);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.summary);
        set(step.widget, step.value);
        EXPECT_EQ(summary(), step.summary);
        EXPECT_NE(command().find(step.option), std::string::npos) << command();
        EXPECT_EQ(widget_enabled(SaveButton), 1);
        if (step.x < 0) continue;
        // At 100 % a sheet smaller than the view is centred in it.
        const Bitmap* view = preview();
        ASSERT_NE(view, nullptr);
        const int ox = (view->width - step.width) / 2, oy = (view->height - step.height) / 2;
        EXPECT_EQ(preview_pixel(ox + step.x, oy + step.y) & 0xFFFFFF, opaque & 0xFFFFFF);
    }
    // JPEG: the proposed picture takes its extension, and the quality can be set.
    EXPECT_EQ(command().substr(command().size() - 17), "/sheet_regrid.jpg");
    EXPECT_EQ(widget_enabled(QualitySpin), 1);

    // 200 %: each sheet pixel covers 2 x 2 view pixels.
    set(ZoomCombo, 4);
    const Bitmap* view = preview();
    ASSERT_NE(view, nullptr);
    const Color before_zoom = preview_pixel(view->width / 2, view->height / 2);
    ASSERT_NE(view, nullptr);
    const int ox = (view->width - 256) / 2, oy = (view->height - 256) / 2;
    for (const int d : {0, 1}) {
        EXPECT_EQ(preview_pixel(ox + 2 * 76 + d, oy + 2 * 35 + d) & 0xFFFFFF, opaque & 0xFFFFFF);
    }
    // The tile's outline runs along its left edge, one view pixel wide.
    EXPECT_EQ(preview_pixel(ox + 2 * 62, oy + 2 * 35), rgba(255, 0, 200, 0));
    EXPECT_NE(preview_pixel(ox + 2 * 62 + 1, oy + 2 * 35 + 1), rgba(255, 0, 200, 0));

    // 800 %: the zoom keeps the sheet's middle (64, 64) in the view's middle; the 1024-pixel
    // sheet is larger than the view. Dragged far to the right and down, it stops with its
    // top-left corner in the view's; dragging 100 pixels to the left then brings sheet column
    // 76 (view 608..615) to 508..515.
    set(ZoomCombo, 6);
    EXPECT_EQ(preview_pixel(view->width / 2, view->height / 2), before_zoom);
    preview_mouse(QEvent::MouseMove, 100, 100, Qt::NoButton, Qt::NoButton);
    preview_mouse(QEvent::MouseButtonPress, 100, 100, Qt::LeftButton, Qt::LeftButton);
    preview_mouse(QEvent::MouseMove, 560, 420, Qt::NoButton, Qt::LeftButton);
    preview_mouse(QEvent::MouseButtonRelease, 560, 420, Qt::LeftButton, Qt::NoButton);
    EXPECT_NE(preview_pixel(508, 8 * 35 + 3) & 0xFFFFFF, opaque & 0xFFFFFF);
    preview_mouse(QEvent::MouseButtonPress, 300, 200, Qt::LeftButton, Qt::LeftButton);
    preview_mouse(QEvent::MouseMove, 200, 200, Qt::NoButton, Qt::LeftButton);
    preview_mouse(QEvent::MouseButtonRelease, 200, 200, Qt::LeftButton, Qt::NoButton);
    for (const int x : {508, 515}) EXPECT_EQ(preview_pixel(x, 8 * 35 + 3) & 0xFFFFFF, opaque & 0xFFFFFF) << x;

    // Ctrl+wheel steps to the next listed zoom; from "Fit" (3.3 times here: 426 / 128) too.
    const struct { int from, notch, to; } wheel[] = {{6, -1, 5}, {0, 1, 5}, {0, -1, 4}, {1, -1, 1}};
    for (const auto& w : wheel) {
        set(ZoomCombo, w.from);
        preview_wheel(w.notch);
        EXPECT_EQ(widget_get_state(ZoomCombo), w.to) << w.from << " " << w.notch;
    }
}

TEST_F(Regrid, BadValuesSayWhyAndDisableSave) {
    open_sheet(64, 64);
    struct Case {
        ObjectNumber widget;
        const char* typed;  // typed into the field, or set as a choice when null
        std::int64_t bad, good;
        const char* message;
        bool then_classic;  // the value chooses the grid layout; the classic one is chosen after
    };
    const Case cases[] = {
        {TileWidthSpin, nullptr, 100, 32, "tiles of 100x32 leave no whole tile in the 64x64 picture", false},
        {TileWidthSpin, "0", 0, 32, "the tile width 0 is out of range (1 to 32767)", false},
        {InMarginSpin, nullptr, 40, 0,
         "tiles of 32x32 with input margin 40 and input spacing 0 leave no whole tile in the 64x64 picture",
         false},
        {InSpacingSpin, "40000", 0, 0, "the input spacing 40000 is out of range (0 to 32767)", false},
        {DedupCheck, nullptr, 1, 0,
         "the classic layout keeps every tile (use the grid layout to drop duplicate or empty tiles)", true},
        {ExtrudeSpin, nullptr, 1, 0, "the classic layout takes no extrusion (use the grid layout)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (c.typed) {
            type_into(c.widget, c.typed);
        } else {
            set(c.widget, c.bad);
        }
        if (c.then_classic) {
            EXPECT_EQ(widget_get_state(LayoutCombo), 1);
            set(LayoutCombo, 0);
        }
        EXPECT_EQ(summary(), std::string("Cannot make the tile set: ") + c.message);
        EXPECT_EQ(widget_enabled(SaveButton), 0);
        click(SaveButton);  // nothing: a dialog here would fail the test
        set(c.widget, c.good);
        // The sheet's 2 columns again (they follow the tile width), in either layout.
        EXPECT_EQ(summary(), "64 x 64 pixels, 4 tiles in 2 columns");
        EXPECT_EQ(widget_enabled(SaveButton), 1);
    }

    // A sheet too tall to make: 4096 one-pixel tiles in one column, 8 pixels apart.
    set(TileWidthSpin, 1);
    set(TileHeightSpin, 1);
    set(LayoutCombo, 1);
    set(ColumnsSpin, 1);
    EXPECT_EQ(summary(), "1 x 4096 pixels, 4096 tiles in 1 column");
    set(SpacingSpin, 8);
    EXPECT_EQ(summary(),
              "Cannot make the tile set: The tile set would be 1x36856 pixels, larger than 32767 on a side: "
              "choose more columns or larger tiles.");
    EXPECT_EQ(widget_enabled(SaveButton), 0);
    EXPECT_NE(command().find("--spacing 8 "), std::string::npos);
    set(ColumnsSpin, 64);
    EXPECT_EQ(summary(), "568 x 568 pixels, 4096 tiles in 64 columns");
    EXPECT_EQ(widget_enabled(SaveButton), 1);
}

TEST_F(Regrid, StartsWithTheSheetsColumnsAndFollowsTheTileWidth) {
    // Whole 32-pixel tiles across each sheet; a sheet narrower than a tile still gets one.
    const struct {
        int width, height;
        std::int64_t columns;
    } sheets[] = {{64, 48, 2}, {20, 20, 1}, {320, 32, 10}, {63, 32, 1}, {100, 64, 3}};
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(std::to_string(sheet.width) + "x" + std::to_string(sheet.height));
        open_sheet(sheet.width, sheet.height);
        EXPECT_EQ(widget_get_state(ColumnsSpin), sheet.columns);
        EXPECT_NE(command().find("--columns " + std::to_string(sheet.columns) + " "), std::string::npos);
    }
    // 100 x 64, 3 columns: 6 tiles; the classic height is ceil(6400 / 96) = 67.
    EXPECT_EQ(summary(), "96 x 67 pixels, 6 tiles in 3 columns");

    // The count follows the tile width and the input grid until it is set by hand.
    const struct {
        ObjectNumber widget;
        std::int64_t value, columns;
    } steps[] = {
        {TileWidthSpin, 16, 6},  // 100 / 16 = 6.25
        {TileWidthSpin, 25, 4},  // 100 / 25
        {InMarginSpin, 4, 3},    // tiles at 4, 29, 54; the next would end at 104
        {InSpacingSpin, 5, 3},   // tiles at 4, 34, 64 (ends at 89)
        {InSpacingSpin, 0, 3},   // at 4 again
        {InMarginSpin, 0, 4},    // 100 / 25 again
        {TileHeightSpin, 8, 4},  // the height changes nothing across
        {ColumnsSpin, 5, 5},     // by hand
        {TileWidthSpin, 10, 5},  // no longer follows
    };
    for (const auto& step : steps) {
        set(step.widget, step.value);
        EXPECT_EQ(widget_get_state(ColumnsSpin), step.columns) << step.widget << " " << step.value;
        EXPECT_NE(command().find("--columns " + std::to_string(step.columns) + " "), std::string::npos)
            << command();
    }
}

TEST_F(Regrid, OutputMarginSpacingAndExtrusionChooseTheGridLayout) {
    open_sheet(64, 48);  // two 32-pixel tiles, 2 columns: classic 64 x 48, grid 64 x 32
    EXPECT_EQ(summary(), "64 x 48 pixels, 2 tiles in 2 columns");
    const struct {
        ObjectNumber widget;
        std::int64_t value;
        const char* options;  // in the command line after the tile size
        const char* summary;
    } cases[] = {
        // Grid: 2 margin + 2 x (32 + 2 extrude + spacing) - spacing across, one row down.
        {MarginSpin, 2, "--layout grid --columns 2 --margin 2 ", "68 x 36 pixels, 2 tiles in 2 columns"},
        {SpacingSpin, 3, "--layout grid --columns 2 --spacing 3 ", "67 x 32 pixels, 2 tiles in 2 columns"},
        {ExtrudeSpin, 1, "--layout grid --columns 2 --extrude 1 ", "68 x 34 pixels, 2 tiles in 2 columns"},
        {SkipEmptyCheck, 1, "--layout grid --columns 2 --skip-empty ",
         "64 x 32 pixels, 2 tiles in 2 columns"},
        {DedupCheck, 1, "--layout grid --columns 2 --dedup ", "64 x 32 pixels, 2 tiles in 2 columns"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        set(LayoutCombo, 0);
        EXPECT_EQ(command().find("--layout"), std::string::npos);
        set(c.widget, c.value);
        EXPECT_EQ(widget_get_state(LayoutCombo), 1);
        EXPECT_EQ(summary(), c.summary);
        EXPECT_EQ(command(), std::string("morvane-tileset --tile 32x32 ") + c.options + sheet_ + " " +
                                 (dir_ / "sheet_regrid.png").string());
        EXPECT_EQ(widget_enabled(SaveButton), 1);
        // Back to 0: the grid layout stays chosen.
        set(c.widget, 0);
        EXPECT_EQ(widget_get_state(LayoutCombo), 1);
        EXPECT_EQ(summary(), "64 x 32 pixels, 2 tiles in 2 columns");
    }
}

TEST_F(Regrid, SaveWritesWhatTheShownCommandWrites) {
    open_sheet(64, 64);
    set(TileWidthSpin, 16);
    set(TileHeightSpin, 16);
    set(LayoutCombo, 1);
    set(ColumnsSpin, 3);
    set(MarginSpin, 2);
    set(SpacingSpin, 1);
    set(ExtrudeSpin, 1);
    set(DedupFlipsCheck, 1);
    EXPECT_EQ(widget_get_state(DedupCheck), 1);  // flipped copies are duplicates too
    for (const ObjectNumber check : {ListCheck, TsxCheck, JsonCheck, MapCheck}) set(check, 1);
    // 16 different tiles, 6 rows of 3 cells of 19 pixels: 2 + 57 - 1 by 2 + 114 - 1.
    EXPECT_EQ(summary(), "60 x 117 pixels, 16 tiles in 3 columns");

    answer_file((dir_ / "out").string(), 0);
    click(SaveButton);
    const std::vector<std::string> names = {"out.png", "out subimages.txt", "out.tsx", "out.json",
                                            "out_map.csv"};
    std::vector<std::string> saved;
    for (const std::string& name : names) {
        ASSERT_TRUE(file_exists(name)) << name;
        saved.push_back(read_file(name));
    }
    EXPECT_EQ(summary(), "60 x 117 pixels, 16 tiles in 3 columns, saved as out.png");
    const std::string shown = command();
    EXPECT_EQ(shown,
              "morvane-tileset --tile 16x16 --layout grid --columns 3 --margin 2 --spacing 1 --extrude 1 "
              "--dedup-flips --list '" +
                  (dir_ / "out subimages.txt").string() + "' --tsx " + (dir_ / "out.tsx").string() +
                  " --json " + (dir_ / "out.json").string() + " --map " + (dir_ / "out_map.csv").string() +
                  " " + sheet_ + " " + (dir_ / "out.png").string());

    // The picture holds the tiles where the layout puts them: tile 4 (column 0, row 1 of the
    // sheet read) in cell 4 at 2 + 1 + 19 = 22 on both axes, its left edge repeated at 21.
    ASSERT_NE(image_load(60, "out.png"), 0);
    EXPECT_EQ(image_width(60), 60);
    EXPECT_EQ(image_height(60), 117);
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 0}, {7, 9}, {15, 15}}) {
        EXPECT_EQ(image_pixel(60, 22 + x, 22 + y), test_pixel(x, 16 + y));
    }
    EXPECT_EQ(image_pixel(60, 21, 22), test_pixel(0, 16));
    EXPECT_EQ(image_pixel(60, 21, 21), test_pixel(0, 16));
    image_free(60);
    const std::string& tsx = saved[2];
    for (const char* field : {"tilewidth=\"16\"", "tileheight=\"16\"", "spacing=\"3\"", "margin=\"3\"",
                              "columns=\"3\"", "<image source=\"out.png\" width=\"60\" height=\"117\""}) {
        EXPECT_NE(tsx.find(field), std::string::npos) << field << " in " << tsx;
    }
    EXPECT_EQ(saved[1].substr(0, 26), "out__000.png:3:3:16:16\r\nou");

    // The command line shown, run by itself, writes the same bytes.
    for (const std::string& name : names) std::filesystem::remove(name);
    const std::string run =
        std::string(MORVANE_TILESET_CLI) + shown.substr(std::string("morvane-tileset").size());
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(read_file(names[i]), saved[i]) << names[i];

    // Saving again asks first, with No as the default answer; No changes nothing.
    write_file("out.json", "old");
    answer_file((dir_ / "out.png").string(), 0);
    answer_message(7);
    click(SaveButton);
    EXPECT_EQ(requests_.back().kind, DialogKind::Message);
    EXPECT_EQ(requests_.back().flags & 0x30F, 0x104);
    EXPECT_EQ(read_file("out.json"), "old");

    // The sheet itself is never replaced.
    answer_file(sheet_, 0);
    answer_message(1);
    const std::string before = read_file(sheet_);
    click(SaveButton);
    EXPECT_NE(requests_.back().text.find("cannot replace the sheet"), std::string::npos);
    EXPECT_EQ(read_file(sheet_), before);

    // A folder that cannot be written: a message, and no file of the group appears.
    answer_file((dir_ / "missing" / "x.png").string(), 0);
    answer_message(1);
    click(SaveButton);
    EXPECT_NE(requests_.back().text.find("Cannot save the tile set: "), std::string::npos);
    EXPECT_FALSE(file_exists("missing"));
}

}  // namespace
}  // namespace morvane::testing
