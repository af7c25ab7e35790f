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
//
// A long sound can instead be played from its file (createStreamedSoundBuffer):
// its source plays a short queue of small buffers that a feeder thread of this
// device refills from the file as they are used up, about every 40 ms, a
// second ahead. One lock serialises every OpenAL call of this device, the
// game's on the user-interface thread and the feeder's, since both share the
// context's error state. The browser's build has no threads and holds its
// sounds whole.
#include "platform/sound.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#ifndef __EMSCRIPTEN__
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <stop_token>
#include <thread>
#include <vector>
#define PACHINKO_STREAMS 1
#endif

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

// Every OpenAL call of this device runs under it (see the top of the file).
std::recursive_mutex alLock;
using Guard = std::lock_guard<std::recursive_mutex>;

#ifdef PACHINKO_STREAMS
// OpenAL Soft's per-thread context, so the feeder never moves the game's.
using SetThreadContextFn = ALCboolean(ALC_APIENTRY*)(ALCcontext*);

// Bytes per queued buffer (rounded down to whole frames) and buffers per
// queue: at 176 KB a second (44.1 kHz 16-bit stereo) about 0.75 s queued,
// ample for a feeder that wakes every 40 ms.
constexpr uint32_t CHUNK_BYTES = 16384;
constexpr int QUEUE_BUFFERS = 8;
constexpr auto FEED_PERIOD = std::chrono::milliseconds(40);

struct Stream {
    SoundBuffer* record = nullptr;  // the game's handle; only compared, never read by the feeder
    ALCcontext* context = nullptr;
    ALuint source = 0;
    ALenum format = 0;
    ALsizei rate = 0;
    int file = -1;
    uint64_t offset = 0;  // of the first sample byte in the file
    uint32_t bytes = 0;   // whole frames of samples
    uint32_t chunk = 0;   // bytes per queued buffer, whole frames
    uint8_t silence = 0;
    bool looping = false;
    bool running = false;  // played and neither stopped nor run out
    uint32_t next = 0;     // the next byte to queue
    struct Piece {
        ALuint buffer;
        uint32_t start;
        uint32_t length;
    };
    std::deque<Piece> queued;  // in play order, as OpenAL holds them
    std::vector<ALuint> spare;
};

struct Feeder {
    SetThreadContextFn setThreadContext = nullptr;
    std::vector<std::unique_ptr<Stream>> streams;
    std::condition_variable_any wake;
    std::vector<uint8_t> scratch;
    // Last, so that it is stopped and joined before the rest goes.
    std::jthread thread;
};
Feeder feeder;

Stream* streamOf(const SoundBuffer* b) {
    for (auto& s : feeder.streams)
        if (s->record == b) return s.get();
    return nullptr;
}

// Queues the next piece of the sound into a spare buffer; false when there is
// none or the sound has no more (played once, at its end).
bool queueNext(Stream& s) {
    if (s.spare.empty()) return false;
    if (s.next >= s.bytes) {
        if (!s.looping) return false;
        s.next = 0;
    }
    const uint32_t length = std::min(s.chunk, s.bytes - s.next);
    feeder.scratch.resize(length);
    uint32_t got = 0;
    while (got < length) {
        ssize_t n = ::pread(s.file, feeder.scratch.data() + got, length - got,
                            static_cast<off_t>(s.offset + s.next + got));
        if (n <= 0) break;
        got += static_cast<uint32_t>(n);
    }
    // A file cut short since it was opened sounds silent where it ends.
    std::fill(feeder.scratch.begin() + got, feeder.scratch.end(), s.silence);
    const ALuint buffer = s.spare.back();
    alBufferData(buffer, s.format, feeder.scratch.data(), static_cast<ALsizei>(length), s.rate);
    alSourceQueueBuffers(s.source, 1, &buffer);
    s.spare.pop_back();
    s.queued.push_back({buffer, s.next, length});
    s.next += length;
    return true;
}

ALint streamState(const Stream& s) {
    ALint state = AL_INITIAL;
    alGetSourcei(s.source, AL_SOURCE_STATE, &state);
    return state;
}

// Played once and run to its end (a source that ran dry before its end is
// still playing: the feeder restarts it).
bool over(const Stream& s, ALint state) { return state == AL_STOPPED && s.next >= s.bytes && !s.looping; }
bool sounding(const Stream& s, ALint state) { return state == AL_PLAYING || (s.running && !over(s, state)); }

// Takes back the pieces played, queues new ones and restarts a source that
// ran dry while it should be playing; a sound played once that has run out
// is over.
void feed(Stream& s) {
    // A sound never played yet holds no queue: it is filled when it starts.
    if (!s.running && s.queued.empty()) return;
    ALint played = 0;
    alGetSourcei(s.source, AL_BUFFERS_PROCESSED, &played);
    for (; played > 0 && !s.queued.empty(); --played) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(s.source, 1, &buffer);
        s.spare.push_back(s.queued.front().buffer);
        s.queued.pop_front();
    }
    while (queueNext(s)) {
    }
    if (s.running && streamState(s) == AL_STOPPED) {
        if (s.queued.empty())
            s.running = false;
        else
            alSourcePlay(s.source);
    }
}

