// The selection's floating pixels on a running editor: lifts, copies, moves, drops, puts back
// and turns, each against a picture worked out cell by cell in the test, with undo and redo.
#include "app/document/selection.h"

#include <array>
#include <cstring>
#include <functional>

#include "editor_fixture.h"

namespace morvane::testing {
namespace {

using Picture = std::vector<Color>;  // row by row, the document's size

class SelectionModelTest : public EditorFixture {
  protected:
    int width() const { return static_cast<int>(state_.view.base_width); }
    int height() const { return static_cast<int>(state_.view.base_height); }
    static void set_pixel(int x, int y, Color c) {
        std::uint8_t* p = bitmap_from_handle(image_handle(DocumentImage))->row(y) + 4 * x;
        p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c)), p[2] = std::uint8_t(color_red(c));
        p[3] = std::uint8_t(c >> 24);
    }
    Picture picture() {
        Picture all;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) all.push_back(pixel(DocumentImage, x, y));
        return all;
    }
    // A picture with an opaque, different colour in each pixel of the top-left 16 x 16.
    Picture paint_pattern() {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) set_pixel(x, y, rgba(16 * x + 3, 16 * y + 5, 77, 255));
        return picture();
    }
    Color& at(Picture& p, std::int64_t x, std::int64_t y) { return p[static_cast<std::size_t>(y * width() + x)]; }
};

