// A tiny RIFF/WAVE writer for test fixtures: well-formed files and every kind
// of broken one (lying sizes, chunks in odd orders, missing pieces).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace wav_fixture {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
inline void putId(Bytes& out, const std::string& id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(i < static_cast<int>(id.size()) ? id[i] : ' '));
}

struct Chunk {
    std::string id;
    Bytes body;
    std::optional<uint32_t> statedSize;  // a size to write instead of the body's
};

// The 16 bytes of a format chunk.
inline Bytes formatHead(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b;
    uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, align * rate);
    put16(b, align);
    put16(b, bits);
    return b;
}

inline Chunk fmtChunk(uint16_t channels = 2, uint32_t rate = 44100, uint16_t bits = 16) {
    return Chunk{"fmt ", formatHead(1, channels, rate, bits), std::nullopt};
}

inline Chunk dataChunk(const Bytes& samples) { return Chunk{"data", samples, std::nullopt}; }

// RIFF file of the given form: its chunks in order, each padded to an even
// length. riffSize replaces the true size of the RIFF chunk.
inline Bytes riff(const std::vector<Chunk>& chunks, const std::string& form = "WAVE",
                  std::optional<uint32_t> riffSize = std::nullopt) {
    Bytes body;
    putId(body, form);
    for (const Chunk& c : chunks) {
        putId(body, c.id);
        put32(body, c.statedSize ? *c.statedSize : static_cast<uint32_t>(c.body.size()));
        body.insert(body.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2 == 1) body.push_back(0);
    }
    Bytes out;
    putId(out, "RIFF");
    put32(out, riffSize ? *riffSize : static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Samples counting up from `first`, one byte each.
inline Bytes ramp(std::size_t count, uint8_t first = 1) {
    Bytes b(count);
    for (std::size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(first + i);
    return b;
}

// 16-bit samples of a square wave of the given amplitude, all channels alike.
inline Bytes square16(uint32_t frames, uint16_t channels, uint32_t period, int16_t amplitude) {
    Bytes b;
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t v = (i % period) < period / 2 ? amplitude : static_cast<int16_t>(-amplitude);
        for (uint16_t c = 0; c < channels; ++c) put16(b, static_cast<uint16_t>(v));
    }
    return b;
}

// A plain PCM file.
inline Bytes pcmFile(const Bytes& samples, uint16_t channels = 2, uint32_t rate = 44100, uint16_t bits = 16) {
    return riff({fmtChunk(channels, rate, bits), dataChunk(samples)});
}

inline void save(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace wav_fixture
