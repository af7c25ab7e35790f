// The four sounds, synthesised note by note.
//
// Tunes are rendered into a loop buffer of exactly the tune's length: a note
// that rings past the end continues at the start, so the loop is seamless by
// construction (the last sample flows into the first just as any two
// neighbouring samples do). Every attack takes at least a few milliseconds,
// so no note starts with a click. The mix is scaled to a fixed peak below
// full scale, so nothing clips. Noise comes from a fixed-seed generator.
#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

namespace sounds {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;
constexpr double PEAK = 0.80;  // of full scale, after mixing

// A stereo float buffer; when looping, writes past the end wrap to the start.
struct Mix {
    std::vector<float> left, right;
    bool loop = false;
    explicit Mix(size_t frames, bool loops) : left(frames, 0.0f), right(frames, 0.0f), loop(loops) {}
    void add(size_t frame, double value, double pan) {
        if (loop) frame %= left.size();
        else if (frame >= left.size()) return;
        // Constant-power panning, pan -1 (left) .. 1 (right).
        double angle = (pan + 1.0) * std::numbers::pi / 4.0;
        left[frame] += static_cast<float>(value * std::cos(angle));
        right[frame] += static_cast<float>(value * std::sin(angle));
    }
};

// Fixed-seed noise.
struct Noise {
    uint32_t state = 0x1234567u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Attack-decay-sustain-release envelope at time t of a note held for `hold`.
struct Envelope {
    double attack, decay, sustain, release;
    double at(double t, double hold) const {
        double level;
        if (t < attack) level = t / attack;
        else if (t < attack + decay) level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
        else level = sustain;
        if (t > hold) {
            double r = (t - hold) / release;
            level *= r >= 1.0 ? 0.0 : (1.0 - r) * (1.0 - r);
        }
        return level;
    }
    double length(double hold) const { return hold + release; }
};

enum class Voice { Lead, Brass, Bell, Bass, Stab, Organ };

// One pitched note into the mix.
void note(Mix& mix, Voice voice, double start, double hold, double hz, double gain, double pan) {
    Envelope env;
    switch (voice) {
        case Voice::Lead: env = {0.008, 0.12, 0.55, 0.08}; break;
        case Voice::Brass: env = {0.025, 0.15, 0.7, 0.09}; break;
        case Voice::Bell: env = {0.003, 0.5, 0.0, 0.3}; hold = std::max(hold, 0.6); break;
        case Voice::Bass: env = {0.006, 0.2, 0.6, 0.06}; break;
        case Voice::Stab: env = {0.004, 0.09, 0.15, 0.05}; break;
        case Voice::Organ: env = {0.02, 0.1, 0.8, 0.12}; break;
    }
    const size_t first = static_cast<size_t>(std::lround(start * SAMPLE_RATE));
    const size_t count = static_cast<size_t>(env.length(hold) * SAMPLE_RATE);
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / SAMPLE_RATE;
        double e = env.at(t, hold);
        if (e <= 0.0 && t > hold) break;
        double ph = TWO_PI * hz * t;
        double v = 0.0;
        switch (voice) {
            case Voice::Lead: {
                // Soft FM lead with a little vibrato after the attack.
                double vib = 0.004 * std::sin(TWO_PI * 5.5 * t) * std::min(1.0, t / 0.25);
                double p = ph * (1.0 + vib);
                double index = 1.2 * std::exp(-t * 6.0) + 0.5;
                v = std::sin(p + index * std::sin(p));
                break;
            }
            case Voice::Brass: {
                // Additive sawtooth whose upper harmonics open with the attack.
                double bright = std::min(1.0, t / 0.06);
                for (int k = 1; k <= 9; ++k) {
                    if (hz * k > 9000.0) break;
                    double w = 1.0 / k * (k == 1 ? 1.0 : bright * std::exp(-0.18 * k));
                    v += w * std::sin(ph * k);
                }
                v *= 0.8;
                break;
            }
            case Voice::Bell: {
                // Inharmonic FM bell: metallic, bright, short.
                double index = 2.5 * std::exp(-t * 9.0);
                v = std::sin(ph + index * std::sin(ph * 3.5)) * std::exp(-t * 4.0);
                break;
            }
            case Voice::Bass: {
                // Rounded triangle from its first odd harmonics.
                v = std::sin(ph) - std::sin(3 * ph) / 9.0 + std::sin(5 * ph) / 25.0;
                break;
            }
            case Voice::Stab: {
                v = std::sin(ph) + 0.4 * std::sin(2 * ph) + 0.2 * std::sin(3 * ph);
                v *= 0.7;
                break;
            }
            case Voice::Organ: {
                v = std::sin(ph) + 0.5 * std::sin(2 * ph) + 0.25 * std::sin(4 * ph);
                v *= 0.6;
                break;
            }
        }
        mix.add(first + i, gain * e * v, pan);
    }
}

enum class Drum { Kick, Snare, Hat, Crash };

void drum(Mix& mix, Noise& noise, Drum kind, double start, double gain, double pan = 0.0) {
    const size_t first = static_cast<size_t>(std::lround(start * SAMPLE_RATE));
    double length = kind == Drum::Crash ? 1.2 : kind == Drum::Kick ? 0.25 : kind == Drum::Snare ? 0.18 : 0.05;
    const size_t count = static_cast<size_t>(length * SAMPLE_RATE);
    double previous = 0.0, phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / SAMPLE_RATE;
        double attack = std::min(1.0, t / 0.002);
        double v = 0.0;
        switch (kind) {
            case Drum::Kick: {
                double hz = 50.0 + 90.0 * std::exp(-t * 35.0);
                phase += TWO_PI * hz / SAMPLE_RATE;
                v = std::sin(phase) * std::exp(-t * 14.0);
                break;
            }
            case Drum::Snare: {
                double n = noise.next();
                phase += TWO_PI * 190.0 / SAMPLE_RATE;
                v = (0.7 * n * std::exp(-t * 22.0) + 0.5 * std::sin(phase) * std::exp(-t * 30.0));
                break;
            }
            case Drum::Hat: {
                // Differenced noise: only the hiss.
                double n = noise.next();
                v = (n - previous) * 0.5 * std::exp(-t * 70.0);
                previous = n;
                break;
            }
            case Drum::Crash: {
                double n = noise.next();
                v = (n - previous) * 0.45 * std::exp(-t * 3.5);
                previous = n;
                break;
            }
        }
        mix.add(first + i, gain * attack * v, pan);
    }
}

