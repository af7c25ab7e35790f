// The sound device on OpenAL Soft: one device and context, one source and one
// buffer per sound, in the sound's own format. Each sound is held once: where
// OpenAL Soft can map its buffers (its map-buffer extension), lock hands out
// OpenAL's own memory, which the mixer reads as it is; elsewhere the samples
// live in the buffer record and are copied to OpenAL at unlock.
//
// OpenAL's source states give the play semantics the game relies on: stop is
// a pause, so the next play goes on from there; a sound played once that
// reached its end is "stopped" and starts over when played; a playing source
// is left alone (alSourcePlay would restart it).
#include "platform/sound.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstring>

#include "sound_objects.h"

// emscripten's OpenAL headers leave the calling convention out.
#ifndef AL_APIENTRY
#define AL_APIENTRY
#endif

namespace platform {

using namespace soundobjects;

namespace {

// OpenAL Soft's map-buffer extension, which its headers do not declare.
constexpr unsigned MAP_READ = 0x1;
constexpr unsigned MAP_WRITE = 0x2;
constexpr unsigned MAP_PERSISTENT = 0x4;  // stays mapped while a source plays it
constexpr unsigned MAP_FLAGS = MAP_READ | MAP_WRITE | MAP_PERSISTENT;
using BufferStorageFn = void(AL_APIENTRY*)(ALuint, ALenum, const ALvoid*, ALsizei, ALsizei, unsigned);
using MapBufferFn = void*(AL_APIENTRY*)(ALuint, ALsizei, ALsizei, unsigned);
using UnmapBufferFn = void(AL_APIENTRY*)(ALuint);

struct MapFunctions {
    BufferStorageFn storage = nullptr;
    MapBufferFn map = nullptr;
    UnmapBufferFn unmap = nullptr;
};
MapFunctions mapFunctions;

// Asked of the current context once per device.
bool canMapBuffers() {
    if (alIsExtensionPresent("AL_SOFTX_map_buffer") != AL_TRUE && alIsExtensionPresent("AL_SOFT_map_buffer") != AL_TRUE)
        return false;
    mapFunctions.storage = reinterpret_cast<BufferStorageFn>(alGetProcAddress("alBufferStorageSOFT"));
    mapFunctions.map = reinterpret_cast<MapBufferFn>(alGetProcAddress("alMapBufferSOFT"));
    mapFunctions.unmap = reinterpret_cast<UnmapBufferFn>(alGetProcAddress("alUnmapBufferSOFT"));
    return mapFunctions.storage && mapFunctions.map && mapFunctions.unmap;
}

ALCcontext* contextOf(const SoundDevice* device) { return static_cast<ALCcontext*>(device->alContext); }

// Makes the buffer's device the current one (a process may hold more than one).
void useDevice(const SoundDevice* device) {
    ALCcontext* context = contextOf(device);
    if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
}

ALenum alFormat(const WaveFormat& f) {
    if (f.channels == 1) return f.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

ALint sourceState(const SoundBuffer& b) {
    useDevice(b.device);
    ALint state = AL_INITIAL;
    alGetSourcei(b.alSource, AL_SOURCE_STATE, &state);
    return state;
}

bool mapped(const SoundBuffer& b) { return b.data.empty() && b.samples != nullptr; }

// Hands the samples to OpenAL (whole frames only) and puts the source back at
// its start. A mapped buffer holds them already; any other must be detached
// from its source while it changes.
bool upload(SoundBuffer& b) {
    useDevice(b.device);
    alGetError();
    alSourceStop(b.alSource);
    if (mapped(b)) {
        alSourceRewind(b.alSource);
        return alGetError() == AL_NO_ERROR;
    }
    alSourcei(b.alSource, AL_BUFFER, 0);
    uint32_t whole = b.bytes - b.bytes % b.format.blockAlign;
    alBufferData(b.alBuffer, alFormat(b.format), b.data.data(), static_cast<ALsizei>(whole),
                 static_cast<ALsizei>(b.format.samplesPerSec));
    alSourcei(b.alSource, AL_BUFFER, static_cast<ALint>(b.alBuffer));
    alSourceRewind(b.alSource);
    return alGetError() == AL_NO_ERROR;
}

void releaseAl(SoundBuffer& b) {
    if (b.alSource == 0 && b.alBuffer == 0) return;
    useDevice(b.device);
    if (b.alSource != 0) {
        alSourceStop(b.alSource);
        alSourcei(b.alSource, AL_BUFFER, 0);
        alDeleteSources(1, &b.alSource);
    }
    if (b.alBuffer != 0) {
        if (mapped(b)) mapFunctions.unmap(b.alBuffer);
        alDeleteBuffers(1, &b.alBuffer);
    }
    b.alSource = 0;
    b.alBuffer = 0;
}

void releaseBuffer(SoundBuffer& b) {
    releaseAl(b);
    markDead(b);
}

// OpenAL's own memory for a new buffer, mapped for good; null when OpenAL
// will not give it (the samples are then held by the record). It holds
// whole frames, the last one padded: the size a lock hands out is `bytes`.
uint8_t* mapStorage(ALuint alBuffer, const WaveFormat& format, uint32_t bytes) {
    const uint32_t frame = format.blockAlign;
    const uint32_t whole = bytes + (frame - bytes % frame) % frame;
    alGetError();
    mapFunctions.storage(alBuffer, alFormat(format), nullptr, static_cast<ALsizei>(whole),
                         static_cast<ALsizei>(format.samplesPerSec), MAP_FLAGS);
    if (alGetError() != AL_NO_ERROR) return nullptr;
    void* memory = mapFunctions.map(alBuffer, 0, static_cast<ALsizei>(whole), MAP_FLAGS);
    if (alGetError() != AL_NO_ERROR || memory == nullptr) return nullptr;
    // The padding sounds as silence.
    std::memset(static_cast<uint8_t*>(memory) + bytes, silenceByte(format), whole - bytes);
    return static_cast<uint8_t*>(memory);
}

}  // namespace

int32_t createSoundDevice(SoundDevice** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (injectedFailure(SoundStep::device)) return SOUND_ERR_FAIL;
    ALCdevice* alDevice = alcOpenDevice(nullptr);
    if (alDevice == nullptr) return SOUND_ERR_FAIL;
    ALCcontext* context = alcCreateContext(alDevice, nullptr);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return SOUND_ERR_FAIL;
    }
    SoundDevice* device = newDevice();
    device->alDevice = alDevice;
    device->alContext = context;
    device->mapsBuffers = canMapBuffers();
    *out = device;
    return SOUND_OK;
}

void releaseSoundDevice(SoundDevice* device) {
    if (!live(device)) return;
    for (auto& b : registry.buffers)
        if (b->alive && b->device == device) releaseBuffer(*b);
    ALCcontext* context = contextOf(device);
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(static_cast<ALCdevice*>(device->alDevice));
    device->alContext = nullptr;
    device->alDevice = nullptr;
    device->alive = false;
}

// OpenAL mixes at the device's own rate and converts every sound to it, so
// the primary format is kept as a description only.
int32_t createSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* label,
                          SoundBuffer** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (!live(device) || !validSecondary(format, bytes)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::secondaryBuffer)) return SOUND_ERR_FAIL;
    useDevice(device);
    alGetError();
    ALuint source = 0;
    ALuint alBuffer = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return SOUND_ERR_FAIL;
    alGenBuffers(1, &alBuffer);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        return SOUND_ERR_FAIL;
    }
    uint8_t* memory = device->mapsBuffers ? mapStorage(alBuffer, format, bytes) : nullptr;
    SoundBuffer* b = newSecondary(device, format, bytes, label, memory);
    b->alSource = source;
    b->alBuffer = alBuffer;
    if (memory != nullptr) alSourcei(source, AL_BUFFER, static_cast<ALint>(alBuffer));
    if (!upload(*b)) {
        releaseBuffer(*b);
        return SOUND_ERR_FAIL;
    }
    *out = b;
    return SOUND_OK;
}

