// The WAV reader: what it accepts, what it rejects, and that hostile files
// (lying sizes, truncation, huge counts) are refused or read safely.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "media/wav_reader.h"
#include "test_support.h"
#include "wav_fixture.h"

namespace fs = std::filesystem;
using namespace wav_fixture;

namespace {

class WavReaderTest : public testing::Test {
protected:
    void TearDown() override { waveDestroy(reader); }
    std::string file(const Bytes& bytes, const std::string& name = "x.wav") {
        std::string path = (scratch_.path() / name).string();
        save(path, bytes);
        return path;
    }
    int32_t open(const Bytes& bytes, const std::string& name = "x.wav") {
        return waveOpen(reader, file(bytes, name).c_str());
    }
    // Reads everything left in pieces of `piece` bytes.
    Bytes readAll(uint32_t piece = 7) {
        Bytes out;
        for (;;) {
            Bytes part(piece, 0xEE);
            uint32_t got = 123;
            EXPECT_EQ(waveRead(reader, piece, part.data(), &got), 0);
            if (got == 0) break;
            out.insert(out.end(), part.begin(), part.begin() + got);
        }
        return out;
    }
    // A read after a failed open or a close fails and delivers nothing.
    void expectReadFails() {
        uint32_t got = 99;
        uint8_t byte = 0;
        EXPECT_EQ(waveRead(reader, 1, &byte, &got), E_FAIL);
        EXPECT_EQ(got, 0u);
    }

    testing_support::ScratchDir scratch_;
    WaveReader reader;
};

TEST_F(WavReaderTest, ReadsTheFormatAndTheDataUpToItsEndAgainAfterARewind) {
    // An odd-sized data chunk followed by its pad byte and another chunk: the
    // pad and the next chunk are never delivered as samples.
    Bytes samples = ramp(9);
    ASSERT_EQ(open(riff({fmtChunk(1, 22050, 8), dataChunk(samples), Chunk{"LIST", ramp(20, 0xA0), std::nullopt}})), 0);
    ASSERT_NE(reader.format, nullptr);
    EXPECT_EQ(reader.format->channels, 1);
    EXPECT_EQ(reader.format->samplesPerSec, 22050u);
    EXPECT_EQ(reader.format->bitsPerSample, 8);
    Bytes dest(64, 0xEE);
    uint32_t got = 0;
    ASSERT_EQ(waveRead(reader, 5, dest.data(), &got), 0);
    ASSERT_EQ(waveRead(reader, 64, dest.data() + 5, &got), 0);
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 9), samples);
    EXPECT_EQ(dest[9], 0xEE) << "nothing written past what was delivered";
    ASSERT_EQ(waveRead(reader, 64, dest.data(), &got), 0);
    EXPECT_EQ(got, 0u);
    // A zero-byte read needs no destination.
    EXPECT_EQ(waveRead(reader, 0, nullptr, &got), 0);
    ASSERT_EQ(waveRewindToData(reader), 0);
    EXPECT_EQ(readAll(2), samples);
}

TEST_F(WavReaderTest, AcceptsChunksInAnyOrderAndSkipsOthers) {
    Bytes samples = ramp(30, 0x40);
    Chunk list{"LIST", ramp(13, 0x90), std::nullopt};  // odd: padded
    Chunk fact{"fact", ramp(4, 0x70), std::nullopt};
    std::vector<Chunk> many(2000, Chunk{"junk", {}, std::nullopt});  // walked like any others
    many.push_back(fmtChunk());
    many.push_back(dataChunk(samples));
    for (const Bytes& bytes : {riff({fmtChunk(), list, dataChunk(samples)}),
                               riff({dataChunk(samples), fact, fmtChunk(1, 8000, 16)}),
                               riff({list, dataChunk(samples), list, fmtChunk()}), riff(many)}) {
        ASSERT_EQ(open(bytes), 0);
        EXPECT_EQ(readAll(), samples);
    }
}

TEST_F(WavReaderTest, OnlyANonPcmFormatKeepsItsExtraBytesAndThoseMustBeInTheFile) {
    // An 18-byte PCM chunk carries an extra-size field PCM does not use.
    Bytes pcm = formatHead(1, 2, 44100, 16);
    put16(pcm, 0x1234);
    ASSERT_EQ(open(riff({Chunk{"fmt ", pcm, std::nullopt}, dataChunk(ramp(8))})), 0);
    EXPECT_TRUE(reader.format->extra.empty());
    EXPECT_EQ(readAll(), ramp(8));

    Bytes adpcm = formatHead(0x11, 1, 22050, 4);
    put16(adpcm, 2);
    put16(adpcm, 0x01F9);
    ASSERT_EQ(open(riff({Chunk{"fmt ", adpcm, std::nullopt}, dataChunk(ramp(16))})), 0);
    EXPECT_EQ(reader.format->extraSize, 2);
    EXPECT_EQ(reader.format->extra, (Bytes{0xF9, 0x01}));

    // The count is read on past a 16-byte chunk and bounded by the file, not
    // the chunk: here it comes from the next chunk's identifier ("da" = 24932).
    EXPECT_EQ(open(riff({Chunk{"fmt ", formatHead(3, 2, 44100, 32), std::nullopt}, dataChunk(ramp(64))})), E_FAIL);
    // A count of 65535 with two bytes behind it, and a count cut by the end.
    Bytes huge = formatHead(2, 1, 8000, 4);
    put16(huge, 0xFFFF);
    put16(huge, 0);
    EXPECT_EQ(open(riff({dataChunk(ramp(4)), Chunk{"fmt ", huge, std::nullopt}})), E_FAIL);
    EXPECT_EQ(open(riff({dataChunk(ramp(4)), Chunk{"fmt ", formatHead(2, 1, 8000, 4), std::nullopt}})), E_FAIL);
    EXPECT_EQ(reader.format, nullptr);
}