// A melody line: note numbers (-1 = rest) with lengths in beats.
struct Step {
    int note;
    double beats;
};

void melody(Mix& mix, Voice voice, const std::vector<Step>& line, double beatSeconds, double gain, double pan,
            int transpose = 0, double legato = 0.9) {
    double beat = 0.0;
    for (const Step& s : line) {
        if (s.note >= 0)
            note(mix, voice, beat * beatSeconds, s.beats * beatSeconds * legato, midiHz(s.note + transpose), gain, pan);
        beat += s.beats;
    }
}

// Note numbers.
enum : int {
    G3 = 55, A3 = 57, B3 = 59, C4 = 60, D4 = 62, E4 = 64, F4 = 65, FS4 = 66, G4 = 67, A4 = 69, B4 = 71,
    C5 = 72, D5 = 74, E5 = 76, F5 = 77, FS5 = 78, G5 = 79, A5 = 81, B5 = 83, C6 = 84, D6 = 86, E6 = 88,
};

// A chord: root note (bass octave) and the three notes of the triad.
struct Chord {
    int root;
    int notes[3];
};

Pcm toPcm(const Mix& mix) {
    double peak = 1e-9;
    for (size_t i = 0; i < mix.left.size(); ++i)
        peak = std::max({peak, std::fabs(double(mix.left[i])), std::fabs(double(mix.right[i]))});
    double scale = PEAK * 32767.0 / peak;
    Pcm pcm;
    pcm.samples.resize(mix.left.size() * 2);
    for (size_t i = 0; i < mix.left.size(); ++i) {
        pcm.samples[2 * i] = static_cast<int16_t>(std::lround(mix.left[i] * scale));
        pcm.samples[2 * i + 1] = static_cast<int16_t>(std::lround(mix.right[i] * scale));
    }
    return pcm;
}

size_t framesFor(double beats, double beatSeconds) {
    return static_cast<size_t>(std::lround(beats * beatSeconds * SAMPLE_RATE));
}

}  // namespace

