// Encoding the sheet in memory and writing a group of files all together or not at all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
    std::vector<std::string> temps;
    auto fail = [&](const std::string& path, int code) {
        for (const std::string& t : temps) ::unlink(t.c_str());
        if (error) *error = "cannot write " + path + ": " + std::strerror(code);
        return false;
    };
    const mode_t mode = file_created_mode();
    for (const OutputFile& f : files) {
        std::string temp = f.path + ".XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0) return fail(f.path, errno);
        temps.push_back(temp);
        bool ok = file_write_all(fd, f.data(), f.size());
        int code = ok ? 0 : (errno ? errno : EIO);
        if (ok && ::fchmod(fd, mode) != 0) ok = false, code = errno;
        if (::close(fd) != 0 && ok) ok = false, code = errno;
        if (!ok) return fail(f.path, code);
    }
    // Every file is complete: now they replace the old ones.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (::rename(temps[i].c_str(), files[i].path.c_str()) != 0) {
            const int code = errno;
            temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
            return fail(files[i].path, code);
        }
    }
    return true;
}

}  // namespace morvane
