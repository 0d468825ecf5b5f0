// Picture files: decoder and encoder lists, loading from files and memory, saving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/color.h"

namespace morvane {

/// Format tags: the format's letters in ascending byte order.
enum FormatTag : std::uint32_t {
    FormatBmp = 0x504D42u,     // "BMP"
    FormatPng = 0x474E50u,     // "PNG"
    FormatJpeg = 0x4745504Au,  // "JPEG"
    FormatIcon = 0x4E4F4349u,  // "ICON": icon-backed images only, no codec
};

/// Codec flag: pixel rows are stored bottom-up (first row in memory = bottom line).
inline constexpr int BottomUp = 2;

/// Size value meaning "unknown" for image_from_memory.
inline constexpr std::int32_t UnknownSize = 0x7FFFFFFF;

struct ImageDecoder;
struct Bitmap;

/// The one record shared by every decode: source, facts set by the accepting probe and
/// the decoder's private state.
struct DecodeContext {
    const ImageDecoder* decoder = nullptr;
    const std::uint8_t* source = nullptr;
    std::int32_t source_size = 0;
    int from_memory = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int target_depth = 0;           // 24 or 32: depth of the image to create
    void* decoder_state = nullptr;  // private to the accepting decoder
    int file_depth = 0;             // becomes the image's source depth
};

/// A reader: probe decides from the data and fills size and depths; decode writes every
/// row into `pixels` (stride bytes apart, BottomUp in flags for bottom-up memory);
/// release frees what probe and decode kept. Probe and decode return non-zero on success.
struct ImageDecoder {
    int (*probe)(DecodeContext* context) = nullptr;
    int (*decode)(DecodeContext* context, std::uint8_t* pixels, std::int32_t stride, int flags) = nullptr;
    void (*release)(DecodeContext* context) = nullptr;
    std::uint32_t tag = 0;
};

/// Encoded output kept in memory: what a writer returns when no file name is given.
/// Release with encoded_block_free.
struct EncodedBlock {
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

/// A writer: (file name or null, pixels, width, height, stride, flags, parameter, depth).
/// With a file name it returns 1 on success and 0 on failure (no file is left behind
/// and an existing file is kept); with a null name it returns an EncodedBlock* as an
/// integer, or 0.
using ImageWriter = std::intptr_t (*)(const char* file_name, const std::uint8_t* pixels, std::int32_t width,
                                      std::int32_t height, std::int32_t stride, int flags, int parameter,
                                      int depth);

/// A writer pair under one tag; write32 (alpha) may be null.
struct ImageEncoder {
    std::uint32_t tag = 0;
    ImageWriter write24 = nullptr;
    ImageWriter write32 = nullptr;
};

/// Releases a block returned by a writer called without a file name (null does nothing).
void encoded_block_free(EncodedBlock* block);

/// Creates the decode context and empties both codec lists.
void image_codecs_init();
/// Registers the BMP decoder and encoder.
void bmp_codec_register();
/// Register their codec once (a second call does nothing); return non-zero.
int png_decoder_register();
int png_encoder_register();
int jpeg_decoder_register();
int jpeg_encoder_register();
/// Append a codec to its list (at most 30 decoders, 32 encoders); return non-zero when added.
int decoder_register(const ImageDecoder* decoder);
int encoder_register(const ImageEncoder* encoder);

/// The first registered encoder with this tag, or null.
const ImageEncoder* encoder_find(std::uint32_t tag);

/// Decodes a block (icon file, or any registered format probed in registration order)
/// into image `number` (or -1 for a dynamic number). Returns the storage handle for a
/// fixed number, the dynamic number for -1, or 0 on failure (no image is left there).
std::intptr_t image_from_memory(ObjectNumber number, const void* data, std::int32_t size = UnknownSize);
/// Reads a whole file once and decodes it as image_from_memory.
std::intptr_t image_load(ObjectNumber number, const std::string& file_name);
/// Why a picture could not be read.
enum class LoadFailure : std::uint8_t {
    None,
    NoSuchFile,
    Folder,
    PermissionDenied,
    Empty,       // a file of no bytes
    Damaged,     // the data starts as a known format but cannot be decoded: truncated or damaged
    NotPicture,  // no decoder recognises the data
    TooLarge,    // larger than the pixel limit
    NoMemory,
    Unreadable,  // any other reading error
};
/// A load's result: the value image_load returns (0 on failure) and the reason of a failure.
struct LoadResult {
    std::intptr_t value = 0;
    LoadFailure failure = LoadFailure::None;
    std::string detail;  // the system's wording for Unreadable
};
/// image_from_memory and image_load, saying why they failed.
LoadResult image_from_memory_result(ObjectNumber number, const void* data, std::int32_t size = UnknownSize);
LoadResult image_load_result(ObjectNumber number, const std::string& file_name);
/// The reason of a failed load in words, shared by every program ("no such file", "the
/// picture is truncated or damaged", ...); empty for None.
std::string load_failure_text(const LoadResult& result);

/// Writes image `number` with the encoder of `tag`. `depth` -1 means the image's source
/// depth. Returns 1 on success, 0 on failure; a failed save leaves any existing file intact.
int image_save(ObjectNumber number, const std::string& file_name, std::uint32_t tag = FormatBmp,
               int parameter = 7, int depth = -1);

/// Upper bound on width x height for decoded pictures (default 32767 x 32767); lower it to
/// bound memory, as the fuzz targets do. Each side is limited to 32767 regardless.
void image_codecs_set_pixel_limit(std::int64_t pixels);
std::int64_t image_codecs_pixel_limit();

/// For decoders: true when a picture of this size may be decoded (both sides 1..32767 and
/// the pixel count within the limit).
bool codec_size_allowed(std::int64_t width, std::int64_t height);

/// For writers: hands encoded bytes (malloc'd, ownership taken) to their destination. With
/// a file name writes them atomically and returns 1 or 0; without one returns a new
/// EncodedBlock* as an integer (0 when out of memory).
std::intptr_t encoded_output(const char* file_name, std::uint8_t* data, std::size_t size);

/// For codec files: register a record unless that same record is already listed.
int codec_register_once(const ImageDecoder* decoder);
int codec_register_once(const ImageEncoder* encoder);

/// Decodes PNG data into a new 32-bit bitmap with straight alpha (opaque when the file has
/// none), bottom-up; null on failure. Used for PNG entries of icon files.
Bitmap* png_decode_rgba(const std::uint8_t* data, std::size_t size);

/// Decodes an icon file into a new icon-kind bitmap (32-bit, straight alpha, bottom-up),
/// choosing the entry by size and bit count; null when the block is not a usable icon.
/// `entry_depth` receives the chosen entry's bits per pixel.
Bitmap* icon_decode(const std::uint8_t* data, std::size_t size, int* entry_depth);

}  // namespace morvane
