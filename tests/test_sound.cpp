// The game's sound layer on the logging device: which file fills which
// buffer, the set-up failures with their messages and what survives them,
// the ball sound's round robin, soundOff, and the device's play semantics.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "media/sound.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "state/game_state.h"
#include "test_support.h"
#include "wav_fixture.h"

namespace fs = std::filesystem;
using namespace wav_fixture;

namespace {

constexpr uint32_t BOX_STYLE = platform::MB_ICONWARNING | platform::MB_SETFOREGROUND;

// The four sounds, each in its own format and with its own bytes.
struct GameSounds {
    Bytes base1 = ramp(4000, 0x10);  // 16-bit stereo 44100
    Bytes base2 = ramp(2205, 0x20);  // 8-bit mono 22050
    Bytes open = ramp(2000, 0x30);   // 16-bit mono 11025
    Bytes tamade = ramp(800, 0x40);  // 8-bit stereo 8000: 400 frames, 50 ms
};

class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<testing_support::ScratchDir>(true);
        fresh();
    }
    void TearDown() override {
        fresh();
        scratch_.reset();
    }
    void fresh() {
        releaseSoundBuffers();
        releaseDirectSound();
        headless::reset();
        resetGameState();
    }
    void writeSounds() {
        save("base1.wav", pcmFile(sounds.base1, 2, 44100, 16));
        save("base2.wav", pcmFile(sounds.base2, 1, 22050, 8));
        save("open.wav", pcmFile(sounds.open, 1, 11025, 16));
        save("tamade.wav", pcmFile(sounds.tamade, 2, 8000, 8));
    }
    static std::vector<std::string> boxTexts() {
        std::vector<std::string> out;
        for (const auto& box : headless::messageBoxes()) {
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.style, BOX_STYLE);
            EXPECT_FALSE(box.owned);
            out.push_back(box.text);
        }
        return out;
    }
    static std::vector<std::string> soundLog() {
        std::vector<std::string> out;
        for (const std::string& line : platform::eventLog())
            if (line.rfind("sound ", 0) == 0) out.push_back(line);
        return out;
    }
    static platform::SoundBufferInfo info(platform::SoundBuffer* b) {
        platform::SoundBufferInfo i;
        EXPECT_TRUE(platform::soundBufferInfo(b, i));
        return i;
    }
    static Bytes contents(platform::SoundBuffer* b) {
        Bytes out;
        EXPECT_TRUE(platform::soundBufferContents(b, out));
        return out;
    }
    std::vector<platform::SoundBuffer*> six() {
        return {sndBase1, sndBase2, sndOpen, sndTamade1, sndTamade2, sndTamade3};
    }

    GameSounds sounds;
    std::unique_ptr<testing_support::ScratchDir> scratch_;
};

TEST_F(SoundTest, SixBuffersHoldTheirFilesInTheirOwnFormats) {
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    EXPECT_TRUE(headless::messageBoxes().empty());

    platform::SoundBufferInfo primary = info(dsPrimaryBuffer);
    EXPECT_TRUE(primary.primary);
    EXPECT_EQ(primary.format.channels, 2);
    EXPECT_EQ(primary.format.samplesPerSec, 44100u);
    EXPECT_EQ(primary.format.bitsPerSample, 16);
    EXPECT_EQ(primary.format.blockAlign, 4);
    EXPECT_EQ(primary.format.avgBytesPerSec, 176400u);

    EXPECT_EQ(contents(sndBase1), sounds.base1);
    EXPECT_EQ(contents(sndBase2), sounds.base2);
    EXPECT_EQ(contents(sndOpen), sounds.open);
    EXPECT_EQ(info(sndBase1).label, "base1.wav");
    EXPECT_EQ(info(sndBase2).format.bitsPerSample, 8);
    EXPECT_EQ(info(sndBase2).format.channels, 1);
    EXPECT_EQ(info(sndOpen).format.samplesPerSec, 11025u);
    std::vector<platform::SoundBuffer*> copies = {sndTamade1, sndTamade2, sndTamade3};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(contents(copies[i]), sounds.tamade);
        EXPECT_EQ(info(copies[i]).label, "tamade.wav#" + std::to_string(i + 1));
        EXPECT_EQ(info(copies[i]).format.samplesPerSec, 8000u);
    }
    EXPECT_NE(sndTamade1, sndTamade2);
    EXPECT_NE(sndTamade2, sndTamade3);
    EXPECT_TRUE(soundLog().empty()) << "loading starts nothing";

    // Release: buffers first (stopped, then gone), then the device.
    EXPECT_EQ(platform::liveSoundObjects(), 8);
    EXPECT_TRUE(releaseSoundBuffers());
    for (platform::SoundBuffer* b : six()) EXPECT_EQ(b, nullptr);
    EXPECT_EQ(platform::liveSoundObjects(), 2);
    EXPECT_TRUE(releaseDirectSound());
    EXPECT_EQ(dsound, nullptr);
    EXPECT_EQ(dsPrimaryBuffer, nullptr);
    EXPECT_EQ(platform::liveSoundObjects(), 0);
}

