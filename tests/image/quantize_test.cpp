// The palette quantiser against brute-force checks on seeded random pictures.
#include "image/quantize.h"

#include <gtest/gtest.h>

#include <random>

namespace morvane {
namespace {

int channel(std::uint32_t rgb, int c) {
    return static_cast<int>((rgb >> (16 - 8 * c)) & 255);
}
long distance2(std::uint32_t a, std::uint32_t b) {
    long d = 0;
    for (int c = 0; c < 3; ++c) d += long(channel(a, c) - channel(b, c)) * (channel(a, c) - channel(b, c));
    return d;
}

// 24-bit bottom-up rows from top-down 0xRRGGBB values.
std::vector<std::uint8_t> pack(const std::vector<std::uint32_t>& rgb, int width, int height, int* stride) {
    *stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(*stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = out.data() + (height - 1 - y) * *stride + 3 * x;
            const std::uint32_t c = rgb[y * width + x];
            p[0] = c & 255, p[1] = (c >> 8) & 255, p[2] = c >> 16;
        }
    return out;
}

TEST(Quantize, FewColoursAreKeptExactly) {
    const std::vector<std::uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000, 0x123456, 0x00FF00};
    int stride = 0;
    const auto pixels = pack(rgb, 3, 2, &stride);
    QuantizedPicture q;
    ASSERT_TRUE(quantize_picture(pixels.data(), 3, 2, stride, 24, true, 16, q));
    ASSERT_EQ(q.palette.size(), 16u);
    ASSERT_EQ(q.indices.size(), 6u);
    for (std::size_t i = 0; i < rgb.size(); ++i) EXPECT_EQ(q.palette[q.indices[i]], rgb[i]) << i;
}

TEST(Quantize, ClustersGetOneEntryEachAndPixelsTheirNearestEntry) {
    const std::uint32_t centres[4] = {0x202020, 0xE02020, 0x20E020, 0x8080E0};
    std::mt19937 random(42);
    const int width = 40, height = 30;
    std::vector<std::uint32_t> rgb(width * height);
    for (auto& v : rgb) {
        const std::uint32_t c = centres[random() % 4];
        v = 0;
        for (int k = 0; k < 3; ++k)
            v = v << 8 | static_cast<std::uint32_t>(channel(c, k) + int(random() % 7) - 3);
    }
    int stride = 0;
    const auto pixels = pack(rgb, width, height, &stride);
    QuantizedPicture q;
    ASSERT_TRUE(quantize_picture(pixels.data(), width, height, stride, 24, true, 4, q));
    for (std::uint32_t centre : centres) {
        long best = 1L << 30;
        for (std::uint32_t p : q.palette) best = std::min(best, distance2(p, centre));
        EXPECT_LE(best, 3 * 3 * 3) << std::hex << centre;
    }
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        long best = 1L << 30;
        for (std::uint32_t p : q.palette) best = std::min(best, distance2(p, rgb[i]));
        EXPECT_EQ(distance2(q.palette[q.indices[i]], rgb[i]), best) << i;
    }
}

TEST(Quantize, GreyRampInSixteenLevelsStaysClose) {
    const int width = 256;
    std::vector<std::uint32_t> rgb(width);
    for (int x = 0; x < width; ++x) rgb[x] = static_cast<std::uint32_t>(x * 0x010101);
    int stride = 0;
    const auto pixels = pack(rgb, width, 1, &stride);
    QuantizedPicture q;
    ASSERT_TRUE(quantize_picture(pixels.data(), width, 1, stride, 24, false, 16, q));
    int worst = 0;
    for (int x = 0; x < width; ++x)
        worst = std::max(worst, std::abs(channel(q.palette[q.indices[x]], 0) - x));
    EXPECT_LE(worst, 8);  // 16 boxes of 16 levels: at most half a box away
}

TEST(Quantize, AlphaIsComposedOntoWhiteAndBadArgumentsFail) {
    // B, G, R, A: transparent black is white; half-transparent red (a=128) is 255,127,127.
    const std::uint8_t pixels[8] = {0, 0, 0, 0, 0, 0, 255, 128};
    QuantizedPicture q;
    ASSERT_TRUE(quantize_picture(pixels, 2, 1, 8, 32, true, 2, q));
    EXPECT_EQ(q.palette[q.indices[0]], 0xFFFFFFu);
    EXPECT_EQ(q.palette[q.indices[1]], 0xFF7F7Fu);
    EXPECT_FALSE(quantize_picture(pixels, 2, 1, 8, 16, true, 2, q));
    EXPECT_FALSE(quantize_picture(pixels, 2, 1, 8, 32, true, 1, q));
    EXPECT_FALSE(quantize_picture(pixels, 0, 1, 8, 32, true, 2, q));
    EXPECT_FALSE(quantize_picture(nullptr, 2, 1, 8, 32, true, 2, q));
}

}  // namespace
}  // namespace morvane
