// PNG writer over libpng: RGB or RGBA with 8 bits per sample, or a palette picture.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "image/codec.h"
#include "image/deflate_parallel.h"
#include "image/png_optimize.h"
#include "image/quantize.h"

namespace morvane {

namespace {

// The output grows in one malloc'd block; plain data because errors leave by longjmp.
struct PngWriteJob {
    png_structp png;
    png_infop info;
    std::uint8_t* out;
    std::size_t size;
    std::size_t capacity;
    QuantizedPicture* quantized;
    png_bytep packed;  // one packed index row
    // Image data already compressed (large colour pictures), written as IDAT chunks.
    std::vector<std::vector<std::uint8_t>>* compressed;
};

constexpr int CompressionLevel = 9;

void append(png_structp png, png_bytep data, png_size_t length) {
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    if (length > job->capacity - job->size) {
        std::size_t capacity = job->capacity * 2;
        if (capacity < job->size + length) capacity = job->size + length;
        auto* grown = static_cast<std::uint8_t*>(std::realloc(job->out, capacity));
        if (!grown) png_error(png, "out of memory");
        job->out = grown;
        job->capacity = capacity;
    }
    std::memcpy(job->out + job->size, data, length);
    job->size += length;
}

void flush(png_structp) {}
void on_error(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

// Palette bit depths a PNG file can hold: 1, 2, 4, 8.
int palette_bit_depth(int depth) {
    return depth <= 1 ? 1 : depth <= 2 ? 2 : depth <= 4 ? 4 : 8;
}

bool encode(PngWriteJob* job, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
            std::int32_t stride, bool bottom_up, int source_bpp, int depth) {
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_set_write_fn(job->png, job, append, flush);
    png_set_filter(job->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(job->png, CompressionLevel);
    const bool palette = depth >= 1 && depth <= 8;
    if (palette) {
        const int bits = palette_bit_depth(depth);
        png_set_IHDR(job->png, job->info, width, height, bits, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_color entries[256];
        const std::size_t count = job->quantized->palette.size();
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t c = job->quantized->palette[i];
            entries[i] = png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                   static_cast<png_byte>(c)};
        }
        png_set_PLTE(job->png, job->info, entries, static_cast<int>(count));
        png_write_info(job->png, job->info);
        const std::size_t row_bytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* index = job->quantized->indices.data() + static_cast<std::size_t>(y) * width;
            std::memset(job->packed, 0, row_bytes);
            for (std::int32_t x = 0; x < width; ++x) {
                const int per_byte = 8 / bits;
                job->packed[x / per_byte] |=
                    static_cast<png_byte>(index[x] << (8 - bits * (x % per_byte + 1)));
            }
            png_write_row(job->png, job->packed);
        }
    } else {
        png_set_IHDR(job->png, job->info, width, height, 8,
                     source_bpp == 32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(job->png, job->info);
        if (job->compressed) {
            // The rows went through zlib beforehand; libpng frames them as usual.
            for (std::vector<std::uint8_t>& piece : *job->compressed) {
                png_write_chunk(job->png, reinterpret_cast<png_const_bytep>("IDAT"), piece.data(),
                                piece.size());
                std::vector<std::uint8_t>().swap(piece);  // framed and copied out: free it now
            }
            png_write_chunk(job->png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
            return true;
        }
        png_set_bgr(job->png);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::int32_t memory_row = bottom_up ? height - 1 - y : y;
            png_write_row(job->png,
                          const_cast<png_bytep>(pixels + static_cast<std::ptrdiff_t>(memory_row) * stride));
        }
    }
    png_write_end(job->png, nullptr);
    return true;
}

// The filtered image data of a colour picture, made a range at a time: each row is the
// None filter's 0 byte and the row's red, green, blue (, alpha) samples.
class FilteredRows {
  public:
    FilteredRows(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                 bool bottom_up, int source_bpp)
        : pixels_(pixels),
          width_(width),
          height_(height),
          stride_(stride),
          bottom_up_(bottom_up),
          channels_(static_cast<std::size_t>(source_bpp / 8)),
          row_bytes_(1 + channels_ * width) {}

    std::size_t size() const { return row_bytes_ * static_cast<std::size_t>(height_); }

    void operator()(std::size_t begin, std::size_t end, std::uint8_t* out) const {
        std::vector<std::uint8_t> partial;  // a row cut by the range
        for (std::size_t y = begin / row_bytes_; begin < end; ++y) {
            const std::size_t row_start = y * row_bytes_, skip = begin - row_start;
            const std::size_t take = std::min(row_bytes_ - skip, end - begin);
            if (skip == 0 && take == row_bytes_) {
                row(y, out);
            } else {
                partial.resize(row_bytes_);
                row(y, partial.data());
                std::memcpy(out, partial.data() + skip, take);
            }
            out += take;
            begin += take;
        }
    }

  private:
    void row(std::size_t y, std::uint8_t* out) const {
        const auto memory_row = static_cast<std::ptrdiff_t>(bottom_up_ ? height_ - 1 - y : y);
        const std::uint8_t* in = pixels_ + memory_row * stride_;
        *out++ = 0;
        if (channels_ == 4) {
            for (std::int32_t x = 0; x < width_; ++x, in += 4, out += 4) {
                out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
            }
        } else {
            for (std::int32_t x = 0; x < width_; ++x, in += 3, out += 3) {
                out[0] = in[2], out[1] = in[1], out[2] = in[0];
            }
        }
    }

    const std::uint8_t* pixels_;
    std::int32_t width_, height_, stride_;
    bool bottom_up_;
    std::size_t channels_, row_bytes_;
};

// Large colour pictures are compressed on every processor at once; smaller ones and palette
// pictures go through libpng row by row.
constexpr std::size_t ParallelFrom = 2 * DeflateBlock;

std::intptr_t png_write(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                        std::int32_t height, std::int32_t stride, int flags, int depth, int source_bpp) {
    if (!pixels || width <= 0 || height <= 0 || stride <= 0) return 0;
    const bool bottom_up = (flags & BottomUp) != 0;
    if (png_smallest() && !(depth >= 1 && depth <= 8)) {
        // Out of memory for the reduced form: the plain file below is still written.
        std::uint8_t* data = nullptr;
        std::size_t size = 0;
        if (png_encode_smallest(pixels, width, height, stride, bottom_up, source_bpp, &data, &size))
            return encoded_output(file_name, data, size);
    }
    PngWriteJob job{};
    QuantizedPicture quantized;
    if (depth >= 1 && depth <= 8) {
        if (!quantize_picture(pixels, width, height, stride, source_bpp, bottom_up, 1 << depth, quantized))
            return 0;
        job.quantized = &quantized;
        job.packed = static_cast<png_bytep>(std::malloc(static_cast<std::size_t>(width) + 1));
        if (!job.packed) return 0;
    }
    std::vector<std::vector<std::uint8_t>> compressed;
    const unsigned threads = std::thread::hardware_concurrency();
    const FilteredRows rows(pixels, width, height, stride, bottom_up, source_bpp);
    if (!job.quantized && threads > 1 && rows.size() >= ParallelFrom &&
        deflate_parallel(rows.size(), rows, CompressionLevel, threads, compressed)) {
        job.compressed = &compressed;
    }
    // First guess at the size: the raw pixels plus room for headers.
    job.capacity = static_cast<std::size_t>(source_bpp / 8) * width * height + 32768;
    job.out = static_cast<std::uint8_t*>(std::malloc(job.capacity));
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    job.info = job.png ? png_create_info_struct(job.png) : nullptr;
    bool ok =
        job.out && job.info && encode(&job, pixels, width, height, stride, bottom_up, source_bpp, depth);
    if (job.png) png_destroy_write_struct(&job.png, &job.info);
    std::free(job.packed);
    if (!ok) {
        std::free(job.out);
        return 0;
    }
    return encoded_output(file_name, job.out, job.size);
}

std::intptr_t png_write24(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                          std::int32_t height, std::int32_t stride, int flags, int, int depth) {
    return png_write(file_name, pixels, width, height, stride, flags, depth, 24);
}

std::intptr_t png_write32(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                          std::int32_t height, std::int32_t stride, int flags, int, int depth) {
    return png_write(file_name, pixels, width, height, stride, flags, depth, 32);
}

const ImageEncoder png_encoder{FormatPng, png_write24, png_write32};

}  // namespace

int png_encoder_register() {
    return codec_register_once(&png_encoder);
}

}  // namespace morvane
