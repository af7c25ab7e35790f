// The bookkeeping both sound devices share: the device and buffer records,
// the rules for valid arguments, the lock, the event-log lines and the
// injected failures. The logging device is this and nothing more; the OpenAL
// device adds the real output on top. The functions that are the same for
// both are in sound_common.cpp.
//
// Each sound is held once. A device that plays from memory of its own (the
// OpenAL device, where it can map its buffers) hands that memory out through
// `samples` and the record's `data` stays empty; otherwise `samples` is
// `data`'s, and the device copies from it at unlock. A buffer played from its
// file holds no samples at all: `samples` stays null and lock refuses it.
//
// Records are never freed, only marked dead, so a handle kept after release
// (or after resetSoundDevice) can never point at another object; the dead
// record's memory for samples is given back at once. A game run makes a
// dozen records, a test run a few thousand, so the graveyard stays small.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sound.h"

namespace platform {

struct SoundDevice {
    bool alive = true;
    Window* window = nullptr;
    uint32_t cooperativeLevel = 0;
    // The OpenAL device's objects (unused by the logging device).
    void* alDevice = nullptr;
    void* alContext = nullptr;
    bool mapsBuffers = false;  // its buffers' memory can be written in place
    // Makes a buffer that plays from its file (arguments checked already);
    // null for a device that does not stream.
    int32_t (*streamFromFile)(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* path,
                              uint64_t offset, const char* label, SoundBuffer** out) = nullptr;
};

struct SoundBuffer {
    bool alive = true;
    bool primary = false;
    SoundDevice* device = nullptr;
    std::string label;
    WaveFormat format;
    uint32_t bytes = 0;
    uint8_t* samples = nullptr;  // `bytes` bytes: what lock hands out
    std::vector<uint8_t> data;   // the samples, when the record holds them
    // Play state as the logging device keeps it (the OpenAL device asks its
    // source instead, except for `looping`).
    bool playing = false;
    bool looping = false;
    uint64_t positionFrames = 0;
    uint64_t clockRemainder = 0;  // milliseconds × rate not yet a whole frame
    // The lock in progress.
    bool locked = false;
    void* lockPart1 = nullptr;
    uint32_t lockBytes1 = 0;
    void* lockPart2 = nullptr;
    uint32_t lockBytes2 = 0;
    // The OpenAL buffer's objects (unused by the logging device).
    uint32_t alSource = 0;
    uint32_t alBuffer = 0;
};

namespace soundobjects {

struct InjectedFailure {
    int after = 0;  // successful calls still to let through
    int count = 0;  // failures to give after those
};

struct Registry {
    std::vector<std::unique_ptr<SoundDevice>> devices;
    std::vector<std::unique_ptr<SoundBuffer>> buffers;
    std::array<InjectedFailure, 7> failures{};
};

inline Registry registry;

inline bool live(const SoundDevice* device) { return device != nullptr && device->alive; }
inline bool live(const SoundBuffer* buffer) { return buffer != nullptr && buffer->alive; }
inline bool liveSecondary(const SoundBuffer* buffer) { return live(buffer) && !buffer->primary && live(buffer->device); }

// True when this call of the step is to fail.
inline bool injectedFailure(SoundStep step) {
    InjectedFailure& f = registry.failures[static_cast<std::size_t>(step)];
    if (f.after > 0) {
        --f.after;
        return false;
    }
    if (f.count > 0) {
        --f.count;
        return true;
    }
    return false;
}

inline void clearInjectedFailures() { registry.failures = {}; }

inline SoundDevice* newDevice() {
    registry.devices.push_back(std::make_unique<SoundDevice>());
    return registry.devices.back().get();
}

// Silence of a format: the mid value for unsigned 8-bit samples, else 0.
inline uint8_t silenceByte(const WaveFormat& format) {
    return format.formatTag == WAVE_FORMAT_PCM && format.bitsPerSample == 8 ? 0x80 : 0x00;
}

inline void fillSilence(SoundBuffer& buffer) {
    if (buffer.samples != nullptr) std::fill_n(buffer.samples, buffer.bytes, silenceByte(buffer.format));
}

// The primary buffer starts in the classic default format, 8-bit stereo
// 22050 Hz, until its format is set.
inline SoundBuffer* newPrimary(SoundDevice* device) {
    registry.buffers.push_back(std::make_unique<SoundBuffer>());
    SoundBuffer* b = registry.buffers.back().get();
    b->primary = true;
    b->device = device;
    b->label = "primary";
    b->format.formatTag = WAVE_FORMAT_PCM;
    b->format.channels = 2;
    b->format.samplesPerSec = 22050;
    b->format.bitsPerSample = 8;
    b->format.blockAlign = 2;
    b->format.avgBytesPerSec = 44100;
    return b;
}

inline bool validSecondary(const WaveFormat& format, uint32_t bytes) {
    return isPlayableFormat(format) && bytes >= SOUND_BUFFER_MIN_BYTES && bytes <= SOUND_BUFFER_MAX_BYTES;
}

// A buffer's record without samples: as it stands, that of a buffer played
// from its file.
inline SoundBuffer* newBufferRecord(SoundDevice* device, const WaveFormat& format, uint32_t bytes,
                                    const char* label) {
    registry.buffers.push_back(std::make_unique<SoundBuffer>());
    SoundBuffer* b = registry.buffers.back().get();
    b->device = device;
    b->label = label != nullptr ? label : "";
    b->format = format;
    b->bytes = bytes;
    return b;
}

// `memory`: the device's own for the samples (at least `bytes` bytes), or
// null for the record to hold them.
inline SoundBuffer* newSecondary(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* label,
                                 uint8_t* memory = nullptr) {
    SoundBuffer* b = newBufferRecord(device, format, bytes, label);
    if (memory == nullptr) {
        b->data.resize(bytes);
        memory = b->data.data();
    }
    b->samples = memory;
    fillSilence(*b);
    return b;
}

// The primary buffer takes any PCM layout; whether the mix can use it is the
// device's business.
inline bool validPrimaryFormat(const WaveFormat& f) {
    return f.formatTag == WAVE_FORMAT_PCM && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.blockAlign == f.channels * (f.bitsPerSample / 8) &&
           f.samplesPerSec >= SOUND_RATE_MIN && f.samplesPerSec <= SOUND_RATE_MAX;
}

// Checks a lock request and hands out the two parts.
inline int32_t beginLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                         void** part2, uint32_t* bytes2) {
    if (part1 != nullptr) *part1 = nullptr;
    if (bytes1 != nullptr) *bytes1 = 0;
    if (part2 != nullptr) *part2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    if (!liveSecondary(buffer) || buffer->samples == nullptr || buffer->locked || part1 == nullptr ||
        bytes1 == nullptr)
        return SOUND_ERR_INVALID;
    if (bytes == 0 || bytes > buffer->bytes || offset >= buffer->bytes) return SOUND_ERR_INVALID;
    uint32_t first = std::min(bytes, buffer->bytes - offset);
    uint32_t second = bytes - first;
    if (second > 0 && (part2 == nullptr || bytes2 == nullptr)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::lockLost)) return SOUND_ERR_BUFFERLOST;
    if (injectedFailure(SoundStep::lock)) return SOUND_ERR_FAIL;
    *part1 = buffer->samples + offset;
    *bytes1 = first;
    if (second > 0) {
        *part2 = buffer->samples;
        *bytes2 = second;
    }
    buffer->locked = true;
    buffer->lockPart1 = *part1;
    buffer->lockBytes1 = first;
    buffer->lockPart2 = second > 0 ? buffer->samples : nullptr;
    buffer->lockBytes2 = second;
    return SOUND_OK;
}

