// The Windows backend's own parts: the help text and the DirectSound device,
// which plays through Wine to a null ALSA device (asound_null.conf).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "platform/events.h"
#include "platform/sound.h"
#include "text_win.h"

namespace {

using namespace platform;

TEST(HelpText, ReadableTextOfThePage) {
    const std::pair<const char*, const char*> cases[] = {  // the page, the text shown
        {"<html><head><title>遊び方</title><style>p { x }</style></head><body><h1>町</h1><p>一\n  二 三</p></body>",
         "町\n\n一二 三"},
        {"<p>a\nb 一\nc</p>", "a b 一 c"},
        {"<ul><li>銀行</li><li>換金所</li></ul>後", "・銀行\n・換金所\n\n後"},
        {"a<br>b<BR/>c", "a\nb\nc"},
        {"&amp;&lt;&gt;&quot;&#x3042;&#12354;&bogus; & x", "&<>\"ああ&bogus; & x"},
    };
    for (const auto& [html, text] : cases) EXPECT_EQ(helpPlainText(html), text) << html;
}

// Polls until `done` holds, for at most two seconds of real time.
bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// Half a second of sound through a failed start, pause, resume, a play to its
// end and the device's release.
TEST(DirectSound, StopPausesAPlayingBufferIsNotRestartedAndAnEndedOneStartsOver) {
    resetSoundDevice();
    clearEventLog();
    SoundDevice* device = nullptr;
    SoundBuffer* buffer = nullptr;
    ASSERT_EQ(createSoundDevice(&device), SOUND_OK) << "no DirectSound device (is ALSA_CONFIG_PATH set?)";
    WaveFormat format;  // 8-bit mono at 8000 Hz: a byte lasts 1/8 ms
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = format.blockAlign = 1;
    format.samplesPerSec = format.avgBytesPerSec = 8000;
    format.bitsPerSample = 8;
    failSoundStep(SoundStep::secondaryBuffer);
    EXPECT_EQ(createSoundBuffer(device, format, 4000, "t", &buffer), SOUND_ERR_FAIL);
    EXPECT_EQ(buffer, nullptr);
    ASSERT_EQ(createSoundBuffer(device, format, 4000, "t", &buffer), SOUND_OK);
    void* part1 = nullptr;
    uint32_t bytes1 = 0;
    ASSERT_EQ(lockSoundBuffer(buffer, 0, 4000, &part1, &bytes1, nullptr, nullptr), SOUND_OK);
    for (uint32_t i = 0; i < bytes1; ++i) static_cast<uint8_t*>(part1)[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(unlockSoundBuffer(buffer, part1, bytes1, nullptr, 0), SOUND_OK);
    const auto info = [&] {
        SoundBufferInfo i;
        EXPECT_TRUE(soundBufferInfo(buffer, i));
        return i;
    };

    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    ASSERT_TRUE(eventually([&] { return info().position > 800; }));
    EXPECT_EQ(playSoundBuffer(buffer, SOUND_PLAY_LOOPING), SOUND_OK);  // takes over looping only
    EXPECT_TRUE(info().looping);
    ASSERT_EQ(stopSoundBuffer(buffer), SOUND_OK);
    const uint32_t stoppedAt = info().position;
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    EXPECT_GE(info().position, stoppedAt);
    ASSERT_TRUE(eventually([&] { return !info().playing; }));
    ASSERT_EQ(playSoundBuffer(buffer, 0), SOUND_OK);
    EXPECT_LT(info().position, 800u);  // from the start again (stoppedAt was past 800)
    std::vector<uint8_t> contents;
    ASSERT_TRUE(soundBufferContents(buffer, contents));
    EXPECT_EQ(contents[3], 21);
    EXPECT_EQ(eventLog(), (std::vector<std::string>{"sound play t once", "sound stop t", "sound play t once",
                                                    "sound play t once"}));

    releaseSoundDevice(device);
    EXPECT_EQ(liveSoundObjects(), 0);
    EXPECT_EQ(playSoundBuffer(buffer, 0), SOUND_ERR_INVALID);
    resetSoundDevice();
}

}  // namespace
