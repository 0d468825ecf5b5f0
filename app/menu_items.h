// Item numbers of the main window's menu bar, shared by the code that builds the menu
// (startup.cpp) and the dispatch table.
#pragma once

namespace morvane {

enum MenuItem : int {
    MenuNewImage = 0,
    MenuConvertTileSet = 1,
    MenuSave = 2,
    MenuOpen = 3,
    MenuExit = 5,
    MenuPreferences = 6,
    MenuResize = 7,
    MenuAbout = 8,
    MenuUndo = 9,
    MenuRedo = 10,
    MenuSaveAs = 11,
};

}  // namespace morvane
