// The display substitute's blit, loss, context and text rules, and the game's
// display set-up, drawing primitives and frame cycle on top of it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "display_test_support.h"
#include "media/assets.h"
#include "media/display.h"
#include "platform/display.h"
#include "platform/screen.h"

using namespace platform;
using displaytest::fillSurface;
using displaytest::pixelAt;

namespace {

class DisplaySubstitute : public displaytest::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        ASSERT_EQ(createDisplay(&display), DD_OK);
    }
    void TearDown() override {
        for (Surface* s : made) releaseSurface(s);
        releaseDisplay(display);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
    Surface* offscreen(int w, int h, const PixelFormat* format = nullptr) {
        Surface* s = displaytest::makeOffscreen(display, w, h, format);
        if (s) made.push_back(s);
        return s;
    }
    // A one-row surface holding the given pixel values.
    Surface* row(std::initializer_list<uint32_t> values) {
        Surface* s = offscreen(static_cast<int>(values.size()), 1);
        SurfaceDesc d;
        lockSurface(s, nullptr, d, DDLOCK_WAIT);
        std::memcpy(d.pixels, values.begin(), values.size() * 4);
        unlockSurface(s, nullptr);
        return s;
    }
    std::vector<uint32_t> rowOf(Surface* s) {
        SurfaceDesc d;
        getSurfaceDesc(s, d);
        std::vector<uint32_t> out;
        for (int x = 0; x < d.width; ++x) out.push_back(pixelAt(s, x, 0));
        return out;
    }

    Display* display = nullptr;
    std::vector<Surface*> made;
};

constexpr uint32_t WHITE = 0x00FFFFFF;