// Back to the start of the sound with a full queue (the source stopped).
void rewindStream(Stream& s) {
    alSourceStop(s.source);
    alSourcei(s.source, AL_BUFFER, 0);
    for (const auto& piece : s.queued) s.spare.push_back(piece.buffer);
    s.queued.clear();
    s.next = 0;
    while (queueNext(s)) {
    }
}

void feedLoop(std::stop_token stop) {
    std::unique_lock lock(alLock);
    while (!stop.stop_requested()) {
        for (auto& s : feeder.streams) {
            feeder.setThreadContext(s->context);
            feed(*s);
        }
        // Holding no context between rounds lets a released one go at once.
        feeder.setThreadContext(nullptr);
        feeder.wake.wait_for(lock, stop, FEED_PERIOD, [] { return false; });
    }
}

uint32_t streamPosition(const Stream& s) {
    ALint offset = 0;
    alGetSourcei(s.source, AL_BYTE_OFFSET, &offset);
    uint32_t left = offset > 0 ? static_cast<uint32_t>(offset) : 0;
    for (const auto& piece : s.queued) {
        if (left < piece.length) return piece.start + left;
        left -= piece.length;
    }
    return 0;
}

void releaseStream(SoundBuffer& b) {
    for (auto it = feeder.streams.begin(); it != feeder.streams.end(); ++it) {
        Stream& s = **it;
        if (s.record != &b) continue;
        alSourceStop(s.source);
        alSourcei(s.source, AL_BUFFER, 0);
        alDeleteSources(1, &s.source);
        for (const auto& piece : s.queued) s.spare.push_back(piece.buffer);
        alDeleteBuffers(static_cast<ALsizei>(s.spare.size()), s.spare.data());
        ::close(s.file);
        feeder.streams.erase(it);
        return;
    }
}
#endif

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
#ifdef PACHINKO_STREAMS
    if (streamOf(&b) != nullptr) {
        useDevice(b.device);
        releaseStream(b);
        b.alSource = 0;
        return;
    }
#endif
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

#ifdef PACHINKO_STREAMS
// The device's streamFromFile.
int32_t createStream(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* path, uint64_t offset,
                     const char* label, SoundBuffer** out) {
    Guard guard(alLock);
    const uint32_t whole = bytes - bytes % format.blockAlign;
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return SOUND_ERR_FAIL;
    useDevice(device);
    alGetError();
    auto s = std::make_unique<Stream>();
    s->file = file;
    s->context = contextOf(device);
    s->format = alFormat(format);
    s->rate = static_cast<ALsizei>(format.samplesPerSec);
    s->offset = offset;
    s->bytes = whole;
    s->chunk = std::max<uint32_t>(CHUNK_BYTES - CHUNK_BYTES % format.blockAlign, format.blockAlign);
    s->silence = silenceByte(format);
    alGenSources(1, &s->source);
    if (alGetError() != AL_NO_ERROR) {
        ::close(file);
        return SOUND_ERR_FAIL;
    }
    s->spare.resize(QUEUE_BUFFERS);
    alGenBuffers(QUEUE_BUFFERS, s->spare.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &s->source);
        ::close(file);
        return SOUND_ERR_FAIL;
    }
    SoundBuffer* b = newBufferRecord(device, format, bytes, label);
    b->alSource = s->source;
    s->record = b;
    feeder.streams.push_back(std::move(s));
    if (!feeder.thread.joinable()) feeder.thread = std::jthread(feedLoop);
    *out = b;
    return SOUND_OK;
}
#endif

struct OpenedDevice {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

// Opens the output device and makes its context (not yet current).
OpenedDevice openDevice() {
    OpenedDevice opened;
    opened.device = alcOpenDevice(nullptr);
    if (opened.device == nullptr) return opened;
#ifdef __EMSCRIPTEN__
    // The browser's OpenAL refuses a context with attributes it does not know.
    opened.context = alcCreateContext(opened.device, nullptr);
#else
    // No effect sends: the game uses no effects, and each of the mixer's
    // voices would carry their state (most of a megabyte in all).
    constexpr ALCint MAX_AUXILIARY_SENDS = 0x20003;  // of the effects extension, whose header not all have
    const ALCint attributes[] = {MAX_AUXILIARY_SENDS, 0, 0};
    opened.context = alcCreateContext(opened.device, attributes);
#endif
    return opened;
}

void closeDevice(const OpenedDevice& opened) {
    if (opened.context != nullptr) alcDestroyContext(opened.context);
    if (opened.device != nullptr) alcCloseDevice(opened.device);
}

#ifdef PACHINKO_STREAMS
// The device opened ahead by prepareSoundDevice, until the sound set-up takes it.
struct EarlyDevice {
    std::jthread opener;  // joined at exit too, should the set-up never come
    OpenedDevice opened;
};
EarlyDevice early;
#endif

}  // namespace