// Checks an unlock against the lock in progress: the same pointers, no more
// bytes than were handed out (fewer means fewer were written).
inline int32_t endLock(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    if (!liveSecondary(buffer) || !buffer->locked) return SOUND_ERR_INVALID;
    if (part1 != buffer->lockPart1 || bytes1 > buffer->lockBytes1) return SOUND_ERR_INVALID;
    if (bytes2 > 0 && (part2 != buffer->lockPart2 || bytes2 > buffer->lockBytes2)) return SOUND_ERR_INVALID;
    buffer->locked = false;
    buffer->lockPart1 = buffer->lockPart2 = nullptr;
    buffer->lockBytes1 = buffer->lockBytes2 = 0;
    return SOUND_OK;
}

inline void logPlay(const SoundBuffer& buffer, bool looping) {
    logEvent("sound play " + buffer.label + (looping ? " loop" : " once"));
}
inline void logStop(const SoundBuffer& buffer) { logEvent("sound stop " + buffer.label); }

inline void markDead(SoundBuffer& buffer) {
    buffer.alive = false;
    buffer.playing = false;
    buffer.locked = false;
    buffer.samples = nullptr;
    std::vector<uint8_t>().swap(buffer.data);
}

inline int countLive() {
    int n = 0;
    for (const auto& d : registry.devices) n += d->alive ? 1 : 0;
    for (const auto& b : registry.buffers) n += b->alive ? 1 : 0;
    return n;
}

inline void describe(const SoundBuffer& buffer, SoundBufferInfo& out) {
    out.label = buffer.label;
    out.primary = buffer.primary;
    out.playing = buffer.playing;
    out.looping = buffer.looping;
    out.bytes = buffer.bytes;
    out.position = static_cast<uint32_t>(buffer.positionFrames * buffer.format.blockAlign);
    out.format = buffer.format;
}

}  // namespace soundobjects
}  // namespace platform