Pcm synthTownTune() {
    // 120 beats a minute (22,050 samples a beat), 16 bars in C major: a
    // light-hearted walk with an oom-pah accompaniment.
    const double beat = 0.5;
    Mix mix(framesFor(64, beat), true);
    Noise noise;
    const std::vector<Step> tune = {
        {E5, 1}, {G5, .5}, {E5, .5}, {C5, 1}, {G4, 1},        // C
        {A4, .5}, {C5, .5}, {E5, 1}, {D5, 1}, {C5, 1},        // Am
        {F5, 1}, {A5, .5}, {F5, .5}, {C5, 1}, {A4, 1},        // F
        {G4, .5}, {B4, .5}, {D5, 1}, {G5, 1.5}, {-1, .5},     // G
        {E5, .5}, {F5, .5}, {G5, 1}, {C6, 1}, {G5, 1},        // C
        {A5, .5}, {G5, .5}, {E5, 1}, {C5, 1}, {E5, 1},        // Am
        {F5, 1}, {E5, .5}, {D5, .5}, {A4, 1}, {D5, 1},        // Dm
        {B4, 1}, {D5, 1}, {G5, 2},                            // G
        {A5, 1}, {G5, .5}, {F5, .5}, {C5, 1}, {F5, 1},        // F
        {G5, 1}, {F5, .5}, {E5, .5}, {D5, 1}, {B4, 1},        // G
        {E5, .5}, {G5, .5}, {B5, 1}, {G5, 1}, {E5, 1},        // Em
        {C6, 1}, {B5, .5}, {A5, .5}, {E5, 2},                 // Am
        {D5, .5}, {F5, .5}, {A5, 1}, {F5, 1}, {D5, 1},        // Dm
        {G5, 1}, {B5, .5}, {A5, .5}, {G5, 1}, {F5, 1},        // G
        {E5, 1}, {G5, 1}, {C6, 1}, {E6, 1},                   // C
        {D6, 1}, {B5, .5}, {G5, .5}, {F5, 1}, {D5, 1},        // G7
    };
    melody(mix, Voice::Lead, tune, beat, 0.30, -0.15);
    const Chord chords[16] = {
        {C4 - 12, {E4, G4, C5}}, {A3 - 12, {E4, A4, C5}}, {F4 - 24, {F4, A4, C5}}, {G3 - 12, {D4, G4, B4}},
        {C4 - 12, {E4, G4, C5}}, {A3 - 12, {E4, A4, C5}}, {D4 - 24, {D4, F4, A4}}, {G3 - 12, {D4, G4, B4}},
        {F4 - 24, {F4, A4, C5}}, {G3 - 12, {D4, G4, B4}}, {E4 - 24, {E4, G4, B4}}, {A3 - 12, {E4, A4, C5}},
        {D4 - 24, {D4, F4, A4}}, {G3 - 12, {D4, G4, B4}}, {C4 - 12, {E4, G4, C5}}, {G3 - 12, {D4, F4, B4}},
    };
    for (int bar = 0; bar < 16; ++bar) {
        const Chord& c = chords[bar];
        // A bell on the chord's top note, every other bar, brightens it.
        if (bar % 2 == 0) note(mix, Voice::Bell, bar * 4 * beat, 0.3, midiHz(c.notes[2] + 12), 0.06, 0.35);
        for (int b = 0; b < 4; ++b) {
            double t = (bar * 4 + b) * beat;
            // Oom: root on 1 and 3, fifth on 2 and 4.
            int bass = (b % 2 == 0) ? c.root : c.root + 7;
            note(mix, Voice::Bass, t, beat * 0.8, midiHz(bass), 0.32, 0.0);
            // Pah: the chord on the off-beat.
            for (int n : c.notes) note(mix, Voice::Stab, t + beat / 2, beat * 0.35, midiHz(n), 0.07, 0.3);
            drum(mix, noise, b % 2 == 0 ? Drum::Kick : Drum::Snare, t, b % 2 == 0 ? 0.45 : 0.18);
            drum(mix, noise, Drum::Hat, t + beat / 2, 0.25, 0.4);
        }
    }
    return toPcm(mix);
}

