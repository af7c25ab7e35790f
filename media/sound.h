// The game's sounds: two looping tunes (town, parlour), the looping gate sound
// and three copies of the ball sound, each in a buffer of its own made at
// start-up and afterwards only started and stopped. The ball sound is read
// whole; the looped ones are played from their files where the device can
// (12 MB the game would otherwise hold), else read whole too.
//
// game.soundOff silences everything: callers test it before starting or
// stopping a sound (playLooping and playTamadeSound also refuse to start one
// while it is set). game.noSoundDevice records that no device could be made.
#pragma once

#include "platform/sound.h"

namespace platform {
struct Window;
}

// The device and its buffers; null while absent.
extern platform::SoundDevice* dsound;
extern platform::SoundBuffer* dsPrimaryBuffer;
extern platform::SoundBuffer* sndBase1;    // "base1.wav", the town tune, looped
extern platform::SoundBuffer* sndBase2;    // "base2.wav", the parlour tune, looped
extern platform::SoundBuffer* sndOpen;     // "open.wav", looped while the bottom gate is open
extern platform::SoundBuffer* sndTamade1;  // "tamade.wav", the ball sound, played once per use
extern platform::SoundBuffer* sndTamade2;
extern platform::SoundBuffer* sndTamade3;

// Makes the device, sets its cooperative level and the primary buffer's
// format (16-bit stereo 44100 Hz). A failure shows its message; a device that
// cannot be made at all also sets game.soundOff and game.noSoundDevice.
// False when no buffers can be loaded.
bool initDirectSound(platform::Window* window);
// Fills the six buffers, stopping at the first that fails.
bool loadSounds();
// Reads a WAV file whole into a new buffer stored in *slot. True also when the
// buffer exists but could not be filled (it then stays silent). The label
// names the buffer in the event log; null means the file name. With
// `fromFile`, a device that can plays the sound from its file instead of
// holding it (the long looped sounds); the others read it whole as usual.
bool createSoundBufferFromWav(const char* fileName, platform::SoundBuffer** slot, const char* label = nullptr,
                              bool fromFile = false);

// Starts a buffer looping; a playing buffer goes on undisturbed. Does
// nothing for an absent buffer or while game.soundOff is set.
void playLooping(platform::SoundBuffer* buffer);
// Halts a buffer where it is (the next play goes on from there). Does nothing
// for an absent buffer; works whatever game.soundOff says.
void stopSound(platform::SoundBuffer* buffer);
// Stops all six buffers, sndBase1 first and sndTamade3 last.
void stopAllSounds();
// Plays the ball sound once on the copy game.tamadeNext names and moves on to
// the next copy (three in turn, so up to three can sound at once). Does
// nothing while game.soundOff is set.
void playTamadeSound();

// Stops and releases the six buffers (sndTamade3 first). Always true.
bool releaseSoundBuffers();
// Releases the primary buffer, then the device. Always true.
bool releaseDirectSound();
