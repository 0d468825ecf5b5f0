// The cubic resampler: weights of the worked examples, results against a direct
// per-pixel reference on seeded random pictures, and the constant-picture cases.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "image/image.h"
#include "image/resample.h"

namespace morvane {
namespace {

TEST(CubicWeightsTest, KernelValuesAtQuarterSteps) {
    // (7/6)t^3 - 2t^2 + 8/9 and -(7/18)t^3 + 2t^2 - (10/3)t + 16/9 by hand, over 1152.
    EXPECT_NEAR(mitchell_kernel(0.0), 1024.0 / 1152, 1e-13);
    EXPECT_NEAR(mitchell_kernel(0.25), 901.0 / 1152, 1e-13);
    EXPECT_NEAR(mitchell_kernel(-0.75), 295.0 / 1152, 1e-13);
    EXPECT_NEAR(mitchell_kernel(1.0), 64.0 / 1152, 1e-13);
    EXPECT_NEAR(mitchell_kernel(1.25), -27.0 / 1152, 1e-13);
    EXPECT_NEAR(mitchell_kernel(1.75), -17.0 / 1152, 1e-13);
    EXPECT_EQ(mitchell_kernel(2.0), 0.0);
    EXPECT_EQ(mitchell_kernel(-3.5), 0.0);
}

TEST(CubicWeightsTest, DoublingARowOfEight) {
    const CubicTaps taps = cubic_taps(8, 16);
    EXPECT_EQ(taps.capacity, 5);
    // Index 5: centre 2.25, window 0..5 is one tap too many, so 1..5.
    EXPECT_EQ(taps.first[5], 1);
    ASSERT_EQ(taps.count[5], 5);
    const double w5[] = {-3.0 / 128, 901.0 / 1152, 295.0 / 1152, -17.0 / 1152, 0.0};
    for (int t = 0; t < 5; ++t) EXPECT_NEAR(taps.weights[5 * 5 + t], w5[t], 1e-13) << t;
    // Index 0: centre -0.25, taps 0..2 renormalised over 874/1152.
    EXPECT_EQ(taps.first[0], 0);
    ASSERT_EQ(taps.count[0], 3);
    const double w0[] = {901.0 / 874, -27.0 / 874, 0.0};
    for (int t = 0; t < 3; ++t) EXPECT_NEAR(taps.weights[t], w0[t], 1e-13) << t;
    // The last index mirrors the first.
    EXPECT_EQ(taps.first[15], 5);
    ASSERT_EQ(taps.count[15], 3);
    EXPECT_NEAR(taps.weights[15 * 5 + 2], 901.0 / 874, 1e-13);
}

TEST(CubicWeightsTest, HalvingWidensTheKernel) {
    // 4 -> 2: scale 1/2, support 4, kernel stretch 1/2; index 0 has centre 0.5 and taps
    // 0..3 at kernel distances 1/4, 1/4, 3/4, 5/4: 901, 901, 295, -27 over their sum 2070.
    const CubicTaps taps = cubic_taps(4, 2);
    EXPECT_EQ(taps.capacity, 9);
    EXPECT_EQ(taps.first[0], 0);
    ASSERT_EQ(taps.count[0], 4);
    const double w0[] = {901.0 / 2070, 901.0 / 2070, 295.0 / 2070, -27.0 / 2070};
    for (int t = 0; t < 4; ++t) EXPECT_NEAR(taps.weights[t], w0[t], 1e-13) << t;
}

TEST(CubicResampleTest, WorkedExampleRow) {
    std::vector<std::uint8_t> row;
    for (int v : {0, 0, 0, 255, 255, 255, 255, 255}) row.insert(row.end(), 4, static_cast<std::uint8_t>(v));
    std::vector<std::uint8_t> out(16 * 4);
    ASSERT_TRUE(resample_cubic(row.data(), 8, 1, out.data(), 16, 1));
    for (int c = 0; c < 4; ++c) EXPECT_EQ(out[5 * 4 + c], 62) << c;
    // The dark and bright ends stay at 0 and 255 (overshoot is clamped).
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[15 * 4], 255);
}

// Straightforward reference: each output value computed on its own from the formulas,
// with the 8-bit intermediate values recomputed wherever they are needed.
std::vector<std::pair<int, double>> reference_taps(int src, int dst, int i) {
    const double s = double(dst) / double(src);
    const double r = s < 1 ? 2 / s : 2;
    const double f = s < 1 ? s : 1;
    const double p = (i + 0.5) / s - 0.5;
    int first = std::max(0, int(std::floor(p - r)));
    int last = std::min(src - 1, int(std::ceil(p + r)));
    if (last - first + 1 > 2 * int(std::ceil(r)) + 1) first < src ? ++first : --last;
    std::vector<std::pair<int, double>> taps;
    double sum = 0;
    for (int k = first; k <= last; ++k) {
        const double t = std::abs((p - k) * f);
        double w = 0;
        if (t < 1) {
            w = (7.0 / 6.0) * t * t * t - 2.0 * t * t + 8.0 / 9.0;
        } else if (t < 2) {
            w = -(7.0 / 18.0) * t * t * t + 2.0 * t * t - (10.0 / 3.0) * t + 16.0 / 9.0;
        }
        taps.emplace_back(k, w * f);
        sum += w * f;
    }
    if (sum > 0 && sum != 1) {
        for (auto& tap : taps) tap.second /= sum;
    }
    return taps;
}

int round_clamp(double v) {
    const double t = std::trunc(v + 0.5);
    return t < 0 ? 0 : t > 255 ? 255 : int(t);
}

int reference_pixel(const std::vector<std::uint8_t>& in, int sw, int sh, int dw, int dh, int x, int y,
                    int c) {
    auto at = [&](int px, int py) { return in[(std::size_t(py) * sw + px) * 4 + c]; };
    double total = 0;
    if (std::int64_t(dw) * sh <= std::int64_t(sw) * dh) {  // rows first
        for (auto [ky, wy] : reference_taps(sh, dh, y)) {
            double across = 0;
            for (auto [kx, wx] : reference_taps(sw, dw, x)) across += wx * at(kx, ky);
            total += wy * round_clamp(across);
        }
    } else {
        for (auto [kx, wx] : reference_taps(sw, dw, x)) {
            double down = 0;
            for (auto [ky, wy] : reference_taps(sh, dh, y)) down += wy * at(kx, ky);
            total += wx * round_clamp(down);
        }
    }
    return round_clamp(total);
}

// Number of output bytes that differ from the reference.
int mismatches(const std::vector<std::uint8_t>& in, int sw, int sh, const std::vector<std::uint8_t>& out,
               int dw, int dh) {
    int wrong = 0;
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            for (int c = 0; c < 4; ++c) {
                wrong +=
                    out[(std::size_t(y) * dw + x) * 4 + c] != reference_pixel(in, sw, sh, dw, dh, x, y, c);
            }
        }
    }
    return wrong;
}

