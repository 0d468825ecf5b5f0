// Undo that never vanishes: fills and strokes on large pictures undo and redo to the exact
// bytes and keep little, and a step too large for the history asks before it goes on.
#include <cstring>
#include <random>
#include <vector>

#include "app/tools/tool.h"
#include "editor_fixture.h"
#include "shell/menu.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

// Fields of the resize dialog.
enum : int { ResizeWidth = 42, ResizeHeight = 43, ResizeOk = 44 };

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Picture&) const = default;
};

class UndoLargeTest : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        pump_ms_ = 0;
    }
    // A new transparent picture of `side` x `side` at 100 %, nothing to undo or save.
    void new_picture(int side) {
        state_.view.zoom = 100;
        state_.view.base_width = state_.view.base_height = side;
        document_recreate(state_);
        view_layout(state_, true);
        document_start(state_, "");
        pump(0);
    }
    // Random opaque-or-not bytes in the rectangle, written straight into the picture.
    static void noise(int x0, int y0, int x1, int y1, unsigned seed) {
        std::mt19937 rng(seed);
        const Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint32_t v = static_cast<std::uint32_t>(rng()) | 1u;  // never transparent black
                std::memcpy(b->row(y) + 4 * x, &v, 4);
            }
    }
    static Picture picture() {
        const Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        Picture p;
        p.width = b->width;
        p.height = b->height;
        const std::size_t row = static_cast<std::size_t>(b->width) * static_cast<std::size_t>(b->bpp / 8);
        p.bytes.resize(row * static_cast<std::size_t>(b->height));
        for (int y = 0; y < b->height; ++y) std::memcpy(p.bytes.data() + row * y, b->row(y), row);
        return p;
    }
    void colour(Color c) {
        answer_color(c);
        click(ColourButton);
    }
    bool undo_enabled() { return menu_item_enabled(0, MenuUndo) != 0; }
};

TEST_F(UndoLargeTest, FillsAndStrokesOnLargePicturesUndoAndRedoExactly) {
    // 's': a brush stroke across the picture; 'f': a fill of the empty (or last filled)
    // area, each with a new colour. A noise block sits in the picture when asked.
    // A fill of a whole 8192 x 8192 picture touches 16,384 tiles of 64 x 64: a record of
    // some 50 bytes each, far below the 512 MiB of its pixels before and after. Other steps
    // keep their changed tiles, the newest 32 MiB of them uncompressed.
    struct Case {
        int side;
        const char* script;
        bool noise;
        std::size_t max_mib;
    };
    const Case cases[] = {
        {8192, "f", false, 2},      {8192, "sf", true, 40},   {4096, "sf", true, 40},
        {4096, "ffffff", false, 2}, {4096, "fsff", true, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.side << " " << c.script);
        new_picture(c.side);
        if (c.noise) noise(1000, 700, 1300, 1000, 7);
        std::vector<Picture> states{picture()};
        int n = 0;
        for (const char* a = c.script; *a; ++a, ++n) {
            colour(rgb(40 + 30 * n, 200 - 20 * n, 90 + n));
            if (*a == 's') {
                click(ToolPaint);
                change_widget(SizeSpin, 25, 4);
                press(100, 100);
                for (int m = 1; m <= 6; ++m) move(100 + 400 * m, 100 + 300 * m);
                release(2500, 1900);
            } else {
                click(ToolFill);
                press(c.side - 5, c.side - 5);
                release(c.side - 5, c.side - 5);
            }
            states.push_back(picture());
            ASSERT_NE(states.back(), states[states.size() - 2]) << "step " << n << " changed nothing";
            ASSERT_TRUE(undo_enabled());
        }
        EXPECT_EQ(state_.document.history.steps(), states.size() - 1);
        EXPECT_LT(state_.document.history.bytes(), c.max_mib << 20);
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            choose_menu(MenuUndo);
            ASSERT_TRUE(picture() == states[i - 1]) << "undo to state " << i - 1;
        }
        EXPECT_FALSE(undo_enabled());
        for (std::size_t i = 1; i < states.size(); ++i) {
            choose_menu(MenuRedo);
            ASSERT_TRUE(picture() == states[i]) << "redo to state " << i;
        }
    }
}

TEST_F(UndoLargeTest, StepTooLargeForTheHistoryAsksFirst) {
    // On a picture whose top half is noise (which does not compress) with a 16 KiB history,
    // a 2 x 2 box is a step; a large box, a resize or a clear are not: the question comes
    // first.
    enum Action { Box, Resize, Clear };
    struct Case {
        Action action;
        int answer;
    };
    const Case cases[] = {{Box, CancelAction},      {Box, ContinueAction}, {Resize, CancelAction},
                          {Resize, ContinueAction}, {Clear, CancelAction}, {Clear, ContinueAction}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.action << " " << c.answer);
        new_picture(256);
        state_.document.history = History(16 << 10);
        noise(0, 0, 256, 128, 11);
        const Picture start = picture();
        colour(rgb(250, 10, 10));
        click(ToolBox);
        drag(50, 50, 51, 51);
        ASSERT_TRUE(undo_enabled());
        const Picture small = picture();
        ASSERT_NE(small, start);

        requests_.clear();
        answer_message(c.answer);
        switch (c.action) {
            case Box:
                drag(10, 10, 200, 200);
                break;
            case Resize:
                choose_menu(MenuResizeImage);
                widget_set_text(ResizeWidth, "300");
                widget_set_text(ResizeHeight, "280");
                click(ResizeOk);
                break;
            case Clear:
                click(ClearButton);
                break;
        }
        ASSERT_EQ(requests_.size(), 1u);
        EXPECT_EQ(requests_[0].kind, DialogKind::ContinueOrCancel);
        EXPECT_EQ(requests_[0].text, "This change cannot be undone... Continue?");
        EXPECT_EQ(window_title(MainWindow), "*Morvane");
        if (c.answer == CancelAction) {
            // Nothing happened: the picture, its size, the view and the history are as before.
            EXPECT_TRUE(picture() == small);
            EXPECT_EQ(state_.view.base_width, 256);
            EXPECT_EQ(state_.view.view_height, 256);
            EXPECT_TRUE(undo_enabled());
            choose_menu(MenuUndo);
            EXPECT_TRUE(picture() == start);
        } else {
            // The edit stands, with no way back to before it.
            const Picture now = picture();
            EXPECT_NE(now, small);
            EXPECT_EQ(now.width, c.action == Resize ? 300 : 256);
            EXPECT_EQ(state_.view.view_height, c.action == Resize ? 280 : 256);
            EXPECT_FALSE(undo_enabled());
            choose_menu(MenuUndo);
            EXPECT_TRUE(picture() == now);
            // The history goes on with the next step that fits.
            click(ToolBox);
            drag(3, 3, 4, 4);
            ASSERT_TRUE(undo_enabled());
            choose_menu(MenuUndo);
            EXPECT_TRUE(picture() == now);
        }
    }
}

}  // namespace
}  // namespace morvane::testing
