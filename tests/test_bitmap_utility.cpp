// Bitmaps into surfaces, YUV conversion, palettes and colour matching.
#include <gtest/gtest.h>

#include <cstring>

#include "display_test_support.h"
#include "media/bitmap_utility.h"
#include "platform/display.h"

using namespace platform;
using displaytest::fillSurface;
using displaytest::pixelAt;
using displaytest::surfaceBytes;

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
    static std::vector<uint8_t> yuvRow(Surface* s, int bytes) {
        SurfaceDesc d;
        EXPECT_EQ(lockSurface(s, nullptr, d, DDLOCK_WAIT), DD_OK);
        const uint8_t* p = static_cast<const uint8_t*>(d.pixels);
        std::vector<uint8_t> out(p, p + bytes);
        unlockSurface(s, nullptr);
        return out;
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

    // A given pixel format is used; a missing file, name or device gives none.
    Surface* h = keep(loadBitmapSurface(display, "true24.bmp", &PIXEL_RGB565));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(pixelAt(h, 0, 0), 0x40u >> 3);
    EXPECT_EQ(loadBitmapSurface(display, "absent.bmp", nullptr), nullptr);
    EXPECT_EQ(loadBitmapSurface(display, nullptr, nullptr), nullptr);
    EXPECT_EQ(loadBitmapSurface(nullptr, "true24.bmp", nullptr), nullptr);
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

    // A missing file or an absent surface: nothing happens.
    const auto before = surfaceBytes(s);
    reloadBitmap(s, "absent.bmp");
    reloadBitmap(nullptr, "large.bmp");
    EXPECT_EQ(surfaceBytes(s), before);
    EXPECT_EQ(displayObjectCounts().bitmaps, 0);
}

TEST_F(BitmapUtility, CopyReportsTheContextResultAndLeavesTheSurfaceWhenItFails) {
    ASSERT_TRUE(displaytest::writeSolidBmp("dot.bmp", 2, 2, 0x00FF0000));
    Bitmap* b = loadNamedBitmap("dot.bmp");
    Surface* s = offscreen(4, 4);
    failDisplayStep(DisplayStep::GetDC);
    EXPECT_EQ(copyBitmap(s, b, 0, 0, 0, 0), DDERR_CANTCREATEDC);
    for (uint8_t v : surfaceBytes(s)) ASSERT_EQ(v, 0);
    EXPECT_EQ(copyBitmap(s, b, 2, 1, 0, 0), DD_OK);
    EXPECT_EQ(pixelAt(s, 2, 1), 0x00FF0000u);
    EXPECT_EQ(pixelAt(s, 3, 2), 0x00FF0000u);
    EXPECT_EQ(pixelAt(s, 1, 1), 0u);
    deleteBitmap(b);
    EXPECT_EQ(displayObjectCounts().contexts, 0);
}

TEST_F(BitmapUtility, YuvConversionGivesTheStatedValuesInBothByteOrders) {
    // Pairs: white white | black black | red green | blue red | black and
    // nothing: the odd last pixel's partner lies beyond the bitmap and reads
    // as white.
    const uint32_t colours[] = {0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000, 0};
    ASSERT_TRUE(displaytest::writeBmp("pairs.bmp", 9, 1, 24, [&](int x, int) { return colours[x]; }));
    Bitmap* b = loadNamedBitmap("pairs.bmp");
    Surface* uyvy = offscreen(9, 1, &PIXEL_UYVY);
    Surface* yuy2 = offscreen(9, 1, &PIXEL_YUY2);
    ASSERT_TRUE(copyBitmapToYuv(uyvy, b));
    ASSERT_TRUE(copyBitmapToYuv(yuy2, b));

    // Red first: Y0 = 76.245, U = 128 - 35.7 = 92.3; green second: Y1 =
    // 149.685, V = 128 - 73.95 = 54.05. Blue first: Y0 = 29.07, U = 237.65;
    // red second: Y1 = 76.245, V = 219.8.
    const std::vector<uint8_t> expectUyvy = {128, 255, 128, 255, 128, 0,  128, 0,  92,  76,
                                             54,  149, 237, 29,  219, 76, 128, 0,  128, 255};
    EXPECT_EQ(yuvRow(uyvy, 20), expectUyvy);
    std::vector<uint8_t> expectYuy2;
    for (std::size_t i = 0; i < expectUyvy.size(); i += 4)
        expectYuy2.insert(expectYuy2.end(), {expectUyvy[i + 1], expectUyvy[i], expectUyvy[i + 3], expectUyvy[i + 2]});
    EXPECT_EQ(yuvRow(yuy2, 20), expectYuy2);

    // Not a YUV surface: handled (true) and nothing written.
    Surface* rgb = offscreen(2, 1);
    fillSurface(rgb, 0x00777777);
    EXPECT_TRUE(copyBitmapToYuv(rgb, b));
    EXPECT_EQ(pixelAt(rgb, 0, 0), 0x00777777u);
    deleteBitmap(b);
}

