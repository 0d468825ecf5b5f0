// Moving a selection: a drag lifts it (Ctrl: a copy), arrows and Shift+arrows move it,
// Return or a click outside puts it down as one undo step, Escape and Undo put it back.
#include <functional>

#include "app/select/select_tool.h"
#include "editor_fixture.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

constexpr int kSide = 256;

// The picture every case starts from: every pixel opaque and different from its neighbours.
Color pattern(int x, int y) {
    return rgba(std::uint32_t(x), std::uint32_t(y), std::uint32_t((x * 7 + y * 3) & 255), 255);
}

class SelectMoveTest : public EditorFixture {
  protected:
    void load_pattern() {
        Bitmap* b = state_.document.picture_or_null();
        ASSERT_NE(b, nullptr);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const Color c = pattern(x, y);
                std::uint8_t* p = b->row(y) + x * 4;
                p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c), p[3] = 255;
            }
        document_start(state_, "");
        view_redraw(state_);
    }
    std::vector<Color> picture() {
        std::vector<Color> out;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) out.push_back(pixel(DocumentImage, x, y));
        return out;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(canvas(), k, mods);
        pump();
    }
};

TEST_F(SelectMoveTest, MovesPutDownAndPutBack) {
    const Rect s{8, 8, 24, 20};
    struct Case {
        const char* name;
        std::function<void()> act;
        int dx, dy;
        bool copy;
        bool put_back;  // the picture comes back as it was
    };
    const Case cases[] = {
        {"drag, Return", [this] { drag(12, 12, 17, 15), key(Qt::Key_Return); }, 5, 3, false, false},
        {"Ctrl+drag, Enter", [this] { drag(12, 12, 17, 15, Qt::ControlModifier), key(Qt::Key_Enter); }, 5, 3,
         true, false},
        {"arrows, click outside",
         [this] {
             for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}) key(k);
             press(200, 200), release(200, 200);
         },
         3, 1, false, false},
        {"Shift+arrows by a cell of 16 + gap 2",
         [this] {
             state_.view.grid_width = state_.view.grid_height = 16, state_.view.grid_gap = 2;
             key(Qt::Key_Right, Qt::ShiftModifier), key(Qt::Key_Down, Qt::ShiftModifier);
             key(Qt::Key_Left), key(Qt::Key_Return);
         },
         17, 18, false, false},
        {"snapped drag by whole cells of 16",
         [this] {
             state_.view.grid_width = state_.view.grid_height = 16;
             choose_menu(MenuSnapToGrid);
             drag(12, 12, 37, 19);  // 25 x 7 pixels: nearest whole cells 2 x 0
             key(Qt::Key_Return);
         },
         32, 0, false, false},
        {"off the picture's edge", [this] { drag(12, 12, 2, 15), key(Qt::Key_Return); }, -10, 3, false,
         false},
        {"drag, Escape", [this] { drag(12, 12, 40, 50), key(Qt::Key_Escape); }, 0, 0, false, true},
        {"arrows, Undo", [this] { key(Qt::Key_Left), key(Qt::Key_Z, Qt::ControlModifier); }, 0, 0, false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load_pattern();
        state_.view.grid_width = state_.view.grid_height = 32, state_.view.grid_gap = 0;
        if (state_.tools.snap_to_grid) choose_menu(MenuSnapToGrid);
        click(SelectButton);
        drag(s.x0, s.y0, s.x1 - 1, s.y1 - 1);
        const std::vector<Color> before = picture();
        c.act();
        EXPECT_FALSE(state_.document.selection.is_floating());
        // What a user expects, computed pixel by pixel: the place left is transparent (not for
        // a copy), the moved block lies over the picture where it was put down.
        std::vector<Color> want = before;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const bool from = x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
                const int sx = x - c.dx, sy = y - c.dy;
                const bool to = sx >= s.x0 && sx < s.x1 && sy >= s.y0 && sy < s.y1;
                if (c.put_back) continue;
                if (to) {
                    want[std::size_t(y) * kSide + std::size_t(x)] = pattern(sx, sy);
                } else if (from && !c.copy) {
                    want[std::size_t(y) * kSide + std::size_t(x)] = 0;
                }
            }
        ASSERT_EQ(picture(), want);
        const Rect r = state_.document.selection.rect;
        const Rect moved{std::max<std::int64_t>(0, s.x0 + c.dx), s.y0 + c.dy, s.x1 + c.dx, s.y1 + c.dy};
        EXPECT_EQ(r.x0, moved.x0);
        EXPECT_EQ(r.y0, moved.y0);
        EXPECT_EQ(r.x1, moved.x1);
        EXPECT_EQ(r.y1, moved.y1);
        if (c.put_back) {
            EXPECT_FALSE(state_.document.history.can_undo());
            EXPECT_EQ(window_title(MainWindow), "Morvane");
            continue;
        }
        // One undo step, with the unsaved mark; undo and redo give back the same bytes.
        EXPECT_EQ(window_title(MainWindow), "*Morvane");
        choose_menu(MenuUndo);
        EXPECT_EQ(picture(), before);
        EXPECT_FALSE(state_.document.history.can_undo());
        choose_menu(MenuRedo);
        EXPECT_EQ(picture(), want);
    }
}

TEST_F(SelectMoveTest, ArrowsMoveTheSelectionUnlessAControlTakesThem) {
    struct Case {
        ObjectNumber focus;
        Qt::Key key;
        int size_after;  // the brush size spin box's value
        int dx, dy;      // the selection's move
    };
    const Case cases[] = {
        {ViewCanvas, Qt::Key_Up, 20, 0, -1},
        {ViewCanvas, Qt::Key_Right, 20, 1, 0},
        {SizeSpin, Qt::Key_Up, 21, 0, 0},
        {SizeSpin, Qt::Key_Down, 19, 0, 0},
    };
    load_pattern();
    click(SelectButton);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        change_widget(SizeSpin, 20, 4);
        drag(30, 30, 39, 39);
        ASSERT_EQ(state_.document.selection.rect.x0, 30);
        widget_set_focus(c.focus);
        pump();
        QTest::keyClick(QApplication::focusWidget(), c.key);
        pump();
        EXPECT_EQ(widget_get_state(SizeSpin), c.size_after);
        EXPECT_EQ(state_.document.selection.rect.x0, 30 + c.dx);
        EXPECT_EQ(state_.document.selection.rect.y0, 30 + c.dy);
        widget_set_focus(ViewCanvas);
        pump();
        key(Qt::Key_Escape);  // back where it was, then deselected
        if (state_.document.selection.active()) key(Qt::Key_Escape);
        EXPECT_FALSE(state_.document.selection.active());
    }
}

}  // namespace
}  // namespace morvane::testing
