// The logging sound device: plays nothing, keeps each buffer's play state and
// position, records every start and stop in the event log, and fails where a
// test asks it to. Time passes only through advanceSoundTime.
#include "platform/sound.h"

#include "sound_objects.h"

namespace platform {

using namespace soundobjects;

void prepareSoundDevice() {}

int32_t createSoundDevice(SoundDevice** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (injectedFailure(SoundStep::device)) return SOUND_ERR_FAIL;
    *out = newDevice();
    return SOUND_OK;
}

void releaseSoundDevice(SoundDevice* device) {
    if (!live(device)) return;
    for (auto& b : registry.buffers)
        if (b->alive && b->device == device) markDead(*b);
    device->alive = false;
}

int32_t createSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* label,
                          SoundBuffer** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (!live(device) || !validSecondary(format, bytes)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::secondaryBuffer)) return SOUND_ERR_FAIL;
    *out = newSecondary(device, format, bytes, label);
    return SOUND_OK;
}

int32_t unlockSoundBuffer(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    int32_t result = endLock(buffer, part1, bytes1, part2, bytes2);
    if (result < 0) return result;
    // As on the OpenAL device, new contents put the buffer back at its start.
    if (buffer->playing) logStop(*buffer);
    buffer->playing = false;
    buffer->positionFrames = 0;
    buffer->clockRemainder = 0;
    return SOUND_OK;
}

int32_t restoreSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer) || buffer->locked) return SOUND_ERR_INVALID;
    fillSilence(*buffer);
    return SOUND_OK;
}

int32_t playSoundBuffer(SoundBuffer* buffer, uint32_t flags) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    buffer->looping = (flags & SOUND_PLAY_LOOPING) != 0;
    if (!buffer->playing) {
        buffer->playing = true;
        logPlay(*buffer, buffer->looping);
    }
    return SOUND_OK;
}

int32_t stopSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    if (buffer->playing) {
        buffer->playing = false;
        logStop(*buffer);
    }
    return SOUND_OK;
}

void releaseSoundBuffer(SoundBuffer* buffer) {
    if (live(buffer)) markDead(*buffer);
}

bool soundBufferInfo(SoundBuffer* buffer, SoundBufferInfo& out) {
    if (!live(buffer)) return false;
    describe(*buffer, out);
    return true;
}

void advanceSoundTime(int milliseconds) {
    if (milliseconds <= 0) return;
    for (auto& b : registry.buffers) {
        if (!b->alive || !b->playing) continue;
        uint64_t frames = b->format.blockAlign > 0 ? b->bytes / b->format.blockAlign : 0;
        if (frames == 0) {
            b->playing = false;
            continue;
        }
        uint64_t elapsed = static_cast<uint64_t>(milliseconds) * b->format.samplesPerSec + b->clockRemainder;
        b->clockRemainder = elapsed % 1000;
        b->positionFrames += elapsed / 1000;
        if (b->positionFrames >= frames) {
            if (b->looping) {
                b->positionFrames %= frames;
            } else {
                // A sound played once ends silently and starts over next time.
                b->playing = false;
                b->positionFrames = 0;
                b->clockRemainder = 0;
            }
        }
    }
}

void resetSoundDevice() {
    for (auto& b : registry.buffers)
        if (b->alive) markDead(*b);
    for (auto& d : registry.devices) d->alive = false;
    clearInjectedFailures();
}

}  // namespace platform
