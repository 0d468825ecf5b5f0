// Wrap Within Tiles through the canvas: every tool at the edges and corners of a cell gives
// what the same stroke gives unwrapped, folded back into the cell; the fill runs on the cell
// as a torus; each is one undo step; cells honour the grid's offset and gap.
#include "app/tiles/tile_commands.h"
#include "editor_fixture.h"

namespace morvane::testing {
namespace {

constexpr int kCell = 16;
constexpr Color kBlack = 0xFF000000u;

struct Stroke {
    const char* name;
    int tool;  // ToolButton
    int kind;  // brush_tool for the paint tool
    int size;
    int x0, y0, x1, y1;  // press and release, relative to the cell's top-left pixel
    int opacity = 255;
};

class WrapToolsTest : public EditorFixture {
  protected:
    void set_grid(int offset, int gap) {
        state_.view.grid_width = state_.view.grid_height = kCell;
        state_.view.grid_offset = static_cast<std::int16_t>(offset);
        state_.view.grid_gap = static_cast<std::int16_t>(gap);
    }
    void set_wrap(bool on) {
        if ((state_.tools.wrap_within_tiles != 0) != on) choose_menu(MenuWrapWithinTiles);
        ASSERT_EQ(state_.tools.wrap_within_tiles != 0, on);
    }
    void draw(const Stroke& s, int cx, int cy) {
        click(s.tool);
        if (s.tool == ToolPaint) {
            change_widget(KindCombo, s.kind);
            change_widget(SizeSpin, s.size, 4);
        }
        press(cx + s.x0, cy + s.y0);
        move((2 * cx + s.x0 + s.x1) / 2, (2 * cy + s.y0 + s.y1) / 2);
        move(cx + s.x1, cy + s.y1);
        release(cx + s.x1, cy + s.y1);
    }
    // The 48 x 48 block around the cell at (cx, cy) folded onto the cell: of the nine pixels
    // that land on one cell pixel, the most opaque (paint on a transparent picture).
    std::vector<Color> folded(int cx, int cy) {
        std::vector<Color> out(kCell * kCell, 0);
        for (int y = -kCell; y < 2 * kCell; ++y) {
            for (int x = -kCell; x < 2 * kCell; ++x) {
                const Color c = pixel(DocumentImage, cx + x, cy + y);
                Color& at = out[((y + kCell) % kCell) * kCell + (x + kCell) % kCell];
                if ((c >> 24) > (at >> 24)) at = c;
            }
        }
        return out;
    }
    // Counts pixels of the 80 x 80 block around the cell at (cx, cy), outside the cell, that
    // are not transparent black.
    int painted_around(int cx, int cy) {
        int n = 0;
        for (int y = cy - 32; y < cy + 48; ++y)
            for (int x = cx - 32; x < cx + 48; ++x)
                if ((x < cx || y < cy || x >= cx + kCell || y >= cy + kCell) &&
                    pixel(DocumentImage, x, y) != 0)
                    ++n;
        return n;
    }
    int painted_in(int cx, int cy) {
        int n = 0;
        for (int y = cy; y < cy + kCell; ++y)
            for (int x = cx; x < cx + kCell; ++x) n += pixel(DocumentImage, x, y) != 0;
        return n;
    }
};

TEST_F(WrapToolsTest, EveryToolAtEdgesAndCornersEqualsTheUnwrappedStrokeFolded) {
    const Stroke strokes[] = {
        {"pencil dab top-left corner", ToolPaint, 1, 7, 1, 1, 1, 1},
        {"pencil dab right edge", ToolPaint, 1, 9, 14, 8, 14, 8},
        {"pencil stroke across the bottom edge", ToolPaint, 1, 5, 6, 12, 9, 22},
        {"brush stroke across the left edge", ToolPaint, 0, 9, 3, 5, -6, 10},
        {"brush dab bottom-right corner", ToolPaint, 0, 11, 15, 15, 15, 15},
        {"line across a corner", ToolLine, 0, 0, 3, 4, -9, 25},
        {"line along the top edge", ToolLine, 0, 0, 2, 0, 27, 0},
        // Half opaque: a pixel the line crosses twice once folded is still blended once.
        {"half-opaque line twice across the cell", ToolLine, 0, 0, 1, 2, 31, 9, 128},
        {"half-opaque pencil stroke across a corner", ToolPaint, 1, 3, 12, 13, 19, 18, 128},
        {"box over the bottom-right corner", ToolBox, 0, 0, 11, 12, 21, 19},
        {"box wider than the cell", ToolBox, 0, 0, 6, 6, 30, 9},
        {"half-opaque box larger than the cell both ways", ToolBox, 0, 0, 9, 3, -12, 25, 128},
        {"ellipse over the left and bottom edges", ToolEllipse, 0, 0, 2, 13, 7, 17},
        {"ellipse over the top-right corner", ToolEllipse, 0, 0, 13, 1, 18, 4},
    };
    // Grid without and with an offset and gap: the cells at column and row 2 (reference,
    // drawn unwrapped) and 9 (wrapped).
    const struct { int offset, gap; } grids[] = {{0, 0}, {3, 2}};
    for (const auto& g : grids) {
        for (const Stroke& s : strokes) {
            SCOPED_TRACE(std::string(s.name) + ", offset " + std::to_string(g.offset));
            change_widget(TipCombo, 0);  // a round tip
            change_widget(OpacityTrackbar, s.opacity);
            click(ClearButton);
            set_grid(g.offset, g.gap);
            const int pitch = kCell + g.gap;
            const int ref = g.offset + 2 * pitch, cell = g.offset + 9 * pitch;
            set_wrap(false);
            draw(s, ref, ref);
            const std::vector<Color> expected = folded(ref, ref);
            ASSERT_GT(painted_in(ref, ref), 0);
            set_wrap(true);
            draw(s, cell, cell);
            int differ = 0;
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x)
                    if (pixel(DocumentImage, cell + x, cell + y) != expected[y * kCell + x]) ++differ;
            EXPECT_EQ(differ, 0);
            EXPECT_EQ(painted_around(cell, cell), 0);
            // One undo step takes the whole wrapped stroke back; redo brings it again.
            choose_menu(MenuUndo);
            EXPECT_EQ(painted_in(cell, cell), 0);
            choose_menu(MenuRedo);
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x)
                    ASSERT_EQ(pixel(DocumentImage, cell + x, cell + y), expected[y * kCell + x])
                        << x << "," << y;
        }
    }
}

