// Pieces compressed apart by libdeflate, whose streams always end on a final block, are
// chained the way gzjoin does: inflate finds where each piece's last block starts, its final
// bit is cleared and an empty stored block brings the piece to a byte boundary.
#include "image/deflate_joined.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <new>
#include <thread>

namespace morvane {

namespace {

// Raw deflate data of one piece; empty on failure.
std::vector<std::uint8_t> compress_piece(const std::uint8_t* data, std::size_t size, int level) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    if (!compressor) return {};
    std::vector<std::uint8_t> out;
    try {
        out.resize(libdeflate_deflate_compress_bound(compressor, size));
        out.resize(libdeflate_deflate_compress(compressor, data, size, out.data(), out.size()));
    } catch (const std::bad_alloc&) {
        out.clear();
    }
    libdeflate_free_compressor(compressor);
    return out;
}

// Makes a piece's raw deflate data continuable: the bit that marks its last block is
// cleared, and the data after its end-of-block code become an empty stored block
// (3 header bits, padding, length 0 and its complement). `size` is the piece's plain size.
bool make_continuable(std::vector<std::uint8_t>& piece, std::size_t size) {
    std::vector<std::uint8_t> scratch;  // inflate keeps its own window: the output is thrown away
    try {
        scratch.resize(std::size_t{1} << 16);
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream s{};
    if (inflateInit2(&s, -15) != Z_OK) return false;
    s.next_in = piece.data();
    s.avail_in = static_cast<uInt>(piece.size());
    std::size_t last_block = 0, end = 0;  // bit positions
    int result = Z_OK;
    while (result == Z_OK) {
        s.next_out = scratch.data();
        s.avail_out = static_cast<uInt>(scratch.size());
        result = inflate(&s, Z_BLOCK);
        const std::size_t bit =
            static_cast<std::size_t>(s.total_in) * 8 - static_cast<unsigned>(s.data_type & 7);
        // Stops at block boundaries: before a block header, or (64) just after the final block.
        if (result == Z_OK && (s.data_type & 128)) (s.data_type & 64 ? end : last_block) = bit;
    }
    inflateEnd(&s);
    if (result != Z_STREAM_END || s.total_out != size || end <= last_block) return false;
    piece[last_block / 8] &= static_cast<std::uint8_t>(~(1u << (last_block % 8)));
    // Bits from `end` on: a stored block header of three zero bits, then padding.
    const std::size_t aligned = (end + 3 + 7) / 8;
    piece.resize(aligned, 0);
    if (end % 8 && end / 8 < aligned) piece[end / 8] &= static_cast<std::uint8_t>((1u << (end % 8)) - 1);
    for (std::size_t i = end / 8 + (end % 8 ? 1 : 0); i < aligned; ++i) piece[i] = 0;
    piece.insert(piece.end(), {0x00, 0x00, 0xFF, 0xFF});
    return true;
}

// True when `stream` is one whole zlib stream of `size` bytes with the right checksum.
bool stream_reads_back(const std::vector<std::uint8_t>& stream, std::size_t size) {
    std::vector<std::uint8_t> scratch(std::size_t{1} << 16);
    z_stream s{};
    if (inflateInit(&s) != Z_OK) return false;
    s.next_in = const_cast<std::uint8_t*>(stream.data());
    s.avail_in = static_cast<uInt>(stream.size());
    int result = Z_OK;
    while (result == Z_OK) {
        s.next_out = scratch.data();
        s.avail_out = static_cast<uInt>(scratch.size());
        result = inflate(&s, Z_NO_FLUSH);
    }
    inflateEnd(&s);
    return result == Z_STREAM_END && s.total_out == size && s.avail_in == 0;
}

}  // namespace

bool deflate_joined(const std::uint8_t* data, std::size_t size, int level, unsigned threads,
                    std::size_t piece, std::vector<std::uint8_t>& out) {
    try {
        // zlib's counters are 32-bit: data of 2 GiB and more go in one piece.
        const std::size_t count =
            size >= (std::size_t{1} << 31)
                ? 1
                : std::clamp<std::size_t>(size / std::max<std::size_t>(piece, 1), 1, std::max(threads, 1u));
        std::vector<std::vector<std::uint8_t>> parts(count);
        std::vector<char> ok(count, 0);
        auto work = [&](std::size_t i) {
            const std::size_t begin = size * i / count, end = size * (i + 1) / count;
            parts[i] = compress_piece(data + begin, end - begin, level);
            ok[i] = !parts[i].empty() && (i + 1 == count || make_continuable(parts[i], end - begin));
        };
        std::vector<std::thread> helpers;
        helpers.reserve(count);
        for (std::size_t i = 1; i < count; ++i) {
            try {
                helpers.emplace_back(work, i);
            } catch (...) {
                work(i);  // no thread left: done here
            }
        }
        work(0);
        for (std::thread& t : helpers) t.join();
        if (std::find(ok.begin(), ok.end(), 0) != ok.end()) return false;

        out.assign({0x78, 0xDA});  // 32 KiB window, strongest compression
        for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
        const std::uint32_t adler = libdeflate_adler32(1, data, size);
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
        // The joins are checked by reading the stream back (a few milliseconds a MiB); should
        // one be wrong, the data are compressed again in one piece.
        if (count > 1 && !stream_reads_back(out, size))
            return deflate_joined(data, size, level, 1, piece, out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace morvane
