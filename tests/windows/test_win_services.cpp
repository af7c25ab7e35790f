// Windows' own picture, text and screenshot services: what the shared
// picture tests do not write (RLE, top-down rows, 16 bits), names outside
// the ANSI code page, and the font every text cell is drawn in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image_reader.h"
#include "platform/services.h"
#include "test_support.h"

namespace {
namespace fs = std::filesystem;
using platform::services::DecodedPicture;
using testing_support::ScratchDir;

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// A 2 x 2 BMP file around the given pixel data (rows as the file stores them).
std::vector<uint8_t> bmp(int32_t height, uint16_t bits, uint32_t compression, const std::vector<uint32_t>& palette,
                         const std::vector<uint8_t>& data) {
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, offset + static_cast<uint32_t>(data.size()));
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, 2);
    put32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    put32(b, 30, compression);
    put32(b, 34, static_cast<uint32_t>(data.size()));
    put32(b, 46, static_cast<uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) put32(b, 54 + 4 * i, palette[i]);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

constexpr uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, WHITE = 0xFFFFFF;

TEST(WindowsServices, PictureVariantsDecodeTopRowFirst) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        int bits;
        std::vector<uint32_t> pixels;  // top row first
    };
    const std::vector<Case> cases = {
        // Run-length coded: bottom row red, green; top row blue, blue.
        {"rle8", bmp(2, 8, 1, {RED, GREEN, BLUE}, {1, 0, 1, 1, 0, 0, 2, 2, 0, 0, 0, 1}), 8, {BLUE, BLUE, RED, GREEN}},
        // Rows stored top first (negative height), padded to four bytes.
        {"topdown24", bmp(-2, 24, 0, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}), 24,
         {RED, GREEN, BLUE, WHITE}},
        // Five bits a channel: 0x7C00 is full red, 0x001F full blue.
        {"rgb555", bmp(2, 16, 0, {}, {0x1F, 0, 0x1F, 0, 0, 0x7C, 0, 0x7C}), 16, {RED, RED, BLUE, BLUE}},
    };
    ScratchDir dir;
    const fs::path folder = dir.path() / fs::path(u8"写真");
    fs::create_directories(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder / (std::string(c.name) + ".bmp");
        testing_support::writeBytes(file, c.file);
        DecodedPicture out;
        const std::u8string name = file.u8string();
        ASSERT_TRUE(platform::services::decodeBmp(std::string(name.begin(), name.end()), c.file.data(), c.file.size(),
                                                  out));
        EXPECT_EQ(out.width, 2);
        EXPECT_EQ(out.height, 2);
        EXPECT_EQ(out.bitsPerPixel, c.bits);
        ASSERT_EQ(out.pixels.size(), 4u);
        // Five-bit channels widen to at least 0xF8.
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.pixels[i] & 0xF8F8F8u, c.pixels[i] & 0xF8F8F8u) << i;
        if (c.bits == 8) {
            ASSERT_GE(out.colorTable.size(), 3u);
            EXPECT_EQ(out.colorTable[2], BLUE);
        } else {
            EXPECT_TRUE(out.colorTable.empty());
        }
    }
    DecodedPicture out;
    EXPECT_FALSE(platform::services::decodeBmp((dir.path() / "missing.bmp").string(), nullptr, 0, out));
}

// Draws one line into a fresh white buffer one pixel wider and taller than
// the cell on each side, and returns the buffer.
std::vector<uint32_t> drawn(const std::u16string& text, int& width, int& height) {
    width = platform::services::textAdvance(text) + 2;
    height = platform::services::defaultFontMetrics().height + 2;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width * height), 0x00ABCDEF);
    platform::services::drawText(pixels.data(), width, height, width, 1, 1, text, 0x000000, WHITE);
    return pixels;
}

TEST(WindowsServices, TheJapaneseGothicFaceDrawsRealGlyphsInTheLinuxCell) {
    platform::services::prepareText();
    const auto metrics = platform::services::defaultFontMetrics();
    // The cell of IPA Gothic at 16 pixels, as on Linux.
    EXPECT_EQ(metrics.height, 17);
    EXPECT_EQ(metrics.ascent, 14);
    EXPECT_EQ(platform::services::textAdvance(u"あ"), 16);  // full width
    EXPECT_EQ(platform::services::textAdvance(u"AA"), 2 * platform::services::textAdvance(u"A"));
    int w = 0, h = 0;
    const std::vector<uint32_t> a = drawn(u"あ", w, h);
    const std::vector<uint32_t> i = drawn(u"い", w, h);
    // Each kana its own glyph (a missing face would draw the same box twice).
    EXPECT_NE(a, i);
    int ink = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = a[static_cast<std::size_t>(y * w + x)];
            const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            if (border) {
                EXPECT_EQ(p, 0x00ABCDEFu) << x << "," << y;
            } else {
                EXPECT_TRUE(p == 0 || p == WHITE) << "smoothed at " << x << "," << y;
                ink += p == 0;
            }
        }
    }
    EXPECT_GT(ink, 20);
}

TEST(WindowsServices, ScreenshotsRoundTripThroughAJapaneseFolder) {
    ScratchDir dir;
    const fs::path file = dir.path() / fs::path(u8"画面.png");
    const std::vector<uint32_t> pixels = {RED, GREEN, BLUE, WHITE, 0x123456, 0};
    const std::u8string name = file.u8string();
    ASSERT_TRUE(platform::services::writePng(std::string(name.begin(), name.end()), pixels.data(), 3, 2));
    const TestImage image = readImage(file);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.pixels, pixels);
    EXPECT_FALSE(platform::services::writePng((dir.path() / "no/such/folder.png").string(), pixels.data(), 3, 2));
}

}  // namespace
