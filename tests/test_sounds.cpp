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

namespace fs = std::filesystem;
using sounds::Pcm;

namespace {

double seconds(const Pcm& p) { return static_cast<double>(p.frames()) / sounds::SAMPLE_RATE; }

int peakOf(const Pcm& p) {
    int peak = 0;
    for (int16_t s : p.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// Largest jump between neighbouring samples of one channel that a tenth of
// a percent of the sound exceeds: the size of an ordinary step in the music.
int ordinaryStep(const Pcm& p, int channel) {
    std::vector<int> steps;
    for (size_t f = 1; f < p.frames(); ++f)
        steps.push_back(std::abs(p.samples[2 * f + channel] - p.samples[2 * (f - 1) + channel]));
    std::sort(steps.begin(), steps.end());
    return steps[steps.size() * 999 / 1000];
}

// The jump from the last sample back to the first, as the loop plays it.
int seamStep(const Pcm& p, int channel) {
    return std::abs(p.samples[static_cast<size_t>(channel)] - p.samples[2 * (p.frames() - 1) + channel]);
}

class Sounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        town_ = new Pcm(sounds::synthTownTune());
        march_ = new Pcm(sounds::synthParlourMarch());
        fanfare_ = new Pcm(sounds::synthFanfare());
        clatter_ = new Pcm(sounds::synthBallClatter());
    }
    static void TearDownTestSuite() {
        delete town_;
        delete march_;
        delete fanfare_;
        delete clatter_;
    }
    static Pcm *town_, *march_, *fanfare_, *clatter_;
};
Pcm* Sounds::town_ = nullptr;
Pcm* Sounds::march_ = nullptr;
Pcm* Sounds::fanfare_ = nullptr;
Pcm* Sounds::clatter_ = nullptr;

TEST_F(Sounds, LengthsFitTheirUse) {
    EXPECT_GE(seconds(*town_), 20.0);
    EXPECT_LE(seconds(*town_), 40.0);
    EXPECT_GE(seconds(*march_), 20.0);
    EXPECT_LE(seconds(*march_), 40.0);
    EXPECT_GE(seconds(*fanfare_), 1.0);
    EXPECT_LE(seconds(*fanfare_), 10.0);
    EXPECT_GE(seconds(*clatter_), 0.3);
    EXPECT_LE(seconds(*clatter_), 0.6);
    for (const Pcm* p : {town_, march_, fanfare_, clatter_}) {
        EXPECT_EQ(p->channels, 2);
        EXPECT_EQ(p->samples.size() % 2, 0u);
    }
}

TEST_F(Sounds, LevelsNeitherClipNorFade) {
    for (const Pcm* p : {town_, march_, fanfare_, clatter_}) {
        int peak = peakOf(*p);
        EXPECT_LT(peak, 32000);  // headroom: nothing reaches full scale
        EXPECT_GT(peak, 16000);  // and nothing is too quiet beside the others
    }
}

TEST_F(Sounds, LoopsJoinWithoutAClick) {
    for (const Pcm* p : {town_, march_, fanfare_}) {
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_LE(seamStep(*p, channel), ordinaryStep(*p, channel)) << "channel " << channel;
    }
}

TEST_F(Sounds, BallSoundStartsAndEndsInSilence) {
    const Pcm& p = *clatter_;
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
    EXPECT_EQ(sounds::wavBytes(sounds::synthFanfare()), sounds::wavBytes(*fanfare_));
    EXPECT_EQ(sounds::wavBytes(sounds::synthBallClatter()), sounds::wavBytes(*clatter_));
}

TEST_F(Sounds, WrittenFilesPassTheGamesReader) {
    testing_support::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    ASSERT_TRUE(writeSounds(dir.string()));
    struct Expect {
        const char* name;
        const Pcm* pcm;
    };
    for (const Expect& e : {Expect{"base1.wav", town_}, Expect{"base2.wav", march_}, Expect{"open.wav", fanfare_},
                            Expect{"tamade.wav", clatter_}}) {
        SCOPED_TRACE(e.name);
        WaveReader reader;
        ASSERT_EQ(waveOpen(reader, (dir / e.name).string().c_str()), 0);
        ASSERT_TRUE(reader.format);
        EXPECT_EQ(reader.format->formatTag, platform::WAVE_FORMAT_PCM);
        EXPECT_EQ(reader.format->channels, 2);
        EXPECT_EQ(reader.format->samplesPerSec, 44100u);
        EXPECT_EQ(reader.format->bitsPerSample, 16);
        EXPECT_EQ(reader.format->blockAlign, 4);
        EXPECT_EQ(reader.format->avgBytesPerSec, 176400u);
        const uint32_t size = reader.dataChunk.size;
        ASSERT_EQ(size, e.pcm->samples.size() * 2);
        std::vector<uint8_t> data(size);
        uint32_t got = 0;
        ASSERT_EQ(waveRead(reader, size, data.data(), &got), 0);
        EXPECT_EQ(got, size);
        std::vector<uint8_t> expected = sounds::wavBytes(*e.pcm);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), expected.begin() + 44));
        // Samples little-endian, in order.
        EXPECT_EQ(static_cast<int16_t>(data[2000] | data[2001] << 8), e.pcm->samples[1000]);
        waveDestroy(reader);
    }
}

}  // namespace