Pcm synthParlourMarch() {
    // 140 beats a minute (18,900 samples a beat), 20 bars in G major: a brassy
    // march with glockenspiel, snare figures and a marching bass.
    const double beat = 60.0 / 140.0;
    Mix mix(framesFor(80, beat), true);
    Noise noise;
    const std::vector<Step> tune = {
        {D5, .75}, {D5, .25}, {G5, 1}, {B5, 1}, {G5, 1},                  // G
        {A5, .5}, {B5, .5}, {A5, .5}, {G5, .5}, {D5, 2},                  // G
        {FS5, .75}, {FS5, .25}, {A5, 1}, {D6, 1}, {A5, 1},                // D
        {B5, .5}, {A5, .5}, {G5, .5}, {FS5, .5}, {E5, 1}, {D5, 1},        // D
        {G5, .5}, {A5, .5}, {B5, .5}, {C6, .5}, {D6, 1}, {B5, 1},         // G
        {C6, .5}, {B5, .5}, {A5, .5}, {G5, .5}, {E5, 1}, {G5, 1},         // C
        {FS5, .5}, {G5, .5}, {A5, .5}, {FS5, .5}, {D5, 1}, {E5, .5}, {FS5, .5},  // D
        {G5, 1}, {D5, 1}, {G4, 1}, {-1, 1},                               // G
        {B5, .75}, {B5, .25}, {G5, 1}, {E5, 1}, {G5, 1},                  // Em
        {C6, .75}, {C6, .25}, {G5, 1}, {E5, 1}, {C5, 1},                  // C
        {D5, .5}, {E5, .5}, {FS5, .5}, {G5, .5}, {A5, 1}, {D6, 1},        // D
        {B5, .5}, {A5, .5}, {G5, 1}, {D5, 2},                             // G
        {E5, .5}, {G5, .5}, {C6, 1}, {E6, 1}, {C6, 1},                    // C
        {D6, .5}, {B5, .5}, {G5, 1}, {B5, 1}, {D6, 1},                    // G
        {C6, .5}, {A5, .5}, {FS5, 1}, {A5, .5}, {D6, .5}, {C6, 1},        // D
        {A5, .5}, {B5, .5}, {C6, .5}, {A5, .5}, {FS5, 1}, {D5, 1},        // D
        {G5, .5}, {B5, .5}, {D6, .5}, {B5, .5}, {G5, 1}, {B5, 1},         // G
        {C6, .5}, {E6, .5}, {C6, .5}, {G5, .5}, {E5, 1}, {C6, 1},         // C
        {A5, .5}, {C6, .5}, {B5, .5}, {A5, .5}, {FS5, 1}, {D5, 1},        // D7
        {G5, 1}, {D5, .5}, {B4, .5}, {G4, 1}, {D5, 1},                    // G
    };
    melody(mix, Voice::Brass, tune, beat, 0.30, -0.2, 0, 0.85);
    melody(mix, Voice::Bell, tune, beat, 0.06, 0.35, 12);
    const Chord chords[20] = {
        {G3 - 12, {D4, G4, B4}}, {G3 - 12, {D4, G4, B4}}, {D4 - 24, {D4, FS4, A4}}, {D4 - 24, {D4, FS4, A4}},
        {G3 - 12, {D4, G4, B4}}, {C4 - 24, {E4, G4, C5}}, {D4 - 24, {D4, FS4, A4}}, {G3 - 12, {D4, G4, B4}},
        {E4 - 24, {E4, G4, B4}}, {C4 - 24, {E4, G4, C5}}, {D4 - 24, {D4, FS4, A4}}, {G3 - 12, {D4, G4, B4}},
        {C4 - 24, {E4, G4, C5}}, {G3 - 12, {D4, G4, B4}}, {D4 - 24, {D4, FS4, A4}}, {D4 - 24, {D4, FS4, A4}},
        {G3 - 12, {D4, G4, B4}}, {C4 - 24, {E4, G4, C5}}, {D4 - 24, {D4, FS4, C5}}, {G3 - 12, {D4, G4, B4}},
    };
    for (int bar = 0; bar < 20; ++bar) {
        const Chord& c = chords[bar];
        for (int b = 0; b < 4; ++b) {
            double t = (bar * 4 + b) * beat;
            int bass = (b % 2 == 0) ? c.root : c.root + 7;
            note(mix, Voice::Bass, t, beat * 0.6, midiHz(bass), 0.34, 0.0);
            for (int n : c.notes) note(mix, Voice::Organ, t + beat / 2, beat * 0.3, midiHz(n), 0.05, 0.25);
            drum(mix, noise, b % 2 == 0 ? Drum::Kick : Drum::Snare, t, b % 2 == 0 ? 0.45 : 0.22);
            // The march's snare figure: two sixteenths before beat 1 and 3.
            if (b % 2 == 1) {
                drum(mix, noise, Drum::Snare, t + beat * 0.5, 0.10, -0.2);
                drum(mix, noise, Drum::Snare, t + beat * 0.75, 0.13, -0.2);
            }
            drum(mix, noise, Drum::Hat, t + beat / 2, 0.2, 0.4);
        }
        if (bar % 4 == 0) drum(mix, noise, Drum::Crash, bar * 4 * beat, 0.12, 0.3);
    }
    return toPcm(mix);
}

