// The Edition menu's selection and clipboard commands: Select All, Deselect, Delete, Crop to
// Selection, Copy, Cut, Paste (its place and the too-large question), Paste as New Image
// and the greying of their items.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/edit/edit_commands.h"
#include "editor_fixture.h"
#include "shell/window.h"
#include "shell/menu.h"

namespace morvane::testing {
namespace {

// Pixel (x, y) of the test pictures: every pixel differs and alpha varies, 0 included.
Color sample(int x, int y) {
    return rgba(static_cast<std::uint32_t>(10 + x), static_cast<std::uint32_t>(20 + y),
                static_cast<std::uint32_t>(x * 7 + y * 3), static_cast<std::uint32_t>((x * 37 + y * 91) % 256));
}

class EditCommands : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        QGuiApplication::clipboard()->clear();
        pump();
    }
    void make_picture(int w, int h, bool filled = true) {
        state_.document.selection = Selection{};
        state_.view.base_width = w;
        state_.view.base_height = h;
        document_recreate(state_);
        document_start(state_, "");
        view_layout(state_, true);
        Bitmap* b = state_.document.picture_or_null();
        ASSERT_NE(b, nullptr);
        for (int y = 0; y < h && filled; ++y)
            for (int x = 0; x < w; ++x) set(*b, x, y, sample(x, y));
    }
    static void set(Bitmap& b, int x, int y, Color c) {
        std::uint8_t* p = b.row(y) + 4 * x;
        p[0] = static_cast<std::uint8_t>(c >> 16);
        p[1] = static_cast<std::uint8_t>(c >> 8);
        p[2] = static_cast<std::uint8_t>(c);
        p[3] = static_cast<std::uint8_t>(c >> 24);
    }
    // The document's pixels row by row.
    static std::vector<Color> document() {
        const Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        std::vector<Color> out;
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x) out.push_back(bitmap_pixel(*b, x, y));
        return out;
    }
    void select(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
        state_.document.selection.rect = Rect{x0, y0, x1, y1};
    }
    // The clipboard's image/png as another program reads it (Qt's own PNG reader).
    static QImage clipboard_png() {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data || !data->hasFormat("image/png")) return {};
        return QImage::fromData(data->data("image/png"), "PNG").convertToFormat(QImage::Format_ARGB32);
    }
    // Puts a w x h picture of sample(x + dx, y) colours on the clipboard as PNG bytes.
    void put_png(int w, int h, int dx = 100) {
        QImage image(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Color c = sample(x + dx, y);
                image.setPixel(x, y, qRgba(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF), int(c >> 24)));
            }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "PNG"));
        auto* data = new QMimeData;
        data->setData("image/png", png);
        QGuiApplication::clipboard()->setMimeData(data);
        pump();
    }
    static bool enabled(int id) { return menu_item_enabled(MainMenu, id) != 0; }
};

TEST_F(EditCommands, DeleteAndCropAreOneUndoStepEach) {
    make_picture(8, 6);
    const std::vector<Color> original = document();
    // Delete clears the selected pixels to transparent, nothing else.
    select(2, 1, 5, 4);
    choose_menu(MenuDelete);
    const std::vector<Color> deleted = document();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
            ASSERT_EQ(deleted[static_cast<std::size_t>(y * 8 + x)], inside ? Color{0} : sample(x, y)) << x << "," << y;
        }
    EXPECT_EQ(window_title(MainWindow), "*Morvane");
    choose_menu(MenuUndo);
    EXPECT_EQ(document(), original);
    EXPECT_EQ(window_title(MainWindow), "Morvane");
    choose_menu(MenuRedo);
    EXPECT_EQ(document(), deleted);
    choose_menu(MenuUndo);

    // Crop: the picture becomes the selected block (a selection reaching out is clipped).
    select(5, 2, 12, 5);
    choose_menu(MenuCropToSelection);
    ASSERT_EQ(state_.document.width(), 3);
    ASSERT_EQ(state_.document.height(), 3);
    EXPECT_EQ(state_.view.base_width, 3);
    EXPECT_EQ(state_.view.view_height, 3);
    EXPECT_FALSE(state_.document.selection.active());
    std::vector<Color> block;
    for (int y = 2; y < 5; ++y)
        for (int x = 5; x < 8; ++x) block.push_back(sample(x, y));
    EXPECT_EQ(document(), block);
    choose_menu(MenuUndo);
    EXPECT_EQ(state_.view.base_width, 8);
    EXPECT_EQ(document(), original);
    choose_menu(MenuRedo);
    EXPECT_EQ(document(), block);
    EXPECT_EQ(state_.view.base_height, 3);

    // Delete while lifted pixels float: the hole stays, one step with the lift.
    make_picture(8, 6);
    select(1, 1, 4, 3);
    ASSERT_TRUE(selection_lift(state_, false));
    selection_move_to(state_, 4, 3);
    choose_menu(MenuDelete);
    EXPECT_FALSE(state_.document.selection.is_floating());
    EXPECT_EQ(state_.document.history.steps(), 1u);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool hole = x >= 1 && x < 4 && y >= 1 && y < 3;
            ASSERT_EQ(pixel(DocumentImage, x, y), hole ? Color{0} : sample(x, y)) << x << "," << y;
        }
    choose_menu(MenuUndo);
    EXPECT_EQ(document(), original);
}

