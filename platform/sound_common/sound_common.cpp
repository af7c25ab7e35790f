// The parts of the sound device that do not depend on where the sound goes:
// shared by the logging device and the OpenAL device.
#include "platform/sound.h"

#include "sound_objects.h"

namespace platform {

using namespace soundobjects;

int32_t setCooperativeLevel(SoundDevice* device, Window* window, uint32_t level) {
    if (!live(device)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::cooperativeLevel)) return SOUND_ERR_FAIL;
    device->window = window;
    device->cooperativeLevel = level;
    return SOUND_OK;
}

int32_t createPrimaryBuffer(SoundDevice* device, SoundBuffer** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (!live(device)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::primaryBuffer)) return SOUND_ERR_FAIL;
    *out = newPrimary(device);
    return SOUND_OK;
}

int32_t setPrimaryFormat(SoundBuffer* primary, const WaveFormat& format) {
    if (!live(primary) || !primary->primary || !validPrimaryFormat(format)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::primaryFormat)) return SOUND_ERR_FAIL;
    primary->format = format;
    return SOUND_OK;
}

int32_t createStreamedSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* path,
                                  uint64_t offset, const char* label, SoundBuffer** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (!live(device) || path == nullptr || !validSecondary(format, bytes)) return SOUND_ERR_INVALID;
    if (device->streamFromFile == nullptr) return SOUND_ERR_NOT_STREAMED;
    if (injectedFailure(SoundStep::secondaryBuffer)) return SOUND_ERR_FAIL;
    return device->streamFromFile(device, format, bytes, path, offset, label, out);
}

int32_t lockSoundBuffer(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                        void** part2, uint32_t* bytes2) {
    return beginLock(buffer, offset, bytes, part1, bytes1, part2, bytes2);
}

bool soundBufferContents(SoundBuffer* buffer, std::vector<uint8_t>& out) {
    if (!live(buffer)) return false;
    if (buffer->samples == nullptr) {
        out.clear();
        return true;
    }
    out.assign(buffer->samples, buffer->samples + buffer->bytes);
    return true;
}

int liveSoundObjects() { return countLive(); }

void failSoundStep(SoundStep step, int count, int after) {
    registry.failures[static_cast<std::size_t>(step)] = InjectedFailure{after < 0 ? 0 : after, count < 0 ? 0 : count};
}

}  // namespace platform