Pcm synthFanfare() {
    // 150 beats a minute (17,640 samples a beat), two bars in C major: brass
    // arpeggios over a held chord and a snare roll, round and round while
    // the gate stays open.
    const double beat = 0.4;
    Mix mix(framesFor(8, beat), true);
    Noise noise;
    const std::vector<Step> call = {
        {G4, .5}, {C5, .5}, {E5, .5}, {G5, .5}, {C6, 1.5}, {G5, .5},
        {A5, .5}, {C6, .5}, {A5, .5}, {F5, .5}, {G5, .5}, {B5, .5}, {D6, 1},
    };
    melody(mix, Voice::Brass, call, beat, 0.34, -0.15, 0, 0.8);
    melody(mix, Voice::Brass, call, beat, 0.18, 0.25, -12, 0.8);
    melody(mix, Voice::Bell, call, beat, 0.07, 0.4, 12);
    const int harmony[2][3] = {{C4, E4, G4}, {F4, A4, C5}};
    for (int half = 0; half < 2; ++half) {
        for (int n : harmony[half]) note(mix, Voice::Organ, half * 4 * beat, 3.8 * beat, midiHz(n), 0.06, 0.0);
        note(mix, Voice::Bass, half * 4 * beat, 1.8 * beat, midiHz(half == 0 ? C4 - 24 : F4 - 24), 0.3, 0.0);
        note(mix, Voice::Bass, (half * 4 + 2) * beat, 1.8 * beat, midiHz(half == 0 ? G3 - 12 : G3 - 12), 0.3, 0.0);
    }
    for (int i = 0; i < 32; ++i) drum(mix, noise, Drum::Snare, i * beat / 4, i % 4 == 0 ? 0.2 : 0.1, -0.3);
    for (int b = 0; b < 8; b += 2) drum(mix, noise, Drum::Kick, b * beat, 0.4);
    drum(mix, noise, Drum::Crash, 0.0, 0.15, 0.3);
    return toPcm(mix);
}

Pcm synthBallClatter() {
    // 0.45 s of balls pouring into the tray: a burst of short metallic
    // clicks (inharmonic partials, a few milliseconds each), thick at first
    // and thinning out, over a short rattle of noise.
    const double length = 0.45;
    Mix mix(static_cast<size_t>(length * SAMPLE_RATE), false);
    Noise noise;
    const double partials[4] = {1.0, 2.76, 5.40, 8.93};
    double t = 0.0;
    int hit = 0;
    while (t < length - 0.06) {
        double base = 1900.0 + 900.0 * (0.5 + 0.5 * noise.next());
        double gain = 0.5 * (1.0 - t / length) + 0.1;
        double pan = 0.6 * noise.next();
        size_t first = static_cast<size_t>(t * SAMPLE_RATE);
        size_t count = static_cast<size_t>(0.05 * SAMPLE_RATE);
        for (size_t i = 0; i < count; ++i) {
            double s = static_cast<double>(i) / SAMPLE_RATE;
            double attack = std::min(1.0, s / 0.0008);
            double v = 0.0;
            for (int k = 0; k < 4; ++k) {
                if (base * partials[k] > 20000.0) break;
                v += std::sin(TWO_PI * base * partials[k] * s) * std::exp(-s * (60.0 + 25.0 * k)) / (k + 1);
            }
            mix.add(first + i, gain * attack * v, pan);
        }
        ++hit;
        // Gaps grow from about 12 to 45 milliseconds.
        t += 0.012 + 0.07 * (t / length) * (0.6 + 0.4 * (0.5 + 0.5 * noise.next()));
    }
    // The rattle under the clicks, fading out well before the end.
    for (size_t i = 0; i < mix.left.size(); ++i) {
        double s = static_cast<double>(i) / SAMPLE_RATE;
        double e = std::min(1.0, s / 0.003) * std::exp(-s * 9.0) * (s < length - 0.02 ? 1.0 : (length - s) / 0.02);
        mix.add(i, 0.08 * e * noise.next(), 0.0);
    }
    // Fade the very end to silence.
    const size_t fade = static_cast<size_t>(0.01 * SAMPLE_RATE);
    for (size_t i = 0; i < fade; ++i) {
        size_t j = mix.left.size() - 1 - i;
        double f = static_cast<double>(i) / fade;
        mix.left[j] = static_cast<float>(mix.left[j] * f);
        mix.right[j] = static_cast<float>(mix.right[j] * f);
    }
    return toPcm(mix);
}

