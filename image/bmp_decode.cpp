// BMP reader: every variant decodes into 24-bit rows, bounded by the data block.
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <algorithm>
#include <cstring>

#include "image/codec.h"

namespace morvane {

namespace {

std::uint32_t u16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t s32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(u32(p));
}

// Fields up to the compression word must be present.
constexpr std::int32_t MinHeader = 34;

// What decoding needs, taken from the block and the destination.
struct BmpJob {
    const std::uint8_t* data;  // whole block
    std::size_t size;
    std::int32_t width;
    std::int32_t height;  // positive
    bool top_down;        // file rows run from the top
    std::uint8_t* pixels;
    std::int32_t stride;
    bool dest_bottom_up;
    std::size_t palette_at;  // offset of palette entry 0

    // Destination row for the i-th row stored in the file.
    std::uint8_t* row(std::int32_t i) const {
        const std::int32_t picture_y = top_down ? i : height - 1 - i;
        const std::int32_t memory_row = dest_bottom_up ? height - 1 - picture_y : picture_y;
        return pixels + static_cast<std::ptrdiff_t>(memory_row) * stride;
    }
    // Palette colour into 3 bytes; entries outside the block are black.
    void color(std::uint32_t index, std::uint8_t* out) const {
        const std::size_t at = palette_at + 4 * static_cast<std::size_t>(index);
        if (at < size && size - at >= 3) {
            std::memcpy(out, data + at, 3);
        } else {
            out[0] = out[1] = out[2] = 0;
        }
    }
};

// Decodes fixed-layout rows of `row_bytes` each; `pixel` converts one pixel of a row.
template <typename PixelFn>
void decode_rows(const BmpJob& job, const std::uint8_t* src, std::size_t avail, std::size_t row_bytes,
                 int bits, PixelFn pixel) {
    for (std::int32_t i = 0; i < job.height && avail > 0; ++i) {
        const std::size_t have = std::min(avail, row_bytes);
        const std::int64_t fit = static_cast<std::int64_t>(have) * 8 / bits;
        const std::int32_t count = static_cast<std::int32_t>(std::min<std::int64_t>(job.width, fit));
        std::uint8_t* out = job.row(i);
        for (std::int32_t x = 0; x < count; ++x) pixel(src, x, out + 3 * x);
        src += have;
        avail -= have;
    }
}

// Copies `count` 4-byte pixels as 3-byte pixels: each is copied as 4 bytes whose last one
// the next pixel overwrites; the last pixel as 3.
#if defined(__x86_64__)
// Four pixels per step: one byte shuffle drops the fourth byte of each. Every 16-byte store
// keeps 12 bytes; the next store overwrites the other 4, so the loop stops while 16 bytes of
// the output row remain. Returns how many pixels it packed.
__attribute__((target("ssse3"))) std::size_t pack_bgr_ssse3(const std::uint8_t* in, std::uint8_t* out,
                                                             std::size_t count) {
    const __m128i keep = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t x = 0;
    for (; x + 6 <= count; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(v, keep));
    }
    return x;
}
const bool has_ssse3 = __builtin_cpu_supports("ssse3");
#endif

void pack_bgr(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    if (count == 0) return;
    std::size_t x = 0;
#if defined(__x86_64__)
    if (has_ssse3) x = pack_bgr_ssse3(in, out, count);
#endif
    for (; x + 1 < count; ++x) std::memcpy(out + 3 * x, in + 4 * x, 4);
    std::memcpy(out + 3 * (count - 1), in + 4 * (count - 1), 3);
}

void decode_rle8(const BmpJob& job, const std::uint8_t* src, std::size_t avail) {
    std::int64_t x = 0, y = 0;
    std::size_t at = 0;
    auto put = [&](std::uint32_t index) {
        if (x >= 0 && x < job.width && y >= 0 && y < job.height)
            job.color(index, job.row(static_cast<std::int32_t>(y)) + 3 * x);
        ++x;
    };
    while (at + 2 <= avail && y < job.height) {
        const std::uint32_t n = src[at], b = src[at + 1];
        at += 2;
        if (n > 0) {
            // Pixels past the right edge are not written, so the run stops there.
            for (std::uint32_t k = 0; k < n && x < job.width; ++k) put(b);
        } else if (b == 0) {
            ++y;
            x = 0;
        } else if (b == 1) {
            break;
        } else if (b == 2) {
            if (at + 2 > avail) break;
            x += src[at];
            y += src[at + 1];
            at += 2;
        } else {
            const std::size_t take = std::min<std::size_t>(b, avail - at);
            for (std::size_t k = 0; k < take; ++k) put(src[at + k]);
            at += b + (b & 1);
        }
    }
}

