// Menu bars with items painted by the shell (the drawn look).
#pragma once

#include <cstdint>
#include <string>

#include "image/color.h"

namespace morvane {

/// Style of menu_create_drawn: flat, or a gradient column beside the items.
enum MenuStyle : int { FlatStyle = 0, GradientStyle = 1 };

/// Creates an empty menu bar for a window (given by its handle), makes it the menu being
/// built and turns on the drawn look. Non-zero on success.
int menu_create_drawn(ObjectNumber number, std::intptr_t window_handle, int style);
/// Appends a top-level entry and makes its drop-down the current menu.
void menu_title(const std::string& text);
/// Appends an item to the current menu; `image` is an image handle (0 for none). The
/// caption may hold a tab: the text after it is shown right-aligned as a hint.
void menu_item(int id, const std::string& text, std::intptr_t image = 0);
void menu_separator();
/// Appends an entry that opens a new drop-down and makes that drop-down current.
void menu_open_submenu(const std::string& text);
/// Makes the drop-down that was current before the last menu_open_submenu current again.
void menu_close_submenu();
/// Shows (mark non-zero) or removes the check mark of item id.
void menu_set_item_checked(ObjectNumber number, int id, int mark);
/// Whether item id of a menu shows its check mark (0 when absent).
int menu_item_checked(ObjectNumber number, int id);
/// Makes item id choosable (enabled non-zero) or greyed; a greyed item posts no event.
void menu_set_item_enabled(ObjectNumber number, int id, int enabled);
/// Whether item id of a menu can be chosen (0 when greyed or absent).
int menu_item_enabled(ObjectNumber number, int id);
/// Removes a menu bar from its window.
void menu_free(ObjectNumber number);

}  // namespace morvane