void prepareSoundDevice() {
#ifdef PACHINKO_STREAMS
    if (early.opener.joinable()) return;
    early.opener = std::jthread([] { early.opened = openDevice(); });
#endif
}

int32_t createSoundDevice(SoundDevice** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    OpenedDevice opened;
#ifdef PACHINKO_STREAMS
    if (early.opener.joinable()) {
        early.opener.join();
        opened = std::exchange(early.opened, OpenedDevice{});
    }
#endif
    Guard guard(alLock);
    if (injectedFailure(SoundStep::device)) {
        closeDevice(opened);
        return SOUND_ERR_FAIL;
    }
    // Not opened ahead (or that failed): opened here.
    if (opened.device == nullptr) opened = openDevice();
    ALCdevice* alDevice = opened.device;
    ALCcontext* context = opened.context;
    if (alDevice == nullptr || context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        closeDevice(opened);
        return SOUND_ERR_FAIL;
    }
    SoundDevice* device = newDevice();
    device->alDevice = alDevice;
    device->alContext = context;
    device->mapsBuffers = canMapBuffers();
#ifdef PACHINKO_STREAMS
    if (alcIsExtensionPresent(alDevice, "ALC_EXT_thread_local_context") == ALC_TRUE) {
        feeder.setThreadContext =
            reinterpret_cast<SetThreadContextFn>(alcGetProcAddress(alDevice, "alcSetThreadContext"));
        if (feeder.setThreadContext != nullptr) device->streamFromFile = createStream;
    }
#endif
    *out = device;
    return SOUND_OK;
}

void releaseSoundDevice(SoundDevice* device) {
    Guard guard(alLock);
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
    Guard guard(alLock);
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
    Guard guard(alLock);
    bool wasPlaying = sourceState(*buffer) == AL_PLAYING;
    if (!upload(*buffer)) return SOUND_ERR_FAIL;
    if (wasPlaying) logStop(*buffer);
    return SOUND_OK;
}

int32_t restoreSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer) || buffer->locked) return SOUND_ERR_INVALID;
    Guard guard(alLock);
#ifdef PACHINKO_STREAMS
    if (streamOf(buffer) != nullptr) return SOUND_OK;  // nothing held, nothing lost
#endif
    fillSilence(*buffer);
    return upload(*buffer) ? SOUND_OK : SOUND_ERR_FAIL;
}

int32_t playSoundBuffer(SoundBuffer* buffer, uint32_t flags) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    Guard guard(alLock);
    buffer->looping = (flags & SOUND_PLAY_LOOPING) != 0;
#ifdef PACHINKO_STREAMS
    if (Stream* s = streamOf(buffer)) {
        useDevice(buffer->device);
        const ALint state = streamState(*s);
        const bool playing = sounding(*s, state);
        s->looping = buffer->looping;
        if (playing) return SOUND_OK;
        if (state != AL_PAUSED) rewindStream(*s);
        alSourcePlay(s->source);
        s->running = true;
        logPlay(*buffer, buffer->looping);
        return SOUND_OK;
    }
#endif
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
    Guard guard(alLock);
#ifdef PACHINKO_STREAMS
    if (Stream* s = streamOf(buffer)) {
        useDevice(buffer->device);
        if (sounding(*s, streamState(*s))) {
            alSourcePause(s->source);
            logStop(*buffer);
        }
        s->running = false;
        return SOUND_OK;
    }
#endif
    if (sourceState(*buffer) == AL_PLAYING) {
        alSourcePause(buffer->alSource);
        logStop(*buffer);
    }
    return SOUND_OK;
}

void releaseSoundBuffer(SoundBuffer* buffer) {
    Guard guard(alLock);
    if (live(buffer)) releaseBuffer(*buffer);
}

bool soundBufferInfo(SoundBuffer* buffer, SoundBufferInfo& out) {
    if (!live(buffer)) return false;
    Guard guard(alLock);
    describe(*buffer, out);
#ifdef PACHINKO_STREAMS
    if (Stream* s = streamOf(buffer)) {
        useDevice(buffer->device);
        const ALint state = streamState(*s);
        out.playing = sounding(*s, state);
        // Like a sound held whole: back at its start once it has run out.
        out.position = state == AL_PAUSED || out.playing ? streamPosition(*s) : 0;
        return true;
    }
#endif
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
    Guard guard(alLock);
    for (auto& d : registry.devices)
        if (d->alive) releaseSoundDevice(d.get());
    for (auto& b : registry.buffers)
        if (b->alive) releaseBuffer(*b);
    clearInjectedFailures();
}

}  // namespace platform