TEST_F(BitmapUtility, PaletteComesFromAnIndexedColourTableAndNotFromTrueColour) {
    ASSERT_TRUE(displaytest::writeBmp("indexed.bmp", 4, 4, 8, [](int x, int) { return static_cast<uint32_t>(x); },
                                      {0x102030, 0x405060, 0x708090}));
    ASSERT_TRUE(displaytest::writeSolidBmp("true.bmp", 4, 4, 0x00FF0000));

    PaletteEntry entries[256];
    Palette* p = loadBitmapPalette(display, "indexed.bmp", nullptr);
    ASSERT_NE(p, nullptr);
    palettes.push_back(p);
    getPaletteEntries(p, entries);
    EXPECT_EQ(entries[0].red, 0x10);
    EXPECT_EQ(entries[0].green, 0x20);
    EXPECT_EQ(entries[0].blue, 0x30);
    EXPECT_EQ(entries[2].red, 0x70);
    for (int i = 3; i < 256; ++i) ASSERT_EQ(entries[i].red | entries[i].green | entries[i].blue, 0) << i;

    // True colour has no table: a palette with no entry set.
    p = loadBitmapPalette(display, "true.bmp", nullptr);
    ASSERT_NE(p, nullptr);
    palettes.push_back(p);
    getPaletteEntries(p, entries);
    for (const PaletteEntry& e : entries) ASSERT_EQ(e.red | e.green | e.blue | e.flags, 0);

    EXPECT_EQ(loadBitmapPalette(display, "absent.bmp", nullptr), nullptr);
    failDisplayStep(DisplayStep::CreatePalette);
    EXPECT_EQ(loadBitmapPalette(display, "indexed.bmp", nullptr), nullptr);
    EXPECT_EQ(displayObjectCounts().bitmaps, 0);
}

// The colour key is measured this way on the walker's surface.
TEST_F(BitmapUtility, MeasuringAColourGivesTheFormatsValueAndLeavesTheSurfaceUnchanged) {
    Surface* x = offscreen(3, 2);
    fillSurface(x, 0x00314159);
    auto before = surfaceBytes(x);
    EXPECT_EQ(matchColor(x, 0x0000FF), 0x00FF0000u);  // GDI red is XRGB 0xFF0000
    EXPECT_EQ(surfaceBytes(x), before);

    // 16 bits: the first word holds pixel (1, 0) above pixel (0, 0); the
    // mask keeps pixel (0, 0) alone.
    Surface* h = offscreen(2, 1, &PIXEL_RGB565);
    fillSurface(h, 0x1234);
    before = surfaceBytes(h);
    EXPECT_EQ(matchColor(h, 0x0000FF), 0xF800u);
    EXPECT_EQ(surfaceBytes(h), before);

    // A surface it cannot lock is reported and left unchanged.
    uint32_t value = 1;
    failDisplayStep(DisplayStep::Lock);
    EXPECT_FALSE(measureColor(h, 0xFFFFFF, value));
    EXPECT_EQ(surfaceBytes(h), before);
    EXPECT_TRUE(measureColor(h, 0xFFFFFF, value));
    EXPECT_EQ(value, 0xFFFFu);
}

}  // namespace
