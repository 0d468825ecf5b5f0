// Writing a reduced picture as a PNG file: each way of filtering its rows is compressed with
// libdeflate on its own thread, and the smallest stream is framed into chunks.
#include "image/png_optimize.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "image/deflate_joined.h"

namespace morvane {

namespace {

std::atomic<bool> g_smallest{false};

enum class Filtering { None, MinimumSum };

// libdeflate's strongest level for pictures up to 1 MiB of samples, filtered both ways;
// larger ones are filtered one way at level 10, and from 2 MiB (a 2048 x 2048 palette
// sheet has 4 MiB) at level 9: each level above doubles the time for a few per cent.
constexpr int StrongLevel = 12;
constexpr int LargeLevel = 10;
constexpr int FastLevel = 9;
constexpr std::size_t TryBothUpTo = std::size_t{1} << 20;
constexpr std::size_t FastFrom = std::size_t{2} << 20;
// Pieces compressed on their own threads are at least this large.
constexpr std::size_t PieceSize = std::size_t{512} << 10;
// Pictures up to this many pixels are also tried without their palette.
constexpr std::int64_t PaletteCheckUpTo = 65536;
// Image data are split into IDAT chunks of this size.
constexpr std::size_t ChunkData = std::size_t{1} << 20;

int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// A row filtered with filter type `type` (1 Sub, 2 Up, 3 Average, 4 Paeth) into `out`.
void filter_row(const std::uint8_t* row, const std::uint8_t* above, std::size_t size, std::size_t bpp,
                int type, std::uint8_t* out) {
    for (std::size_t i = 0; i < size; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = above ? above[i] : 0;
        const int c = i >= bpp && above ? above[i - bpp] : 0;
        const int predicted = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : paeth(a, b, c);
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    }
}

// The filtered image data: per row a filter byte and the row. MinimumSum takes, for each row,
// the filter whose bytes read as signed numbers have the smallest sum of magnitudes.
std::vector<std::uint8_t> filtered(const PngReduced& p, Filtering filtering) {
    const std::size_t size = p.row_bytes, line = size + 1;
    const std::size_t bpp = std::max<std::size_t>(1, p.row_bytes / static_cast<std::size_t>(p.width));
    std::vector<std::uint8_t> out(line * static_cast<std::size_t>(p.height));
    std::vector<std::uint8_t> trial(size);
    for (std::int32_t y = 0; y < p.height; ++y) {
        const std::uint8_t* row = p.samples.data() + static_cast<std::size_t>(y) * size;
        const std::uint8_t* above = y > 0 ? row - size : nullptr;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * line;
        dst[0] = 0;
        std::memcpy(dst + 1, row, size);
        if (filtering == Filtering::None) continue;
        auto cost = [](const std::uint8_t* bytes, std::size_t n) {
            std::uint64_t sum = 0;
            for (std::size_t i = 0; i < n; ++i)
                sum += static_cast<unsigned>(std::abs(static_cast<std::int8_t>(bytes[i])));
            return sum;
        };
        std::uint64_t best = cost(row, size);
        for (int type = 1; type <= 4; ++type) {
            filter_row(row, above, size, bpp, type, trial.data());
            const std::uint64_t sum = cost(trial.data(), size);
            if (sum < best) {
                best = sum;
                dst[0] = static_cast<std::uint8_t>(type);
                std::memcpy(dst + 1, trial.data(), size);
            }
        }
    }
    return out;
}

// One zlib stream of the picture filtered one way, on up to `threads` threads; empty when
// out of memory.
std::vector<std::uint8_t> compressed(const PngReduced& p, Filtering filtering, int level, unsigned threads) {
    std::vector<std::uint8_t> out;
    try {
        const std::vector<std::uint8_t> data = filtered(p, filtering);
        if (!deflate_joined(data.data(), data.size(), level, threads, PieceSize, out)) out.clear();
    } catch (const std::bad_alloc&) {
        out.clear();
    }
    return out;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                           static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data, std::size_t size) {
    put32(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size) out.insert(out.end(), data, data + size);
    put32(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(size + 4))));
}

}  // namespace

