// Preference files: a small text file of "key = value" lines, optionally divided by
// "[group]" headers and annotated with "; comment" lines. One file is current per process;
// opening reads it into an ordered entry list, reads and writes work on that list, and
// closing writes it back (only when something was written).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// Options for writing a file back; combine with "|".
enum PreferenceFlags : unsigned {
    /// Write "key=value" instead of "key = value".
    CompactEquals = 1,
    /// Write an empty line before every group header except the first one.
    GroupSpacing = 2,
};

enum class PreferenceEntryKind { Group, Comment, Key };

/// One line of a preference file, in file order.
struct PreferenceEntry {
    PreferenceEntryKind kind = PreferenceEntryKind::Key;
    /// Group name (between "[" and "]"), comment text (after "; ") or key name (UTF-8).
    std::string text;
    /// Value of a key (UTF-8, leading blanks removed, trailing blanks kept); empty otherwise.
    std::string value;
};

/// The current preference file.
struct PreferenceFile {
    /// Open descriptor of the file, or -1.
    int file = -1;
    /// Name the open file was opened or created under.
    std::string path;
    /// The file name, kept only when opening found no file: writes create it on close.
    std::string remembered_name;
    /// Set by every write; cleared after a successful write-back.
    bool modified = false;
    /// The file could only be opened without write access; it is never written back.
    bool read_only = false;
    /// The text is UTF-8 (always so after opening or creating): written back with a byte-order mark.
    bool utf8 = false;
    std::vector<PreferenceEntry> entries;
    /// PreferenceFlags given when opening or creating.
    unsigned flags = 0;
};

/// Closes the current file, then opens and reads the named existing file. Files starting with
/// EF BB BF are UTF-8; others are read as ISO 8859-1. A file that can only be opened for reading
/// is read and marked read only. Returns true when a file was opened; when no file of that name
/// exists, returns false and remembers the name: reads give their defaults, and writes create the
/// file on close. Any other failure (unreadable file, not a regular file) returns false and
/// leaves no current file.
bool preference_open(std::string_view name, unsigned flags = 0);

/// Closes the current file, then creates the named file, emptying any existing one.
/// Returns false when the file cannot be created.
bool preference_create(std::string_view name, unsigned flags = 0);

/// Writes the current file back if modified and releases it.
void preference_close();

/// Writes the current file back if modified and keeps it current.
void preference_flush();

/// The first key of that name (ASCII case ignored) before the first group header, scanned as a
/// signed 64-bit decimal number (a value that does not start with a number reads as 0);
/// default_value when the key or the current file is absent.
std::int64_t preference_read_integer(std::string_view key, std::int64_t default_value);

/// The value of the key with leading and trailing spaces and tabs removed (invalid UTF-8 bytes
/// replaced by U+FFFD); default_value when the key or the current file is absent.
std::string preference_read_string(std::string_view key, std::string_view default_value);

/// Stores the number in decimal under the key (see preference_write_string).
void preference_write_integer(std::string_view key, std::int64_t value);

/// Stores the value under the first key of that name before the first group header, respelling
/// the key as given; a new key is inserted just before the first group header. Values are stored
/// verbatim. Does nothing when there is no current file and no remembered name.
void preference_write_string(std::string_view key, std::string_view value);

/// The current preference file record (for inspection).
const PreferenceFile& preference_current();

}  // namespace morvane
