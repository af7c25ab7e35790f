// Sound device services: one output device, a primary buffer whose format
// describes the mix, and one secondary buffer per sound, filled once through
// Lock/Unlock and afterwards only started and stopped.
//
// Two devices implement this header: OpenAL Soft (platform/openal) and a
// logging device that plays nothing (platform/sound_log), used with the
// headless backend and by the tests. An executable links exactly one.
//
// Results are status codes: SOUND_OK (0) or a negative code; callers test for
// a negative value. Every operation on a null, released or otherwise dead
// handle does nothing and fails; handles stay safe to pass around after
// release (they are never reused for another object).
//
// What the game relies on when starting and stopping a buffer:
// - playing a buffer that is playing leaves it playing, without restarting it
//   (only the looping choice is taken over);
// - stop halts a buffer where it is, and the next play goes on from there;
// - a buffer played once that reached its end plays again from its start.
// Each real start and each real stop is recorded in the event log as
// "sound play <label> loop", "sound play <label> once" or "sound stop <label>";
// a play of a playing buffer and a stop of a silent one add no line, since
// nothing a player could hear changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Window;
struct SoundDevice;  // opaque: the output device
struct SoundBuffer;  // opaque: the primary buffer or one sound's buffer

// The format of a sound: the 16 bytes of a WAV file's format chunk, the count
// of extra bytes and those bytes (the classic WAVEFORMATEX and its tail).
struct WaveFormat {
    uint16_t formatTag = 0;  // 1 = PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;      // always extra.size()
    std::vector<uint8_t> extra;  // format-specific bytes of non-PCM formats
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// Status codes.
constexpr int32_t SOUND_OK = 0;
constexpr int32_t SOUND_ERR_FAIL = static_cast<int32_t>(0x80004005u);
constexpr int32_t SOUND_ERR_INVALID = static_cast<int32_t>(0x80070057u);
// Lock found the buffer's memory lost; restoreSoundBuffer and lock again.
constexpr int32_t SOUND_ERR_BUFFERLOST = static_cast<int32_t>(0x88780096u);
// This device does not play sounds from their files: make an ordinary buffer.
constexpr int32_t SOUND_ERR_NOT_STREAMED = static_cast<int32_t>(0x80004001u);

// Cooperative levels.
enum : uint32_t { SOUND_COOP_NORMAL = 1, SOUND_COOP_PRIORITY = 2 };

// Play flags.
enum : uint32_t { SOUND_PLAY_LOOPING = 1, SOUND_PLAY_LOCSOFTWARE = 4 };

// Secondary buffer sizes a device accepts, in bytes.
constexpr uint32_t SOUND_BUFFER_MIN_BYTES = 4;
constexpr uint32_t SOUND_BUFFER_MAX_BYTES = 0x0FFFFFFF;

// Sample rates a device accepts.
constexpr uint32_t SOUND_RATE_MIN = 100;
constexpr uint32_t SOUND_RATE_MAX = 200000;

// The formats a secondary buffer can hold: PCM, 8 or 16 bits, mono or stereo,
// any rate in range, with a consistent block size. Both devices apply this
// rule, so a sound that fails on one fails on the other.
inline bool isPlayableFormat(const WaveFormat& f) {
    if (f.formatTag != WAVE_FORMAT_PCM) return false;
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) return false;
    return f.samplesPerSec >= SOUND_RATE_MIN && f.samplesPerSec <= SOUND_RATE_MAX;
}

// --- device ----------------------------------------------------------------
// Starts opening the output device on a thread of its own, so that the sound
// set-up later finds it ready instead of waiting for it (the OpenAL device;
// elsewhere nothing). Called once, as the program starts.
void prepareSoundDevice();
// Opens the default output device (taking the one prepared ahead, if any).
int32_t createSoundDevice(SoundDevice** out);
// Ties the device to the main window (the window may be null).
int32_t setCooperativeLevel(SoundDevice* device, Window* window, uint32_t level);
// Releases the device and every buffer still made from it.
void releaseSoundDevice(SoundDevice* device);