TEST_F(WavReaderTest, RejectsWhatIsNotAPlayableWaveFile) {
    Bytes good = pcmFile(ramp(10));
    Bytes notRiff = good;
    notRiff[3] = 'X';  // "RIFX"
    Bytes shortFmt = formatHead(1, 2, 44100, 16);
    shortFmt.resize(14);
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty file", {}},
        {"shorter than a RIFF header", Bytes(good.begin(), good.begin() + 11)},
        {"first chunk not RIFF", notRiff},
        {"RIFF of another form", riff({fmtChunk(), dataChunk(ramp(10))}, "AVI ")},
        {"no format chunk", riff({dataChunk(ramp(10))})},
        {"format chunk under 16 bytes", riff({Chunk{"fmt ", shortFmt, std::nullopt}, dataChunk(ramp(10))})},
        {"format chunk cut by the end of the file", Bytes(good.begin(), good.begin() + 30)},
        {"no data chunk", riff({fmtChunk(), Chunk{"LIST", ramp(10), std::nullopt}})},
        {"data chunk header cut", Bytes(good.begin(), good.begin() + 40)},
        // A chunk before the format claiming 4 GB hides the rest of the file.
        {"a chunk's size past the file", riff({Chunk{"LIST", ramp(4), 0xFFFFFFFFu}, fmtChunk(), dataChunk(ramp(4))})},
        // Chunks outside what the RIFF chunk claims are not its chunks.
        {"chunks past the RIFF size", riff({fmtChunk(), dataChunk(ramp(12))}, "WAVE", 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(open(c.bytes), E_FAIL);
        EXPECT_EQ(reader.format, nullptr);
        expectReadFails();
    }
    EXPECT_EQ(waveOpen(reader, (scratch_.path() / "missing.wav").string().c_str()), E_FAIL);
    EXPECT_EQ(waveOpen(reader, scratch_.path().string().c_str()), E_FAIL) << "a folder is not a file";
    EXPECT_EQ(waveOpen(reader, nullptr), E_FAIL);
}

TEST_F(WavReaderTest, SizesPastTheEndOfTheFileAreCutThere) {
    // Data cut short: 60 of 100 sample bytes; the read that reaches the end
    // fails, the count left reduced before it does.
    Bytes full = pcmFile(ramp(100));
    ASSERT_EQ(open(Bytes(full.begin(), full.end() - 40)), 0);
    EXPECT_EQ(waveDataBytesInFile(reader), 60u);
    Bytes dest(100);
    uint32_t got = 0;
    ASSERT_EQ(waveRead(reader, 50, dest.data(), &got), 0);
    EXPECT_EQ(waveRead(reader, 50, dest.data() + 50, &got), E_FAIL);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(reader.dataChunk.size, 0u);

    // A data chunk claiming nearly 4 GB in a file of a few bytes.
    ASSERT_EQ(open(riff({fmtChunk(), Chunk{"data", ramp(10), 0xFFFFFFF0u}})), 0);
    EXPECT_EQ(waveDataBytesInFile(reader), 10u);
    ASSERT_EQ(waveRead(reader, 10, dest.data(), &got), 0);
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 10), ramp(10));
    EXPECT_EQ(waveRead(reader, 1, dest.data(), &got), E_FAIL);

    // A RIFF size past the end of the file.
    ASSERT_EQ(open(riff({fmtChunk(), dataChunk(ramp(12))}, "WAVE", 0xFFFFFFFFu)), 0);
    EXPECT_EQ(readAll(), ramp(12));
}

TEST_F(WavReaderTest, OpenCloseAndDestroyInAnyOrder) {
    EXPECT_EQ(waveClose(reader), 0);
    waveDestroy(reader);
    // A second open lets the first file go; a failed one leaves nothing behind.
    ASSERT_EQ(open(pcmFile(ramp(10), 2, 44100, 16), "a.wav"), 0);
    ASSERT_EQ(open(pcmFile(ramp(4, 9), 1, 11025, 8), "b.wav"), 0);
    EXPECT_EQ(reader.format->samplesPerSec, 11025u);
    EXPECT_EQ(readAll(), ramp(4, 9));
    EXPECT_EQ(waveOpen(reader, (scratch_.path() / "missing.wav").string().c_str()), E_FAIL);
    EXPECT_EQ(reader.format, nullptr);
    EXPECT_EQ(reader.file.stream, nullptr);

    ASSERT_EQ(open(pcmFile(ramp(4))), 0);
    EXPECT_EQ(waveClose(reader), 0);
    EXPECT_EQ(waveClose(reader), 0);
    EXPECT_NE(reader.format, nullptr) << "close keeps the format; destroy frees it";
    expectReadFails();
    EXPECT_EQ(waveRewindToData(reader), E_FAIL);
    waveDestroy(reader);
    EXPECT_EQ(reader.format, nullptr);
}

}  // namespace
