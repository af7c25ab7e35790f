// The four synthesised sounds: the format the game's reader accepts, the
// lengths, the levels (no clipping, not silent), seamless loops, the ball
// sound starting and ending in silence, and repeatable runs.
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
    double minSeconds;
    bool loops;
};

// Synthesised once for all the cases of the suite.
class Sounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        all_ = new std::vector<Sound>{{"base1.wav", sounds::synthTownTune(), 20.0, true},
                                      {"base2.wav", sounds::synthParlourMarch(), 20.0, true},
                                      {"open.wav", sounds::synthFanfare(), 1.0, true},
                                      {"tamade.wav", sounds::synthBallClatter(), 0.3, false}};
    }
    static void TearDownTestSuite() { delete all_; }
    static inline std::vector<Sound>* all_ = nullptr;
};

TEST_F(Sounds, LengthsLevelsAndLoopSeams) {
    for (const auto& [file, p, minSeconds, loops] : *all_) {
        SCOPED_TRACE(file);
        ASSERT_EQ(p.channels, 2);
        EXPECT_GE(static_cast<double>(p.frames()) / sounds::SAMPLE_RATE, minSeconds);
        int peak = 0;
        for (int16_t v : p.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 32000);  // headroom: nothing reaches full scale
        EXPECT_GT(peak, 16000);  // and nothing is too quiet beside the others
        for (int channel = 0; channel < 2; ++channel) {
            const int first = p.samples[static_cast<size_t>(channel)];
            const int last = p.samples[2 * (p.frames() - 1) + channel];
            // A loop joins without a click: the jump from the last sample back
            // to the first is no bigger than an ordinary step. The ball sound,
            // played once, starts and ends in silence instead.
            if (loops) EXPECT_LE(std::abs(first - last), ordinaryStep(p, channel)) << channel;
            else EXPECT_TRUE(std::abs(first) < 300 && std::abs(last) < 50) << first << " " << last;
        }
    }
}

TEST_F(Sounds, WrittenFilesAreRepeatableAndPassTheGamesReader) {
    testing_support::ScratchDir scratch;
    ASSERT_TRUE(writeSounds(scratch.path().string()));
    for (const Sound& s : *all_) {
        SCOPED_TRACE(s.file);
        const std::filesystem::path path = scratch.path() / s.file;
        // Written from a second synthesis: the same bytes.
        const std::vector<uint8_t> bytes = testing_support::readBytes(path);
        ASSERT_EQ(bytes, sounds::wavBytes(s.pcm));
        WaveReader reader;
        ASSERT_EQ(waveOpen(reader, path.string().c_str()), 0);
        EXPECT_EQ(reader.format->blockAlign, 4) << "16-bit stereo";
        EXPECT_EQ(reader.dataChunk.size, s.pcm.samples.size() * 2);
        // Samples little-endian, the data last in the file.
        EXPECT_EQ(static_cast<int16_t>(bytes[bytes.size() - 2] | bytes.back() << 8), s.pcm.samples.back());
        waveDestroy(reader);
    }
}

}  // namespace
