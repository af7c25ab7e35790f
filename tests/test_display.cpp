// The display substitute's blit, clip and text rules, and the game's display
// set-up, drawing primitives and frame cycle on top of it. (Surfaces lost and
// restored are the picture tests' matter.)
#include <gtest/gtest.h>

#include <cstring>

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
    fillSurface(keyed, 0x00ABCDEF);

    EXPECT_EQ(blt(opaque, nullptr, src, nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(blt(keyed, nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC), DD_OK);

    EXPECT_EQ(rowOf(opaque), (std::vector<uint32_t>{0x112233, WHITE, 0xFFFFFE, WHITE, 0x000000}));
    // Near-white and black are drawn; only the one key value is transparent.
    EXPECT_EQ(rowOf(keyed), (std::vector<uint32_t>{0x112233, 0xABCDEF, 0xFFFFFE, 0xABCDEF, 0x000000}));
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
    EXPECT_LE(h, 18);  // three lines 18 pixels apart never overlap
    // Every cell pixel is one of the two colours, with no alpha byte; none
    // outside the cell changed.
    int blue = 0, yellow = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint32_t v = pixelAt(s, x, y);
            if (x < 10 || x >= 10 + w || y < 5 || y >= 5 + h) ASSERT_EQ(v, 0x00123456u) << x << "," << y;
            else ASSERT_TRUE(v == 0x000000FFu || v == 0x00FFFF00u) << std::hex << v << " at " << std::dec << x << "," << y;
            blue += v == 0x000000FFu;
            yellow += v == 0x00FFFF00u;
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
    ScreenPixels screen;  // the game area, 640 by 416
    ASSERT_TRUE(primaryPixels(screen));

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
    setPresentListener(nullptr, nullptr);
    releaseClipper(clipper);
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
    const Rect ball = makeRect(0, 0, 17, 17);
    fillSurface(frameSurface, 0);
    // Refused blits draw nothing: the screen below shows only the last one.
    EXPECT_EQ(blitToFrame(makeRect(630, 100, 647, 117), surfTama, ball, false), DDERR_INVALIDRECT);
    EXPECT_EQ(blitToFrame(makeRect(10, 10, 27, 27), surfTama, makeRect(1, 0, 18, 17), false), DDERR_INVALIDRECT);
    EXPECT_EQ(blitToFrame(makeRect(10, 10, 27, 27), surfHana, ball, false), DDERR_INVALIDOBJECT);
    // Below the game area is drawn into the frame but never shown; touching
    // the far edges exactly is inside.
    EXPECT_EQ(blitToFrame(makeRect(100, 450, 117, 467), surfTama, ball, false), DD_OK);
    EXPECT_EQ(blitToFrame(makeRect(623, 399, 640, 416), surfTama, ball, false), DD_OK);
    presentFrame(nullptr);
    ScreenPixels screen;
    ASSERT_TRUE(primaryPixels(screen));
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            ASSERT_EQ(screen.pixels[y * screen.stride + x], x >= 623 && y >= 399 ? 0x00FF0000u : 0u) << x << "," << y;
}

// (The lines a group draws are in every screenshot of the end-to-end tests.)
TEST_F(GameDisplay, TextGroupIsOneAtATimeAndAFailedContextDropsItsLinesSilently) {
    ASSERT_TRUE(initDirectDraw(nullptr));
    fillSurface(frameSurface, 0);
    failDisplayStep(DisplayStep::GetDC);
    EXPECT_FALSE(beginFrameText(0x00FFFF, 0xFF0000));
    drawFrameText(0, 0, "持ち金:10000円");  // outside a group: nothing
    endFrameText();
    EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0u);  // a line there would start with its blue cell

    ASSERT_TRUE(beginFrameText(0x00FFFF, 0xFF0000));
    EXPECT_FALSE(beginFrameText(0, 0));  // one group at a time
    endFrameText();
    // The frame takes blits again once the group has ended.
    EXPECT_EQ(blt(frameSurface, nullptr, frameSurface, nullptr, DDBLT_WAIT), DD_OK);
}

// The file is "My1.bmp": the bitmap loader finds a name ignoring its case.
TEST_F(GameDisplay, ThePaletteMessageReloadsTheWalkerFromItsLowerCaseName) {
    ASSERT_TRUE(displaytest::writeBmp("back1.bmp", 4, 4, 8, [](int, int) { return 1; }, {0x000000, 0x00FF8040}));
    ASSERT_TRUE(displaytest::writeSolidBmp("My1.bmp", 32, 32, 0x00FFFFFF));
    ASSERT_TRUE(initDirectDraw(nullptr));
    fillSurface(surfMy1, 0x00010203);
    setPalette(primarySurface, nullptr);
    realizePalette();
    EXPECT_EQ(attachedPalette(primarySurface), gamePalette);
    EXPECT_EQ(pixelAt(surfMy1, 31, 31), 0x00FFFFFFu);
}

}  // namespace
