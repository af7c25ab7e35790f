// Reader for RIFF/WAVE sound files: checks the file, keeps a copy of its
// format record, finds the sample data and hands out its bytes in pieces of
// the caller's size. The sound layer uses one reader per sound: open, read the
// whole data, destroy.
//
// The reader trusts nothing in the file: chunk sizes may lie, the file may end
// anywhere. It never reads outside the file or writes outside the caller's
// destination, and never allocates more than the file could hold.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/sound.h"

// The one failure code of the reader.
inline constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);

// A chunk of the RIFF file: its identifier, its size as written in the file,
// where its contents start, and (for the RIFF chunk) its form type.
struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;
    uint64_t dataOffset = 0;
    uint32_t formType = 0;
};

struct WaveFile {
    std::FILE* stream = nullptr;
    uint64_t size = 0;  // bytes in the file, measured at open
};

struct WaveReader {
    std::unique_ptr<platform::WaveFormat> format;  // null until a successful open
    WaveFile file;
    // Its size counts down the sample bytes not yet read; right after open it
    // is the size of the sample data as the file states it.
    RiffChunk dataChunk;
    RiffChunk riffChunk;
};

// Opens a file by name and positions the reader at its first sample byte.
// A format record (and file) from an earlier open is let go first. A failed
// open leaves the reader with no file and no format. 0 or E_FAIL.
int32_t waveOpen(WaveReader& reader, const char* fileName);
// The same over a stream already open for reading, whose ownership passes to
// the reader (closed by it, also on failure).
int32_t waveOpenStream(WaveReader& reader, std::FILE* stream);
// Back to the first sample byte, with the count of bytes left reset.
int32_t waveRewindToData(WaveReader& reader);
// Delivers min(count, bytes left) bytes to destination. bytesRead is 0 on
// failure; a file that ends inside the data fails at the read that reaches
// the end (the count of bytes left has then already been reduced).
int32_t waveRead(WaveReader& reader, uint32_t count, uint8_t* destination, uint32_t* bytesRead);
// Closes the file (nothing when none is open). Always 0.
int32_t waveClose(WaveReader& reader);
// Closes the file and frees the format record.
void waveDestroy(WaveReader& reader);

// How many bytes of the sample data the file really holds: the data size the
// file states, cut at the end of the file. 0 when nothing is open. Valid
// right after open or rewind.
uint32_t waveDataBytesInFile(const WaveReader& reader);
