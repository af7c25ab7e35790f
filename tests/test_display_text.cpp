// Text as the display core reads and draws it: UTF-8 read as Qt reads it
// (the text drawn on Linux before the core had its own reader), and 16-bit
// surfaces given the very pixels of a 32-bit one, converted.
#include <gtest/gtest.h>

#include <QString>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display_test_support.h"
#include "platform/core/display_internal.h"

using namespace platform;

namespace {

std::u16string qtReading(const std::string& bytes) {
    const QString s = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

// Random bytes, mostly of the kinds that start or continue sequences: well
// formed sequences of every length, overlong ones, surrogates, code points
// past U+10FFFF, cut and stray continuations, NULs.
TEST(TextReading, Utf8IsReadAsQtReadsItWellFormedOrNot) {
    std::u16string ours;
    std::mt19937 dice(7);
    const uint8_t kinds[] = {0x41, 0x80, 0xBB, 0xBF, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5};
    for (int n = 0; n < 20000; ++n) {
        std::string bytes;
        for (int len = static_cast<int>(dice() % 9); len > 0; --len)
            bytes += static_cast<char>(dice() % 2 ? kinds[dice() % sizeof kinds] : dice() % 256);
        utf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), ours);
        ASSERT_EQ(ours, qtReading(bytes)) << testing::PrintToString(bytes);
    }
}

uint32_t to565(uint32_t xrgb) { return ((xrgb >> 8) & 0xF800u) | ((xrgb >> 5) & 0x07E0u) | ((xrgb >> 3) & 0x001Fu); }

class DisplayText : public displaytest::ScratchDirTest {};

TEST_F(DisplayText, SixteenBitTextIsTheThirtyTwoBitTextConverted) {
    Display* display = nullptr;
    ASSERT_EQ(createDisplay(&display), DD_OK);
    // The surface's pixel values after one line of text on a filled surface.
    auto drawn = [display](const PixelFormat& format, uint32_t fill, int x, int y, const char* text, uint32_t ink,
                           uint32_t back) {
        Surface* s = displaytest::makeOffscreen(display, 120, 30, &format);
        displaytest::fillSurface(s, fill);
        DrawContext* dc = nullptr;
        EXPECT_EQ(getDC(s, &dc), DD_OK);
        setTextColor(dc, ink);
        setBkColor(dc, back);
        EXPECT_TRUE(textOut(dc, x, y, text, static_cast<int>(std::strlen(text))));
        releaseDC(s, dc);
        std::vector<uint32_t> out;
        for (int row = 0; row < 30; ++row)
            for (int col = 0; col < 120; ++col) out.push_back(displaytest::pixelAt(s, col, row));
        releaseSurface(s);
        return out;
    };
    struct Case {
        int x, y;
        const char* text;
        uint32_t ink, back;  // GDI colours
    };
    const Case cases[] = {
        {70, 20, "玉をお金に換えますか。？", 0xFFFFFF, 0x0000FF},  // cut at the right and the bottom
        {-3, -4, "e\xCC\x81 \xE3\x81\x8B\xE3\x82\x99 \xC3", 0x00FF00, 0x123456},  // marks, a broken byte; cut top left
    };
    const uint32_t fill = 0x00336699;  // XRGB
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<uint32_t> wide = drawn(PIXEL_XRGB32, fill, c.x, c.y, c.text, c.ink, c.back);
        const std::vector<uint32_t> narrow = drawn(PIXEL_RGB565, to565(fill), c.x, c.y, c.text, c.ink, c.back);
        int inked = 0;
        for (std::size_t i = 0; i < wide.size(); ++i) {
            ASSERT_EQ(narrow[i], to565(wide[i])) << "pixel " << i % 120 << "," << i / 120;
            inked += wide[i] != fill;
        }
        EXPECT_GT(inked, 20);
    }
    releaseDisplay(display);
    expectNoDisplayObjects();
}

}  // namespace
