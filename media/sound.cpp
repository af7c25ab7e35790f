#include "media/sound.h"

#include "media/wav_reader.h"
#include "platform/window.h"
#include "state/game_state.h"

platform::SoundDevice* dsound = nullptr;
platform::SoundBuffer* dsPrimaryBuffer = nullptr;
platform::SoundBuffer* sndBase1 = nullptr;
platform::SoundBuffer* sndBase2 = nullptr;
platform::SoundBuffer* sndOpen = nullptr;
platform::SoundBuffer* sndTamade1 = nullptr;
platform::SoundBuffer* sndTamade2 = nullptr;
platform::SoundBuffer* sndTamade3 = nullptr;

namespace {

void warn(const char* text) {
    platform::messageBox(nullptr, text, "Error", platform::MB_ICONWARNING | platform::MB_SETFOREGROUND);
}

// The mix: 16-bit stereo at 44100 Hz.
platform::WaveFormat primaryFormat() {
    platform::WaveFormat f;
    f.formatTag = platform::WAVE_FORMAT_PCM;
    f.channels = 2;
    f.samplesPerSec = 44100;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
    f.extraSize = 0;
    return f;
}

void release(platform::SoundBuffer*& buffer) {
    if (buffer != nullptr) platform::releaseSoundBuffer(buffer);
    buffer = nullptr;
}

}  // namespace

bool initDirectSound(platform::Window* window) {
    // Made once; should it ever be asked again, the old objects go first.
    if (dsound != nullptr) {
        releaseSoundBuffers();
        releaseDirectSound();
    }
    if (platform::createSoundDevice(&dsound) < 0) {
        dsound = nullptr;
        game.soundOff = 1;
        game.noSoundDevice = 1;
        warn("DirectSoundオブジェクトの作成に失敗");
        return false;
    }
    if (platform::setCooperativeLevel(dsound, window, platform::SOUND_COOP_PRIORITY) < 0) {
        warn("協調レベルの設定に失敗");
        return false;
    }
    if (platform::createPrimaryBuffer(dsound, &dsPrimaryBuffer) < 0) {
        dsPrimaryBuffer = nullptr;
        warn("プライマリ・バッファの作成に失敗");
        return false;
    }
    if (platform::setPrimaryFormat(dsPrimaryBuffer, primaryFormat()) < 0)
        warn("プライマリ・バッファのフォーマット設定に失敗");
    return true;
}

bool createSoundBufferFromWav(const char* fileName, platform::SoundBuffer** slot, const char* label, bool fromFile) {
    if (slot == nullptr) return false;
    release(*slot);
    WaveReader reader;
    if (waveOpen(reader, fileName) < 0) {
        warn("Waveファイルのオープンに失敗");
        return false;
    }
    // The buffer holds the sample data the file really has: a data chunk
    // claiming more than the file holds would otherwise ask for memory (up to
    // 4 GB) the file cannot fill.
    uint32_t bytes = waveDataBytesInFile(reader);
    const char* name = label != nullptr ? label : fileName;
    int32_t made = fromFile ? platform::createStreamedSoundBuffer(dsound, *reader.format, bytes, fileName,
                                                                  reader.dataChunk.dataOffset, name, slot)
                            : platform::SOUND_ERR_NOT_STREAMED;
    const bool streamed = made != platform::SOUND_ERR_NOT_STREAMED;
    if (!streamed) made = platform::createSoundBuffer(dsound, *reader.format, bytes, name, slot);
    if (made < 0) {
        *slot = nullptr;
        waveDestroy(reader);
        warn("バッファの作成に失敗");
        return false;
    }
    if (streamed) {  // nothing to fill: it plays from the file
        waveDestroy(reader);
        return true;
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0;
    uint32_t bytes2 = 0;
    int32_t locked = platform::lockSoundBuffer(*slot, 0, bytes, &part1, &bytes1, &part2, &bytes2);
    if (locked == platform::SOUND_ERR_BUFFERLOST) {
        platform::restoreSoundBuffer(*slot);
        locked = platform::lockSoundBuffer(*slot, 0, bytes, &part1, &bytes1, &part2, &bytes2);
    }
    // A buffer that cannot be locked is kept: it stays silent (buffers start
    // silent), which is all a failed load can sound like.
    if (locked >= 0) {
        uint32_t delivered = 0;
        waveRead(reader, bytes1, static_cast<uint8_t*>(part1), &delivered);
        if (bytes2 != 0) waveRead(reader, bytes2, static_cast<uint8_t*>(part2), &delivered);
        platform::unlockSoundBuffer(*slot, part1, bytes1, part2, bytes2);
    }
    waveDestroy(reader);
    return true;
}

bool loadSounds() {
    bool loaded = createSoundBufferFromWav("base1.wav", &sndBase1, nullptr, true) &&
                  createSoundBufferFromWav("base2.wav", &sndBase2, nullptr, true) &&
                  createSoundBufferFromWav("open.wav", &sndOpen, nullptr, true) &&
                  createSoundBufferFromWav("tamade.wav", &sndTamade1, "tamade.wav#1") &&
                  createSoundBufferFromWav("tamade.wav", &sndTamade2, "tamade.wav#2") &&
                  createSoundBufferFromWav("tamade.wav", &sndTamade3, "tamade.wav#3");
    if (!loaded) {
        warn("セカンダリ・バッファの作成に失敗");
        return false;
    }
    return true;
}

void playLooping(platform::SoundBuffer* buffer) {
    if (game.soundOff != 0 || buffer == nullptr) return;
    platform::playSoundBuffer(buffer, platform::SOUND_PLAY_LOOPING);
}

void stopSound(platform::SoundBuffer* buffer) {
    if (buffer != nullptr) platform::stopSoundBuffer(buffer);
}

void stopAllSounds() {
    stopSound(sndBase1);
    stopSound(sndBase2);
    stopSound(sndOpen);
    stopSound(sndTamade1);
    stopSound(sndTamade2);
    stopSound(sndTamade3);
}

void playTamadeSound() {
    if (game.soundOff != 0) return;
    platform::SoundBuffer* copy = nullptr;
    switch (game.tamadeNext) {
        case 1:
            copy = sndTamade2;
            game.tamadeNext = 2;
            break;
        case 2:
            copy = sndTamade3;
            game.tamadeNext = 0;
            break;
        default:  // 0, or anything out of turn: start the round again
            copy = sndTamade1;
            game.tamadeNext = 1;
            break;
    }
    if (copy != nullptr) platform::playSoundBuffer(copy, platform::SOUND_PLAY_LOCSOFTWARE);
}

bool releaseSoundBuffers() {
    platform::SoundBuffer** order[] = {&sndTamade3, &sndTamade2, &sndTamade1, &sndOpen, &sndBase2, &sndBase1};
    for (platform::SoundBuffer** slot : order) stopSound(*slot);
    for (platform::SoundBuffer** slot : order) release(*slot);
    return true;
}

bool releaseDirectSound() {
    release(dsPrimaryBuffer);
    if (dsound != nullptr) platform::releaseSoundDevice(dsound);
    dsound = nullptr;
    return true;
}
