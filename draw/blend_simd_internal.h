// Shared by the vector Blend kernels of each instruction set.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define MORVANE_BLEND_X86 1
#endif

namespace morvane {

// The kernels do enough work per byte that the processor's own prefetching falls behind on
// pictures larger than the caches: ask for memory a little ahead of the loads.
inline void blend_prefetch(const std::uint8_t* p) {
    __builtin_prefetch(p + 1024, 0, 3);
}

#ifdef MORVANE_BLEND_X86
// Each handles the whole span and returns count.
int blend_row_avx2(std::uint8_t* target, const std::uint8_t* source, int count, bool keep);
int blend_fill_avx2(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep);
int blend_row_avx512(std::uint8_t* target, const std::uint8_t* source, int count, bool keep);
int blend_fill_avx512(std::uint8_t* target, std::uint32_t source_pixel, int count, bool keep);
#endif

}  // namespace morvane
