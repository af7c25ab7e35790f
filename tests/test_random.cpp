// The random source: its fixed sequence and the jump ahead.
#include <gtest/gtest.h>

#include "machine/random.h"
#include "test_support.h"

TEST(Random, FirstResultsFromTheFixedStart) {
    testing_support::GameDir dir;
    EXPECT_EQ(NextRandom(), 5540);
    EXPECT_EQ(NextRandom(), 221838220);
    EXPECT_EQ(NextRandom(), 695693412);
}

TEST(Random, JumpAheadMatchesSteppingOneByOne) {
    testing_support::GameDir dir;
    auto jumped = [](int64_t n) {
        RandomState = RandomStateWords{0x12345678u, 0x9ABCDEF0u};
        discardRandom(n);
        return RandomState;
    };
    // A negative count discards nothing, like 0.
    for (int64_t n : {-5, 0, 1, 2, 3, 10, 255, 1000, 65537}) {
        RandomState = RandomStateWords{0x12345678u, 0x9ABCDEF0u};
        for (int64_t i = 0; i < n; ++i) NextRandom();
        const RandomStateWords stepped = RandomState, jump = jumped(n);
        EXPECT_EQ(jump.low, stepped.low) << n;
        EXPECT_EQ(jump.high, stepped.high) << n;
    }
    // 2^32 steps one by one would take too long; two jumps of 2^31 compose.
    jumped(int64_t{1} << 31);
    discardRandom(int64_t{1} << 31);
    const RandomStateWords twice = RandomState, once = jumped(int64_t{1} << 32);
    EXPECT_EQ(once.low, twice.low);
    EXPECT_EQ(once.high, twice.high);
}
