#include "media/wav_reader.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace {

constexpr uint32_t fourcc(const char (&s)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) | (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24);
}
constexpr uint32_t ID_RIFF = fourcc("RIFF");
constexpr uint32_t ID_WAVE = fourcc("WAVE");
constexpr uint32_t ID_FMT = fourcc("fmt ");
constexpr uint32_t ID_DATA = fourcc("data");

constexpr uint32_t CHUNK_HEADER_BYTES = 8;
constexpr uint32_t FORMAT_HEAD_BYTES = 16;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool seekTo(WaveFile& file, uint64_t position) {
    if (position > file.size || position > static_cast<uint64_t>(LONG_MAX)) return false;
    return std::fseek(file.stream, static_cast<long>(position), SEEK_SET) == 0;
}

bool readExact(WaveFile& file, void* destination, std::size_t count) {
    return std::fread(destination, 1, count, file.stream) == count;
}

// Where the RIFF chunk's contents end: as stated, but never past the file.
uint64_t riffEnd(const WaveReader& reader) {
    return std::min<uint64_t>(reader.riffChunk.dataOffset + reader.riffChunk.size, reader.file.size);
}

// Walks the chunks from `start` (a chunk header) up to `end`, skipping each
// one's contents and its pad byte, until one with identifier `id`. On success
// the stream stands at the found chunk's contents. A chunk whose header does
// not fit before `end` ends the search; sizes are added in 64 bits, so a
// lying size only moves the walk past the end.
bool findChunk(WaveFile& file, uint64_t start, uint64_t end, uint32_t id, RiffChunk& out) {
    uint64_t position = start;
    while (position + CHUNK_HEADER_BYTES <= end) {
        uint8_t header[CHUNK_HEADER_BYTES];
        if (!seekTo(file, position) || !readExact(file, header, sizeof header)) return false;
        uint32_t chunkId = le32(header);
        uint32_t chunkSize = le32(header + 4);
        if (chunkId == id) {
            out = RiffChunk{chunkId, chunkSize, position + CHUNK_HEADER_BYTES, 0};
            return true;
        }
        position += CHUNK_HEADER_BYTES + static_cast<uint64_t>(chunkSize) + (chunkSize & 1u);
    }
    return false;
}

// Checks the RIFF/WAVE header and copies the format chunk into a new record.
bool readFormat(WaveReader& reader) {
    WaveFile& file = reader.file;
    uint8_t head[12];
    if (!seekTo(file, 0) || !readExact(file, head, sizeof head)) return false;
    if (le32(head) != ID_RIFF || le32(head + 8) != ID_WAVE) return false;
    reader.riffChunk = RiffChunk{ID_RIFF, le32(head + 4), CHUNK_HEADER_BYTES, ID_WAVE};

    RiffChunk fmt;
    if (!findChunk(file, reader.riffChunk.dataOffset + 4, riffEnd(reader), ID_FMT, fmt)) return false;
    if (fmt.size < FORMAT_HEAD_BYTES) return false;
    uint8_t bytes[FORMAT_HEAD_BYTES];
    if (!readExact(file, bytes, sizeof bytes)) return false;

    auto format = std::make_unique<platform::WaveFormat>();
    format->formatTag = le16(bytes);
    format->channels = le16(bytes + 2);
    format->samplesPerSec = le32(bytes + 4);
    format->avgBytesPerSec = le32(bytes + 8);
    format->blockAlign = le16(bytes + 12);
    format->bitsPerSample = le16(bytes + 14);
    // A PCM format has no extra bytes, whatever the chunk holds after its
    // first 16 bytes. Any other format states how many follow; that count is
    // not bounded by the chunk (the bytes are simply read on), but it is by
    // the file, so a lying count allocates nothing.
    if (format->formatTag != platform::WAVE_FORMAT_PCM) {
        uint8_t countBytes[2];
        if (!readExact(file, countBytes, sizeof countBytes)) return false;
        uint16_t count = le16(countBytes);
        uint64_t position = fmt.dataOffset + FORMAT_HEAD_BYTES + sizeof countBytes;
        if (position > file.size || count > file.size - position) return false;
        format->extra.resize(count);
        if (count > 0 && !readExact(file, format->extra.data(), count)) return false;
        format->extraSize = count;
    }
    // Leaving the format chunk needs no seek: the data search starts again
    // from the RIFF chunk's own start.
    reader.format = std::move(format);
    return true;
}

}  // namespace

int32_t waveOpen(WaveReader& reader, const char* fileName) {
    waveDestroy(reader);
    // Only a plain file: opening a FIFO would block, a directory reads nothing.
    std::error_code error;
    if (fileName == nullptr || !std::filesystem::is_regular_file(fileName, error)) return E_FAIL;
    std::FILE* stream = std::fopen(fileName, "rb");
    if (stream == nullptr) return E_FAIL;
    return waveOpenStream(reader, stream);
}

int32_t waveOpenStream(WaveReader& reader, std::FILE* stream) {
    // The earlier file is closed too, not only its format freed, so that a
    // reader used twice holds one file at most.
    waveDestroy(reader);
    if (stream == nullptr) return E_FAIL;
    reader.file.stream = stream;
    reader.dataChunk = RiffChunk{};
    reader.riffChunk = RiffChunk{};
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) size = std::ftell(stream);
    if (size < 0) {
        waveClose(reader);
        return E_FAIL;
    }
    reader.file.size = static_cast<uint64_t>(size);
    if (!readFormat(reader) || waveRewindToData(reader) != 0) {
        waveDestroy(reader);
        return E_FAIL;
    }
    return 0;
}

int32_t waveRewindToData(WaveReader& reader) {
    if (reader.file.stream == nullptr) return E_FAIL;
    RiffChunk data;
    if (!findChunk(reader.file, reader.riffChunk.dataOffset + 4, riffEnd(reader), ID_DATA, data)) return E_FAIL;
    reader.dataChunk = data;
    return 0;
}

int32_t waveRead(WaveReader& reader, uint32_t count, uint8_t* destination, uint32_t* bytesRead) {
    if (bytesRead != nullptr) *bytesRead = 0;
    if (reader.file.stream == nullptr) return E_FAIL;
    uint32_t deliver = std::min(count, reader.dataChunk.size);
    reader.dataChunk.size -= deliver;
    if (deliver > 0) {
        if (destination == nullptr) return E_FAIL;
        if (!readExact(reader.file, destination, deliver)) return E_FAIL;
    }
    if (bytesRead != nullptr) *bytesRead = deliver;
    return 0;
}

int32_t waveClose(WaveReader& reader) {
    if (reader.file.stream != nullptr) std::fclose(reader.file.stream);
    reader.file = WaveFile{};
    return 0;
}

void waveDestroy(WaveReader& reader) {
    waveClose(reader);
    reader.format.reset();
}

uint32_t waveDataBytesInFile(const WaveReader& reader) {
    if (reader.file.stream == nullptr) return 0;
    uint64_t offset = reader.dataChunk.dataOffset;
    uint64_t inFile = reader.file.size > offset ? reader.file.size - offset : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(reader.dataChunk.size, inFile));
}
