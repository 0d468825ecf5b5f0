// Painting recomposes only the changed part of the canvas: after seeded random strokes with
// every tool the canvas and the picture equal what the full recompose path gives.
#include <cstring>
#include <random>
#include <vector>

#include "editor_fixture.h"

namespace morvane::testing {
namespace {

class PaintRedrawTest : public EditorFixture {
  protected:
    struct Snapshot {
        std::vector<std::uint8_t> canvas, picture, zoom_source;
    };

    static std::vector<std::uint8_t> bytes_of(const Bitmap* b) {
        if (!b) return {};
        const std::uint8_t* begin = b->bits;
        return std::vector<std::uint8_t>(begin, begin + static_cast<std::size_t>(b->stride) * b->height);
    }
    Snapshot snapshot() {
        Snapshot s;
        s.canvas = bytes_of(bitmap_from_handle(static_cast<std::intptr_t>(widget_get_attribute(1, 1))));
        s.picture = bytes_of(bitmap_from_handle(image_handle(WorkingImage)));
        s.zoom_source = bytes_of(bitmap_from_handle(image_handle(ZoomSourceImage)));
        return s;
    }

    // Random strokes: tool, tip, size, opacity, paint kind and Keep Alpha chosen per stroke,
    // with points partly outside the canvas.
    void random_strokes(unsigned seed, int strokes) {
        pump_ms_ = 0;
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int side = static_cast<int>(state_.view_width);
        for (int s = 0; s < strokes; ++s) {
            click(3 + pick(0, 4));
            change_widget(12, pick(0, 2));
            change_widget(11, pick(1, 30), 4);
            change_widget(13, pick(0, 255), 0);
            change_widget(14, pick(0, 2));
            change_widget(15, pick(0, 1), 0);
            answer_color(rgb(pick(0, 255), pick(0, 255), pick(0, 255)));
            click(2);
            const int moves = pick(0, 4);
            press(pick(-10, side + 10), pick(-10, side + 10));
            for (int m = 0; m < moves; ++m) move(pick(-20, side + 20), pick(-20, side + 20));
            release(pick(-10, side + 10), pick(-10, side + 10));
        }
    }
};

TEST_F(PaintRedrawTest, PartialRedrawEqualsFullRecompose) {
    for (int zoom_item : {67, 66}) {
        SCOPED_TRACE(zoom_item);
        choose_menu(zoom_item);
        state_.grid_width = 24;
        state_.grid_height = 40;
        random_strokes(zoom_item == 67 ? 1234u : 99u, 25);
        const Snapshot partial = snapshot();
        ASSERT_FALSE(partial.canvas.empty());
        view_redraw(state_);
        const Snapshot full = snapshot();
        EXPECT_TRUE(partial.canvas == full.canvas);
        EXPECT_TRUE(partial.picture == partial.zoom_source);
        click(8);
    }
}

TEST_F(PaintRedrawTest, SameStrokesGiveTheSamePictureOnBothPaths) {
    random_strokes(7u, 30);
    const Snapshot partial = snapshot();
    click(8);
    state_.partial_redraw = false;
    random_strokes(7u, 30);
    const Snapshot full = snapshot();
    EXPECT_TRUE(partial.picture == full.picture);
    EXPECT_TRUE(partial.canvas == full.canvas);
    EXPECT_TRUE(full.picture == full.zoom_source);
}

}  // namespace
}  // namespace morvane::testing
