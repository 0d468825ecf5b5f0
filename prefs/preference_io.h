// File access for preference files: opening with the read-only fallback, reading whole files,
// creating, and replacing a file's contents without ever leaving it half written.
#pragma once

#include <string>
#include <string_view>

namespace morvane {

enum class PreferenceOpenResult { Opened, Missing, Failed };

/// Opens an existing regular file for reading and writing, or failing that for reading only
/// (read_only is then set). Missing: no file of that name; Failed: it exists but cannot be
/// opened, or is not a regular file. fd is set only when Opened.
PreferenceOpenResult preference_open_file(const std::string& path, int& fd, bool& read_only);

/// Reads the whole file from its start. False on a read error or a file above the size limit.
bool preference_read_file(int fd, std::string& bytes);

/// Creates the file, or empties an existing one; returns its descriptor or -1.
int preference_create_file(const std::string& path);

/// Replaces the contents of the file named path with text: writes a new file beside it, syncs it,
/// gives it the permissions of the old file and renames it over the old one. The old file is left
/// untouched on any failure. Returns a read-write descriptor of the new file, or -1.
/// A symbolic link is followed: its target is replaced, the link kept.
int preference_replace_file(const std::string& path, std::string_view text);

/// True when the file named path is absent or can be opened for writing: replacing it then does
/// not override the file's own permissions.
bool preference_may_replace(const std::string& path);

/// Closes a descriptor if it is not -1.
void preference_close_file(int fd);

}  // namespace morvane