int32_t unlockSoundBuffer(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    int32_t result = endLock(buffer, part1, bytes1, part2, bytes2);
    if (result < 0) return result;
    bool wasPlaying = sourceState(*buffer) == AL_PLAYING;
    if (!upload(*buffer)) return SOUND_ERR_FAIL;
    if (wasPlaying) logStop(*buffer);
    return SOUND_OK;
}

int32_t restoreSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer) || buffer->locked) return SOUND_ERR_INVALID;
    fillSilence(*buffer);
    return upload(*buffer) ? SOUND_OK : SOUND_ERR_FAIL;
}

int32_t playSoundBuffer(SoundBuffer* buffer, uint32_t flags) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    buffer->looping = (flags & SOUND_PLAY_LOOPING) != 0;
    ALint state = sourceState(*buffer);
    alSourcei(buffer->alSource, AL_LOOPING, buffer->looping ? AL_TRUE : AL_FALSE);
    if (state != AL_PLAYING) {
        alSourcePlay(buffer->alSource);
        logPlay(*buffer, buffer->looping);
    }
    return SOUND_OK;
}

int32_t stopSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    if (sourceState(*buffer) == AL_PLAYING) {
        alSourcePause(buffer->alSource);
        logStop(*buffer);
    }
    return SOUND_OK;
}

void releaseSoundBuffer(SoundBuffer* buffer) {
    if (live(buffer)) releaseBuffer(*buffer);
}

bool soundBufferInfo(SoundBuffer* buffer, SoundBufferInfo& out) {
    if (!live(buffer)) return false;
    describe(*buffer, out);
    if (!buffer->primary) {
        out.playing = sourceState(*buffer) == AL_PLAYING;
        ALint offset = 0;
        alGetSourcei(buffer->alSource, AL_BYTE_OFFSET, &offset);
        out.position = offset > 0 ? static_cast<uint32_t>(offset) : 0;
    }
    return true;
}

// Real time drives the real device.
void advanceSoundTime(int) {}

void resetSoundDevice() {
    for (auto& d : registry.devices)
        if (d->alive) releaseSoundDevice(d.get());
    for (auto& b : registry.buffers)
        if (b->alive) releaseBuffer(*b);
    clearInjectedFailures();
}

}  // namespace platform
