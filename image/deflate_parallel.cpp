// Block-parallel zlib compression: blocks primed with the data before them, joined by sync
// flushes into one stream.
#include "image/deflate_parallel.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <thread>

namespace morvane {

namespace {

constexpr std::size_t Window = 32768;

struct Block {
    std::size_t begin = 0, end = 0;
    std::vector<std::uint8_t> out;
    uLong adler = 1;
    bool ok = false;
};

// One block as raw deflate data ending on a byte boundary (a sync flush), or with the
// final block marker for the last one. `buffer` holds the block's data after up to 32 KiB
// of what comes before it, which primes the compressor.
bool compress_block(const DeflateSource& source, Block& block, int level, bool last,
                    std::vector<std::uint8_t>& buffer) {
    const std::size_t from = block.begin > Window ? block.begin - Window : 0;
    const std::size_t primed = block.begin - from, length = block.end - block.begin;
    try {
        buffer.resize(primed + length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    source(from, block.end, buffer.data());
    block.adler = adler32(1, buffer.data() + primed, static_cast<uInt>(length));

    z_stream s{};
    if (deflateInit2(&s, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    bool ok = primed == 0 || deflateSetDictionary(&s, buffer.data(), static_cast<uInt>(primed)) == Z_OK;
    try {
        if (ok) block.out.resize(deflateBound(&s, static_cast<uLong>(length)) + 16);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (ok) {
        s.next_in = buffer.data() + primed;
        s.avail_in = static_cast<uInt>(length);
        s.next_out = block.out.data();
        s.avail_out = static_cast<uInt>(block.out.size());
        const int result = deflate(&s, last ? Z_FINISH : Z_SYNC_FLUSH);
        ok = s.avail_out > 0 && (last ? result == Z_STREAM_END : (result == Z_OK && s.avail_in == 0));
        block.out.resize(s.total_out);
        try {
            block.out.shrink_to_fit();
        } catch (const std::bad_alloc&) {
            // keeps the larger block
        }
    }
    deflateEnd(&s);
    return ok;
}

}  // namespace

bool deflate_parallel(const std::uint8_t* data, std::size_t size, int level, unsigned threads,
                      std::vector<std::vector<std::uint8_t>>& pieces) {
    const DeflateSource copy = [data](std::size_t begin, std::size_t end, std::uint8_t* out) {
        std::copy(data + begin, data + end, out);
    };
    return deflate_parallel(size, copy, level, threads, pieces);
}

bool deflate_parallel(std::size_t size, const DeflateSource& source, int level, unsigned threads,
                      std::vector<std::vector<std::uint8_t>>& pieces) {
    pieces.clear();
    std::vector<Block> blocks;
    try {
        const std::size_t count = std::max<std::size_t>(1, (size + DeflateBlock - 1) / DeflateBlock);
        blocks.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            blocks[i].begin = i * DeflateBlock;
            blocks[i].end = std::min(size, (i + 1) * DeflateBlock);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    std::atomic<std::size_t> next{0};
    auto work = [&] {
        std::vector<std::uint8_t> buffer;
        for (std::size_t i; (i = next.fetch_add(1)) < blocks.size();) {
            blocks[i].ok = compress_block(source, blocks[i], level, i + 1 == blocks.size(), buffer);
        }
    };
    std::vector<std::thread> helpers;
    const unsigned wanted = std::min<std::size_t>(std::max(threads, 1u), blocks.size());
    for (unsigned t = 1; t < wanted; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (...) {
            break;  // fewer threads: the rest is done here
        }
    }
    work();
    for (std::thread& t : helpers) t.join();

    uLong adler = 1;
    for (const Block& b : blocks) {
        if (!b.ok) return false;
        adler = adler32_combine(adler, b.adler, static_cast<z_off_t>(b.end - b.begin));
    }
    // zlib header for a 32 KiB window; the level field says "maximum compression" from 7 up.
    const std::uint8_t flevel = level >= 7 ? 3 : level >= 6 || level < 0 ? 2 : level >= 2 ? 1 : 0;
    std::uint8_t header[2] = {0x78, static_cast<std::uint8_t>(flevel << 6)};
    header[1] = static_cast<std::uint8_t>(header[1] + (31 - (header[0] * 256 + header[1]) % 31) % 31);
    const std::uint8_t trailer[4] = {static_cast<std::uint8_t>(adler >> 24),
                                     static_cast<std::uint8_t>(adler >> 16),
                                     static_cast<std::uint8_t>(adler >> 8), static_cast<std::uint8_t>(adler)};
    try {
        blocks.front().out.insert(blocks.front().out.begin(), header, header + 2);
        blocks.back().out.insert(blocks.back().out.end(), trailer, trailer + 4);
        pieces.reserve(blocks.size());
        for (Block& b : blocks) pieces.push_back(std::move(b.out));
    } catch (const std::bad_alloc&) {
        pieces.clear();
        return false;
    }
    return true;
}

}  // namespace morvane
