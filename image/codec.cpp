// Codec lists, the decode context, loading from memory and files, and saving.
#include "image/codec.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "image/bitmap.h"
#include "image/file.h"
#include "image/image.h"

namespace morvane {

namespace {

constexpr int MaxDecoders = 30;
constexpr int MaxEncoders = 32;
constexpr std::int64_t MaxSide = 32767;

struct CodecLists {
    const ImageDecoder* decoders[MaxDecoders] = {};
    int decoder_count = 0;
    const ImageEncoder* encoders[MaxEncoders] = {};
    int encoder_count = 0;
};

CodecLists g_lists;
DecodeContext g_context;
std::int64_t g_pixel_limit = MaxSide * MaxSide;

std::intptr_t creation_result(ObjectNumber number, ObjectNumber result_number, const Bitmap* bitmap) {
    return number == -1 ? static_cast<std::intptr_t>(result_number) : bitmap_handle(bitmap);
}

// True when the data begins as a format read here (PNG, JPEG or BMP): data that does and
// still cannot be decoded is a damaged or truncated picture, not some other kind of file.
bool known_signature(const std::uint8_t* data, std::int32_t size) {
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 4 && std::memcmp(data, png, static_cast<std::size_t>(size < 8 ? size : 8)) == 0) return true;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return true;
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

// True when a PNG header (IHDR first) or a BMP header (an information header of 40 bytes or
// more) declares a size larger than may be decoded: the probes refuse such pictures, which are
// then too large rather than damaged.
bool declares_too_large(const std::uint8_t* data, std::int32_t size) {
    std::int64_t width = 0, height = 0;
    if (size >= 24 && data[0] == 0x89 && std::memcmp(data + 1, "PNG", 3) == 0 &&
        std::memcmp(data + 12, "IHDR", 4) == 0) {
        auto be32 = [&](int at) {
            return std::int64_t{data[at]} << 24 | std::int64_t{data[at + 1]} << 16 | data[at + 2] << 8 |
                   data[at + 3];
        };
        width = be32(16), height = be32(20);
    } else if (size >= 26 && data[0] == 'B' && data[1] == 'M' && data[14] >= 40 && data[15] == 0) {
        auto le32 = [&](int at) {
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(data[at]) | data[at + 1] << 8 |
                                             data[at + 2] << 16 |
                                             static_cast<std::uint32_t>(data[at + 3]) << 24);
        };
        width = le32(18), height = le32(22);
        if (height < 0) height = -height;  // a top-down BMP
    }
    return width > 0 && height > 0 && !codec_size_allowed(width, height);
}

// Finds the accepting decoder and decodes into new storage; null on any failure, with its
// reason in `failure`.
Bitmap* decode_block(const std::uint8_t* data, std::int32_t size, int* file_depth, std::uint32_t* tag,
                     LoadFailure* failure) {
    DecodeContext& ctx = g_context;
    ctx = DecodeContext{};
    ctx.source = data;
    ctx.source_size = size;
    ctx.from_memory = 1;
    const ImageDecoder* chosen = nullptr;
    for (int i = 0; i < g_lists.decoder_count && !chosen; ++i) {
        const ImageDecoder* decoder = g_lists.decoders[i];
        ctx.decoder_state = nullptr;
        ctx.width = ctx.height = ctx.target_depth = ctx.file_depth = 0;
        if (decoder->probe && decoder->probe(&ctx)) chosen = decoder;
    }
    if (!chosen) {
        *failure = declares_too_large(data, size) ? LoadFailure::TooLarge
                   : known_signature(data, size)  ? LoadFailure::Damaged
                                                  : LoadFailure::NotPicture;
        return nullptr;
    }
    ctx.decoder = chosen;

    Bitmap* bitmap = nullptr;
    *failure = LoadFailure::Damaged;
    if (codec_size_allowed(ctx.width, ctx.height) && (ctx.target_depth == 24 || ctx.target_depth == 32)) {
        bitmap = bitmap_create(ctx.width, ctx.height, ctx.target_depth);
        if (!bitmap) *failure = LoadFailure::NoMemory;
    } else if (ctx.width > 0 && ctx.height > 0 &&
               (ctx.width > MaxSide || ctx.height > MaxSide ||
                std::int64_t{ctx.width} * ctx.height > g_pixel_limit)) {
        *failure = LoadFailure::TooLarge;
    }
    if (bitmap && !(chosen->decode && chosen->decode(&ctx, bitmap->bits, bitmap->stride, BottomUp))) {
        bitmap_destroy(bitmap);
        bitmap = nullptr;
        *failure = LoadFailure::Damaged;
    }
    if (bitmap) *failure = LoadFailure::None;
    if (chosen->release) chosen->release(&ctx);
    *file_depth = ctx.file_depth;
    *tag = chosen->tag;
    ctx.decoder_state = nullptr;
    return bitmap;
}

bool is_icon_file(const std::uint8_t* data, std::int32_t size) {
    return size >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0;
}

// Composes 32-bit pixels onto white into new 24-bit rows of the same order.
std::uint8_t* flatten_onto_white(const Bitmap& source, std::int32_t* out_stride) {
    const std::int64_t stride = bitmap_stride(source.width, 24);
    if (stride <= 0) return nullptr;
    auto* out = static_cast<std::uint8_t*>(
        std::calloc(static_cast<std::size_t>(stride) * static_cast<std::size_t>(source.height), 1));
    if (!out) return nullptr;
    for (std::int32_t r = 0; r < source.height; ++r) {
        const std::uint8_t* in = source.bits + static_cast<std::ptrdiff_t>(r) * source.stride;
        std::uint8_t* dst = out + static_cast<std::ptrdiff_t>(r) * stride;
        for (std::int32_t x = 0; x < source.width; ++x, in += 4, dst += 3) {
            const unsigned a = in[3];
            for (int c = 0; c < 3; ++c)
                dst[c] = static_cast<std::uint8_t>((in[c] * a + 255u * (255u - a)) / 255u);
        }
    }
    *out_stride = static_cast<std::int32_t>(stride);
    return out;
}

}  // namespace

