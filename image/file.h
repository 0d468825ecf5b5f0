// Whole-file reading and atomic file writing for the picture codecs and every saved file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <string>
#include <vector>

namespace morvane {

/// Reads a whole regular file into `out`. False when it cannot be opened, is larger than
/// 2^31 - 1 bytes, or delivers fewer bytes than its size.
bool file_read_all(const char* path, std::vector<std::uint8_t>& out);
/// The same, returning 0 or the reason as an errno value (EISDIR for a folder, EFBIG for a
/// file too large, EINVAL for one that is not a regular file, EIO for one that shrank).
int file_read_whole(const char* path, std::vector<std::uint8_t>& out);
/// An errno value in the words every program shows ("no such file", "it is a folder",
/// "permission denied", ...).
std::string file_error_text(int code);

/// Writes `size` bytes to `path` through a temporary file in the target's folder that is
/// renamed over the target only when every byte was written. A symbolic link is followed
/// (chains too): its final target is replaced and the link stays. An existing file keeps its
/// permission bits and, where the user may set it, its group; a new file gets the mode of
/// file_created_mode. A file the user may not write is refused. On failure the temporary
/// file is removed, an existing file is untouched and `why` (when given) says why.
bool file_write_atomic(const char* path, const void* data, std::size_t size, std::string* why = nullptr);

/// A file written completely beside its target, waiting to be renamed over it.
struct StagedFile {
    std::string target;  // where the data goes: the path with its symbolic links followed
    std::string temp;    // the complete temporary file; empty when none is held
};

/// Why `path` cannot be written ("it is a folder", "the file is read-only (permission
/// denied)", "no folder F", "the folder F is not writable", ...), or an empty text when it
/// can; `target` receives the file really written (links followed).
std::string file_write_problem(const std::string& path, std::string* target = nullptr);
/// Writes `size` bytes into a temporary file beside the target of `path`, with the mode and
/// group the target must get. Returns why it failed (nothing is left then), or an empty text.
std::string file_stage(const std::string& path, const void* data, std::size_t size, StagedFile* staged);
/// Renames a staged file over its target; returns why it failed, or an empty text.
std::string file_commit(StagedFile* staged);
/// Removes a staged file that will not be committed.
void file_discard(StagedFile* staged);

/// Writes all `size` bytes to an open descriptor, retrying after interruptions. False when
/// the system refuses a write (errno tells why).
bool file_write_all(int fd, const std::uint8_t* data, std::size_t size);

/// The mode a newly created file gets: 0666 less the process's umask.
mode_t file_created_mode();

}  // namespace morvane