std::vector<uint8_t> wavBytes(const Pcm& pcm) {
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.samples.size() * 2);
    const uint16_t channels = static_cast<uint16_t>(pcm.channels);
    const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(channels);
    u32(static_cast<uint32_t>(pcm.rate));
    u32(static_cast<uint32_t>(pcm.rate) * blockAlign);
    u16(blockAlign);
    u16(16);
    tag("data");
    u32(dataBytes);
    for (int16_t s : pcm.samples) u16(static_cast<uint16_t>(s));
    return out;
}

Pcm webVersion(const Pcm& pcm, bool loop) {
    // Windowed-sinc low-pass (Blackman window, about 74 dB down in the stop
    // band): flat to about 9 kHz, closed from about 11 kHz, the new Nyquist.
    constexpr int HALF = 63;
    constexpr double CUTOFF = 10000.0 / SAMPLE_RATE;  // cycles per input sample
    double taps[2 * HALF + 1];
    double sum = 0.0;
    for (int k = -HALF; k <= HALF; ++k) {
        double sinc = k == 0 ? 2.0 * CUTOFF : std::sin(TWO_PI * CUTOFF * k) / (std::numbers::pi * k);
        double w = static_cast<double>(k + HALF) / (2 * HALF);
        double window = 0.42 - 0.5 * std::cos(TWO_PI * w) + 0.08 * std::cos(2.0 * TWO_PI * w);
        taps[k + HALF] = sinc * window;
        sum += taps[k + HALF];
    }
    for (double& t : taps) t /= sum;  // unity gain at 0 Hz

    const size_t frames = pcm.frames();
    const size_t channels = static_cast<size_t>(pcm.channels);
    std::vector<double> mono(frames);
    for (size_t f = 0; f < frames; ++f) {
        double v = 0.0;
        for (size_t c = 0; c < channels; ++c) v += pcm.samples[f * channels + c];
        mono[f] = v / static_cast<double>(channels);
    }
    Pcm out;
    out.channels = 1;
    out.rate = WEB_SAMPLE_RATE;
    out.samples.resize((frames + 1) / 2);
    const auto n = static_cast<std::ptrdiff_t>(frames);
    for (size_t o = 0; o < out.samples.size(); ++o) {
        double acc = 0.0;
        for (int k = -HALF; k <= HALF; ++k) {
            std::ptrdiff_t i = static_cast<std::ptrdiff_t>(2 * o) + k;
            if (loop) i = ((i % n) + n) % n;
            else if (i < 0 || i >= n) continue;
            acc += taps[k + HALF] * mono[static_cast<size_t>(i)];
        }
        out.samples[o] = static_cast<int16_t>(std::clamp<long>(std::lround(acc), -32768, 32767));
    }
    return out;
}

}  // namespace sounds

bool writeSounds(const std::string& outDir, bool web) {
    struct Item {
        const char* name;
        sounds::Pcm (*make)();
        bool loop;
    };
    const Item items[] = {{"base1.wav", sounds::synthTownTune, true},
                          {"base2.wav", sounds::synthParlourMarch, true},
                          {"open.wav", sounds::synthFanfare, true},
                          {"tamade.wav", sounds::synthBallClatter, false}};
    for (const Item& item : items) {
        sounds::Pcm pcm = item.make();
        if (web) pcm = sounds::webVersion(pcm, item.loop);
        std::vector<uint8_t> bytes = sounds::wavBytes(pcm);
        std::string path = outDir + "/" + item.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}