TEST_F(EditCommands, FlipsAndTurnsOfTheSelectionStayInItsPlace) {
    struct Case {
        int menu;
        // Where block pixel (x, y) of a 3 x 3 block comes from inside the block.
        int (*sx)(int x, int y);
        int (*sy)(int x, int y);
    };
    const Case cases[] = {
        {MenuFlipHorizontal, [](int x, int) { return 2 - x; }, [](int, int y) { return y; }},
        {MenuFlipVertical, [](int x, int) { return x; }, [](int, int y) { return 2 - y; }},
        {MenuRotateClockwise, [](int, int y) { return y; }, [](int x, int) { return 2 - x; }},
        {MenuRotateCounterClockwise, [](int, int y) { return 2 - y; }, [](int x, int) { return x; }},
        {MenuRotate180, [](int x, int) { return 2 - x; }, [](int, int y) { return 2 - y; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        make_picture(8, 6);
        const std::vector<Color> original = document();
        select(4, 2, 7, 5);
        choose_menu(c.menu);
        EXPECT_EQ(state_.document.width(), 8);
        EXPECT_EQ(state_.document.history.steps(), 1u);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 4 && x < 7 && y >= 2 && y < 5;
                Color want = inside ? sample(4 + c.sx(x - 4, y - 2), 2 + c.sy(x - 4, y - 2)) : sample(x, y);
                // An invisible pixel put down over the lift's hole leaves the hole.
                if (inside && (want >> 24) == 0) want = 0;
                ASSERT_EQ(pixel(DocumentImage, x, y), want) << x << "," << y;
            }
        choose_menu(MenuUndo);
        EXPECT_EQ(document(), original);
    }
}

TEST_F(EditCommands, CopyAndCutPutTheSelectedPixelsWithAlpha) {
    make_picture(9, 7);
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut" : "copy");
        select(3, 2, 7, 7);
        choose_menu(cut ? MenuCut : MenuCopy);
        const QImage got = clipboard_png();
        ASSERT_EQ(got.width(), 4);
        ASSERT_EQ(got.height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 4; ++x) {
                const Color c = sample(3 + x, 2 + y);
                const QRgb q = got.pixel(x, y);
                // Colour counts only where the pixel shows.
                ASSERT_EQ(qAlpha(q), int(c >> 24)) << x << "," << y;
                if (qAlpha(q) > 0) {
                    ASSERT_EQ(q & 0xFFFFFF, QRgb(qRgb(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF))) & 0xFFFFFF);
                }
            }
        EXPECT_EQ(pixel(DocumentImage, 4, 3), cut ? Color{0} : sample(4, 3));
        EXPECT_EQ(state_.document.history.steps(), cut ? 1u : 0u);
    }
}

TEST_F(EditCommands, GreyingFollowsTheSelectionAndTheClipboard) {
    make_picture(8, 6);
    const int selection_items[] = {MenuCut, MenuCopy, MenuDelete, MenuCropToSelection};
    const int paste_items[] = {MenuPaste, MenuPasteAsNew};
    const int turn_items[] = {MenuFlipHorizontal, MenuFlipVertical, MenuRotateClockwise, MenuRotateCounterClockwise,
                              MenuRotate180};
    struct Step {
        const char* what;
        int menu;  // 0: the clipboard is changed by another program
        bool selected, pasteable;
    };
    const Step steps[] = {
        {"start", -1, false, false},
        {"select all", MenuSelectAll, true, false},
        {"copy", MenuCopy, true, true},
        {"deselect", MenuDeselect, false, true},
        {"clipboard emptied elsewhere", 0, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.menu > 0) choose_menu(s.menu);
        if (s.menu == 0) {
            QGuiApplication::clipboard()->setText("not a picture");
            pump();
        }
        for (const int id : selection_items) EXPECT_EQ(enabled(id), s.selected) << id;
        for (const int id : paste_items) EXPECT_EQ(enabled(id), s.pasteable) << id;
        for (const int id : turn_items) EXPECT_TRUE(enabled(id)) << id;
    }
}

