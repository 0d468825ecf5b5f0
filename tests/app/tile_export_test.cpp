// File > "Export as Tiled Map...": the sheet, TSX and TMX written together, read back by
// Tiled's own renderer (tmxrasterizer), which must draw every cell of the picture again.
#include <cstdio>
#include <random>
#include <regex>
#include <sstream>

#include "app/editor_state.h"
#include "editor_fixture.h"
#include "image/codec.h"

namespace morvane::testing {
namespace {

// Tiled's flags: a tile is drawn transposed first, then mirrored left-right, then upside down.
enum : std::uint32_t { D = 0x20000000u, V = 0x40000000u, H = 0x80000000u };
constexpr int kEmpty = -1, kColourUnderZeroAlpha = -2;

struct Cell {
    int tile;  // 0, 1: random tiles a and b; or kEmpty, kColourUnderZeroAlpha
    std::uint32_t flips;
};

std::uint32_t shown(std::uint32_t argb) {
    return argb >> 24 ? argb : 0;
}
std::uint32_t pixel_of(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.row(y) + x * (b.bpp / 8);
    const std::uint32_t a = b.bpp == 32 ? p[3] : 255;
    return shown(a << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
}

class TileExport : public EditorFixture {
  protected:
    // Cell (x, y) of a w x h tile shown with `flips`, in Tiled's order.
    static std::uint32_t tile_pixel(const std::vector<std::uint32_t>& tile, int w, int h, std::uint32_t flips,
                                    int x, int y) {
        if (flips & V) y = ((flips & D) ? w : h) - 1 - y;
        if (flips & H) x = ((flips & D) ? h : w) - 1 - x;
        if (flips & D) std::swap(x, y);
        return tile[static_cast<std::size_t>(y * w + x)];
    }
    // Writes pic.png: the cells at offset + k x (size + gap), `extra` pixels right and below.
    // Returns the cells packed edge to edge, as the map must draw them.
    std::vector<std::uint32_t> make_picture(int w, int h, int columns, const std::vector<Cell>& cells,
                                            int offset, int gap, int extra) {
        std::mt19937 random(static_cast<unsigned>(w * 131 + h));
        std::vector<std::uint32_t> tiles[2];
        for (auto& t : tiles) {
            for (int i = 0; i < w * h; ++i)
                t.push_back(random() % 7 == 0 ? random() & 0xFFFFFF : random() | 0xFF000000u);
        }
        const int rows = static_cast<int>(cells.size()) / columns;
        const int width = offset + columns * (w + gap) - gap + extra,
                  height = offset + rows * (h + gap) - gap + extra;
        EXPECT_NE(image_create(60, width, height, 32), 0);
        const Bitmap* b = bitmap_from_handle(image_handle(60));
        for (int y = 0; y < height; ++y) std::memset(b->row(y), 0, static_cast<std::size_t>(4 * width));
        std::vector<std::uint32_t> packed(static_cast<std::size_t>(columns * w * rows * h));
        for (std::size_t i = 0; i < cells.size(); ++i) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const Cell& c = cells[i];
                    const std::uint32_t v = c.tile >= 0 ? tile_pixel(tiles[c.tile], w, h, c.flips, x, y)
                                            : c.tile == kEmpty ? 0
                                                               : 0x00C81010u;
                    const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
                    std::memcpy(b->row(offset + row * (h + gap) + y) + 4 * (offset + col * (w + gap) + x), &v,
                                4);
                    packed[static_cast<std::size_t>((row * h + y) * columns * w + col * w + x)] = shown(v);
                }
            }
        }
        EXPECT_EQ(image_save(60, "pic.png", FormatPng), 1);
        image_free(60);
        answer_file((dir_ / "pic.png").string());
        choose_menu(MenuOpenImage);
        return packed;
    }
    void set_grid(int w, int h, int offset, int gap) {
        state_.view.grid_width = static_cast<std::int16_t>(w),
        state_.view.grid_height = static_cast<std::int16_t>(h);
        state_.view.grid_offset = static_cast<std::int16_t>(offset),
        state_.view.grid_gap = static_cast<std::int16_t>(gap);
    }
};

