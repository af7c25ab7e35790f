// The four synthesised sounds: the format the game's reader accepts, the
// lengths, the levels (no clipping, not silent), seamless loops, the ball
// sound starting and ending in silence, and byte-identical repeat runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/wav_reader.h"
#include "sounds.h"
#include "test_support.h"

using sounds::Pcm;

namespace {

// Largest jump between neighbouring samples of one channel that a tenth of
// a percent of the sound exceeds: the size of an ordinary step in the music.
int ordinaryStep(const Pcm& p, int channel) {
    std::vector<int> steps;
    for (size_t f = 1; f < p.frames(); ++f)
        steps.push_back(std::abs(p.samples[2 * f + channel] - p.samples[2 * (f - 1) + channel]));
    std::sort(steps.begin(), steps.end());
    return steps[steps.size() * 999 / 1000];
}

struct Sound {
    const char* file;
    Pcm pcm;
    double minSeconds, maxSeconds;
    bool loops;
};

// Synthesised once for all the cases of the suite.
class Sounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        all_ = new std::vector<Sound>{{"base1.wav", sounds::synthTownTune(), 20.0, 40.0, true},
                                      {"base2.wav", sounds::synthParlourMarch(), 20.0, 40.0, true},
                                      {"open.wav", sounds::synthFanfare(), 1.0, 10.0, true},
                                      {"tamade.wav", sounds::synthBallClatter(), 0.3, 0.6, false}};
    }
    static void TearDownTestSuite() { delete all_; }
    static std::vector<Sound>* all_;
};
std::vector<Sound>* Sounds::all_ = nullptr;

TEST_F(Sounds, LengthsLevelsAndLoopSeams) {
    for (const Sound& s : *all_) {
        SCOPED_TRACE(s.file);
        const Pcm& p = s.pcm;
        ASSERT_EQ(p.channels, 2);
        double seconds = static_cast<double>(p.frames()) / sounds::SAMPLE_RATE;
        EXPECT_GE(seconds, s.minSeconds);
        EXPECT_LE(seconds, s.maxSeconds);
        int peak = 0;
        for (int16_t v : p.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 32000);  // headroom: nothing reaches full scale
        EXPECT_GT(peak, 16000);  // and nothing is too quiet beside the others
        // A loop joins without a click: the jump from the last sample back
        // to the first is no bigger than an ordinary step.
        for (int channel = 0; channel < 2 && s.loops; ++channel)
            EXPECT_LE(std::abs(p.samples[channel] - p.samples[2 * (p.frames() - 1) + channel]),
                      ordinaryStep(p, channel))
                << "channel " << channel;
    }
}

TEST_F(Sounds, BallSoundStartsAndEndsInSilence) {
    const Pcm& p = (*all_)[3].pcm;
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_LT(std::abs(p.samples[static_cast<size_t>(channel)]), 300);
        EXPECT_LT(std::abs(p.samples[2 * (p.frames() - 1) + channel]), 50);
    }
    // Its energy sits in the first half: balls pouring, then thinning out.
    double first = 0, second = 0;
    for (size_t i = 0; i < p.samples.size(); ++i)
        (i < p.samples.size() / 2 ? first : second) += double(p.samples[i]) * p.samples[i];
    EXPECT_GT(first, 2 * second);
}

TEST_F(Sounds, RepeatRunsAreByteIdentical) {
    EXPECT_EQ(sounds::wavBytes(sounds::synthFanfare()), sounds::wavBytes((*all_)[2].pcm));
    EXPECT_EQ(sounds::wavBytes(sounds::synthBallClatter()), sounds::wavBytes((*all_)[3].pcm));
}

TEST_F(Sounds, WrittenFilesPassTheGamesReader) {
    testing_support::ScratchDir scratch;
    ASSERT_TRUE(writeSounds(scratch.path().string()));
    for (const Sound& s : *all_) {
        SCOPED_TRACE(s.file);
        WaveReader reader;
        ASSERT_EQ(waveOpen(reader, (scratch.path() / s.file).string().c_str()), 0);
        EXPECT_EQ(reader.format->formatTag, platform::WAVE_FORMAT_PCM);
        EXPECT_EQ(reader.format->samplesPerSec, 44100u);
        EXPECT_EQ(reader.format->blockAlign, 4) << "16-bit stereo";
        const uint32_t size = reader.dataChunk.size;
        ASSERT_EQ(size, s.pcm.samples.size() * 2);
        std::vector<uint8_t> data(size);
        uint32_t got = 0;
        ASSERT_EQ(waveRead(reader, size, data.data(), &got), 0);
        EXPECT_EQ(got, size);
        // Samples little-endian, in order.
        EXPECT_EQ(static_cast<int16_t>(data[2000] | data[2001] << 8), s.pcm.samples[1000]);
        EXPECT_EQ(static_cast<int16_t>(data[size - 2] | data[size - 1] << 8), s.pcm.samples.back());
        waveDestroy(reader);
    }
}

}  // namespace
