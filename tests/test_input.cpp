// Keyboard and mouse: what each event records in the game state.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "platform/window.h"
#include "state/game_state.h"
#include "shell/input.h"
#include "shell/tuning.h"
#include "test_support.h"

using namespace platform;
using testing_support::GameDir;

// A click jumps the walker to the pointer (less half the walker, on the
// 4-pixel grid), held inside the town or inside the place being visited.
TEST(TownInput, ClickJumpsTheWalkerWithinTheBounds) {
    struct Case {
        int32_t bankState;
        int x, y, walkerX, walkerY;
    };
    const Case cases[] = {
        {0, 103, 202, 84, 184},
        {0, 639, 415, 608, 384},
        {22, 100, 300, 308, 300},  // at a bank counter
        // A release far outside the window arrives as large unsigned numbers.
        {0, pointX(packPoint(-20, -3)), pointY(packPoint(-20, -3)), 608, 384},
    };
    GameDir dir;
    game.homeState = 0;  // outdoors
    for (const Case& c : cases) {
        game.bankState = c.bankState;
        onLeftButtonDown(c.x, c.y);
        EXPECT_EQ(game.walkerX, c.walkerX) << c.x << "," << c.y;
        EXPECT_EQ(game.walkerY, c.walkerY) << c.x << "," << c.y;
    }
}

TEST(TownInput, ArrowKeys) {
    GameDir dir;
    onKeyDown(VK_RIGHT);
    onKeyUp(VK_LEFT);  // either arrow of the pair stops the walker
    EXPECT_EQ(game.moveX, 0);
    onKeyDown(VK_UP);
    onKeyUp(VK_DOWN);
    EXPECT_EQ(game.moveY, 0);
}

// The regions are strict on every side: a click on a border is outside.
TEST(ParlourInput, LeaveStopLenderAndDial) {
    GameDir dir;
    game.inParlour = 1;
    onKeyDown(VK_ESCAPE);
    EXPECT_EQ(game.leaveParlour, 1);
    game.leaveParlour = 0;
    onLeftButtonDown(514, 20);
    EXPECT_EQ(game.leaveParlour, 0);
    onLeftButtonDown(515, 1);
    EXPECT_EQ(game.leaveParlour, 1);

    // The lender sells only after the pointer hovered over it.
    onLeftButtonDown(30, 120);
    EXPECT_EQ(game.lenderState, 0);
    onMouseMove(30, 120);
    EXPECT_EQ(game.lenderState, 1);
    onLeftButtonDown(30, 120);
    EXPECT_EQ(game.lenderState, 2);
    game.lenderState = 0;
    // x 61 lights the lender (hover runs to 61) but is past its click region (to 60).
    onMouseMove(61, 120);
    EXPECT_EQ(game.lenderState, 1);
    onLeftButtonDown(61, 120);
    EXPECT_EQ(game.lenderState, 1);

    onLeftButtonDown(600, 400);
    EXPECT_EQ(game.launchStopped, 1);

    // Dragging the dial up by n turns it up by n, held to 0..170.
    game.dialPower = 50;
    onLeftButtonDown(560, 300);
    onMouseMove(560, 280);
    EXPECT_EQ(game.dialPower, 70);
    onMouseMove(700, 100);  // outside the dial: keeps its value
    EXPECT_EQ(game.dialPower, 70);
    onLeftButtonUp(560, 100);  // released 200 above where it was taken
    EXPECT_EQ(game.dialPower, 170);
}

TEST(TuningInput, EditingKeysButtonsCopyAndPaste) {
    GameDir dir;
    game.tuningMode = 1;
    // The arrows and the right button walk patterns 0..99 and steps 0..39 round.
    onKeyDown(VK_UP);
    EXPECT_EQ(game.editStep, 39);
    onRightButtonDown(0, 0);
    EXPECT_EQ(game.editStep, 0);

    // 1..9 write markers 991..999, F1..F9 981..989; 0 and Backspace clear
    // the point; F10 and the keypad do nothing.
    BallPattern& p = BallPathTable.pattern[0];
    using KeyMarker = std::pair<uint32_t, int32_t>;
    for (auto [key, marker] : {KeyMarker{VK_0 + 7, 997}, KeyMarker{VK_F1 + 8, 989}, KeyMarker{VK_0 + 1, 991},
                               KeyMarker{VK_0, 0}, KeyMarker{VK_F1, 981}, KeyMarker{VK_F1 + 9, 981},
                               KeyMarker{VK_NUMPAD0 + 3, 981}, KeyMarker{VK_BACK, 0}}) {
        p.ys[0] = 5;
        onKeyDown(key);
        EXPECT_EQ(p.xs[0], marker) << key;
        EXPECT_EQ(p.ys[0], marker == 981 && key != VK_F1 ? 5 : 0) << key;
    }

    // Insert copies the pattern being edited, Delete pastes it (zeros before any copy).
    BallPathTable.pattern[5].xs[3] = 103;
    BallPathTable.pattern[5].ys[39] = 239;
    BallPathTable.pattern[9].xs[20] = 1;
    game.editPattern = 9;
    onKeyDown(VK_DELETE);
    EXPECT_EQ(BallPathTable.pattern[9].xs[20], 0);
    game.editPattern = 5;
    onKeyDown(VK_INSERT);
    game.editPattern = 7;
    onKeyDown(VK_DELETE);
    EXPECT_EQ(std::memcmp(&BallPathTable.pattern[7], &BallPathTable.pattern[5], sizeof(BallPattern)), 0);
}