TEST_F(EditCommands, PasteFloatsAtTheSelectionOrTheViewsTopLeftWithTheSelectTool) {
    struct Case {
        const char* what;
        int width, height, zoom;
        std::int64_t scroll_x, scroll_y;  // view pixels, -1 for none
        bool selected;
        std::int64_t x, y;  // where the pasted pixels go
    };
    const Case cases[] = {
        {"selection's corner", 40, 30, 100, -1, -1, true, 3, 2},
        {"view scrolled at 400 %", 256, 256, 400, 200, 120, false, 50, 30},
        {"picture smaller than the view", 40, 30, 100, -1, -1, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make_picture(c.width, c.height, false);
        put_png(5, 4);
        if (c.zoom != 100) {
            state_.view.zoom = static_cast<std::int16_t>(c.zoom);
            state_.view.view_width = c.width * c.zoom / 100;
            state_.view.view_height = c.height * c.zoom / 100;
            view_layout(state_, true);
        }
        if (c.scroll_x >= 0) view_scroll_to(state_, c.scroll_x, c.scroll_y);
        if (c.selected) select(3, 2, 9, 9);
        choose_menu(MenuPaste);
        const Selection& selection = state_.document.selection;
        ASSERT_TRUE(selection.is_floating());
        EXPECT_EQ(selection.rect.x0, c.x);
        EXPECT_EQ(selection.rect.y0, c.y);
        EXPECT_EQ(selection.rect.x1, c.x + 5);
        EXPECT_EQ(selection.rect.y1, c.y + 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(bitmap_pixel(*selection.floating, x, y), sample(x + 100, y));
        EXPECT_EQ(state_.tools.current_tool, ToolSelect);
        // The Select tool's button is made by the tool itself, in its own part.
        if (widget_qt(SelectButton)) {
            EXPECT_EQ(widget_get_state(SelectButton), 1);
        }
        EXPECT_EQ(widget_get_state(ToolPaint), 0);
        // Nothing is recorded until the pixels are put down; their drop is one step.
        EXPECT_EQ(state_.document.history.steps(), 0u);
        selection_drop(state_);
        EXPECT_EQ(pixel(DocumentImage, int(c.x) + 1, int(c.y) + 2), sample(101, 2));
        choose_menu(MenuUndo);
        EXPECT_EQ(pixel(DocumentImage, int(c.x) + 1, int(c.y) + 2), Color{0});
        state_.view.zoom = 100;
    }
}

TEST_F(EditCommands, PasteLargerThanThePictureAsksToEnlarge) {
    struct Case {
        int answer;  // 0 Enlarge, 1 Keep Size, 2 Cancel
        int width, height;
        bool floating;
    };
    for (const Case& c : {Case{0, 10, 8, true}, Case{1, 6, 5, true}, Case{2, 6, 5, false}}) {
        SCOPED_TRACE(c.answer);
        make_picture(6, 5);
        put_png(10, 8);
        requests_.clear();
        replies_.push_back(DialogReply{c.answer, "", 0});
        choose_menu(MenuPaste);
        ASSERT_EQ(requests_.size(), 1u);
        EXPECT_EQ(requests_[0].text, "The pasted image is larger than the picture. Enlarge the picture to fit?");
        EXPECT_EQ(requests_[0].buttons, (std::vector<std::string>{"Enlarge", "Keep Size", "Cancel"}));
        EXPECT_EQ(state_.document.width(), c.width);
        EXPECT_EQ(state_.document.height(), c.height);
        EXPECT_EQ(state_.view.base_width, c.width);
        EXPECT_EQ(state_.document.selection.is_floating(), c.floating);
        if (c.floating) {
            EXPECT_EQ(state_.document.selection.rect.x1, 10);
        }
        // The old picture keeps its place in the grown one, the new part transparent.
        EXPECT_EQ(pixel(DocumentImage, 5, 4), sample(5, 4));
        if (c.answer == 0) {
            EXPECT_EQ(pixel(DocumentImage, 9, 7), Color{0});
            selection_put_back(state_);
            choose_menu(MenuUndo);
            EXPECT_EQ(state_.document.width(), 6);
            EXPECT_EQ(pixel(DocumentImage, 5, 4), sample(5, 4));
        }
        selection_clear(state_);
        state_.document.selection = Selection{};
    }
}

TEST_F(EditCommands, PasteAsNewImageReplacesTheDocumentAfterAsking) {
    for (const int answer : {CancelChanges, DiscardChanges}) {
        SCOPED_TRACE(answer);
        make_picture(8, 6);
        select(0, 0, 2, 2);
        choose_menu(MenuDelete);
        put_png(7, 3);
        replies_.push_back(DialogReply{answer, "", 0});
        choose_menu(MenuPasteAsNew);
        if (answer == CancelChanges) {
            EXPECT_EQ(state_.document.width(), 8);
            EXPECT_EQ(pixel(DocumentImage, 0, 0), Color{0});
            continue;
        }
        ASSERT_EQ(state_.document.width(), 7);
        ASSERT_EQ(state_.document.height(), 3);
        EXPECT_EQ(state_.view.base_width, 7);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) ASSERT_EQ(pixel(DocumentImage, x, y), sample(x + 100, y));
        EXPECT_FALSE(state_.document.selection.active());
        EXPECT_FALSE(state_.document.history.can_undo());
        EXPECT_EQ(window_title(MainWindow), "*Morvane");
    }
}

}  // namespace
}  // namespace morvane::testing
