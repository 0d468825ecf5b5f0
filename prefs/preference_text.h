// The text side of preference files: decoding file bytes, splitting the text into entries,
// building the text written back, and the value conversions. No file access here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/preferences.h"

namespace morvane {

/// The bytes of a file as UTF-8 text: after a leading EF BB BF the rest is taken as is;
/// otherwise each byte is an ISO 8859-1 character (0x80-0xFF become two UTF-8 bytes).
/// Sets utf8_marked when the mark was present.
std::string preference_decode(std::string_view bytes, bool& utf8_marked);

/// ISO 8859-1 bytes converted to UTF-8.
std::string preference_latin1_to_utf8(std::string_view bytes);

/// Splits UTF-8 text into entries. The text ends at its first zero byte; runs of CR and LF end
/// lines, and a line holding only spaces and tabs produces nothing.
std::vector<PreferenceEntry> preference_parse(std::string_view text);

/// The file text for the entries: with utf8, the byte-order mark and an empty first line; every
/// line ends in CR LF.
std::string preference_render(const std::vector<PreferenceEntry>& entries, unsigned flags, bool utf8);

/// Signed 64-bit decimal scan: leading white space, an optional sign, digits; text after the
/// digits is ignored; no digits give 0; values beyond the range give the nearest limit.
std::int64_t preference_scan_integer(std::string_view text);

/// The text with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD.
std::string preference_valid_utf8(std::string_view text);

/// Equality of two keys with ASCII letter case ignored.
bool preference_key_equal(std::string_view a, std::string_view b);

/// Index of the first key entry named key before the first group header, or -1.
std::ptrdiff_t preference_find_key(const std::vector<PreferenceEntry>& entries, std::string_view key);

/// Index at which a new key goes: that of the first group header, or the end of the list.
std::size_t preference_insert_position(const std::vector<PreferenceEntry>& entries);

}  // namespace morvane