void encoded_block_free(EncodedBlock* block) {
    if (!block) return;
    std::free(block->data);
    delete block;
}

bool codec_size_allowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= g_pixel_limit;
}

void image_codecs_set_pixel_limit(std::int64_t pixels) {
    g_pixel_limit = pixels < 1 ? 1 : (pixels > MaxSide * MaxSide ? MaxSide * MaxSide : pixels);
}

std::int64_t image_codecs_pixel_limit() {
    return g_pixel_limit;
}

std::intptr_t encoded_output(const char* file_name, std::uint8_t* data, std::size_t size) {
    if (file_name) {
        const bool ok = data && file_write_atomic(file_name, data, size);
        std::free(data);
        return ok ? 1 : 0;
    }
    if (!data) return 0;
    auto* block = new (std::nothrow) EncodedBlock;
    if (!block) {
        std::free(data);
        return 0;
    }
    block->data = data;
    block->size = size;
    return reinterpret_cast<std::intptr_t>(block);
}

void image_codecs_init() {
    g_lists = CodecLists{};
    g_context = DecodeContext{};
}

int decoder_register(const ImageDecoder* decoder) {
    if (!decoder || g_lists.decoder_count >= MaxDecoders) return 0;
    g_lists.decoders[g_lists.decoder_count++] = decoder;
    return 1;
}

int encoder_register(const ImageEncoder* encoder) {
    if (!encoder || g_lists.encoder_count >= MaxEncoders) return 0;
    g_lists.encoders[g_lists.encoder_count++] = encoder;
    return 1;
}

// Registers a record unless the same record is already in the list.
int codec_register_once(const ImageDecoder* decoder) {
    for (int i = 0; i < g_lists.decoder_count; ++i)
        if (g_lists.decoders[i] == decoder) return 1;
    return decoder_register(decoder);
}

int codec_register_once(const ImageEncoder* encoder) {
    for (int i = 0; i < g_lists.encoder_count; ++i)
        if (g_lists.encoders[i] == encoder) return 1;
    return encoder_register(encoder);
}

const ImageEncoder* encoder_find(std::uint32_t tag) {
    for (int i = 0; i < g_lists.encoder_count; ++i)
        if (g_lists.encoders[i]->tag == tag) return g_lists.encoders[i];
    return nullptr;
}

LoadResult image_from_memory_result(ObjectNumber number, const void* data, std::int32_t size) {
    LoadResult result;
    ObjectNumber result_number = 0;
    Image* record = image_take_record(number, &result_number);
    if (!record) {
        result.failure = LoadFailure::NoMemory;
        return result;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes || size <= 0) {
        image_release_record(result_number);
        result.failure = LoadFailure::Empty;
        return result;
    }

    if (is_icon_file(bytes, size)) {
        int entry_depth = 0;
        if (Bitmap* icon = icon_decode(bytes, static_cast<std::size_t>(size), &entry_depth)) {
            record->handle = bitmap_handle(icon);
            record->width = static_cast<std::int16_t>(icon->width);
            record->height = static_cast<std::int16_t>(icon->height);
            record->depth = 32;
            record->source_depth = static_cast<std::uint8_t>(entry_depth);
            record->format_tag = FormatIcon;
            result.value = creation_result(number, result_number, icon);
            return result;
        }
    }

    int file_depth = 0;
    std::uint32_t tag = 0;
    Bitmap* bitmap = decode_block(bytes, size, &file_depth, &tag, &result.failure);
    if (!bitmap) {
        image_release_record(result_number);
        return result;
    }
    record->handle = bitmap_handle(bitmap);
    record->width = static_cast<std::int16_t>(bitmap->width);
    record->height = static_cast<std::int16_t>(bitmap->height);
    record->depth = static_cast<std::uint8_t>(bitmap->bpp);
    record->source_depth = static_cast<std::uint8_t>(file_depth);
    record->format_tag = tag;
    result.value = creation_result(number, result_number, bitmap);
    return result;
}