void png_smallest_set(bool on) {
    g_smallest = on;
}

bool png_smallest() {
    return g_smallest;
}

bool png_encode_reduced(const PngReduced& p, std::uint8_t** data, std::size_t* size) {
    if (p.width <= 0 || p.height <= 0 || p.samples.size() != p.row_bytes * static_cast<std::size_t>(p.height))
        return false;
    // Small pictures are compressed filtered both ways, side by side, and the smaller kept.
    // Larger ones take the way that usually wins (prediction for truecolour, none for
    // palette and sub-byte samples), cut into pieces for every processor.
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    const bool indexed = p.color_type == PngPalette || p.bit_depth < 8;
    std::vector<std::uint8_t> plain, predicted;
    if (p.samples.size() > TryBothUpTo) {
        const int level = p.samples.size() > FastFrom ? FastLevel : LargeLevel;
        (indexed ? plain : predicted) =
            compressed(p, indexed ? Filtering::None : Filtering::MinimumSum, level, threads);
    } else {
        std::thread helper;
        try {
            if (threads > 1)
                helper =
                    std::thread([&] { predicted = compressed(p, Filtering::MinimumSum, StrongLevel, 1); });
        } catch (...) {
            // no second thread: both run here
        }
        plain = compressed(p, Filtering::None, StrongLevel, 1);
        if (helper.joinable()) {
            helper.join();
        } else {
            predicted = compressed(p, Filtering::MinimumSum, StrongLevel, 1);
        }
    }
    if (plain.empty() && predicted.empty()) return false;
    const std::vector<std::uint8_t>& stream =
        predicted.empty() || (!plain.empty() && plain.size() <= predicted.size()) ? plain : predicted;

    try {
        std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        out.reserve(stream.size() + p.plte.size() + p.trns.size() + 128 + stream.size() / ChunkData * 12);
        std::vector<std::uint8_t> header;
        put32(header, static_cast<std::uint32_t>(p.width));
        put32(header, static_cast<std::uint32_t>(p.height));
        header.insert(header.end(), {static_cast<std::uint8_t>(p.bit_depth), p.color_type, 0, 0, 0});
        chunk(out, "IHDR", header.data(), header.size());
        if (!p.plte.empty()) chunk(out, "PLTE", p.plte.data(), p.plte.size());
        if (!p.trns.empty()) chunk(out, "tRNS", p.trns.data(), p.trns.size());
        for (std::size_t at = 0; at < stream.size(); at += ChunkData)
            chunk(out, "IDAT", stream.data() + at, std::min(ChunkData, stream.size() - at));
        chunk(out, "IEND", nullptr, 0);
        *data = static_cast<std::uint8_t*>(std::malloc(out.size()));
        if (!*data) return false;
        std::memcpy(*data, out.data(), out.size());
        *size = out.size();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool png_encode_smallest(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                         std::int32_t stride, bool bottom_up, int bpp, std::uint8_t** data,
                         std::size_t* size) {
    PngReduced reduced;
    if (!png_reduce(pixels, width, height, stride, bottom_up, bpp, true, reduced) ||
        !png_encode_reduced(reduced, data, size))
        return false;
    if (reduced.color_type != PngPalette || static_cast<std::int64_t>(width) * height > PaletteCheckUpTo)
        return true;
    std::uint8_t* direct = nullptr;
    std::size_t direct_size = 0;
    if (png_reduce(pixels, width, height, stride, bottom_up, bpp, false, reduced) &&
        png_encode_reduced(reduced, &direct, &direct_size) && direct_size < *size) {
        std::free(*data);
        *data = direct, *size = direct_size;
    } else {
        std::free(direct);
    }
    return true;
}

}  // namespace morvane
