// Tile mode through the editor: the sheet's grid with an offset and a gap (Tiled's desert
// sheet: 32 x 32 tiles, margin 1, spacing 1), strokes carried to every copy through each of
// the eight flips, one undo for all, unlinking, the fill kept in its cell and the status text.
#include "app/tiles/tile_grid_dialog.h"
#include "editor_fixture.h"
#include "shell/statusbar.h"

namespace morvane::testing {
namespace {

const char* kDesert = "/usr/share/doc/tiled/examples/tmw_desert_spacing.png";
constexpr int kTile = 32, kPitch = 33;  // the desert sheet: 32-pixel tiles, 1 pixel apart and around
constexpr Color kMagenta = 0xFFFF00FFu;

// Where pixel (x, y) of a 32 x 32 tile lands in a copy with Tiled's flip bits (diagonal 1,
// vertical 2, horizontal 4; diagonal first), worked out by hand for each of the eight.
struct FlipCase {
    std::uint8_t flips;
    int (*x)(int, int);
    int (*y)(int, int);
};
const FlipCase kFlips[] = {
    {0, [](int x, int) { return x; }, [](int, int y) { return y; }},
    {4, [](int x, int) { return 31 - x; }, [](int, int y) { return y; }},
    {2, [](int x, int) { return x; }, [](int, int y) { return 31 - y; }},
    {6, [](int x, int) { return 31 - x; }, [](int, int y) { return 31 - y; }},
    {1, [](int, int y) { return y; }, [](int x, int) { return x; }},
    {5, [](int, int y) { return 31 - y; }, [](int x, int) { return x; }},
    {3, [](int, int y) { return y; }, [](int x, int) { return 31 - x; }},
    {7, [](int, int y) { return 31 - y; }, [](int x, int) { return 31 - x; }},
};

class TilesModeTest : public EditorFixture {
  protected:
    Bitmap& picture() { return *state_.document.picture_or_null(); }
    std::vector<Color> pixels() {
        std::vector<Color> all;
        const Bitmap& b = picture();
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) all.push_back(bitmap_pixel(b, x, y));
        return all;
    }
    void put(int x, int y, Color c) {
        std::uint8_t* p = picture().row(y) + 4 * x;
        p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c), p[3] = std::uint8_t(c >> 24);
    }
    std::string tile_status(int x, int y) {
        hover(x, y);
        return statusbar_text(MainStatusBar, 3);
    }
    void open_desert_with_grid() {
        ASSERT_TRUE(open_image_file(state_, kDesert));
        ASSERT_EQ(state_.view.base_width, 265);
        ASSERT_EQ(state_.view.base_height, 199);
        state_.view.grid_width = state_.view.grid_height = kTile;
        state_.view.grid_offset = state_.view.grid_gap = 1;
    }
    // Cell c of the desert's top row: its top-left pixel.
    static int cell_x(int c) { return 1 + kPitch * c; }
};

TEST_F(TilesModeTest, TileGridDialogDrawsCellsWithOffsetAndGapAndRemembersThem) {
    ASSERT_TRUE(open_image_file(state_, kDesert));
    state_.view.grid_color = static_cast<std::int32_t>(kMagenta);
    choose_menu(MenuTileGrid);
    using namespace tile_grid_window;
    const std::pair<int, int> entries[] = {{TileWidthSpin, 32}, {TileHeightSpin, 32}, {OffsetSpin, 1}, {GapSpin, 1}};
    for (const auto& [spin, value] : entries) change_widget(spin, value, 768, TileGridWindow);
    click(OkButton);
    EXPECT_EQ(state_.view.grid_width, 32);
    EXPECT_EQ(state_.view.grid_height, 32);
    EXPECT_EQ(state_.view.grid_offset, 1);
    EXPECT_EQ(state_.view.grid_gap, 1);
    EXPECT_EQ(read_file((dir_ / "config" / "morvane" / "grid").string()), "offset=1\ngap=1\n");

    // Lines on the first pixel of each cell and the first pixel after it (the last column
    // and row at the picture's edge), none in the margin.
    const std::vector<int> columns = {1, 33, 34, 66, 67, 99, 100, 132, 133, 165, 166, 198, 199, 231, 232, 264};
    const std::vector<int> rows = {1, 33, 34, 66, 67, 99, 100, 132, 133, 165, 166, 198};
    const std::vector<std::uint32_t> view = view_compose_all(state_);
    ASSERT_EQ(view.size(), 265u * 199u);
    auto lined = [&](bool vertical, int at) {
        const int from = 1, to = vertical ? 198 : 264;
        for (int i = from; i <= to; ++i)
            if (view[std::size_t(vertical ? i * 265 + at : at * 265 + i)] != kMagenta) return false;
        return true;
    };
    for (int x = 0; x < 265; ++x)
        EXPECT_EQ(lined(true, x), std::count(columns.begin(), columns.end(), x) == 1) << "column " << x;
    for (int y = 0; y < 199; ++y)
        EXPECT_EQ(lined(false, y), std::count(rows.begin(), rows.end(), y) == 1) << "row " << y;
    EXPECT_NE(view[0], kMagenta);
    EXPECT_NE(view[100 * 265], kMagenta);

    // Cancel keeps the grid.
    choose_menu(MenuTileGrid);
    change_widget(TileWidthSpin, 16, 768, TileGridWindow);
    click(CancelButton);
    EXPECT_EQ(state_.view.grid_width, 32);

    // The next start reads the offset and gap back; values out of range are not taken.
    const struct {
        const char* file;
        int offset, gap;
    } stored[] = {{"offset=1\ngap=1\n", 1, 1}, {"gap=7\r\noffset=3\r\n", 3, 7}, {"offset=99999\ngap=-3\n", 0, 0},
                  {"offset=x\n", 0, 0}};
    for (const auto& s : stored) {
        write_file(tile_grid_place_path(), s.file);
        tile_grid_place_load(state_);
        EXPECT_EQ(state_.view.grid_offset, s.offset) << s.file;
        EXPECT_EQ(state_.view.grid_gap, s.gap) << s.file;
    }
    // pref.ini keeps its nine keys.
    exit_editor();
    const std::string prefs = read_file("pref.ini");
    EXPECT_EQ(std::count(prefs.begin(), prefs.end(), '='), 9) << prefs;
    EXPECT_EQ(prefs.find("gap"), std::string::npos);
}

