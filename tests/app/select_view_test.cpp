// The selection on the canvas: a black and white dashed outline that moves with time, and
// floating pixels shown over the picture, at 400 %.
#include "app/select/select_tool.h"
#include "editor_fixture.h"

namespace morvane::testing {
namespace {

class SelectViewTest : public EditorFixture {};

Color pattern(int x, int y) {
    return rgb(std::uint32_t(x * 9 & 255), std::uint32_t(y * 5 & 255), 90);
}

TEST_F(SelectViewTest, OutlineMarchesAndFloatingPixelsShowOverThePicture) {
    Bitmap* b = state_.document.picture_or_null();
    ASSERT_NE(b, nullptr);
    for (int y = 0; y < b->height; ++y)
        for (int x = 0; x < b->width; ++x) {
            const Color c = pattern(x, y);
            std::uint8_t* p = b->row(y) + x * 4;
            p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c), p[3] = 255;
        }
    choose_menu(MenuZoom400);
    ASSERT_EQ(state_.view.zoom, 400);
    click(SelectButton);
    // Document pixels 10..19 x 10..15: view pixels 40..79 x 40..63.
    drag(41, 41, 77, 62);
    ASSERT_EQ(state_.document.selection.rect.x1, 20);
    const auto top_side = [this] {
        std::vector<Color> side;
        for (int x = 40; x < 80; ++x) side.push_back(canvas_pixel(x, 40));
        return side;
    };
    const std::vector<Color> first = top_side();
    int black = 0, white = 0;
    for (Color c : first) {
        black += c == rgb(0, 0, 0);
        white += c == rgb(255, 255, 255);
    }
    EXPECT_GT(black, 8);
    EXPECT_GT(white, 8);
    EXPECT_EQ(black + white, 40);
    // The other sides are dashed too; next to the outline the picture shows as it is.
    for (int y = 40; y < 64; ++y) {
        for (int x : {40, 79}) {
            const Color c = canvas_pixel(x, y);
            EXPECT_TRUE(c == rgb(0, 0, 0) || c == rgb(255, 255, 255)) << x << "," << y;
        }
        if (y > 40 && y < 63) {
            EXPECT_EQ(canvas_pixel(41, y), pattern(10, y / 4)) << y;
        }
        EXPECT_EQ(canvas_pixel(39, y), pattern(9, y / 4)) << y;
    }
    pump(400);
    EXPECT_NE(top_side(), first);

    // Lifted and moved one document pixel right and down: the moved pixels show where they
    // went, the place they left shows the checkerboard (grey).
    drag(50, 50, 54, 54);
    ASSERT_TRUE(state_.document.selection.is_floating());
    for (int dy = 0; dy < 6; ++dy) {
        EXPECT_EQ(canvas_pixel(4 * 15 + 2, 4 * (11 + dy) + 2), pattern(14, 10 + dy));
        const Color left = canvas_pixel(4 * 10 + 2, 4 * (10 + dy) + 2);
        EXPECT_TRUE(left == rgb(255, 255, 255) || left == rgb(192, 192, 192)) << dy;
    }
}

}  // namespace
}  // namespace morvane::testing
