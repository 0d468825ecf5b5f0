// Whole-file reading and atomic file writing for the picture codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <vector>

namespace morvane {

/// Reads a whole regular file into `out`. False when it cannot be opened, is larger than
/// 2^31 - 1 bytes, or delivers fewer bytes than its size.
bool file_read_all(const char* path, std::vector<std::uint8_t>& out);

/// Writes `size` bytes to `path` through a temporary file in the same folder that is
/// renamed over the target only when every byte was written. On failure the temporary
/// file is removed and an existing file at `path` is untouched.
bool file_write_atomic(const char* path, const void* data, std::size_t size);

/// Writes all `size` bytes to an open descriptor, retrying after interruptions. False when
/// the system refuses a write (errno tells why).
bool file_write_all(int fd, const std::uint8_t* data, std::size_t size);

/// The mode a newly created file gets: 0666 less the process's umask.
mode_t file_created_mode();

}  // namespace morvane
