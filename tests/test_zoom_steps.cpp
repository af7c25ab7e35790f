// The town's zooming interiors, drawn from the stretches prepared at start,
// give the very pixels of the plain scaling; so they do after every surface
// was lost and restored.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "display_test_support.h"
#include "media/assets.h"
#include "media/display.h"
#include "town/town_layout.h"
#include "town/town_screen.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

Rect rectOf(const TownRect& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

class ZoomSteps : public displaytest::ScratchDirTest {};

TEST_F(ZoomSteps, PreparedStepsDrawThePixelsOfThePlainScaling) {
    // The game's own pictures: a one-colour picture would hide a misplaced pixel.
    for (const PictureFile& p : pictureFiles)
        fs::copy_file(fs::path(PACHINKO_GAME_DIR) / p.file, p.file, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(initDirectDraw(nullptr));

    // Every step of every place's opening and closing zoom that draws anything.
    struct Step {
        Surface* picture;
        Rect src, dst;
    };
    std::vector<Step> steps;
    for (int k = 1; k <= 10; ++k) {
        steps.push_back({surfHome1, rectOf(HOME_INTERIOR.source), rectOf(homeZoom(k))});
        steps.push_back({surfGinko1, rectOf(BANK_INTERIOR.source), rectOf(bankZoom(k))});
        for (int p = 0; p < TOWN_PARLOURS; ++p)
            for (bool closing : {false, true})
                steps.push_back({surfTennai1, rectOf(PARLOUR_INTERIORS[p].source), rectOf(parlourZoom(p, k, closing))});
    }
    std::erase_if(steps, [](const Step& s) { return s.dst.right <= s.dst.left; });
    ASSERT_EQ(steps.size(), 78u);

    // Each step drawn alone, and the frame's pixels inside it, step after step.
    auto drawn = [&steps] {
        std::vector<uint32_t> pixels;
        for (const Step& s : steps) {
            EXPECT_EQ(blitToFrame(s.dst, s.picture, s.src, false), DD_OK);
            SurfaceDesc d;
            EXPECT_EQ(lockSurface(frameSurface, nullptr, d, DDLOCK_WAIT), DD_OK);
            for (int y = s.dst.top; y < s.dst.bottom; ++y) {
                const auto* row = static_cast<const uint32_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * (d.pitch / 4);
                pixels.insert(pixels.end(), row + s.dst.left, row + s.dst.right);
            }
            unlockSurface(frameSurface, nullptr);
        }
        return pixels;
    };
    const std::vector<uint32_t> plain = drawn();
    prepareZoomSteps();
    EXPECT_TRUE(drawn() == plain);
    loseAllSurfaces();
    EXPECT_TRUE(restoreSurfaces());
    EXPECT_TRUE(drawn() == plain);
    releasePresentation();
    expectNoDisplayObjects();
}

}  // namespace
