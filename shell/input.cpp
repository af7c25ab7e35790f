#include "shell/input.h"

#include "platform/window.h"
#include "state/game_state.h"
#include "shell/tuning.h"

namespace {

using namespace platform;

// Region tests are strict on both sides, as the game always made them.
bool inside(int x, int y, int left, int right, int top, int bottom) {
    return x > left && x < right && y > top && y < bottom;
}

bool inLeaveButton(int x, int y) { return inside(x, y, 514, 639, 0, 44); }
bool inLenderHover(int x, int y) { return inside(x, y, 15, 62, 90, 157); }
bool inLenderClick(int x, int y) { return inside(x, y, 13, 61, 90, 158); }
bool inStopButton(int x, int y) { return inside(x, y, 531, 625, 384, 413); }
bool inDial(int x, int y) { return inside(x, y, 524, 625, 170, 368); }

int32_t clampDial(int32_t value) { return value < 0 ? 0 : (value > 170 ? 170 : value); }

int32_t& editedX() { return BallPathTable.pattern[game.editPattern].xs[game.editStep]; }
int32_t& editedY() { return BallPathTable.pattern[game.editPattern].ys[game.editStep]; }

void setEditedPoint(int32_t x, int32_t y) {
    editedX() = x;
    editedY() = y;
}

void clampWalker(int32_t xLow, int32_t xHigh, int32_t yLow, int32_t yHigh) {
    if (game.walkerX < xLow) game.walkerX = xLow;
    if (game.walkerX > xHigh) game.walkerX = xHigh;
    if (game.walkerY < yLow) game.walkerY = yLow;
    if (game.walkerY > yHigh) game.walkerY = yHigh;
}

void tuningKeyDown(uint32_t key) {
    if (key == VK_LEFT) {
        game.editPattern = game.editPattern - 1 < 0 ? 99 : game.editPattern - 1;
    } else if (key == VK_RIGHT) {
        game.editPattern = game.editPattern + 1 > 99 ? 0 : game.editPattern + 1;
    } else if (key == VK_UP) {
        game.editStep = game.editStep - 1 < 0 ? 39 : game.editStep - 1;
    } else if (key == VK_DOWN) {
        game.editStep = game.editStep + 1 > 39 ? 0 : game.editStep + 1;
    } else if (key >= VK_0 + 1 && key <= VK_0 + 9) {
        setEditedPoint(990 + static_cast<int32_t>(key - VK_0), 0);
    } else if (key >= VK_F1 && key <= VK_F1 + 8) {
        setEditedPoint(981 + static_cast<int32_t>(key - VK_F1), 0);
    } else if (key == VK_0 || key == VK_BACK) {
        setEditedPoint(0, 0);
    } else if (key == VK_INSERT) {
        game.copySource = game.editPattern;
        copyPattern(game.editPattern);
    } else if (key == VK_DELETE) {
        pastePattern(game.editPattern);
    }
}

}  // namespace

void onKeyDown(uint32_t key) {
    if (game.tuningMode == 1) {
        tuningKeyDown(key);
        return;
    }
    switch (key) {
        case VK_LEFT: game.moveX = 1; break;
        case VK_RIGHT: game.moveX = 2; break;
        case VK_UP: game.moveY = 1; break;
        case VK_DOWN: game.moveY = 2; break;
        case VK_ESCAPE:
        case VK_F12:
            if (game.inParlour == 1) game.leaveParlour = 1;
            break;
        default: break;
    }
}

void onKeyUp(uint32_t key) {
    if (key == VK_LEFT || key == VK_RIGHT) game.moveX = 0;
    if (key == VK_UP || key == VK_DOWN) game.moveY = 0;
}

void onLeftButtonDown(int x, int y) {
    if (game.tuningMode == 1) {
        setEditedPoint(x - 8, y - 8);
        return;
    }
    if (game.inParlour == 1) {
        if (inLeaveButton(x, y)) game.leaveParlour = 1;
        if (inLenderClick(x, y) && game.lenderState == 1) game.lenderState = 2;
        if (inStopButton(x, y)) game.launchStopped = game.launchStopped ? 0 : 1;
        if (inDial(x, y)) {
            game.dialDragging = 1;
            game.dragStartY = y;
            game.dragStartDial = game.dialPower;
        }
        return;
    }
    // The walker jumps to the pointer, snapped to the 4-pixel grid.
    game.walkerX = (x - 16) / 4 * 4;
    game.walkerY = (y - 16) / 4 * 4;
    if (game.homeState == 0 && game.bankState == 0 && game.parlourState[0] == 0 && game.parlourState[1] == 0 &&
        game.parlourState[2] == 0)
        clampWalker(0, 608, 0, 384);
    if (game.homeState != 0) clampWalker(96, 376, 260, 364);
    if (game.bankState != 0) clampWalker(308, 580, 300, 364);
    if (game.parlourState[0] != 0) clampWalker(4, 292, 100, 182);
    if (game.parlourState[1] != 0) clampWalker(168, 464, 100, 182);
    if (game.parlourState[2] != 0) clampWalker(316, 608, 100, 182);
}

void onLeftButtonUp(int x, int y) {
    if (game.dialDragging == 1) {
        game.dialDragging = 0;
        game.dialPower = clampDial(game.dragStartDial + game.dragStartY - y);
    }
}

void onRightButtonDown(int x, int y) {
    if (game.tuningMode == 1) game.editStep = game.editStep + 1 > 39 ? 0 : game.editStep + 1;
}

void onMouseMove(int x, int y) {
    if (game.inParlour == 1 && game.lenderState < 2) game.lenderState = inLenderHover(x, y) ? 1 : 0;
    if (inDial(x, y) && game.dialDragging == 1) game.dialPower = clampDial(game.dragStartDial + game.dragStartY - y);
}
