// Bitmaps into surfaces, palettes and colour matching, as the game loads,
// restores and keys its pictures.
#include <gtest/gtest.h>

#include "display_test_support.h"
#include "media/bitmap_utility.h"
#include "platform/display.h"

using namespace platform;
using displaytest::fillSurface;
using displaytest::pixelAt;

namespace {

class BitmapUtility : public displaytest::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        ASSERT_EQ(createDisplay(&display), DD_OK);
    }
    void TearDown() override {
        for (Surface* s : made) releaseSurface(s);
        for (Palette* p : palettes) releasePalette(p);
        releaseDisplay(display);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
    Surface* keep(Surface* s) {
        if (s) made.push_back(s);
        return s;
    }
    Surface* offscreen(int w, int h, const PixelFormat* format = nullptr) {
        return keep(displaytest::makeOffscreen(display, w, h, format));
    }

    Display* display = nullptr;
    std::vector<Surface*> made;
    std::vector<Palette*> palettes;
};

// A picture whose every pixel tells where it is.
uint32_t gradient(int x, int y) { return static_cast<uint32_t>(0x000000 | (x * 16) << 16 | (y * 16) << 8 | 0x40); }

TEST_F(BitmapUtility, EveryBitDepthLoadsIntoASurfaceOfItsOwnSize) {
    std::vector<uint32_t> table;
    for (uint32_t i = 0; i < 16; ++i) table.push_back(0x00110D0Bu * i ^ 0x00A05000u);  // 16 distinct colours
    struct Case {
        const char* name;
        int w, h, bits;
        std::function<uint32_t(int, int)> pixel;  // an index for 1, 4 and 8 bits
        std::vector<uint32_t> table;
    };
    const Case cases[] = {
        {"one.bmp", 9, 3, 1, [](int x, int y) { return (x + y) % 2u; }, {0x000000, 0xFFFFFF}},
        {"four.bmp", 7, 3, 4, [](int x, int y) { return (x + 3u * y) % 16; }, table},
        {"eight.bmp", 5, 4, 8, [](int x, int y) { return (x + 3u * y) % 16; }, table},
        {"true24.bmp", 6, 5, 24, gradient, {}},
        {"true32.bmp", 6, 5, 32, gradient, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(displaytest::writeBmp(c.name, c.w, c.h, c.bits, c.pixel, c.table));
        Surface* s = keep(loadBitmapSurface(display, c.name, nullptr));
        ASSERT_NE(s, nullptr);
        SurfaceDesc d;
        getSurfaceDesc(s, d);
        EXPECT_EQ(d.width, c.w);
        EXPECT_EQ(d.height, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(pixelAt(s, x, y), c.bits <= 8 ? c.table[c.pixel(x, y)] : c.pixel(x, y)) << x << "," << y;
    }

    // A surface that cannot be made gives none and hands the bitmap back.
    failDisplayStep(DisplayStep::CreateOffscreen);
    EXPECT_EQ(loadBitmapSurface(display, "true24.bmp", nullptr), nullptr);
    EXPECT_EQ(displayObjectCounts().bitmaps, 0);  // the bitmap went back
}

TEST_F(BitmapUtility, ReloadCoversOnlyTheTopLeftAndIsCutAtTheSurfaceEdge) {
    ASSERT_TRUE(displaytest::writeSolidBmp("small.bmp", 2, 3, 0x00FF0000));
    ASSERT_TRUE(displaytest::writeBmp("large.bmp", 10, 10, 24, gradient));
    Surface* s = offscreen(4, 5);
    fillSurface(s, 0x00000007);
    reloadBitmap(s, "small.bmp");
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(s, x, y), (x < 2 && y < 3) ? 0x00FF0000u : 7u) << x << "," << y;

    reloadBitmap(s, "large.bmp");
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(s, x, y), gradient(x, y));
}

TEST_F(BitmapUtility, PaletteComesFromAnIndexedColourTable) {
    ASSERT_TRUE(displaytest::writeBmp("indexed.bmp", 4, 4, 8, [](int x, int) { return static_cast<uint32_t>(x); },
                                      {0x102030, 0x405060, 0x708090}));

    PaletteEntry entries[256];
    Palette* p = loadBitmapPalette(display, "indexed.bmp", nullptr);
    ASSERT_NE(p, nullptr);
    palettes.push_back(p);
    getPaletteEntries(p, entries);
    EXPECT_EQ(entries[0].red, 0x10);
    EXPECT_EQ(entries[0].green, 0x20);
    EXPECT_EQ(entries[0].blue, 0x30);
    for (int i = 3; i < 256; ++i) ASSERT_EQ(entries[i].red | entries[i].green | entries[i].blue, 0) << i;
    failDisplayStep(DisplayStep::CreatePalette);
    EXPECT_EQ(loadBitmapPalette(display, "indexed.bmp", nullptr), nullptr);
    EXPECT_EQ(displayObjectCounts().bitmaps, 0);
}

// The colour key is measured this way on the walker's surface.
TEST_F(BitmapUtility, MeasuringAColourGivesTheFormatsValueAndLeavesTheSurfaceUnchanged) {
    // 16 bits: the first word holds pixel (1, 0) above pixel (0, 0); the
    // mask keeps pixel (0, 0) alone.
    Surface* h = offscreen(2, 1, &PIXEL_RGB565);
    fillSurface(h, 0x1234);
    EXPECT_EQ(matchColor(h, 0x0000FF), 0xF800u);
    EXPECT_EQ(pixelAt(h, 0, 0), 0x1234u);  // the measured pixel put back

    // A surface it cannot lock is reported and left unchanged.
    uint32_t value = 1;
    failDisplayStep(DisplayStep::Lock);
    EXPECT_FALSE(measureColor(h, 0xFFFFFF, value));
    EXPECT_EQ(pixelAt(h, 0, 0), 0x1234u);
    EXPECT_TRUE(measureColor(h, 0xFFFFFF, value));
    EXPECT_EQ(value, 0xFFFFu);
}

}  // namespace
