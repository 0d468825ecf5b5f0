// Pixel storage: zeroed, bottom-up blocks of memory with the one stride rule.
#include "image/bitmap.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#define MORVANE_BITMAP_MMAP 1
#endif

namespace morvane {

namespace {

#ifdef MORVANE_BITMAP_MMAP
// Large pictures are mapped straight from the system on 2 MiB boundaries with huge pages
// asked for: fresh mappings are already zero, and first touching a huge page costs one
// fault instead of 512 (painting into a new 4096 x 4096 picture faulted 16,384 times).
// Below 32 MiB the C library may hand back recently freed heap memory, which is cheaper
// to reuse than fresh pages, so those sizes stay with it.
constexpr std::uint64_t HugePage = std::uint64_t{2} << 20;
constexpr std::uint64_t MapFrom = 16 * HugePage;

std::uint8_t* map_zeroed(std::uint64_t bytes, std::uint64_t* mapped) {
    const std::uint64_t length = (bytes + HugePage - 1) / HugePage * HugePage;
    void* block =
        mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    // Trim the slack so the mapping starts and ends on huge-page boundaries.
    auto* start = static_cast<std::uint8_t*>(block);
    const std::uint64_t lead = (HugePage - reinterpret_cast<std::uintptr_t>(start) % HugePage) % HugePage;
    if (lead) munmap(start, lead);
    if (HugePage - lead) munmap(start + lead + length, HugePage - lead);
    start += lead;
    madvise(start, length, MADV_HUGEPAGE);
    *mapped = length;
    return start;
}
#endif

}  // namespace

std::int64_t bitmap_stride(std::int64_t width, int bpp) {
    if (width < 0 || bpp <= 0 || bpp > 64) return -1;
    // width * bpp cannot overflow 64 bits for a 32-bit result, so check the width first.
    if (width > (std::int64_t{1} << 36)) return -1;
    const std::int64_t stride = 4 * ((width * bpp + 31) / 32);
    if (stride > INT32_MAX) return -1;
    return stride;
}

Bitmap* bitmap_create(std::int32_t width, std::int32_t height, int bpp) {
    if (width <= 0 || height <= 0) return nullptr;
    if (bpp >= 2 && bpp < 24) bpp = 24;
    if (bpp != 1 && bpp != 24 && bpp != 32) return nullptr;
    const std::int64_t stride = bitmap_stride(width, bpp);
    if (stride <= 0) return nullptr;
    // stride < 2^31 and height < 2^31, so the product fits in 62 bits.
    const std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
    if (bytes > static_cast<std::uint64_t>(PTRDIFF_MAX)) return nullptr;

    auto* bitmap = new (std::nothrow) Bitmap;
    if (!bitmap) return nullptr;
#ifdef MORVANE_BITMAP_MMAP
    if (bytes >= MapFrom) {
        bitmap->bits = map_zeroed(bytes, &bitmap->mapped_bytes);
    } else
#endif
    {
        bitmap->bits = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1));
    }
    if (!bitmap->bits) {
        delete bitmap;
        return nullptr;
    }
    bitmap->kind = Bitmap::Kind::Pixels;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bpp = bpp;
    bitmap->stride = static_cast<std::int32_t>(stride);
    return bitmap;
}

void bitmap_destroy(Bitmap* bitmap) {
    if (!bitmap) return;
#ifdef MORVANE_BITMAP_MMAP
    if (bitmap->mapped_bytes) {
        munmap(bitmap->bits, static_cast<std::size_t>(bitmap->mapped_bytes));
        delete bitmap;
        return;
    }
#endif
    std::free(bitmap->bits);
    delete bitmap;
}

}  // namespace morvane