// --- buffers ---------------------------------------------------------------
// The primary buffer: it describes the output mix and is never played.
int32_t createPrimaryBuffer(SoundDevice* device, SoundBuffer** out);
// Sets the primary buffer's format (PCM only).
int32_t setPrimaryFormat(SoundBuffer* primary, const WaveFormat& format);
// A buffer of `bytes` bytes holding sound in `format`, at first silent. The
// label names the buffer in the event log (the game passes the file name).
// Fails for a format isPlayableFormat refuses or a size outside
// SOUND_BUFFER_MIN_BYTES … SOUND_BUFFER_MAX_BYTES.
int32_t createSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* label,
                          SoundBuffer** out);
// A buffer whose samples stay in their file and are read as it plays, for
// long sounds that a device would otherwise hold whole: `bytes` bytes of
// samples in `format`, starting `offset` bytes into the file `path` (opened
// here, so a file renamed or removed later goes on playing). It plays, stops
// and reports like any other buffer but cannot be locked, and a change from
// looping to once takes effect only after what is already queued (under a
// second). Fails like createSoundBuffer; a device that does not stream (the
// logging device, DirectSound, the browser) answers SOUND_ERR_NOT_STREAMED.
int32_t createStreamedSoundBuffer(SoundDevice* device, const WaveFormat& format, uint32_t bytes, const char* path,
                                  uint64_t offset, const char* label, SoundBuffer** out);
// Writable memory of `bytes` bytes from `offset`, wrapping round the end of
// the buffer: the first part runs from offset, the second (null, 0 bytes when
// nothing wraps) from the start. One lock at a time per buffer.
int32_t lockSoundBuffer(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                        void** part2, uint32_t* bytes2);
// Ends the lock; the pointers must be those lockSoundBuffer gave. The sound
// takes the written bytes from here on.
int32_t unlockSoundBuffer(SoundBuffer* buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2);
// Gives a lost buffer its memory back (contents silent again).
int32_t restoreSoundBuffer(SoundBuffer* buffer);
// Starts the buffer (flags: SOUND_PLAY_LOOPING, SOUND_PLAY_LOCSOFTWARE).
int32_t playSoundBuffer(SoundBuffer* buffer, uint32_t flags);
// Halts the buffer where it is.
int32_t stopSoundBuffer(SoundBuffer* buffer);
void releaseSoundBuffer(SoundBuffer* buffer);

// --- inspection (tests, the headless runner) ---------------------------------
struct SoundBufferInfo {
    std::string label;
    bool primary = false;
    bool playing = false;
    bool looping = false;   // the choice of the last play
    uint32_t bytes = 0;     // size of the buffer
    uint32_t position = 0;  // play position in bytes
    WaveFormat format;
};
// False for a null or dead handle.
bool soundBufferInfo(SoundBuffer* buffer, SoundBufferInfo& out);
// The bytes the buffer holds (what the last unlock handed over).
bool soundBufferContents(SoundBuffer* buffer, std::vector<uint8_t>& out);
// Number of devices and buffers alive (not yet released).
int liveSoundObjects();

// --- test hooks --------------------------------------------------------------
enum class SoundStep {
    device,            // createSoundDevice
    cooperativeLevel,  // setCooperativeLevel
    primaryBuffer,     // createPrimaryBuffer
    primaryFormat,     // setPrimaryFormat
    secondaryBuffer,   // createSoundBuffer
    lock,              // lockSoundBuffer fails with SOUND_ERR_FAIL
    lockLost,          // lockSoundBuffer fails with SOUND_ERR_BUFFERLOST
};
// After `after` more successful calls of the step, its next `count` calls fail.
void failSoundStep(SoundStep step, int count = 1, int after = 0);
// The logging device moves playing buffers on by this much time (looping ones
// wrap, the others stop at their end); the real device runs on its own clock
// and ignores it.
void advanceSoundTime(int milliseconds);
// Releases every object, clears the injected failures and the clock. Handles
// held elsewhere become dead (safe, but doing nothing).
void resetSoundDevice();

}  // namespace platform
