// What the editor keeps of its palette panel and of the Replace Colour dialog.
#pragma once

#include <string>
#include <vector>

#include "image/color.h"

namespace morvane {

struct PaletteState {
    std::string name;            // of the palette shown, as its file gave it
    std::vector<Color> colours;  // the swatches, in order
    // The Replace Colour dialog: its two colours, and whether picks (a swatch, Alt+click on
    // the picture) go to the "to" colour rather than the "from" colour.
    Color replace_from = 0xFF000000u;
    Color replace_to = 0xFF000000u;
    bool pick_to = false;
};

}  // namespace morvane
