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

TEST(TownInput, ClickJumpsTheWalkerWithinTheBounds) {
    GameDir dir;
    game.homeState = 0;
    onLeftButtonDown(0, 0);
    EXPECT_EQ(game.walkerX, 0);
    EXPECT_EQ(game.walkerY, 0);
    onLeftButtonDown(639, 415);
    EXPECT_EQ(game.walkerX, 608);
    EXPECT_EQ(game.walkerY, 384);
    onLeftButtonDown(103, 202);  // snapped to the 4-pixel grid
    EXPECT_EQ(game.walkerX, 84);
    EXPECT_EQ(game.walkerY, 184);
    game.bankState = 22;
    onLeftButtonDown(100, 300);
    EXPECT_EQ(game.walkerX, 308);
    EXPECT_EQ(game.walkerY, 300);
    game.bankState = 0;
    game.parlourState[2] = 5;  // even in the door animation
    onLeftButtonDown(10, 400);
    EXPECT_EQ(game.walkerX, 316);
    EXPECT_EQ(game.walkerY, 182);
    // A release far outside the window arrives as large unsigned numbers.
    game.parlourState[2] = 0;
    Message m{nullptr, MSG_LBUTTONDOWN, 0, packPoint(-20, -3)};
    onLeftButtonDown(pointX(m.lParam), pointY(m.lParam));
    EXPECT_EQ(game.walkerX, 608);
    EXPECT_EQ(game.walkerY, 384);
}

TEST(TownInput, ArrowKeys) {
    GameDir dir;
    onKeyDown(VK_LEFT);
    onKeyDown(VK_RIGHT);
    EXPECT_EQ(game.moveX, 2);
    onKeyUp(VK_LEFT);  // either arrow of the pair stops the walker
    EXPECT_EQ(game.moveX, 0);
    onKeyDown(VK_UP);
    EXPECT_EQ(game.moveY, 1);
    onKeyUp(VK_DOWN);
    EXPECT_EQ(game.moveY, 0);
    onKeyDown(VK_ESCAPE);
    onKeyDown(VK_F12);
    EXPECT_EQ(game.leaveParlour, 0);  // only at a machine
}

TEST(ParlourInput, LeaveStopLenderAndDial) {
    GameDir dir;
    game.inParlour = 1;
    onKeyDown(VK_ESCAPE);
    EXPECT_EQ(game.leaveParlour, 1);
    game.leaveParlour = 0;
    onLeftButtonDown(515, 1);
    EXPECT_EQ(game.leaveParlour, 1);
    game.leaveParlour = 0;
    onLeftButtonDown(514, 20);  // the tests are strict
    EXPECT_EQ(game.leaveParlour, 0);

    // The lender sells only after the pointer hovered over it.
    onLeftButtonDown(30, 120);
    EXPECT_EQ(game.lenderState, 0);
    onMouseMove(30, 120);
    EXPECT_EQ(game.lenderState, 1);
    onLeftButtonDown(30, 120);
    EXPECT_EQ(game.lenderState, 2);
    onMouseMove(300, 300);  // dispensing: the pointer no longer matters
    EXPECT_EQ(game.lenderState, 2);
    game.lenderState = 0;
    onMouseMove(15, 120);  // x 15 is outside the hover region
    onLeftButtonDown(15, 120);
    EXPECT_EQ(game.lenderState, 0);
    // x 61 lights the lender (hover runs to 61) but is past its click region (to 60).
    onMouseMove(61, 120);
    EXPECT_EQ(game.lenderState, 1);
    onLeftButtonDown(61, 120);
    EXPECT_EQ(game.lenderState, 1);

    onLeftButtonDown(600, 400);
    EXPECT_EQ(game.launchStopped, 1);
    onLeftButtonDown(600, 400);
    EXPECT_EQ(game.launchStopped, 0);

    game.dialPower = 50;
    onLeftButtonDown(560, 300);
    onMouseMove(560, 280);
    EXPECT_EQ(game.dialPower, 70);
    onMouseMove(700, 100);  // outside the dial: keeps its value
    EXPECT_EQ(game.dialPower, 70);
    onLeftButtonUp(560, 250);
    EXPECT_EQ(game.dialPower, 100);
    EXPECT_EQ(game.dialDragging, 0);
    for (auto [release, expected] : {std::pair{100, 170}, std::pair{380, 0}}) {
        game.dialPower = 50;
        onLeftButtonDown(560, 300);
        onLeftButtonUp(560, release);
        EXPECT_EQ(game.dialPower, expected);
    }
}

TEST(TuningInput, EditingKeysAndButtons) {
    GameDir dir;
    game.tuningMode = 1;
    onKeyDown(VK_LEFT);
    EXPECT_EQ(game.editPattern, 99);
    onKeyDown(VK_RIGHT);
    EXPECT_EQ(game.editPattern, 0);
    game.editStep = 39;
    onKeyDown(VK_DOWN);
    EXPECT_EQ(game.editStep, 0);
    onKeyDown(VK_UP);
    EXPECT_EQ(game.editStep, 39);
    onRightButtonDown(0, 0);
    EXPECT_EQ(game.editStep, 0);
    EXPECT_EQ(game.moveX, 0);

    BallPattern& p = BallPathTable.pattern[0];
    using KeyMarker = std::pair<uint32_t, int32_t>;
    for (auto [key, marker] : {KeyMarker{VK_0 + 7, 997}, KeyMarker{VK_0 + 8, 998}, KeyMarker{VK_F1 + 7, 988},
                               KeyMarker{VK_F1 + 8, 989}, KeyMarker{VK_0 + 1, 991}, KeyMarker{VK_F1, 981}}) {
        p.ys[0] = 5;
        onKeyDown(key);
        EXPECT_EQ(p.xs[0], marker);
        EXPECT_EQ(p.ys[0], 0);
    }
    onKeyDown(VK_F1 + 9);  // F10: nothing
    onKeyDown(VK_NUMPAD0 + 3);
    EXPECT_EQ(p.xs[0], 981);
    EXPECT_EQ(tuningMarkerLabel(981), std::string("羽回転１       "));
    EXPECT_EQ(tuningMarkerLabel(997), nullptr);
    onKeyDown(VK_BACK);
    EXPECT_EQ(p.xs[0], 0);
    onLeftButtonDown(3, 100);  // stored minus 8, even when negative
    EXPECT_EQ(p.xs[0], -5);
    EXPECT_EQ(p.ys[0], 92);
    EXPECT_EQ(game.editStep, 0);
}

TEST(TuningInput, CopyAndPaste) {
    GameDir dir;
    game.tuningMode = 1;
    for (int i = 0; i < STEPS; ++i) {
        BallPathTable.pattern[5].xs[i] = 100 + i;
        BallPathTable.pattern[5].ys[i] = 200 + i;
        BallPathTable.pattern[7].xs[i] = 1;
        BallPathTable.pattern[9].xs[i] = 1;
    }
    game.editPattern = 9;
    onKeyDown(VK_DELETE);  // paste before any copy: zeros, copy source hidden
    EXPECT_EQ(BallPathTable.pattern[9].xs[20], 0);
    EXPECT_EQ(game.copySource, -1);
    game.editPattern = 5;
    onKeyDown(VK_INSERT);
    game.editPattern = 7;
    onKeyDown(VK_DELETE);
    EXPECT_EQ(std::memcmp(&BallPathTable.pattern[7], &BallPathTable.pattern[5], sizeof(BallPattern)), 0);
    EXPECT_EQ(game.copySource, 5);
}