// Moves and copies: the expected picture is the original with the block's old place
// cleared (a move) and the block's pixels written at the new place.
TEST_F(SelectionModelTest, LiftMoveDropAndPutBackAreOneStepWithExactBytes) {
    ASSERT_TRUE(start());
    struct Case {
        const char* name;
        Rect rect;
        std::int64_t to_x, to_y;
        bool copy, put_back;
    };
    const Case cases[] = {
        {"move right and down", {2, 3, 7, 6}, 4, 5, false, false},
        {"copy to the right", {0, 0, 4, 4}, 9, 0, true, false},
        {"move over its own place", {1, 1, 5, 5}, 2, 2, false, false},
        {"moved partly off the picture", {0, 0, 3, 3}, -1, -2, false, false},
        {"moved then put back", {2, 2, 6, 6}, 8, 8, false, true},
        {"copy put back", {2, 2, 6, 6}, 8, 8, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture original = paint_pattern();
        const std::size_t steps = state_.document.history.steps();
        selection_set(state_, c.rect);
        ASSERT_TRUE(selection_lift(state_, c.copy));
        selection_move_to(state_, c.to_x, c.to_y);
        Picture expected = original;
        if (c.put_back) {
            ASSERT_TRUE(selection_put_back(state_));
            EXPECT_EQ(picture(), original);
            EXPECT_EQ(state_.document.history.steps(), steps);
            EXPECT_EQ(state_.document.selection.rect.x0, c.rect.x0);
            continue;
        }
        ASSERT_TRUE(selection_drop(state_));
        if (!c.copy)
            for (std::int64_t y = c.rect.y0; y < c.rect.y1; ++y)
                for (std::int64_t x = c.rect.x0; x < c.rect.x1; ++x) at(expected, x, y) = 0;
        for (std::int64_t y = c.rect.y0; y < c.rect.y1; ++y)
            for (std::int64_t x = c.rect.x0; x < c.rect.x1; ++x) {
                const std::int64_t nx = x - c.rect.x0 + c.to_x, ny = y - c.rect.y0 + c.to_y;
                if (nx >= 0 && ny >= 0 && nx < width() && ny < height())
                    at(expected, nx, ny) = at(const_cast<Picture&>(original), x, y);
            }
        const Picture after = picture();
        EXPECT_EQ(after, expected);
        EXPECT_EQ(state_.document.history.steps(), steps + 1);
        EXPECT_FALSE(state_.document.selection.is_floating());
        choose_menu(MenuUndo);
        EXPECT_EQ(picture(), original);
        choose_menu(MenuRedo);
        EXPECT_EQ(picture(), after);
        selection_clear(state_);
    }
}

// Floating pixels are drawn over the picture: worked numbers for half-transparent red over
// opaque blue and over a transparent pixel.
TEST_F(SelectionModelTest, DropComposesStraightAlphaOver) {
    ASSERT_TRUE(start());
    set_pixel(10, 10, rgba(0, 0, 255, 255));
    set_pixel(11, 10, 0);
    set_pixel(12, 10, rgba(0, 0, 255, 255));
    BitmapPtr paste(bitmap_create(3, 1, 32));
    ASSERT_TRUE(paste);
    const std::uint8_t bytes[12] = {0, 0, 255, 128, 0, 0, 255, 128, 9, 9, 9, 0};  // B G R A
    std::memcpy(paste->row(0), bytes, sizeof bytes);
    selection_float(state_, std::move(paste), 10, 10);
    ASSERT_TRUE(selection_drop(state_));
    EXPECT_EQ(pixel(DocumentImage, 10, 10), rgba(128, 0, 127, 255));
    EXPECT_EQ(pixel(DocumentImage, 11, 10), rgba(255, 0, 0, 128));
    EXPECT_EQ(pixel(DocumentImage, 12, 10), rgba(0, 0, 255, 255));
    EXPECT_EQ(state_.document.selection.rect.x1, 13);
}

// Turns of a 3 x 2 block about its centre: where each source pixel (x, y) of the block lands,
// worked out by hand for each turn, relative to the new rectangle's corner.
TEST_F(SelectionModelTest, TurnsOfASelectionAboutItsCentre) {
    ASSERT_TRUE(start());
    struct Case {
        Turn turn;
        Rect turned;  // the new rectangle of the block {4, 4, 7, 6}
        std::function<std::pair<int, int>(int, int)> to;
    };
    const Case cases[] = {
        {Turn::FlipHorizontal, {4, 4, 7, 6}, [](int x, int y) { return std::pair{2 - x, y}; }},
        {Turn::FlipVertical, {4, 4, 7, 6}, [](int x, int y) { return std::pair{x, 1 - y}; }},
        {Turn::HalfTurn, {4, 4, 7, 6}, [](int x, int y) { return std::pair{2 - x, 1 - y}; }},
        // Centre (5.5, 5): the 2 x 3 block's corner at (4.5, 3.5), halves toward the old corner.
        {Turn::Clockwise, {4, 4, 6, 7}, [](int x, int y) { return std::pair{1 - y, x}; }},
        {Turn::CounterClockwise, {4, 4, 6, 7}, [](int x, int y) { return std::pair{y, 2 - x}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.turn));
        const Picture original = paint_pattern();
        selection_set(state_, Rect{4, 4, 7, 6});
        ASSERT_TRUE(selection_turn(state_, c.turn));
        const Rect r = state_.document.selection.rect;
        EXPECT_EQ((std::array{r.x0, r.y0, r.x1, r.y1}), (std::array{c.turned.x0, c.turned.y0, c.turned.x1, c.turned.y1}));
        Picture expected = original;
        for (int y = 4; y < 6; ++y)
            for (int x = 4; x < 7; ++x) at(expected, x, y) = 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const auto [tx, ty] = c.to(x, y);
                at(expected, c.turned.x0 + tx, c.turned.y0 + ty) = at(const_cast<Picture&>(original), 4 + x, 4 + y);
            }
        EXPECT_EQ(picture(), expected);
        choose_menu(MenuUndo);
        EXPECT_EQ(picture(), original);
        selection_clear(state_);
    }
    // A floating selection turned four times comes back to its place and pixels.
    const Picture original = paint_pattern();
    selection_set(state_, Rect{2, 3, 7, 5});
    ASSERT_TRUE(selection_lift(state_, false));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(selection_turn(state_, Turn::Clockwise));
    EXPECT_EQ(state_.document.selection.rect.x0, 2);
    EXPECT_EQ(state_.document.selection.rect.y1, 5);
    ASSERT_TRUE(selection_drop(state_));
    EXPECT_EQ(picture(), original);
}

}  // namespace
}  // namespace morvane::testing
