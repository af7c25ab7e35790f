// The game's four sounds, synthesised from scratch: oscillators, envelopes,
// a little FM and noise. Everything is deterministic (fixed seeds, no clock),
// so two runs write byte-identical files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sounds {

constexpr int SAMPLE_RATE = 44100;
// The browser build's sounds: half the rate and one channel, a quarter of the
// bytes, so the page's first visit stays small.
constexpr int WEB_SAMPLE_RATE = SAMPLE_RATE / 2;

// Interleaved stereo 16-bit samples (left, right, left, right, ...).
struct Pcm {
    int channels = 2;
    std::vector<int16_t> samples;
    int rate = SAMPLE_RATE;
    size_t frames() const { return samples.size() / static_cast<size_t>(channels); }
};

Pcm synthTownTune();      // "base1.wav": cheerful town tune, seamless loop
Pcm synthParlourMarch();  // "base2.wav": busy parlour march, seamless loop
Pcm synthFanfare();       // "open.wav": bright fanfare loop for the open gate
Pcm synthBallClatter();   // "tamade.wav": short metallic clatter of balls

// The bytes of a canonical RIFF/WAVE file (PCM at the sound's rate, 16-bit).
std::vector<uint8_t> wavBytes(const Pcm& pcm);

// A stereo sound at SAMPLE_RATE made mono at WEB_SAMPLE_RATE: the channels
// mixed, then low-passed below the new Nyquist frequency so nothing folds back
// as a whistle, then every second frame kept. A loop is filtered across its
// seam (its end flows into its start), so it stays seamless.
Pcm webVersion(const Pcm& pcm, bool loop);

}  // namespace sounds

// Writes "base1.wav", "base2.wav", "open.wav" and "tamade.wav" into outDir,
// the browser build's versions (webVersion) when `web` is set.
// False (with a message on stderr) when a file cannot be written.
bool writeSounds(const std::string& outDir, bool web = false);
