// The game's four sounds, synthesised from scratch: oscillators, envelopes,
// a little FM and noise. Everything is deterministic (fixed seeds, no clock),
// so two runs write byte-identical files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sounds {

constexpr int SAMPLE_RATE = 44100;

// Interleaved stereo 16-bit samples (left, right, left, right, ...).
struct Pcm {
    int channels = 2;
    std::vector<int16_t> samples;
    size_t frames() const { return samples.size() / static_cast<size_t>(channels); }
};

Pcm synthTownTune();      // "base1.wav": cheerful town tune, seamless loop
Pcm synthParlourMarch();  // "base2.wav": busy parlour march, seamless loop
Pcm synthFanfare();       // "open.wav": bright fanfare loop for the open gate
Pcm synthBallClatter();   // "tamade.wav": short metallic clatter of balls

// The bytes of a canonical RIFF/WAVE file (PCM, 44,100 Hz, 16-bit).
std::vector<uint8_t> wavBytes(const Pcm& pcm);

}  // namespace sounds

// Writes "base1.wav", "base2.wav", "open.wav" and "tamade.wav" into outDir.
// False (with a message on stderr) when a file cannot be written.
bool writeSounds(const std::string& outDir);
