// The browser build's sounds: mono at half the rate, tones the ear hears kept,
// tones above the new Nyquist frequency removed (not folded back), loops still
// seamless, and a header that says the new rate.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sounds.h"

using sounds::Pcm;

namespace {

// A stereo cosine at the desktop rate, `frames` long, the same in both channels.
Pcm tone(double hz, size_t frames, double amplitude = 10000.0) {
    Pcm p;
    for (size_t f = 0; f < frames; ++f) {
        auto v = static_cast<int16_t>(std::lround(amplitude * std::cos(2.0 * std::numbers::pi * hz * f / sounds::SAMPLE_RATE)));
        p.samples.push_back(v);
        p.samples.push_back(v);
    }
    return p;
}

double rms(const Pcm& p, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += double(p.samples[i]) * p.samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

}  // namespace

TEST(WebSounds, KeepsAudibleTonesAndRemovesThoseAboveTheNewNyquist) {
    const double full = 10000.0 / std::sqrt(2.0);
    struct Case { double hz; double minShare, maxShare; };
    const Case cases[] = {{440.0, 0.98, 1.02}, {5000.0, 0.98, 1.02}, {15000.0, 0.0, 0.01}, {20000.0, 0.0, 0.01}};
    for (const Case& c : cases) {
        Pcm out = sounds::webVersion(tone(c.hz, 44100), false);
        ASSERT_EQ(out.channels, 1);
        ASSERT_EQ(out.frames(), 22050u);
        double share = rms(out, 1000, 21000) / full;
        EXPECT_GE(share, c.minShare) << c.hz;
        EXPECT_LE(share, c.maxShare) << c.hz;
    }
}

TEST(WebSounds, LoopsStaySeamlessAndOneShotsFadeInFromSilence) {
    // 4,400 frames hold 44 whole periods of 441 Hz, so the loop's seam is smooth:
    // filtered as a loop its start is as loud as its middle.
    const Pcm in = tone(441.0, 4400);
    const Pcm loop = sounds::webVersion(in, true);
    const Pcm once = sounds::webVersion(in, false);
    const size_t n = loop.frames();
    for (size_t i : {size_t{0}, size_t{5}, n - 1}) {
        double expected = 10000.0 * std::cos(2.0 * std::numbers::pi * 441.0 * 2.0 * i / sounds::SAMPLE_RATE);
        EXPECT_NEAR(loop.samples[i], expected, 150.0) << i;
    }
    // Without the wrap the filter sees silence before the start: only the
    // centre tap and the later half, about 0.73 of the peak.
    EXPECT_LT(once.samples[0], 8000);
}

TEST(WebSounds, HeaderSaysTheRateAndChannels) {
    const auto bytes = sounds::wavBytes(sounds::webVersion(tone(440.0, 100), true));
    auto u32 = [&](size_t at) { return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24; };
    EXPECT_EQ(bytes[22], 1);                  // channels
    EXPECT_EQ(u32(24), 22050u);               // sample rate
    EXPECT_EQ(u32(40), 100u);                 // 50 frames of 2 bytes
}
