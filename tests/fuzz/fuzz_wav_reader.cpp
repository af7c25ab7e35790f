// Fuzzes the WAV reader with arbitrary files. Beyond "no crash, no
// out-of-bounds access, no leak" (the sanitizers), it checks what the sound
// layer relies on: an accepted file has a format, the sample bytes it claims
// to hold really are in the file, and reads never deliver more than asked.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "media/wav_reader.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // a memory stream cannot be empty; the unit tests cover empty files
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr) return 0;
    WaveReader reader;
    if (waveOpenStream(reader, stream) == 0) {
        check(reader.format != nullptr);
        check(reader.format->extra.size() == reader.format->extraSize);
        check(reader.format->formatTag != 1 || reader.format->extraSize == 0);
        uint32_t inFile = waveDataBytesInFile(reader);
        check(inFile <= size);
        check(inFile <= reader.dataChunk.size);

        // In pieces whose sizes come from the input, into buffers of exactly
        // that size, until the data ends or the file does.
        uint32_t claimed = reader.dataChunk.size;
        uint64_t delivered = 0;
        for (size_t i = 0; i < 64; ++i) {
            uint32_t piece = static_cast<uint32_t>(data[i % size]) * 7 + 1;
            std::vector<uint8_t> buffer(piece);
            uint32_t got = 12345;
            int32_t result = waveRead(reader, piece, buffer.data(), &got);
            if (result != 0) {
                check(got == 0);
                break;
            }
            check(got <= piece);
            delivered += got;
            if (got == 0) break;
        }
        check(delivered <= inFile);
        check(claimed - reader.dataChunk.size >= delivered);

        // All the bytes the file holds can be read in one go.
        check(waveRewindToData(reader) == 0);
        check(waveDataBytesInFile(reader) == inFile);
        std::vector<uint8_t> all(inFile);
        uint32_t got = 0;
        check(waveRead(reader, inFile, all.data(), &got) == 0);
        check(got == inFile);
    } else {
        check(reader.format == nullptr);
        check(reader.file.stream == nullptr);
    }
    waveDestroy(reader);
    return 0;
}