// Tiled draws the map; its picture must be the cells, pixel for pixel. Where Tiled is
// missing the test fails: scripts/setup.sh installs it.
void expect_tiled_draws(const std::string& tmx, int width, int height,
                        const std::vector<std::uint32_t>& packed) {
    const std::string command =
        "QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing '" + tmx + "' drawn.png 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << "tmxrasterizer (Debian's tiled) failed or is missing";
    ASSERT_NE(image_load(61, "drawn.png"), 0);
    const Bitmap* drawn = bitmap_from_handle(image_handle(61));
    ASSERT_EQ(drawn->width, width);
    ASSERT_EQ(drawn->height, height);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            wrong += pixel_of(*drawn, x, y) != packed[static_cast<std::size_t>(y * width + x)];
    EXPECT_EQ(wrong, 0) << "pixels Tiled draws differently";
    image_free(61);
}

TEST_F(TileExport, TiledDrawsTheCellsAgainFromTheReusedTiles) {
    // clang-format off
    const std::vector<Cell> square{{0, 0}, {0, H}, {0, V}, {0, D}, {0, H | V}, {0, D | H}, {0, D | V}, {0, D | H | V},
                                   {kEmpty, 0}, {1, 0}, {kColourUnderZeroAlpha, 0}, {0, 0},
                                   {1, 0}, {1, D | V}, {0, 0}, {1, H}};
    // clang-format on
    const std::vector<Cell> oblong{{1, 0}, {1, H}, {1, V}, {1, H | V}, {kEmpty, 0},
                                   {0, 0}, {0, 0}, {0, V}, {1, 0}};
    const struct Case {
        int w, h, columns;
        const std::vector<Cell>& cells;
        int offset, gap, extra;
        const char* stray;  // the question about pixels outside the cells, "" for none
    } cases[] = {
        {8, 8, 4, square, 0, 0, 0, ""},
        {8, 8, 4, square, 3, 2, 5, ""},  // transparent margins, gaps and a partial last column and row
        {8, 5, 3, oblong, 1, 1, 0, "1 pixel of the picture (the first at 9, 0) lies outside every cell"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " offset " + std::to_string(c.offset));
        std::vector<std::uint32_t> packed =
            make_picture(c.w, c.h, c.columns, c.cells, c.offset, c.gap, c.extra);
        set_grid(c.w, c.h, c.offset, c.gap);
        if (*c.stray) {
            // One opaque pixel in the top margin above the gap after the first cell.
            Bitmap* b = state_.document.picture_or_null();
            b->row(0)[4 * (c.offset + c.w) + 3] = 255;
            answer_message(ContinueAction);
        }
        answer_file("maps/level", 0);
        std::filesystem::create_directory("maps");
        choose_menu(MenuExportTiledMap);
        const DialogRequest& save = requests_.back();
        EXPECT_EQ(save.kind, DialogKind::SaveFile);
        EXPECT_EQ(save.title, "Export as Tiled Map...");
        EXPECT_EQ(save.pattern, "Tiled map|*.tmx");
        EXPECT_EQ(save.default_file, (dir_ / "pic-map.tmx").string());
        if (*c.stray) {
            EXPECT_NE(requests_[requests_.size() - 2].text.find(c.stray), std::string::npos);
        }

        // The map reuses tiles: a and b once each, every copy a number with Tiled's flip bits.
        const std::string tmx = read_file("maps/level.tmx");
        EXPECT_NE(tmx.find("source=\"level.tsx\""), std::string::npos);
        EXPECT_NE(read_file("maps/level.tsx").find("tilecount=\"2\""), std::string::npos);
        std::smatch data;
        ASSERT_TRUE(std::regex_search(tmx, data, std::regex("<data encoding=\"csv\">([^<]*)</data>")));
        std::vector<std::uint32_t> gids;
        std::stringstream csv(std::regex_replace(data[1].str(), std::regex(","), " "));
        for (std::uint32_t g; csv >> g;) gids.push_back(g);
        std::vector<std::uint32_t> expected;
        const int first_tile = c.cells[0].tile;  // the sheet keeps tiles in the order they first appear
        for (const Cell& cell : c.cells)
            expected.push_back(cell.tile < 0 ? 0 : (cell.tile == first_tile ? 1u : 2u) | cell.flips);
        EXPECT_EQ(gids, expected);
        expect_tiled_draws("maps/level.tmx", c.columns * c.w,
                           static_cast<int>(c.cells.size()) / c.columns * c.h, packed);
        std::filesystem::remove_all("maps");
    }
}

// Whatever stops the export, the user is told and no file is written or changed.
TEST_F(TileExport, RefusesWithAMessageAndWritesAllOrNothing) {
    const std::vector<Cell> clear(4, Cell{kEmpty, 0});
    const std::vector<Cell> two{{0, 0}, {1, 0}, {0, H}, {kEmpty, 0}};
    const std::vector<Cell> other{{1, 0}, {0, V}, {kEmpty, 0}, {1, 0}};
    const struct Case {
        const std::vector<Cell>& cells;
        int grid;
        std::vector<DialogReply> replies;
        const char* folder;  // in the way of a file
        const char* message;
        bool written;  // level.png, .tsx and .tmx made now; else none (or, after No, none changed)
        bool keep;     // the files of the case before stay
    } cases[] = {
        // clang-format off
        {clear, 8, {}, "", "Cannot export the Tiled map.\nEvery cell of the picture is fully transparent", false, false},
        {two, 32, {}, "", "Cannot export the Tiled map.\nTiles of 32x32 leave no whole tile in the 16x16 picture.",
         false, false},
        {two, 8, {{0, "pic", 0}}, "", "cannot replace the picture they are made from: pic.png\nChoose another name.",
         false, false},
        {two, 8, {{0, "level.tmx", 0}, {6, "", 0}}, "level.tsx", "level.tsx: it is a folder", false, false},
        {two, 8, {{0, "level", 0}}, "", "", true, false},
        {other, 8, {{0, "level", 0}, {7, "", 0}}, "", "", false, true},
        {other, 8, {{0, "", 0}}, "", "", false, false},  // cancelled
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        for (const char* f : {"level.png", "level.tsx", "level.tmx"})
            if (!c.keep) std::filesystem::remove(f);
        const std::string before = read_file("level.tmx");
        make_picture(8, 8, 2, c.cells, 0, 0, 0);
        set_grid(c.grid, c.grid, 0, 0);
        if (*c.folder) std::filesystem::create_directory(c.folder);
        for (const DialogReply& r : c.replies) replies_.push_back(r);
        if (*c.message) answer_message(1);
        const std::size_t asked = requests_.size();
        choose_menu(MenuExportTiledMap);
        ASSERT_EQ(requests_.size(), asked + c.replies.size() + (*c.message ? 1 : 0));
        if (*c.message) {
            EXPECT_NE(requests_.back().text.find(c.message), std::string::npos) << requests_.back().text;
        }
        if (c.replies.size() == 2) {  // the question before replacing names every file there
            const std::string& ask = requests_[asked + 1].text;
            EXPECT_EQ(ask, c.keep ? "These files exist. Replace them?\nlevel.png\nlevel.tsx\nlevel.tmx"
                                  : "These files exist. Replace them?\nlevel.tsx");
        }
        if (c.keep) {
            EXPECT_EQ(read_file("level.tmx"), before);
            EXPECT_NE(before.find("<map"), std::string::npos);
        } else {
            EXPECT_EQ(file_exists("level.png"), c.written);
            EXPECT_EQ(std::filesystem::is_regular_file("level.tsx"), c.written);
            EXPECT_EQ(file_exists("level.tmx"), c.written);
        }
        if (*c.folder) std::filesystem::remove(c.folder);
    }
}

}  // namespace
}  // namespace morvane::testing
