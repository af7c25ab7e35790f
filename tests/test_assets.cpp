// The 37 pictures: loading, colour keys, the palette, absent pictures, and
// restore after the display loses its surfaces.
#include <gtest/gtest.h>

#include <set>
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
void writeAllPictures(const std::set<std::string>& leaveOut = {}) {
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        const PictureFile& p = pictureFiles[i];
        if (leaveOut.count(p.file)) continue;
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
    std::set<std::string> lowerNames;
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        expectPictureContents(i);
        SurfaceDesc d;
        getSurfaceDesc(*pictureSurfaces[i], d);
        EXPECT_EQ(d.width, pictureFiles[i].readWidth);
        EXPECT_EQ(d.height, pictureFiles[i].readHeight);
        std::string lower = pictureFiles[i].file;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        lowerNames.insert(lower);
    }
    // The names stay distinct on a file system that ignores case.
    EXPECT_EQ(lowerNames.size(), static_cast<std::size_t>(PICTURE_COUNT));
    // The variables are those of their files.
    EXPECT_EQ(pixelAt(surfTyu1C, 1, 1), pictureColour(29));
    EXPECT_EQ(pixelAt(surfDo2_1, 1, 1), pictureColour(20));
    EXPECT_EQ(pixelAt(surfLamp4, 1, 1), pictureColour(36));
    EXPECT_EQ(pixelAt(surfSlot, 1, 1), pictureColour(8));

    ASSERT_NE(gamePalette, nullptr);
    EXPECT_EQ(attachedPalette(primarySurface), gamePalette);
    PaletteEntry entries[256];
    getPaletteEntries(gamePalette, entries);
    EXPECT_EQ(entries[1].red, 0xFF);
    EXPECT_EQ(entries[2].red, (pictureColour(0) >> 16) & 0xFF);
    EXPECT_EQ(entries[2].green, (pictureColour(0) >> 8) & 0xFF);
    EXPECT_EQ(entries[2].blue, pictureColour(0) & 0xFF);
}

TEST_F(Assets, AKeyedPictureIsTransparentOnlyWhereItIsPureWhite) {
    writeAllPictures();
    ASSERT_TRUE(displaytest::writeBmp("tama.bmp", 17, 17, 24, [](int x, int) {
        return x < 8 ? 0x00FFFFFFu : 0x00FEFFFFu;
    }));
    ASSERT_TRUE(initDirectDraw(nullptr));
    fillSurface(frameSurface, 0x00000042);
    EXPECT_EQ(blitToFrame(makeRect(100, 100, 117, 117), surfTama, makeRect(0, 0, 17, 17), true), DD_OK);
    EXPECT_EQ(pixelAt(frameSurface, 100, 100), 0x42u);
    EXPECT_EQ(pixelAt(frameSurface, 108, 100), 0x00FEFFFFu);
    // Drawn opaque, the white shows.
    EXPECT_EQ(blitToFrame(makeRect(100, 100, 117, 117), surfTama, makeRect(0, 0, 17, 17), false), DD_OK);
    EXPECT_EQ(pixelAt(frameSurface, 100, 100), 0x00FFFFFFu);
}

TEST_F(Assets, AMissingPictureStaysNullAndEverythingOnItDoesNothing) {
    writeAllPictures({"koin.bmp", "back2.bmp"});
    ASSERT_TRUE(initDirectDraw(nullptr));
    EXPECT_EQ(surfKoin, nullptr);
    EXPECT_EQ(surfBack2, nullptr);
    EXPECT_NE(surfTama, nullptr);
    fillSurface(frameSurface, 0x00000042);
    EXPECT_TRUE(displayFailed(blitToFrame(makeRect(0, 0, 30, 65), surfKoin, makeRect(0, 0, 30, 65), true)));
    EXPECT_TRUE(displayFailed(drawBackground(surfBack2)));
    EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0x42u);
    loseAllSurfaces();
    EXPECT_TRUE(restoreSurfaces());
    EXPECT_EQ(surfKoin, nullptr);
    expectPictureContents(25);  // surfTama, restored and reloaded
}