TEST_F(DisplaySubstitute, OpaqueCopiesEveryPixelAndKeyedSkipsExactlyTheKeyValue) {
    Surface* src = row({0x112233, WHITE, 0xFFFFFE, WHITE, 0x000000});
    ASSERT_EQ(setColorKey(src, DDCKEY_SRCBLT, ColorKey{WHITE, WHITE}), DD_OK);
    Surface* opaque = offscreen(5, 1);
    Surface* keyed = offscreen(5, 1);
    fillSurface(opaque, 0x00ABCDEF);
    fillSurface(keyed, 0x00ABCDEF);

    EXPECT_EQ(blt(opaque, nullptr, src, nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(blt(keyed, nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC), DD_OK);

    EXPECT_EQ(rowOf(opaque), (std::vector<uint32_t>{0x112233, WHITE, 0xFFFFFE, WHITE, 0x000000}));
    // Near-white and black are drawn; only the one key value is transparent.
    EXPECT_EQ(rowOf(keyed), (std::vector<uint32_t>{0x112233, 0xABCDEF, 0xFFFFFE, 0xABCDEF, 0x000000}));

    // Keyed from a picture that has no key is refused rather than guessed.
    Surface* plain = row({1, 2});
    EXPECT_EQ(blt(keyed, nullptr, plain, nullptr, DDBLT_WAIT | DDBLT_KEYSRC), DDERR_NOCOLORKEY);
}

TEST_F(DisplaySubstitute, BlitsNotWhollyInsideOrEmptyAreRefusedAndDrawNothing) {
    Surface* target = offscreen(8, 6);
    Surface* src = offscreen(4, 4);
    fillSurface(target, 0x00000001);
    fillSurface(src, 0x00000002);
    const std::vector<uint8_t> before = displaytest::surfaceBytes(target);
    const Rect full = makeRect(0, 0, 4, 4);
    struct Case {
        const char* why;
        Rect dst, src;
    };
    const Case refused[] = {
        {"one column past the right edge", makeRect(5, 0, 9, 4), full},
        {"one row past the bottom", makeRect(0, 3, 4, 7), full},
        {"left of the surface", makeRect(-1, 0, 3, 4), full},
        {"above the surface", makeRect(0, -1, 4, 3), full},
        {"zero width", makeRect(2, 2, 2, 6), full},
        {"zero height", makeRect(2, 2, 6, 2), full},
        {"right before left", makeRect(6, 2, 2, 6), full},
        {"source past its right edge", full, makeRect(1, 0, 5, 4)},
        {"source above its top", full, makeRect(0, -1, 4, 3)},
        {"empty source", full, makeRect(3, 3, 3, 4)},
    };
    for (const Case& c : refused) EXPECT_EQ(blt(target, &c.dst, src, &c.src, DDBLT_WAIT), DDERR_INVALIDRECT) << c.why;
    EXPECT_EQ(displaytest::surfaceBytes(target), before);

    // Touching the far edges exactly is inside.
    const Rect corner = makeRect(4, 2, 8, 6);
    EXPECT_EQ(blt(target, &corner, src, &full, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(pixelAt(target, 7, 5), 2u);
    EXPECT_EQ(pixelAt(target, 3, 5), 1u);
}

// Both rectangles in one row and overlapping: the copy reads the row as it
// was, not the pixels it has just written.
TEST_F(DisplaySubstitute, ABlitWithinOneSurfaceCopiesThePictureAsItWas) {
    const struct {
        Rect src;
        std::vector<uint32_t> expected;
    } cases[] = {
        {makeRect(0, 0, 4, 1), {1, 1, 2, 3, 4}},
        {makeRect(0, 0, 2, 1), {1, 1, 1, 2, 2}},  // stretched: each source pixel twice
    };
    for (const auto& c : cases) {
        Surface* s = row({1, 2, 3, 4, 5});
        const Rect dst = makeRect(1, 0, 5, 1);
        EXPECT_EQ(blt(s, &dst, s, &c.src, DDBLT_WAIT), DD_OK);
        EXPECT_EQ(rowOf(s), c.expected);
    }
}

// The game's own restore after a loss is with the picture tests; here the
// substitute's side of it.
TEST_F(DisplaySubstitute, LostSurfacesRefuseWorkUntilRestoredAndComeBackCleared) {
    Surface* a = row({5, 6});
    Surface* b = row({7, 8});
    setSurfaceLost(a, true);
    EXPECT_EQ(blt(b, nullptr, a, nullptr, DDBLT_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(blt(a, nullptr, b, nullptr, DDBLT_WAIT), DDERR_SURFACELOST);
    SurfaceDesc d;
    EXPECT_EQ(lockSurface(a, nullptr, d, DDLOCK_WAIT), DDERR_SURFACELOST);
    DrawContext* dc = nullptr;
    EXPECT_EQ(getDC(a, &dc), DDERR_SURFACELOST);
    EXPECT_EQ(rowOf(b), (std::vector<uint32_t>{7, 8}));

    // A failed restore leaves it lost; a good one brings back cleared memory.
    failDisplayStep(DisplayStep::Restore);
    EXPECT_TRUE(displayFailed(restoreSurface(a)));
    EXPECT_TRUE(isSurfaceLost(a));
    EXPECT_EQ(restoreSurface(a), DD_OK);
    EXPECT_FALSE(isSurfaceLost(a));
    EXPECT_EQ(rowOf(a), (std::vector<uint32_t>{0, 0}));
}

TEST_F(DisplaySubstitute, AHeldContextOrLockExcludesBlitsAndOtherHolders) {
    Surface* a = row({1, 2});
    Surface* b = row({3, 4});
    DrawContext* dc = nullptr;
    ASSERT_EQ(getDC(a, &dc), DD_OK);
    EXPECT_EQ(blt(a, nullptr, b, nullptr, DDBLT_WAIT), DDERR_SURFACEBUSY);
    EXPECT_EQ(blt(b, nullptr, a, nullptr, DDBLT_WAIT), DDERR_SURFACEBUSY);
    DrawContext* second = nullptr;
    EXPECT_EQ(getDC(a, &second), DDERR_DCALREADYCREATED);
    SurfaceDesc d;
    EXPECT_EQ(lockSurface(a, nullptr, d, DDLOCK_WAIT), DDERR_SURFACEBUSY);
    EXPECT_EQ(releaseDC(b, dc), DDERR_NODC);
    EXPECT_EQ(releaseDC(a, dc), DD_OK);
    EXPECT_EQ(blt(a, nullptr, b, nullptr, DDBLT_WAIT), DD_OK);
}

TEST_F(DisplaySubstitute, FormatsMustMatchAndYuvSurfacesHaveNoContext) {
    Surface* x = offscreen(4, 2);
    Surface* h = offscreen(4, 2, &PIXEL_RGB565);
    Surface* h2 = offscreen(4, 2, &PIXEL_RGB565);
    Surface* y = offscreen(4, 2, &PIXEL_UYVY);
    EXPECT_EQ(blt(x, nullptr, h, nullptr, DDBLT_WAIT), DDERR_INVALIDPIXELFORMAT);
    fillSurface(h, 0xF800);
    EXPECT_EQ(blt(h2, nullptr, h, nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(pixelAt(h2, 3, 1), 0xF800u);
    DrawContext* dc = nullptr;
    EXPECT_EQ(getDC(y, &dc), DDERR_CANTCREATEDC);

    // 3 pixels of 16 bits still get a whole last word per row.
    SurfaceDesc d;
    getSurfaceDesc(offscreen(3, 1, &PIXEL_RGB565), d);
    EXPECT_EQ(d.pitch, 8);
}

TEST_F(DisplaySubstitute, TextIsDrawnOnAnOpaqueCellThatFitsTheLinePitch) {
    Surface* s = offscreen(200, 40);
    fillSurface(s, 0x00123456);
    std::vector<std::string> heard;  // the headless log hears every line drawn
    setTextListener([](void* to, DrawContext*, int, int, const char* text, int bytes) {
        static_cast<std::vector<std::string>*>(to)->emplace_back(text, static_cast<std::size_t>(bytes));
    }, &heard);
    DrawContext* dc = nullptr;
    ASSERT_EQ(getDC(s, &dc), DD_OK);
    setBkColor(dc, 0xFF0000);    // blue
    setTextColor(dc, 0x00FFFF);  // yellow
    const char* text = "持ち金:100円";
    ASSERT_TRUE(textOut(dc, 10, 5, text, static_cast<int>(std::strlen(text))));
    releaseDC(s, dc);
    setTextListener(nullptr, nullptr);
    EXPECT_EQ(heard, std::vector<std::string>{text});

    int w = 0, h = 0;
    textExtent(text, static_cast<int>(std::strlen(text)), w, h);
    EXPECT_GT(w, 60);
    EXPECT_GT(h, 10);
    EXPECT_LE(h, 18);  // three lines 18 pixels apart never overlap
    int blue = 0, yellow = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint32_t v = pixelAt(s, x, y);
            const bool inCell = x >= 10 && x < 10 + w && y >= 5 && y < 5 + h;
            if (!inCell) {
                ASSERT_EQ(v, 0x00123456u) << x << "," << y;
                continue;
            }
            // Every cell pixel is one of the two colours, with no alpha byte.
            ASSERT_TRUE(v == 0x000000FFu || v == 0x00FFFF00u) << std::hex << v << " at " << std::dec << x << "," << y;
            (v == 0x000000FFu ? blue : yellow)++;
        }
    }
    EXPECT_GT(yellow, 50);
    EXPECT_GT(blue, yellow);
}

TEST_F(DisplaySubstitute, ThePrimaryIsTheGameAreaItsClipperClipsAndEveryBlitIsAnnounced) {
    SurfaceDesc pd;
    pd.flags = DDSD_CAPS;
    pd.caps = DDSCAPS_PRIMARYSURFACE;
    Surface* primary = nullptr;
    ASSERT_EQ(createSurface(display, pd, &primary), DD_OK);
    made.push_back(primary);
    Surface* second = nullptr;
    EXPECT_EQ(createSurface(display, pd, &second), DDERR_PRIMARYSURFACEALREADYEXISTS);

    ScreenPixels screen;
    ASSERT_TRUE(primaryPixels(screen));
    EXPECT_EQ(screen.width, 640);
    EXPECT_EQ(screen.height, 416);

    int presents = 0;
    setPresentListener([](void* count) { ++*static_cast<int*>(count); }, &presents);
    Surface* sprite = offscreen(10, 10);
    fillSurface(sprite, 0x00ABCDEF);
    const Rect overhang = makeRect(635, 410, 645, 420);
    // Without a clipper the overhanging blit is refused like any other.
    EXPECT_EQ(blt(primary, &overhang, sprite, nullptr, DDBLT_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(presents, 0);
    Clipper* clipper = nullptr;
    ASSERT_EQ(createClipper(display, 0, &clipper), DD_OK);
    setClipper(primary, clipper);
    EXPECT_EQ(blt(primary, &overhang, sprite, nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(presents, 1);
    EXPECT_EQ(screen.pixels[415 * screen.stride + 639], 0x00ABCDEFu);
    EXPECT_EQ(screen.pixels[409 * screen.stride + 639], 0u);
    // Blits elsewhere are not presents.
    blt(sprite, nullptr, sprite, nullptr, DDBLT_WAIT);
    EXPECT_EQ(presents, 1);
    setPresentListener(nullptr, nullptr);
    releaseClipper(clipper);
}

TEST_F(DisplaySubstitute, BitmapsAreFoundByExactNameThenIgnoringCase) {
    ASSERT_TRUE(displaytest::writeSolidBmp("My1.bmp", 3, 2, 0x00FF0000));
    std::filesystem::create_directory("Pics");
    ASSERT_TRUE(displaytest::writeSolidBmp("Pics/Lamp.BMP", 1, 1, 0x000000FF));
    for (const char* name : {"My1.bmp", "my1.bmp", "MY1.BMP", "Pics/lamp.bmp"}) {
        Bitmap* b = loadBitmapFile(name);
        EXPECT_NE(b, nullptr) << name;
        if (b) deleteBitmap(b);
    }
    EXPECT_EQ(loadBitmapFile("my2.bmp"), nullptr);
#ifdef _WIN32
    // Windows itself ignores case in every part of a name.
    Bitmap* folderCase = loadBitmapFile("pics/lamp.bmp");
    EXPECT_NE(folderCase, nullptr);
    if (folderCase) deleteBitmap(folderCase);
#else
    EXPECT_EQ(loadBitmapFile("pics/lamp.bmp"), nullptr);  // folders are matched exactly
#endif
    // A file of the name that is not a bitmap.
    std::ofstream("junk.bmp") << "BMnot really a bitmap at all, just text long enough";
    EXPECT_EQ(loadBitmapFile("junk.bmp"), nullptr);
}

// --- the game's display set-up and primitives -------------------------------

class GameDisplay : public displaytest::ScratchDirTest {
protected:
    void TearDown() override {
        releasePresentation();
        setPresentListener(nullptr, nullptr);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
    static void expectAllNull() {
        EXPECT_EQ(ddraw, nullptr);
        EXPECT_EQ(primarySurface, nullptr);
        EXPECT_EQ(frameSurface, nullptr);
        EXPECT_EQ(windowClipper, nullptr);
        EXPECT_EQ(gamePalette, nullptr);
        for (Surface** s : pictureSurfaces) EXPECT_EQ(*s, nullptr);
    }
};

TEST_F(GameDisplay, EachFailedSetUpStepEndsWithFalseAndReleasesWhatWasMade) {
    ASSERT_TRUE(displaytest::writeSolidBmp("back1.bmp", 640, 416, 0x00808080));
    for (DisplayStep step : {DisplayStep::CreateDevice, DisplayStep::CreatePrimary, DisplayStep::CreateOffscreen}) {
        failDisplayStep(step);
        EXPECT_FALSE(initDirectDraw(nullptr)) << static_cast<int>(step);
        expectAllNull();
        expectNoDisplayObjects();
        resetDisplayFaults();
    }
    // A picture surface that cannot be made only leaves that picture absent.
    failDisplayStep(DisplayStep::CreateOffscreen, 1, 1);
    EXPECT_TRUE(initDirectDraw(nullptr));
    EXPECT_EQ(surfBack1, nullptr);
    EXPECT_NE(frameSurface, nullptr);
}

TEST_F(GameDisplay, BlitToFrameRefusesOverhangingSpritesAndPresentShowsOnlyTheGameArea) {
    ASSERT_TRUE(displaytest::writeSolidBmp("tama.bmp", 17, 17, 0x00FF0000));
    ASSERT_TRUE(initDirectDraw(nullptr));
    ASSERT_NE(surfTama, nullptr);
    const Rect ball = makeRect(0, 0, 17, 17);
    fillSurface(frameSurface, 0);

    EXPECT_EQ(blitToFrame(makeRect(630, 100, 647, 117), surfTama, ball, false), DDERR_INVALIDRECT);
    EXPECT_EQ(blitToFrame(makeRect(100, 470, 117, 487), surfTama, ball, false), DDERR_INVALIDRECT);
    EXPECT_EQ(blitToFrame(makeRect(10, 10, 10, 27), surfTama, ball, false), DDERR_INVALIDRECT);
    EXPECT_EQ(blitToFrame(makeRect(10, 10, 27, 27), surfHana, ball, false), DDERR_INVALIDOBJECT);
    for (uint8_t b : displaytest::surfaceBytes(frameSurface)) ASSERT_EQ(b, 0);

    // Below the game area is drawn into the frame but never shown.
    EXPECT_EQ(blitToFrame(makeRect(100, 450, 117, 467), surfTama, ball, false), DD_OK);
    EXPECT_EQ(pixelAt(frameSurface, 100, 450), 0x00FF0000u);
    EXPECT_EQ(blitToFrame(makeRect(623, 399, 640, 416), surfTama, ball, false), DD_OK);
    presentFrame(nullptr);
    ScreenPixels screen;
    ASSERT_TRUE(primaryPixels(screen));
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            ASSERT_EQ(screen.pixels[y * screen.stride + x], x >= 623 && y >= 399 ? 0x00FF0000u : 0u) << x << "," << y;
}

TEST_F(GameDisplay, TextGroupDrawsLinesAndAFailedContextDropsThemSilently) {
    ASSERT_TRUE(initDirectDraw(nullptr));
    fillSurface(frameSurface, 0);
    failDisplayStep(DisplayStep::GetDC);
    EXPECT_FALSE(beginFrameText(0x00FFFF, 0xFF0000));
    drawFrameText(0, 0, "持ち金:10000円");  // outside a group: nothing
    endFrameText();
    for (uint8_t b : displaytest::surfaceBytes(frameSurface)) ASSERT_EQ(b, 0);
    EXPECT_EQ(displayObjectCounts().contexts, 0);

    ASSERT_TRUE(beginFrameText(0x00FFFF, 0xFF0000));
    EXPECT_FALSE(beginFrameText(0, 0));  // one group at a time
    drawFrameText(0, 0, "持ち金:10000円");
    drawFrameText(0, 18, "持ち玉:0発");
    endFrameText();
    // Each line's cell starts blue at its left edge; below the second line
    // the frame is untouched.
    EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0x000000FFu);
    EXPECT_EQ(pixelAt(frameSurface, 0, 18), 0x000000FFu);
    EXPECT_EQ(pixelAt(frameSurface, 0, 40), 0u);
    // The frame takes blits again once the group has ended.
    EXPECT_EQ(blt(frameSurface, nullptr, frameSurface, nullptr, DDBLT_WAIT), DD_OK);
}

TEST_F(GameDisplay, WithoutAFrameSurfaceEveryPrimitiveDoesNothing) {
    ASSERT_TRUE(displaytest::writeSolidBmp("back1.bmp", 640, 416, 0x00204060));
    EXPECT_EQ(drawBackground(surfBack1), DDERR_INVALIDOBJECT);
    EXPECT_FALSE(beginFrameText(0, 0));
    presentFrame(nullptr);
    realizePalette();
    EXPECT_FALSE(restoreSurfaces());
    expectNoDisplayObjects();
}

TEST_F(GameDisplay, ThePaletteMessageReloadsTheWalkerFromItsLowerCaseName) {
    ASSERT_TRUE(displaytest::writeBmp("back1.bmp", 4, 4, 8, [](int, int) { return 1; }, {0x000000, 0x00FF8040}));
    ASSERT_TRUE(displaytest::writeSolidBmp("My1.bmp", 32, 32, 0x00FFFFFF));
    ASSERT_TRUE(initDirectDraw(nullptr));
    ASSERT_NE(surfMy1, nullptr);
    fillSurface(surfMy1, 0x00010203);
    setPalette(primarySurface, nullptr);
    realizePalette();
    EXPECT_EQ(attachedPalette(primarySurface), gamePalette);
    EXPECT_EQ(pixelAt(surfMy1, 31, 31), 0x00FFFFFFu);
}

}  // namespace