TEST_F(TilesModeTest, StrokeReachesEveryFlippedCopyOnceUndoneAndUnlinked) {
    open_desert_with_grid();
    // A tile of seeded noise (no symmetry) in cell 0, and its eight flips in cells 0..7.
    std::vector<Color> tile(kTile * kTile);
    std::uint32_t seed = 12345;
    for (Color& c : tile) {
        seed = seed * 1103515245u + 12345u;
        c = 0xFF000000u | (seed >> 8 & 0xFFFFFFu);
    }
    for (int f = 0; f < 8; ++f)
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                put(cell_x(f) + kFlips[f].x(x, y), 1 + kFlips[f].y(x, y), tile[std::size_t(y * kTile + x)]);
    choose_menu(MenuTileMode);
    ASSERT_TRUE(state_.tools.tile_mode);
    const std::string first = tile_status(10, 10);
    EXPECT_EQ(first.rfind("Tile 1 of ", 0), 0u) << first;
    EXPECT_NE(first.find(", 8 copies"), std::string::npos) << first;
    const std::string cell9 = tile_status(cell_x(1) + 5, 1 + kPitch + 5), cell10 = tile_status(cell_x(2) + 5, 1 + kPitch + 5);

    const std::vector<Color> before = pixels();
    change_widget(12, 1);     // a box tip
    change_widget(11, 3, 4);  // of 3 pixels
    press(1 + 4, 1 + 6);
    move(1 + 20, 1 + 6);
    move(1 + 20, 1 + 1);  // along the cell's top row, beside the margin
    release(1 + 20, 1 + 1);
    const std::vector<Color> after = pixels();
    auto at = [](const std::vector<Color>& p, int x, int y) { return p[std::size_t(y * 265 + x)]; };
    EXPECT_EQ(at(after, 1 + 10, 1 + 6), 0xFF000000u);  // the stroke itself
    for (const FlipCase& f : kFlips) {
        const int c = int(&f - kFlips);
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                ASSERT_EQ(at(after, cell_x(c) + f.x(x, y), 1 + f.y(x, y)), at(after, 1 + x, 1 + y))
                    << "flips " << int(f.flips) << " pixel " << x << "," << y;
    }
    // Nothing outside the cells 0..7 changed: margins, gaps and the other tiles.
    for (int y = 0; y < 199; ++y)
        for (int x = 0; x < 265; ++x) {
            const bool in_copies = y >= 1 && y < 33 && x >= 1 && (x - 1) % kPitch < kTile && (x - 1) / kPitch < 8;
            if (!in_copies) {
                ASSERT_EQ(at(after, x, y), at(before, x, y)) << x << "," << y;
            }
        }

    // One undo gives every copy back; redo paints them all again.
    choose_menu(MenuUndo);
    EXPECT_EQ(pixels(), before);
    choose_menu(MenuRedo);
    EXPECT_EQ(pixels(), after);

    // Painting neither splits a group nor merges others: two tiles covered with one colour
    // stay as they were.
    click(5);  // the box tool
    drag(cell_x(1) - 1, 1 + kPitch - 1, cell_x(1) + kTile, 1 + kPitch + kTile);
    drag(cell_x(2) - 1, 1 + kPitch - 1, cell_x(2) + kTile, 1 + kPitch + kTile);
    EXPECT_EQ(tile_status(10, 10), first);
    EXPECT_EQ(tile_status(cell_x(1) + 5, 1 + kPitch + 5), cell9);
    EXPECT_EQ(tile_status(cell_x(2) + 5, 1 + kPitch + 5), cell10);

    // Unlink Tile takes the cell under the pointer out of its group.
    hover(cell_x(3) + 5, 5);
    choose_menu(MenuUnlinkTile);
    EXPECT_NE(tile_status(cell_x(3) + 5, 5).find(", 1 copy"), std::string::npos);
    EXPECT_NE(tile_status(10, 10).find(", 7 copies"), std::string::npos);
    const std::vector<Color> unlinked = pixels();
    click(3);  // the brush
    press(1 + 8, 1 + 20);
    release(1 + 8, 1 + 20);
    const std::vector<Color> last = pixels();
    EXPECT_EQ(at(last, 1 + 8, 1 + 20), 0xFF000000u);
    EXPECT_EQ(at(last, cell_x(1) + 31 - 8, 1 + 20), 0xFF000000u);  // the mirrored copy follows
    for (int y = 1; y < 33; ++y)
        for (int x = cell_x(3); x < cell_x(3) + kTile; ++x) ASSERT_EQ(at(last, x, y), at(unlinked, x, y)) << x << "," << y;

    // With a selection, every cell it touches leaves its group: here the right edge of cell 4
    // and the left edge of cell 5 across the gap between them.
    state_.document.selection.rect = Rect{cell_x(4) + 30, 5, cell_x(5) + 2, 7};
    choose_menu(MenuUnlinkTile);
    state_.document.selection.rect = Rect{};
    EXPECT_NE(tile_status(10, 10).find(", 5 copies"), std::string::npos);
    EXPECT_NE(tile_status(cell_x(4) + 5, 5).find(", 1 copy"), std::string::npos);
    EXPECT_NE(tile_status(cell_x(5) + 5, 5).find(", 1 copy"), std::string::npos);
    EXPECT_NE(tile_status(cell_x(6) + 5, 5).find(", 5 copies"), std::string::npos);
}