TEST_F(SoundTest, NoDeviceSilencesTheGameBeforeItsMessage) {
    writeSounds();
    platform::failSoundStep(platform::SoundStep::device);
    int soundOffAtBox = -1;
    headless::setMessageBoxHandler([&](const headless::MessageBoxInfo&) {
        soundOffAtBox = game.soundOff;
        return platform::IDOK;
    });
    EXPECT_FALSE(initDirectSound(nullptr));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"DirectSoundオブジェクトの作成に失敗"});
    EXPECT_EQ(soundOffAtBox, 1);
    EXPECT_EQ(game.soundOff, 1);
    EXPECT_EQ(game.noSoundDevice, 1);
    EXPECT_EQ(dsound, nullptr);
    EXPECT_EQ(platform::liveSoundObjects(), 0);
    // Starting and stopping absent buffers does nothing.
    game.soundOff = 0;
    playLooping(sndBase1);
    playTamadeSound();
    stopAllSounds();
    EXPECT_TRUE(soundLog().empty());
}

TEST_F(SoundTest, SetUpFailuresShowTheirMessageAndLeaveSoundOffAlone) {
    struct Case {
        platform::SoundStep step;
        const char* message;
        bool initResult;
        int liveObjects;  // after init
    } cases[] = {
        {platform::SoundStep::cooperativeLevel, "協調レベルの設定に失敗", false, 1},
        {platform::SoundStep::primaryBuffer, "プライマリ・バッファの作成に失敗", false, 1},
        {platform::SoundStep::primaryFormat, "プライマリ・バッファのフォーマット設定に失敗", true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        fresh();
        writeSounds();
        platform::failSoundStep(c.step);
        EXPECT_EQ(initDirectSound(nullptr), c.initResult);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(game.soundOff, 0);
        EXPECT_EQ(game.noSoundDevice, 0);
        EXPECT_EQ(platform::liveSoundObjects(), c.liveObjects);
        if (c.initResult) {
            // The primary buffer keeps its default format; loading goes on.
            EXPECT_NE(info(dsPrimaryBuffer).format.samplesPerSec, 44100u);
            EXPECT_TRUE(loadSounds());
            EXPECT_NE(sndTamade3, nullptr);
        }
        // Release after a partial set-up frees everything made.
        releaseSoundBuffers();
        releaseDirectSound();
        EXPECT_EQ(platform::liveSoundObjects(), 0);
    }
}

TEST_F(SoundTest, MissingGateSoundLeavesItAndTheBallSoundsAbsent) {
    writeSounds();
    fs::remove("open.wav");
    ASSERT_TRUE(initDirectSound(nullptr));
    EXPECT_FALSE(loadSounds());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Waveファイルのオープンに失敗", "セカンダリ・バッファの作成に失敗"}));
    EXPECT_NE(sndBase1, nullptr);
    EXPECT_NE(sndBase2, nullptr);
    EXPECT_EQ(sndOpen, nullptr);
    EXPECT_EQ(sndTamade1, nullptr);
    EXPECT_EQ(sndTamade2, nullptr);
    EXPECT_EQ(sndTamade3, nullptr);
    EXPECT_EQ(game.soundOff, 0);
    // Both tunes still play; the absent ones do nothing.
    playLooping(sndBase1);
    stopSound(sndBase1);
    playLooping(sndBase2);
    playLooping(sndOpen);
    playTamadeSound();
    EXPECT_EQ(soundLog(), (std::vector<std::string>{"sound play base1.wav loop", "sound stop base1.wav",
                                                    "sound play base2.wav loop"}));
}

TEST_F(SoundTest, BufferFailuresStopTheLoadWhereTheyHappen) {
    // A device refusal on the third buffer, a format no device plays, and a
    // file without samples all fail as buffer creation.
    struct Case {
        const char* what;
        int failAfter;  // -1: no injected failure
        const char* file;
        Bytes bytes;
        platform::SoundBuffer** firstAbsent;
    } cases[] = {
        {"device refuses the third buffer", 2, nullptr, {}, &sndOpen},
        {"24-bit samples", -1, "base2.wav", pcmFile(ramp(60), 2, 44100, 24), &sndBase2},
        {"float samples", -1, "base1.wav",
         riff({Chunk{"fmt ", [] { Bytes f = formatHead(3, 1, 44100, 32); put16(f, 0); return f; }(), std::nullopt},
               dataChunk(ramp(40))}),
         &sndBase1},
        {"no samples", -1, "tamade.wav", pcmFile({}, 1, 8000, 8), &sndTamade1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        writeSounds();
        if (c.file) save(c.file, c.bytes);
        if (c.failAfter >= 0) platform::failSoundStep(platform::SoundStep::secondaryBuffer, 1, c.failAfter);
        ASSERT_TRUE(initDirectSound(nullptr));
        EXPECT_FALSE(loadSounds());
        EXPECT_EQ(boxTexts(), (std::vector<std::string>{"バッファの作成に失敗", "セカンダリ・バッファの作成に失敗"}));
        bool absent = false;
        for (platform::SoundBuffer** slot : {&sndBase1, &sndBase2, &sndOpen, &sndTamade1, &sndTamade2, &sndTamade3}) {
            if (slot == c.firstAbsent) absent = true;
            EXPECT_EQ(*slot == nullptr, absent);
        }
    }
}

TEST_F(SoundTest, LockLostOnceIsRestoredAndFilled) {
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    platform::failSoundStep(platform::SoundStep::lockLost, 1);
    EXPECT_TRUE(loadSounds());
    EXPECT_EQ(contents(sndBase1), sounds.base1);
}

TEST_F(SoundTest, BufferThatCannotBeLockedExistsAndIsSilent) {
    for (platform::SoundStep step : {platform::SoundStep::lockLost, platform::SoundStep::lock}) {
        fresh();
        writeSounds();
        ASSERT_TRUE(initDirectSound(nullptr));
        // Lost twice (restore did not help), or a plain failure: no retry.
        platform::failSoundStep(step, 2, 1);
        EXPECT_TRUE(loadSounds());
        EXPECT_TRUE(headless::messageBoxes().empty());
        EXPECT_EQ(contents(sndBase1), sounds.base1);
        // base1 is let through. Lost twice hits base2 (lock, restore, lock);
        // a plain failure is not retried, so its second failure hits open.
        // Silence is 0x80 for 8-bit samples and 0 for 16-bit ones.
        EXPECT_EQ(contents(sndBase2), Bytes(sounds.base2.size(), 0x80));
        if (step == platform::SoundStep::lock)
            EXPECT_EQ(contents(sndOpen), Bytes(sounds.open.size(), 0x00));
        else
            EXPECT_EQ(contents(sndOpen), sounds.open);
        EXPECT_EQ(contents(sndTamade3), sounds.tamade);
    }
}

TEST_F(SoundTest, DataLongerThanTheFileGivesABufferOfWhatTheFileHolds) {
    writeSounds();
    save("base1.wav", riff({fmtChunk(2, 44100, 16), Chunk{"data", ramp(100), 0xFFFFFFF0u}}));
    Bytes full = pcmFile(ramp(400), 1, 22050, 8);
    save("base2.wav", Bytes(full.begin(), full.end() - 150));  // cut inside the data
    ASSERT_TRUE(initDirectSound(nullptr));
    EXPECT_TRUE(loadSounds());
    EXPECT_EQ(info(sndBase1).bytes, 100u);
    EXPECT_EQ(contents(sndBase1), ramp(100));
    EXPECT_EQ(contents(sndBase2), ramp(250));
}

TEST_F(SoundTest, BallSoundTakesTheThreeCopiesInTurn) {
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    playTamadeSound();
    playTamadeSound();
    playTamadeSound();
    EXPECT_EQ(game.tamadeNext, 0);
    EXPECT_TRUE(info(sndTamade1).playing);
    EXPECT_FALSE(info(sndTamade1).looping);
    EXPECT_EQ(soundLog(), (std::vector<std::string>{"sound play tamade.wav#1 once", "sound play tamade.wav#2 once",
                                                    "sound play tamade.wav#3 once"}));

    // The fourth, while the first still sounds: it goes on, not restarted.
    platform::advanceSoundTime(20);
    uint32_t before = info(sndTamade1).position;
    EXPECT_GT(before, 0u);
    playTamadeSound();
    EXPECT_EQ(game.tamadeNext, 1);
    EXPECT_EQ(info(sndTamade1).position, before);
    EXPECT_EQ(soundLog().size(), 3u);

    // Once ended (50 ms each), a copy plays again from its start.
    platform::advanceSoundTime(40);
    EXPECT_FALSE(info(sndTamade1).playing);
    EXPECT_FALSE(info(sndTamade2).playing);
    EXPECT_EQ(info(sndTamade2).position, 0u);
    playTamadeSound();
    EXPECT_EQ(game.tamadeNext, 2);
    EXPECT_EQ(soundLog().back(), "sound play tamade.wav#2 once");
    EXPECT_EQ(info(sndTamade2).position, 0u);

    // A turn counter out of its range starts the round again.
    game.tamadeNext = 7;
    platform::advanceSoundTime(100);
    playTamadeSound();
    EXPECT_EQ(game.tamadeNext, 1);
    EXPECT_EQ(soundLog().back(), "sound play tamade.wav#1 once");
}

TEST_F(SoundTest, TunesPauseWhereTheyStopAndAreNotRestartedWhilePlaying) {
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    playLooping(sndBase1);
    platform::advanceSoundTime(10);  // 441 frames of 4 bytes
    EXPECT_EQ(info(sndBase1).position, 1764u);
    playLooping(sndBase1);  // as the sound dialog does with the tune on
    EXPECT_EQ(info(sndBase1).position, 1764u);
    stopSound(sndBase1);
    platform::advanceSoundTime(10);
    EXPECT_EQ(info(sndBase1).position, 1764u);
    playLooping(sndBase1);
    platform::advanceSoundTime(1);  // 44.1 frames: 44 now, the tenth kept
    EXPECT_EQ(info(sndBase1).position, 1764u + 44 * 4);
    // A looping tune wraps round its end (1000 frames) and keeps playing.
    platform::advanceSoundTime(20);
    EXPECT_TRUE(info(sndBase1).playing);
    EXPECT_EQ(info(sndBase1).position, ((441 + 44 + 882) % 1000) * 4u);
    EXPECT_EQ(soundLog(), (std::vector<std::string>{"sound play base1.wav loop", "sound stop base1.wav",
                                                    "sound play base1.wav loop"}));
}

TEST_F(SoundTest, SoundOffStartsNothingButStopsAndReleases) {
    writeSounds();
    game.soundOff = 1;
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    for (platform::SoundBuffer* b : six()) EXPECT_NE(b, nullptr) << "buffers are made even with sound off";
    playLooping(sndBase1);
    playTamadeSound();
    EXPECT_EQ(game.tamadeNext, 0);
    EXPECT_TRUE(soundLog().empty());

    // Switched off while the tunes play: stopping still works.
    game.soundOff = 0;
    playLooping(sndBase2);
    playLooping(sndOpen);
    game.soundOff = 1;
    stopAllSounds();
    EXPECT_FALSE(info(sndBase2).playing);
    EXPECT_FALSE(info(sndOpen).playing);
    EXPECT_TRUE(releaseSoundBuffers());
    EXPECT_EQ(platform::liveSoundObjects(), 2);
}

TEST_F(SoundTest, StopAllAndReleaseGoInTheirOrders) {
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    auto startAll = [&] {
        playLooping(sndBase1);
        playLooping(sndBase2);
        playLooping(sndOpen);
        playTamadeSound();
        playTamadeSound();
        playTamadeSound();
        platform::clearEventLog();
    };
    startAll();
    stopAllSounds();
    EXPECT_EQ(soundLog(), (std::vector<std::string>{"sound stop base1.wav", "sound stop base2.wav",
                                                    "sound stop open.wav", "sound stop tamade.wav#1",
                                                    "sound stop tamade.wav#2", "sound stop tamade.wav#3"}));
    startAll();
    releaseSoundBuffers();
    EXPECT_EQ(soundLog(), (std::vector<std::string>{"sound stop tamade.wav#3", "sound stop tamade.wav#2",
                                                    "sound stop tamade.wav#1", "sound stop open.wav",
                                                    "sound stop base2.wav", "sound stop base1.wav"}));
    // Released twice, or device first: nothing happens.
    EXPECT_TRUE(releaseSoundBuffers());
    EXPECT_TRUE(releaseDirectSound());
    EXPECT_TRUE(releaseDirectSound());
    EXPECT_EQ(platform::liveSoundObjects(), 0);
}

// --- the device itself ----------------------------------------------------------

platform::WaveFormat pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    platform::WaveFormat f;
    f.formatTag = platform::WAVE_FORMAT_PCM;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    return f;
}

TEST_F(SoundTest, DeviceAcceptsPlainPcmOnly) {
    platform::SoundDevice* device = nullptr;
    ASSERT_EQ(platform::createSoundDevice(&device), platform::SOUND_OK);
    auto accepts = [&](const platform::WaveFormat& f, uint32_t bytes) {
        platform::SoundBuffer* b = nullptr;
        int32_t r = platform::createSoundBuffer(device, f, bytes, "t", &b);
        EXPECT_EQ(r >= 0, b != nullptr);
        platform::releaseSoundBuffer(b);
        return r >= 0;
    };
    EXPECT_TRUE(accepts(pcm(1, 8000, 8), 4));
    EXPECT_TRUE(accepts(pcm(2, 200000, 16), 1000));
    EXPECT_TRUE(accepts(pcm(1, 100, 16), 7)) << "a size that is not whole frames is kept";
    EXPECT_FALSE(accepts(pcm(1, 8000, 8), 3));
    EXPECT_FALSE(accepts(pcm(1, 8000, 8), 0x10000000u));
    EXPECT_FALSE(accepts(pcm(3, 8000, 16), 600));
    EXPECT_FALSE(accepts(pcm(2, 44100, 24), 600));
    EXPECT_FALSE(accepts(pcm(2, 99, 16), 600));
    EXPECT_FALSE(accepts(pcm(2, 200001, 16), 600));
    platform::WaveFormat badAlign = pcm(2, 44100, 16);
    badAlign.blockAlign = 2;
    EXPECT_FALSE(accepts(badAlign, 600));
    platform::WaveFormat adpcm = pcm(1, 22050, 16);
    adpcm.formatTag = 2;
    EXPECT_FALSE(accepts(adpcm, 600));
    platform::releaseSoundDevice(device);
}

TEST_F(SoundTest, LockWrapsRoundTheEndAndUnlockMustMatch) {
    platform::SoundDevice* device = nullptr;
    platform::SoundBuffer* b = nullptr;
    ASSERT_EQ(platform::createSoundDevice(&device), 0);
    ASSERT_EQ(platform::createSoundBuffer(device, pcm(1, 8000, 8), 10, "t", &b), 0);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    EXPECT_LT(platform::lockSoundBuffer(b, 10, 1, &p1, &n1, &p2, &n2), 0) << "offset past the end";
    EXPECT_LT(platform::lockSoundBuffer(b, 0, 11, &p1, &n1, &p2, &n2), 0) << "more than the buffer";
    EXPECT_LT(platform::lockSoundBuffer(b, 0, 0, &p1, &n1, &p2, &n2), 0);
    ASSERT_EQ(platform::lockSoundBuffer(b, 7, 6, &p1, &n1, &p2, &n2), 0);
    EXPECT_EQ(n1, 3u);
    EXPECT_EQ(n2, 3u);
    void* q1 = nullptr;
    void* q2 = nullptr;
    uint32_t m1 = 0;
    uint32_t m2 = 0;
    EXPECT_LT(platform::lockSoundBuffer(b, 0, 1, &q1, &m1, &q2, &m2), 0) << "one lock at a time";
    EXPECT_EQ(q1, nullptr);
    for (uint32_t i = 0; i < 3; ++i) static_cast<uint8_t*>(p1)[i] = static_cast<uint8_t>(7 + i);
    for (uint32_t i = 0; i < 3; ++i) static_cast<uint8_t*>(p2)[i] = static_cast<uint8_t>(i);
    EXPECT_LT(platform::unlockSoundBuffer(b, p2, 3, p1, 3), 0) << "pointers swapped";
    EXPECT_LT(platform::unlockSoundBuffer(b, p1, 4, p2, 3), 0) << "more than was locked";
    EXPECT_EQ(platform::unlockSoundBuffer(b, p1, 3, p2, 3), 0);
    EXPECT_LT(platform::unlockSoundBuffer(b, p1, 3, p2, 3), 0) << "not locked any more";
    Bytes expected = {0, 1, 2, 0x80, 0x80, 0x80, 0x80, 7, 8, 9};
    EXPECT_EQ(contents(b), expected);
    platform::releaseSoundDevice(device);
}

TEST_F(SoundTest, DeadHandlesDoNothing) {
    platform::SoundDevice* device = nullptr;
    platform::SoundBuffer* b = nullptr;
    platform::SoundBuffer* primary = nullptr;
    ASSERT_EQ(platform::createSoundDevice(&device), 0);
    ASSERT_EQ(platform::createPrimaryBuffer(device, &primary), 0);
    ASSERT_EQ(platform::createSoundBuffer(device, pcm(1, 8000, 8), 10, "t", &b), 0);
    EXPECT_LT(platform::playSoundBuffer(primary, 0), 0) << "the primary buffer is never played";
    ASSERT_EQ(platform::playSoundBuffer(b, platform::SOUND_PLAY_LOOPING), 0);
    // Releasing the device takes its buffers with it.
    platform::releaseSoundDevice(device);
    EXPECT_EQ(platform::liveSoundObjects(), 0);
    platform::clearEventLog();
    void* p1 = nullptr;
    uint32_t n1 = 0;
    EXPECT_LT(platform::playSoundBuffer(b, 0), 0);
    EXPECT_LT(platform::stopSoundBuffer(b), 0);
    EXPECT_LT(platform::lockSoundBuffer(b, 0, 1, &p1, &n1, nullptr, nullptr), 0);
    EXPECT_LT(platform::setPrimaryFormat(primary, pcm(2, 44100, 16)), 0);
    EXPECT_LT(platform::createSoundBuffer(device, pcm(1, 8000, 8), 10, "t", &b), 0);
    EXPECT_EQ(b, nullptr);
    platform::SoundBufferInfo i;
    EXPECT_FALSE(platform::soundBufferInfo(primary, i));
    platform::releaseSoundBuffer(primary);
    platform::releaseSoundDevice(device);
    EXPECT_TRUE(platform::eventLog().empty());

    // A reset of the device leaves the game's handles dead, not dangling.
    writeSounds();
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    platform::resetSoundDevice();
    EXPECT_EQ(platform::liveSoundObjects(), 0);
    playLooping(sndBase1);
    playTamadeSound();
    EXPECT_TRUE(soundLog().empty());
}

}  // namespace
