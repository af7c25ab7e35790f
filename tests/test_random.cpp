// The random source: its fixed sequence and the jump ahead.
#include <gtest/gtest.h>

#include "machine/random.h"
#include "test_support.h"

TEST(Random, FirstResultsFromTheFixedStart) {
    testing_support::GameDir dir;
    EXPECT_EQ(NextRandom(), 5540);
    EXPECT_EQ(RandomState.low, 0x4E36u);
    EXPECT_EQ(RandomState.high, 0x15A4u);
    EXPECT_EQ(NextRandom(), 221838220);
    EXPECT_EQ(NextRandom(), 695693412);
}

TEST(Random, JumpAheadMatchesSteppingOneByOne) {
    // A negative count discards nothing, like 0.
    for (int64_t n : {-5, 0, 1, 2, 3, 10, 255, 1000, 65537}) {
        RandomState = RandomStateWords{0x12345678u, 0x9ABCDEF0u};
        for (int64_t i = 0; i < n; ++i) NextRandom();
        RandomStateWords stepped = RandomState;
        RandomState = RandomStateWords{0x12345678u, 0x9ABCDEF0u};
        discardRandom(n);
        EXPECT_EQ(RandomState.low, stepped.low) << n;
        EXPECT_EQ(RandomState.high, stepped.high) << n;
    }
    RandomState = RandomStateWords();
}

TEST(Random, HugeDiscardIsAJump) {
    // 2^31 steps stepped one by one would take seconds; the jump is instant
    // and composes: two jumps of n equal one of 2n.
    RandomState = RandomStateWords();
    discardRandom(int64_t{1} << 31);
    discardRandom(int64_t{1} << 31);
    RandomStateWords twice = RandomState;
    RandomState = RandomStateWords();
    discardRandom(int64_t{1} << 32);
    EXPECT_EQ(RandomState.low, twice.low);
    EXPECT_EQ(RandomState.high, twice.high);
    RandomState = RandomStateWords();
}
