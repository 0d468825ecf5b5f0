// PNG reader over libpng: every colour type and bit depth into 24- or 32-bit rows.
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "image/bitmap.h"
#include "image/codec.h"
#include "image/progress.h"

namespace morvane {

namespace {

// Everything a decode keeps between probe and release; plain data, since libpng's errors
// leave through longjmp.
struct PngReadState {
    png_structp png;
    png_infop info;
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
    int passes;
    int row_bytes;
};

void read_block(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (length > state->size - state->at) png_error(png, "read past the end of the data");
    std::memcpy(out, state->data + state->at, length);
    state->at += length;
}

void on_error(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

void destroy(PngReadState* state) {
    if (!state) return;
    if (state->png) png_destroy_read_struct(&state->png, &state->info, nullptr);
    std::free(state);
}

// Reads the header and sets the transformations: rows of B, G, R (, A) bytes, 16-bit
// samples reduced to their high byte. With `force_alpha` every picture gets an alpha byte.
// Returns the state (null on failure) and the file facts.
PngReadState* open_png(const std::uint8_t* data, std::size_t size, bool force_alpha, std::int32_t* width,
                       std::int32_t* height, int* target_depth, int* file_depth) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return nullptr;
    auto* state = static_cast<PngReadState*>(std::calloc(1, sizeof(PngReadState)));
    if (!state) return nullptr;
    state->data = data;
    state->size = size;
    state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
    if (!state->png) {
        destroy(state);
        return nullptr;
    }
    state->info = png_create_info_struct(state->png);
    if (!state->info || setjmp(png_jmpbuf(state->png))) {
        destroy(state);
        return nullptr;
    }
    png_set_user_limits(state->png, 32767, 32767);
    png_set_chunk_malloc_max(state->png, 16u << 20);
    png_set_chunk_cache_max(state->png, 1000);
    png_set_read_fn(state->png, state, read_block);
    png_read_info(state->png, state->info);

    const png_uint_32 w = png_get_image_width(state->png, state->info);
    const png_uint_32 h = png_get_image_height(state->png, state->info);
    const int color = png_get_color_type(state->png, state->info);
    const int bits = png_get_bit_depth(state->png, state->info);
    const bool trns = png_get_valid(state->png, state->info, PNG_INFO_tRNS) != 0;
    if (!codec_size_allowed(w, h)) png_error(state->png, "picture too large");

    // Colour type once transparency has become an alpha channel.
    int effective = color;
    if (trns) {
        png_set_tRNS_to_alpha(state->png);
        if (color == PNG_COLOR_TYPE_RGB || color == PNG_COLOR_TYPE_PALETTE)
            effective = PNG_COLOR_TYPE_RGB_ALPHA;
        if (color == PNG_COLOR_TYPE_GRAY) effective = PNG_COLOR_TYPE_GRAY_ALPHA;
    }
    if (effective == PNG_COLOR_TYPE_RGB) {
        *file_depth = 24;
    } else if (effective == PNG_COLOR_TYPE_RGB_ALPHA) {
        *file_depth = 32;
    } else {
        // Grey, palette, grey with alpha: the bit depth, which the alpha expansion raises to 8.
        *file_depth = (trns && bits < 8) ? 8 : bits;
    }
    if (bits < 8) png_set_expand(state->png);
    if (color == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(state->png);
    if (color == PNG_COLOR_TYPE_GRAY || color == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(state->png);
    if (bits == 16) png_set_strip_16(state->png);
    png_set_bgr(state->png);
    const bool alpha = effective == PNG_COLOR_TYPE_RGB_ALPHA || effective == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (force_alpha && !alpha) png_set_add_alpha(state->png, 0xFF, PNG_FILLER_AFTER);
    *target_depth = (alpha || force_alpha) ? 32 : 24;
    state->passes = png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);

    // The row layout must be exactly what the destination holds.
    const png_size_t row_bytes = png_get_rowbytes(state->png, state->info);
    if (row_bytes != static_cast<png_size_t>(w) * (*target_depth / 8))
        png_error(state->png, "unexpected row layout");
    state->row_bytes = static_cast<int>(row_bytes);
    *width = static_cast<std::int32_t>(w);
    *height = static_cast<std::int32_t>(h);
    return state;
}

// Reads every pass of every row; returns false on a libpng error.
bool read_rows(PngReadState* state, std::uint8_t* pixels, std::int32_t height, std::int32_t stride,
               bool bottom_up) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    const std::int64_t total = static_cast<std::int64_t>(state->passes) * height;
    for (int pass = 0; pass < state->passes; ++pass) {
        for (std::int32_t y = 0; y < height; ++y) {
            const std::int32_t memory_row = bottom_up ? height - 1 - y : y;
            png_read_row(state->png, pixels + static_cast<std::ptrdiff_t>(memory_row) * stride, nullptr);
            progress_report(static_cast<std::int64_t>(pass) * height + y + 1, total);
        }
    }
    return true;
}

int png_probe(DecodeContext* ctx) {
    if (ctx->source_size < 8) return 0;
    PngReadState* state = open_png(ctx->source, static_cast<std::size_t>(ctx->source_size), false,
                                   &ctx->width, &ctx->height, &ctx->target_depth, &ctx->file_depth);
    ctx->decoder_state = state;
    return state != nullptr;
}

int png_decode(DecodeContext* ctx, std::uint8_t* pixels, std::int32_t stride, int flags) {
    auto* state = static_cast<PngReadState*>(ctx->decoder_state);
    if (!state || stride < state->row_bytes) return 0;
    return read_rows(state, pixels, ctx->height, stride, (flags & BottomUp) != 0) ? 1 : 0;
}

void png_release(DecodeContext* ctx) {
    destroy(static_cast<PngReadState*>(ctx->decoder_state));
    ctx->decoder_state = nullptr;
}

const ImageDecoder png_decoder{png_probe, png_decode, png_release, FormatPng};

}  // namespace

int png_decoder_register() {
    return codec_register_once(&png_decoder);
}

Bitmap* png_decode_rgba(const std::uint8_t* data, std::size_t size) {
    std::int32_t width = 0, height = 0;
    int target = 0, file_depth = 0;
    PngReadState* state = open_png(data, size, true, &width, &height, &target, &file_depth);
    if (!state) return nullptr;
    Bitmap* bitmap = bitmap_create(width, height, 32);
    if (bitmap && !read_rows(state, bitmap->bits, height, bitmap->stride, true)) {
        bitmap_destroy(bitmap);
        bitmap = nullptr;
    }
    destroy(state);
    return bitmap;
}

}  // namespace morvane