int bmp_probe(DecodeContext* ctx) {
    const std::uint8_t* d = ctx->source;
    if (!d || ctx->source_size < MinHeader) return 0;
    if (d[0] != 'B' || d[1] != 'M' || u16(d + 6) != 0 || u16(d + 8) != 0) return 0;
    const std::int64_t width = s32(d + 18);
    const std::int64_t height = s32(d + 22);
    const std::int64_t rows = height < 0 ? -height : height;
    if (!codec_size_allowed(width, rows)) return 0;
    ctx->width = static_cast<std::int32_t>(width);
    ctx->height = static_cast<std::int32_t>(rows);
    ctx->target_depth = 24;
    ctx->file_depth = static_cast<int>(u16(d + 28));
    ctx->decoder_state = const_cast<std::uint8_t*>(d);
    return 1;
}

int bmp_decode(DecodeContext* ctx, std::uint8_t* pixels, std::int32_t stride, int flags) {
    const std::uint8_t* d = ctx->source;
    const std::size_t size = static_cast<std::size_t>(ctx->source_size);
    const std::uint32_t offset = u32(d + 10);
    const std::uint32_t header_size = u32(d + 14);
    const int bits = static_cast<int>(u16(d + 28));
    const std::uint32_t compression = u32(d + 30);
    BmpJob job{d,
               size,
               ctx->width,
               ctx->height,
               s32(d + 22) < 0,
               pixels,
               stride,
               (flags & BottomUp) != 0,
               14 + static_cast<std::size_t>(header_size)};
    if (offset >= size) return 1;  // no pixel data: the picture stays black
    const std::uint8_t* src = d + offset;
    const std::size_t avail = size - offset;
    const std::size_t w = static_cast<std::size_t>(job.width);

    switch (bits) {
        case 32: {
            std::size_t left = avail;
            const std::uint8_t* s = src;
            for (std::int32_t i = 0; i < job.height && left > 0; ++i) {
                const std::size_t have = std::min(left, 4 * w);
                pack_bgr(s, job.row(i), have / 4);
                s += have;
                left -= have;
            }
            break;
        }
        case 24: {
            // Rows are padded by (width AND 3) bytes; each row is one copy.
            const std::size_t row_bytes = 3 * w + (w & 3);
            std::size_t left = avail;
            const std::uint8_t* s = src;
            for (std::int32_t i = 0; i < job.height && left > 0; ++i) {
                const std::size_t have = std::min(left, row_bytes);
                std::memcpy(job.row(i), s, std::min(have, 3 * w) / 3 * 3);
                s += have;
                left -= have;
            }
            break;
        }
        case 16:
            if (compression == 0) {
                decode_rows(job, src, avail, 2 * w + 2 * (w & 1), 16,
                            [](const std::uint8_t* s, std::int32_t x, std::uint8_t* o) {
                                const std::uint32_t v = u16(s + 2 * x);
                                o[0] = static_cast<std::uint8_t>((v & 31) * 8);
                                o[1] = static_cast<std::uint8_t>(((v >> 5) & 31) * 8);
                                o[2] = static_cast<std::uint8_t>(((v >> 10) & 31) * 8);
                            });
            } else if (compression == 3) {
                decode_rows(job, src, avail, 2 * w + 2 * (w & 1), 16,
                            [](const std::uint8_t* s, std::int32_t x, std::uint8_t* o) {
                                const std::uint32_t v = u16(s + 2 * x);
                                o[0] = static_cast<std::uint8_t>((v & 31) * 8);
                                o[1] = static_cast<std::uint8_t>(((v >> 5) & 63) * 4);
                                o[2] = static_cast<std::uint8_t>((v >> 11) * 8);
                            });
            }
            break;
        case 8:
            if (compression == 1) {
                decode_rle8(job, src, avail);
            } else {
                decode_rows(
                    job, src, avail, (w + 3) & ~std::size_t{3}, 8,
                    [&job](const std::uint8_t* s, std::int32_t x, std::uint8_t* o) { job.color(s[x], o); });
            }
            break;
        case 4:
            if (compression != 2) {
                decode_rows(job, src, avail, ((w + 1) / 2 + 3) & ~std::size_t{3}, 4,
                            [&job](const std::uint8_t* s, std::int32_t x, std::uint8_t* o) {
                                const std::uint8_t byte = s[x / 2];
                                job.color((x & 1) ? byte & 15 : byte >> 4, o);
                            });
            }
            break;
        case 1:
            decode_rows(job, src, avail, ((w + 7) / 8 + 3) & ~std::size_t{3}, 1,
                        [](const std::uint8_t* s, std::int32_t x, std::uint8_t* o) {
                            const std::uint8_t v = (s[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                            o[0] = o[1] = o[2] = v;
                        });
            break;
        default:
            break;
    }
    return 1;
}

void bmp_release(DecodeContext* ctx) {
    ctx->decoder_state = nullptr;
}

}  // namespace

extern const ImageDecoder bmp_decoder{bmp_probe, bmp_decode, bmp_release, FormatBmp};

}  // namespace morvane
