// The browser's BMP decoder against the desktop's: every picture of the
// game's content and every variant the content could use must decode to the
// same size, bit count, colour table and pixels.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/services.h"

namespace platform::stb_services {
struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> colorTable;
};
bool decodeBmp(const std::string& path, const uint8_t* bytes, std::size_t size, DecodedPicture& out);
}  // namespace platform::stb_services

namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& b, std::size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// A 5 × 3 picture with an info header: `bits` per pixel, `used` table entries
// (0: all), rows stored top-down when `topDown`. Pixel values are a pattern.
Bytes makeBmp(int bits, uint32_t used, bool topDown) {
    const int width = 5, height = 3;
    const uint32_t entries = bits <= 8 ? (used ? used : 1u << bits) : 0;
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t offset = 14 + 40 + entries * 4;
    Bytes b(offset + rowBytes * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, static_cast<uint32_t>(b.size()), 4);
    put(b, 10, static_cast<uint32_t>(offset), 4);
    put(b, 14, 40, 4);
    put(b, 18, width, 4);
    put(b, 22, static_cast<uint32_t>(topDown ? -height : height), 4);
    put(b, 26, 1, 2);
    put(b, 28, static_cast<uint32_t>(bits), 2);
    put(b, 46, used, 4);
    for (uint32_t i = 0; i < entries; ++i) put(b, 54 + i * 4, 0x00102030u * (i + 1) + i, 4);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.data() + offset + rowBytes * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = static_cast<uint32_t>(x * 7 + y * 3);
            if (bits == 4) row[x / 2] |= static_cast<uint8_t>((v % entries) << (x % 2 ? 0 : 4));
            if (bits == 8) row[x] = static_cast<uint8_t>(v % entries);
            if (bits >= 24)
                for (int c = 0; c < bits / 8; ++c)
                    row[x * (bits / 8) + c] = static_cast<uint8_t>(v * 40 + static_cast<uint32_t>(c) * 90);
        }
    }
    return b;
}

void expectSame(const std::string& name, const Bytes& file) {
    platform::services::DecodedPicture qt;
    platform::stb_services::DecodedPicture stb;
    ASSERT_TRUE(platform::services::decodeBmp(name, file.data(), file.size(), qt)) << name;
    ASSERT_TRUE(platform::stb_services::decodeBmp(name, file.data(), file.size(), stb)) << name;
    EXPECT_EQ(stb.width, qt.width) << name;
    EXPECT_EQ(stb.height, qt.height) << name;
    EXPECT_EQ(stb.bitsPerPixel, qt.bitsPerPixel) << name;
    EXPECT_EQ(stb.colorTable, qt.colorTable) << name;
    EXPECT_EQ(stb.pixels, qt.pixels) << name;
}

TEST(StbBmp, DecodesEveryVariantAsQtDoes) {
    struct Variant {
        const char* name;
        int bits;
        uint32_t used;
        bool topDown;
    };
    const Variant variants[] = {
        {"8 bits, full table", 8, 0, false}, {"8 bits, 40 colours", 8, 40, false}, {"8 bits, top-down", 8, 0, true},
        {"4 bits, 16 colours", 4, 0, false}, {"4 bits, 5 colours", 4, 5, false},  {"24 bits", 24, 0, false},
        {"24 bits, top-down", 24, 0, true},  {"32 bits", 32, 0, false},
    };
    for (const Variant& v : variants) expectSame(v.name, makeBmp(v.bits, v.used, v.topDown));
}

TEST(StbBmp, DecodesTheGamesPicturesAsQtDoes) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PACHINKO_GAME_DIR)) {
        if (entry.path().extension() != ".bmp") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        expectSame(entry.path().filename().string(), file);
        ++count;
    }
    EXPECT_EQ(count, 37);
}

TEST(StbBmp, RefusesWhatIsNoPicture) {
    Bytes file = makeBmp(24, 0, false);
    platform::stb_services::DecodedPicture out;
    EXPECT_FALSE(platform::stb_services::decodeBmp("short", file.data(), 20, out));
    file[0] = 'X';
    EXPECT_FALSE(platform::stb_services::decodeBmp("not BM", file.data(), file.size(), out));
}

}  // namespace