TEST_F(TilesModeTest, FillStaysInItsCellAndTransparentCellsAreLeftAlone) {
    // 256 x 256 transparent, 16-pixel cells: cells 0 and 2 hold the same dot, mirrored, the
    // rest nothing.
    state_.view.grid_width = state_.view.grid_height = 16;
    put(0, 0, 0xFF0000FFu);
    put(47, 0, 0xFF0000FFu);
    choose_menu(MenuTileMode);
    const struct {
        int x, y;
        const char* status;
    } statuses[] = {{5, 5, "Tile 1 of 1, 2 copies"}, {37, 5, "Tile 1 of 1, 2 copies"}, {20, 5, "No tile"}};
    for (const auto& s : statuses) EXPECT_EQ(tile_status(s.x, s.y), s.status) << s.x;

    click(7);  // fill the transparent part of cell 0
    press(8, 8);
    release(8, 8);
    change_widget(12, 1);
    change_widget(11, 3, 4);
    click(3);
    press(24, 8);  // a dot in the transparent cell 1
    release(24, 8);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            Color want = 0;
            if (y < 16 && (x < 16 || (x >= 32 && x < 48))) want = ((x == 0 || x == 47) && y == 0) ? 0xFF0000FFu : 0xFF000000u;
            if (x >= 23 && x <= 25 && y >= 7 && y <= 9) want = 0xFF000000u;
            ASSERT_EQ(pixel(DocumentImage, x, y), want) << x << "," << y;
        }
    EXPECT_EQ(tile_status(300, 5), "");

    // Group numbers in the cells, the group under the pointer outlined (orange, two pixels
    // inside each cell) and its mirrored copy marked in its top-right corner.
    choose_menu(MenuShowTileNumbers);
    hover(5, 5);
    const std::vector<std::uint32_t> view = view_compose_all(state_);
    constexpr std::uint32_t kOrange = 0xFFFF8C00u, kWhite = 0xFFFFFFFFu;
    const struct {
        int x, y;
        bool orange, white;
    } marks[] = {
        {0, 8, true, false},   {1, 8, true, false},   {2, 8, false, false}, {15, 8, true, false},
        {32, 8, true, false},  {47, 8, true, false},  {16, 8, false, false}, {8, 15, true, false},
        {43, 3, true, false},  {11, 3, false, false},  // the mark on the mirrored copy only
        {4, 3, false, true},   {3, 3, false, false},  {36, 3, false, true},  // the "1" of both cells
        {20, 3, false, false},                                                // none in cell 1
    };
    for (const auto& m : marks) {
        const std::uint32_t shown = view[std::size_t(m.y * 256 + m.x)];
        EXPECT_EQ(shown == kOrange, m.orange) << m.x << "," << m.y << " " << std::hex << shown;
        EXPECT_EQ(shown == kWhite, m.white) << m.x << "," << m.y << " " << std::hex << shown;
    }
}

}  // namespace
}  // namespace morvane::testing
