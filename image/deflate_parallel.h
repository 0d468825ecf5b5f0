// zlib streams compressed by several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace morvane {

/// Compresses `size` bytes into one zlib stream (header, deflate data, Adler-32) at
/// compression `level`, cutting the data into blocks that are compressed side by side on up
/// to `threads` threads. Each block after the first is primed with the 32 KiB before it,
/// so matches reach back across the cuts as in a single stream. The stream is returned in
/// pieces to be written one after another (the header in the first, the checksum in the
/// last). The bytes do not depend on the number of threads. False when memory runs out or zlib fails.
bool deflate_parallel(const std::uint8_t* data, std::size_t size, int level, unsigned threads,
                      std::vector<std::vector<std::uint8_t>>& pieces);

/// Writes bytes [begin, end) of the data to be compressed into `out` (called from several
/// threads at once, for ranges of at most DeflateBlock + 32 KiB bytes).
using DeflateSource = std::function<void(std::size_t begin, std::size_t end, std::uint8_t* out)>;

/// The same for data made on demand, block by block, so it never has to exist in one piece.
bool deflate_parallel(std::size_t size, const DeflateSource& source, int level, unsigned threads,
                      std::vector<std::vector<std::uint8_t>>& pieces);

/// Size of the blocks deflate_parallel cuts the data into.
inline constexpr std::size_t DeflateBlock = std::size_t{1} << 20;

}  // namespace morvane
