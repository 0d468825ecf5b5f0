// Whole-file reading and atomic file writing for the picture codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

/// Reads a whole regular file into `out`. False when it cannot be opened, is larger than
/// 2^31 - 1 bytes, or delivers fewer bytes than its size.
bool file_read_all(const char* path, std::vector<std::uint8_t>& out);

/// Writes `size` bytes to `path` through a temporary file in the same folder that is
/// renamed over the target only when every byte was written. On failure the temporary
/// file is removed and an existing file at `path` is untouched.
bool file_write_atomic(const char* path, const void* data, std::size_t size);

}  // namespace morvane
