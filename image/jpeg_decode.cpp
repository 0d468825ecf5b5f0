// JPEG reader over libjpeg: RGB, grey, CMYK and YCCK into 24-bit rows.

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>

#include "image/codec.h"
#include "image/progress.h"

namespace morvane {

namespace {

// Progressive files with more scans than this are refused.
constexpr int MaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Everything a decode keeps between probe and release; plain data, since libjpeg's
// errors leave through longjmp.
struct JpegReadState {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    jpeg_progress_mgr progress;
    bool created;
    JSAMPLE* row;
};

void on_error_exit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void on_message(j_common_ptr) {}
void on_emit(j_common_ptr, int) {}

void on_progress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxScans) {
        on_error_exit(cinfo);
    }
}

void destroy(JpegReadState* state) {
    if (!state) return;
    if (state->created) jpeg_destroy_decompress(&state->cinfo);
    std::free(state->row);
    std::free(state);
}

// Reads the header and starts decompression; plain C-like, one setjmp site.
bool start(JpegReadState* state, const std::uint8_t* data, std::size_t size) {
    state->cinfo.err = jpeg_std_error(&state->error.base);
    state->error.base.error_exit = on_error_exit;
    state->error.base.output_message = on_message;
    state->error.base.emit_message = on_emit;
    if (setjmp(state->error.jump)) return false;
    jpeg_create_decompress(&state->cinfo);
    state->created = true;
    state->progress.progress_monitor = on_progress;
    state->cinfo.progress = &state->progress;
    // Bounds the coefficient buffers of progressive files: no backing store, so asking for
    // more is an error rather than an allocation.
    const std::int64_t limit = image_codecs_pixel_limit() * 8 + (64 << 20);
    state->cinfo.mem->max_memory_to_use = static_cast<long>(limit);
    jpeg_mem_src(&state->cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&state->cinfo, TRUE) != JPEG_HEADER_OK) return false;
    switch (state->cinfo.jpeg_color_space) {
        // Three-component output comes as blue, green, red straight from the library's
        // colour conversion, so rows need no second pass.
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            state->cinfo.out_color_space = JCS_EXT_BGR;
            break;
        case JCS_YCCK:
        case JCS_CMYK:
            state->cinfo.out_color_space = JCS_CMYK;
            break;
        default:
            return false;
    }
    if (!codec_size_allowed(state->cinfo.image_width, state->cinfo.image_height)) return false;
    state->cinfo.dct_method = JDCT_ISLOW;
    jpeg_calc_output_dimensions(&state->cinfo);
    const std::size_t row_bytes =
        (static_cast<std::size_t>(state->cinfo.output_width) * state->cinfo.output_components + 3) &
        ~std::size_t{3};
    state->row = static_cast<JSAMPLE*>(std::malloc(row_bytes));
    if (!state->row) return false;
    return jpeg_start_decompress(&state->cinfo) != 0;
}

int jpeg_probe(DecodeContext* ctx) {
    const std::uint8_t* d = ctx->source;
    if (!d || ctx->source_size < 2 || d[0] != 0xFF || d[1] != 0xD8) return 0;
    auto* state = static_cast<JpegReadState*>(std::calloc(1, sizeof(JpegReadState)));
    if (!state) return 0;
    if (!start(state, d, static_cast<std::size_t>(ctx->source_size)) ||
        !codec_size_allowed(state->cinfo.output_width, state->cinfo.output_height) ||
        (state->cinfo.output_components != 3 && state->cinfo.output_components != 4)) {
        destroy(state);
        return 0;
    }
    ctx->decoder_state = state;
    ctx->width = static_cast<std::int32_t>(state->cinfo.output_width);
    ctx->height = static_cast<std::int32_t>(state->cinfo.output_height);
    ctx->target_depth = 24;
    ctx->file_depth = state->cinfo.output_components * 8;
    return 1;
}

// Converts one C, M, Y, K scanline: each colour = ink value x K div 255.
void convert_cmyk(const JSAMPLE* in, std::uint8_t* out, std::int32_t width) {
    for (std::int32_t x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned k = in[3];
        out[0] = static_cast<std::uint8_t>(in[2] * k / 255);
        out[1] = static_cast<std::uint8_t>(in[1] * k / 255);
        out[2] = static_cast<std::uint8_t>(in[0] * k / 255);
    }
}

int jpeg_decode(DecodeContext* ctx, std::uint8_t* pixels, std::int32_t stride, int flags) {
    auto* state = static_cast<JpegReadState*>(ctx->decoder_state);
    if (!state) return 0;
    if (setjmp(state->error.jump)) return 0;
    const std::int32_t height = ctx->height;
    const bool bottom_up = (flags & BottomUp) != 0;
    const bool cmyk = state->cinfo.output_components == 4;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t memory_row = bottom_up ? height - 1 - y : y;
        std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(memory_row) * stride;
        JSAMPROW rows[1] = {cmyk ? state->row : out};
        if (jpeg_read_scanlines(&state->cinfo, rows, 1) != 1) return 0;
        if (cmyk) convert_cmyk(state->row, out, ctx->width);
        progress_report(y + 1, height);
    }
    jpeg_finish_decompress(&state->cinfo);
    return 1;
}

void jpeg_release(DecodeContext* ctx) {
    destroy(static_cast<JpegReadState*>(ctx->decoder_state));
    ctx->decoder_state = nullptr;
}

const ImageDecoder jpeg_decoder{jpeg_probe, jpeg_decode, jpeg_release, FormatJpeg};

}  // namespace

int jpeg_decoder_register() {
    return codec_register_once(&jpeg_decoder);
}

}  // namespace morvane
