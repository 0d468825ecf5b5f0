// "Smallest PNG files": kept in its own small file beside the Open Recent list.
#pragma once

#include <string>

namespace morvane {

/// The file that keeps the choice: "smallest-png" in the folder of the Open Recent list;
/// "" when there is no configuration folder.
std::string smallest_png_path();
/// Reads the kept choice into the PNG encoder (off when the file is missing or unreadable).
void smallest_png_load();
/// Applies the choice to every PNG file written from now on and keeps it; false when it
/// could not be kept (it still applies to this run).
bool smallest_png_choose(bool on);

}  // namespace morvane
