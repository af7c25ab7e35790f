// The game's only random source: a 64-bit linear congruential generator with
// a fixed starting state, never seeded. Every run draws the same sequence;
// only the order and number of draws make games differ.
#pragma once

#include <cstdint>

struct RandomStateWords {
    uint32_t low = 1;
    uint32_t high = 0;
};

extern RandomStateWords RandomState;

// Advances the state by one step; returns bits 32..62 of the new state.
int32_t NextRandom();

// Advances the state as `count` calls of NextRandom would, in O(log count)
// steps; a count of 0 or less discards nothing.
void discardRandom(int64_t count);

constexpr uint64_t RANDOM_MULTIPLIER = 0x000015A400004E35ull;