// The key is measured on the walker; without him, or when he cannot be
// measured, it is still white.
TEST_F(Assets, TheKeyIsStillWhiteWithoutAWalkerToMeasureItOn) {
    for (bool fileMissing : {true, false}) {
        SCOPED_TRACE(fileMissing ? "no My1.bmp" : "no context for the measurement");
        writeAllPictures(fileMissing ? std::set<std::string>{"My1.bmp"} : std::set<std::string>{});
        // Each loaded picture takes one context for its copy; the 38th is
        // the measurement on the walker.
        if (!fileMissing) failDisplayStep(DisplayStep::GetDC, 1, PICTURE_COUNT);
        ASSERT_TRUE(initDirectDraw(nullptr));
        fillSurface(frameSurface, 0x00000042);
        blitToFrame(makeRect(0, 0, 17, 17), surfTama, makeRect(0, 0, 17, 17), true);
        EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0x42u);              // white frame: transparent
        EXPECT_EQ(pixelAt(frameSurface, 1, 1), pictureColour(25));  // the ball itself
        releasePresentation();
        resetDisplayFaults();
    }
}

TEST_F(Assets, ALossInOneScreenRestoresTheWholeListWithItsKeys) {
    writeAllPictures();
    ASSERT_TRUE(initDirectDraw(nullptr));
    loseAllSurfaces();
    // The town notices the loss; the parlour's pictures come back too.
    EXPECT_EQ(drawBackground(surfBack1), DDERR_SURFACELOST);
    EXPECT_FALSE(isSurfaceLost(primarySurface));
    EXPECT_FALSE(isSurfaceLost(frameSurface));
    for (int i = 0; i < PICTURE_COUNT; ++i) expectPictureContents(i);
    // The frame came back cleared; the next paint fills it again.
    EXPECT_EQ(pixelAt(frameSurface, 5, 5), 0u);
    EXPECT_EQ(drawBackground(surfBack1), DD_OK);
    EXPECT_EQ(pixelAt(frameSurface, 5, 5), pictureColour(0));

    // Colour keys survive the restore: the ball's white frame stays transparent.
    fillSurface(frameSurface, 0x00000042);
    blitToFrame(makeRect(0, 0, 17, 17), surfTama, makeRect(0, 0, 17, 17), true);
    EXPECT_EQ(pixelAt(frameSurface, 0, 0), 0x42u);
}

TEST_F(Assets, AFailedRestoreStopsAtTheDisplaySurfacesButNotAtAPicture) {
    writeAllPictures();
    ASSERT_TRUE(initDirectDraw(nullptr));

    // The primary surface does not come back: nothing else is tried.
    loseAllSurfaces();
    failDisplayStep(DisplayStep::Restore, 1, 0);
    EXPECT_FALSE(restoreSurfaces());
    EXPECT_TRUE(isSurfaceLost(primarySurface));
    EXPECT_TRUE(isSurfaceLost(frameSurface));
    EXPECT_TRUE(isSurfaceLost(surfBack1));

    // The frame surface does not come back: no picture is tried.
    failDisplayStep(DisplayStep::Restore, 1, 1);
    EXPECT_FALSE(restoreSurfaces());
    EXPECT_FALSE(isSurfaceLost(primarySurface));
    EXPECT_TRUE(isSurfaceLost(frameSurface));
    EXPECT_TRUE(isSurfaceLost(surfBack1));

    // One picture does not come back (surfGate, the 10th): it stays lost,
    // the rest are restored and reloaded.
    failDisplayStep(DisplayStep::Restore, 1, 2 + 9);
    EXPECT_FALSE(restoreSurfaces());
    EXPECT_TRUE(isSurfaceLost(surfGate));
    EXPECT_TRUE(displayFailed(blitToFrame(makeRect(0, 0, 91, 23), surfGate, makeRect(0, 0, 91, 23), false)));
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (i != 9) expectPictureContents(i);

    // The next loss noticed tries it again.
    EXPECT_TRUE(restoreSurfaces());
    expectPictureContents(9);
}

}  // namespace
