// The canvas composes only what it shows: after seeded random strokes with every tool at
// several zooms, the composition of random rectangles equals the full composition there,
// and the canvas widget paints the same pixels.
#include <random>
#include <vector>

#include "app/view/view_compose.h"
#include "editor_fixture.h"

namespace morvane::testing {
namespace {

class PaintRedrawTest : public EditorFixture {
  protected:
    // Random strokes: tool, tip, size, opacity, paint kind and Keep Alpha chosen per stroke,
    // with points partly outside the canvas.
    void random_strokes(unsigned seed, int strokes) {
        pump_ms_ = 0;
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int side = static_cast<int>(state_.view.view_width);
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

TEST_F(PaintRedrawTest, PartialComposeEqualsFullCompose) {
    std::mt19937 rng(4321);
    for (int zoom_item : {67, 66, 69, 65}) {
        SCOPED_TRACE(zoom_item);
        choose_menu(zoom_item);
        state_.view.grid_width = 24;
        state_.view.grid_height = 40;
        random_strokes(static_cast<unsigned>(zoom_item) * 31u, 12);
        const std::vector<std::uint32_t> full = view_compose_all(state_);
        const int vw = static_cast<int>(state_.view.view_width),
                  vh = static_cast<int>(state_.view.view_height);
        ASSERT_EQ(full.size(), std::size_t(vw) * std::size_t(vh));
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        for (int r = 0; r < 40; ++r) {
            const int x = pick(-5, vw - 1), y = pick(-5, vh - 1), w = pick(1, 90), h = pick(1, 90);
            const std::vector<std::uint32_t> part = view_compose_rect(state_, x, y, w, h);
            for (int j = 0; j < h; ++j) {
                for (int i = 0; i < w; ++i) {
                    const int vx = x + i, vy = y + j;
                    const bool inside = vx >= 0 && vy >= 0 && vx < vw && vy < vh;
                    const std::uint32_t expected = inside ? full[std::size_t(vy) * vw + vx] : 0xFFFFFFFFu;
                    ASSERT_EQ(part[std::size_t(j) * w + i], expected) << vx << "," << vy;
                }
            }
        }
        // The canvas widget paints exactly the composition.
        for (int k = 0; k < 30; ++k) {
            const int x = pick(0, vw - 1), y = pick(0, vh - 1);
            const std::uint32_t c = full[std::size_t(y) * vw + x];
            ASSERT_EQ(canvas_pixel(x, y), rgb(c >> 16 & 255, c >> 8 & 255, c & 255)) << x << "," << y;
        }
        click(8);
    }
}

TEST_F(PaintRedrawTest, ComposeShowsDocumentPixelsAsWholeBlocks) {
    // An opaque picture of distinct pixels without grid: at every zoom each view pixel shows
    // document pixel (x * 100 / zoom, y * 100 / zoom).
    choose_menu(70);
    Bitmap* doc = state_.document.picture_or_null();
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = doc->row(y) + 4 * x;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(y), p[2] = std::uint8_t(x ^ y), p[3] = 255;
        }
    }
    for (int zoom_item : {69, 68, 67, 66, 65, 64, 63}) {
        choose_menu(zoom_item);
        const int z = state_.view.zoom;
        const std::vector<std::uint32_t> full = view_compose_all(state_);
        const int vw = static_cast<int>(state_.view.view_width);
        for (int y = 0; y < state_.view.view_height; y += 7) {
            for (int x = 0; x < vw; x += 5) {
                const int dx = x * 100 / z, dy = y * 100 / z;
                const std::uint32_t want =
                    0xFF000000u | std::uint32_t(dx ^ dy) << 16 | std::uint32_t(dy) << 8 | std::uint32_t(dx);
                ASSERT_EQ(full[std::size_t(y) * vw + x], want) << z << ": " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace morvane::testing
