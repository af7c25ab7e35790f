#include "machine/random.h"

RandomStateWords RandomState;

int32_t NextRandom() {
    // Formed from 32-bit words exactly as the game always has, so the
    // sequence is the one its players know.
    uint64_t lowProduct = static_cast<uint64_t>(RandomState.low) * 0x4E35u + 1u;
    uint32_t newLow = static_cast<uint32_t>(lowProduct);
    uint32_t newHigh = static_cast<uint32_t>(lowProduct >> 32) + RandomState.low * 0x15A4u + RandomState.high * 0x4E35u;
    RandomState.low = newLow;
    RandomState.high = newHigh;
    return static_cast<int32_t>(newHigh & 0x7FFFFFFFu);
}

void discardRandom(int64_t count) {
    if (count <= 0) return;
    // n steps of x -> a*x + c compose to x -> A*x + C; square the step while
    // walking the bits of n (all arithmetic modulo 2^64).
    uint64_t a = RANDOM_MULTIPLIER, c = 1;
    uint64_t totalA = 1, totalC = 0;
    uint64_t n = static_cast<uint64_t>(count);
    while (n > 0) {
        if (n & 1u) {
            totalA = totalA * a;
            totalC = totalC * a + c;
        }
        c = c * (a + 1);
        a = a * a;
        n >>= 1;
    }
    uint64_t x = (static_cast<uint64_t>(RandomState.high) << 32) | RandomState.low;
    x = totalA * x + totalC;
    RandomState.low = static_cast<uint32_t>(x);
    RandomState.high = static_cast<uint32_t>(x >> 32);
}
