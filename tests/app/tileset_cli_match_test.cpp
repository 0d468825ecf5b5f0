// The command line's classic layout gives the dialog's picture and TileList byte for byte.
#include <cstdlib>
#include <filesystem>

#include "app/editor_state.h"
#include "editor_fixture.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

class TilesetCliMatch : public EditorFixture {};

TEST_F(TilesetCliMatch, ClassicLayoutEqualsTheDialog) {
    const struct {
        int width, height, tile, columns, space;
    } cases[] = {
        {320, 320, 32, 10, 0}, {320, 320, 32, 10, 2}, {100, 64, 32, 10, 0},
        {100, 100, 32, 10, 0}, {64, 40, 8, 3, 5},     {256, 256, 32, 10, 0},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " tile " << c.tile << " columns "
                                          << c.columns << " space " << c.space);
        const std::string name = "set" + std::to_string(round++);
        answer_file(name, 0);
        answer_message(1);  // the prefix
        write_test_picture("in.png", c.width, c.height);
        replies_.push_front(DialogReply{0, (dir_ / "in.png").string(), 0});
        LoopScript script(TileSetWindow);
        script.change(29, c.tile).change(31, c.columns).change(tileset_window::SpaceSpin, c.space).click(34);
        choose_menu(1);
        ASSERT_TRUE(file_exists(name + ".png"));

        std::filesystem::create_directory("cli");
        const std::string command = std::string("'") + MORVANE_TILESET_CLI + "' --tile " +
                                    std::to_string(c.tile) + "x" + std::to_string(c.tile) + " --columns " +
                                    std::to_string(c.columns) + " --spacing " + std::to_string(c.space) +
                                    " --list cli/list.txt in.png cli/" + name + ".png";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string dialog_png = read_file(name + ".png"), cli_png = read_file("cli/" + name + ".png");
        EXPECT_FALSE(dialog_png.empty());
        EXPECT_TRUE(dialog_png == cli_png) << "the pictures differ";
        EXPECT_EQ(read_file("cli/list.txt"), read_file(name + " subimages.txt"));
    }
}

}  // namespace
}  // namespace morvane::testing
