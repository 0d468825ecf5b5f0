// Flips and turns of the whole picture: pixels against a plain reference, sizes, and the
// undo step that keeps no pixels.
#include "app/edit/edit_commands.h"
#include "editor_fixture.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

class EditTurn : public EditorFixture {
  protected:
    // A picture of w x h where every pixel differs, alpha included.
    void make_picture(int w, int h) {
        state_.view.base_width = w;
        state_.view.base_height = h;
        document_recreate(state_);
        document_start(state_, "");
        view_layout(state_, true);
        Bitmap* b = state_.document.picture_or_null();
        ASSERT_NE(b, nullptr);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = b->row(y) + 4 * x;
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(x * 3 + y * 5);
                p[3] = static_cast<std::uint8_t>(255 - (x + y) % 200);
            }
    }
    static std::vector<Color> pixels(int& w, int& h) {
        const Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        w = b->width;
        h = b->height;
        std::vector<Color> out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) out.push_back(bitmap_pixel(*b, x, y));
        return out;
    }
};

struct TurnCase {
    int menu;
    bool swaps;
    // Where the pixel at (x, y) of a w x h picture comes from, in the picture before.
    void (*source)(int x, int y, int w, int h, int& sx, int& sy);
};

TEST_F(EditTurn, WholePictureMovesEveryPixelAndUndoesWithoutKeepingPixels) {
    const TurnCase cases[] = {
        {MenuFlipHorizontal, false, [](int x, int y, int w, int, int& sx, int& sy) { sx = w - 1 - x, sy = y; }},
        {MenuFlipVertical, false, [](int x, int y, int, int h, int& sx, int& sy) { sx = x, sy = h - 1 - y; }},
        // Clockwise: the new top row is the old left column read upward.
        {MenuRotateClockwise, true, [](int x, int y, int, int h, int& sx, int& sy) { sx = y, sy = h - 1 - x; }},
        {MenuRotateCounterClockwise, true, [](int x, int y, int w, int, int& sx, int& sy) { sx = w - 1 - y, sy = x; }},
        {MenuRotate180, false, [](int x, int y, int w, int h, int& sx, int& sy) { sx = w - 1 - x, sy = h - 1 - y; }},
    };
    const std::pair<int, int> sizes[] = {{7, 7}, {300, 170}, {1, 5}};
    for (const auto& [width, height] : sizes) {
        for (const TurnCase& c : cases) {
            SCOPED_TRACE("menu " + std::to_string(c.menu) + " on " + std::to_string(width) + "x" +
                         std::to_string(height));
            make_picture(width, height);
            int w0 = 0, h0 = 0;
            const std::vector<Color> before = pixels(w0, h0);
            const std::size_t bytes_before = state_.document.history.bytes();
            choose_menu(c.menu);
            int w1 = 0, h1 = 0;
            const std::vector<Color> after = pixels(w1, h1);
            ASSERT_EQ(w1, c.swaps ? height : width);
            ASSERT_EQ(h1, c.swaps ? width : height);
            EXPECT_EQ(state_.view.base_width, w1);
            EXPECT_EQ(state_.view.base_height, h1);
            EXPECT_EQ(state_.view.view_width, w1);
            EXPECT_EQ(state_.document.width(), w1);
            for (int y = 0; y < h1; ++y)
                for (int x = 0; x < w1; ++x) {
                    int sx = 0, sy = 0;
                    c.source(x, y, width, height, sx, sy);
                    ASSERT_EQ(after[static_cast<std::size_t>(y * w1 + x)],
                              before[static_cast<std::size_t>(sy * width + sx)])
                        << x << "," << y;
                }
            // One step that holds no pixels (well under one row of this picture).
            EXPECT_EQ(state_.document.history.steps(), 1u);
            EXPECT_LT(state_.document.history.bytes() - bytes_before, 512u);
            EXPECT_EQ(window_title(MainWindow), "*Morvane");
            choose_menu(MenuUndo);
            int wu = 0, hu = 0;
            EXPECT_EQ(pixels(wu, hu), before);
            EXPECT_EQ(wu, width);
            EXPECT_EQ(state_.view.base_width, width);
            EXPECT_EQ(window_title(MainWindow), "Morvane");
            choose_menu(MenuRedo);
            int wr = 0, hr = 0;
            EXPECT_EQ(pixels(wr, hr), after);
            EXPECT_EQ(state_.view.base_height, h1);
        }
    }
}

}  // namespace
}  // namespace morvane::testing