TEST_F(WrapToolsTest, FillRunsOnTheCellAsATorus) {
    // Two black walls split the cell (at 32, 32) into bands 0..3, 5..11 and 13..15 across
    // (or down); the bands 13..15 and 0..3 meet over the cell's edge. Seeds in each band.
    const struct {
        bool walls_vertical;
        int seed;         // position across the walls of the seed, relative to the cell
        int first, last;  // painted bands: [first, 16) and [0, last] when wrapping, else [first, last]
        bool wraps;
    } cases[] = {
        {true, 1, 13, 3, true},  {true, 14, 13, 3, true},  {true, 8, 5, 11, false},
        {false, 0, 13, 3, true}, {false, 15, 13, 3, true}, {false, 6, 5, 11, false},
    };
    const Color red = rgba(255, 0, 0, 255);  // as pixel() reads the fill of rgb(255, 0, 0)
    set_grid(0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.walls_vertical) + " seed " + std::to_string(c.seed));
        click(ClearButton);
        set_wrap(false);
        click(ToolLine);
        for (int wall : {4, 12}) {
            if (c.walls_vertical)
                drag(32 + wall, 32, 32 + wall, 47);
            else
                drag(32, 32 + wall, 47, 32 + wall);
        }
        set_wrap(true);
        answer_color(rgb(255, 0, 0));
        click(ColourButton);
        click(ToolFill);
        if (c.walls_vertical)
            press(32 + c.seed, 40);
        else
            press(40, 32 + c.seed);
        release(c.walls_vertical ? 32 + c.seed : 40, c.walls_vertical ? 40 : 32 + c.seed);
        for (int y = 16; y < 64; ++y) {
            for (int x = 16; x < 64; ++x) {
                const bool in_cell = x >= 32 && x < 48 && y >= 32 && y < 48;
                const int across = c.walls_vertical ? x - 32 : y - 32;
                const bool wall = in_cell && (across == 4 || across == 12);
                const bool filled = in_cell && !wall &&
                                    (c.wraps ? (across >= c.first || across <= c.last)
                                             : (across >= c.first && across <= c.last));
                ASSERT_EQ(pixel(DocumentImage, x, y), wall ? kBlack : filled ? red : 0u) << x << "," << y;
            }
        }
        choose_menu(MenuUndo);
        EXPECT_EQ(pixel(DocumentImage, 32 + 1, 32 + 1), 0u);
        EXPECT_EQ(pixel(DocumentImage, 32 + 14, 32 + 14), 0u);
        answer_color(rgb(0, 0, 0));
        click(ColourButton);
    }
}

TEST_F(WrapToolsTest, StrokesOutsideEveryCellOrWithWrapOffAreNotWrapped) {
    // Offset 3, gap 2: (1, 1) and (19, 30) lie in no cell; with wrap off nothing wraps.
    set_grid(3, 2);
    const struct {
        bool wrap;
        int x0, y0, x1, y1;
    } cases[] = {{true, 1, 1, 1, 60}, {true, 19, 30, 60, 30}, {false, 10, 10, 40, 10}};
    click(ToolLine);
    for (const auto& c : cases) {
        click(ClearButton);
        set_wrap(c.wrap);
        drag(c.x0, c.y0, c.x1, c.y1);
        for (int t = 0; t <= 10; ++t) {
            const int x = c.x0 + (c.x1 - c.x0) * t / 10, y = c.y0 + (c.y1 - c.y0) * t / 10;
            EXPECT_EQ(pixel(DocumentImage, x, y), kBlack) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace morvane::testing
