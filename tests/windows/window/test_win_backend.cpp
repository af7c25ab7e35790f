// The Windows backend's own parts: the help text and the DirectSound device,
// which plays through Wine to a null ALSA device (asound_null.conf).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/events.h"
#include "platform/sound.h"
#include "text_win.h"

namespace {

using namespace platform;

TEST(HelpText, ReadableTextOfThePage) {
    struct Case {
        const char* html;
        const char* text;
    };
    const Case cases[] = {
        {"<html><head><title>遊び方</title><style>p { x }</style></head><body><h1>町</h1><p>一\n  二 三</p></body>",
         "町\n\n一二 三"},
        {"<p>a\nb 一\nc</p>", "a b 一 c"},
        {"<ul><li>銀行</li><li>換金所</li></ul>後", "・銀行\n・換金所\n\n後"},
        {"a<br>b<BR/>c", "a\nb\nc"},
        {"&amp;&lt;&gt;&quot;&#x3042;&#12354;&bogus; & x", "&<>\"ああ&bogus; & x"},
        {"&#0;&#x110000;&#99999999;", "\xEF\xBF\xBD\xEF\xBF\xBD&#99999999;"},
        {"text <b>bold</b> <unclosed", "text bold"},
    };
    for (const Case& c : cases) EXPECT_EQ(helpPlainText(c.html), c.text) << c.html;
}

// Polls until `done` holds, for at most two seconds of real time.
bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

struct DirectSoundTest : ::testing::Test {
    SoundDevice* device = nullptr;
    SoundBuffer* buffer = nullptr;

    void SetUp() override {
        resetSoundDevice();
        clearEventLog();
        ASSERT_EQ(createSoundDevice(&device), SOUND_OK) << "no DirectSound device (is ALSA_CONFIG_PATH set?)";
    }
    void TearDown() override { resetSoundDevice(); }

    static WaveFormat pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
        WaveFormat f;
        f.formatTag = WAVE_FORMAT_PCM;
        f.channels = channels;
        f.samplesPerSec = rate;
        f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
        f.avgBytesPerSec = rate * f.blockAlign;
        f.bitsPerSample = bits;
        return f;
    }
    // 8-bit mono at 8000 Hz: `bytes` bytes last bytes / 8 ms.
    void makeBuffer(uint32_t bytes) {
        const WaveFormat f = pcm(1, 8000, 8);
        ASSERT_EQ(createSoundBuffer(device, f, bytes, "t", &buffer), SOUND_OK);
        void* part1 = nullptr;
        uint32_t bytes1 = 0;
        ASSERT_EQ(lockSoundBuffer(buffer, 0, bytes, &part1, &bytes1, nullptr, nullptr), SOUND_OK);
        for (uint32_t i = 0; i < bytes1; ++i) static_cast<uint8_t*>(part1)[i] = static_cast<uint8_t>(i * 7);
        ASSERT_EQ(unlockSoundBuffer(buffer, part1, bytes1, nullptr, 0), SOUND_OK);
    }
    SoundBufferInfo info() {
        SoundBufferInfo i;
        EXPECT_TRUE(soundBufferInfo(buffer, i));
        return i;
    }
};

TEST_F(DirectSoundTest, StopPausesAndAPlayingBufferIsNotRestarted) {
    makeBuffer(16000);  // two seconds
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    ASSERT_TRUE(eventually([&] { return info().position > 800; }));
    EXPECT_EQ(playSoundBuffer(buffer, SOUND_PLAY_LOOPING), SOUND_OK);  // takes over looping only
    EXPECT_TRUE(info().looping);
    ASSERT_EQ(stopSoundBuffer(buffer), SOUND_OK);
    const uint32_t stoppedAt = info().position;
    EXPECT_FALSE(info().playing);
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    EXPECT_GE(info().position, stoppedAt);
    EXPECT_EQ(eventLog(), (std::vector<std::string>{"sound play t once", "sound stop t", "sound play t once"}));
}

TEST_F(DirectSoundTest, ASoundPlayedToItsEndStartsOver) {
    makeBuffer(800);  // a tenth of a second
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    ASSERT_TRUE(eventually([&] { return !info().playing; }));
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    EXPECT_LT(info().position, 600u);
    EXPECT_EQ(stopSoundBuffer(buffer), SOUND_OK);
    std::vector<uint8_t> contents;
    ASSERT_TRUE(soundBufferContents(buffer, contents));
    EXPECT_EQ(contents[3], 21);
    EXPECT_EQ(std::count(eventLog().begin(), eventLog().end(), "sound play t once"), 2);
}

TEST_F(DirectSoundTest, FailuresLeaveNothingBehind) {
    WaveFormat f = pcm(2, 22050, 16);
    failSoundStep(SoundStep::secondaryBuffer);
    EXPECT_EQ(createSoundBuffer(device, f, 4000, "t", &buffer), SOUND_ERR_FAIL);
    EXPECT_EQ(buffer, nullptr);
    f.blockAlign = 3;
    EXPECT_EQ(createSoundBuffer(device, f, 4000, "t", &buffer), SOUND_ERR_INVALID);
    f.blockAlign = 4;
    ASSERT_EQ(createSoundBuffer(device, f, 4000, "t", &buffer), SOUND_OK);
    ASSERT_EQ(playSoundBuffer(buffer, SOUND_PLAY_LOOPING), SOUND_OK);
    releaseSoundDevice(device);
    EXPECT_EQ(liveSoundObjects(), 0);
    EXPECT_EQ(playSoundBuffer(buffer, 0), SOUND_ERR_INVALID);
    EXPECT_EQ(stopSoundBuffer(buffer), SOUND_ERR_INVALID);
}

}  // namespace
