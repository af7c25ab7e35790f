// The browser's BMP decoder against the desktop's: every picture of the
// game's content and every variant the content could use must decode to the
// same size, bit count, colour table and pixels.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../display_test_support.h"
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

// A 5 × 3 picture of `bits` per pixel with `entries` table entries, rows
// stored top-down when `topDown`. Pixel values are a pattern; at 32 bits the
// fourth byte is not zero.
Bytes makeBmp(int bits, uint32_t entries, bool topDown) {
    std::vector<uint32_t> table;
    for (uint32_t i = 0; bits <= 8 && i < entries; ++i) table.push_back(0x00102030u * (i + 1) + i);
    Bytes b = displaytest::bmpBytes(5, 3, bits, [&](int x, int y) {
        const uint32_t v = static_cast<uint32_t>(x * 7 + y * 3);
        return bits <= 8 ? v % entries : (v * 40) * 0x01010101u + 0x005AB400u;
    }, table, topDown);
    if (bits <= 8 && entries == 1u << bits) b[46] = b[47] = 0;  // a full table may be counted as 0: all
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
        uint32_t entries;
        bool topDown;
    };
    const Variant variants[] = {
        {"8 bits, full table", 8, 256, false}, {"8 bits, 40 colours", 8, 40, false}, {"8 bits, top-down", 8, 256, true},
        {"4 bits, 16 colours", 4, 16, false},  {"4 bits, 5 colours", 4, 5, false},  {"24 bits", 24, 0, false},
        {"24 bits, top-down", 24, 0, true},  {"32 bits", 32, 0, false},
    };
    for (const Variant& v : variants) expectSame(v.name, makeBmp(v.bits, v.entries, v.topDown));
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
