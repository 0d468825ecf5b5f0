// JPEG writer over libjpeg: 24-bit pictures at quality step x 10.

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>

#include "image/codec.h"

namespace morvane {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Plain data reached through one pointer, since libjpeg's errors leave through longjmp.
struct JpegWriteJob {
    jpeg_compress_struct cinfo;
    ErrorManager error;
    bool created;
    unsigned char* out;
    unsigned long size;
};

void on_error_exit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void on_message(j_common_ptr) {}
void on_emit(j_common_ptr, int) {}

bool encode(JpegWriteJob* job, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
            std::int32_t stride, bool bottom_up, int quality) {
    job->cinfo.err = jpeg_std_error(&job->error.base);
    job->error.base.error_exit = on_error_exit;
    job->error.base.output_message = on_message;
    job->error.base.emit_message = on_emit;
    if (setjmp(job->error.jump)) return false;
    jpeg_create_compress(&job->cinfo);
    job->created = true;
    jpeg_mem_dest(&job->cinfo, &job->out, &job->size);
    job->cinfo.image_width = static_cast<JDIMENSION>(width);
    job->cinfo.image_height = static_cast<JDIMENSION>(height);
    job->cinfo.input_components = 3;
    job->cinfo.in_color_space = JCS_EXT_BGR;  // image memory order: rows need no conversion
    jpeg_set_defaults(&job->cinfo);
    jpeg_set_quality(&job->cinfo, quality, FALSE);
    jpeg_start_compress(&job->cinfo, TRUE);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t memory_row = bottom_up ? height - 1 - y : y;
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(pixels + static_cast<std::ptrdiff_t>(memory_row) * stride)};
        jpeg_write_scanlines(&job->cinfo, rows, 1);
    }
    jpeg_finish_compress(&job->cinfo);
    return true;
}

std::intptr_t jpeg_write24(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                           std::int32_t height, std::int32_t stride, int flags, int parameter, int) {
    if (!pixels || width <= 0 || height <= 0 || stride < 3 * static_cast<std::int64_t>(width)) return 0;
    const int step = parameter < 0 ? 0 : parameter > 10 ? 10 : parameter;
    auto* job = static_cast<JpegWriteJob*>(std::calloc(1, sizeof(JpegWriteJob)));
    if (!job) return 0;
    const bool ok = encode(job, pixels, width, height, stride, (flags & BottomUp) != 0, step * 10);
    if (job->created) jpeg_destroy_compress(&job->cinfo);
    unsigned char* out = job->out;
    const std::size_t size = job->size;
    std::free(job);
    if (!ok) {
        std::free(out);
        return 0;
    }
    // libjpeg's memory destination allocates with malloc, so the block is handed on as is.
    return encoded_output(file_name, out, size);
}

const ImageEncoder jpeg_encoder{FormatJpeg, jpeg_write24, nullptr};

}  // namespace

int jpeg_encoder_register() {
    return codec_register_once(&jpeg_encoder);
}

}  // namespace morvane