std::intptr_t image_from_memory(ObjectNumber number, const void* data, std::int32_t size) {
    return image_from_memory_result(number, data, size).value;
}

LoadResult image_load_result(ObjectNumber number, const std::string& file_name) {
    std::vector<std::uint8_t> data;
    const int code = file_read_whole(file_name.c_str(), data);
    if (code || data.empty()) {
        // The record is still taken so that a failed load leaves no image at the number.
        ObjectNumber result_number = 0;
        if (image_take_record(number, &result_number)) image_release_record(result_number);
        LoadResult result;
        switch (code) {
            case 0:
                result.failure = LoadFailure::Empty;
                break;
            case ENOENT:
                result.failure = LoadFailure::NoSuchFile;
                break;
            case EISDIR:
                result.failure = LoadFailure::Folder;
                break;
            case EACCES:
            case EPERM:
                result.failure = LoadFailure::PermissionDenied;
                break;
            case ENOMEM:
                result.failure = LoadFailure::NoMemory;
                break;
            default:
                result.failure = LoadFailure::Unreadable;
                result.detail = file_error_text(code);
        }
        return result;
    }
    return image_from_memory_result(number, data.data(), static_cast<std::int32_t>(data.size()));
}

std::intptr_t image_load(ObjectNumber number, const std::string& file_name) {
    return image_load_result(number, file_name).value;
}

std::string load_failure_text(const LoadResult& result) {
    switch (result.failure) {
        case LoadFailure::None:
            return {};
        case LoadFailure::NoSuchFile:
            return "no such file";
        case LoadFailure::Folder:
            return "it is a folder";
        case LoadFailure::PermissionDenied:
            return "permission denied";
        case LoadFailure::Empty:
            return "the file is empty";
        case LoadFailure::Damaged:
            return "the picture is truncated or damaged";
        case LoadFailure::NotPicture:
            return "not a picture in a format read here (PNG, JPEG or BMP)";
        case LoadFailure::TooLarge:
            return "the picture is larger than " + std::to_string(MaxSide) + " pixels on a side or " +
                   std::to_string(g_pixel_limit) + " pixels in all";
        case LoadFailure::NoMemory:
            return "not enough memory";
        case LoadFailure::Unreadable:
            return result.detail.empty() ? "the file cannot be read" : result.detail;
    }
    return {};
}

int image_save(ObjectNumber number, const std::string& file_name, std::uint32_t tag, int parameter,
               int depth) {
    if (file_name.empty()) return 0;
    const Image* record = image_record(number);
    if (!record || !record->handle) return 0;
    const Bitmap* bitmap = bitmap_from_handle(record->handle);
    if (!bitmap || bitmap->kind != Bitmap::Kind::Pixels || !bitmap->bits) return 0;
    if (depth == -1) depth = record->source_depth;

    const ImageEncoder* encoder = encoder_find(tag);
    if (!encoder || !encoder->write24) return 0;

    const char* name = file_name.c_str();
    if (bitmap->bpp == 32) {
        if (encoder->write32 && depth == 32) {
            return encoder->write32(name, bitmap->bits, bitmap->width, bitmap->height, bitmap->stride,
                                    BottomUp, parameter, depth) != 0;
        }
        std::int32_t stride = 0;
        std::uint8_t* flat = flatten_onto_white(*bitmap, &stride);
        if (!flat) return 0;
        const std::intptr_t result =
            encoder->write24(name, flat, bitmap->width, bitmap->height, stride, BottomUp, parameter, depth);
        std::free(flat);
        return result != 0;
    }
    if (bitmap->bpp == 24) {
        return encoder->write24(name, bitmap->bits, bitmap->width, bitmap->height, bitmap->stride, BottomUp,
                                parameter, depth) != 0;
    }
    return 0;
}

}  // namespace morvane
