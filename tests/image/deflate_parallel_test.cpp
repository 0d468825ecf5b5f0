// Block-parallel zlib streams: valid single streams, the same bytes on any thread count.
#include "image/deflate_parallel.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace morvane {
namespace {

std::vector<std::uint8_t> joined(const std::vector<std::vector<std::uint8_t>>& pieces) {
    std::vector<std::uint8_t> all;
    for (const auto& p : pieces) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Random bytes and copies of earlier stretches (up to 40,000 bytes back), so much of it is
// matches, many reaching back over a block cut.
std::vector<std::uint8_t> sample(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> v;
    v.reserve(size + 64);
    while (v.size() < size) {
        const std::size_t length = 8 + random() % 56;
        if (v.size() < 64 || random() % 3 == 0) {
            for (std::size_t i = 0; i < length; ++i) v.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const std::size_t from = v.size() - 1 - random() % std::min<std::size_t>(v.size() - 1, 40000);
            for (std::size_t i = 0; i < length; ++i) v.push_back(v[from + i]);
        }
    }
    v.resize(size);
    return v;
}

TEST(DeflateParallel, OneValidStreamOfTheDataWhateverTheThreadCount) {
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, DeflateBlock - 1, DeflateBlock, DeflateBlock * 2 + 1000}) {
        SCOPED_TRACE(size);
        const auto data = sample(size, static_cast<unsigned>(size));
        std::vector<std::vector<std::uint8_t>> pieces;
        ASSERT_TRUE(deflate_parallel(data.data(), data.size(), 9, 1, pieces));
        const auto one = joined(pieces);
        ASSERT_TRUE(deflate_parallel(data.data(), data.size(), 9, 3, pieces));
        EXPECT_EQ(joined(pieces), one);
        EXPECT_EQ(pieces.size(), std::max<std::size_t>(1, (size + DeflateBlock - 1) / DeflateBlock));
        ASSERT_GE(one.size(), 6u);
        EXPECT_EQ(one[0], 0x78);
        EXPECT_EQ(one[1], 0xDA);  // maximum-compression header
        std::vector<std::uint8_t> back(size + 1);
        uLongf back_size = back.size();
        ASSERT_EQ(uncompress(back.data(), &back_size, one.data(), one.size()), Z_OK);
        ASSERT_EQ(back_size, size);
        back.resize(size);
        EXPECT_EQ(back, data);
        // Priming each block with the data before it keeps the ratio of a single stream.
        if (size > DeflateBlock) {
            uLongf single = compressBound(size);
            std::vector<std::uint8_t> plain(single);
            ASSERT_EQ(compress2(plain.data(), &single, data.data(), size, 9), Z_OK);
            EXPECT_LT(one.size(), single + single / 100);
        }
    }
}

TEST(DeflateParallel, HeaderLevelFieldFollowsTheLevel) {
    const auto data = sample(1000, 5);
    std::vector<std::vector<std::uint8_t>> pieces;
    for (const auto& [level, flg] : {std::pair{1, 0x01}, std::pair{5, 0x5E}, std::pair{6, 0x9C}}) {
        ASSERT_TRUE(deflate_parallel(data.data(), data.size(), level, 2, pieces));
        EXPECT_EQ(pieces.front()[1], flg) << level;
        const auto all = joined(pieces);
        std::vector<std::uint8_t> back(2000);
        uLongf n = back.size();
        EXPECT_EQ(uncompress(back.data(), &n, all.data(), all.size()), Z_OK);
        EXPECT_EQ(n, 1000u);
    }
}

}  // namespace
}  // namespace morvane