TEST(CubicResampleTest, MatchesDirectReferenceOnRandomPictures) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> size(1, 24);
    std::uniform_int_distribution<int> byte(0, 255);
    // Random small sizes, then a few larger ratios in both directions.
    std::vector<std::array<int, 4>> cases = {{97, 3, 5, 4}, {3, 2, 61, 9}, {40, 41, 7, 90}, {128, 1, 17, 1}};
    for (int i = 0; i < 60; ++i) cases.push_back({size(rng), size(rng), size(rng), size(rng)});
    for (std::size_t n = 0; n < cases.size(); ++n) {
        const auto [sw, sh, dw, dh] = cases[n];
        std::vector<std::uint8_t> in(std::size_t(sw) * sh * 4);
        // Half the pictures are noise, half hard steps (which overshoot and clamp).
        for (std::size_t i = 0; i < in.size(); ++i) {
            in[i] = n % 2 ? std::uint8_t(byte(rng)) : std::uint8_t(((i / 4) * 37 % 256) > 128 ? 250 : 5);
        }
        std::vector<std::uint8_t> out(std::size_t(dw) * dh * 4);
        ASSERT_TRUE(resample_cubic(in.data(), sw, sh, out.data(), dw, dh));
        EXPECT_EQ(mismatches(in, sw, sh, out, dw, dh), 0) << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
}

TEST(CubicResampleTest, TallWindowsWithoutRowCacheGiveTheSameResults) {
    // Columns first (7 * 40 > 30 * 3); a zero budget converts source bytes at each tap.
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    const int sw = 30, sh = 40, dw = 7, dh = 3;
    std::vector<std::uint8_t> in(std::size_t(sw) * sh * 4);
    for (auto& b : in) b = std::uint8_t(byte(rng));
    std::vector<std::uint8_t> cached(std::size_t(dw) * dh * 4), direct(cached.size());
    ASSERT_TRUE(resample_cubic(in.data(), sw, sh, cached.data(), dw, dh));
    ASSERT_TRUE(resample_cubic(in.data(), sw, sh, direct.data(), dw, dh, 0));
    EXPECT_EQ(mismatches(in, sw, sh, cached, dw, dh), 0);
    EXPECT_EQ(mismatches(in, sw, sh, direct, dw, dh), 0);
}

class SmoothResizeTest : public ::testing::Test {
  protected:
    void TearDown() override { image_free(-1); }
};

TEST_F(SmoothResizeTest, OnePixelEnlargedKeepsColourAndAlpha) {
    ASSERT_NE(image_create(1, 1, 1, 32, BackgroundTransparent), 0);
    std::uint8_t* p = bitmap_from_handle(image_handle(1))->bits;
    p[0] = 12, p[1] = 34, p[2] = 56, p[3] = 78;
    ASSERT_NE(image_resize(1, 7, 5, Smooth), 0);
    const Bitmap* b = bitmap_from_handle(image_handle(1));
    for (int i = 0; i < 35; ++i) {
        ASSERT_EQ(b->bits[4 * i], 12);
        ASSERT_EQ(b->bits[4 * i + 1], 34);
        ASSERT_EQ(b->bits[4 * i + 2], 56);
        ASSERT_EQ(b->bits[4 * i + 3], 78);
    }
}

TEST_F(SmoothResizeTest, ConstantPicturesStayConstant) {
    const int sizes[][2] = {{37, 23}, {10, 7}, {1, 50}, {64, 64}, {3, 90}};
    for (const auto& from : sizes) {
        for (const auto& to : sizes) {
            if (from[0] == to[0] && from[1] == to[1]) continue;
            ASSERT_NE(image_create(2, from[0], from[1], 32, rgba(200, 100, 50, 0)), 0);
            ASSERT_NE(image_resize(2, to[0], to[1], Smooth), 0);
            const Bitmap* b = bitmap_from_handle(image_handle(2));
            int wrong = 0;
            for (int i = 0; i < to[0] * to[1]; ++i) {
                wrong += b->bits[4 * i] != 50 || b->bits[4 * i + 1] != 100 || b->bits[4 * i + 2] != 200 ||
                         b->bits[4 * i + 3] != 255;
            }
            EXPECT_EQ(wrong, 0) << from[0] << "x" << from[1] << " -> " << to[0] << "x" << to[1];
        }
    }
}

}  // namespace
}  // namespace morvane
