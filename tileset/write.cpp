// Encoding the sheet in memory and writing a group of files all together or not at all.
#include <cstdlib>

#include "image/codec.h"
#include "image/file.h"
#include "tileset/tileset.h"

namespace morvane {

namespace {

EncodedPicture take_block(std::intptr_t result) {
    auto* block = reinterpret_cast<EncodedBlock*>(result);
    if (!block) return nullptr;
    try {
        return EncodedPicture(block, encoded_block_free);
    } catch (...) {
        encoded_block_free(block);
        return nullptr;
    }
}

}  // namespace

EncodedPicture tileset_encode(const Bitmap& picture, std::uint32_t tag, int parameter) {
    const ImageEncoder* encoder = encoder_find(tag);
    if (!encoder || !encoder->write24 || picture.bpp != 32 || !picture.bits) return nullptr;
    // The same call a 32-bit image saved at its own depth makes.
    if (encoder->write32) {
        return take_block(encoder->write32(nullptr, picture.bits, picture.width, picture.height,
                                           picture.stride, BottomUp, parameter, 32));
    }
    // No alpha in the format: flattened onto white, rows in the same memory order.
    const std::int64_t stride = (static_cast<std::int64_t>(picture.width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> flat;
    try {
        flat.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(picture.height));
    } catch (...) {
        return nullptr;
    }
    for (std::int32_t m = 0; m < picture.height; ++m) {
        const std::uint8_t* in = picture.bits + static_cast<std::ptrdiff_t>(m) * picture.stride;
        std::uint8_t* out = flat.data() + static_cast<std::ptrdiff_t>(m) * stride;
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const unsigned a = in[4 * x + 3];
            for (int k = 0; k < 3; ++k)
                out[3 * x + k] = static_cast<std::uint8_t>((in[4 * x + k] * a + 255 * (255 - a)) / 255);
        }
    }
    return take_block(encoder->write24(nullptr, flat.data(), picture.width, picture.height,
                                       static_cast<std::int32_t>(stride), BottomUp, parameter, 32));
}

bool files_write_together(const std::vector<OutputFile>& files, std::string* error) {
    std::vector<StagedFile> staged(files.size());
    auto fail = [&](const std::string& path, const std::string& why) {
        for (StagedFile& s : staged) file_discard(&s);
        if (error) *error = "cannot write " + path + ": " + why;
        return false;
    };
    // Every file is written beside its target (links followed) before any is replaced.
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string why = file_stage(files[i].path, files[i].data(), files[i].size(), &staged[i]);
        if (!why.empty()) return fail(files[i].path, why);
    }
    // Every file is complete: now they replace the old ones.
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string why = file_commit(&staged[i]);
        if (!why.empty()) return fail(files[i].path, why);
    }
    return true;
}

}  // namespace morvane
