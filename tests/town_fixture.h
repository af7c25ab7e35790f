// A started game in a scratch folder whose pictures are each one colour of
// their own, so that a test can tell from one pixel of the presented picture
// which picture covers it. The keyed pictures have a pure-white top row: it
// shows only where a picture is drawn without its colour key.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display_test_support.h"
#include "media/assets.h"
#include "platform/headless.h"
#include "platform/screen.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "test_support.h"

namespace townfixture {

constexpr uint32_t WHITE = 0x00FFFFFF;

// 0x00RRGGBB, distinct for every picture and never white.
inline uint32_t colourOf(const char* file) {
    for (uint32_t i = 0; i < static_cast<uint32_t>(PICTURE_COUNT); ++i)
        if (std::strcmp(pictureFiles[i].file, file) == 0)
            return ((0x20 + 5 * i) << 16) | ((0x20 + 3 * i) << 8) | (0x20 + i);
    ADD_FAILURE() << "no picture " << file;
    return 0;
}

inline void writePictures() {
    for (const PictureFile& p : pictureFiles) {
        const uint32_t colour = colourOf(p.file);
        const bool keyed = p.keyed;
        ASSERT_TRUE(displaytest::writeBmp(p.file, p.readWidth, p.readHeight, 24,
                                          [=](int, int y) { return keyed && y == 0 ? WHITE : colour; }));
    }
}

class TownTest : public testing::Test {
protected:
    void SetUp() override {
        writePictures();
        testing_support::writeCourseFile("tama.dat");
        ASSERT_TRUE(startUp("", 1));
        boxesAtStart_ = headless::messageBoxes().size();
        game.player.introDisabled = 1;
        game.homeState = 0;
        walkTo(560, 20);  // outdoors, on no entry area
    }

    static void walkTo(int32_t x, int32_t y) {
        game.walkerX = x;
        game.walkerY = y;
    }

    // The presented picture's pixel, 0x00RRGGBB.
    static uint32_t shown(int x, int y) {
        platform::ScreenPixels screen;
        if (!platform::primaryPixels(screen)) return 0xDEADBEEF;
        return screen.pixels[y * screen.stride + x] & 0x00FFFFFF;
    }

    // Message boxes opened since start-up (which reports missing sounds and
    // the missing saved game).
    std::vector<headless::MessageBoxInfo> boxes() const {
        const auto& all = headless::messageBoxes();
        return {all.begin() + static_cast<std::ptrdiff_t>(boxesAtStart_), all.end()};
    }

    static int dialogsMade(int templateId) {
        int n = 0;
        for (const headless::DialogInfo& d : headless::dialogs()) n += d.templateId == templateId;
        return n;
    }

    testing_support::GameDir dir_;
    size_t boxesAtStart_ = 0;
};

}  // namespace townfixture
