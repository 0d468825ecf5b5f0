// Status bars: a strip of text fields along the bottom of a window.
#pragma once

#include <cstdint>
#include <string>

#include "image/color.h"

namespace morvane {

/// Field width that shares what the fixed-width fields leave.
inline constexpr int FillWidth = -65535;

enum StatusTextFlags : int { StatusRaised = 1, StatusBorderless = 2, StatusCentered = 4, StatusRight = 8 };

/// Attaches a status bar to the bottom of a window (given by its handle) and makes it the
/// target of statusbar_add_field. Non-zero on success.
int statusbar_create(ObjectNumber number, std::intptr_t window_handle);
/// Appends a field to the last created status bar; ignored once it has 256 fields.
void statusbar_add_field(int width);
/// Sets a field's text; flags 0 left-aligned sunken, 1 raised, 2 no border, 4 centred,
/// 8 right-aligned.
void statusbar_set_text(ObjectNumber number, int field, const std::string& text, int flags = 0);
/// Gives a field the width its text needs, at least `min_width` pixels.
void statusbar_fit_field(ObjectNumber number, int field, int min_width);
/// Releases a status bar.
void statusbar_free(ObjectNumber number);

/// Layout queries: number of fields, a field's right edge in bar pixels (-1 when absent),
/// its current text.
int statusbar_field_count(ObjectNumber number);
int statusbar_field_end(ObjectNumber number, int field);
std::string statusbar_text(ObjectNumber number, int field);

}  // namespace morvane
