// Where two rows of bytes first and last differ, against a byte-by-byte search.
#include "app/document/history_pack.h"

#include <gtest/gtest.h>

#include <vector>

namespace morvane::testing {
namespace {

TEST(HistoryPackTest, FirstAndLastDifferenceMatchByteSearch) {
    // Lengths around the 8- and 32-byte steps, a 24-bit tile row and a 32-bit one; every
    // single differing byte position, then a pair of them, then none.
    for (const std::size_t n : {0u, 1u, 7u, 8u, 9u, 31u, 32u, 33u, 63u, 192u, 256u}) {
        std::vector<std::uint8_t> a(n + 8, 0x5a), b(n + 8, 0x5a);
        b[n] = b[n + 7] = 0x00;  // past the end: never reported
        EXPECT_EQ(first_difference(a.data(), b.data(), n), n) << n;
        EXPECT_EQ(last_difference(a.data(), b.data(), n), n) << n;
        for (std::size_t i = 0; i < n; ++i) {
            b[i] = 0x5b;
            EXPECT_EQ(first_difference(a.data(), b.data(), n), i) << n << " " << i;
            EXPECT_EQ(last_difference(a.data(), b.data(), n), i) << n << " " << i;
            for (std::size_t j = i + 1; j < n; j += 5) {
                b[j] = 0xa5;
                EXPECT_EQ(first_difference(a.data(), b.data(), n), i) << n << " " << i << " " << j;
                EXPECT_EQ(last_difference(a.data(), b.data(), n), j) << n << " " << i << " " << j;
                b[j] = 0x5a;
            }
            b[i] = 0x5a;
        }
    }
}

}  // namespace
}  // namespace morvane::testing
