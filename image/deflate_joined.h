// zlib streams made by libdeflate, a piece per thread, joined into one stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

/// Compresses `size` bytes into one zlib stream with libdeflate at `level` (1..12). Data of
/// at least 2 x `piece` bytes are cut into up to `threads` pieces compressed side by side;
/// each piece but the last has its final-block bit cleared and ends on an empty stored
/// block, so the pieces read as one stream (matches do not reach back across a cut). False
/// when memory runs out.
bool deflate_joined(const std::uint8_t* data, std::size_t size, int level, unsigned threads,
                    std::size_t piece, std::vector<std::uint8_t>& out);

}  // namespace morvane
