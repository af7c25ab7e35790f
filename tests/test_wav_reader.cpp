// The WAV reader: what it accepts, what it rejects, and that hostile files
// (lying sizes, truncation, huge counts) are refused or read safely.
#include <gtest/gtest.h>

#include <string>

#include "media/wav_reader.h"
#include "test_support.h"
#include "wav_fixture.h"

using namespace wav_fixture;

namespace {

class WavReaderTest : public testing::Test {
protected:
    void TearDown() override { waveDestroy(reader); }
    int32_t open(const Bytes& bytes, const std::string& name = "x.wav") {
        std::string path = (scratch_.path() / name).string();
        save(path, bytes);
        return waveOpen(reader, path.c_str());
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
    EXPECT_EQ(reader.format->samplesPerSec, 22050u);
    EXPECT_EQ(readAll(5), samples);
    ASSERT_EQ(waveRewindToData(reader), 0);
    EXPECT_EQ(readAll(2), samples);
}

TEST_F(WavReaderTest, AcceptsChunksInAnyOrderAndSkipsOthers) {
    Bytes samples = ramp(30, 0x40);
    Chunk list{"LIST", ramp(13, 0x90), std::nullopt};  // odd: padded
    for (const Bytes& bytes : {riff({fmtChunk(), list, dataChunk(samples)}),
                               riff({list, dataChunk(samples), list, fmtChunk()})}) {
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

    Bytes adpcm = formatHead(0x11, 1, 22050, 4);
    put16(adpcm, 2);
    put16(adpcm, 0x01F9);
    ASSERT_EQ(open(riff({Chunk{"fmt ", adpcm, std::nullopt}, dataChunk(ramp(16))})), 0);
    EXPECT_EQ(reader.format->extra, (Bytes{0xF9, 0x01}));
    // A count of 65535 with two bytes behind it.
    Bytes huge = formatHead(2, 1, 8000, 4);
    put16(huge, 0xFFFF);
    put16(huge, 0);
    EXPECT_EQ(open(riff({dataChunk(ramp(4)), Chunk{"fmt ", huge, std::nullopt}})), E_FAIL);
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
        {"shorter than a RIFF header", Bytes(good.begin(), good.begin() + 11)},
        {"first chunk not RIFF", notRiff},
        {"RIFF of another form", riff({fmtChunk(), dataChunk(ramp(10))}, "AVI ")},
        {"no format chunk", riff({dataChunk(ramp(10))})},
        {"format chunk under 16 bytes", riff({Chunk{"fmt ", shortFmt, std::nullopt}, dataChunk(ramp(10))})},
        {"no data chunk", riff({fmtChunk(), Chunk{"LIST", ramp(10), std::nullopt}})},
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
}

TEST_F(WavReaderTest, SizesPastTheEndOfTheFileAreCutThere) {
    // Data cut short: 60 of 100 sample bytes.
    Bytes full = pcmFile(ramp(100));
    ASSERT_EQ(open(Bytes(full.begin(), full.end() - 40)), 0);
    EXPECT_EQ(waveDataBytesInFile(reader), 60u);

    // A data chunk claiming nearly 4 GB in a file of a few bytes.
    ASSERT_EQ(open(riff({fmtChunk(), Chunk{"data", ramp(10), 0xFFFFFFF0u}})), 0);
    EXPECT_EQ(waveDataBytesInFile(reader), 10u);
    Bytes dest(10);
    uint32_t got = 0;
    ASSERT_EQ(waveRead(reader, 10, dest.data(), &got), 0);
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 10), ramp(10));
    EXPECT_EQ(waveRead(reader, 1, dest.data(), &got), E_FAIL);

    // A RIFF size past the end of the file.
    ASSERT_EQ(open(riff({fmtChunk(), dataChunk(ramp(12))}, "WAVE", 0xFFFFFFFFu)), 0);
    EXPECT_EQ(readAll(), ramp(12));
}

TEST_F(WavReaderTest, OpenCloseAndDestroyInAnyOrder) {
    // A second open lets the first file go.
    ASSERT_EQ(open(pcmFile(ramp(10), 2, 44100, 16), "a.wav"), 0);
    ASSERT_EQ(open(pcmFile(ramp(4, 9), 1, 11025, 8), "b.wav"), 0);
    EXPECT_EQ(readAll(), ramp(4, 9));

    ASSERT_EQ(open(pcmFile(ramp(4))), 0);
    EXPECT_EQ(waveClose(reader), 0);
    EXPECT_NE(reader.format, nullptr) << "close keeps the format; destroy frees it";
    expectReadFails();
    waveDestroy(reader);
    EXPECT_EQ(reader.format, nullptr);
}

}  // namespace
