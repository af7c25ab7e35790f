// Windows' own picture, text and screenshot services: what the shared
// picture tests do not write (RLE, top-down rows), names outside
// the ANSI code page, and the font every text cell is drawn in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "image_reader.h"
#include "platform/services.h"
#include "test_support.h"

namespace {
namespace fs = std::filesystem;
using platform::services::DecodedPicture;
using testing_support::ScratchDir;

// A 2 x 2 BMP file around the given pixel data (rows as the file stores them).
std::vector<uint8_t> bmp(int32_t height, uint16_t bits, uint32_t compression, const std::vector<uint32_t>& palette,
                         const std::vector<uint8_t>& data) {
    const auto size = static_cast<uint32_t>(data.size());
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(palette.size());
    // The little-endian header words by their byte offsets; the planes word
    // (1) at 26 comes before the bit count at 28 overwrites its upper half.
    const std::pair<std::size_t, uint32_t> fields[] = {
        {0, 0x4D42 /* "BM" */}, {2, offset + size}, {10, offset}, {14, 40}, {18, 2}, {22, static_cast<uint32_t>(height)}, {26, 1},
        {28, bits}, {30, compression}, {34, size}, {46, static_cast<uint32_t>(palette.size())}};
    std::vector<uint8_t> b(54);
    for (const auto& [at, value] : fields)
        for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    for (const uint32_t colour : palette)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(colour >> (8 * i)));
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
    };
    ScratchDir dir;
    // Each picture in turn under a name outside the ANSI code page.
    const fs::path file = dir.path() / fs::path(u8"写真.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::writeBytes(file, c.file);
        DecodedPicture out;
        const std::u8string name = file.u8string();
        ASSERT_TRUE(platform::services::decodeBmp(std::string(name.begin(), name.end()), c.file.data(), c.file.size(),
                                                  out));
        EXPECT_EQ(out.bitsPerPixel, c.bits);
        ASSERT_EQ(out.pixels.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.pixels[i], c.pixels[i]) << i;
        // The palette stays with an 8-bit picture (its colour key is an index).
        EXPECT_TRUE(c.bits != 8 || out.colorTable.at(2) == BLUE);
    }
}

TEST(WindowsServices, TheJapaneseGothicFaceDrawsRealGlyphsInTheLinuxCell) {
    platform::services::prepareText();
    // The cell of IPA Gothic at 16 pixels, as on Linux (its height pins the
    // face and size); kana are full width.
    EXPECT_EQ(platform::services::defaultFontMetrics().height, 17);
    EXPECT_EQ(platform::services::textAdvance(u"あ"), 16);
    // One kana into a buffer one pixel larger than its cell on each side.
    const int w = 18, h = 19;
    const auto drawn = [&](const std::u16string& text) {
        std::vector<uint32_t> pixels(static_cast<std::size_t>(w * h), 0x00ABCDEF);
        platform::services::drawText(pixels.data(), w, h, w, 1, 1, text, 0x000000, WHITE);
        return pixels;
    };
    const std::vector<uint32_t> a = drawn(u"あ");
    // Each kana its own glyph (a missing face would draw the same box twice).
    EXPECT_NE(a, drawn(u"い"));
    // The border untouched and every pixel of the cell painted, in unsmoothed
    // ink or paper only (that there is ink at all, the two kana differing shows).
    EXPECT_EQ(std::count(a.begin(), a.end(), 0x00ABCDEFu), 2 * w + 2 * (h - 2));
    EXPECT_EQ(std::count(a.begin(), a.end(), 0u) + std::count(a.begin(), a.end(), WHITE), (w - 2) * (h - 2));
}

TEST(WindowsServices, ScreenshotsRoundTripThroughAJapaneseFolder) {
    ScratchDir dir;
    const fs::path file = dir.path() / fs::path(u8"画面.png");
    const std::vector<uint32_t> pixels = {RED, GREEN, BLUE, WHITE, 0x123456, 0};
    const std::u8string name = file.u8string();
    ASSERT_TRUE(platform::services::writePng(std::string(name.begin(), name.end()), pixels.data(), 3, 2));
    const TestImage image = readImage(file);
    EXPECT_EQ(image.pixels, pixels);
}

}  // namespace
