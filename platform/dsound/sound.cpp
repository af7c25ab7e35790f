// The sound device on DirectSound: one device, one static secondary buffer
// per sound in the sound's own format. The record keeps the samples (what
// lock hands out, so the shared rules and test hooks hold); unlock copies
// them into the DirectSound buffer.
//
// DirectSound's buffers give the play semantics the game relies on: Play on a
// playing buffer only takes over the looping choice, Stop halts where it is.
// A buffer played once that ran to its end must start over when played
// again, so the device remembers whether the last halt was a stop of ours.
//
// The primary format is kept as a description only: Windows mixes every
// buffer in software at the device's own rate since Vista.
#include "platform/sound.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "sound_objects.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

namespace platform {

using namespace soundobjects;

namespace {

struct Native {
    IDirectSoundBuffer* buffer = nullptr;
    bool stoppedByUs = false;  // the last halt was stopSoundBuffer, not the buffer's end
};

std::map<const SoundDevice*, IDirectSound8*> devices;
std::map<const SoundBuffer*, Native> buffers;

IDirectSound8* deviceOf(const SoundDevice* device) {
    auto found = devices.find(device);
    return found == devices.end() ? nullptr : found->second;
}

Native* nativeOf(const SoundBuffer* buffer) {
    auto found = buffers.find(buffer);
    return found == buffers.end() || !found->second.buffer ? nullptr : &found->second;
}

bool isPlaying(const Native& n) {
    DWORD status = 0;
    return SUCCEEDED(n.buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0;
}

// Copies the record's samples into the DirectSound buffer, which starts over
// from its beginning.
bool upload(SoundBuffer& b, Native& n) {
    std::vector<uint8_t> samples;
    if (!soundBufferContents(&b, samples) || samples.size() != b.bytes) return false;
    n.buffer->Stop();
    n.buffer->SetCurrentPosition(0);
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    HRESULT hr = n.buffer->Lock(0, b.bytes, &part1, &bytes1, &part2, &bytes2, 0);
    if (hr == DSERR_BUFFERLOST && SUCCEEDED(n.buffer->Restore()))
        hr = n.buffer->Lock(0, b.bytes, &part1, &bytes1, &part2, &bytes2, 0);
    if (FAILED(hr)) return false;
    std::memcpy(part1, samples.data(), std::min<std::size_t>(bytes1, samples.size()));
    n.buffer->Unlock(part1, bytes1, part2, bytes2);
    n.stoppedByUs = false;
    return true;
}

void releaseNative(const SoundBuffer* b) {
    auto found = buffers.find(b);
    if (found == buffers.end()) return;
    if (found->second.buffer) {
        found->second.buffer->Stop();
        found->second.buffer->Release();
    }
    buffers.erase(found);
}

void releaseBuffer(SoundBuffer& b) {
    releaseNative(&b);
    markDead(b);
}

// DirectSound ties a device to a top-level window. The game's main window is
// the active one when sound is set up; without one, the desktop stands in.
HWND cooperativeWindow() {
    HWND active = GetActiveWindow();
    HWND root = active ? GetAncestor(active, GA_ROOTOWNER) : nullptr;
    return root ? root : GetDesktopWindow();
}

}  // namespace

void prepareSoundDevice() {}

int32_t createSoundDevice(SoundDevice** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (injectedFailure(SoundStep::device)) return SOUND_ERR_FAIL;
    IDirectSound8* ds = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &ds, nullptr)) || ds == nullptr) return SOUND_ERR_FAIL;
    if (FAILED(ds->SetCooperativeLevel(cooperativeWindow(), DSSCL_PRIORITY))) {
        ds->Release();
        return SOUND_ERR_FAIL;
    }
    SoundDevice* device = newDevice();
    devices[device] = ds;
    *out = device;
    return SOUND_OK;
}

void releaseSoundDevice(SoundDevice* device) {
    if (!live(device)) return;
    for (auto& b : registry.buffers)
        if (b->alive && b->device == device) releaseBuffer(*b);
    if (IDirectSound8* ds = deviceOf(device)) ds->Release();
    devices.erase(device);
    device->alive = false;
}

int32_t createSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* label,
                          SoundBuffer** out) {
    if (out == nullptr) return SOUND_ERR_INVALID;
    *out = nullptr;
    if (!live(device) || !validSecondary(format, bytes)) return SOUND_ERR_INVALID;
    if (injectedFailure(SoundStep::secondaryBuffer)) return SOUND_ERR_FAIL;
    IDirectSound8* ds = deviceOf(device);
    if (!ds) return SOUND_ERR_FAIL;
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSec;
    wave.nBlockAlign = format.blockAlign;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.nAvgBytesPerSec = format.samplesPerSec * format.blockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &wave;
    IDirectSoundBuffer* native = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&desc, &native, nullptr)) || native == nullptr) return SOUND_ERR_FAIL;
    SoundBuffer* b = newSecondary(device, format, bytes, label);
    buffers[b] = Native{native, false};
    if (!upload(*b, buffers[b])) {
        releaseBuffer(*b);
        return SOUND_ERR_FAIL;
    }
    *out = b;
    return SOUND_OK;
}

int32_t unlockSoundBuffer(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    int32_t result = endLock(buffer, part1, bytes1, part2, bytes2);
    if (result < 0) return result;
    Native* n = nativeOf(buffer);
    if (!n) return SOUND_ERR_FAIL;
    const bool wasPlaying = isPlaying(*n);
    if (!upload(*buffer, *n)) return SOUND_ERR_FAIL;
    if (wasPlaying) logStop(*buffer);
    return SOUND_OK;
}

int32_t restoreSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer) || buffer->locked) return SOUND_ERR_INVALID;
    Native* n = nativeOf(buffer);
    if (!n) return SOUND_ERR_FAIL;
    fillSilence(*buffer);
    n->buffer->Restore();
    return upload(*buffer, *n) ? SOUND_OK : SOUND_ERR_FAIL;
}

int32_t playSoundBuffer(SoundBuffer* buffer, uint32_t flags) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    Native* n = nativeOf(buffer);
    if (!n) return SOUND_ERR_FAIL;
    buffer->looping = (flags & SOUND_PLAY_LOOPING) != 0;
    const bool wasPlaying = isPlaying(*n);
    // A sound that ran to its end starts over; one we stopped goes on.
    if (!wasPlaying && !n->stoppedByUs) n->buffer->SetCurrentPosition(0);
    HRESULT hr = n->buffer->Play(0, 0, buffer->looping ? DSBPLAY_LOOPING : 0);
    if (hr == DSERR_BUFFERLOST) {
        n->buffer->Restore();
        if (!upload(*buffer, *n)) return SOUND_ERR_FAIL;
        hr = n->buffer->Play(0, 0, buffer->looping ? DSBPLAY_LOOPING : 0);
    }
    if (FAILED(hr)) return SOUND_ERR_FAIL;
    n->stoppedByUs = false;
    if (!wasPlaying) logPlay(*buffer, buffer->looping);
    return SOUND_OK;
}

int32_t stopSoundBuffer(SoundBuffer* buffer) {
    if (!liveSecondary(buffer)) return SOUND_ERR_INVALID;
    Native* n = nativeOf(buffer);
    if (!n) return SOUND_ERR_FAIL;
    if (isPlaying(*n)) {
        n->buffer->Stop();
        n->stoppedByUs = true;
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
    if (Native* n = nativeOf(buffer)) {
        out.playing = isPlaying(*n);
        DWORD play = 0, write = 0;
        out.position = SUCCEEDED(n->buffer->GetCurrentPosition(&play, &write)) ? play : 0;
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
