// The 37 pictures: loading, colour keys, the palette, absent pictures, and
// restore after the display loses its surfaces.
#include <gtest/gtest.h>

#include <string>

#include "display_test_support.h"
#include "media/assets.h"
#include "media/display.h"
#include "platform/display.h"

using namespace platform;
using displaytest::fillSurface;
using displaytest::pixelAt;

namespace {

// A colour of its own for every picture, never white.
uint32_t pictureColour(int i) { return 0x00100000u * static_cast<uint32_t>(i % 14) + 0x0300u * static_cast<uint32_t>(i) + 0x11; }

// Writes all pictures at their read sizes. Keyed ones get a white frame one
// pixel wide around their colour; "back1.bmp" is 8-bit with a colour table.
void writeAllPictures(const std::string& leaveOut = "") {
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        const PictureFile& p = pictureFiles[i];
        if (leaveOut == p.file) continue;
        const uint32_t colour = pictureColour(i);
        if (i == 0) {
            ASSERT_TRUE(displaytest::writeBmp(p.file, p.readWidth, p.readHeight, 8, [](int, int) { return 2u; },
                                              {0x000000, 0xFFFFFF, colour}));
        } else if (p.keyed) {
            const int w = p.readWidth, h = p.readHeight;
            ASSERT_TRUE(displaytest::writeBmp(p.file, w, h, 24, [=](int x, int y) {
                return (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? 0x00FFFFFFu : colour;
            }));
        } else {
            ASSERT_TRUE(displaytest::writeSolidBmp(p.file, p.readWidth, p.readHeight, colour));
        }
    }
}

// The pixel the picture's file has at (1, 1): inside the white frame.
void expectPictureContents(int i) {
    Surface* s = *pictureSurfaces[i];
    ASSERT_NE(s, nullptr) << pictureFiles[i].file;
    EXPECT_FALSE(isSurfaceLost(s)) << pictureFiles[i].file;
    const int x = pictureFiles[i].readWidth > 2 ? 1 : 0, y = pictureFiles[i].readHeight > 2 ? 1 : 0;
    EXPECT_EQ(pixelAt(s, x, y), pictureColour(i)) << pictureFiles[i].file;
}

class Assets : public displaytest::ScratchDirTest {
protected:
    void TearDown() override {
        releasePresentation();
        for (Surface** s : pictureSurfaces) EXPECT_EQ(*s, nullptr);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
};

TEST_F(Assets, EveryPictureLoadsIntoItsOwnSurfaceWithThePalette) {
    writeAllPictures();
    ASSERT_TRUE(initDirectDraw(nullptr));
    for (int i = 0; i < PICTURE_COUNT; ++i) expectPictureContents(i);
    // The named variables are those of their files (the list's order).
    EXPECT_EQ(pixelAt(surfTyu1C, 1, 1), pictureColour(29));
    EXPECT_EQ(pixelAt(surfLamp4, 1, 1), pictureColour(36));

    ASSERT_NE(gamePalette, nullptr);
    PaletteEntry entries[256];
    getPaletteEntries(gamePalette, entries);
    EXPECT_EQ(entries[2].red, (pictureColour(0) >> 16) & 0xFF);
    EXPECT_EQ(entries[2].blue, pictureColour(0) & 0xFF);
}

// The key is measured on the walker; without him, or when he cannot be
// measured, it is still white. Either way only pure white is transparent.
TEST_F(Assets, AKeyedPictureIsTransparentOnlyWhereItIsPureWhite) {
    const struct {
        const char* why;
        bool walker, measurable;
    } cases[] = {{"no My1.bmp", false, true}, {"measured on the walker", true, true}, {"no context for it", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        writeAllPictures(c.walker ? "" : "My1.bmp");
        ASSERT_TRUE(displaytest::writeBmp("tama.bmp", 17, 17, 24, [](int x, int) {
            return x < 8 ? 0x00FFFFFFu : 0x00FEFFFFu;
        }));
        // Each loaded picture takes one context for its copy; the 38th is
        // the measurement on the walker.
        if (!c.measurable) failDisplayStep(DisplayStep::GetDC, 1, PICTURE_COUNT);
        ASSERT_TRUE(initDirectDraw(nullptr));
        fillSurface(frameSurface, 0x00000042);
        EXPECT_EQ(blitToFrame(makeRect(100, 100, 117, 117), surfTama, makeRect(0, 0, 17, 17), true), DD_OK);
        EXPECT_EQ(pixelAt(frameSurface, 100, 100), 0x42u);
        EXPECT_EQ(pixelAt(frameSurface, 108, 100), 0x00FEFFFFu);
        releasePresentation();
        resetDisplayFaults();
    }
}

// A loss noticed in one screen brings back the whole list with its keys; a
// picture that was missing stays absent and a blit of it draws nothing.
TEST_F(Assets, ALossInOneScreenRestoresTheWholeListWithItsKeys) {
    writeAllPictures("koin.bmp");
    ASSERT_TRUE(initDirectDraw(nullptr));
    loseAllSurfaces();
    // The town notices the loss; the parlour's pictures come back too.
    EXPECT_EQ(drawBackground(surfBack1), DDERR_SURFACELOST);
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (pictureSurfaces[i] != &surfKoin) expectPictureContents(i);
    EXPECT_EQ(surfKoin, nullptr);
    // The frame came back cleared; the next paint fills it again.
    EXPECT_EQ(pixelAt(frameSurface, 5, 5), 0u);
    EXPECT_EQ(drawBackground(surfBack1), DD_OK);
    EXPECT_EQ(pixelAt(frameSurface, 5, 5), pictureColour(0));

    // The ball's white frame stays transparent.
    fillSurface(frameSurface, 0x00000042);
    blitToFrame(makeRect(0, 0, 17, 17), surfTama, makeRect(0, 0, 17, 17), true);
    EXPECT_TRUE(displayFailed(blitToFrame(makeRect(20, 0, 50, 65), surfKoin, makeRect(0, 0, 30, 65), true)));
    EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0x42u);
    EXPECT_EQ(pixelAt(frameSurface, 20, 0), 0x42u);
}

TEST_F(Assets, AFailedRestoreStopsAtTheDisplaySurfacesButNotAtAPicture) {
    writeAllPictures();
    ASSERT_TRUE(initDirectDraw(nullptr));

    // The primary surface does not come back: no picture is tried.
    loseAllSurfaces();
    failDisplayStep(DisplayStep::Restore, 1, 0);
    EXPECT_FALSE(restoreSurfaces());
    EXPECT_TRUE(isSurfaceLost(surfBack1));

    // One picture does not come back (surfGate, the 10th): it stays lost,
    // the rest are restored and reloaded.
    failDisplayStep(DisplayStep::Restore, 1, 2 + 9);
    EXPECT_FALSE(restoreSurfaces());
    EXPECT_TRUE(isSurfaceLost(surfGate));
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (i != 9) expectPictureContents(i);

    // The next loss noticed tries it again.
    EXPECT_TRUE(restoreSurfaces());
    expectPictureContents(9);
}

}  // namespace
