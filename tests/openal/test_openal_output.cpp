// The real OpenAL Soft device, with its wave-file output driver standing in
// for a speaker: what the game starts is heard in the file, at the sound's
// own pitch. Also the play semantics the game relies on, on OpenAL's own
// source states. (That nothing starts with sound off, and the boxes of a
// buffer that cannot be made, are the sound layer's, tested on the logging
// device.)
//
// Output only grows as the mixer runs in real time, so the tests wait for
// enough output (or for a state) with a generous limit; no assertion depends
// on how fast that happens.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../wav_fixture.h"
#include "media/sound.h"
#include "media/wav_reader.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "state/game_state.h"

namespace fs = std::filesystem;
using namespace wav_fixture;

namespace {

fs::path workDir() { return fs::temp_directory_path() / ("pachinko-openal-" + std::to_string(::getpid())); }
fs::path outputFile() { return workDir() / "out.wav"; }

// OpenAL Soft reads its configuration once, at its first use: the driver and
// the output format are set before any test runs. The tests play in the same
// folder, each writing the sound files afresh.
class WaveDriver : public testing::Environment {
public:
    void SetUp() override {
        fs::create_directories(workDir());
        fs::current_path(workDir());
        fs::path conf = workDir() / "alsoft.conf";
        std::string text =
            "[general]\nfrequency = 44100\nsample-type = int16\nchannels = stereo\ndither = false\n"
            "[wave]\nfile = " + outputFile().string() + "\n";
        save(conf.string(), Bytes(text.begin(), text.end()));
        ::setenv("ALSOFT_DRIVERS", "wave", 1);
        ::setenv("ALSOFT_CONF", conf.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(workDir(), ec);
    }
};
testing::Environment* const waveDriver = testing::AddGlobalTestEnvironment(new WaveDriver);

bool waitFor(const std::function<bool()>& done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

uint64_t outputBytes() {
    std::error_code ec;
    const uint64_t size = fs::file_size(outputFile(), ec);
    return ec ? 0 : size;
}

// The output file's samples (16-bit little-endian, as this machine keeps
// them; interleaved stereo, as configured above), read with the game's own
// reader once the device has closed the file.
std::vector<int16_t> outputSamples() {
    WaveReader reader;
    if (waveOpen(reader, outputFile().c_str()) != 0) return {};
    std::vector<int16_t> out(waveDataBytesInFile(reader) / 2);
    uint32_t got = 0;
    EXPECT_EQ(waveRead(reader, 2 * out.size(), reinterpret_cast<uint8_t*>(out.data()), &got), 0);
    waveDestroy(reader);
    out.resize(got / 2);
    return out;
}

class OpenAlTest : public testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        resetGameState();
        // The town tune: a 220.5 Hz square wave, 8-bit mono at 11025 Hz
        // (nothing like the mix's format), five seconds long.
        Bytes tune(5 * 11025);
        for (std::size_t i = 0; i < tune.size(); ++i) tune[i] = (i % 50) < 25 ? 0xC0 : 0x40;
        save("base1.wav", pcmFile(tune, 1, 11025, 8));
        save("base2.wav", pcmFile(square16(22050, 2, 100, 6000), 2, 22050, 16));
        save("open.wav", pcmFile(square16(8000, 1, 40, 6000), 1, 16000, 16));
        // The ball sound: 0.1 s.
        save("tamade.wav", pcmFile(square16(2205, 2, 20, 6000), 2, 22050, 16));
        ASSERT_TRUE(initDirectSound(nullptr));
        ASSERT_TRUE(loadSounds());
    }
    void TearDown() override {
        releaseSoundBuffers();
        releaseDirectSound();
        headless::reset();
    }
    static platform::SoundBufferInfo info(platform::SoundBuffer* b) {
        platform::SoundBufferInfo i;
        EXPECT_TRUE(platform::soundBufferInfo(b, i));
        return i;
    }
};

TEST_F(OpenAlTest, LoopingTuneIsHeardInItsOwnFormat) {
    playLooping(sndBase1);
    // About a second of output, then the device closed, which ends the file.
    EXPECT_TRUE(waitFor([] {
        std::error_code ec;
        return fs::file_size(outputFile(), ec) > 44100 * 4 && !ec;
    }));
    releaseSoundBuffers();
    releaseDirectSound();
    std::vector<int16_t> samples = outputSamples();
    ASSERT_GT(samples.size(), 44100u);

    // Heard, at its pitch after the conversion: a 220.5 Hz tone at 44100 Hz
    // changes sign every 100 frames. Counted on the left channel, skipping
    // the silent start before the tune began.
    std::size_t first = 0;
    while (first < samples.size() && samples[first] == 0) ++first;
    int crossings = 0;
    std::size_t frames = 0;
    for (std::size_t i = first + 2; i < samples.size(); i += 2, ++frames)
        if ((samples[i] > 0) != (samples[i - 2] > 0)) ++crossings;
    ASSERT_GT(crossings, 100);
    double framesPerCrossing = static_cast<double>(frames) / crossings;
    EXPECT_NEAR(framesPerCrossing, 100.0, 5.0);
}

// A tune played again while playing, or after a stop, goes on from where it
// was; a ball sound that has ended plays again from its start.
TEST_F(OpenAlTest, PlayGoesOnWhereATuneWasAndRestartsAnEndedSound) {
    playLooping(sndBase1);
    ASSERT_TRUE(waitFor([] { return info(sndBase1).position > 2000; }));
    const uint32_t before = info(sndBase1).position;
    playLooping(sndBase1);
    EXPECT_GE(info(sndBase1).position, before);
    stopSound(sndBase1);
    const uint32_t stoppedAt = info(sndBase1).position;
    EXPECT_FALSE(info(sndBase1).playing);
    playLooping(sndBase1);
    EXPECT_GE(info(sndBase1).position, stoppedAt);
    EXPECT_TRUE(info(sndBase1).playing);

    playTamadeSound();
    EXPECT_TRUE(info(sndTamade1).playing);
    ASSERT_TRUE(waitFor([] { return !info(sndTamade1).playing; }));  // once, not looping
    EXPECT_EQ(info(sndTamade1).position, 0u);
    game.tamadeNext = 0;
    playTamadeSound();
    EXPECT_TRUE(info(sndTamade1).playing);
}

// The long looped sounds are read from their files as they play: the game
// holds none of their samples, and a file removed after start-up plays on
// from the file it opened. The ball sound is held whole.
TEST_F(OpenAlTest, LoopedSoundsPlayFromTheirFiles) {
    for (platform::SoundBuffer* b : {sndBase1, sndBase2, sndOpen}) {
        std::vector<uint8_t> held{1};
        EXPECT_TRUE(platform::soundBufferContents(b, held));
        EXPECT_TRUE(held.empty());
        void* part1 = nullptr;
        uint32_t bytes1 = 0;
        EXPECT_LT(platform::lockSoundBuffer(b, 0, 4, &part1, &bytes1, nullptr, nullptr), 0);
    }
    std::vector<uint8_t> ball;
    EXPECT_TRUE(platform::soundBufferContents(sndTamade1, ball));
    EXPECT_EQ(ball.size(), 2205u * 4);

    fs::remove("base1.wav");
    playLooping(sndBase1);
    ASSERT_TRUE(waitFor([] { return outputBytes() > 44100 * 4; }));
    releaseSoundBuffers();
    releaseDirectSound();
    std::vector<int16_t> samples = outputSamples();
    EXPECT_TRUE(std::any_of(samples.begin(), samples.end(), [](int16_t v) { return std::abs(v) > 3000; }));
}

// A looped tune shorter than what is queued ahead wraps round without a gap,
// and one played once runs out, reads as stopped at its start, and plays
// again from there.
TEST_F(OpenAlTest, TuneFromItsFileLoopsWithoutGapsAndPlaysAgainOnceOver) {
    releaseSoundBuffers();
    save("base1.wav", pcmFile(square16(2205, 2, 100, 6000), 2, 22050, 16));  // 0.1 s
    save("base2.wav", pcmFile(square16(2205, 2, 100, 6000), 2, 22050, 16));
    ASSERT_TRUE(loadSounds());
    platform::playSoundBuffer(sndBase2, 0);
    ASSERT_TRUE(waitFor([] { return !info(sndBase2).playing; }));
    EXPECT_EQ(info(sndBase2).position, 0u);
    platform::playSoundBuffer(sndBase2, 0);
    EXPECT_TRUE(info(sndBase2).playing);
    stopSound(sndBase2);

    playLooping(sndBase1);
    ASSERT_TRUE(waitFor([] { return outputBytes() > 3 * 44100 * 4; }));
    releaseSoundBuffers();
    releaseDirectSound();
    std::vector<int16_t> samples = outputSamples();
    std::size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 1000) ++first;
    // Two seconds after the tune began, twenty rounds of it: no stretch of
    // 20 ms (882 frames) without sound.
    const std::size_t end = first + 2 * 44100 * 2;
    ASSERT_LE(end, samples.size());
    std::size_t quiet = 0;
    for (std::size_t i = first; i < end; i += 2) {
        quiet = std::abs(samples[i]) < 1000 ? quiet + 1 : 0;
        ASSERT_LT(quiet, 882u) << "a gap at frame " << (i - first) / 2;
    }
}

// The game opens the device on a thread of its own as it starts; the sound
// set-up then takes that device, which plays as one opened in place does.
TEST_F(OpenAlTest, ADeviceOpenedAheadIsTakenAndPlays) {
    releaseSoundBuffers();
    releaseDirectSound();
    platform::prepareSoundDevice();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    playLooping(sndBase1);
    EXPECT_TRUE(waitFor([] { return info(sndBase1).position > 2000; }));
}

}  // namespace
