// Pixels of a rectangle as the undo history keeps them: one value when every pixel holds
// it, otherwise an LZ4 block (the rows as they are when that does not make them smaller).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace morvane {

struct PackedPixels {
    std::unique_ptr<std::uint8_t[]> data;  // null when uniform
    std::uint32_t size = 0;                // bytes in data
    std::uint32_t value = 0;               // the pixel of a uniform rectangle, in its stored bytes

    bool uniform() const { return !data; }
};

/// Buffers reused from one rectangle to the next.
struct PackScratch {
    std::vector<std::uint8_t> rows, block;
    // The compressor's state, set up once and reset cheaply for each rectangle (a fresh state
    // clears its whole table every time, which costs more than packing a small rectangle).
    std::vector<std::uint64_t> lz4_state;
};

/// True when all `width` x `height` pixels of `px` bytes, rows `stride` bytes apart from
/// `first`, are equal; `value` then holds the pixel's bytes.
bool pixels_uniform(const std::uint8_t* first, std::ptrdiff_t stride, int width, int height, int px,
                    std::uint32_t* value);

/// True when one of the pixels (laid out as for pixels_uniform) equals `value`.
bool pixels_hold(const std::uint8_t* first, std::ptrdiff_t stride, int width, int height, int px,
                 std::uint32_t value);

/// Index of the first byte where `a` and `b` (`n` bytes each) differ; `n` when none does.
std::size_t first_difference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n);
/// Index of the last byte where they differ; `n` when none does.
std::size_t last_difference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n);

/// Packs a rectangle of pixels (rows `stride` apart; 0 repeats one row): its value when
/// uniform, else its rows compressed (`compress`) or as they are. Throws std::bad_alloc
/// without memory.
PackedPixels pack_pixels(const std::uint8_t* first, std::ptrdiff_t stride, int width, int height, int px,
                         PackScratch& scratch, bool compress = true);
/// Compresses packed rows kept as they are (`raw_bytes` long); others are left alone.
void compress_packed(PackedPixels& packed, std::size_t raw_bytes, PackScratch& scratch);
/// A rectangle known to hold one value.
PackedPixels pack_uniform(std::uint32_t value);

/// Writes packed pixels back into rows `stride` apart. False when the block does not
/// decode to exactly the rectangle (nothing is written then).
bool unpack_pixels(const PackedPixels& packed, std::uint8_t* first, std::ptrdiff_t stride, int width,
                   int height, int px, PackScratch& scratch);

/// Bytes a packed rectangle holds beyond its record.
inline std::size_t packed_bytes(const PackedPixels& packed) {
    return packed.size;
}

}  // namespace morvane
